#include "commands/batchrun.h"

#include "app/globals.h"
#include "app/wait.h"

quint32 WaitLength(const QString &delayText)
{
    return quint32(qMax(0, delayText.toInt()));
}

QString RunCaption(int pass, int row)
{
    return QStringLiteral("RUN[%1-%2]").arg(pass).arg(row);
}

void StoppableDelay(quint32 ms)
{
    waitHandlingEvents(ms, &isBatchRunning);
}
