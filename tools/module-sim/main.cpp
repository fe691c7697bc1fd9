// sermora-module-sim: plays a cellular module on a pseudo-terminal so the terminal can be tried
// and tested without hardware.

#include "nmea.h"
#include "protocol.h"
#include "ptylink.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

const char defaultLinkPath[] = "/tmp/sermora-module";
constexpr qint64 maxStreamRate = 10'000'000;
// Bytes the terminal has not taken yet (its port is closed or it reads slowly). Past this, more
// output is dropped, as a UART loses what nobody receives, instead of piling up without bound.
constexpr int maxPendingOutput = 16 * 1024;

int signalPipe[2] = {-1, -1};

void onTerminatingSignal(int)
{
    const int savedErrno = errno;
    const char byte = 0;
    // A full pipe already holds a wake-up byte, so a failed write loses nothing.
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
    errno = savedErrno;
}

// SIGINT, SIGTERM and SIGHUP end the event loop, so the link is removed on the normal way out.
bool quitOnTerminatingSignals(QCoreApplication &app)
{
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    struct sigaction action = {};
    action.sa_handler = onTerminatingSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signal, &action, nullptr);
    return true;
}

void fail(const QString &message)
{
    std::fprintf(stderr, "sermora-module-sim: %s\n", qPrintable(message));
}

// Serves the master end of the pty: feeds what the terminal sends to the protocol, writes the
// replies back and, when asked, streams NMEA sentences at a fixed byte rate.
class ModuleServer
{
public:
    ModuleServer(int masterFd, QFile *record, qint64 streamRate)
        : fd(masterFd), record(record), streamRate(streamRate),
          readable(masterFd, QSocketNotifier::Read), writable(masterFd, QSocketNotifier::Write),
          nmea(QDateTime::currentDateTimeUtc())
    {
        writable.setEnabled(false);
        QObject::connect(&readable, &QSocketNotifier::activated, [this] { readTerminal(); });
        QObject::connect(&writable, &QSocketNotifier::activated, [this] { flush(); });
        if (streamRate > 0) {
            streamTimer.setTimerType(Qt::PreciseTimer);
            QObject::connect(&streamTimer, &QTimer::timeout, [this] { streamTick(); });
            streamClock.start();
            streamTimer.start(10);
        }
    }

private:
    void readTerminal()
    {
        char buffer[4096];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n > 0) {
                const QByteArray bytes(buffer, int(n));
                if (record) {
                    record->write(bytes);
                    record->flush();
                }
                send(protocol.feed(bytes));
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else if (n < 0 && errno == EAGAIN) {
                return;
            } else {
                fail(QStringLiteral("reading the pty failed"));
                QCoreApplication::exit(1);
                readable.setEnabled(false);
                return;
            }
        }
    }

    void send(const QByteArray &bytes)
    {
        pending += bytes.left(maxPendingOutput - pending.size());
        flush();
    }

    void flush()
    {
        while (!pending.isEmpty()) {
            const ssize_t n = ::write(fd, pending.constData(), size_t(pending.size()));
            if (n > 0)
                pending.remove(0, int(n));
            else if (n < 0 && errno == EINTR)
                continue;
            else
                break;
        }
        writable.setEnabled(!pending.isEmpty());
    }

    void streamTick()
    {
        const qint64 due = streamClock.elapsed() * streamRate / 1000 - streamed;
        if (due <= 0)
            return;
        streamed += due;
        if (pending.size() >= maxPendingOutput)
            return;
        const int count = int(qMin<qint64>(due, maxPendingOutput));
        while (streamBuffer.size() < count)
            streamBuffer += nmea.nextFix();
        send(streamBuffer.left(count));
        streamBuffer.remove(0, count);
    }

    const int fd;
    QFile *const record;
    const qint64 streamRate;
    QSocketNotifier readable;
    QSocketNotifier writable;
    ModuleProtocol protocol;
    QByteArray pending;
    NmeaSource nmea;
    QByteArray streamBuffer;
    QTimer streamTimer;
    QElapsedTimer streamClock;
    qint64 streamed = 0;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("sermora-module-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SERMORA_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Plays a cellular module on a pseudo-terminal reachable at PATH (default "
                       "%1): AT, ATE0/ATE1, ATI, AT+CSQ, AT+CGMR and AT+CMGS=\"<number>\" "
                       "(text ended by Ctrl-Z). Prints PATH once the port is ready and serves "
                       "until SIGINT or SIGTERM, then removes PATH.")
            .arg(QLatin1String(defaultLinkPath)));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("PATH"),
                                 QStringLiteral("Symlink to create for the simulated port."),
                                 QStringLiteral("[PATH]"));
    const QCommandLineOption streamOption(
        QStringLiteral("stream"),
        QStringLiteral("Also send NMEA sentences ($GPGGA, $GPRMC) continuously at this rate."),
        QStringLiteral("BYTES_PER_SEC"));
    const QCommandLineOption recordOption(
        QStringLiteral("record"), QStringLiteral("Append every byte received to this file."),
        QStringLiteral("FILE"));
    parser.addOption(streamOption);
    parser.addOption(recordOption);
    parser.process(app);

    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1) {
        fail(QStringLiteral("only one PATH may be given"));
        return 2;
    }
    const QString linkPath =
        positional.isEmpty() ? QString::fromLatin1(defaultLinkPath) : positional.first();

    qint64 streamRate = 0;
    if (parser.isSet(streamOption)) {
        bool ok = false;
        streamRate = parser.value(streamOption).toLongLong(&ok);
        if (!ok || streamRate < 1 || streamRate > maxStreamRate) {
            fail(QStringLiteral("--stream needs a rate from 1 to %1 bytes per second")
                     .arg(maxStreamRate));
            return 2;
        }
    }

    QFile record;
    if (parser.isSet(recordOption)) {
        record.setFileName(parser.value(recordOption));
        if (!record.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
            fail(QStringLiteral("cannot open %1: %2").arg(record.fileName(), record.errorString()));
            return 1;
        }
    }

    if (!quitOnTerminatingSignals(app)) {
        fail(QStringLiteral("cannot set up signal handling"));
        return 1;
    }

    PtyLink pty;
    QString error;
    if (!pty.open(linkPath, &error)) {
        fail(error);
        return 1;
    }
    ModuleServer server(pty.masterFd(), record.isOpen() ? &record : nullptr, streamRate);

    std::printf("%s\n", qPrintable(linkPath));
    std::fflush(stdout);

    const int status = app.exec();
    pty.removeLink();
    return status;
}
