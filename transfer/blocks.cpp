#include "transfer/blocks.h"

qint64 SendBlockSize(qint64 baudRate)
{
    return qMax<qint64>(1, baudRate / 800);
}

qint64 SendProgress(qint64 blocks, qint64 blockSize, qint64 fileSize)
{
    if (fileSize <= 0)
        return 100;
    return blocks * blockSize * 100 / fileSize;
}

qint64 NextBlockDeadline(qint64 lastDeadlineMs, qint64 nowMs, qint64 periodMs)
{
    return qMax(lastDeadlineMs + periodMs, nowMs);
}
