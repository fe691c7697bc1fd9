#pragma once

// Invariant checks of the fuzz targets: a failed one prints what was expected and aborts, so
// libFuzzer records the input as a crash.

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <cstdlib>

namespace fuzzcheck {

inline QByteArray printable(const QString &s)
{
    QByteArray out;
    for (const QChar c : s) {
        const ushort u = c.unicode();
        if (u >= 0x20 && u < 0x7F && u != '\\')
            out.append(char(u));
        else
            out.append(QStringLiteral("\\u%1").arg(u, 4, 16, QLatin1Char('0')).toLatin1());
    }
    return out;
}

inline QByteArray printable(long long v)
{
    return QByteArray::number(v);
}

inline QByteArray printable(const QByteArray &b)
{
    return b.toHex(' ');
}

template <typename A, typename B>
[[noreturn]] void fail(const char *what, const char *file, int line, const A &actual,
                       const B &expected)
{
    std::fprintf(stderr, "\n%s:%d: invariant failed: %s\n  actual:   %s\n  expected: %s\n", file,
                 line, what, printable(actual).constData(), printable(expected).constData());
    std::fflush(stderr);
    std::abort();
}

[[noreturn]] inline void fail(const char *what, const char *file, int line)
{
    std::fprintf(stderr, "\n%s:%d: invariant failed: %s\n", file, line, what);
    std::fflush(stderr);
    std::abort();
}

} // namespace fuzzcheck

#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond))                                                                               \
            fuzzcheck::fail(#cond, __FILE__, __LINE__);                                            \
    } while (0)

#define FUZZ_EQUAL(actual, expected)                                                               \
    do {                                                                                           \
        const auto &fuzzActual = (actual);                                                         \
        const auto &fuzzExpected = (expected);                                                     \
        if (!(fuzzActual == fuzzExpected))                                                         \
            fuzzcheck::fail(#actual " == " #expected, __FILE__, __LINE__, fuzzActual,              \
                            fuzzExpected);                                                         \
    } while (0)
