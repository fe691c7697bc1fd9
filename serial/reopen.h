#pragma once

#include <QString>
#include <QtGlobal>

// How long after an unplug a port of the same name is reopened when it shows up again.
constexpr qint64 ReopenWindowMs = 60000;

// The port whose session an unplug closed, waiting to be reopened when it shows up again.
// Times are milliseconds on a monotonic clock.
class ReopenWatch
{
public:
    // The session on `port` was closed because the port vanished at `nowMs`.
    void arm(const QString &port, qint64 nowMs);
    // The user took over (OPEN, Close, another port chosen), or the port is open again.
    void cancel() { port.clear(); }
    bool isPending() const { return !port.isEmpty(); }
    QString portName() const { return port; }

    // Whether a scan at `nowMs` opens the port, `listed` telling whether the port is listed now.
    // A failed open leaves it pending, so later scans try again; once the time is up, nothing is
    // pending any more.
    bool dueAtScan(bool listed, qint64 nowMs);

private:
    QString port;
    qint64 deadline = 0;
};
