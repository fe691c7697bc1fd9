// Sends a 64 KiB file at 115200 baud over a pseudo-terminal and reports the rate achieved against
// the designed pace of one block per 50 ms (baud / 40 bytes per second), and the share of one
// processor the program used meanwhile.
#include "app/widget.h"
#include "benchutil.h"
#include "support/filedialog.h"
#include "support/gui.h"
#include "support/pty.h"
#include "support/session.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSocketNotifier>

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
    return received == content ? 0 : 1;
}
