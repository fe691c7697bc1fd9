#include "tools/module-sim/nmea.h"
#include "tools/module-sim/protocol.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QByteArray ok = "\r\nOK\r\n";
const QByteArray error = "\r\nERROR\r\n";

// True when the sentence's two hex digits after "*" are the XOR of the bytes between "$" and "*".
bool checksumMatches(const QByteArray &sentence)
{
    const int star = sentence.lastIndexOf('*');
    if (!sentence.startsWith('$') || star < 0 || sentence.size() < star + 3)
        return false;
    quint8 sum = 0;
    for (int i = 1; i < star; ++i)
        sum ^= quint8(sentence.at(i));
    bool parsed = false;
    return sentence.mid(star + 1, 2).toUInt(&parsed, 16) == sum && parsed;
}

QByteArray fileContent(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Reads from the port into `got` until it holds `needle`, for at most 10 s.
bool readUntil(QSerialPort &port, QByteArray &got, const QByteArray &needle)
{
    QDeadlineTimer deadline(10000);
    while (!got.contains(needle) && !deadline.hasExpired()) {
        port.waitForReadyRead(50);
        got += port.readAll();
    }
    return got.contains(needle);
}

bool writeAll(QSerialPort &port, const QByteArray &bytes)
{
    return port.write(bytes) == bytes.size() && port.waitForBytesWritten(10000);
}

// The real simulator binary, killed if a test leaves it running.
class Simulator
{
public:
    ~Simulator()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(10000);
        }
    }

    // Starts it and waits for the path it prints once the port is ready.
    QString start(const QStringList &arguments)
    {
        process.start(QStringLiteral(SERMORA_MODULE_SIM), arguments);
        QDeadlineTimer deadline(20000);
        while (!process.canReadLine() && process.state() != QProcess::NotRunning &&
               !deadline.hasExpired())
            process.waitForReadyRead(100);
        return QString::fromLocal8Bit(process.readLine()).trimmed();
    }

    QProcess process;
};

} // namespace

class ModuleSimTest : public QObject
{
    Q_OBJECT

private slots:
    void replies_data();
    void replies();
    void messageReferenceWrapsAtOneOctet();
    void sentenceChecksum_data();
    void sentenceChecksum();
    void fixesAreWellFormedAcrossMidnight();
    void commandLine_data();
    void commandLine();
    void leavesOtherFilesAtThePath();
    void servesATerminalOverThePty();
    void streamsNmeaAndStillAnswers();
};

void ModuleSimTest::replies_data()
{
    QTest::addColumn<QByteArrayList>("feeds");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray echoOff = "ATE0\r" + ok;
    const QByteArray identity = "\r\nKesto\r\n" + QByteArray(ModuleIdentity::model) +
                                "\r\nRevision: " + ModuleIdentity::revision + "\r\n" + ok;

    QTest::newRow("AT echoed, then OK") << QByteArrayList{"AT\r"} << QByteArray("AT\r" + ok);
    QTest::newRow("LF after CR ignored") << QByteArrayList{"AT\r\n"} << QByteArray("AT\r" + ok);
    QTest::newRow("lower case") << QByteArrayList{"at\r"} << QByteArray("at\r" + ok);
    QTest::newRow("mixed case query")
        << QByteArrayList{"aT+cSq\r"} << QByteArray("aT+cSq\r\r\n+CSQ: 23,99\r\n" + ok);
    QTest::newRow("command split over feeds")
        << QByteArrayList{"A", "T", "\r"} << QByteArray("AT\r" + ok);
    QTest::newRow("two commands in one feed")
        << QByteArrayList{"AT\rATI\r"} << QByteArray("AT\r" + ok + "ATI\r" + identity);
    QTest::newRow("revision") << QByteArrayList{"AT+CGMR\r"}
                              << QByteArray("AT+CGMR\r\r\n" + QByteArray(ModuleIdentity::revision) +
                                            "\r\n" + ok);
    QTest::newRow("echo off") << QByteArrayList{"ATE0\r", "AT\r"} << QByteArray(echoOff + ok);
    QTest::newRow("echo back on") << QByteArrayList{"ATE0\r", "ATE1\r", "AT\r"}
                                  << QByteArray(echoOff + ok + "AT\r" + ok);
    QTest::newRow("empty line is silent") << QByteArrayList{"\r\n", "\r"} << QByteArray("\r\r");
    QTest::newRow("unknown command")
        << QByteArrayList{"AT+FOO\r"} << QByteArray("AT+FOO\r" + error);
    QTest::newRow("not a command") << QByteArrayList{"hello\r"} << QByteArray("hello\r" + error);
    QTest::newRow("overlong line, then a good one")
        << QByteArrayList{"ATE0\r", "AT" + QByteArray(ModuleProtocol::maxCommandLength, 'Z'), "\r",
                          "AT\r"}
        << QByteArray(echoOff + error + ok);
    QTest::newRow("message, text over two feeds")
        << QByteArrayList{"AT+CMGS=\"+4917012345\"\r", "Hello", " world\x1a"}
        << QByteArray("AT+CMGS=\"+4917012345\"\r\r\n> Hello world\r\n+CMGS: 1\r\n" + ok);
    QTest::newRow("message text is not executed")
        << QByteArrayList{"ATE0\r", "at+cmgs=\"123\"\r", "AT\r\n", "ATE1\r", "\x1a", "AT\r"}
        << QByteArray(echoOff + "\r\n> \r\n+CMGS: 1\r\n" + ok + ok);
    QTest::newRow("Ctrl-Z in the same feed as the command")
        << QByteArrayList{"ATE0\rAT+CMGS=\"1\"\rhi\x1a"
                          "AT\r"}
        << QByteArray(echoOff + "\r\n> \r\n+CMGS: 1\r\n" + ok + ok);
    QTest::newRow("message number not quoted")
        << QByteArrayList{"ATE0\r", "AT+CMGS=123\r", "AT\r"} << QByteArray(echoOff + error + ok);
    QTest::newRow("message number empty")
        << QByteArrayList{"ATE0\r", "AT+CMGS=\"\"\r", "AT+CMGS=\"+\"\r"}
        << QByteArray(echoOff + error + error);
    QTest::newRow("message number with letters")
        << QByteArrayList{"ATE0\r", "AT+CMGS=\"12ab\"\r", "AT+CMGS=\"1+2\"\r"}
        << QByteArray(echoOff + error + error);
}

void ModuleSimTest::replies()
{
    QFETCH(QByteArrayList, feeds);
    QFETCH(QByteArray, expected);

    ModuleProtocol module;
    QByteArray out;
    for (const QByteArray &feed : feeds)
        out += module.feed(feed);
    QCOMPARE(out, expected);
}

void ModuleSimTest::messageReferenceWrapsAtOneOctet()
{
    ModuleProtocol module;
    module.feed("ATE0\r");
    QByteArray last;
    for (int sent = 1; sent <= 256; ++sent) {
        QCOMPARE(module.feed("AT+CMGS=\"5550100\"\r"), QByteArray("\r\n> "));
        QVERIFY(module.collectingMessage());
        last = module.feed("text\x1a");
        QVERIFY(!module.collectingMessage());
        if (sent == 255)
            QCOMPARE(last, QByteArray("\r\n+CMGS: 255\r\n" + ok));
    }
    QCOMPARE(last, QByteArray("\r\n+CMGS: 0\r\n" + ok));
}

void ModuleSimTest::sentenceChecksum_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("sentence");

    QTest::newRow("empty body") << QByteArray() << QByteArray("$*00\r\n");
    QTest::newRow("single digit is padded") << QByteArray("AC") << QByteArray("$AC*02\r\n");
    QTest::newRow("hex letters upper case") << QByteArray("J") << QByteArray("$J*4A\r\n");
    QTest::newRow("fix")
        << QByteArray("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,")
        << QByteArray("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n");
}

void ModuleSimTest::sentenceChecksum()
{
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, sentence);
    QCOMPARE(nmeaSentence(body), sentence);
}

void ModuleSimTest::fixesAreWellFormedAcrossMidnight()
{
    NmeaSource source(QDateTime(QDate(2024, 2, 29), QTime(23, 59, 59), Qt::UTC));
    QByteArray stream = source.nextFix();
    stream += source.nextFix();
    QByteArrayList sentences = stream.split('\n');
    QCOMPARE(sentences.size(), 5);
    QVERIFY(sentences.takeLast().isEmpty());

    const QRegularExpression gga(QStringLiteral(
        R"(^\$GPGGA,\d{6}\.00,\d{4}\.\d{4},N,\d{5}\.\d{4},E,1,\d\d,[\d.]+,[\d.]+,M,[\d.]+,M,,\*[0-9A-F]{2}\r$)"));
    const QRegularExpression rmc(QStringLiteral(
        R"(^\$GPRMC,\d{6}\.00,A,\d{4}\.\d{4},N,\d{5}\.\d{4},E,[\d.]+,[\d.]+,\d{6},,,A\*[0-9A-F]{2}\r$)"));
    for (int i = 0; i < sentences.size(); ++i) {
        const QString text = QString::fromLatin1(sentences[i]);
        QVERIFY2(checksumMatches(sentences[i]), qPrintable(text));
        QVERIFY2((i % 2 == 0 ? gga : rmc).match(text).hasMatch(), qPrintable(text));
    }
    QVERIFY(sentences[0].startsWith("$GPGGA,235959.00,"));
    QVERIFY(sentences[1].contains(",290224,"));
    QVERIFY(sentences[2].startsWith("$GPGGA,000000.00,"));
    QVERIFY(sentences[3].contains(",010324,"));
    // The receiver moves between fixes.
    QVERIFY(sentences[0].mid(17, 25) != sentences[2].mid(17, 25));
}

void ModuleSimTest::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output");

    QTest::newRow("help") << QStringList{QStringLiteral("--help")} << 0
                          << QStringLiteral("--stream <BYTES_PER_SEC>");
    QTest::newRow("zero rate") << QStringList{QStringLiteral("--stream"), QStringLiteral("0")} << 2
                               << QStringLiteral("--stream needs a rate");
    QTest::newRow("rate not a number")
        << QStringList{QStringLiteral("--stream"), QStringLiteral("fast")} << 2
        << QStringLiteral("--stream needs a rate");
    QTest::newRow("record file cannot be opened")
        << QStringList{QStringLiteral("--record"), QStringLiteral("/nonexistent-dir/rec.bin")} << 1
        << QStringLiteral("cannot open /nonexistent-dir/rec.bin");
}

void ModuleSimTest::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, output);

    QProcess sim;
    sim.setProcessChannelMode(QProcess::MergedChannels);
    sim.start(QStringLiteral(SERMORA_MODULE_SIM), arguments);
    QVERIFY(sim.waitForFinished(20000));
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.exitCode(), exitCode);
    QVERIFY2(QString::fromLocal8Bit(sim.readAll()).contains(output), qPrintable(output));
}

void ModuleSimTest::leavesOtherFilesAtThePath()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("notes.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("keep me");
    file.close();

    QProcess sim;
    sim.start(QStringLiteral(SERMORA_MODULE_SIM), {path});
    QVERIFY(sim.waitForFinished(20000));
    QCOMPARE(sim.exitCode(), 1);
    QVERIFY(!QFileInfo(path).isSymLink());
    QCOMPARE(fileContent(path), QByteArray("keep me"));
}

void ModuleSimTest::servesATerminalOverThePty()
{
    QTemporaryDir dir;
    // The lock file of a serial port is named after the device's file name, so make it unique.
    const QString link =
        dir.filePath(QStringLiteral("module-%1").arg(QCoreApplication::applicationPid()));
    const QString record = dir.filePath(QStringLiteral("received.bin"));
    // What a killed simulator leaves behind.
    QVERIFY(QFile::link(QStringLiteral("/dev/pts/no-such-pty"), link));

    Simulator sim;
    QCOMPARE(sim.start({link, QStringLiteral("--record"), record}), link);
    QVERIFY2(QFileInfo(link).symLinkTarget().startsWith(QStringLiteral("/dev/pts/")),
             qPrintable(QFileInfo(link).symLinkTarget()));

    QByteArray sent;
    QSerialPort port(link);
    port.setBaudRate(QSerialPort::Baud115200);
    QVERIFY2(port.open(QIODevice::ReadWrite), qPrintable(port.errorString()));
    QByteArray got;
    sent += "AT\r";
    QVERIFY(writeAll(port, "AT\r"));
    QVERIFY(readUntil(port, got, ok));
    QCOMPARE(got, QByteArray("AT\r" + ok));

    // The terminal closes and reopens the port; the module keeps answering.
    port.close();
    QVERIFY2(port.open(QIODevice::ReadWrite), qPrintable(port.errorString()));
    got.clear();
    sent += "ati\r";
    QVERIFY(writeAll(port, "ati\r"));
    QVERIFY(readUntil(port, got, ok));
    QVERIFY2(got.contains("\r\nKesto\r\n"), got.constData());

    got.clear();
    const QByteArray command = "AT+CMGS=\"+4917012345\"\r";
    sent += command;
    QVERIFY(writeAll(port, command));
    QVERIFY(readUntil(port, got, "> "));
    for (const QByteArray &part : {QByteArray("Hello from"), QByteArray(" the bench\x1a")}) {
        sent += part;
        QVERIFY(writeAll(port, part));
    }
    QVERIFY(readUntil(port, got, ok));
    QCOMPARE(got, QByteArray(command + "\r\n> Hello from the bench\r\n+CMGS: 1\r\n" + ok));

    QTRY_COMPARE_WITH_TIMEOUT(fileContent(record), sent, 10000);

    port.close();
    sim.process.terminate();
    QVERIFY(sim.process.waitForFinished(10000));
    QCOMPARE(sim.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.process.exitCode(), 0);
    QVERIFY(!QFileInfo(link).isSymLink());
    QVERIFY(!QFileInfo::exists(link));
}

void ModuleSimTest::streamsNmeaAndStillAnswers()
{
    QTemporaryDir dir;
    const QString link =
        dir.filePath(QStringLiteral("gps-%1").arg(QCoreApplication::applicationPid()));
    Simulator sim;
    QCOMPARE(sim.start({link, QStringLiteral("--stream"), QStringLiteral("5000")}), link);

    QSerialPort port(link);
    QVERIFY2(port.open(QIODevice::ReadWrite), qPrintable(port.errorString()));
    QByteArray got;
    QDeadlineTimer deadline(10000);
    while (got.count('\n') < 6 && !deadline.hasExpired()) {
        port.waitForReadyRead(50);
        got += port.readAll();
    }
    QByteArrayList lines = got.split('\n');
    QVERIFY(lines.size() >= 7);
    // The first line may have started before the port was opened, the last is unfinished.
    lines = lines.mid(1, lines.size() - 2);
    for (const QByteArray &line : lines) {
        QVERIFY2(line.endsWith('\r'), line.constData());
        QVERIFY2(checksumMatches(line.chopped(1)), line.constData());
    }

    got.clear();
    QVERIFY(writeAll(port, "ATE0\r"));
    QVERIFY(readUntil(port, got, ok));
    QVERIFY(readUntil(port, got, "$GPRMC"));
}

QTEST_GUILESS_MAIN(ModuleSimTest)
#include "tst_modulesim.moc"
