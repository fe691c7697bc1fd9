#include "support/runwatch.h"

#include "app/globals.h"
#include "support/pty.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QPushButton>

RunWatch::RunWatch(QPushButton *run, QPushButton *stop, PtyPair &pty)
    : run(run), stop(stop), pty(pty)
{
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(5);
    connect(&tick, &QTimer::timeout, this, &RunWatch::look);
    tick.start();
}

void RunWatch::when(std::function<bool()> condition, std::function<void()> action)
{
    actions.append({std::move(condition), std::move(action), false});
}

void RunWatch::runToEnd(int ceilingMs)
{
    ceiling = ceilingMs;
    QTimer::singleShot(0, this, [this] {
        look();
        // Handled inside the click only if the run handles events.
        QMetaObject::invokeMethod(
            this, [this] { handledEventsWhileRunning = running; }, Qt::QueuedConnection);
        clock.start();
        running = true;
        run->click();
        running = false;
        durationNs = clock.nsecsElapsed();
        look();
    });
    QDeadlineTimer deadline(ceilingMs + 10000);
    while (durationNs < 0 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    tick.stop();
}

void RunWatch::look()
{
    if (captions.isEmpty() || captions.last() != run->text())
        captions << run->text();
    received += pty.readAvailable();
    if (running && run->isEnabled())
        enabledWhileRunning = true;
    for (Action &a : actions) {
        if (!a.done && a.condition()) {
            a.done = true;
            a.action();
        }
    }
    if (running && !overran && clock.elapsed() > ceiling) {
        overran = true;
        stop->click();
        isBatchRunning = false;
    }
}
