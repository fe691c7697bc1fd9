#include "commands/batchrun.h"

#include "app/counts.h"

quint32 WaitLength(const QString &delayText)
{
    return quint32(qMax(0, delayText.toInt()));
}

QString RunCaption(int pass, int row)
{
    return QStringLiteral("RUN[%1-%2]").arg(pass).arg(row);
}

void RunBatch(const BatchRunSteps &steps)
{
    for (int pass = 1; pass <= steps.passCount() && steps.mayGoOn(); ++pass) {
        for (int row = 1; row <= RowCount; ++row) {
            if (steps.isSent(row))
                steps.sendRow(pass, row);
            if (!steps.mayGoOn())
                break;
        }
        steps.endPass();
    }
}
