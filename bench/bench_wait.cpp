// Cost and accuracy of the waits of the batch run and the file send: the CPU share one long row
// delay takes, how late short waits end (with a steady stream of events too), how soon a wait
// ends once its flag is cleared, and what a wait of no time costs. tst_wait checks what a wait
// does; these are the times it takes.
#include "app/globals.h"
#include "app/wait.h"
#include "app/widget.h"
#include "benchutil.h"
#include "support/gui.h"
#include "support/pty.h"
#include "support/session.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

qint64 cpuMicroseconds()
{
    return qint64(cpuSeconds() * 1e6);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    freshWorkingDirectory();
    Widget window;
    window.show();
    PtyPair pty;
    if (!openOnPty(&window, pty)) {
        std::fprintf(stderr, "could not open the pseudo-terminal\n");
        return 1;
    }

    // One ticked row with a 10 000 ms delay, one pass, no interval.
    selectCheckBoxList[0]->setChecked(true);
    cmdLineEditList[0]->setText(QStringLiteral("AT"));
    delayLineEditList[0]->setText(QStringLiteral("10000"));
    window.findChild<QLineEdit *>(QStringLiteral("lineEdit_RunTimes"))->setText("1");
    auto *run = window.findChild<QPushButton *>(QStringLiteral("pushButton_run"));

    qint64 cpu = 0;
    qint64 wall = 0;
    QTimer::singleShot(0, [&] {
        QElapsedTimer clock;
        clock.start();
        const qint64 cpuBefore = cpuMicroseconds();
        run->click();
        cpu = cpuMicroseconds() - cpuBefore;
        wall = clock.nsecsElapsed() / 1000;
        app.quit();
    });
    app.exec();
    std::printf("batch run, one row, 10000 ms delay: %.1f ms wall, %.1f ms CPU = %.2f%% of one "
                "core\n",
                wall / 1000.0, cpu / 1000.0, 100.0 * double(cpu) / double(wall));
    printResult("wait.batch.cpu", 100.0 * double(cpu) / double(wall), 2, "%",
                "Batch run waiting one row's 10 s delay: CPU, share of one core");

    // The same 10 s in the plain event loop: what the idle window (port scan included) costs.
    const qint64 idleCpuBefore = cpuMicroseconds();
    QElapsedTimer idleClock;
    idleClock.start();
    QTimer::singleShot(10000, &app, &QApplication::quit);
    app.exec();
    const qint64 idleCpu = cpuMicroseconds() - idleCpuBefore;
    const qint64 idleWall = idleClock.nsecsElapsed() / 1000;
    std::printf("idle event loop for comparison: %.1f ms wall, %.1f ms CPU = %.2f%% of one core\n",
                idleWall / 1000.0, idleCpu / 1000.0, 100.0 * double(idleCpu) / double(idleWall));
    printResult("wait.idle.cpu", 100.0 * double(idleCpu) / double(idleWall), 2, "%",
                "Idle window with the port open, 10 s, for comparison: CPU, share of one core");

    // 50 waits of 100 ms as the batch run makes them, each measured past its deadline.
    isBatchRunning = true;
    QVector<double> late;
    for (int i = 0; i < 50; ++i) {
        QElapsedTimer clock;
        clock.start();
        WaitHandlingEvents(100, &isBatchRunning);
        late.append(clock.nsecsElapsed() / 1e6 - 100.0);
    }
    isBatchRunning = false;
    std::sort(late.begin(), late.end());
    std::printf("50 waits of 100 ms, past the deadline: min %.3f ms, median %.3f ms, max %.3f ms\n",
                late.first(), (late[24] + late[25]) / 2, late.last());
    printResult("wait.overshoot.min", late.first(), 2, "ms",
                "50 batch waits of 100 ms: smallest time past the deadline (below 0: ended early)");
    printResult("wait.overshoot.median", (late[24] + late[25]) / 2, 2, "ms",
                "50 batch waits of 100 ms: median time past the deadline");
    printResult("wait.overshoot.max", late.last(), 2, "ms",
                "50 batch waits of 100 ms: largest time past the deadline");

    // The same under a timer firing every millisecond.
    QTimer busy;
    busy.setInterval(1);
    busy.start();
    double busyLate = -1e9;
    for (int i = 0; i < 10; ++i) {
        QElapsedTimer clock;
        clock.start();
        WaitHandlingEvents(200);
        busyLate = std::max(busyLate, clock.nsecsElapsed() / 1e6 - 200.0);
    }
    busy.stop();
    std::printf("10 waits of 200 ms under a 1 ms timer, past the deadline: max %.3f ms\n",
                busyLate);
    printResult("wait.busy.overshoot", busyLate, 2, "ms",
                "10 waits of 200 ms under a timer firing every millisecond: largest time past the "
                "deadline");

    // Waits of 10 s whose flag a timer clears after 20 ms, as STOP does: time from the clearing
    // to the wait's return.
    QVector<double> afterClear;
    for (int i = 0; i < 20; ++i) {
        bool keepGoing = true;
        QElapsedTimer sinceClear;
        QTimer::singleShot(20, [&] {
            keepGoing = false;
            sinceClear.start();
        });
        WaitHandlingEvents(10000, &keepGoing);
        afterClear.append(sinceClear.isValid() ? sinceClear.nsecsElapsed() / 1e6 : 10000.0);
    }
    std::sort(afterClear.begin(), afterClear.end());
    std::printf("20 waits ended by clearing their flag: median %.3f ms, max %.3f ms after it\n",
                (afterClear[9] + afterClear[10]) / 2, afterClear.last());
    printResult("wait.flag.max", afterClear.last(), 3, "ms",
                "20 waits of 10 s ended by clearing their flag: largest time from the clearing to "
                "the return");

    // Waits of no time, with and without a flag, and with the flag already cleared.
    bool cleared = false;
    QElapsedTimer zeroClock;
    zeroClock.start();
    for (int i = 0; i < 1000; ++i) {
        WaitHandlingEvents(0);
        WaitHandlingEvents(-5, &isBatchRunning);
        WaitHandlingEvents(5000, &cleared);
    }
    const double zero = zeroClock.nsecsElapsed() / 3000.0;
    std::printf("waits of 0 ms, -5 ms or with the flag cleared: %.3f us each\n", zero / 1000);
    printResult("wait.zero", zero, 0, "ns",
                "Wait of 0 ms, of -5 ms or with its flag already cleared: time to return, mean of "
                "3000");
    return pty.readAvailable().startsWith("AT") ? 0 : 1;
}
