// The sender against lrzsz's XMODEM and YMODEM receivers, an implementation of its own, run over
// pipes so that a lost byte is the sender's fault and not a terminal's.

#include "support/receiverlink.h"
#include "transfer/xmodem.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Every byte value, control bytes of the protocol among them, in an order that repeats only
// every 251 bytes so that a block out of place shows.
QByteArray content(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + i / 251) & 0xFF);
    return bytes;
}

struct Run
{
    QTemporaryDir dir;
    QProcess receiver;
    QByteArray errors;
};

} // namespace

Q_DECLARE_METATYPE(SendProtocol)

class LrzszTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sendsToReceiver_data();
    void sendsToReceiver();
    void corruptedBlockAndLostAckAreSentAgain();

private:
    // Starts `program` with `arguments` in the run's folder and lets `sender` talk to it, through
    // the relay that `relay` sets up, until the sender has finished and the receiver has exited;
    // both must have succeeded.
    void transfer(Run &run, const QString &program, const QStringList &arguments,
                  XmodemSender &sender, const std::function<void(ReceiverLink &)> &relay = {});

    QString rx;
    QString rb;
};

void LrzszTest::initTestCase()
{
    rx = QStandardPaths::findExecutable(QStringLiteral("rx"));
    rb = QStandardPaths::findExecutable(QStringLiteral("rb"));
    if (rx.isEmpty() || rb.isEmpty())
        QFAIL("lrzsz's rx and rb are missing (scripts/setup.sh installs lrzsz)");
}

void LrzszTest::transfer(Run &run, const QString &program, const QStringList &arguments,
                         XmodemSender &sender, const std::function<void(ReceiverLink &)> &relay)
{
    QVERIFY(run.dir.isValid());
    run.receiver.setWorkingDirectory(run.dir.path());
    QObject::connect(&run.receiver, &QProcess::readyReadStandardError, &run.receiver,
                     [&run] { run.errors += run.receiver.readAllStandardError(); });
    auto *link = new ReceiverLink(sender, run.receiver);
    link->setParent(&run.receiver);
    if (relay)
        relay(*link);
    run.receiver.start(program, arguments);
    QVERIFY2(run.receiver.waitForStarted(10000), qPrintable(run.receiver.errorString()));
    link->start();
    QVERIFY(link->waitUntilFinished(120000));
    QVERIFY2(run.receiver.state() == QProcess::NotRunning || run.receiver.waitForFinished(30000),
             run.errors.constData());
    run.errors += run.receiver.readAllStandardError();
    QVERIFY2(sender.state() == XmodemSender::State::Done, run.errors.constData());
    QVERIFY2(run.receiver.exitStatus() == QProcess::NormalExit && run.receiver.exitCode() == 0,
             run.errors.constData());
}

void LrzszTest::sendsToReceiver_data()
{
    QTest::addColumn<SendProtocol>("protocol");
    QTest::addColumn<bool>("crc");
    QTest::addColumn<int>("size");
    // What the XMODEM receiver keeps: the blocks whole, padding and all.
    QTest::addColumn<int>("padded");

    QTest::newRow("XMODEM checksum") << SendProtocol::Xmodem << false << 3000 << 3072;
    QTest::newRow("XMODEM CRC, one byte over a block")
        << SendProtocol::Xmodem << true << 129 << 256;
    QTest::newRow("XMODEM-1K checksum") << SendProtocol::Xmodem1k << false << 5000 << 5120;
    // The byte past 1024 goes in a 128-byte block.
    QTest::newRow("XMODEM-1K CRC, 1025 bytes") << SendProtocol::Xmodem1k << true << 1025 << 1152;
    // lrzsz's YMODEM receiver always asks for CRC.
    QTest::newRow("YMODEM, 256 KiB and 7 bytes")
        << SendProtocol::Ymodem << true << 262151 << 262151;
    QTest::newRow("XMODEM empty") << SendProtocol::Xmodem << true << 0 << 0;
    QTest::newRow("YMODEM, empty file") << SendProtocol::Ymodem << true << 0 << 0;
}

void LrzszTest::sendsToReceiver()
{
    QFETCH(SendProtocol, protocol);
    QFETCH(bool, crc);
    QFETCH(int, size);
    QFETCH(int, padded);

    const QByteArray bytes = content(size);
    // Mixed case, as the receiver keeps it, and a space.
    const QString name = QStringLiteral("Firmware v2.bin");
    const qint64 modified =
        QDateTime(QDate(2024, 5, 17), QTime(8, 30, 15), Qt::UTC).toSecsSinceEpoch();
    XmodemSender sender(protocol, XmodemFile::fromBytes(name, bytes, modified));
    Run run;
    const bool ymodem = protocol == SendProtocol::Ymodem;
    QStringList arguments{QStringLiteral("-q")};
    if (crc && !ymodem)
        arguments << QStringLiteral("-c");
    if (!ymodem)
        arguments << QStringLiteral("received.bin");
    transfer(run, ymodem ? rb : rx, arguments, sender);
    if (QTest::currentTestFailed())
        return;

    QCOMPARE(sender.check(), crc ? XmodemSender::Check::Crc16 : XmodemSender::Check::Checksum);
    QCOMPARE(sender.acknowledgedBytes(), qint64(size));
    QCOMPARE(sender.resent(), 0);
    QFile received(run.dir.filePath(ymodem ? name : QStringLiteral("received.bin")));
    QVERIFY2(received.open(QIODevice::ReadOnly),
             qPrintable(QDir(run.dir.path()).entryList(QDir::Files).join(", ")));
    const QByteArray got = received.readAll();
    QCOMPARE(got.size(), padded);
    QVERIFY(got.left(size) == bytes);
    QVERIFY(got.mid(size) == QByteArray(padded - size, Xmodem::Pad));
    if (ymodem)
        QCOMPARE(QFileInfo(received).lastModified().toSecsSinceEpoch(), modified);
}

void LrzszTest::corruptedBlockAndLostAckAreSentAgain()
{
    const QByteArray bytes = content(20 * 1024 + 300);
    XmodemTimeouts timeouts;
    timeouts.blockMs = 2000;
    XmodemSender sender(SendProtocol::Ymodem,
                        XmodemFile::fromBytes(QStringLiteral("image.bin"), bytes), timeouts);
    Run run;
    // Block 3's first copy arrives with one byte changed; the ACK of block 7's first copy is lost.
    int sentBlock = -1;
    int copies3 = 0;
    int copies7 = 0;
    bool ackDropped = false;
    auto relay = [&](ReceiverLink &link) {
        link.toReceiver = [&](const QByteArray &out) {
            QByteArray passed = out;
            sentBlock = out.size() > 1024 && out[0] == Xmodem::Stx ? quint8(out[1]) : -1;
            if (sentBlock == 3 && copies3++ == 0)
                passed[500] = char(passed[500] ^ 0x40);
            if (sentBlock == 7)
                ++copies7;
            return passed;
        };
        link.toSender = [&](const QByteArray &in) {
            QByteArray passed = in;
            if (sentBlock == 7 && copies7 == 1 && !ackDropped && passed.contains(Xmodem::Ack)) {
                passed.remove(passed.indexOf(Xmodem::Ack), 1);
                ackDropped = true;
            }
            return passed;
        };
    };
    transfer(run, rb, {QStringLiteral("-q")}, sender, relay);
    if (QTest::currentTestFailed())
        return;

    QVERIFY(ackDropped);
    QCOMPARE(copies3, 2);
    QCOMPARE(copies7, 2);
    QCOMPARE(sender.resent(), 2);
    QFile received(run.dir.filePath(QStringLiteral("image.bin")));
    QVERIFY(received.open(QIODevice::ReadOnly));
    QVERIFY(received.readAll() == bytes);
}

QTEST_GUILESS_MAIN(LrzszTest)
#include "tst_lrzsz.moc"
