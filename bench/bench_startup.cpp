// Start-up time to a shown window, memory after it and idle CPU, each over fresh processes
// started in an empty working directory (no config.ini):
//
// - In-process, offscreen: the bench starts itself as a child that does what the program's main()
//   does (QApplication, Widget, show()) and stamps the monotonic clock at main(), after the
//   QApplication, after the Widget and when the window's first expose event has been handled:
//   that is when the first frame has been painted and handed to the platform. The parent stamps
//   the clock just before it starts the child, so the total includes loading the libraries.
// - The real programs under X11 (built when the xcb DAMAGE library is there, run when DISPLAY is
//   set: scripts/bench starts an Xvfb for it): the built `sermora`, the Qt 6 build named by
//   SERMORA_QT6_BINARY when that is set (as "sermora_qt6") and, side by side, the reference
//   terminal CuteCom when it is installed, each started with the xcb platform while the bench
//   watches the X server from outside, for the window to be mapped and for the first drawing
//   into it. Neither program is changed or told that it is measured. Resident memory is read a
//   second after the first frame. Then each is started once more and left alone for a while, to
//   measure the CPU it takes while idle. All of it twice: as installed, and with Qt's OpenGL
//   integration off for all (QT_XCB_GL_INTEGRATION=none), which on a machine without a GPU
//   spares loading Mesa's software renderer.
//
// Usage: bench_startup [runs, default 5] [idle seconds, default 20]

#include "app/widget.h"
#include "benchutil.h"

#include <QApplication>
#include <QStandardPaths>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#ifdef SERMORA_BENCH_X11
#include <poll.h>
#include <xcb/damage.h>
#include <xcb/xcb.h>
#endif

namespace {

qint64 nowNs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// A fresh, empty working directory for one started process; removed by the destructor.
struct ScratchDir
{
    std::string path;
    ScratchDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "sermora-start-XXXXXX");
        if (mkdtemp(pattern.data()))
            path = pattern;
    }
    ~ScratchDir()
    {
        std::error_code ignored;
        if (!path.empty())
            std::filesystem::remove_all(path, ignored);
    }
};

// Starts `argv` in `dir` with the environment variables `env` changed, its output
// thrown away and, when `reportFd` is not negative, that descriptor kept open for it as
// descriptor 3.
pid_t start(const std::vector<std::string> &argv, const std::string &dir,
            const std::vector<std::string> &env, int reportFd = -1)
{
    const pid_t pid = fork();
    if (pid != 0)
        return pid;
    if (reportFd >= 0 && dup2(reportFd, 3) < 0)
        _exit(126);
    // Nothing else of the bench's, such as its X connection, goes to the started program.
    close_range(reportFd >= 0 ? 4 : 3, ~0U, 0);
    const int null = open("/dev/null", O_RDWR);
    dup2(null, 0);
    dup2(null, 1);
    dup2(null, 2);
    if (null > 2)
        close(null);
    if (chdir(dir.c_str()) != 0)
        _exit(126);
    // "NAME=value" sets a variable, a bare "NAME" removes it.
    for (const std::string &variable : env) {
        if (variable.find('=') == std::string::npos)
            unsetenv(variable.c_str());
        else
            putenv(const_cast<char *>(variable.c_str()));
    }
    std::vector<char *> args;
    for (const std::string &arg : argv)
        args.push_back(const_cast<char *>(arg.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
}

// ---- In-process child ----------------------------------------------------------------------

// Notes when the window's first expose event has been handled: the widgets are painted into the
// backing store and it is flushed to the platform window by then.
class FirstFrameApp : public QApplication
{
public:
    using QApplication::QApplication;
    QWidget *watched = nullptr;
    qint64 firstFrameNs = 0;

    bool notify(QObject *receiver, QEvent *event) override
    {
        const bool expose = event->type() == QEvent::Expose;
        const bool handled = QApplication::notify(receiver, event);
        if (expose && firstFrameNs == 0 && watched && receiver == watched->windowHandle() &&
            watched->windowHandle()->isExposed()) {
            firstFrameNs = nowNs();
            quit();
        }
        return handled;
    }
};

int child(int argc, char *argv[])
{
    const qint64 mainNs = nowNs();
    FirstFrameApp app(argc, argv);
    const qint64 appNs = nowNs();
    Widget window;
    const qint64 widgetNs = nowNs();
    app.watched = &window;
    window.show();
    if (app.firstFrameNs == 0) {
        QTimer::singleShot(20000, &app, &QApplication::quit);
        app.exec();
    }
    const double rss = residentMiB();
    // Descriptor 3 is the parent's pipe.
    FILE *report = fdopen(3, "w");
    if (!report || app.firstFrameNs == 0)
        return 1;
    std::fprintf(report, "%lld %lld %lld %lld %.1f\n", mainNs, appNs, widgetNs, app.firstFrameNs,
                 rss);
    std::fclose(report);
    return 0;
}

struct InProcessRun
{
    double toMain = 0, application = 0, widget = 0, showToFrame = 0, total = 0, rss = 0;
};

bool runInProcess(const char *self, InProcessRun &run)
{
    ScratchDir dir;
    int fds[2];
    if (dir.path.empty() || pipe(fds) != 0)
        return false;
    const qint64 startNs = nowNs();
    const pid_t pid = start({self, "--child"}, dir.path, {"QT_QPA_PLATFORM=offscreen"}, fds[1]);
    close(fds[1]);
    char line[256] = {};
    FILE *report = fdopen(fds[0], "r");
    const bool read = report && std::fgets(line, sizeof line, report);
    if (report)
        std::fclose(report);
    int status = 0;
    waitpid(pid, &status, 0);
    long long mainNs = 0, appNs = 0, widgetNs = 0, frameNs = 0;
    if (!read || !WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
        std::sscanf(line, "%lld %lld %lld %lld %lf", &mainNs, &appNs, &widgetNs, &frameNs,
                    &run.rss) != 5)
        return false;
    run.toMain = double(mainNs - startNs) / 1e6;
    run.application = double(appNs - mainNs) / 1e6;
    run.widget = double(widgetNs - appNs) / 1e6;
    run.showToFrame = double(frameNs - widgetNs) / 1e6;
    run.total = double(frameNs - startNs) / 1e6;
    return true;
}

void benchInProcess(const char *self, int runs)
{
    std::vector<double> toMain, application, widget, showToFrame, total, rss;
    for (int i = 0; i < runs; ++i) {
        InProcessRun run;
        if (!runInProcess(self, run)) {
            std::printf("in-process run %d failed\n", i + 1);
            continue;
        }
        std::printf("in-process run %d: start to main() %.1f ms, QApplication %.1f ms, Widget "
                    "%.1f ms, show() to first frame %.1f ms, total %.1f ms, resident %.1f MiB\n",
                    i + 1, run.toMain, run.application, run.widget, run.showToFrame, run.total,
                    run.rss);
        toMain.push_back(run.toMain);
        application.push_back(run.application);
        widget.push_back(run.widget);
        showToFrame.push_back(run.showToFrame);
        total.push_back(run.total);
        rss.push_back(run.rss);
    }
    std::fflush(stdout);
    if (total.empty())
        return;
    const std::string of =
        " (in-process, offscreen; median of " + std::to_string(total.size()) + " runs)";
    printResult("startup.inprocess.total", median(total), 1, "ms",
                ("Start-up, process start to first frame" + of).c_str());
    printResult("startup.inprocess.libraries", median(toMain), 1, "ms",
                ("Start-up part: process start to main(), loading the libraries" + of).c_str());
    printResult("startup.inprocess.qapplication", median(application), 1, "ms",
                ("Start-up part: constructing the QApplication" + of).c_str());
    printResult("startup.inprocess.widget", median(widget), 1, "ms",
                ("Start-up part: constructing the window (Widget)" + of).c_str());
    printResult("startup.inprocess.show", median(showToFrame), 1, "ms",
                ("Start-up part: show() to the first frame painted and flushed" + of).c_str());
    printResult("memory.startup.inprocess", median(rss), 1, "MiB",
                ("Resident memory at the first frame" + of).c_str());
}

// ---- The real programs under X11 -----------------------------------------------------------

#ifdef SERMORA_BENCH_X11

// CPU seconds that process `pid` has used so far, all its threads together: from the scheduler's
// nanosecond account where the kernel keeps one, else from the clock-tick account.
double processCpuSeconds(pid_t pid)
{
    const std::string base = "/proc/" + std::to_string(pid);
    double ms = 0;
    bool precise = false;
    std::error_code error;
    for (const auto &task : std::filesystem::directory_iterator(base + "/task", error)) {
        FILE *sched = std::fopen((task.path() / "sched").c_str(), "r");
        if (!sched)
            continue;
        char line[256];
        while (std::fgets(line, sizeof line, sched)) {
            if (std::strncmp(line, "se.sum_exec_runtime", 19) == 0) {
                const char *colon = std::strchr(line, ':');
                ms += colon ? std::atof(colon + 1) : 0;
                precise = true;
            }
        }
        std::fclose(sched);
    }
    if (precise)
        return ms / 1000.0;
    FILE *stat = std::fopen((base + "/stat").c_str(), "r");
    if (!stat)
        return -1;
    char text[1024] = {};
    const size_t length = std::fread(text, 1, sizeof text - 1, stat);
    std::fclose(stat);
    text[length] = '\0';
    // utime and stime are the 12th and 13th fields after the parenthesised command name.
    const char *after = std::strrchr(text, ')');
    unsigned long long utime = 0, stime = 0;
    if (!after || std::sscanf(after + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu",
                              &utime, &stime) != 2)
        return -1;
    return double(utime + stime) / double(sysconf(_SC_CLK_TCK));
}

struct Program
{
    std::string name;
    std::string path;
};

struct RealRun
{
    double mapped = 0, firstFrame = 0, rssSettled = 0, anonSettled = 0, idleCpu = -1;
};

class XWatcher
{
public:
    bool connect()
    {
        connection = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(connection))
            return false;
        const xcb_query_extension_reply_t *damage =
            xcb_get_extension_data(connection, &xcb_damage_id);
        if (!damage || !damage->present)
            return false;
        damageNotify = damage->first_event + XCB_DAMAGE_NOTIFY;
        free(xcb_damage_query_version_reply(connection, xcb_damage_query_version(connection, 1, 1),
                                            nullptr));
        root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        // Top-level windows being created and mapped are reported to the root's watchers.
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_void_cookie_t cookie =
            xcb_change_window_attributes_checked(connection, root, XCB_CW_EVENT_MASK, &mask);
        xcb_generic_error_t *error = xcb_request_check(connection, cookie);
        free(error);
        return error == nullptr;
    }

    ~XWatcher()
    {
        if (connection)
            xcb_disconnect(connection);
    }

    enum Outcome { Measured, Partial, NoFrame };

    // Starts the program in a fresh working and settings folder and waits for its first frame;
    // reads its memory a second later, and with `idleSeconds` its CPU use over that many more
    // seconds of doing nothing. Partial: the first drawing seen did not cover the whole window,
    // so the watch came too late for the first frame.
    Outcome run(const Program &program, std::vector<std::string> env, int idleSeconds,
                RealRun &result)
    {
        ScratchDir dir;
        if (dir.path.empty())
            return NoFrame;
        // Stored settings of an earlier start (the reference keeps them under the user's
        // configuration folder) would make the starts differ.
        env.push_back("XDG_CONFIG_HOME=" + dir.path);
        const qint64 startNs = nowNs();
        const pid_t pid = start({program.path}, dir.path, env);
        xcb_window_t window = XCB_NONE;
        qint64 mappedNs = 0, frameNs = 0;
        bool whole = false;
        const qint64 deadline = startNs + 20000000000LL;
        while (frameNs == 0 && nowNs() < deadline) {
            xcb_generic_event_t *event = xcb_poll_for_event(connection);
            if (!event) {
                if (xcb_connection_has_error(connection) || waitpid(pid, nullptr, WNOHANG) != 0)
                    break;
                pollfd p{xcb_get_file_descriptor(connection), POLLIN, 0};
                poll(&p, 1, 100);
                continue;
            }
            const uint8_t type = event->response_type & 0x7f;
            if (type == XCB_CREATE_NOTIFY) {
                // Watch every new top-level window for drawing from the start; the program's
                // main window is the one that gets mapped.
                auto *created = reinterpret_cast<xcb_create_notify_event_t *>(event);
                xcb_damage_create(connection, xcb_generate_id(connection), created->window,
                                  XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
                xcb_flush(connection);
            } else if (type == XCB_MAP_NOTIFY && window == XCB_NONE) {
                window = reinterpret_cast<xcb_map_notify_event_t *>(event)->window;
                mappedNs = nowNs();
            } else if (type == damageNotify) {
                auto *damage = reinterpret_cast<xcb_damage_notify_event_t *>(event);
                if (damage->drawable == window && window != XCB_NONE) {
                    frameNs = nowNs();
                    whole = damage->area.width >= damage->geometry.width &&
                            damage->area.height >= damage->geometry.height;
                }
            }
            free(event);
        }
        if (frameNs != 0) {
            usleep(1000000);
            result.rssSettled = residentMiB(pid);
            result.anonSettled = residentMiB(pid, "RssAnon:");
            if (idleSeconds > 0) {
                const double cpuBefore = processCpuSeconds(pid);
                const qint64 idleStartNs = nowNs();
                usleep(useconds_t(idleSeconds) * 1000000);
                const double cpu = processCpuSeconds(pid) - cpuBefore;
                const double wall = double(nowNs() - idleStartNs) / 1e9;
                if (cpuBefore >= 0 && cpu >= 0)
                    result.idleCpu = 100.0 * cpu / wall;
            }
        }
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        // The program's windows are gone; their damage objects went with them.
        while (xcb_generic_event_t *event = xcb_poll_for_event(connection))
            free(event);
        result.mapped = double(mappedNs - startNs) / 1e6;
        result.firstFrame = double(frameNs - startNs) / 1e6;
        return frameNs == 0 ? NoFrame : whole ? Measured : Partial;
    }

private:
    xcb_connection_t *connection = nullptr;
    xcb_window_t root = XCB_NONE;
    uint8_t damageNotify = 0;
};

// How the programs are started: as installed (whatever the toolkit and the program do by
// default), or with Qt's OpenGL integration off for both.
struct StartMode
{
    std::string suffix;
    std::string how;
    std::vector<std::string> env;
};

const StartMode kModes[] = {
    {"", "as installed", {"QT_QPA_PLATFORM=xcb", "QT_XCB_GL_INTEGRATION"}},
    {"_nogl",
     "with QT_XCB_GL_INTEGRATION=none",
     {"QT_QPA_PLATFORM=xcb", "QT_XCB_GL_INTEGRATION=none"}},
};

// Starts each program `runs` times in turn (the programs alternate, so that a change in the
// machine's load falls on both) and reports the medians.
void benchStarts(XWatcher &watcher, const std::vector<Program> &programs, const StartMode &mode,
                 int runs)
{
    std::vector<std::vector<double>> mapped(programs.size()), frame(programs.size()),
        rss(programs.size()), anon(programs.size());
    std::vector<bool> failed(programs.size(), false);
    for (int i = 0; i < runs; ++i) {
        for (size_t p = 0; p < programs.size(); ++p) {
            if (failed[p])
                continue;
            RealRun run;
            const XWatcher::Outcome outcome = watcher.run(programs[p], mode.env, 0, run);
            const char *name = programs[p].name.c_str();
            if (outcome == XWatcher::Partial) {
                std::printf("%s %s, run %d: the first frame was missed\n", name, mode.how.c_str(),
                            i + 1);
                continue;
            }
            if (outcome == XWatcher::NoFrame) {
                std::printf("%s %s, run %d: no frame within 20 s, no more runs\n", name,
                            mode.how.c_str(), i + 1);
                failed[p] = true;
                continue;
            }
            std::printf("%s %s, run %d: window mapped %.1f ms, first frame %.1f ms after start, "
                        "resident %.1f MiB a second later (%.1f MiB not backed by files)\n",
                        name, mode.how.c_str(), i + 1, run.mapped, run.firstFrame, run.rssSettled,
                        run.anonSettled);
            mapped[p].push_back(run.mapped);
            frame[p].push_back(run.firstFrame);
            rss[p].push_back(run.rssSettled);
            anon[p].push_back(run.anonSettled);
        }
    }
    std::fflush(stdout);
    for (size_t p = 0; p < programs.size(); ++p) {
        if (frame[p].empty())
            continue;
        const std::string key = programs[p].name + mode.suffix;
        const std::string of = " (" + programs[p].name + " " + mode.how +
                               ", X11 on Xvfb; median of " + std::to_string(frame[p].size()) +
                               " runs)";
        printResult(
            ("startup." + key + ".frame").c_str(), median(frame[p]), 1, "ms",
            ("Start-up, process start to the first frame drawn in the window" + of).c_str());
        printResult(("startup." + key + ".mapped").c_str(), median(mapped[p]), 1, "ms",
                    ("Start-up, process start to the window mapped" + of).c_str());
        printResult(("memory." + key).c_str(), median(rss[p]), 1, "MiB",
                    ("Resident memory one second after the first frame" + of).c_str());
        printResult(("memory." + key + ".anon").c_str(), median(anon[p]), 1, "MiB",
                    ("Of that, memory not backed by files (heap, stacks)" + of).c_str());
    }
}

// One start of each program, left alone for `seconds` after it settled: the share of one core
// it takes while nothing happens (no port open).
void benchIdle(XWatcher &watcher, const std::vector<Program> &programs, const StartMode &mode,
               int seconds)
{
    for (const Program &program : programs) {
        RealRun run;
        if (watcher.run(program, mode.env, seconds, run) == XWatcher::NoFrame || run.idleCpu < 0) {
            std::printf("%s %s: idle CPU not measured\n", program.name.c_str(), mode.how.c_str());
            continue;
        }
        std::printf("%s %s: %.3f %% of one core over %d s idle\n", program.name.c_str(),
                    mode.how.c_str(), run.idleCpu, seconds);
        std::fflush(stdout);
        const std::string description = "Idle, share of one core over " + std::to_string(seconds) +
                                        " s after the start, no port open (" + program.name + " " +
                                        mode.how + ", X11 on Xvfb)";
        printResult(("idle." + program.name + mode.suffix).c_str(), run.idleCpu, 3, "%",
                    description.c_str());
    }
}

void benchReal(int runs, int idleSeconds)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::printf(
            "real programs: not measured, DISPLAY is not set (scripts/bench starts an Xvfb)\n");
        return;
    }
    XWatcher watcher;
    if (!watcher.connect()) {
        std::printf("real programs: not measured, no X server at DISPLAY or none with the DAMAGE "
                    "extension\n");
        return;
    }
    std::vector<Program> programs = {{"sermora", SERMORA_BINARY}};
    // The other toolkit's build beside this one (scripts/bench --both).
    const QString otherBuild = qEnvironmentVariable("SERMORA_QT6_BINARY");
    if (!otherBuild.isEmpty())
        programs.push_back({"sermora_qt6", otherBuild.toStdString()});
    // The reference, a serial terminal on the same toolkit (scripts/bench installs it).
    const QString reference = QStandardPaths::findExecutable(QStringLiteral("cutecom"));
    if (reference.isEmpty())
        std::printf("cutecom: not measured, not installed\n");
    else
        programs.push_back({"cutecom", reference.toStdString()});
    for (const StartMode &mode : kModes)
        benchStarts(watcher, programs, mode, runs);
    for (const StartMode &mode : kModes)
        benchIdle(watcher, programs, mode, idleSeconds);
}

#endif

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1 && std::strcmp(argv[1], "--child") == 0)
        return child(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    // Used as the path to start again, so it must name this file.
    const std::string self = std::filesystem::canonical("/proc/self/exe").string();
    benchInProcess(self.c_str(), runs);
#ifdef SERMORA_BENCH_X11
    benchReal(runs, argc > 2 ? std::max(1, std::atoi(argv[2])) : 20);
#else
    std::printf("real programs: not measured, built without the xcb DAMAGE library "
                "(libxcb-damage0-dev)\n");
#endif
    return 0;
}
