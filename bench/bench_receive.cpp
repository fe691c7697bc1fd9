// Streams bytes into a running window, first as fast as a pty takes them, then at the rate of a
// UART at 921600 baud, and prints how fast they are shown, what that costs in CPU and how long
// the console goes without an update.
// Usage: bench_receive [megabytes for the fast runs, default 20] [megabytes at UART rate, default
// 1]

#include "app/globals.h"
#include "app/widget.h"
#include "support/gui.h"
#include "support/pty.h"
#include "support/session.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <poll.h>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace {

// Bytes put on the console so far, counted from the hex line each chunk writes to the debug
// output ("4F 4B len: 5" with stamps on: the length of the hex text is three per byte, minus 1),
// and the times between chunks.
qint64 shownBytes = 0;
int chunks = 0;
qint64 largestGapNs = 0;
QElapsedTimer sinceLastChunk;

void countShownBytes(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg)
        return;
    const int mark = message.lastIndexOf(QLatin1String(" len: "));
    if (mark < 0)
        return;
    const qint64 hexLength = message.midRef(mark + 6).toLongLong();
    shownBytes += hexLength > 0 ? (hexLength + 1) / 3 : 0;
    if (chunks++ > 0)
        largestGapNs = std::max(largestGapNs, sinceLastChunk.nsecsElapsed());
    sinceLastChunk.start();
}

double cpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Writes `total` bytes of NMEA-like lines to the master end, at `rate` bytes per second or, with
// rate 0, as fast as the pty takes them.
void stream(int master, qint64 total, qint64 rate)
{
    QElapsedTimer clock;
    clock.start();
    QByteArray block;
    for (int i = 0; block.size() < 64 * 1024; ++i)
        block += "$GPGGA,123519," + QByteArray::number(i) + ",4807.038,N,01131.000,E,1,08*47\r\n";
    qint64 sent = 0;
    while (sent < total) {
        const int offset = int(sent % block.size());
        qint64 want = std::min<qint64>(total - sent, block.size() - offset);
        if (rate > 0) {
            const qint64 due = rate * clock.nsecsElapsed() / 1000000000 - sent;
            if (due <= 0) {
                QThread::usleep(1000);
                continue;
            }
            want = std::min(want, due);
        }
        const ssize_t n = ::write(master, block.constData() + offset, size_t(want));
        if (n > 0) {
            sent += n;
        } else {
            pollfd p{master, POLLOUT, 0};
            ::poll(&p, 1, 100);
        }
    }
}

void runPhase(Widget &window, const PtyPair &pty, qint64 total, qint64 rate, bool hexView)
{
    window.findChild<QPushButton *>(QStringLiteral("pushButton_clear_screen"))->click();
    window.findChild<QCheckBox *>(QStringLiteral("checkBox_ShowHex"))->setChecked(hexView);

    QElapsedTimer clock;
    shownBytes = 0;
    chunks = 0;
    largestGapNs = 0;
    const double processCpu = cpuSeconds(RUSAGE_SELF);
    const double guiCpu = cpuSeconds(RUSAGE_THREAD);
    clock.start();
    std::thread peer(stream, pty.masterFd(), total, rate);
    // The loop sleeps between events, as the program's own would; the tick ends a stuck run.
    QTimer tick;
    tick.start(50);
    while (shownBytes < total && clock.elapsed() < 170000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double seconds = double(clock.elapsed()) / 1000.0;
    peer.join();

    const double megabytes = double(total) / (1024.0 * 1024.0);
    std::printf("%-9s %-9s %6.1f MB shown of %.1f in %6.2f s: %9.0f bytes/s, CPU %5.3f s/MB (GUI "
                "thread %5.3f s/MB), largest gap between two chunks shown %lld ms (%d chunks)\n",
                hexView ? "hex view" : "text view", rate > 0 ? "UART rate" : "flood",
                double(shownBytes) / (1024.0 * 1024.0), megabytes, seconds,
                double(shownBytes) / seconds, (cpuSeconds(RUSAGE_SELF) - processCpu) / megabytes,
                (cpuSeconds(RUSAGE_THREAD) - guiCpu) / megabytes, largestGapNs / 1000000, chunks);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const qint64 floodBytes = qint64((argc > 1 ? std::atof(argv[1]) : 20.0) * 1024 * 1024);
    const qint64 uartBytes = qint64((argc > 2 ? std::atof(argv[2]) : 1.0) * 1024 * 1024);
    // 921600 baud with 8N1 framing: ten bits on the line per byte.
    const qint64 uartRate = 92160;
    freshWorkingDirectory();
    qInstallMessageHandler(countShownBytes);

    Widget window;
    window.show();
    PtyPair pty;
    if (!pty.isOpen() || !openOnPty(&window, pty)) {
        std::fprintf(stderr, "could not open a pty session\n");
        return 1;
    }
    window.findChild<QCheckBox *>(QStringLiteral("checkBox_Timestamp"))->setChecked(true);
    for (bool hexView : {false, true})
        runPhase(window, pty, floodBytes, 0, hexView);
    for (bool hexView : {false, true})
        runPhase(window, pty, uartBytes, uartRate, hexView);
    return 0;
}
