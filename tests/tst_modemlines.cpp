#include "support/modemlines.h"
#include "support/pty.h"

#include <QCoreApplication>
#include <QSerialPort>
#include <QThread>
#include <QtTest>

// The preload library that plays a UART's modem lines for ptys, through the real QSerialPort and
// a real pty: that its registers round-trip is what the tests of the window's line strip stand
// on. Those tests show the rest as the program meets it: refused lines, the indicators, breaks
// and pulses.
class ModemLinesTest : public QObject
{
    Q_OBJECT

private slots:
    void registersRoundTrip();

private:
    ModemLines lines;
    PtyPair pty;
};

void ModemLinesTest::registersRoundTrip()
{
    QVERIFY2(lines.isLoaded(), "run through ctest, which preloads the library "
                               "(LD_PRELOAD=libsermora_modemlines.so SERMORA_MODEMLINES=DIR)");
    lines.clear();
    QSerialPort port(pty.slavePath());
    QVERIFY(port.open(QIODevice::ReadWrite));
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
    QVERIFY(port.setBreakEnabled(true));
    QVERIFY(port.setBreakEnabled(false));

    // The inputs are read afresh at every request.
    const int dtr = QSerialPort::DataTerminalReadySignal;
    lines.setInputs(true, false, true, false);
    QCOMPARE(int(port.pinoutSignals()),
             QSerialPort::ClearToSendSignal | QSerialPort::DataCarrierDetectSignal | dtr);
    lines.setInputs(false, true, false, true);
    QCOMPARE(int(port.pinoutSignals()),
             QSerialPort::DataSetReadySignal | QSerialPort::RingIndicatorSignal | dtr);

    // A refused line keeps its level; data is never refused.
    lines.failLines({"RTS"});
    QVERIFY(!port.setRequestToSend(true));
    QCOMPARE(port.error(), QSerialPort::UnsupportedOperationError);
    port.clearError();
    QCOMPARE(int(port.pinoutSignals()) & QSerialPort::RequestToSendSignal, 0);
    QCOMPARE(port.write("x"), qint64(1));
    QVERIFY(port.waitForBytesWritten(1000));
    lines.failLines({});
    port.close();

    // Every request, also the one that leaves the line as it was; the data went through the pty.
    QCOMPARE(lines.history(),
             QStringList({"OPEN", "DTR 0", "RTS 0", "TX 3", "DTR 1", "DTR 1", "BREAK 1", "BREAK 0",
                          "RTS 1 refused", "TX 1", "CLOSE"}));
    QCOMPARE(pty.readAtLeast(4), QByteArray("AT\rx"));
    // In order, in nanoseconds.
    QList<qint64> at;
    for (const ModemLines::Change &change : lines.changes())
        if (change.line != QLatin1String("GET"))
            at << change.time;
    for (int i = 1; i < at.size(); ++i)
        QVERIFY(at[i] >= at[i - 1]);
    QVERIFY(at[4] - at[3] >= 20 * 1000000);
}

QTEST_GUILESS_MAIN(ModemLinesTest)
#include "tst_modemlines.moc"
