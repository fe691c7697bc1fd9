#pragma once

#include <QDateTime>
#include <QString>

// The stamp that starts each console line: "[MM-dd hh:mm:ss:zzz]", followed while sends are
// echoed by the tag that tells received from sent lines ("[接收]", "[发送]").
QString FormatStamp(const QDateTime &when, bool tagged, bool received);

// One chunk as appended to the two console buffers.
struct ConsoleParts
{
    QString text;
    QString hex;
};

// Renders a chunk given its text rendition and hex rendition (ByteArrayToHexString), the buffers
// as they stand before it, and the stamp. Stamps go at line starts only when `timestamps` is
// set; in hex an LF byte ends the line, followed by an empty line when more of the chunk follows.
ConsoleParts RenderChunk(const QString &text, const QString &hex, const QString &textBuffer,
                         const QString &hexBuffer, const QString &stamp, bool timestamps);

// The console takes a long part in pieces of at most this many characters: the toolkit lays out
// one huge insertion in time that grows faster than its length, many pieces in linear time.
constexpr int ConsolePieceChars = 65536;

// End (exclusive) of the piece of `part` that starts at `from`: after the last LF within the
// piece size if there is one, otherwise at the size limit, moved back so that neither a CR LF
// pair nor a surrogate pair is cut. The pieces inserted one after another make the same text.
int ConsolePieceEnd(const QString &part, int from, int pieceChars = ConsolePieceChars);

// Over these lengths (in UTF-16 units) the next chunk first clears the console and both buffers.
constexpr int TextBufferLimit = 102400;
constexpr int HexBufferLimit = 204800;
