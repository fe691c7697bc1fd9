#pragma once

#include <QString>
#include <QStringList>

// How the file row sends a file: its raw bytes at a fixed pace, or framed in one of the block
// protocols that bootloaders take.
enum class SendProtocol { Raw, Xmodem, Xmodem1k, Ymodem };

// The items of the choice in their order: "RAW", "XMODEM", "XMODEM-1K", "YMODEM" (protocol
// names, the same in every language).
QStringList SendProtocolTexts();
QString SendProtocolText(SendProtocol protocol);
// The protocol an item text names, exactly as written; anything else (an empty or unknown stored
// value) is Raw.
SendProtocol ParseSendProtocol(const QString &text);
