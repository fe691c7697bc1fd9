#include "serial/console.h"

#include "app/texts.h"

namespace {

bool AtLineStart(const QString &buffer)
{
    return buffer.isEmpty() || buffer.endsWith(QLatin1Char('\n'));
}

} // namespace

QString FormatStamp(const QDateTime &when, bool tagged, bool received)
{
    const QString stamp = when.toString(QStringLiteral("[MM-dd hh:mm:ss:zzz]"));
    if (!tagged)
        return stamp;
    // After the formatting, not in the format: a tag's letters would be read as format letters.
    return stamp + (received ? Texts::ReceivedTag() : Texts::SentTag());
}

ConsoleParts RenderChunk(const QString &text, const QString &hex, const QString &textBuffer,
                         const QString &hexBuffer, const QString &stamp, bool timestamps)
{
    ConsoleParts parts;
    const QString lineStamp = timestamps ? stamp : QString();

    // Every LF but a final one is followed by the stamp, so a line ending a chunk leaves the
    // stamp to the chunk that starts the next line.
    if (timestamps) {
        parts.text.reserve(text.size() + (text.count(QLatin1Char('\n')) + 1) * stamp.size());
        if (AtLineStart(textBuffer))
            parts.text.append(stamp);
        int from = 0;
        for (int lf = text.indexOf(QLatin1Char('\n')); lf >= 0 && lf + 1 < text.size();
             lf = text.indexOf(QLatin1Char('\n'), lf + 1)) {
            parts.text.append(QStringView(text).mid(from, lf + 1 - from));
            parts.text.append(stamp);
            from = lf + 1;
        }
        parts.text.append(QStringView(text).mid(from));
    } else {
        parts.text = text;
    }

    // The hex rendition holds pairs and single spaces only, so the pair "0A" is the byte LF. The
    // runs between LF bytes are already what the console shows and go over whole; each LF byte
    // then takes the line break (and stamp) in place of the space that followed it.
    const QChar *digits = hex.constData();
    const int size = hex.size();
    const auto isLf = [digits](int pair) {
        return digits[pair] == QLatin1Char('0') && digits[pair + 1] == QLatin1Char('A');
    };
    int lfCount = 0;
    for (int pair = 0; pair + 1 < size; pair += 3)
        lfCount += isLf(pair) ? 1 : 0;
    parts.hex.reserve(size + (lfCount + 1) * (lineStamp.size() + 2));
    parts.hex.append(AtLineStart(hexBuffer) ? lineStamp : QStringLiteral(" "));
    int runStart = 0;
    for (int pair = 0; pair + 1 < size; pair += 3) {
        if (!isLf(pair))
            continue;
        parts.hex.append(digits + runStart, pair + 2 - runStart);
        runStart = pair + 3;
        if (runStart >= size) {
            parts.hex.append(QLatin1Char('\n'));
        } else {
            parts.hex.append(QLatin1String("\n\n"));
            parts.hex.append(lineStamp);
        }
    }
    if (runStart < size)
        parts.hex.append(digits + runStart, size - runStart);
    return parts;
}

int ConsolePieceEnd(const QString &part, int from, int pieceChars)
{
    const int limit = from + pieceChars;
    if (limit >= part.size())
        return part.size();
    const int lf = part.lastIndexOf(QLatin1Char('\n'), limit - 1);
    if (lf >= from)
        return lf + 1;
    int end = limit;
    // A CR and its LF make one line break only when they arrive together.
    if (end - 1 > from &&
        (part.at(end - 1) == QLatin1Char('\r') || part.at(end - 1).isHighSurrogate()))
        --end;
    return end;
}
