#pragma once

#include "serial/ansi.h"
#include "serial/consoletrim.h"
#include "serial/consoleview.h"
#include "serial/hexcodec.h"

#include <QDateTime>
#include <QObject>
#include <QVector>

class QTextBrowser;

// How the console shows a chunk: the window's switches at the time.
struct ConsoleOptions
{
    bool hexView = false;
    bool timestamps = false;
    // Sends are echoed, and every line is tagged as received or sent.
    bool tagged = false;
    bool colours = false;
};

// What the console holds and how it came to be: both renditions of every chunk since the last
// clear, the colours of the text rendition, a character or an escape sequence cut off at the end
// of the received stream, and which rendition is shown. The window owns one; a new window starts
// with an empty one.
class ConsoleModel : public QObject
{
    Q_OBJECT

public:
    // `textBuffer` and `hexBuffer` hold the two renditions; they are emptied here.
    ConsoleModel(QTextBrowser *console, QString &textBuffer, QString &hexBuffer,
                 QObject *parent = nullptr);

    // Appends one chunk to both renditions and shows the one chosen. `received` is set for the
    // received stream, whose cut-off characters and sequences go on in its next chunk.
    void showChunk(const QByteArray &data, bool received, const ConsoleOptions &options,
                   const QDateTime &now);
    // A line of the program's own (a transfer's start and end), in words in both renditions and
    // on a line of its own, stamped like the lines around it.
    void showNote(const QString &line, const ConsoleOptions &options, const QDateTime &now);
    // What the received stream still holds back is shown as text: the session ends.
    void flushHeld(const ConsoleOptions &options, const QDateTime &now);
    // Shows the hex or the text rendition in place of the other.
    void switchView(bool hex);
    // Empties the console and both renditions.
    void clear();

    // While paused, new text does not move what the console shows.
    void setPaused(bool on) { view.setPaused(on); }
    bool isPaused() const { return view.isPaused(); }
    const ConsoleView &consoleView() const { return view; }

signals:
    // A chunk went into both renditions: its byte count and the length of what was added to
    // the rendition shown.
    void chunkShown(int bytes, int shownLength);
    // A part was put on the console, as the log records it.
    void partShown(const QString &part);
    // The console lost its first `count` characters (as ConsoleView counts them) to make room.
    void frontDropped(int count);
    // The console was emptied or shows the other rendition.
    void replaced();

private:
    struct StyledSpan
    {
        int from;
        int to;
        AnsiStyle style;
    };

    // Appends the text rendition of a chunk and, in the text view, shows it (with `startAfresh`
    // in place of all the console holds); with colours on, without its escape sequences.
    // `stream` is set for the received stream.
    void appendText(const QString &text, bool stream, const ConsoleOptions &options);
    void showPart(const QString &part);
    // Notes what one display call added, the console's length before it given.
    void notePart(int textLength, int hexLength, int shownBefore);
    // Over a limit, drops the oldest parts from both renditions and the console.
    void trim(bool hexShown);
    // What each part holds on the console, after the view was built afresh from a rendition.
    void measureShown(bool hexShown);
    // Appends the runs' text to the text rendition and notes their styles; returns the text.
    QString appendStyled(const QVector<AnsiRun> &runs);
    // The runs of the text rendition with the styles it was shown in.
    QVector<AnsiRun> styledText() const;

    ConsoleView view;
    QString &textBuffer;
    QString &hexBuffer;
    Utf8Carry carry;
    AnsiRenderer colours;
    // The styled stretches of textBuffer, in order, so that the text view comes back in colour
    // after the hex view.
    QVector<StyledSpan> styles;
    // One entry per display call, oldest first: what it added to each rendition, and how many of
    // the console's characters show it (fewer once the console dropped a cut line's start).
    QVector<PartLengths> parts;
    QVector<int> shown;
};
