#pragma once

#include <QRgb>
#include <QString>
#include <QVector>

// How a run of console text looks. A colour with alpha 0 means the console's own.
struct AnsiStyle
{
    QRgb foreground = 0;
    QRgb background = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;

    bool isPlain() const { return *this == AnsiStyle(); }
    bool operator==(const AnsiStyle &other) const
    {
        return foreground == other.foreground && background == other.background &&
               bold == other.bold && italic == other.italic && underline == other.underline;
    }
    bool operator!=(const AnsiStyle &other) const { return !(*this == other); }
};

struct AnsiRun
{
    QString text;
    AnsiStyle style;
};

// Longest escape sequence taken as one, ESC and final character included. A longer one is not a
// sequence: its ESC and everything after it is shown as text.
constexpr int AnsiSequenceLimit = 64;

// Least contrast of any text colour against the console's white background.
constexpr double AnsiLeastContrast = 3.0;

// Colour `index` of the 256-colour palette (0-15 the basic and bright colours, then the 6×6×6
// cube and the grey ramp), made readable on white.
QRgb AnsiPaletteColour(int index);

// `rgb` darkened just enough to have AnsiLeastContrast against white; darker colours unchanged.
QRgb ReadableOnWhite(QRgb rgb);

// Contrast ratio of `rgb` against white, from 1 (white) to 21 (black).
double ContrastOnWhite(QRgb rgb);

// A background colour: `rgb` mixed with white, light enough for every text colour to stay
// readable on it.
QRgb AnsiBackground(QRgb rgb);

// Renders received text holding ANSI escape sequences. SGR sequences (ESC [ ... m) style the text
// that follows; every other CSI sequence (cursor moves, erasing) is dropped without effect; an ESC
// that starts no CSI sequence is text. A sequence cut off at the end of a chunk is held for the
// next one, like the UTF-8 carry, so where chunks are cut changes nothing.
class AnsiRenderer
{
public:
    // The text after what is held, as runs of one style each (adjacent runs differ in style).
    // Nothing is lost: the runs and what is held back make up the input without its sequences.
    QVector<AnsiRun> take(const QString &text);
    // Hands back the held start of a sequence, to be shown as text elsewhere.
    QString takeHeld();
    // Back to no held text and the plain style.
    void reset();
    const AnsiStyle &style() const { return current; }

private:
    void applySgr(const QChar *params, int length);

    QString held;
    AnsiStyle current;
};
