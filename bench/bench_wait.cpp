// Cost and accuracy of the batch run's waits: the CPU share one long row delay takes, and how
// late short waits end.
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
    std::printf("50 waits of 100 ms, past the deadline: median %.3f ms, max %.3f ms\n",
                (late[24] + late[25]) / 2, late.last());
    printResult("wait.overshoot.median", (late[24] + late[25]) / 2, 2, "ms",
                "50 batch waits of 100 ms: median time past the deadline");
    printResult("wait.overshoot.max", late.last(), 2, "ms",
                "50 batch waits of 100 ms: largest time past the deadline");
    return pty.readAvailable().startsWith("AT") ? 0 : 1;
}
