#include "config/inicheck.h"

#include "serial/trace.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cstring>

namespace {

// The toolkit's INI reader decodes a value in the serialised form wherever the text it makes of
// the value (or of one item of a comma-separated list) starts so, after it has split the file
// into lines and undone quotes and escapes. Looking at the raw text of each line misses forms
// like "\x40Variant(", "x, @Variant(", a CR that ends a line or a quoted "=" before the value, so
// the check below splits and unescapes the file by the same rules as that reader.

bool IsIniSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

struct IniLine
{
    int start = 0;
    int length = 0;
    int equals = -1; // the first "=" outside double quotes, or -1
};

// The next logical line from `pos`: leading white space is skipped; a line ends at CR or LF
// outside double quotes and at ";" outside quotes; ";" at the start of a line makes the rest of
// it a comment; a backslash takes the next character (and a CR LF or LF CR pair) with it.
bool NextIniLine(const QByteArray &data, int &pos, IniLine &line)
{
    const int size = data.size();
    int start = pos;
    while (start < size && IsIniSpace(data.at(start)))
        ++start;
    bool quoted = false;
    int equals = -1;
    int i = start;
    while (i < size) {
        const char c = data.at(i++);
        bool ends = false;
        switch (c) {
        case '=':
            if (!quoted && equals < 0)
                equals = i - 1;
            break;
        case '\n':
        case '\r':
            if (i == start + 1)
                ++start; // the line break after a comment
            else if (!quoted)
                ends = true;
            break;
        case '\\':
            if (i < size) {
                const char escaped = data.at(i++);
                if (i < size) {
                    const char next = data.at(i);
                    if ((escaped == '\n' && next == '\r') || (escaped == '\r' && next == '\n'))
                        ++i;
                }
            }
            break;
        case '"':
            quoted = !quoted;
            break;
        case ';':
            if (i == start + 1) {
                while (i < size && data.at(i) != '\n' && data.at(i) != '\r')
                    ++i;
                start = i;
            } else if (!quoted) {
                ends = true;
            }
            break;
        default:
            break;
        }
        if (ends) {
            --i;
            break;
        }
    }
    pos = i;
    line.start = start;
    line.length = i - start;
    line.equals = equals;
    return line.length > 0;
}

// The texts the reader makes of the value bytes [from, to): one text, or the items of a list.
// Spaces and tabs before a text are skipped; double quotes group (and are dropped); a comma
// outside quotes starts the next item; \a \b \f \n \r \t \v \" \? \' \\ are single characters,
// \x and hex digits, or a backslash and octal digits, the character of that code (its low 16
// bits); a backslash before a line break or any other character stands for nothing. Other bytes
// are Latin-1, or UTF-8 (each run decoded on its own) in a file that starts with a byte order
// mark. Either way no such byte becomes a character below 0x80, so the Qt 6 reader, which takes
// them all as UTF-8, finds the same serialised values. Trailing spaces are not removed: they
// cannot change how a text starts.
QStringList IniValueTexts(const QByteArray &data, int from, int to, bool utf8)
{
    QStringList texts;
    QString text;
    bool quoted = false;
    int i = from;
    const auto skipSpaces = [&] {
        while (i < to && (data.at(i) == ' ' || data.at(i) == '\t'))
            ++i;
    };
    const auto isHex = [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
    };
    const auto hexValue = [](char c) { return uint(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10); };
    static const char simpleEscapes[] = "abfnrtv\"?'\\";
    static const char simpleValues[] = "\a\b\f\n\r\t\v\"?'\\";

    skipSpaces();
    while (i < to) {
        const char c = data.at(i);
        if (c == '\\') {
            ++i;
            if (i >= to)
                break;
            const char e = data.at(i++);
            if (const char *simple = e ? std::strchr(simpleEscapes, e) : nullptr) {
                text += QLatin1Char(simpleValues[simple - simpleEscapes]);
            } else if (e == 'x') {
                if (i >= to)
                    break;
                if (isHex(data.at(i))) {
                    uint code = 0;
                    while (i < to && isHex(data.at(i)))
                        code = (code << 4) + hexValue(data.at(i++));
                    text += QChar(ushort(code & 0xFFFF));
                }
            } else if (e >= '0' && e <= '7') {
                uint code = uint(e - '0');
                while (i < to && data.at(i) >= '0' && data.at(i) <= '7')
                    code = (code << 3) + uint(data.at(i++) - '0');
                text += QChar(ushort(code & 0xFFFF));
            } else if (e == '\n' || e == '\r') {
                if (i < to && (data.at(i) == '\n' || data.at(i) == '\r') && data.at(i) != e)
                    ++i;
            }
        } else if (c == '"') {
            ++i;
            quoted = !quoted;
            if (!quoted)
                skipSpaces();
        } else if (c == ',' && !quoted) {
            texts.append(text);
            text.clear();
            ++i;
            skipSpaces();
        } else {
            int end = i + 1;
            while (end < to && data.at(end) != '\\' && data.at(end) != '"' && data.at(end) != ',')
                ++end;
            text += utf8 ? QString::fromUtf8(data.constData() + i, end - i)
                         : QString::fromLatin1(data.constData() + i, end - i);
            i = end;
        }
    }
    texts.append(text);
    return texts;
}

bool IsSerialized(const QString &text)
{
    return text.startsWith(QLatin1String("@Variant(")) ||
           text.startsWith(QLatin1String("@DateTime("));
}

} // namespace

bool HoldsSerializedValues(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = file.readAll();

    int pos = 0;
    const bool utf8 = data.startsWith("\xEF\xBB\xBF");
    if (utf8)
        pos = 3;
    IniLine line;
    while (NextIniLine(data, pos, line)) {
        // Section headers hold no value; lines without "=" are skipped.
        if (data.at(line.start) == '[' || line.equals < 0)
            continue;
        const QStringList texts =
            IniValueTexts(data, line.equals + 1, line.start + line.length, utf8);
        for (const QString &text : texts)
            if (IsSerialized(text))
                return true;
    }
    return false;
}

QString SetAsideIfSerialized(const QString &path)
{
    if (!HoldsSerializedValues(path))
        return QString();
    for (int copy = 0;; ++copy) {
        QString aside = path + QStringLiteral(".bad");
        if (copy > 0)
            aside += QLatin1Char('.') + QString::number(copy);
        // A dangling link is taken too: a rename onto it could write through it.
        const QFileInfo taken(aside);
        if (taken.exists() || taken.isSymLink())
            continue;
        if (!QFile::rename(path, aside))
            return QString();
        DebugTrace(QStringLiteral("Set aside ") + path + QStringLiteral(" as ") + aside);
        return aside;
    }
}
