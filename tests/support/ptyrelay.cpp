#include "support/ptyrelay.h"

#include "support/pty.h"

#include <QProcess>

PtyRelay::PtyRelay(PtyPair &pty, QProcess &receiver)
    : pty(pty), receiver(receiver), notifier(pty.masterFd(), QSocketNotifier::Read)
{
    connect(&notifier, &QSocketNotifier::activated, this, [this] {
        const QByteArray bytes = this->pty.readAvailable();
        if (!bytes.isEmpty() && this->receiver.state() == QProcess::Running)
            this->receiver.write(bytes);
    });
    connect(&receiver, &QProcess::readyReadStandardOutput, this,
            [this] { this->pty.write(this->receiver.readAllStandardOutput()); });
}
