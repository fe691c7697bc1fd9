#include "serial/ansi.h"

#include <QVarLengthArray>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

const QChar Esc(0x1B);

// The basic and bright colours, darker than a terminal's so that each stays readable on white;
// "white" becomes grey, and bright white the darker grey, as it stands out more on a dark screen.
constexpr QRgb BasicColours[16] = {
    0xFF000000, 0xFFB3261E, 0xFF1E7B1E, 0xFF8A6A00, 0xFF1F4ED8, 0xFFA3269E, 0xFF00787F, 0xFF5F5F5F,
    0xFF808080, 0xFFD9342B, 0xFF2E8B2E, 0xFF9E7C00, 0xFF3B6FF0, 0xFFC23BBD, 0xFF0E8A93, 0xFF404040,
};

double Linear(int channel)
{
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(QRgb rgb)
{
    return 0.2126 * Linear(qRed(rgb)) + 0.7152 * Linear(qGreen(rgb)) + 0.0722 * Linear(qBlue(rgb));
}

std::array<QRgb, 256> BuildPalette()
{
    std::array<QRgb, 256> palette{};
    std::copy(std::begin(BasicColours), std::end(BasicColours), palette.begin());
    static const int levels[6] = {0, 95, 135, 175, 215, 255};
    for (int i = 0; i < 216; ++i)
        palette[16 + i] = ReadableOnWhite(qRgb(levels[i / 36], levels[i / 6 % 6], levels[i % 6]));
    for (int i = 0; i < 24; ++i)
        palette[232 + i] = ReadableOnWhite(qRgb(8 + 10 * i, 8 + 10 * i, 8 + 10 * i));
    return palette;
}

enum : int { Incomplete = -1, NotASequence = -2 };

// End (exclusive) of the CSI sequence whose ESC is at `at`: parameter and intermediate
// characters, then a final one. Incomplete when `text` ends before it could.
int SequenceEnd(const QChar *text, int at, int size)
{
    if (at + 1 == size)
        return Incomplete;
    if (text[at + 1] != QLatin1Char('['))
        return NotASequence;
    const int limit = std::min(size, at + AnsiSequenceLimit);
    for (int i = at + 2; i < limit; ++i) {
        const ushort c = text[i].unicode();
        if (c >= 0x40 && c <= 0x7E)
            return i + 1;
        if (c < 0x20 || c > 0x3F)
            return NotASequence;
    }
    return size < at + AnsiSequenceLimit ? Incomplete : NotASequence;
}

void Append(QVector<AnsiRun> &runs, const QChar *text, int length, const AnsiStyle &style)
{
    if (length <= 0)
        return;
    if (!runs.isEmpty() && runs.last().style == style)
        runs.last().text.append(text, length);
    else
        runs.append({QString(text, length), style});
}

// The colour that the parameters after a 38 or 48 name ("5;n" or "2;r;g;b"; with colons also
// "2:space:r:g:b"); 0 when they name none the palette or 8 bits per channel can show.
QRgb ExtendedColour(const int *args, int count, bool colons)
{
    if (count >= 2 && args[0] == 5)
        return args[1] <= 255 ? AnsiPaletteColour(args[1]) : 0;
    if (count >= 4 && args[0] == 2) {
        const int *rgb = colons && count >= 5 ? args + 2 : args + 1;
        if (rgb[0] > 255 || rgb[1] > 255 || rgb[2] > 255)
            return 0;
        return qRgb(rgb[0], rgb[1], rgb[2]);
    }
    return 0;
}

// How many parameters after a 38 or 48 in semicolon form belong to it; 0 when they are too few.
int ExtendedLength(const int *args, int count)
{
    if (count >= 2 && args[0] == 5)
        return 2;
    if (count >= 4 && args[0] == 2)
        return 4;
    return 0;
}

} // namespace

double ContrastOnWhite(QRgb rgb)
{
    return 1.05 / (Luminance(rgb) + 0.05);
}

QRgb ReadableOnWhite(QRgb rgb)
{
    rgb = qRgb(qRed(rgb), qGreen(rgb), qBlue(rgb));
    if (ContrastOnWhite(rgb) >= AnsiLeastContrast)
        return rgb;
    // Scaling the channels by f scales the luminance by about f^2.4; the loop covers the rest.
    const double target = 1.05 / AnsiLeastContrast - 0.05;
    double f = std::pow(target / Luminance(rgb), 1 / 2.4);
    for (;;) {
        const QRgb darker = qRgb(int(qRed(rgb) * f), int(qGreen(rgb) * f), int(qBlue(rgb) * f));
        if (ContrastOnWhite(darker) >= AnsiLeastContrast)
            return darker;
        f *= 0.98;
    }
}

QRgb AnsiPaletteColour(int index)
{
    static const std::array<QRgb, 256> palette = BuildPalette();
    return palette[size_t(std::clamp(index, 0, 255))];
}

QRgb AnsiBackground(QRgb rgb)
{
    const auto tint = [](int channel) { return (3 * channel + 7 * 255) / 10; };
    return qRgb(tint(qRed(rgb)), tint(qGreen(rgb)), tint(qBlue(rgb)));
}

QVector<AnsiRun> AnsiRenderer::take(const QString &chunk)
{
    const QString text = held.isEmpty() ? chunk : held + chunk;
    held.clear();
    QVector<AnsiRun> runs;
    const QChar *s = text.constData();
    const int size = text.size();
    int from = 0;
    for (int at = text.indexOf(Esc); at >= 0;) {
        const int end = SequenceEnd(s, at, size);
        if (end == NotASequence) {
            at = text.indexOf(Esc, at + 1);
            continue;
        }
        Append(runs, s + from, at - from, current);
        if (end == Incomplete) {
            held = text.mid(at);
            return runs;
        }
        if (s[end - 1] == QLatin1Char('m'))
            applySgr(s + at + 2, end - at - 3);
        from = end;
        at = text.indexOf(Esc, end);
    }
    Append(runs, s + from, size - from, current);
    return runs;
}

QString AnsiRenderer::takeHeld()
{
    QString text;
    text.swap(held);
    return text;
}

void AnsiRenderer::reset()
{
    held.clear();
    current = AnsiStyle();
}

void AnsiRenderer::applySgr(const QChar *params, int length)
{
    // Each parameter, and whether a colon joins it to the one before ("38:5:9").
    QVarLengthArray<int, 16> values;
    QVarLengthArray<bool, 16> joined;
    int value = 0;
    bool colon = false;
    for (int i = 0; i < length; ++i) {
        const ushort c = params[i].unicode();
        if (c >= '0' && c <= '9') {
            value = std::min(value * 10 + (c - '0'), 99999);
        } else if (c == ';' || c == ':') {
            values.append(value);
            joined.append(colon);
            value = 0;
            colon = c == ':';
        } else {
            // A private or intermediate character: some other sequence ending in "m".
            return;
        }
    }
    values.append(value);
    joined.append(colon);

    const int count = values.size();
    for (int k = 0; k < count;) {
        const int code = values[k];
        int next = k + 1;
        while (next < count && joined[next])
            ++next;
        const bool colons = next > k + 1;
        if (code == 38 || code == 48) {
            const int *args = values.constData() + k + 1;
            QRgb colour = 0;
            if (colons) {
                colour = ExtendedColour(args, next - k - 1, true);
            } else {
                const int used = ExtendedLength(args, count - k - 1);
                // Too few parameters: what follows cannot be told apart from them.
                if (used == 0)
                    return;
                colour = ExtendedColour(args, used, false);
                next = k + 1 + used;
            }
            if (colour != 0 && code == 38)
                current.foreground = ReadableOnWhite(colour);
            else if (colour != 0)
                current.background = AnsiBackground(colour);
            k = next;
            continue;
        }
        if (code == 0)
            current = AnsiStyle();
        else if (code == 1 || code == 22)
            current.bold = code == 1;
        else if (code == 3 || code == 23)
            current.italic = code == 3;
        else if (code == 4 || code == 24)
            current.underline = code == 4 && !(colons && values[k + 1] == 0);
        else if (code >= 30 && code <= 37)
            current.foreground = AnsiPaletteColour(code - 30);
        else if (code == 39)
            current.foreground = 0;
        else if (code >= 40 && code <= 47)
            current.background = AnsiBackground(AnsiPaletteColour(code - 40));
        else if (code == 49)
            current.background = 0;
        else if (code >= 90 && code <= 97)
            current.foreground = AnsiPaletteColour(code - 90 + 8);
        else if (code >= 100 && code <= 107)
            current.background = AnsiBackground(AnsiPaletteColour(code - 100 + 8));
        k = next;
    }
}
