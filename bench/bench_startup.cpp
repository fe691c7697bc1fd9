// Start-up time to a shown window, measured two ways, each over several fresh processes started
// in an empty working directory (no config.ini):
//
// - In-process, offscreen: the bench starts itself as a child that does what the program's main()
//   does (QApplication, Widget, show()) and stamps the monotonic clock at main(), after the
//   QApplication, after the Widget and when the window's first expose event has been handled:
//   that is when the first frame has been painted and handed to the platform. The parent stamps
//   the clock just before it starts the child, so the total includes loading the libraries.
// - The real program under X11 (built when the xcb DAMAGE library is there, run when DISPLAY is
//   set: scripts/bench starts an Xvfb for it): the bench starts the built `sermora` with the xcb
//   platform and watches the X server from outside, for its window to be mapped and for the
//   first drawing into that window. The program is neither changed nor told that it is measured.
//   Its resident memory is read at its first frame and again a second later. It is started once
//   more the same way but with Qt's OpenGL probe turned off (QT_XCB_GL_INTEGRATION=none), which
//   on a machine without a GPU loads Mesa's software renderer, to show what that probe costs.
//
// Usage: bench_startup [runs, default 5]

#include "app/widget.h"
#include "benchutil.h"

#include <QApplication>
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

// Starts `argv` in `dir` with the environment variables `env` ("NAME=value") added, its output
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
    for (const std::string &variable : env)
        putenv(const_cast<char *>(variable.c_str()));
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

// ---- The real program under X11 -------------------------------------------------------------

#ifdef SERMORA_BENCH_X11

struct RealRun
{
    double mapped = 0, firstFrame = 0, rssAtFrame = 0, rssSettled = 0, anonSettled = 0;
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

    // Starts the program and waits for its first frame. Partial: the first drawing seen did not
    // cover the whole window, so the watch came too late for the first frame.
    Outcome run(const char *program, const std::vector<std::string> &env, RealRun &result)
    {
        ScratchDir dir;
        if (dir.path.empty())
            return NoFrame;
        const qint64 startNs = nowNs();
        const pid_t pid = start({program}, dir.path, env);
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
            result.rssAtFrame = residentMiB(pid);
            usleep(1000000);
            result.rssSettled = residentMiB(pid);
            result.anonSettled = residentMiB(pid, "RssAnon:");
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

// Starts the program `runs` times with the environment `env` added and reports the medians
// under names starting with `name`; `settledMemory` adds the memory figures.
void benchRealWith(XWatcher &watcher, int runs, const std::vector<std::string> &env,
                   const std::string &name, const std::string &how, bool settledMemory)
{
    std::vector<double> mapped, frame, rssSettled, anonSettled;
    for (int i = 0; i < runs; ++i) {
        RealRun run;
        const XWatcher::Outcome outcome = watcher.run(SERMORA_BINARY, env, run);
        if (outcome == XWatcher::Partial) {
            std::printf("real program%s run %d: the first frame was missed\n", how.c_str(), i + 1);
            continue;
        }
        if (outcome == XWatcher::NoFrame) {
            std::printf("real program%s run %d: no frame within 20 s, no more runs\n", how.c_str(),
                        i + 1);
            break;
        }
        std::printf("real program%s run %d: window mapped %.1f ms, first frame %.1f ms after "
                    "start, resident %.1f MiB then, %.1f MiB a second later (%.1f MiB not backed "
                    "by files)\n",
                    how.c_str(), i + 1, run.mapped, run.firstFrame, run.rssAtFrame, run.rssSettled,
                    run.anonSettled);
        mapped.push_back(run.mapped);
        frame.push_back(run.firstFrame);
        rssSettled.push_back(run.rssSettled);
        anonSettled.push_back(run.anonSettled);
    }
    std::fflush(stdout);
    if (frame.empty())
        return;
    const std::string of = " (real program" + how + ", X11 on Xvfb; median of " +
                           std::to_string(frame.size()) + " runs)";
    printResult(("startup." + name + ".frame").c_str(), median(frame), 1, "ms",
                ("Start-up, process start to the first frame drawn in the window" + of).c_str());
    printResult(("startup." + name + ".mapped").c_str(), median(mapped), 1, "ms",
                ("Start-up, process start to the window mapped" + of).c_str());
    if (!settledMemory)
        return;
    printResult(("memory.startup." + name).c_str(), median(rssSettled), 1, "MiB",
                ("Resident memory one second after the first frame" + of).c_str());
    printResult(("memory.startup." + name + ".anon").c_str(), median(anonSettled), 1, "MiB",
                ("Of that, memory not backed by files (heap, stacks)" + of).c_str());
}

void benchReal(int runs)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::printf(
            "real program: not measured, DISPLAY is not set (scripts/bench starts an Xvfb)\n");
        return;
    }
    XWatcher watcher;
    if (!watcher.connect()) {
        std::printf("real program: not measured, no X server at DISPLAY or none with the DAMAGE "
                    "extension\n");
        return;
    }
    benchRealWith(watcher, runs, {"QT_QPA_PLATFORM=xcb"}, "real", "", true);
    // Qt's X11 platform probes OpenGL at start; without a GPU that loads Mesa's software renderer
    // (and LLVM). The same start without that probe shows what it costs.
    benchRealWith(watcher, runs, {"QT_QPA_PLATFORM=xcb", "QT_XCB_GL_INTEGRATION=none"}, "real_nogl",
                  " without the OpenGL probe", false);
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
    benchReal(runs);
#else
    std::printf("real program: not measured, built without the xcb DAMAGE library "
                "(libxcb-damage0-dev)\n");
#endif
    return 0;
}
