// libFuzzer target: the hex-send conversion (StringToHex, EncodeHexCommand) on any command text.
//
// The input is the command text as UTF-8 (so characters above U+00FF occur too). Checks:
// - StringToHex matches the conversion written out here anew, independently of it;
// - it never makes more bytes than half the characters;
// - EncodeHexCommand is StringToHex after padding an odd length with "0";
// - the bytes survive the round trip through their hex rendition (ByteArrayToHexString).

#include "check.h"
#include "serial/hexcodec.h"

#include <cstddef>
#include <cstdint>

namespace {

int digitValue(ushort code)
{
    if (code >= '0' && code <= '9')
        return code - '0';
    if (code >= 'A' && code <= 'F')
        return code - 'A' + 10;
    if (code >= 'a' && code <= 'f')
        return code - 'a' + 10;
    return 0;
}

QByteArray referenceStringToHex(const QString &text)
{
    QByteArray bytes;
    const int n = text.size();
    int p = 0;
    while (p < n) {
        const ushort c1 = text[p].unicode();
        if (c1 == ' ') {
            ++p;
            continue;
        }
        if (p + 1 >= n)
            break;
        const ushort c2 = text[p + 1].unicode();
        // Characters above U+00FF count as the byte 0, which is no digit either.
        bytes.append(char(digitValue(c1 > 0xFF ? 0 : c1) * 16 + digitValue(c2 > 0xFF ? 0 : c2)));
        p += 2;
    }
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<int>(size));

    const QByteArray bytes = StringToHex(text);
    FUZZ_EQUAL(bytes, referenceStringToHex(text));
    FUZZ_CHECK(bytes.size() <= text.size() / 2);

    QString padded = text;
    if (padded.size() % 2 != 0)
        padded.append(QLatin1Char('0'));
    FUZZ_EQUAL(EncodeHexCommand(text), StringToHex(padded));

    const QString hex = ByteArrayToHexString(bytes);
    FUZZ_EQUAL(hex.size(), bytes.isEmpty() ? 0 : bytes.size() * 3 - 1);
    FUZZ_EQUAL(StringToHex(hex), bytes);
    FUZZ_EQUAL(hex, QString::fromLatin1(bytes.toHex(' ').toUpper()));
    return 0;
}
