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
        parts.text.reserve(text.size() + stamp.size());
        if (AtLineStart(textBuffer))
            parts.text.append(stamp);
        int from = 0;
        for (int lf = text.indexOf(QLatin1Char('\n')); lf >= 0 && lf + 1 < text.size();
             lf = text.indexOf(QLatin1Char('\n'), lf + 1)) {
            parts.text.append(text.midRef(from, lf + 1 - from));
            parts.text.append(stamp);
            from = lf + 1;
        }
        parts.text.append(text.midRef(from));
    } else {
        parts.text = text;
    }

    // The hex rendition holds pairs and single spaces only, so "0A" is always the byte LF.
    parts.hex.reserve(hex.size() + lineStamp.size() + 2);
    parts.hex.append(AtLineStart(hexBuffer) ? lineStamp : QStringLiteral(" "));
    const QChar *digits = hex.constData();
    for (int i = 0; i + 1 < hex.size(); i += 3) {
        parts.hex.append(digits + i, 2);
        const bool last = i + 2 >= hex.size();
        if (digits[i] == QLatin1Char('0') && digits[i + 1] == QLatin1Char('A')) {
            if (last) {
                parts.hex.append(QLatin1Char('\n'));
            } else {
                parts.hex.append(QLatin1String("\n\n"));
                parts.hex.append(lineStamp);
            }
        } else if (!last) {
            parts.hex.append(QLatin1Char(' '));
        }
    }
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
