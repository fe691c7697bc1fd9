#pragma once

#include "transfer/xmodem.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

class QProcess;

// Connects an XmodemSender to a receiver program over the program's standard input and output,
// as the window connects it to a port: every chunk the receiver writes goes to the sender at
// once, the sender's answer goes back at once, and a timer calls tick() at the sender's deadline
// on a clock that starts with start().
class ReceiverLink : public QObject
{
    Q_OBJECT

public:
    ReceiverLink(XmodemSender &sender, QProcess &receiver);

    // A relay between the two: each sees every chunk (never an empty one from the sender) in its
    // direction and returns what passes.
    std::function<QByteArray(const QByteArray &)> toReceiver;
    std::function<QByteArray(const QByteArray &)> toSender;

    void start();
    qint64 elapsedMs() const { return clock.elapsed(); }
    // Runs the event loop until the sender has finished, for at most timeoutMs; false if it has
    // not finished by then. The event loop runs free, so every answer goes out at once.
    bool waitUntilFinished(int timeoutMs);

signals:
    void finished();

private:
    void send(const QByteArray &bytes);
    void schedule();

    XmodemSender &sender;
    QProcess &receiver;
    QElapsedTimer clock;
    QTimer timer;
    bool finishedSent = false;
};
