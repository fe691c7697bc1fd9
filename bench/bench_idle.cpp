// What the window costs while nothing happens: the share of one core it takes over a stretch of
// idle time, first with no port open, then with a port open on which nothing arrives. The port
// scan keeps ticking once a second throughout, as in the program.
// Usage: bench_idle [seconds per stretch, default 20]

#include "app/widget.h"
#include "benchutil.h"
#include "support/gui.h"
#include "support/pty.h"
#include "support/session.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Runs the event loop for `seconds` and prints the share of one core the process used.
void idleStretch(QApplication &app, int seconds, const char *name, const std::string &what)
{
    const double cpuBefore = cpuSeconds();
    QElapsedTimer clock;
    clock.start();
    QTimer::singleShot(seconds * 1000, &app, &QApplication::quit);
    app.exec();
    const double wall = double(clock.nsecsElapsed()) / 1e9;
    const double share = 100.0 * (cpuSeconds() - cpuBefore) / wall;
    std::printf("%s: %.3f %% of one core over %.1f s\n", what.c_str(), share, wall);
    printResult(name, share, 3, "%",
                ("Idle window, " + what + ", " + std::to_string(seconds) +
                 " s: CPU, share of one core (in-process, offscreen)")
                    .c_str());
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    freshWorkingDirectory();
    Widget window;
    window.show();
    PtyPair pty;
    if (!pty.isOpen()) {
        std::fprintf(stderr, "could not open a pseudo-terminal\n");
        return 1;
    }
    // The first scan runs a second after the start; the stretch begins once it has.
    QTimer::singleShot(1500, &app, &QApplication::quit);
    app.exec();
    idleStretch(app, seconds, "idle.inprocess.closed", "no port open");

    if (!openOnPty(&window, pty)) {
        std::fprintf(stderr, "could not open the pseudo-terminal\n");
        return 1;
    }
    idleStretch(app, seconds, "idle.inprocess.open", "port open, nothing arriving");
    return 0;
}
