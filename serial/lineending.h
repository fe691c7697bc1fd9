#pragma once

#include <QByteArray>
#include <QString>

// What "发送回车换行" appends to a text command.
enum class LineEnding { CrLf, Cr, Lf };

inline const QString LineEndingKey = QStringLiteral("/globalSetting/lineEnding");

// Stored as "crlf", "cr" and "lf"; any other stored text reads as CR LF, the ending of old files.
QString LineEndingStoredText(LineEnding ending);
LineEnding LineEndingFromStored(const QString &stored);

// "CR LF", "CR", "LF", as the menu and the tool tip name them in every language.
QString LineEndingName(LineEnding ending);

QByteArray LineEndingBytes(LineEnding ending);

// Bytes of a text command: Latin-1 (characters it cannot hold become "?"), then the line ending
// if asked. With CR LF these are the bytes of EncodeTextCommand(text, withEnter).
QByteArray EncodeTextCommand(const QString &text, bool withEnter, LineEnding ending);
