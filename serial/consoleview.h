#pragma once

#include "serial/ansi.h"

#include <QString>
#include <QVector>

class QTextBrowser;

// Puts what the console model decides into the console widget: parts at its end, or in place of
// all it holds, as plain text or as styled runs.
class ConsoleView
{
public:
    explicit ConsoleView(QTextBrowser *console);

    // Inserts one plain part at the end.
    void insertPlain(const QString &part);
    // Inserts styled runs at the end, or with `replace` in place of all the console holds; with
    // `replace` and nothing to insert the console is simply cleared.
    void insertRuns(const QVector<AnsiRun> &runs, bool replace);
    // Shows exactly this text, unstyled, in place of everything.
    void showPlain(const QString &text);
    void clear();

    // Characters the console holds, a line break counting one (a CR LF that arrived together
    // makes one).
    int length() const;
    // The console's text from `position` to its end, line breaks as LF.
    QString textFrom(int position) const;
    // Removes the first `count` characters in one edit, with `toLineStart` through the end of
    // the line that cuts, unless no other line follows; returns how many went. A paused view keeps
    // showing the same lines while they are still there.
    int dropFront(int count, bool toLineStart);

    // While paused, new text leaves the view and the selection where they are.
    void setPaused(bool on) { paused = on; }
    bool isPaused() const { return paused; }

private:
    // Keeps the view and the selection across an edit of a paused console that removes text of
    // `removedHeight` pixels above the view.
    template <typename Edit> void editKeepingView(Edit edit, int removedHeight = 0);

    bool paused = false;
    QTextBrowser *console;
    // The console shows styled text: plain text inserted after it must not take on its style.
    bool styled = false;
    // The console ends in text inserted with shaping on.
    bool shaped = false;
};
