// libFuzzer target: rendering ANSI escape sequences for the console (serial/ansi.*).
//
// Input: a 5-byte header, then the text.
//   [0] bit 0: the text is decoded from UTF-8 as received bytes are (invalid sequences become
//       replacement characters); otherwise each byte is one character (Latin-1)
//   [1..4] four places (modulo the text's length + 1) where the text is cut into chunks
// Checks:
// - nothing is lost: the runs and what is held at the end make the text with every CSI sequence
//   of at most AnsiSequenceLimit characters removed, as a regular expression removes them;
// - runs are never empty and adjacent runs differ in style;
// - what is held is the start of a sequence, shorter than the limit;
// - cut anywhere, the text gives the same runs (once adjacent runs of one style are joined), the
//   same held text and the same style at the end as in one piece;
// - every text colour keeps AnsiLeastContrast against the white console.

#include "check.h"
#include "serial/ansi.h"
#include "serial/hexcodec.h"

#include <QRegularExpression>

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

// The text without its sequences, written independently of the renderer: ESC, "[", up to
// AnsiSequenceLimit - 3 parameter or intermediate characters, a final character.
QString withoutSequences(const QString &text)
{
    static const QRegularExpression csi(
        QStringLiteral("\\x1B\\[[\\x20-\\x3F]{0,%1}[\\x40-\\x7E]").arg(AnsiSequenceLimit - 3));
    return QString(text).remove(csi);
}

// Checks one call's runs and appends them to `all`, joining runs of one style.
void collect(const QVector<AnsiRun> &runs, QVector<AnsiRun> &all)
{
    for (int i = 0; i < runs.size(); ++i) {
        const AnsiRun &run = runs.at(i);
        FUZZ_CHECK(!run.text.isEmpty());
        if (i > 0)
            FUZZ_CHECK(run.style != runs.at(i - 1).style);
        if (run.style.foreground)
            FUZZ_CHECK(ContrastOnWhite(run.style.foreground) >= AnsiLeastContrast);
        if (!all.isEmpty() && all.last().style == run.style)
            all.last().text += run.text;
        else
            all.append(run);
    }
}

QString joined(const QVector<AnsiRun> &runs)
{
    QString text;
    for (const AnsiRun &run : runs)
        text += run.text;
    return text;
}

void checkHeld(const QString &held)
{
    FUZZ_CHECK(held.size() < AnsiSequenceLimit);
    if (!held.isEmpty())
        FUZZ_CHECK(held.at(0) == QChar(0x1B));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    constexpr size_t header = 5;
    if (size < header)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data + header), int(size - header));
    const QString text = (data[0] & 1) ? TextRendition(bytes) : QString::fromLatin1(bytes);

    AnsiRenderer whole;
    QVector<AnsiRun> wholeRuns;
    collect(whole.take(text), wholeRuns);
    const QString wholeHeld = whole.takeHeld();
    checkHeld(wholeHeld);
    FUZZ_EQUAL(joined(wholeRuns) + wholeHeld, withoutSequences(text));

    int cuts[4];
    for (int i = 0; i < 4; ++i)
        cuts[i] = int(data[1 + i] % (text.size() + 1));
    std::sort(cuts, cuts + 4);
    AnsiRenderer pieces;
    QVector<AnsiRun> pieceRuns;
    int from = 0;
    for (int cut : cuts) {
        collect(pieces.take(text.mid(from, cut - from)), pieceRuns);
        from = cut;
    }
    collect(pieces.take(text.mid(from)), pieceRuns);
    FUZZ_EQUAL(pieceRuns.size(), wholeRuns.size());
    for (int i = 0; i < wholeRuns.size(); ++i) {
        FUZZ_EQUAL(pieceRuns.at(i).text, wholeRuns.at(i).text);
        FUZZ_CHECK(pieceRuns.at(i).style == wholeRuns.at(i).style);
    }
    FUZZ_CHECK(pieces.style() == whole.style());
    FUZZ_EQUAL(pieces.takeHeld(), wholeHeld);
    return 0;
}
