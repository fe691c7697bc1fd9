#include "app/globals.h"
#include "app/widget.h"
#include "support/child.h"
#include "support/gui.h"
#include "support/pty.h"
#include "support/session.h"
#include "support/windowtest.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSerialPort>
#include <QSettings>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace {

// Watches a batch run from inside the event handling the run does itself: records each new
// caption of the run button and every byte the module end receives, answers any modal box, and
// fires one-shot actions when their condition first holds. A run that outlives the ceiling is
// stopped and marked as overrun.
class RunWatch : public QObject
{
public:
    RunWatch(QPushButton *run, QPushButton *stop, PtyPair &pty) : run(run), stop(stop), pty(pty)
    {
        tick.setTimerType(Qt::PreciseTimer);
        tick.setInterval(5);
        connect(&tick, &QTimer::timeout, this, &RunWatch::look);
        tick.start();
    }

    void when(std::function<bool()> condition, std::function<void()> action)
    {
        actions.append({std::move(condition), std::move(action), false});
    }

    // Clicks RUN from the event loop and comes back once the click handler has returned.
    void runToEnd(int ceilingMs = 30000)
    {
        ceiling = ceilingMs;
        QTimer::singleShot(0, this, [this] {
            look();
            clock.start();
            running = true;
            run->click();
            running = false;
            duration = clock.elapsed();
            look();
        });
        QDeadlineTimer deadline(ceilingMs + 10000);
        while (duration < 0 && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        tick.stop();
    }

    qint64 now() const { return clock.elapsed(); }

    QStringList captions;
    QByteArray received;
    ModalWatch modals;
    qint64 duration = -1;
    bool overran = false;
    bool enabledWhileRunning = false;

private:
    struct Action
    {
        std::function<bool()> condition;
        std::function<void()> action;
        bool done;
    };

    void look()
    {
        if (captions.isEmpty() || captions.last() != run->text())
            captions << run->text();
        received += pty.readAvailable();
        if (running && run->isEnabled())
            enabledWhileRunning = true;
        for (Action &a : actions) {
            if (!a.done && a.condition()) {
                a.done = true;
                a.action();
            }
        }
        if (running && !overran && clock.elapsed() > ceiling) {
            overran = true;
            stop->click();
        }
    }

    QPushButton *run;
    QPushButton *stop;
    PtyPair &pty;
    QTimer tick;
    QElapsedTimer clock;
    QList<Action> actions;
    qint64 ceiling = 0;
    bool running = false;
};

} // namespace

class BatchTest : public WindowTest
{
    Q_OBJECT

private slots:
    void runWithoutPortDoesNothing();
    void passesRowsDelaysAndIntervals();
    void rowOrderAcrossPagesWhateverPageIsShown();
    void rowsWithoutTextAreSkippedWithTheirDelay();
    void noPassForRunTimes_data();
    void noPassForRunTimes();
    void stopEndsALongDelay();
    void runStaysDisabledUntilStoppedRunEnds();
    void lowerRunTimesEndsAfterThePass();
    void closingThePortStopsFurtherRows();
    void stopReachesARunWithoutWaits();
    void closeButtonEndsARunAndTheProgram();

private:
    RunWatch *watch();
    void setRow(int row, const QString &text, const QString &delay, bool ticked = true);
    void setCounters(const QString &runTimes, const QString &interval);
    QByteArray everythingWithMarker(RunWatch *w);
};

RunWatch *BatchTest::watch()
{
    return new RunWatch(get<QPushButton>("pushButton_run"), get<QPushButton>("pushButton_stop"),
                        *pty);
}

void BatchTest::setRow(int row, const QString &text, const QString &delay, bool ticked)
{
    selectCheckBoxList[row - 1]->setChecked(ticked);
    cmdLineEditList[row - 1]->setText(text);
    delayLineEditList[row - 1]->setText(delay);
    enterCheckBoxList[row - 1]->setChecked(true);
}

void BatchTest::setCounters(const QString &runTimes, const QString &interval)
{
    get<QLineEdit>("lineEdit_RunTimes")->setText(runTimes);
    get<QLineEdit>("lineEdit_Interval")->setText(interval);
}

// Everything the module end got, closed by a marker sent from the command line after the run:
// once the marker is in, nothing the run sent can still be on its way.
QByteArray BatchTest::everythingWithMarker(RunWatch *w)
{
    get<QCheckBox>("checkBox_CmdHexSend")->setChecked(false);
    get<QCheckBox>("checkBox_CmdWithEnter")->setChecked(false);
    get<QLineEdit>("lineEdit_main_cmd")->setText(QStringLiteral("#"));
    get<QPushButton>("pushButton_main_cmd_send")->click();
    QByteArray all = w->received;
    QDeadlineTimer deadline(10000);
    while (!all.endsWith('#') && !deadline.hasExpired())
        all += pty->readAtLeast(1, 100);
    return all;
}

void BatchTest::runWithoutPortDoesNothing()
{
    setRow(1, QStringLiteral("A"), QString());
    setCounters(QStringLiteral("3"), QStringLiteral("1000"));
    QScopedPointer<RunWatch> w(watch());
    w->runToEnd();
    QVERIFY(w->modals.seen.isEmpty()); // no warning of a send without port
    QVERIFY(w->duration < 500);
    QCOMPARE(w->captions, QStringList{QStringLiteral("RUN")});
    QVERIFY(get<QPushButton>("pushButton_run")->isEnabled());
}

void BatchTest::passesRowsDelaysAndIntervals()
{
    QVERIFY(openPort());
    setRow(3, QStringLiteral("R3"), QStringLiteral("100"));
    setRow(30, QStringLiteral("R30"), QString());
    setCounters(QStringLiteral("2"), QStringLiteral("500"));
    QScopedPointer<RunWatch> w(watch());
    w->runToEnd();

    QCOMPARE(everythingWithMarker(w.data()), QByteArray("R3\r\nR30\r\nR3\r\nR30\r\n#"));
    QCOMPARE(w->captions,
             QStringList({"RUN", "RUN[1-3]", "RUN[1-30]", "RUN[2-3]", "RUN[2-30]", "RUN"}));
    // Two row delays and two intervals, the last pass's included; waits never end early.
    QVERIFY2(w->duration >= 2 * (100 + 500) - 4, qPrintable(QString::number(w->duration)));
    QVERIFY2(w->duration < 10000, qPrintable(QString::number(w->duration)));
    QVERIFY(!w->enabledWhileRunning);
    QVERIFY(get<QPushButton>("pushButton_run")->isEnabled());
    QVERIFY(w->modals.seen.isEmpty());
}

void BatchTest::rowOrderAcrossPagesWhateverPageIsShown()
{
    QVERIFY(openPort());
    setRow(110, QStringLiteral("B110"), QString());
    setRow(7, QStringLiteral("A7"), QString());
    setRow(150, QStringLiteral("C150"), QString());
    setCounters(QStringLiteral("1"), QString());
    get<QTabWidget>("tabWidget")->setCurrentIndex(4);
    QScopedPointer<RunWatch> w(watch());
    w->runToEnd();
    QCOMPARE(everythingWithMarker(w.data()), QByteArray("A7\r\nB110\r\nC150\r\n#"));
}

void BatchTest::rowsWithoutTextAreSkippedWithTheirDelay()
{
    QVERIFY(openPort());
    setRow(4, QStringLiteral("U"), QStringLiteral("10000"), false); // not ticked
    setRow(5, QString(), QStringLiteral("10000"));                  // ticked, no text
    setRow(6, QStringLiteral("X"), QString());
    setRow(8, QStringLiteral(" "), QString()); // spaces are text
    setCounters(QStringLiteral("1"), QString());
    QScopedPointer<RunWatch> w(watch());
    w->runToEnd();
    QCOMPARE(everythingWithMarker(w.data()), QByteArray("X\r\n \r\n#"));
    QVERIFY2(w->duration < 5000, qPrintable(QString::number(w->duration)));
    QVERIFY(!w->captions.contains(QStringLiteral("RUN[1-4]")));
    QVERIFY(!w->captions.contains(QStringLiteral("RUN[1-5]")));
}

void BatchTest::noPassForRunTimes_data()
{
    QTest::addColumn<QString>("runTimes");
    QTest::newRow("empty") << "";
    QTest::newRow("letters") << "abc";
    QTest::newRow("zero") << "0";
    QTest::newRow("negative") << "-3";
}

void BatchTest::noPassForRunTimes()
{
    QFETCH(QString, runTimes);
    QVERIFY(openPort());
    setRow(1, QStringLiteral("A"), QStringLiteral("100"));
    setCounters(runTimes, QStringLiteral("100"));
    QScopedPointer<RunWatch> w(watch());
    w->runToEnd();
    QCOMPARE(everythingWithMarker(w.data()), QByteArray("#"));
    QCOMPARE(w->captions, QStringList{QStringLiteral("RUN")});
    QVERIFY(get<QPushButton>("pushButton_run")->isEnabled());
}

void BatchTest::stopEndsALongDelay()
{
    QVERIFY(openPort());
    setRow(1, QStringLiteral("A"), QStringLiteral("10000"));
    setRow(2, QStringLiteral("B"), QString());
    setCounters(QStringLiteral("3"), QStringLiteral("10000"));
    QScopedPointer<RunWatch> w(watch());
    qint64 stoppedAt = -1;
    w->when([&] { return w->received.contains('A'); },
            [&] {
                stoppedAt = w->now();
                get<QPushButton>("pushButton_stop")->click();
            });
    w->runToEnd();

    QVERIFY(stoppedAt >= 0);
    QVERIFY(!w->overran);
    QVERIFY2(w->duration - stoppedAt < 3000,
             qPrintable(QStringLiteral("%1 ms after STOP").arg(w->duration - stoppedAt)));
    QCOMPARE(everythingWithMarker(w.data()), QByteArray("A\r\n#"));
    QCOMPARE(get<QPushButton>("pushButton_run")->text(), QStringLiteral("RUN"));
    QVERIFY(get<QPushButton>("pushButton_run")->isEnabled());
}

void BatchTest::runStaysDisabledUntilStoppedRunEnds()
{
    QVERIFY(openPort());
    setRow(1, QStringLiteral("A"), QStringLiteral("10000"));
    setCounters(QStringLiteral("1"), QString());
    auto *run = get<QPushButton>("pushButton_run");
    QScopedPointer<RunWatch> w(watch());
    bool enabledAfterStop = true;
    QString captionAfterStop;
    w->when([&] { return w->received.contains('A'); },
            [&] {
                get<QPushButton>("pushButton_stop")->click();
                enabledAfterStop = run->isEnabled();
                captionAfterStop = run->text();
                // A RUN click that reaches the stopped run before it has wound down must not
                // start a second run inside it.
                QMetaObject::invokeMethod(run, "click", Qt::QueuedConnection);
            });
    w->runToEnd();

    QVERIFY(!enabledAfterStop);
    QCOMPARE(captionAfterStop, QStringLiteral("RUN"));
    QVERIFY(!w->overran);
    QVERIFY(!w->enabledWhileRunning);
    QCOMPARE(everythingWithMarker(w.data()), QByteArray("A\r\n#"));
    QVERIFY(run->isEnabled());
}

void BatchTest::lowerRunTimesEndsAfterThePass()
{
    QVERIFY(openPort());
    setRow(1, QStringLiteral("A"), QStringLiteral("300"));
    setCounters(QStringLiteral("5"), QStringLiteral("200"));
    QScopedPointer<RunWatch> w(watch());
    w->when([&] { return w->received.contains('A'); },
            [&] { get<QLineEdit>("lineEdit_RunTimes")->setText(QStringLiteral("1")); });
    w->runToEnd();

    QCOMPARE(everythingWithMarker(w.data()), QByteArray("A\r\n#"));
    // The pass still ends with its interval.
    QVERIFY2(w->duration >= 300 + 200 - 4, qPrintable(QString::number(w->duration)));
    QCOMPARE(settings->value(QStringLiteral("/globalSetting/runTimes")).toString(),
             QStringLiteral("1"));
}

void BatchTest::closingThePortStopsFurtherRows()
{
    QVERIFY(openPort());
    setRow(1, QStringLiteral("A"), QStringLiteral("300"));
    setRow(2, QStringLiteral("B"), QStringLiteral("300"));
    setCounters(QStringLiteral("3"), QString());
    QScopedPointer<RunWatch> w(watch());
    w->when([&] { return w->received.contains('A'); },
            [&] { get<QPushButton>("pushButton_serialOpen")->click(); });
    w->runToEnd();

    QVERIFY(serialPort == nullptr);
    QVERIFY2(w->modals.seen.isEmpty(), qPrintable(w->modals.seen.join(QLatin1Char(','))));
    QVERIFY2(w->duration < 5000, qPrintable(QString::number(w->duration)));
    QVERIFY(openPort());
    QCOMPARE(everythingWithMarker(w.data()), QByteArray("A\r\n#"));
}

void BatchTest::stopReachesARunWithoutWaits()
{
    QVERIFY(openPort());
    setRow(1, QStringLiteral("A"), QStringLiteral("0"));
    setRow(2, QStringLiteral("B"), QString());
    const int passes = 200000;
    setCounters(QString::number(passes), QStringLiteral("0"));
    QScopedPointer<RunWatch> w(watch());
    qint64 stoppedAt = -1;
    w->when([&] { return w->received.size() >= 40; },
            [&] {
                stoppedAt = w->now();
                get<QPushButton>("pushButton_stop")->click();
            });
    w->runToEnd();

    QVERIFY2(stoppedAt >= 0, "no event was handled during the run");
    QVERIFY(!w->overran);
    QVERIFY2(w->duration - stoppedAt < 3000,
             qPrintable(QStringLiteral("%1 ms after STOP").arg(w->duration - stoppedAt)));
    const QByteArray all = everythingWithMarker(w.data());
    QVERIFY(all.endsWith('#'));
    // Whole passes and at most one more row, far fewer than asked for.
    const QByteArray sent = all.chopped(1);
    const int sends = sent.count('\n');
    QVERIFY(sends < passes);
    QCOMPARE(sent, QByteArray("A\r\nB\r\n").repeated(sends / 2) + (sends % 2 ? "A\r\n" : ""));
}

void BatchTest::closeButtonEndsARunAndTheProgram()
{
    QByteArray out;
    runSelfAsChild(QStringLiteral("--close-during-run"), &out);
    if (QTest::currentTestFailed())
        return;
    const QList<QByteArray> words = out.trimmed().split(' ');
    QCOMPARE(words.value(0), QByteArray("ended"));
    const int afterClose = words.value(1).toInt();
    QVERIFY2(afterClose >= 0 && afterClose < 3000, out.constData());
}

// The child of closeButtonEndsARunAndTheProgram: a window whose event loop runs as the program's
// does, with a run in a 10 s delay when the close button is pressed. Prints how long after the
// press the event loop ended.
static int runAndClose()
{
    freshWorkingDirectory();
    Widget window;
    window.show();
    PtyPair pty;
    if (!openOnPty(&window, pty))
        return 2;
    selectCheckBoxList[0]->setChecked(true);
    cmdLineEditList[0]->setText(QStringLiteral("A"));
    delayLineEditList[0]->setText(QStringLiteral("10000"));
    control<QLineEdit>(&window, QStringLiteral("lineEdit_RunTimes"))->setText(QStringLiteral("1"));
    QElapsedTimer sinceClose;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!sinceClose.isValid() && pty.readAvailable().contains('A')) {
            sinceClose.start();
            control<QPushButton>(&window, QStringLiteral("btn_close"))->click();
        }
    });
    poll.start(5);
    QTimer::singleShot(
        0, [&] { control<QPushButton>(&window, QStringLiteral("pushButton_run"))->click(); });
    const int code = QApplication::exec();
    printf("ended %lld\n", sinceClose.isValid() ? sinceClose.elapsed() : -1LL);
    return code;
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    BatchTest test;
    return runTestsOrChild(test, argc, argv, {{QStringLiteral("--close-during-run"), runAndClose}});
}
#include "tst_batch.moc"
