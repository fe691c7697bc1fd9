// Streams bytes into a running window, first as fast as a pty takes them, then at the rate of a
// UART at 921600 baud, and prints how fast they are shown, what that costs in CPU, how long the
// console goes without an update, and the resident memory after start and after the floods.
// Last, a log coloured with ANSI escapes as ESP-IDF colours it, as fast as the pty takes it, with
// the console's colours off and on, twice each, alternating.
// Usage: bench_receive [megabytes for the fast runs, default 20] [megabytes at UART rate, default
// 1] [megabytes for each coloured run, default 10]

#include "app/globals.h"
#include "app/widget.h"
#include "benchutil.h"
#include "serial/consolemodel.h"
#include "support/gui.h"
#include "support/pty.h"
#include "support/session.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTextBrowser>
#include <QThread>
#include <QTimer>

#include <arpa/inet.h>
#include <cstdio>
#include <functional>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

// One phase's clock, started when it begins.
QElapsedTimer phaseClock;

// Bytes put on the console so far, as the console model reports them, and the times between
// chunks.
qint64 shownBytes = 0;
int chunks = 0;
qint64 largestChunkGapNs = 0;
qint64 lastChunkNs = 0;

// Repaints of the console after the phase's first chunk, and the longest time the console went
// without one (the first gap counts from that chunk).
bool counting = false;
int repaints = 0;
qint64 largestRepaintGapNs = 0;
qint64 lastRepaintNs = 0;

void countShownBytes(int bytes)
{
    if (bytes == 0)
        return;
    shownBytes += bytes;
    const qint64 now = phaseClock.nsecsElapsed();
    if (chunks++ > 0) {
        largestChunkGapNs = std::max(largestChunkGapNs, now - lastChunkNs);
    } else {
        counting = true;
        lastRepaintNs = now;
    }
    lastChunkNs = now;
}

// Times the paint events of the console's viewport.
class RepaintClock : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && counting) {
            const qint64 now = phaseClock.nsecsElapsed();
            largestRepaintGapNs = std::max(largestRepaintGapNs, now - lastRepaintNs);
            lastRepaintNs = now;
            ++repaints;
        }
        return QObject::eventFilter(watched, event);
    }
};

// 64 KiB of NMEA-like lines, as a GPS module sends them.
QByteArray nmeaLines()
{
    QByteArray block;
    for (int i = 0; block.size() < 64 * 1024; ++i)
        block += "$GPGGA,123519," + QByteArray::number(i) + ",4807.038,N,01131.000,E,1,08*47\r\n";
    return block;
}

// 64 KiB of log lines as ESP-IDF colours them: info green, warnings yellow, errors red, debug
// lines uncoloured; every line ends with a reset before its CR LF.
QByteArray colouredLogLines()
{
    QByteArray block;
    for (int i = 0; block.size() < 64 * 1024; ++i) {
        const int kind = i % 20;
        const QByteArray stamp = " (" + QByteArray::number(1000 + i * 7) + ") ";
        if (kind == 0)
            block += "\x1b[0;31mE" + stamp + "i2c: timeout waiting for ack, addr 0x3c\x1b[0m\r\n";
        else if (kind < 3)
            block += "\x1b[0;33mW" + stamp + "wifi: beacon timeout, reconnecting\x1b[0m\r\n";
        else if (kind == 3)
            block += "D" + stamp + "heap: free 183244, largest block 110592\x1b[0m\r\n";
        else
            block += "\x1b[0;32mI" + stamp + "sensor: t=21.4 C rh=40.2 % p=1013.2 hPa\x1b[0m\r\n";
    }
    return block;
}

// Writes `total` bytes of `block`, repeated, to the master end, at `rate` bytes per second or,
// with rate 0, as fast as the pty takes them.
void stream(int master, const QByteArray &block, qint64 total, qint64 rate)
{
    QElapsedTimer clock;
    clock.start();
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

// Handles events for `ms` milliseconds.
void settle(int ms)
{
    QElapsedTimer clock;
    clock.start();
    QTimer tick;
    tick.start(10);
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// One phase's stream and the names of its figures.
struct Phase
{
    QByteArray block;
    qint64 total;
    // Bytes per second; 0 for as fast as the pty takes them.
    qint64 rate;
    bool hexView;
    // Prefix of the figures' names, and what the descriptions say the stream was.
    QByteArray name;
    QByteArray what;
};

struct Figures
{
    double rateKiBs;
    double cpuMsPerMiB;
    double gapMs;
    double stallMs;
};

void report(const Phase &phase, const Figures &figures)
{
    printResult(phase.name + ".rate", figures.rateKiBs, 0, "KiB/s",
                "Receive " + phase.what + ": bytes shown per second");
    printResult(phase.name + ".cpu", figures.cpuMsPerMiB, 0, "ms/MiB",
                "Receive " + phase.what + ": CPU per MiB shown (GUI thread, i.e. the program)");
    printResult(phase.name + ".gap", figures.gapMs, 0, "ms",
                "Receive " + phase.what + ": largest gap between two console repaints");
    printResult(phase.name + ".stall", figures.stallMs, 0, "ms",
                "Receive " + phase.what +
                    ": longest the event loop was held up (input waits that long)");
}

Figures runPhase(Widget &window, int peerFd, const Phase &phase)
{
    const qint64 total = phase.total;
    const qint64 rate = phase.rate;
    const bool hexView = phase.hexView;
    window.findChild<QPushButton *>(QStringLiteral("pushButton_clear_screen"))->click();
    window.findChild<QCheckBox *>(QStringLiteral("checkBox_ShowHex"))->setChecked(hexView);
    settle(100);

    shownBytes = 0;
    chunks = 0;
    largestChunkGapNs = 0;
    counting = false;
    repaints = 0;
    largestRepaintGapNs = 0;
    const double processCpu = cpuSeconds(RUSAGE_SELF);
    const double guiCpu = cpuSeconds(RUSAGE_THREAD);
    phaseClock.start();
    std::thread peer(stream, peerFd, std::cref(phase.block), total, rate);
    // The loop sleeps between events, as the program's own would. The tick ends a stuck run and
    // measures the longest the event loop was kept from handling anything, a click for instance.
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    qint64 lastTickNs = 0;
    qint64 largestTickGapNs = 0;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = phaseClock.nsecsElapsed();
        largestTickGapNs = std::max(largestTickGapNs, now - lastTickNs);
        lastTickNs = now;
    });
    tick.start(10);
    while (shownBytes < total && phaseClock.elapsed() < 170000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double seconds = double(phaseClock.nsecsElapsed()) / 1e9;
    const double processCpuUsed = cpuSeconds(RUSAGE_SELF) - processCpu;
    const double guiCpuUsed = cpuSeconds(RUSAGE_THREAD) - guiCpu;
    peer.join();
    // The repaint that shows the last chunk closes the last gap.
    const int repaintsBefore = repaints;
    while (repaints == repaintsBefore && phaseClock.elapsed() < 175000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    counting = false;

    const double mib = double(total) / (1024.0 * 1024.0);
    const double shownMib = double(shownBytes) / (1024.0 * 1024.0);
    std::printf("%-22s %6.1f MB shown of %.1f in %6.2f s: %9.0f bytes/s, CPU %5.3f s/MB (GUI "
                "thread %5.3f s/MB), largest gap between two chunks shown %lld ms (%d chunks), "
                "between two console repaints %lld ms (%d repaints), event loop held up for at "
                "most %lld ms\n",
                phase.name.mid(8).constData(), shownMib, mib, seconds, double(shownBytes) / seconds,
                processCpuUsed / mib, guiCpuUsed / mib, largestChunkGapNs / 1000000, chunks,
                largestRepaintGapNs / 1000000, repaints,
                std::max<qint64>(0, largestTickGapNs / 1000000 - 10));

    return {double(shownBytes) / 1024.0 / seconds, 1000.0 * guiCpuUsed / mib,
            double(largestRepaintGapNs) / 1e6, std::max(0.0, double(largestTickGapNs) / 1e6 - 10)};
}

Phase plainPhase(qint64 total, qint64 rate, bool hexView)
{
    const QByteArray view = hexView ? "hex" : "text";
    return {nmeaLines(),
            total,
            rate,
            hexView,
            "receive." + QByteArray(rate > 0 ? "uart." : "flood.") + view,
            QByteArray(rate > 0 ? "at 921600 baud (90 KiB/s)" : "flood") + ", " + view +
                " view, stamps on"};
}

// A listening TCP socket on 127.0.0.1 at a port the system picks; -1 on failure.
int listenOnLoopback()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 ||
        ::listen(fd, 1) != 0) {
        if (fd >= 0)
            ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const qint64 floodBytes = qint64((argc > 1 ? std::atof(argv[1]) : 20.0) * 1024 * 1024);
    const qint64 uartBytes = qint64((argc > 2 ? std::atof(argv[2]) : 1.0) * 1024 * 1024);
    const qint64 colourBytes = qint64((argc > 3 ? std::atof(argv[3]) : 10.0) * 1024 * 1024);
    // 921600 baud with 8N1 framing: ten bits on the line per byte.
    const qint64 uartRate = 92160;
    freshWorkingDirectory();
    qInstallMessageHandler(dropDebug);

    Widget window;
    QObject::connect(window.findChild<ConsoleModel *>(), &ConsoleModel::chunkShown,
                     [](int bytes) { countShownBytes(bytes); });
    window.show();
    PtyPair pty;
    if (!pty.isOpen() || !openOnPty(&window, pty)) {
        std::fprintf(stderr, "could not open a pty session\n");
        return 1;
    }
    window.findChild<QCheckBox *>(QStringLiteral("checkBox_Timestamp"))->setChecked(true);
    RepaintClock repaintClock;
    window.findChild<QTextBrowser *>(QStringLiteral("textBrowser"))
        ->viewport()
        ->installEventFilter(&repaintClock);
    settle(500);
    const double startRss = residentMiB();
    std::printf("resident memory with the port open: %.1f MiB\n", startRss);
    printResult("memory.start", startRss, 1, "MiB",
                "Resident memory, window shown and port open (in-process, offscreen)");

    const QByteArray floodMib = QByteArray::number(double(floodBytes) / (1024 * 1024), 'g', 3);
    for (bool hexView : {false, true}) {
        const Phase phase = plainPhase(floodBytes, 0, hexView);
        report(phase, runPhase(window, pty.masterFd(), phase));
        settle(500);
        const double rss = residentMiB();
        std::printf("resident memory after that: %.1f MiB\n", rss);
        printResult(
            hexView ? "memory.after_flood_hex" : "memory.after_flood_text", rss, 1, "MiB",
            "Resident memory after " + floodMib +
                (hexView ? " MiB more received in hex view" : " MiB received in text view"));
    }
    for (bool hexView : {false, true}) {
        const Phase phase = plainPhase(uartBytes, uartRate, hexView);
        report(phase, runPhase(window, pty.masterFd(), phase));
    }

    // Colours off and on in turn, so that a change of the machine's load hits both alike.
    auto *colours = window.findChild<QAction *>(QStringLiteral("action_ansiColours"));
    if (!colours) {
        std::fprintf(stderr, "no colour option in the console's menu\n");
        return 1;
    }
    Figures sum[2] = {};
    for (int round = 0; round < 4; ++round) {
        const bool on = round % 2 == 1;
        colours->setChecked(on);
        const Phase phase{
            colouredLogLines(),
            colourBytes,
            0,
            false,
            on ? "receive.esplog.colours_on" : "receive.esplog.colours_off",
            on ? "coloured log (ESP-IDF style), flood, text view, stamps on, colours on"
               : "coloured log (ESP-IDF style), flood, text view, stamps on, colours off"};
        const Figures figures = runPhase(window, pty.masterFd(), phase);
        sum[on].rateKiBs += figures.rateKiBs / 2;
        sum[on].cpuMsPerMiB += figures.cpuMsPerMiB / 2;
        sum[on].gapMs = std::max(sum[on].gapMs, figures.gapMs);
        sum[on].stallMs = std::max(sum[on].stallMs, figures.stallMs);
        if (round >= 2)
            report(phase, sum[on]);
    }
    const double ratio = sum[1].cpuMsPerMiB / sum[0].cpuMsPerMiB;
    std::printf("coloured log: colours on cost %.2f times the CPU per MiB of colours off\n", ratio);
    printResult("receive.esplog.colour_cost", ratio, 2, "x",
                "Receive coloured log (ESP-IDF style, flood, text view, stamps on): CPU per MiB "
                "with colours on over colours off");
    // The same flood over a raw TCP network port on the loopback interface, beside the pty's.
    colours->setChecked(false);
    if (const int tcp = listenOnLoopback(); tcp >= 0) {
        window.findChild<QPushButton *>(QStringLiteral("pushButton_serialOpen"))->click();
        sockaddr_in address{};
        socklen_t length = sizeof address;
        ::getsockname(tcp, reinterpret_cast<sockaddr *>(&address), &length);
        // The connect completes in the listen backlog, before the accept.
        window.OpenFromCommandLine(
            QStringLiteral("tcp://127.0.0.1:%1").arg(ntohs(address.sin_port)), QString());
        const int peer = ::accept(tcp, nullptr, nullptr);
        if (peer >= 0) {
            Phase phase = plainPhase(floodBytes, 0, false);
            phase.name = "receive.tcp.flood.text";
            phase.what = "raw TCP network port on loopback, flood, text view, stamps on";
            report(phase, runPhase(window, peer, phase));
            ::close(peer);
        }
        ::close(tcp);
    }
    const double peak = residentMiB(0, "VmHWM:");
    std::printf("peak resident memory: %.1f MiB\n", peak);
    printResult("memory.peak", peak, 1, "MiB", "Peak resident memory over the whole receive bench");
    return 0;
}
