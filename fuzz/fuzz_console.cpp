// libFuzzer target: rendering received chunks for the console (serial/console.*, the text
// rendition and the UTF-8 carry of serial/hexcodec.*).
//
// Input: a 7-byte header, then the chunk's bytes.
//   [0] flags: bit 0 time stamps, bit 1 tagged stamp, bit 2 received, bits 3-4 what the text
//       buffer ends in, bits 5-6 what the hex buffer ends in (nothing, LF, a character, CR)
//   [1..2] where the chunk is split in two (modulo its length + 1)
//   [3] piece size for ConsolePieceEnd, 1..64
//   [4..5] the stamp's time
//   [6] size of the pieces fed to a second carry, 1..8
// Checks:
// - the hex rendition has the chunk's bytes, upper-case pairs with single spaces;
// - RenderChunk makes exactly what a literal, independent rendering makes (stamp insertion and
//   the two line-break replacements), stamps on and off;
// - the hex part holds the chunk's digit pairs and nothing else but stamps and white space;
// - the chunk rendered in two calls (both parts non-empty, same stamp) is the chunk rendered in
//   one: the same text, and the same hex but for the single line break that an LF ending the
//   first part gets instead of an empty line;
// - the UTF-8 carry loses nothing: feeding the chunk in pieces, whatever their size, and then an
//   LF gives the text rendition of the whole chunk and that LF, and after every piece the text
//   so far is what the carry makes of all bytes so far in one piece;
// - ConsolePieceEnd always makes progress, keeps pieces within their size and, for sizes of 2 or
//   more, never cuts a CR LF or a surrogate pair.

#include "check.h"
#include "serial/console.h"
#include "serial/hexcodec.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <cstddef>
#include <cstdint>

namespace {

bool atLineStart(const QString &buffer)
{
    return buffer.isEmpty() || buffer.endsWith(QLatin1Char('\n'));
}

// The console rendering written out again step by step, as the reference RenderChunk must match.
ConsoleParts referenceRender(const QByteArray &chunk, const QString &s, const QString &textBuffer,
                             const QString &hexBuffer, const QString &stamp, bool timestamps)
{
    ConsoleParts parts;
    QString h = ByteArrayToHexString(chunk);
    if (timestamps) {
        parts.text = atLineStart(textBuffer) ? stamp : QString();
        QString text = s;
        text.replace(QLatin1String("\n"), QLatin1String("\n") + stamp);
        if (s.endsWith(QLatin1Char('\n')))
            text.chop(stamp.size());
        parts.text += text;
        parts.hex = atLineStart(hexBuffer) ? stamp : QStringLiteral(" ");
        h.replace(QLatin1String("0A "), QLatin1String("0A\n") + stamp);
        h.replace(QLatin1String("0A"), QLatin1String("0A\n"));
        parts.hex += h;
    } else {
        parts.text = s;
        parts.hex = atLineStart(hexBuffer) ? QString() : QStringLiteral(" ");
        h.replace(QLatin1String("0A "), QLatin1String("0A\n"));
        h.replace(QLatin1String("0A"), QLatin1String("0A\n"));
        parts.hex += h;
    }
    return parts;
}

QString bufferEnding(int kind)
{
    switch (kind) {
    case 1:
        return QStringLiteral("OK\n");
    case 2:
        return QStringLiteral("AB");
    case 3:
        return QStringLiteral("L1\r");
    default:
        return QString();
    }
}

// Renders `chunk` after the buffers, checks it against the reference and appends it.
ConsoleParts render(const QByteArray &chunk, const QString &text, QString &textBuffer,
                    QString &hexBuffer, const QString &stamp, bool timestamps)
{
    const QString hex = ByteArrayToHexString(chunk);
    const ConsoleParts parts = RenderChunk(text, hex, textBuffer, hexBuffer, stamp, timestamps);
    const ConsoleParts reference =
        referenceRender(chunk, text, textBuffer, hexBuffer, stamp, timestamps);
    FUZZ_EQUAL(parts.text, reference.text);
    FUZZ_EQUAL(parts.hex, reference.hex);

    // Without stamps and white space the hex part is the chunk's digits.
    QString digits = parts.hex;
    if (!stamp.isEmpty())
        digits.remove(stamp);
    digits.remove(QLatin1Char(' '));
    digits.remove(QLatin1Char('\n'));
    FUZZ_EQUAL(digits, QString::fromLatin1(chunk.toHex().toUpper()));

    textBuffer += parts.text;
    hexBuffer += parts.hex;
    return parts;
}

void checkPieces(const QString &part, int pieceChars)
{
    QString joined;
    for (int from = 0; from < part.size();) {
        const int end = ConsolePieceEnd(part, from, pieceChars);
        FUZZ_CHECK(end > from);
        FUZZ_CHECK(end <= part.size());
        FUZZ_CHECK(end - from <= pieceChars);
        if (pieceChars >= 2 && end < part.size()) {
            const QChar before = part.at(end - 1);
            const QChar after = part.at(end);
            FUZZ_CHECK(!(before == QLatin1Char('\r') && after == QLatin1Char('\n')));
            FUZZ_CHECK(!(before.isHighSurrogate() && after.isLowSurrogate()));
        }
        joined += QStringView(part).mid(from, end - from);
        from = end;
    }
    FUZZ_EQUAL(joined, part);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    constexpr size_t header = 7;
    if (size < header)
        return 0;
    const uint8_t flags = data[0];
    const bool timestamps = flags & 1;
    const bool tagged = flags & 2;
    const bool received = flags & 4;
    const QByteArray chunk(reinterpret_cast<const char *>(data + header), int(size - header));
    const int split = int((data[1] | data[2] << 8) % (chunk.size() + 1));
    const int pieceChars = 1 + data[3] % 64;
    const QDateTime when = QDateTime(QDate(2018, 12, 7), QTime(14, 3, 27, 45), Qt::UTC)
                               .addMSecs(qint64(data[4] | data[5] << 8) * 99991);
    const QString stamp = FormatStamp(when, tagged, received);
    const int carryPiece = 1 + data[6] % 8;
    const QString startText = bufferEnding((flags >> 3) & 3);
    const QString startHex = bufferEnding((flags >> 5) & 3);

    // The hex rendition holds the bytes exactly.
    const QString hex = ByteArrayToHexString(chunk);
    FUZZ_EQUAL(hex, QString::fromLatin1(chunk.toHex(' ').toUpper()));
    FUZZ_EQUAL(StringToHex(hex), chunk);

    // The carry loses nothing, in two parts or in pieces of any size.
    const QString whole = TextRendition(chunk + '\n');
    const QByteArray first = chunk.left(split);
    const QByteArray second = chunk.mid(split);
    Utf8Carry halves;
    const QString firstText = halves.take(first);
    const QString secondText = halves.take(second);
    {
        Utf8Carry flushed;
        FUZZ_EQUAL(flushed.take(first) + flushed.take(second) + flushed.take("\n"), whole);
        FUZZ_CHECK(flushed.isEmpty());
    }
    Utf8Carry pieces;
    QString fed;
    for (int i = 0; i < chunk.size(); i += carryPiece) {
        fed += pieces.take(chunk.mid(i, carryPiece));
        // After every piece the text so far is what the carry makes of all bytes so far.
        Utf8Carry probe;
        const QString upToHere = probe.take(chunk.left(i + carryPiece));
        FUZZ_EQUAL(fed, upToHere);
    }
    FUZZ_EQUAL(fed + pieces.take("\n"), whole);
    // An echo is rendered without a carry: NULs as backslash and "0", the rest decoded as UTF-8,
    // a byte order mark at the start included (decoded here after a leading "A").
    FUZZ_EQUAL(TextRendition(chunk),
               QString::fromUtf8("A" + QByteArray(chunk).replace('\0', "\\0")).mid(1));

    // One call.
    Utf8Carry oneCarry;
    const QString oneText = oneCarry.take(chunk);
    QString oneTextBuffer = startText;
    QString oneHexBuffer = startHex;
    const ConsoleParts one = render(chunk, oneText, oneTextBuffer, oneHexBuffer, stamp, timestamps);
    checkPieces(one.text, pieceChars);
    checkPieces(one.hex, pieceChars);

    // Two calls with the same stamp agree with one wherever both parts have bytes.
    if (!first.isEmpty() && !second.isEmpty()) {
        QString twoTextBuffer = startText;
        QString twoHexBuffer = startHex;
        const ConsoleParts p1 =
            render(first, firstText, twoTextBuffer, twoHexBuffer, stamp, timestamps);
        const ConsoleParts p2 =
            render(second, secondText, twoTextBuffer, twoHexBuffer, stamp, timestamps);
        // An LF inside the one chunk is "0A", LF, LF; ending the first part it is "0A", LF.
        FUZZ_EQUAL(first.endsWith('\n') ? p1.hex + QLatin1Char('\n') + p2.hex : p1.hex + p2.hex,
                   one.hex);
        // Without stamps the text is the same at once. With stamps it is the same once a next
        // chunk has completed what the carry held: a part whose bytes the carry holds back whole
        // already stamps the line that they start.
        if (!timestamps)
            FUZZ_EQUAL(p1.text + p2.text, one.text);
        const QByteArray next("x");
        QString oneNextHex = oneHexBuffer;
        QString twoNextHex = twoHexBuffer;
        render(next, oneCarry.take(next), oneTextBuffer, oneNextHex, stamp, timestamps);
        render(next, halves.take(next), twoTextBuffer, twoNextHex, stamp, timestamps);
        FUZZ_EQUAL(twoTextBuffer, oneTextBuffer);
    }
    return 0;
}
