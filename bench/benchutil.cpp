#include "benchutil.h"

#include <QString>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

double cpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    auto seconds = [](const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double residentMiB(int pid, const char *key)
{
    const std::string path =
        pid > 0 ? "/proc/" + std::to_string(pid) + "/status" : std::string("/proc/self/status");
    FILE *status = std::fopen(path.c_str(), "r");
    if (!status)
        return -1;
    char line[256];
    double kib = -1;
    while (std::fgets(line, sizeof line, status)) {
        if (std::strncmp(line, key, std::strlen(key)) == 0) {
            kib = std::atof(line + std::strlen(key));
            break;
        }
    }
    std::fclose(status);
    return kib < 0 ? -1 : kib / 1024.0;
}

void printResult(const char *name, double value, int decimals, const char *unit,
                 const char *description)
{
    std::printf("RESULT %s %.*f %s %s\n", name, decimals, value, unit, description);
    std::fflush(stdout);
}

void dropDebug(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}
