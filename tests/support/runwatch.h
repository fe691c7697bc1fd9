#pragma once

#include "support/gui.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>

class PtyPair;
class QPushButton;

// Watches a batch run from inside the event handling the run does itself: records each new
// caption of the run button and every byte the module end receives, answers any modal box, and
// fires one-shot actions when their condition first holds. A run that outlives the ceiling is
// marked as overrun and stopped, by STOP and, should STOP fail, by clearing the run's flag
// itself. A wait far longer than the ceiling that should have ended thus fails the test soon,
// however loaded the machine.
class RunWatch : public QObject
{
public:
    RunWatch(QPushButton *run, QPushButton *stop, PtyPair &pty);

    void when(std::function<bool()> condition, std::function<void()> action);

    // Clicks RUN from the event loop and comes back once the click handler has returned.
    void runToEnd(int ceilingMs = 30000);

    // Nanoseconds since RUN was clicked.
    qint64 nowNs() const { return clock.nsecsElapsed(); }

    QStringList captions;
    QByteArray received;
    ModalWatch modals;
    // How long the click handler took, in nanoseconds; -1 until it has returned.
    qint64 durationNs = -1;
    bool overran = false;
    bool enabledWhileRunning = false;
    // Whether the run handled events at all: a run that waits or lets STOP in does.
    bool handledEventsWhileRunning = false;

private:
    struct Action
    {
        std::function<bool()> condition;
        std::function<void()> action;
        bool done;
    };

    void look();

    QPushButton *run;
    QPushButton *stop;
    PtyPair &pty;
    QTimer tick;
    QElapsedTimer clock;
    QList<Action> actions;
    qint64 ceiling = 0;
    bool running = false;
};
