#include "app/wait.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

#include <sys/resource.h>

namespace {

// CPU time (user + system) this process has used so far, in milliseconds.
qint64 cpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return qint64(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000;
}

} // namespace

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
    QElapsedTimer clock;
    clock.start();
    WaitHandlingEvents(ms, flag < 0 ? nullptr : &keepGoing);
    QVERIFY(clock.elapsed() < 1000);
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
    QTimer::singleShot(int(ms / 2), this, [&timed] { timed = true; });
    QElapsedTimer clock;
    clock.start();
    WaitHandlingEvents(ms, withFlag ? &keepGoing : nullptr);
    const qint64 elapsed = clock.elapsed();
    QVERIFY(queued);
    QVERIFY(timed);
    // One millisecond of slack for the granularity of the clock used here.
    QVERIFY2(elapsed >= ms - 1, qPrintable(QString::number(elapsed)));
    QVERIFY2(elapsed < ms + 2000, qPrintable(QString::number(elapsed)));
}

void WaitTest::endsWhenFlagIsCleared()
{
    bool keepGoing = true;
    QTimer::singleShot(100, this, [&keepGoing] { keepGoing = false; });
    QElapsedTimer clock;
    clock.start();
    WaitHandlingEvents(10000, &keepGoing);
    QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
}

void WaitTest::busyEventsDoNotStretchTheWait()
{
    // A steady stream of events must not push the end of the wait back.
    int ticks = 0;
    QTimer busy;
    busy.setInterval(1);
    connect(&busy, &QTimer::timeout, this, [&ticks] { ++ticks; });
    busy.start();
    QElapsedTimer clock;
    clock.start();
    WaitHandlingEvents(200);
    QVERIFY2(clock.elapsed() < 2200, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(ticks > 0);
}

void WaitTest::sleepsInsteadOfSpinning()
{
    QElapsedTimer clock;
    clock.start();
    const qint64 cpuBefore = cpuMs();
    WaitHandlingEvents(1000);
    const qint64 cpu = cpuMs() - cpuBefore;
    const qint64 wall = clock.elapsed();
    // A polling wait burns about a whole core; a sleeping one next to nothing.
    QVERIFY2(cpu * 5 < wall, qPrintable(QStringLiteral("%1 ms CPU in %2 ms").arg(cpu).arg(wall)));
}

QTEST_GUILESS_MAIN(WaitTest)
#include "tst_wait.moc"
