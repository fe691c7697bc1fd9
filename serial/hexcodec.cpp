#include "serial/hexcodec.h"

namespace {

// Length of the incomplete UTF-8 sequence at the end of `bytes`: 0 when the bytes end on a
// character boundary or in something that cannot become valid by appending more bytes.
int IncompleteTail(const QByteArray &bytes)
{
    const int size = bytes.size();
    // A sequence is at most 4 bytes, so an incomplete one has at most 3 at the end.
    for (int back = 1; back <= 3 && back <= size; ++back) {
        const auto byte = static_cast<unsigned char>(bytes.at(size - back));
        if ((byte & 0xC0) == 0x80)
            continue;
        int needed = 0;
        if (byte >= 0xC2 && byte <= 0xDF)
            needed = 2;
        else if (byte >= 0xE0 && byte <= 0xEF)
            needed = 3;
        else if (byte >= 0xF0 && byte <= 0xF4)
            needed = 4;
        return needed > back ? back : 0;
    }
    return 0;
}

// The toolkit's UTF-8 decoder drops one byte order mark (EF BB BF) at the very start of what it
// decodes. A chunk is a piece of a stream, so a mark there is a character like any other: it is
// kept, as it is everywhere else in a chunk, and text does not depend on where chunks start.
QString DecodeUtf8(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QChar(0xFEFF) + QString::fromUtf8(bytes);
    return QString::fromUtf8(bytes);
}

} // namespace

QString ByteArrayToHexString(const QByteArray &data)
{
    static const char digits[] = "0123456789ABCDEF";
    if (data.isEmpty())
        return QString();
    QString hex(data.size() * 3 - 1, QLatin1Char(' '));
    QChar *out = hex.data();
    for (int i = 0; i < data.size(); ++i) {
        const auto byte = static_cast<unsigned char>(data.at(i));
        out[i * 3] = QLatin1Char(digits[byte >> 4]);
        out[i * 3 + 1] = QLatin1Char(digits[byte & 0x0F]);
    }
    return hex;
}

int HexCharValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return 0;
}

QByteArray StringToHex(const QString &text)
{
    const auto latin1 = [&text](int p) {
        const ushort code = text.at(p).unicode();
        return code > 0xFF ? char(0) : char(code);
    };
    const int n = text.size();
    QByteArray bytes;
    bytes.reserve(n / 2);
    int p = 0;
    while (p < n) {
        const char c1 = latin1(p);
        if (c1 == ' ') {
            ++p;
            continue;
        }
        if (p + 1 >= n)
            break;
        const char c2 = latin1(p + 1);
        bytes.append(char(HexCharValue(c1) * 16 + HexCharValue(c2)));
        p += 2;
    }
    return bytes;
}

QByteArray EncodeHexCommand(QString text)
{
    if (text.size() % 2 != 0)
        text.append(QLatin1Char('0'));
    return StringToHex(text);
}

QByteArray EncodeTextCommand(const QString &text, bool withEnter)
{
    QByteArray bytes = text.toLatin1();
    if (withEnter)
        bytes.append("\r\n");
    return bytes;
}

QString TextRendition(const QByteArray &data)
{
    if (!data.contains('\0'))
        return DecodeUtf8(data);
    QByteArray copy = data;
    copy.replace('\0', QByteArrayLiteral("\\0"));
    return DecodeUtf8(copy);
}

QString Utf8Carry::take(const QByteArray &chunk)
{
    // Most chunks end on a character boundary with nothing held: the chunk is decoded as it is.
    const QByteArray bytes = held.isEmpty() ? chunk : held + chunk;
    const int tail = IncompleteTail(bytes);
    held = bytes.right(tail);
    if (tail == 0)
        return TextRendition(bytes);
    return TextRendition(QByteArray::fromRawData(bytes.constData(), bytes.size() - tail));
}

QString Utf8Carry::flush()
{
    const QString text = TextRendition(held);
    held.clear();
    return text;
}
