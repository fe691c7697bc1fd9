#pragma once

#include <QByteArray>
#include <QString>

// Hex rendition of a chunk: upper-case digit pairs separated by single spaces ("4F 4B 0D 0A").
QString ByteArrayToHexString(const QByteArray &data);

// Bytes of a hex command. Spaces are skipped only where a pair would start; any other character
// that is not a hex digit (a space inside a pair included) counts as 0; a lone last digit is
// dropped.
QByteArray StringToHex(const QString &text);

// Bytes of a hex command: text of odd length first gets a "0" appended (spaces count).
QByteArray EncodeHexCommand(QString text);

// 0..15 for "0"-"9", "A"-"F" and "a"-"f"; 0 for everything else.
int HexCharValue(char c);

// Bytes of a text command: Latin-1 (characters it cannot hold become "?"), then CR LF if asked.
QByteArray EncodeTextCommand(const QString &text, bool withEnter);

// Text rendition of bytes: each NUL becomes backslash and "0", the rest is decoded as UTF-8 with
// invalid sequences turned into replacement characters. A byte order mark is a character (U+FEFF)
// wherever it stands, also at the start.
QString TextRendition(const QByteArray &data);

// Keeps a UTF-8 sequence that a chunk cuts off at its end, so that the character is decoded
// whole with the next chunk instead of as two replacement characters.
class Utf8Carry
{
public:
    // Text rendition of the held bytes plus `chunk`, minus any incomplete sequence at its end,
    // which is held for the next call.
    QString take(const QByteArray &chunk);
    void reset() { held.clear(); }
    // Text rendition of the held bytes, as replacement characters; nothing is held afterwards.
    QString flush();
    bool isEmpty() const { return held.isEmpty(); }

private:
    QByteArray held;
};
