// libFuzzer target: finding text in a console that grows at its end and loses text at its front
// (TextFinder), against a plain search written out here anew.
//
// Input: flags (bit 0: ignore case), the needle's length in bytes, a seed for the schedule, the
// needle and then the text, both as UTF-8. The text arrives in chunks of 1 to 16 characters; after
// some of them the front of the text is dropped. Checks after every step:
// - every match is the needle in the text as it stands, in order and without overlap;
// - with nothing dropped yet, the matches are those of FindMatches and of the plain search;
// - after a drop, from the first match on they are those of the plain search from there (a
//   match that overlapped one that went with the dropped text is not found);
// - a current match exists exactly when there are matches.

#include "check.h"
#include "serial/find.h"

#include <cstddef>
#include <cstdint>

namespace {

bool sameUnits(const QString &text, int at, const QString &needle, bool ignoreCase)
{
    for (int i = 0; i < needle.size(); ++i) {
        QChar a = text.at(at + i);
        QChar b = needle.at(i);
        if (ignoreCase) {
            a = a.toCaseFolded();
            b = b.toCaseFolded();
        }
        if (a != b)
            return false;
    }
    return true;
}

QVector<int> plainSearch(const QString &text, int from, const QString &needle, bool ignoreCase)
{
    QVector<int> found;
    if (needle.isEmpty())
        return found;
    for (int at = from; at + needle.size() <= text.size();) {
        if (sameUnits(text, at, needle, ignoreCase)) {
            found.append(at);
            at += needle.size();
        } else {
            ++at;
        }
    }
    return found;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 3)
        return 0;
    const bool ignoreCase = data[0] & 1;
    const size_t needleBytes = qMin<size_t>(data[1], size - 3);
    uint32_t random = data[2];
    const auto bytes = reinterpret_cast<const char *>(data + 3);
    const QString needle = QString::fromUtf8(bytes, int(needleBytes));
    const QString stream = QString::fromUtf8(bytes + needleBytes, int(size - 3 - needleBytes));
    const Qt::CaseSensitivity cs = ignoreCase ? Qt::CaseInsensitive : Qt::CaseSensitive;

    TextFinder finder;
    finder.setNeedle(needle, cs);
    QString text;
    bool dropped = false;
    for (int at = 0; at < stream.size();) {
        random = random * 1103515245u + 12345u;
        const int chunk = qMin(1 + int(random >> 16) % 16, stream.size() - at);
        finder.append(QStringView(stream).mid(at, chunk));
        text += stream.mid(at, chunk);
        at += chunk;
        if ((random >> 8) % 4 == 0) {
            const int count = int(random >> 20) % (chunk + 2);
            finder.dropFront(count);
            text.remove(0, count);
            dropped = dropped || count > 0;
        }

        const QVector<int> &found = finder.matches();
        FUZZ_EQUAL(finder.textLength(), text.size());
        for (int i = 0; i < found.size(); ++i) {
            FUZZ_CHECK(found[i] >= 0 && found[i] + needle.size() <= text.size());
            FUZZ_CHECK(sameUnits(text, found[i], needle, ignoreCase));
            FUZZ_CHECK(i == 0 || found[i] >= found[i - 1] + needle.size());
        }
        if (!dropped) {
            FUZZ_CHECK(found == FindMatches(text, needle, cs));
            FUZZ_CHECK(found == plainSearch(text, 0, needle, ignoreCase));
        } else if (!found.isEmpty()) {
            FUZZ_CHECK(found == plainSearch(text, found[0], needle, ignoreCase));
        }
        FUZZ_CHECK((finder.current() >= 0) == !found.isEmpty());
        FUZZ_CHECK(finder.current() < found.size());
    }
    return 0;
}
