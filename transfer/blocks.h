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
