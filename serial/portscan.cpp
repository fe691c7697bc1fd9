#include "serial/portscan.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

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

bool PortScanSchedule::enumerateNow(bool changed, bool watching)
{
    if (changed)
        pending = TicksAfterChange;
    ++ticksSinceEnumeration;
    if (watching && pending == 0 && ticksSinceEnumeration < SafetyNetTicks)
        return false;
    pending = qMax(0, pending - 1);
    ticksSinceEnumeration = 0;
    return true;
}

DeviceFolderWatch::DeviceFolderWatch(const QStringList &folders)
    : folders(folders), lastSeen(modificationTimes())
{
}

QList<QDateTime> DeviceFolderWatch::modificationTimes() const
{
    QList<QDateTime> times;
    for (const QString &folder : folders) {
        const QFileInfo info(folder);
        // No time for a folder that is not there: it cannot be watched.
        times.append(info.isDir() ? info.lastModified() : QDateTime());
    }
    return times;
}

bool DeviceFolderWatch::enumerateNow()
{
    const QList<QDateTime> seen = modificationTimes();
    const bool watching =
        !seen.isEmpty() &&
        std::all_of(seen.begin(), seen.end(), [](const QDateTime &time) { return time.isValid(); });
    const bool changed = seen != lastSeen;
    lastSeen = seen;
    return schedule.enumerateNow(changed, watching);
}

QStringList DeviceFolderWatch::systemFolders()
{
#ifdef Q_OS_UNIX
    return {QStringLiteral("/dev")};
#else
    return {};
#endif
}
