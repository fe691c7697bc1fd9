#include "serial/lineending.h"

#include "serial/hexcodec.h"

QString LineEndingStoredText(LineEnding ending)
{
    switch (ending) {
    case LineEnding::Cr:
        return QStringLiteral("cr");
    case LineEnding::Lf:
        return QStringLiteral("lf");
    case LineEnding::CrLf:
        break;
    }
    return QStringLiteral("crlf");
}

LineEnding LineEndingFromStored(const QString &stored)
{
    if (stored == QLatin1String("cr"))
        return LineEnding::Cr;
    if (stored == QLatin1String("lf"))
        return LineEnding::Lf;
    return LineEnding::CrLf;
}

QString LineEndingName(LineEnding ending)
{
    switch (ending) {
    case LineEnding::Cr:
        return QStringLiteral("CR");
    case LineEnding::Lf:
        return QStringLiteral("LF");
    case LineEnding::CrLf:
        break;
    }
    return QStringLiteral("CR LF");
}

QByteArray LineEndingBytes(LineEnding ending)
{
    switch (ending) {
    case LineEnding::Cr:
        return QByteArrayLiteral("\r");
    case LineEnding::Lf:
        return QByteArrayLiteral("\n");
    case LineEnding::CrLf:
        break;
    }
    return QByteArrayLiteral("\r\n");
}

QByteArray EncodeTextCommand(const QString &text, bool withEnter, LineEnding ending)
{
    QByteArray bytes = EncodeTextCommand(text, false);
    if (withEnter)
        bytes.append(LineEndingBytes(ending));
    return bytes;
}
