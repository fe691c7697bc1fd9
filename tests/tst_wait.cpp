#include "app/wait.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QTimer>
#include <QtTest>

// What a wait does, told by the events it handles; how long it takes, how late it ends and the
// processor time it costs are bench_wait's figures.
class WaitTest : public QObject
{
    Q_OBJECT

private slots:
    void returnsAtOnceWithoutHandlingEvents_data();
    void returnsAtOnceWithoutHandlingEvents();
    void handlesEventsUntilDeadline_data();
    void handlesEventsUntilDeadline();
    void endsWhenFlagIsCleared();
    void busyEventsDoNotStretchTheWait();
    void sleepsInsteadOfSpinning();
};

void WaitTest::returnsAtOnceWithoutHandlingEvents_data()
{
    QTest::addColumn<qint64>("ms");
    QTest::addColumn<int>("flag"); // -1: no flag, 0: cleared, 1: set

    QTest::newRow("zero") << qint64(0) << -1;
    QTest::newRow("zero, flag set") << qint64(0) << 1;
    QTest::newRow("negative") << qint64(-5) << -1;
    QTest::newRow("negative, flag set") << qint64(-5) << 1;
    QTest::newRow("flag already cleared") << qint64(5000) << 0;
}

void WaitTest::returnsAtOnceWithoutHandlingEvents()
{
    QFETCH(qint64, ms);
    QFETCH(int, flag);
    bool keepGoing = flag == 1;
    bool handled = false;
    QMetaObject::invokeMethod(
        this, [&handled] { handled = true; }, Qt::QueuedConnection);
    WaitHandlingEvents(ms, flag < 0 ? nullptr : &keepGoing);
    QVERIFY(!handled);
    QTRY_VERIFY(handled); // the queued call was only held back, not lost
}

void WaitTest::handlesEventsUntilDeadline_data()
{
    QTest::addColumn<qint64>("ms");
    QTest::addColumn<bool>("withFlag");

    QTest::newRow("50 ms") << qint64(50) << false;
    QTest::newRow("300 ms") << qint64(300) << false;
    QTest::newRow("300 ms, flag set") << qint64(300) << true;
}

void WaitTest::handlesEventsUntilDeadline()
{
    QFETCH(qint64, ms);
    QFETCH(bool, withFlag);
    bool keepGoing = true;
    bool queued = false;
    bool timed = false;
    QMetaObject::invokeMethod(
        this, [&queued] { queued = true; }, Qt::QueuedConnection);
    // Due halfway: it fires within the wait however late the machine lets either run.
    QTimer::singleShot(int(ms / 2), this, [&timed] { timed = true; });
    WaitHandlingEvents(ms, withFlag ? &keepGoing : nullptr);
    QVERIFY(queued);
    QVERIFY(timed);
}

void WaitTest::endsWhenFlagIsCleared()
{
    // The flag is looked at before every round of events: the round after the one that cleared
    // it ends the wait, and a call queued meanwhile is left for the caller's event loop. A wait
    // that missed the flag would handle it before its own end.
    bool keepGoing = true;
    bool handledAfterClearing = false;
    QTimer::singleShot(100, this, [&] {
        keepGoing = false;
        QMetaObject::invokeMethod(
            this, [&handledAfterClearing] { handledAfterClearing = true; }, Qt::QueuedConnection);
    });
    WaitHandlingEvents(10000, &keepGoing);
    QVERIFY(!keepGoing);
    QVERIFY(!handledAfterClearing);
    QTRY_VERIFY(handledAfterClearing);
}

void WaitTest::busyEventsDoNotStretchTheWait()
{
    // A steady stream of events must not push the end of the wait back: the wait ends while the
    // stream still flows. The stream dries up by itself after a hundred times the wait's length,
    // so a wait that it stretches ends too, and fails here.
    int ticks = 0;
    QTimer busy;
    busy.setInterval(1);
    connect(&busy, &QTimer::timeout, this, [&] {
        if (++ticks == 20000)
            busy.stop();
    });
    busy.start();
    WaitHandlingEvents(200);
    QVERIFY2(busy.isActive(), qPrintable(QStringLiteral("%1 ticks").arg(ticks)));
    QVERIFY(ticks > 0);
}

void WaitTest::sleepsInsteadOfSpinning()
{
    // With nothing else to do, a sleeping wait blocks once or a few times and wakes at its
    // deadline, where a polling one blocks for every tick of its poll and a spinning one never.
    int blocks = 0;
    auto counting = connect(QAbstractEventDispatcher::instance(),
                            &QAbstractEventDispatcher::aboutToBlock, this, [&blocks] { ++blocks; });
    WaitHandlingEvents(500);
    disconnect(counting);
    QVERIFY2(blocks >= 1 && blocks <= 10, qPrintable(QString::number(blocks)));
}

QTEST_GUILESS_MAIN(WaitTest)
#include "tst_wait.moc"
