#include "transfer/sendprotocol.h"

namespace {

const SendProtocol protocols[] = {SendProtocol::Raw, SendProtocol::Xmodem, SendProtocol::Xmodem1k,
                                  SendProtocol::Ymodem};

} // namespace

QString SendProtocolText(SendProtocol protocol)
{
    switch (protocol) {
    case SendProtocol::Xmodem:
        return QStringLiteral("XMODEM");
    case SendProtocol::Xmodem1k:
        return QStringLiteral("XMODEM-1K");
    case SendProtocol::Ymodem:
        return QStringLiteral("YMODEM");
    case SendProtocol::Raw:
        break;
    }
    return QStringLiteral("RAW");
}

QStringList SendProtocolTexts()
{
    QStringList texts;
    for (const SendProtocol protocol : protocols)
        texts.append(SendProtocolText(protocol));
    return texts;
}

SendProtocol ParseSendProtocol(const QString &text)
{
    for (const SendProtocol protocol : protocols) {
        if (text == SendProtocolText(protocol))
            return protocol;
    }
    return SendProtocol::Raw;
}
