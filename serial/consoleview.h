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

    // Inserts one plain part at the end, or with `replace` in place of all the console holds.
    void insertPlain(const QString &part, bool replace);
    // Inserts styled runs at the end, or with `replace` in place of all the console holds; with
    // `replace` and nothing to insert the console is simply cleared.
    void insertRuns(const QVector<AnsiRun> &runs, bool replace);
    // Shows exactly this text, unstyled, in place of everything.
    void showPlain(const QString &text);
    void clear();

private:
    QTextBrowser *console;
    // The console shows styled text: plain text inserted after it must not take on its style.
    bool styled = false;
    // The console ends in text inserted with shaping on.
    bool shaped = false;
};
