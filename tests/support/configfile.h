#pragma once

#include <QByteArray>
#include <QMap>
#include <QSettings>
#include <QString>

// Writes a file with exactly these bytes and returns its absolute path; the test program stops
// if it cannot.
QString writeFile(const QString &path, const QByteArray &bytes);

// A settings file as it is on disk, every key with its leading "/".
struct StoredSettings
{
    QSettings::Status status = QSettings::AccessError;
    QMap<QString, QString> values;
};

// Reads a settings file after handling pending events, so that the window's store has made its
// deferred write. It reads a copy, because QSettings objects on one file in one process share
// their unsaved changes. A missing file reads with AccessError and no values.
StoredSettings storedSettings(const QString &path = QStringLiteral("config.ini"));

// A serialised value as the toolkit writes one, crafted so that decoding it asks for gigabytes.
extern const QByteArray craftedVariant;
