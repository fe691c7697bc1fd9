#include "serial/consoletrim.h"

namespace {

// At most three quarters, without rounding the limit.
bool Settled(qint64 length, int limit)
{
    return length * 4 <= qint64(limit) * 3;
}

} // namespace

int PartsToDrop(const QVector<PartLengths> &parts, int textLength, int hexLength, int textLimit,
                int hexLimit)
{
    if (textLength <= textLimit && hexLength <= hexLimit)
        return 0;
    qint64 text = textLength;
    qint64 hex = hexLength;
    int count = 0;
    while (count + 1 < parts.size() && !(Settled(text, textLimit) && Settled(hex, hexLimit))) {
        text -= parts.at(count).text;
        hex -= parts.at(count).hex;
        ++count;
    }
    return count;
}

int LineStartSkip(QStringView dropped, QStringView remaining)
{
    if (dropped.isEmpty() || dropped.endsWith(QLatin1Char('\n')))
        return 0;
    const int lineEnd = int(remaining.indexOf(QLatin1Char('\n')));
    if (lineEnd < 0 || lineEnd + 1 >= remaining.size())
        return 0;
    return lineEnd + 1;
}
