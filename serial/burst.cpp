#include "serial/burst.h"

#include <algorithm>

int NextReadDelay(qint64 sinceFirstUnreadMs)
{
    const qint64 remaining = qMax<qint64>(0, BurstLatestMs - sinceFirstUnreadMs);
    return int(std::min<qint64>(BurstQuietMs, remaining));
}
