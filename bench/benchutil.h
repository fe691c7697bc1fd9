#pragma once

// Shared by the benches: CPU time and resident memory, and the result lines that scripts/bench
// gathers into its table.

#include <QtGlobal>

#include <sys/resource.h>

// User plus system CPU seconds used so far by this process (RUSAGE_SELF) or by the calling
// thread (RUSAGE_THREAD).
double cpuSeconds(int who = RUSAGE_SELF);

// A memory figure in MiB of process `pid` (0: this process) from /proc/<pid>/status: by default
// the resident size (VmRSS); "VmHWM:" is the largest resident size so far, "RssAnon:" the
// resident memory not backed by files (heap, stacks). Negative when it cannot be read.
double residentMiB(int pid = 0, const char *key = "VmRSS:");

// Prints "RESULT <name> <value> <unit> <description>" as one line and flushes it, for
// scripts/bench. The name and the unit are single words; the value has `decimals` places.
void printResult(const char *name, double value, int decimals, const char *unit,
                 const char *description);

// A message handler for qInstallMessageHandler: the program's debug traces stay on, as they are
// for a user, but are not printed; everything else goes to standard error.
void dropDebug(QtMsgType type, const QMessageLogContext &context, const QString &message);
