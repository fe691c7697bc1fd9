#include "serial/consoleview.h"

#include "serial/console.h"

#include <QTextBrowser>
#include <QTextCharFormat>
#include <QTextCursor>

namespace {

QTextCharFormat CharFormat(const AnsiStyle &style)
{
    QTextCharFormat format;
    format.setFontStyleStrategy(QFont::PreferNoShaping);
    if (style.foreground)
        format.setForeground(QColor(style.foreground));
    if (style.background)
        format.setBackground(QColor(style.background));
    if (style.bold)
        format.setFontWeight(QFont::Bold);
    if (style.italic)
        format.setFontItalic(true);
    if (style.underline)
        format.setFontUnderline(true);
    return format;
}

bool IsLineBreak(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

// Line breaks that start a run go in with the run before: a CR and its LF apart would make two
// line breaks, and a CR styled apart from its line is one more piece for the toolkit to lay out
// (a log line typically resets its colour just before its CR LF).
QVector<AnsiRun> JoinLineBreaks(const QVector<AnsiRun> &runs)
{
    QVector<AnsiRun> joined;
    joined.reserve(runs.size());
    for (const AnsiRun &run : runs) {
        int breaks = 0;
        while (breaks < run.text.size() && IsLineBreak(run.text.at(breaks)))
            ++breaks;
        if (breaks > 0 && !joined.isEmpty())
            joined.last().text.append(QStringView(run.text).left(breaks));
        else
            breaks = 0;
        if (breaks < run.text.size())
            joined.append({run.text.mid(breaks), run.style});
    }
    return joined;
}

// Long runs go in pieces as plain text does, and runs as edits of about a piece's length: run by
// run the toolkit would lay the line out again at each, and one edit as long as the whole chunk
// is laid out slower than pieces are.
void InsertRunsAtCursor(QTextCursor &cursor, const QVector<AnsiRun> &runs)
{
    cursor.beginEditBlock();
    int inBlock = 0;
    for (const AnsiRun &run : JoinLineBreaks(runs)) {
        const QTextCharFormat format = CharFormat(run.style);
        for (int from = 0; from < run.text.size();) {
            const int end = ConsolePieceEnd(run.text, from);
            if (inBlock > 0 && inBlock + end - from > ConsolePieceChars) {
                cursor.endEditBlock();
                cursor.beginEditBlock();
                inBlock = 0;
            }
            cursor.insertText(run.text.mid(from, end - from), format);
            inBlock += end - from;
            from = end;
        }
    }
    cursor.endEditBlock();
}

} // namespace

ConsoleView::ConsoleView(QTextBrowser *console) : console(console)
{
    // A terminal draws characters one by one: no kerning, no shaping for the scripts that need
    // none, which is most of the cost of laying out a fast stream. The style sheet's font keeps
    // the strategy, as it only sets the family and size.
    QFont font = console->font();
    font.setStyleStrategy(QFont::PreferNoShaping);
    console->setFont(font);
}

void ConsoleView::insertPlain(const QString &part, bool replace)
{
    console->moveCursor(QTextCursor::End);
    // A console past its limit gets the new part in place of its content, in one edit. Cleared
    // first, it would hide its scroll bar, show it again for the new text and lay that text out
    // a second time at the narrower width. Styled content is cleared all the same: text put in
    // its place would take on its style.
    if (replace && (part.isEmpty() || styled)) {
        console->clear();
        styled = false;
    } else if (replace) {
        console->selectAll();
    }
    // Plain text after styled text must not take on its style.
    if (styled)
        console->setCurrentCharFormat(QTextCharFormat());
    for (int from = 0; from < part.size();) {
        const int end = ConsolePieceEnd(part, from);
        console->insertPlainText(part.mid(from, end - from));
        from = end;
    }
    console->moveCursor(QTextCursor::End);
}

void ConsoleView::insertRuns(const QVector<AnsiRun> &runs, bool replace)
{
    console->moveCursor(QTextCursor::End);
    bool empty = true;
    for (const AnsiRun &run : runs)
        empty = empty && run.text.isEmpty();
    if (replace && empty) {
        console->clear();
    } else {
        QTextCursor cursor(console->document());
        cursor.movePosition(QTextCursor::End);
        if (replace)
            cursor.movePosition(QTextCursor::Start, QTextCursor::KeepAnchor);
        InsertRunsAtCursor(cursor, runs);
    }
    styled = true;
    console->moveCursor(QTextCursor::End);
}

void ConsoleView::showPlain(const QString &text)
{
    styled = false;
    console->setPlainText(text);
    console->moveCursor(QTextCursor::End);
}

void ConsoleView::clear()
{
    console->clear();
    styled = false;
}
