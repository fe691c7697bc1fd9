#include "serial/reopen.h"

void ReopenWatch::arm(const QString &name, qint64 nowMs)
{
    port = name;
    deadline = nowMs + ReopenWindowMs;
}

bool ReopenWatch::dueAtScan(bool listed, qint64 nowMs)
{
    if (port.isEmpty())
        return false;
    if (nowMs > deadline) {
        port.clear();
        return false;
    }
    return listed;
}
