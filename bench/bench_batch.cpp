// How closely the batch run keeps its waits and how soon it answers: the length of runs against
// the delays and intervals they were given, and how long after STOP, a closed port or the close
// button the run, or the program, has ended. tst_batch checks what the run does; these are the
// times it takes.
#include "app/globals.h"
#include "app/widget.h"
#include "benchutil.h"
#include "support/gui.h"
#include "support/pty.h"
#include "support/runwatch.h"
#include "support/session.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

namespace {

class Bench
{
public:
    Bench()
    {
        window.show();
        run = control<QPushButton>(&window, QStringLiteral("pushButton_run"));
        stop = control<QPushButton>(&window, QStringLiteral("pushButton_stop"));
    }

    bool open() { return serialPort || openOnPty(&window, pty); }

    // Only the given rows are ticked.
    void rows(const QList<QPair<QString, QString>> &textAndDelay, const QString &runTimes,
              const QString &interval)
    {
        for (int row = 0; row < selectCheckBoxList.size(); ++row)
            selectCheckBoxList[row]->setChecked(false);
        for (int row = 0; row < textAndDelay.size(); ++row) {
            selectCheckBoxList[row]->setChecked(true);
            cmdLineEditList[row]->setText(textAndDelay[row].first);
            delayLineEditList[row]->setText(textAndDelay[row].second);
        }
        control<QLineEdit>(&window, QStringLiteral("lineEdit_RunTimes"))->setText(runTimes);
        control<QLineEdit>(&window, QStringLiteral("lineEdit_Interval"))->setText(interval);
    }

    RunWatch *watch() { return new RunWatch(run, stop, pty); }

    Widget window;
    PtyPair pty;
    QPushButton *run = nullptr;
    QPushButton *stop = nullptr;
};

// Milliseconds from an action, taken once the run's first byte has arrived, to the end of the
// run; -1 when the run overran the watch's ceiling.
double afterAction(Bench &bench, const std::function<void()> &action)
{
    QScopedPointer<RunWatch> w(bench.watch());
    qint64 actionAt = -1;
    w->when([&] { return !w->received.isEmpty(); },
            [&] {
                actionAt = w->nowNs();
                action();
            });
    w->runToEnd();
    return w->overran || actionAt < 0 ? -1 : double(w->durationNs - actionAt) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    qInstallMessageHandler(dropDebug);
    freshWorkingDirectory();
    Bench bench;
    int failures = 0;

    // RUN without a port: nothing to do.
    {
        bench.rows({{QStringLiteral("A"), QString()}}, QStringLiteral("3"), QStringLiteral("1000"));
        QElapsedTimer clock;
        clock.start();
        bench.run->click();
        const double us = double(clock.nsecsElapsed()) / 1e3;
        std::printf("run without a port: %.1f us\n", us);
        printResult("batch.noport", us, 1, "us",
                    "Batch run pressed with no port open (3 passes, 1000 ms interval): time until "
                    "it returns");
    }
    if (!bench.open()) {
        std::fprintf(stderr, "could not open the pseudo-terminal\n");
        return 1;
    }

    // Two passes of a row with a 100 ms delay and one without, 500 ms interval: 1200 ms of waits.
    // Five runs; the shortest and the longest against the designed length.
    {
        double shortest = 1e9;
        double longest = -1e9;
        for (int i = 0; i < 5; ++i) {
            bench.rows({{QStringLiteral("R3"), QStringLiteral("100")}, {QStringLiteral("R30"), {}}},
                       QStringLiteral("2"), QStringLiteral("500"));
            QScopedPointer<RunWatch> w(bench.watch());
            w->runToEnd();
            const double past = double(w->durationNs) / 1e6 - 1200;
            shortest = qMin(shortest, past);
            longest = qMax(longest, past);
            failures += w->overran ? 1 : 0;
        }
        std::printf("2 passes, 100 ms delay + 500 ms interval (1200 ms): past it by %.2f to %.2f "
                    "ms\n",
                    shortest, longest);
        printResult("batch.pace.shortest", shortest, 2, "ms",
                    "Batch run of 2 passes, 100 ms row delay and 500 ms interval (1200 ms of "
                    "waits), 5 runs: shortest time past 1200 ms (below 0: a wait ended early)");
        printResult("batch.pace.longest", longest, 2, "ms",
                    "Batch run of 2 passes, 100 ms row delay and 500 ms interval, 5 runs: longest "
                    "time past 1200 ms");
    }

    // RunTimes lowered to 1 during the first pass: the pass still ends with its interval.
    {
        bench.rows({{QStringLiteral("A"), QStringLiteral("300")}}, QStringLiteral("5"),
                   QStringLiteral("200"));
        QScopedPointer<RunWatch> w(bench.watch());
        w->when([&] { return w->received.contains('A'); },
                [&] {
                    control<QLineEdit>(&bench.window, QStringLiteral("lineEdit_RunTimes"))
                        ->setText(QStringLiteral("1"));
                });
        w->runToEnd();
        const double past = double(w->durationNs) / 1e6 - 500;
        failures += w->overran ? 1 : 0;
        std::printf("run count lowered in the pass, 300 ms delay + 200 ms interval: past 500 ms "
                    "by %.2f ms\n",
                    past);
        printResult("batch.lowered", past, 2, "ms",
                    "Batch run whose run count is lowered to 1 during its first pass (300 ms "
                    "delay, 200 ms interval): time past 500 ms (below 0: the interval was cut)");
    }

    // STOP during an hour's delay, and during a run of 200 000 passes without waits.
    const auto clickStop = [&] { bench.stop->click(); };
    bench.rows({{QStringLiteral("A"), QStringLiteral("3600000")}, {QStringLiteral("B"), {}}},
               QStringLiteral("3"), QStringLiteral("3600000"));
    const double stopWait = afterAction(bench, clickStop);
    bench.rows({{QStringLiteral("A"), QStringLiteral("0")}, {QStringLiteral("B"), {}}},
               QStringLiteral("200000"), QStringLiteral("0"));
    const double stopBusy = afterAction(bench, clickStop);
    std::printf("STOP to the run's end: %.2f ms in a delay, %.2f ms in a run without waits\n",
                stopWait, stopBusy);
    printResult("batch.stop.delay", stopWait, 2, "ms",
                "STOP pressed during an hour's row delay: time until the run has ended");
    printResult("batch.stop.busy", stopBusy, 2, "ms",
                "STOP pressed during a run of 200 000 passes without waits: time until the run "
                "has ended");
    failures += stopWait < 0 || stopBusy < 0 ? 1 : 0;

    // The port closed during a row's 300 ms delay: the delay runs out, no further row is sent.
    bench.rows({{QStringLiteral("A"), QStringLiteral("300")},
                {QStringLiteral("B"), QStringLiteral("300")}},
               QStringLiteral("3"), QString());
    const double closedPort = afterAction(bench, [&] {
        control<QPushButton>(&bench.window, QStringLiteral("pushButton_serialOpen"))->click();
    });
    std::printf("port closed in a 300 ms delay to the run's end: %.2f ms\n", closedPort);
    printResult("batch.closedport", closedPort, 2, "ms",
                "Port closed during a row's 300 ms delay: time until the run has ended (the "
                "delay runs out)");
    failures += closedPort < 0 ? 1 : 0;
    if (!bench.open()) {
        std::fprintf(stderr, "could not reopen the pseudo-terminal\n");
        return 1;
    }

    // Last, since it ends the event loop for good: the close button during an hour's delay.
    bench.rows({{QStringLiteral("A"), QStringLiteral("3600000")}}, QStringLiteral("1"), QString());
    QElapsedTimer sinceClose;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!sinceClose.isValid() && bench.pty.readAvailable().contains('A')) {
            sinceClose.start();
            control<QPushButton>(&bench.window, QStringLiteral("btn_close"))->click();
        }
    });
    poll.start(5);
    QTimer::singleShot(0, bench.run, &QPushButton::click);
    // Should the press not end the run, the bench ends anyway, as a failure.
    QTimer::singleShot(60000, &app, [] { std::_Exit(1); });
    app.exec();
    const double closed = sinceClose.isValid() ? double(sinceClose.nsecsElapsed()) / 1e6 : -1;
    std::printf("close button in a delay to the end of the event loop: %.2f ms\n", closed);
    printResult("batch.close", closed, 2, "ms",
                "Close button pressed during a batch run's hour-long row delay: time until the "
                "program's event loop has ended");
    return failures == 0 && closed >= 0 ? 0 : 1;
}
