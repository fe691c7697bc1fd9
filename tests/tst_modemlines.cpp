#include "support/child.h"
#include "support/modemlines.h"
#include "support/pty.h"

#include <QCoreApplication>
#include <QSerialPort>
#include <QThread>
#include <QtTest>

#include <cstdio>
#include <termios.h>

// The preload library that plays a UART's modem lines for ptys, through the real QSerialPort and
// a real pty: what the tests of the window's line strip stand on.
class ModemLinesTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void outputLinesAreRecordedInOrder();
    void inputLinesFollowTheTest_data();
    void inputLinesFollowTheTest();
    void breaksAreRecordedWithTheirLength();
    void refusedRequestsFail_data();
    void refusedRequestsFail();
    void plainPtyHasNoModemLines();

private:
    // Opens `port` on the pty with nothing recorded before.
    bool open(QSerialPort &port);

    ModemLines lines;
    PtyPair pty;
};

void ModemLinesTest::initTestCase()
{
    QVERIFY2(lines.isLoaded(), "run through ctest, which preloads the library "
                               "(LD_PRELOAD=libsermora_modemlines.so SERMORA_MODEMLINES=DIR)");
    QVERIFY(pty.isOpen());
}

void ModemLinesTest::init()
{
    lines.setInputs(false, false, false, false);
    lines.failLines({});
    lines.clear();
}

bool ModemLinesTest::open(QSerialPort &port)
{
    port.setPortName(pty.slavePath());
    const bool opened = port.open(QIODevice::ReadWrite);
    return opened && lines.history() == QStringList{QStringLiteral("OPEN")};
}

void ModemLinesTest::outputLinesAreRecordedInOrder()
{
    const qint64 start = ModemLines::now();
    QSerialPort port;
    QVERIFY(open(port));
    // The open itself asks nothing of the lines: the system raises both, as on a UART.
    QCOMPARE(port.pinoutSignals(),
             QSerialPort::DataTerminalReadySignal | QSerialPort::RequestToSendSignal);

    QVERIFY(port.setDataTerminalReady(false));
    QVERIFY(port.setRequestToSend(false));
    QCOMPARE(port.write("AT\r"), qint64(3));
    QVERIFY(port.waitForBytesWritten(1000));
    QThread::msleep(20);
    QVERIFY(port.setDataTerminalReady(true));
    QVERIFY(port.setDataTerminalReady(true));
    QVERIFY(port.isDataTerminalReady());
    QVERIFY(!port.isRequestToSend());
    port.close();
    const qint64 end = ModemLines::now();

    // Every request, also the one that leaves the line as it was; the data went through the pty.
    QCOMPARE(lines.history(),
             QStringList({"OPEN", "DTR 0", "RTS 0", "TX 3", "DTR 1", "DTR 1", "CLOSE"}));
    QCOMPARE(pty.readAtLeast(3), QByteArray("AT\r"));
    const QList<ModemLines::Change> changes = lines.changes();
    QCOMPARE(changes.first().device, pty.slavePath());
    QVERIFY(changes.first().time >= start && changes.last().time <= end);
    for (int i = 1; i < changes.size(); ++i)
        QVERIFY(changes[i].time >= changes[i - 1].time);
    const auto at = [&](const QString &event) {
        for (const ModemLines::Change &change : changes)
            if (change.toString() == event)
                return change.time;
        return qint64(-1);
    };
    QVERIFY(at("DTR 1") - at("TX 3") >= 20 * 1000000);
}

void ModemLinesTest::inputLinesFollowTheTest_data()
{
    QTest::addColumn<QList<bool>>("inputs"); // CTS, DSR, DCD, RI
    QTest::addColumn<int>("expected");

    QTest::newRow("none") << QList<bool>{false, false, false, false} << 0;
    QTest::newRow("all") << QList<bool>{true, true, true, true}
                         << int(QSerialPort::ClearToSendSignal | QSerialPort::DataSetReadySignal |
                                QSerialPort::DataCarrierDetectSignal |
                                QSerialPort::RingIndicatorSignal);
    QTest::newRow("CTS and DCD") << QList<bool>{true, false, true, false}
                                 << int(QSerialPort::ClearToSendSignal |
                                        QSerialPort::DataCarrierDetectSignal);
    QTest::newRow("RI") << QList<bool>{false, false, false, true}
                        << int(QSerialPort::RingIndicatorSignal);
}

void ModemLinesTest::inputLinesFollowTheTest()
{
    QFETCH(QList<bool>, inputs);
    QFETCH(int, expected);

    QSerialPort port;
    QVERIFY(open(port));
    QVERIFY(port.setRequestToSend(false));
    lines.setInputs(inputs[0], inputs[1], inputs[2], inputs[3]);
    QCOMPARE(int(port.pinoutSignals()), expected | QSerialPort::DataTerminalReadySignal);
    QCOMPARE(port.error(), QSerialPort::NoError);
    // Read afresh at every request, while the port stays open.
    const int all = QSerialPort::ClearToSendSignal | QSerialPort::DataSetReadySignal |
                    QSerialPort::DataCarrierDetectSignal | QSerialPort::RingIndicatorSignal;
    lines.setInputs(!inputs[0], !inputs[1], !inputs[2], !inputs[3]);
    QCOMPARE(int(port.pinoutSignals()), (all & ~expected) | QSerialPort::DataTerminalReadySignal);
}

void ModemLinesTest::breaksAreRecordedWithTheirLength()
{
    QSerialPort port;
    QVERIFY(open(port));
    QVERIFY(port.setBreakEnabled(true));
    QThread::msleep(50);
    QVERIFY(port.setBreakEnabled(false));
    // The timed break of the C library holds the caller, as a UART's driver does.
    QElapsedTimer timed;
    timed.start();
    QCOMPARE(tcsendbreak(int(port.handle()), 0), 0);
    QVERIFY(timed.elapsed() >= 250);

    const QList<ModemLines::Change> changes = lines.changes();
    QCOMPARE(lines.history(), QStringList({"OPEN", "BREAK 1", "BREAK 0", "BREAK 1", "BREAK 0"}));
    QVERIFY(changes[2].time - changes[1].time >= 50 * 1000000);
    QVERIFY(changes[4].time - changes[3].time >= 250 * 1000000);
}

void ModemLinesTest::refusedRequestsFail_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("error");
    QTest::addColumn<int>("reported"); // QSerialPort::SerialPortError

    QTest::newRow("DTR") << "DTR" << ENOTTY << int(QSerialPort::UnsupportedOperationError);
    QTest::newRow("RTS") << "RTS" << ENOTTY << int(QSerialPort::UnsupportedOperationError);
    QTest::newRow("BREAK") << "BREAK" << ENOTTY << int(QSerialPort::UnsupportedOperationError);
    QTest::newRow("GET") << "GET" << ENOTTY << int(QSerialPort::UnsupportedOperationError);
    QTest::newRow("DTR, EIO") << "DTR" << EIO << int(QSerialPort::ResourceError);
}

void ModemLinesTest::refusedRequestsFail()
{
    QFETCH(QString, line);
    QFETCH(int, error);
    QFETCH(int, reported);

    lines.setInputs(true, false, false, false);
    lines.failLines({line}, error);
    QSerialPort port;
    QVERIFY(open(port));
    const bool dtr = port.setDataTerminalReady(false);
    const bool rts = port.setRequestToSend(false);
    const bool breakOn = port.setBreakEnabled(true);
    const int pinout = int(port.pinoutSignals());

    QCOMPARE(dtr, line != "DTR");
    QCOMPARE(rts, line != "RTS");
    QCOMPARE(breakOn, line != "BREAK");
    QCOMPARE(int(port.error()), reported);
    if (line == "GET") {
        QCOMPARE(pinout, 0);
        QCOMPARE(lines.history({"GET"}).first(), QStringLiteral("GET refused"));
    } else {
        // A refused line keeps its level; the others follow their requests.
        QCOMPARE(pinout, (line == "DTR" ? int(QSerialPort::DataTerminalReadySignal) : 0) |
                             (line == "RTS" ? int(QSerialPort::RequestToSendSignal) : 0) |
                             int(QSerialPort::ClearToSendSignal));
        QVERIFY(lines.history().contains(line + (line == "BREAK" ? " 1 refused" : " 0 refused")));
    }
    // Data is never refused.
    QCOMPARE(port.write("x"), qint64(1));
    QVERIFY(port.waitForBytesWritten(1000));
    QCOMPARE(pty.readAtLeast(1), QByteArray("x"));
}

void ModemLinesTest::plainPtyHasNoModemLines()
{
    QByteArray output;
    runSelfAsChild(QStringLiteral("--plain-pty"), &output, {"LD_PRELOAD"});
    // Qt cannot tell "no line asserted" from "no lines" by pinoutSignals() alone: only its error
    // says so. The pty ignores breaks and reports success.
    QCOMPARE(output, QByteArray("loaded 0\n"
                                "pinout 0 error UnsupportedOperationError\n"
                                "dtr 0 error UnsupportedOperationError\n"
                                "rts 0 error UnsupportedOperationError\n"
                                "break 1 error NoError\n"
                                "data x\n"));
}

// The child of plainPtyHasNoModemLines, started without the library: what QSerialPort says about
// a pty's lines. Errors go by name: their numbers differ between Qt 5 and Qt 6.
static int plainPty()
{
    ModemLines lines;
    PtyPair pty;
    QSerialPort port(pty.slavePath());
    if (!port.open(QIODevice::ReadWrite))
        return 2;
    printf("loaded %d\n", int(lines.isLoaded()));
    const auto report = [&port](const char *name, int value) {
        printf("%s %d error %s\n", name, value,
               QMetaEnum::fromType<QSerialPort::SerialPortError>().valueToKey(port.error()));
        port.clearError();
    };
    report("pinout", int(port.pinoutSignals()));
    report("dtr", int(port.setDataTerminalReady(false)));
    report("rts", int(port.setRequestToSend(false)));
    report("break", int(port.setBreakEnabled(true)));
    port.write("x");
    port.waitForBytesWritten(1000);
    printf("data %s\n", pty.readAtLeast(1).constData());
    return 0;
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    ModemLinesTest test;
    return runTestsOrChild(test, argc, argv, {{QStringLiteral("--plain-pty"), plainPty}});
}
#include "tst_modemlines.moc"
