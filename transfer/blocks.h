#pragma once

#include <QtGlobal>

// Bytes per block when a file goes down a line at baudRate. With one block per 50 ms pause this
// uses about a quarter of what the line carries. Never less than one byte, so that a slow line
// still makes progress through the file.
qint64 SendBlockSize(qint64 baudRate);

// Percentage of the file read after `blocks` blocks of blockSize bytes. Values above 100 occur
// after a short last block. Exact in 64 bits for files up to tens of petabytes; an empty file is
// complete.
qint64 SendProgress(qint64 blocks, qint64 blockSize, qint64 fileSize);

// Pause between the starts of two blocks.
constexpr qint64 SendPeriodMs = 50;

// When the next block is due, in milliseconds from the start of the transfer, given when the
// last one was due and the time now: one period after the last deadline, so that late wake-ups
// do not add up. A send already past that (held up for a whole period or more) is due at once,
// and the schedule goes on from there rather than sending the blocks it missed in a burst.
qint64 NextBlockDeadline(qint64 lastDeadlineMs, qint64 nowMs, qint64 periodMs = SendPeriodMs);
