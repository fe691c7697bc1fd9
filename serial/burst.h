#pragma once

#include <QtGlobal>

// A burst is read 10 ms after its last byte, but never later than 100 ms after its first unread
// byte, so a device that never pauses is still shown ten times a second.
constexpr int BurstQuietMs = 10;
constexpr int BurstLatestMs = 100;

// Most bytes the port object holds for one chunk. A flood faster than the console can draw then
// waits in the driver instead of piling up into one chunk too big to lay out.
constexpr qint64 BurstMaxBytes = 256 * 1024;

// Interval to run the read timer for, `sinceFirstUnreadMs` after the burst's first byte and
// `sinceLastByteMs` after its latest; 0 when the read is due now.
int NextReadDelay(qint64 sinceFirstUnreadMs, qint64 sinceLastByteMs = 0);
