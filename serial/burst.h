#pragma once

#include <QtGlobal>

// A burst is read 10 ms after its last byte, but never later than 100 ms after its first unread
// byte, so a device that never pauses is still shown ten times a second.
constexpr int BurstQuietMs = 10;
constexpr int BurstLatestMs = 100;

// Interval to restart the read timer with, `sinceFirstUnreadMs` after the burst's first byte.
int NextReadDelay(qint64 sinceFirstUnreadMs);
