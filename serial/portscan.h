#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// Device paths listed in an SERMORA_EXTRA_PORTS value, split at the platform's path-list
// separator; empty entries are skipped.
QStringList ExtraPortPaths(const QString &envValue);

// The listed paths that exist right now; each counts as one more reported port, named by its path.
QStringList ExistingExtraPorts(const QString &envValue);

// Decides, at each tick of the port scan, whether the scan asks the system for its ports or
// reuses what it was told last time. Asking costs milliseconds of processor time, and a device
// that comes or goes adds or removes its node in a watched folder. So the scan asks at the first
// tick, at the two ticks from a change on (a device's properties can lag behind its node), at
// least every SafetyNetTicks in case a change went unseen, and at every tick while nothing can be
// watched.
class PortScanSchedule
{
public:
    static constexpr int TicksAfterChange = 2;
    static constexpr int SafetyNetTicks = 60;

    // Whether the scan of this tick asks the system. `changed`: a watched folder changed since
    // the last tick; `watching`: the folders can be watched at all.
    bool enumerateNow(bool changed, bool watching);

private:
    int pending = 1;
    int ticksSinceEnumeration = 0;
};

// The folders where the system's serial devices appear, looked at once per tick: adding or
// removing a device node changes its folder's modification time, which one stat shows.
class DeviceFolderWatch
{
public:
    explicit DeviceFolderWatch(const QStringList &folders);

    // Whether the scan of this tick asks the system for its ports.
    bool enumerateNow();

    // /dev on Unix; elsewhere none, so the scan asks at every tick.
    static QStringList systemFolders();

private:
    QList<QDateTime> modificationTimes() const;

    QStringList folders;
    QList<QDateTime> lastSeen;
    PortScanSchedule schedule;
};
