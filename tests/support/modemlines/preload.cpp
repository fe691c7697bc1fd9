// A UART's modem-control register for pseudo-terminals, preloaded (LD_PRELOAD) into a program
// under test. The pty driver refuses every modem-line request with ENOTTY and ignores breaks; this
// library answers them for pty slaves as a UART's driver would, and keeps a record the test reads.
// Everything else, the data above all, goes to the real pty.
//
// Inert unless SERMORA_MODEMLINES names a directory (read once, at the first call). There:
//   inputs   written by the test, read at every TIOCMGET:
//            "CTS=1 DSR=0 DCD=1 RI=0 FAIL=DTR,RTS,BREAK,GET"
//            Unnamed lines are low; the requests named in FAIL fail with ENOTTY.
//   changes  appended here, one line per event: "<CLOCK_MONOTONIC ns> /dev/pts/N EVENT", where
//            EVENT is OPEN (the system raises DTR and RTS, as on a UART), CLOSE, DTR 0|1, RTS 0|1,
//            BREAK 0|1, TX <bytes written> or GET; a refused request adds " refused".
// Every request is recorded, also one that leaves a line as it was.
//
// Plain C++ on the C library only, built without the sanitizers: under AddressSanitizer, libasan
// comes first in LD_PRELOAD and this library after it.

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dlfcn.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

namespace {

using IoctlFunction = int (*)(int, unsigned long, ...);
using OpenFunction = int (*)(const char *, int, ...);
using CloseFunction = int (*)(int);
using WriteFunction = ssize_t (*)(int, const void *, size_t);

IoctlFunction realIoctl;
OpenFunction realOpen;
OpenFunction realOpen64;
CloseFunction realClose;
WriteFunction realWrite;

char directory[3072];
bool active;

pthread_once_t setUpOnce = PTHREAD_ONCE_INIT;
pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;

void setUp()
{
    realIoctl = reinterpret_cast<IoctlFunction>(dlsym(RTLD_NEXT, "ioctl"));
    realOpen = reinterpret_cast<OpenFunction>(dlsym(RTLD_NEXT, "open"));
    realOpen64 = reinterpret_cast<OpenFunction>(dlsym(RTLD_NEXT, "open64"));
    realClose = reinterpret_cast<CloseFunction>(dlsym(RTLD_NEXT, "close"));
    realWrite = reinterpret_cast<WriteFunction>(dlsym(RTLD_NEXT, "write"));
    const char *named = getenv("SERMORA_MODEMLINES");
    if (named && *named && strlen(named) < sizeof directory - 16) {
        strcpy(directory, named);
        active = true;
    }
}

void ensureSetUp()
{
    pthread_once(&setUpOnce, setUp);
}

// Pty slaves have the majors 136 to 143 (UNIX98_PTY_SLAVE_MAJOR and the seven after it).
bool ptySlave(int fd, dev_t *device)
{
    struct stat status;
    if (!active || fd < 0 || fstat(fd, &status) != 0 || !S_ISCHR(status.st_mode) ||
        major(status.st_rdev) < 136 || major(status.st_rdev) > 143)
        return false;
    *device = status.st_rdev;
    return true;
}

// The output lines of one device as its driver holds them. A device seen first without an open
// (the test's own descriptor) starts as if just opened.
struct Device
{
    dev_t id;
    int outputs; // TIOCM_DTR | TIOCM_RTS
};
Device devices[64];
int deviceCount;

Device *deviceState(dev_t id)
{
    for (int i = 0; i < deviceCount; ++i)
        if (devices[i].id == id)
            return &devices[i];
    Device *slot = deviceCount < 64 ? &devices[deviceCount++] : &devices[63];
    *slot = Device{id, TIOCM_DTR | TIOCM_RTS};
    return slot;
}

// Descriptors this process opened on a pty slave, with their device, so that writes and closes
// are told apart from all others without a system call.
constexpr int trackedLimit = 4096;
dev_t tracked[trackedLimit];

// The files in the directory are read and written with plain system calls, which pass neither
// this library's functions nor libasan's.
int openInDirectory(const char *name, int flags)
{
    char path[sizeof directory + 16];
    snprintf(path, sizeof path, "%s/%s", directory, name);
    return int(syscall(SYS_openat, AT_FDCWD, path, flags | O_CLOEXEC, 0644));
}

void record(dev_t device, const char *event, bool refused = false)
{
    const int savedErrno = errno;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const unsigned pts = (major(device) - 136) * 256 + minor(device);
    char line[160];
    const int length = snprintf(line, sizeof line, "%lld /dev/pts/%u %s%s\n",
                                static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec,
                                pts, event, refused ? " refused" : "");
    const int file = openInDirectory("changes", O_WRONLY | O_APPEND | O_CREAT);
    if (file >= 0) {
        // One write of a short line to a file opened for appending: whole even if another
        // process (a program the test starts) records at the same time.
        syscall(SYS_write, file, line, size_t(length));
        syscall(SYS_close, file);
    }
    errno = savedErrno;
}

struct Inputs
{
    int lines = 0; // TIOCM_CTS | TIOCM_DSR | TIOCM_CAR | TIOCM_RNG
    bool failDtr = false;
    bool failRts = false;
    bool failBreak = false;
    bool failGet = false;
};

Inputs readInputs()
{
    Inputs inputs;
    char text[512] = {};
    const int file = openInDirectory("inputs", O_RDONLY);
    if (file < 0)
        return inputs;
    const long length = syscall(SYS_read, file, text, sizeof text - 1);
    syscall(SYS_close, file);
    if (length <= 0)
        return inputs;
    text[length] = 0;
    const struct
    {
        const char *name;
        int bit;
    } lines[] = {
        {"CTS=1", TIOCM_CTS}, {"DSR=1", TIOCM_DSR}, {"DCD=1", TIOCM_CAR}, {"RI=1", TIOCM_RNG}};
    char *save = nullptr;
    for (char *word = strtok_r(text, " \t\r\n", &save); word;
         word = strtok_r(nullptr, " \t\r\n", &save)) {
        for (const auto &line : lines)
            if (strcmp(word, line.name) == 0)
                inputs.lines |= line.bit;
        // No name of a request is part of another.
        if (strncmp(word, "FAIL=", 5) == 0) {
            inputs.failDtr = strstr(word, "DTR") != nullptr;
            inputs.failRts = strstr(word, "RTS") != nullptr;
            inputs.failBreak = strstr(word, "BREAK") != nullptr;
            inputs.failGet = strstr(word, "GET") != nullptr;
        }
    }
    return inputs;
}

int refuse()
{
    errno = ENOTTY;
    return -1;
}

// TIOCMSET, TIOCMBIS and TIOCMBIC: each of DTR and RTS that the request touches is recorded
// with the level it asks for; a request touching a refused line fails whole.
int setOutputs(dev_t id, unsigned long request, int mask)
{
    const Inputs inputs = readInputs();
    Device *device = deviceState(id);
    int wanted = device->outputs;
    int touched = TIOCM_DTR | TIOCM_RTS;
    if (request == TIOCMSET) {
        wanted = mask & touched;
    } else {
        touched &= mask;
        wanted = request == TIOCMBIS ? wanted | touched : wanted & ~touched;
    }
    const bool refused =
        ((touched & TIOCM_DTR) && inputs.failDtr) || ((touched & TIOCM_RTS) && inputs.failRts);
    if (touched & TIOCM_DTR)
        record(id, wanted & TIOCM_DTR ? "DTR 1" : "DTR 0", refused);
    if (touched & TIOCM_RTS)
        record(id, wanted & TIOCM_RTS ? "RTS 1" : "RTS 0", refused);
    if (refused)
        return refuse();
    device->outputs = wanted;
    return 0;
}

int setBreak(dev_t id, bool on)
{
    const Inputs inputs = readInputs();
    record(id, on ? "BREAK 1" : "BREAK 0", inputs.failBreak);
    return inputs.failBreak ? refuse() : 0;
}

int modemRequest(dev_t id, unsigned long request, void *argument)
{
    pthread_mutex_lock(&lock);
    int result = 0;
    if (request == TIOCMGET) {
        const Inputs inputs = readInputs();
        record(id, "GET", inputs.failGet);
        if (inputs.failGet)
            result = refuse();
        else
            *static_cast<int *>(argument) = deviceState(id)->outputs | inputs.lines;
    } else if (request == TIOCSBRK || request == TIOCCBRK) {
        result = setBreak(id, request == TIOCSBRK);
    } else {
        result = setOutputs(id, request, *static_cast<const int *>(argument));
    }
    const int savedErrno = errno;
    pthread_mutex_unlock(&lock);
    errno = savedErrno;
    return result;
}

// The requests of QSerialPort on the lines; a timed break (tcsendbreak) goes to the pty.
bool played(unsigned long request)
{
    return request == TIOCMGET || request == TIOCMSET || request == TIOCMBIS ||
           request == TIOCMBIC || request == TIOCSBRK || request == TIOCCBRK;
}

int opened(int fd)
{
    dev_t id;
    if (fd >= 0 && fd < trackedLimit && ptySlave(fd, &id)) {
        const int savedErrno = errno;
        pthread_mutex_lock(&lock);
        // The system raises DTR and RTS on open.
        deviceState(id)->outputs = TIOCM_DTR | TIOCM_RTS;
        record(id, "OPEN");
        pthread_mutex_unlock(&lock);
        __atomic_store_n(&tracked[fd], id, __ATOMIC_RELAXED);
        errno = savedErrno;
    }
    return fd;
}

int openWith(OpenFunction real, const char *path, int flags, va_list arguments)
{
    mode_t mode = 0;
    if ((flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE)
        mode = va_arg(arguments, mode_t);
    const int fd = real(path, flags, mode);
    return active ? opened(fd) : fd;
}

} // namespace

extern "C" {

// The directory this library records in, or null when it is not loaded or inert; the tests'
// helper finds it here.
__attribute__((visibility("default"))) const char *sermora_modemlines_directory()
{
    ensureSetUp();
    return active ? directory : nullptr;
}

__attribute__((visibility("default"))) int ioctl(int fd, unsigned long request, ...)
{
    ensureSetUp();
    va_list arguments;
    va_start(arguments, request);
    void *argument = va_arg(arguments, void *);
    va_end(arguments);
    dev_t id;
    if (played(request) && ptySlave(fd, &id))
        return modemRequest(id, request, argument);
    return realIoctl(fd, request, argument);
}

__attribute__((visibility("default"))) int open(const char *path, int flags, ...)
{
    ensureSetUp();
    va_list arguments;
    va_start(arguments, flags);
    const int fd = openWith(realOpen, path, flags, arguments);
    va_end(arguments);
    return fd;
}

__attribute__((visibility("default"))) int open64(const char *path, int flags, ...)
{
    ensureSetUp();
    va_list arguments;
    va_start(arguments, flags);
    const int fd = openWith(realOpen64, path, flags, arguments);
    va_end(arguments);
    return fd;
}

__attribute__((visibility("default"))) int close(int fd)
{
    ensureSetUp();
    if (fd >= 0 && fd < trackedLimit) {
        const dev_t id = __atomic_exchange_n(&tracked[fd], dev_t(0), __ATOMIC_RELAXED);
        if (id != 0) {
            pthread_mutex_lock(&lock);
            record(id, "CLOSE");
            pthread_mutex_unlock(&lock);
        }
    }
    return realClose(fd);
}

__attribute__((visibility("default"))) ssize_t write(int fd, const void *data, size_t size)
{
    ensureSetUp();
    const ssize_t written = realWrite(fd, data, size);
    if (written > 0 && fd >= 0 && fd < trackedLimit) {
        const dev_t id = __atomic_load_n(&tracked[fd], __ATOMIC_RELAXED);
        if (id != 0) {
            char event[32];
            snprintf(event, sizeof event, "TX %lld", static_cast<long long>(written));
            pthread_mutex_lock(&lock);
            record(id, event);
            pthread_mutex_unlock(&lock);
        }
    }
    return written;
}

} // extern "C"
