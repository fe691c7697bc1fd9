#include "serial/portscan.h"

#include <QDir>
#include <QFileInfo>

QStringList ExtraPortPaths(const QString &envValue)
{
    return envValue.split(QDir::listSeparator(), Qt::SkipEmptyParts);
}

QStringList ExistingExtraPorts(const QString &envValue)
{
    QStringList existing;
    for (const QString &path : ExtraPortPaths(envValue)) {
        // exists() follows symlinks, so a link to a pty that went away counts as gone.
        if (QFileInfo::exists(path))
            existing.append(path);
    }
    return existing;
}
