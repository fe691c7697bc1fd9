#include "serial/find.h"

#include <algorithm>

QVector<int> FindMatches(const QString &haystack, const QString &needle, Qt::CaseSensitivity cs)
{
    TextFinder finder;
    finder.setNeedle(needle, cs);
    finder.append(haystack);
    return finder.matches();
}

QString FindCountText(int current, int count)
{
    return QStringLiteral("%1/%2").arg(current + 1).arg(count);
}

int NextMatch(int current, int count)
{
    if (count <= 0)
        return -1;
    return current < 0 || current + 1 >= count ? 0 : current + 1;
}

int PreviousMatch(int current, int count)
{
    if (count <= 0)
        return -1;
    return current <= 0 || current >= count ? count - 1 : current - 1;
}

// Folding one unit at a time keeps the search a stream over units: a chunk may end anywhere, and
// the full folding of a surrogate pair would need the unit that comes next.
ushort TextFinder::unit(QChar c) const
{
    return ignoreCase ? c.toCaseFolded().unicode() : c.unicode();
}

void TextFinder::setNeedle(const QString &needle, Qt::CaseSensitivity cs)
{
    ignoreCase = cs == Qt::CaseInsensitive;
    pattern.resize(needle.size());
    for (int i = 0; i < needle.size(); ++i)
        pattern[i] = unit(needle.at(i));
    // Knuth-Morris-Pratt: after a mismatch the search goes on from the longest border of what
    // matched, so no character of the text is looked at more than twice.
    border.fill(0, pattern.size());
    for (int i = 1, k = 0; i < pattern.size(); ++i) {
        while (k > 0 && pattern[i] != pattern[k])
            k = border[k - 1];
        if (pattern[i] == pattern[k])
            ++k;
        border[i] = k;
    }
    clear();
}

void TextFinder::clear()
{
    state = 0;
    length = 0;
    found.clear();
    at = -1;
}

void TextFinder::append(QStringView chunk)
{
    const int m = pattern.size();
    if (m == 0) {
        length += chunk.size();
        return;
    }
    const bool hadMatches = !found.isEmpty();
    const ushort *needle = pattern.constData();
    for (const QChar c : chunk) {
        const ushort u = unit(c);
        ++length;
        while (state > 0 && needle[state] != u)
            state = border[state - 1];
        if (needle[state] == u && ++state == m) {
            found.append(length - m);
            // Matches do not overlap: the next one starts after this one.
            state = 0;
        }
    }
    if (!hadMatches && !found.isEmpty())
        at = 0;
}

void TextFinder::dropFront(int count)
{
    count = std::clamp(count, 0, length);
    if (count == 0)
        return;
    length -= count;
    const int gone = int(std::lower_bound(found.cbegin(), found.cend(), count) - found.cbegin());
    found.remove(0, gone);
    for (int &position : found)
        position -= count;
    if (at >= gone)
        at -= gone;
    else if (at >= 0)
        at = found.isEmpty() ? -1 : 0;
    // What matched so far may have begun in the dropped text; the longest border that fits in
    // what is left is the part of it that still counts.
    while (state > length)
        state = border[state - 1];
}

void TextFinder::setCurrent(int index)
{
    at = index >= 0 && index < found.size() ? index : -1;
}

void TextFinder::selectFrom(int position)
{
    const auto first = std::lower_bound(found.cbegin(), found.cend(), position);
    if (first != found.cend())
        at = int(first - found.cbegin());
    else
        at = found.isEmpty() ? -1 : 0;
}
