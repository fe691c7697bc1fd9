#include "support/configfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

QString writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return QFileInfo(file).absoluteFilePath();
}

StoredSettings storedSettings(const QString &path)
{
    QCoreApplication::processEvents();
    StoredSettings result;
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("copy.ini"));
    if (!QFile::copy(path, copy))
        return result;
    QSettings parsed(copy, QSettings::IniFormat);
    result.status = parsed.status();
    for (const QString &key : parsed.allKeys())
        result.values.insert(QLatin1Char('/') + key, parsed.value(key).toString());
    return result;
}

const QByteArray craftedVariant = "@Variant(\\0\\0\\0\\v\\x7f\\xff\\xff\\xff)";
