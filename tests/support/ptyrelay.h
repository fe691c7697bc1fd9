#pragma once

#include <QObject>
#include <QSocketNotifier>

class PtyPair;
class QProcess;

// Joins a receiver program's standard input and output to the master side of a pty, so that the
// window's port talks to it as to a board while the receiver itself runs over pipes: a receiver
// on a terminal of its own may flush away its last answer as it exits.
class PtyRelay : public QObject
{
public:
    PtyRelay(PtyPair &pty, QProcess &receiver);

private:
    PtyPair &pty;
    QProcess &receiver;
    QSocketNotifier notifier;
};
