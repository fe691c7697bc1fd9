// Sends a 64 KiB file at 115200 baud over a pseudo-terminal and reports the rate achieved against
// the designed pace of one block per 50 ms (baud / 40 bytes per second), and the share of one
// processor the program used meanwhile. Then sends 256 KiB through the window in XMODEM,
// XMODEM-1K and YMODEM to lrzsz's receivers (rx -c, rb), run over pipes and relayed to the pty's
// master side, and reports for each the time from 1 % acknowledged to the last block's ACK, the
// whole run from the click (the receiver's own pauses included: lrzsz waits about a second before
// its first request and again around EOT), and the CPU of this process, relay included.
#include "app/widget.h"
#include "benchutil.h"
#include "support/filedialog.h"
#include "support/gui.h"
#include "support/pty.h"
#include "support/ptyrelay.h"
#include "support/session.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    qInstallMessageHandler(dropDebug);
    freshWorkingDirectory();

    const int baud = 115200;
    const int size = 64 * 1024;
    QByteArray content(size, Qt::Uninitialized);
    QRandomGenerator generator(7);
    for (char &byte : content)
        byte = char(generator.bounded(256));
    QFile file(QStringLiteral("payload.bin"));
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != size)
        return 1;
    file.close();

    Widget window;
    PtyPair pty;
    window.findChild<QComboBox *>(QStringLiteral("comboBox_baudrate"))
        ->setCurrentText(QString::number(baud));
    if (!pty.isOpen() || !openOnPty(&window, pty)) {
        std::fprintf(stderr, "could not open the pseudo-terminal\n");
        return 1;
    }
    QByteArray received;
    QSocketNotifier drain(pty.masterFd(), QSocketNotifier::Read);
    QObject::connect(&drain, &QSocketNotifier::activated, [&] { received += pty.readAvailable(); });
    const auto chosen = answerNextFileDialog(QFileInfo(file).absoluteFilePath());
    window.findChild<QPushButton *>(QStringLiteral("pushButton_send_file_path"))->click();
    if (!chosen->shown) {
        std::fprintf(stderr, "the file dialog did not come up\n");
        return 1;
    }

    QElapsedTimer clock;
    const double cpuBefore = cpuSeconds();
    clock.start();
    window.findChild<QPushButton *>(QStringLiteral("pushButton_send_file"))->click();
    const double wall = double(clock.nsecsElapsed()) / 1e9;
    const double cpu = cpuSeconds() - cpuBefore;
    received += pty.readAtLeast(size - received.size(), 10000);

    const double designed = baud / 40.0;
    const double achieved = size / wall;
    std::printf("file %d bytes at %d baud, block %d bytes\n", size, baud, baud / 800);
    std::printf("wall time     %.2f s\n", wall);
    std::printf("achieved rate %.0f bytes/s (designed %.0f bytes/s, %.1f %%)\n", achieved, designed,
                100.0 * achieved / designed);
    std::printf("CPU time      %.3f s (%.2f %% of one core)\n", cpu, 100.0 * cpu / wall);
    std::printf("data intact   %s\n", received == content ? "yes" : "NO");
    printResult("sendfile.rate", 100.0 * achieved / designed, 1, "%",
                "File send, 64 KiB at 115200 baud: rate achieved, share of the designed pace "
                "(2880 bytes/s)");
    printResult("sendfile.cpu", 100.0 * cpu / wall, 2, "%",
                "File send, 64 KiB at 115200 baud: CPU, share of one core");
    bool intact = received == content;

    drain.setEnabled(false);
    QByteArray image(256 * 1024, Qt::Uninitialized);
    for (char &byte : image)
        byte = char(generator.bounded(256));
    QFile imageFile(QStringLiteral("image.bin"));
    if (!imageFile.open(QIODevice::WriteOnly) || imageFile.write(image) != image.size())
        return 1;
    imageFile.close();
    const auto imageChosen = answerNextFileDialog(QFileInfo(imageFile).absoluteFilePath());
    window.findChild<QPushButton *>(QStringLiteral("pushButton_send_file_path"))->click();
    auto *sendButton = window.findChild<QPushButton *>(QStringLiteral("pushButton_send_file"));
    auto *bar = window.findChild<QProgressBar *>(QStringLiteral("progressBar"));
    const QString idleCaption = sendButton->text();
    struct Case
    {
        const char *protocol;
        const char *program;
        const char *key;
    };
    const Case cases[] = {
        {"XMODEM", "rx", "xmodem"}, {"XMODEM-1K", "rx", "xmodem1k"}, {"YMODEM", "rb", "ymodem"}};
    for (const Case &c : cases) {
        const QString program = QStandardPaths::findExecutable(QString::fromLatin1(c.program));
        if (program.isEmpty()) {
            std::fprintf(stderr, "%s is missing (lrzsz)\n", c.program);
            return 1;
        }
        window.findChild<QComboBox *>(QStringLiteral("comboBox_sendProtocol"))
            ->setCurrentText(QString::fromLatin1(c.protocol));
        QTemporaryDir dir;
        QProcess receiver;
        receiver.setWorkingDirectory(dir.path());
        receiver.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        PtyRelay relay(pty, receiver);
        const bool ymodem = QByteArray(c.protocol) == "YMODEM";
        QStringList arguments{QStringLiteral("-q")};
        if (!ymodem)
            arguments << QStringLiteral("-c") << QStringLiteral("received.bin");
        receiver.start(program, arguments);
        if (!receiver.waitForStarted(10000))
            return 1;
        bar->setValue(0);
        QElapsedTimer runClock;
        qint64 firstAck = -1;
        qint64 lastAck = -1;
        const auto watch = QObject::connect(bar, &QProgressBar::valueChanged, [&](int value) {
            if (value > 0 && firstAck < 0)
                firstAck = runClock.nsecsElapsed();
            if (value == 100 && lastAck < 0)
                lastAck = runClock.nsecsElapsed();
        });
        const double cpuStart = cpuSeconds();
        runClock.start();
        sendButton->click();
        // The window's own events end it; nothing is waited out.
        while (sendButton->text() != idleCaption && runClock.elapsed() < 120000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const double whole = double(runClock.nsecsElapsed()) / 1e9;
        const double runCpu = cpuSeconds() - cpuStart;
        QObject::disconnect(watch);
        receiver.waitForFinished(30000);
        QFile got(
            QDir(dir.path())
                .filePath(ymodem ? QStringLiteral("image.bin") : QStringLiteral("received.bin")));
        const bool ok = lastAck > 0 && got.open(QIODevice::ReadOnly) &&
                        got.readAll().left(image.size()) == image;
        intact = intact && ok;
        const double data = double(lastAck - firstAck) / 1e9;
        std::printf("%-9s data %.3f s (%.0f KiB/s), whole run %.2f s, CPU %.3f s, intact %s\n",
                    c.protocol, data, image.size() / 1024.0 / data, whole, runCpu,
                    ok ? "yes" : "NO");
        if (!ok)
            continue;
        const QByteArray key = QByteArray("sendfile.window.") + c.key;
        const QByteArray what = QByteArray(c.protocol) + " from the window to lrzsz's " +
                                c.program + " over a pty, 256 KiB";
        printResult((key + ".data").constData(), data * 1000.0, 0, "ms",
                    (what + ": from 1 % acknowledged to the last block's ACK").constData());
        printResult(
            (key + ".whole").constData(), whole, 2, "s",
            (what + ": whole run from the click, the receiver's own pauses included").constData());
        printResult((key + ".cpu").constData(), runCpu * 1000.0, 0, "ms",
                    (what + ": CPU of the program, relay included").constData());
    }
    return intact ? 0 : 1;
}
