#include "app/globals.h"
#include "app/widget.h"
#include "support/child.h"
#include "support/gui.h"
#include "support/pty.h"
#include "support/runwatch.h"
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
    QVERIFY(w->modals.seen.isEmpty());      // no warning of a send without port
    QVERIFY(!w->handledEventsWhileRunning); // so no pass and no wait began
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
    // How long its waits take is bench_batch's figure.
    QVERIFY(!w->overran);
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
    // Delays of an hour: one waited would overrun the watch's ceiling.
    setRow(4, QStringLiteral("U"), QStringLiteral("3600000"), false); // not ticked
    setRow(5, QString(), QStringLiteral("3600000"));                  // ticked, no text
    setRow(6, QStringLiteral("X"), QString());
    setRow(8, QStringLiteral(" "), QString()); // spaces are text
    setCounters(QStringLiteral("1"), QString());
    QScopedPointer<RunWatch> w(watch());
    w->runToEnd();
    QCOMPARE(everythingWithMarker(w.data()), QByteArray("X\r\n \r\n#"));
    QVERIFY(!w->overran);
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
    // An hour's delay and interval: any wait that STOP does not end overruns the ceiling. How
    // soon the run ends after STOP is bench_batch's figure.
    setRow(1, QStringLiteral("A"), QStringLiteral("3600000"));
    setRow(2, QStringLiteral("B"), QString());
    setCounters(QStringLiteral("3"), QStringLiteral("3600000"));
    QScopedPointer<RunWatch> w(watch());
    bool stopped = false;
    w->when([&] { return w->received.contains('A'); },
            [&] {
                stopped = true;
                get<QPushButton>("pushButton_stop")->click();
            });
    w->runToEnd();

    QVERIFY(stopped);
    QVERIFY(!w->overran);
    QCOMPARE(everythingWithMarker(w.data()), QByteArray("A\r\n#"));
    QCOMPARE(get<QPushButton>("pushButton_run")->text(), QStringLiteral("RUN"));
    QVERIFY(get<QPushButton>("pushButton_run")->isEnabled());
}

void BatchTest::runStaysDisabledUntilStoppedRunEnds()
{
    QVERIFY(openPort());
    setRow(1, QStringLiteral("A"), QStringLiteral("3600000"));
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
    bool stopped = false;
    w->when([&] { return w->received.size() >= 40; },
            [&] {
                stopped = true;
                get<QPushButton>("pushButton_stop")->click();
            });
    w->runToEnd();

    QVERIFY2(stopped, "no event was handled during the run");
    QVERIFY(!w->overran);
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
    // Pressed during the run; how soon the program ended after it is bench_batch's figure.
    QVERIFY2(words.value(1).toInt() >= 0, out.constData());
}

// The child of closeButtonEndsARunAndTheProgram: a window whose event loop runs as the program's
// does, with a run in an hour's delay when the close button is pressed, so that the child ends
// in time only if the press ends the wait. Prints how long after the press the event loop ended,
// -1 if it was never pressed.
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
    delayLineEditList[0]->setText(QStringLiteral("3600000"));
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
