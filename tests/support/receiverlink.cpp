#include "support/receiverlink.h"

#include <QProcess>
#include <QSignalSpy>

ReceiverLink::ReceiverLink(XmodemSender &sender, QProcess &receiver)
    : sender(sender), receiver(receiver)
{
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, this, [this] { send(this->sender.tick(elapsedMs())); });
    connect(&receiver, &QProcess::readyReadStandardOutput, this, [this] {
        QByteArray bytes = this->receiver.readAllStandardOutput();
        if (toSender)
            bytes = toSender(bytes);
        send(this->sender.received(bytes, elapsedMs()));
    });
}

void ReceiverLink::start()
{
    clock.start();
    send(sender.start(0));
}

void ReceiverLink::send(const QByteArray &bytes)
{
    const QByteArray passed = toReceiver && !bytes.isEmpty() ? toReceiver(bytes) : bytes;
    if (!passed.isEmpty() && receiver.state() == QProcess::Running)
        receiver.write(passed);
    schedule();
}

void ReceiverLink::schedule()
{
    if (sender.isRunning())
        timer.start(int(qBound(qint64(0), sender.deadline() - elapsedMs(), qint64(3600000))));
    else
        timer.stop();
    if (sender.isFinished() && !finishedSent) {
        finishedSent = true;
        emit finished();
    }
}

bool ReceiverLink::waitUntilFinished(int timeoutMs)
{
    if (sender.isFinished())
        return true;
    QSignalSpy spy(this, &ReceiverLink::finished);
    return spy.wait(timeoutMs) || sender.isFinished();
}
