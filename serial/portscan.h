#pragma once

#include <QString>
#include <QStringList>

// Device paths listed in an SERMORA_EXTRA_PORTS value, split at the platform's path-list
// separator; empty entries are skipped.
QStringList ExtraPortPaths(const QString &envValue);

// The listed paths that exist right now; each counts as one more reported port, named by its path.
QStringList ExistingExtraPorts(const QString &envValue);
