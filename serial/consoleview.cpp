#include "serial/consoleview.h"

#include "serial/console.h"

#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCharFormat>
#include <QTextCursor>

namespace {

// Whether text holds characters of a script that shows wrong unshaped: Arabic letters unjoined,
// combining marks unplaced. The console's font skips shaping, which the toolkit still does for
// the Indic scripts but not for these; text with them goes in with shaping on.
bool NeedsShaping(const QString &text)
{
    for (const QChar c : text) {
        // Latin-1 and the stamps: the common case, decided without a table.
        if (c.unicode() < 0x0300)
            continue;
        switch (c.script()) {
        case QChar::Script_Common:
        case QChar::Script_Unknown:
        case QChar::Script_Latin:
        case QChar::Script_Greek:
        case QChar::Script_Cyrillic:
        case QChar::Script_Han:
        case QChar::Script_Hiragana:
        case QChar::Script_Katakana:
        case QChar::Script_Hangul:
        case QChar::Script_Bopomofo:
            break;
        default:
            return true;
        }
    }
    return false;
}

// A stretch of whole lines that goes in with shaping on or off.
struct Stretch
{
    QString text;
    bool shaping;
};

// The text as stretches, line by line where some lines need shaping, so that one such line does
// not make a whole chunk slow.
QVector<Stretch> ShapingStretches(const QString &text)
{
    if (!NeedsShaping(text))
        return {{text, false}};
    QVector<Stretch> stretches;
    for (int from = 0; from < text.size();) {
        int end = text.indexOf(QLatin1Char('\n'), from);
        end = end < 0 ? text.size() : end + 1;
        const QString line = text.mid(from, end - from);
        const bool shaping = NeedsShaping(line);
        if (!stretches.isEmpty() && stretches.last().shaping == shaping)
            stretches.last().text += line;
        else
            stretches.append({line, shaping});
        from = end;
    }
    return stretches;
}

QFont::StyleStrategy Strategy(bool shaping)
{
    return shaping ? QFont::PreferDefault : QFont::PreferNoShaping;
}

QTextCharFormat CharFormat(const AnsiStyle &style, QFont::StyleStrategy shaping)
{
    QTextCharFormat format;
    format.setFontStyleStrategy(shaping);
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
        for (const Stretch &stretch : ShapingStretches(run.text)) {
            const QTextCharFormat format = CharFormat(run.style, Strategy(stretch.shaping));
            const QString &text = stretch.text;
            for (int from = 0; from < text.size();) {
                const int end = ConsolePieceEnd(text, from);
                if (inBlock > 0 && inBlock + end - from > ConsolePieceChars) {
                    cursor.endEditBlock();
                    cursor.beginEditBlock();
                    inBlock = 0;
                }
                cursor.insertText(text.mid(from, end - from), format);
                inBlock += end - from;
                from = end;
            }
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

template <typename Edit> void ConsoleView::editKeepingView(Edit edit, int removedHeight)
{
    if (!paused) {
        edit();
        return;
    }
    QScrollBar *bar = console->verticalScrollBar();
    const QTextCursor selection = console->textCursor();
    const int value = bar->value();
    edit();
    console->setTextCursor(selection);
    // The toolkit lays a large document out lazily, and the scroll bar's range follows: the
    // position kept must be within it.
    if (removedHeight > 0) {
        QTextDocument *document = console->document();
        document->documentLayout()->blockBoundingRect(document->lastBlock());
    }
    bar->setValue(value - removedHeight);
}

void ConsoleView::insertPlain(const QString &part)
{
    editKeepingView([&] {
        console->moveCursor(QTextCursor::End);
        for (const Stretch &stretch : ShapingStretches(part)) {
            // Plain text after styled text must not take on its style, nor unshaped text the
            // shaping of the text before it.
            if (styled || stretch.shaping || shaped) {
                QTextCharFormat format;
                if (stretch.shaping)
                    format.setFontStyleStrategy(QFont::PreferDefault);
                console->setCurrentCharFormat(format);
            }
            shaped = stretch.shaping;
            const QString &text = stretch.text;
            for (int from = 0; from < text.size();) {
                const int end = ConsolePieceEnd(text, from);
                console->insertPlainText(text.mid(from, end - from));
                from = end;
            }
        }
        console->moveCursor(QTextCursor::End);
    });
}

void ConsoleView::insertRuns(const QVector<AnsiRun> &runs, bool replace)
{
    const auto insert = [&] {
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
        shaped = false;
        console->moveCursor(QTextCursor::End);
    };
    // Replacing everything keeps no place to return to.
    if (replace)
        insert();
    else
        editKeepingView(insert);
}

void ConsoleView::showPlain(const QString &text)
{
    styled = false;
    shaped = false;
    if (NeedsShaping(text)) {
        console->clear();
        insertPlain(text);
        return;
    }
    console->setPlainText(text);
    console->moveCursor(QTextCursor::End);
}

void ConsoleView::clear()
{
    console->clear();
    styled = false;
    shaped = false;
}

int ConsoleView::length() const
{
    return console->document()->characterCount() - 1;
}

QString ConsoleView::textFrom(int position) const
{
    QTextCursor cursor(console->document());
    cursor.setPosition(position);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    return cursor.selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

int ConsoleView::dropFront(int count, bool toLineStart)
{
    count = qMin(count, length());
    QTextDocument *document = console->document();
    if (toLineStart) {
        // Through the end of the line `count` falls in, unless that leaves the console empty.
        const QTextBlock next = document->findBlock(count).next();
        if (next.isValid() && (next.next().isValid() || next.length() > 1))
            count = next.position();
    }
    if (count <= 0)
        return 0;
    // The lines above the view go, and the view moves up by their height: measured before,
    // where they are laid out already.
    QAbstractTextDocumentLayout *layout = document->documentLayout();
    const int removedHeight =
        paused ? int(layout->blockBoundingRect(document->findBlock(count)).top() -
                     layout->blockBoundingRect(document->firstBlock()).top())
               : 0;
    editKeepingView(
        [&] {
            QTextCursor cursor(document);
            cursor.beginEditBlock();
            cursor.setPosition(count, QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
            cursor.endEditBlock();
        },
        removedHeight);
    return count;
}
