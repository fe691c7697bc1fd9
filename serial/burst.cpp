#include "serial/burst.h"

#include <algorithm>

int NextReadDelay(qint64 sinceFirstUnreadMs, qint64 sinceLastByteMs)
{
    const qint64 quiet = BurstQuietMs - sinceLastByteMs;
    const qint64 latest = BurstLatestMs - sinceFirstUnreadMs;
    return int(qMax<qint64>(0, std::min(quiet, latest)));
}
