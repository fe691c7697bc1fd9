#include "app/wait.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

void WaitHandlingEvents(qint64 ms, const bool *keepGoing)
{
    if (ms <= 0)
        return;
    const QDeadlineTimer deadline(ms, Qt::PreciseTimer);
    // The timer only exists to wake the blocking event wait at the deadline.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    while (!deadline.hasExpired()) {
        if (keepGoing && !*keepGoing)
            return;
        wake.start(int(qBound(qint64(0), deadline.remainingTime(), qint64(1) << 30)));
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
}
