// Sends 256 KiB in XMODEM, XMODEM-1K and YMODEM to lrzsz's receivers (rx -c, rb) over pipes,
// where the line costs no time, and reports for each the time from the receiver's first request
// to the ACK of the last data block, the whole run including the receiver's own pauses (lrzsz
// waits about a second before its first request and again around EOT), and the CPU this process
// used for it.
#include "benchutil.h"
#include "support/receiverlink.h"
#include "transfer/xmodem.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int size = 256 * 1024;
    QByteArray content(size, Qt::Uninitialized);
    QRandomGenerator generator(7);
    for (char &byte : content)
        byte = char(generator.bounded(256));

    struct Case
    {
        SendProtocol protocol;
        const char *program;
        const char *key;
    };
    const Case cases[] = {{SendProtocol::Xmodem, "rx", "xmodem"},
                          {SendProtocol::Xmodem1k, "rx", "xmodem1k"},
                          {SendProtocol::Ymodem, "rb", "ymodem"}};
    int failures = 0;
    for (const Case &c : cases) {
        const QString program = QStandardPaths::findExecutable(QString::fromLatin1(c.program));
        if (program.isEmpty()) {
            std::fprintf(stderr, "%s is missing (lrzsz)\n", c.program);
            return 1;
        }
        QTemporaryDir dir;
        QProcess receiver;
        receiver.setWorkingDirectory(dir.path());
        receiver.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        const QString name = QStringLiteral("payload.bin");
        XmodemSender sender(c.protocol, XmodemFile::fromBytes(name, content));
        ReceiverLink link(sender, receiver);
        qint64 firstRequest = -1;
        qint64 lastAck = -1;
        link.toSender = [&](const QByteArray &bytes) {
            if (firstRequest < 0)
                firstRequest = link.elapsedMs();
            return bytes;
        };
        link.toReceiver = [&](const QByteArray &bytes) {
            if (lastAck < 0 && sender.acknowledgedBytes() == size)
                lastAck = link.elapsedMs();
            return bytes;
        };
        QStringList arguments{QStringLiteral("-q")};
        if (c.protocol != SendProtocol::Ymodem)
            arguments << QStringLiteral("-c") << name;
        receiver.start(program, arguments);
        if (!receiver.waitForStarted(10000))
            return 1;
        const double cpuBefore = cpuSeconds();
        link.start();
        const bool finished = link.waitUntilFinished(120000);
        const double cpu = cpuSeconds() - cpuBefore;
        const qint64 whole = link.elapsedMs();
        receiver.waitForFinished(30000);

        QFile file(QDir(dir.path()).filePath(name));
        const bool intact = finished && sender.state() == XmodemSender::State::Done &&
                            file.open(QIODevice::ReadOnly) && file.readAll().left(size) == content;
        const double data = double(lastAck - firstRequest) / 1000.0;
        const QString title = SendProtocolText(c.protocol);
        std::printf("%-9s data %.3f s (%.0f KiB/s), whole run %.2f s, CPU %.3f s, intact %s\n",
                    qPrintable(title), data, size / 1024.0 / data, whole / 1000.0, cpu,
                    intact ? "yes" : "NO");
        if (!intact) {
            ++failures;
            continue;
        }
        const QByteArray key = QByteArray("sendfile.") + c.key;
        const QByteArray what =
            title.toLatin1() + " to lrzsz's " + c.program + " over pipes, 256 KiB";
        auto result = [&](const char *figure, double value, int decimals, const char *unit,
                          const char *description) {
            printResult((key + figure).constData(), value, decimals, unit,
                        (what + description).constData());
        };
        result(".data", data * 1000.0, 0, "ms", ": first request to the last data block's ACK");
        result(".whole", whole / 1000.0, 2, "s", ": whole run, the receiver's own pauses included");
        result(".cpu", cpu * 1000.0, 0, "ms", ": CPU of the sending process");
    }
    return failures == 0 ? 0 : 1;
}
