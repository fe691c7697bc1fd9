#include "app/widget.h"

#include "app/form/ui_widget.h"
#include "app/globals.h"
#include "config/globalsettings.h"
#include "serial/ansi.h"
#include "serial/burst.h"
#include "serial/console.h"
#include "serial/hexcodec.h"
#include "serial/trace.h"

#include <QAction>
#include <QElapsedTimer>
#include <QSerialPort>
#include <QSettings>
#include <QTextBrowser>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTimer>

namespace {

Utf8Carry receiveCarry;
AnsiRenderer receiveColours;
// Runs from the first data-arrived signal after a read, i.e. from the burst's first unread byte.
QElapsedTimer burstClock;

// The styled stretches of textDisplayBuffer, in order, so that the text view comes back in colour
// after the hex view.
struct StyledSpan
{
    int from;
    int to;
    AnsiStyle style;
};
QVector<StyledSpan> textStyles;
// The console shows styled text: plain text inserted after it must not take on its style.
bool consoleStyled = false;

QTextCharFormat CharFormat(const AnsiStyle &style)
{
    QTextCharFormat format;
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

// Inserts styled runs at the end of the console, or with `replace` in place of all it holds, long
// ones in pieces as plain text goes in. Line breaks that start a run go in with the run before: a
// CR and its LF apart would make two line breaks, and a CR styled apart from its line is one more
// piece for the toolkit to lay out (a log line typically resets its colour just before its CR LF).
void InsertRuns(QTextDocument *console, const QVector<AnsiRun> &runs, bool replace)
{
    QVector<AnsiRun> joined;
    joined.reserve(runs.size());
    for (const AnsiRun &run : runs) {
        int breaks = 0;
        while (breaks < run.text.size() && IsLineBreak(run.text.at(breaks)))
            ++breaks;
        if (breaks > 0 && !joined.isEmpty())
            joined.last().text.append(run.text.leftRef(breaks));
        else
            breaks = 0;
        if (breaks < run.text.size())
            joined.append({run.text.mid(breaks), run.style});
    }

    QTextCursor cursor(console);
    cursor.movePosition(QTextCursor::End);
    if (replace)
        cursor.movePosition(QTextCursor::Start, QTextCursor::KeepAnchor);
    // Runs go in as edits of about a piece's length: run by run the toolkit would lay the line out
    // again at each, and one edit as long as the whole chunk is laid out slower than pieces are.
    cursor.beginEditBlock();
    int inBlock = 0;
    for (const AnsiRun &run : joined) {
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

// The runs of textDisplayBuffer with the styles it was shown in.
QVector<AnsiRun> StyledTextBuffer()
{
    QVector<AnsiRun> runs;
    int at = 0;
    for (const StyledSpan &span : textStyles) {
        if (span.from > at)
            runs.append({textDisplayBuffer.mid(at, span.from - at), AnsiStyle()});
        runs.append({textDisplayBuffer.mid(span.from, span.to - span.from), span.style});
        at = span.to;
    }
    runs.append({textDisplayBuffer.mid(at), AnsiStyle()});
    return runs;
}

// Appends the runs' text to textDisplayBuffer and notes their styles; returns the text.
QString AppendStyled(const QVector<AnsiRun> &runs)
{
    QString text;
    for (const AnsiRun &run : runs) {
        const int from = textDisplayBuffer.size() + text.size();
        text += run.text;
        if (run.style.isPlain())
            continue;
        if (!textStyles.isEmpty() && textStyles.last().to == from &&
            textStyles.last().style == run.style)
            textStyles.last().to += run.text.size();
        else
            textStyles.append({from, from + run.text.size(), run.style});
    }
    textDisplayBuffer += text;
    return text;
}

void ClearConsoleStyles()
{
    textStyles.clear();
    consoleStyled = false;
}

} // namespace

void Widget::_KESTO_UartRecvIRQ_Handler()
{
    if (!readTimer->isActive())
        burstClock.start();
    const int delay = NextReadDelay(burstClock.elapsed());
    readTimer->stop();
    // Once the burst is due, read right here: a device that never pauses keeps the event loop
    // busy with its data, and the bound must not depend on when a timer gets its turn.
    if (delay == 0) {
        _KESTO_ReadSerialData();
        return;
    }
    readTimer->start(delay);
}

void Widget::_KESTO_ReadSerialData()
{
    if (!serialPort)
        return;
    ShowData(serialPort->readAll(), true);
}

void Widget::ShowData(QByteArray data, bool received)
{
    const bool startAfresh =
        textDisplayBuffer.size() > TextBufferLimit || hexDisplayBuffer.size() > HexBufferLimit;
    if (startAfresh) {
        textDisplayBuffer.clear();
        hexDisplayBuffer.clear();
        textStyles.clear();
    }
    const bool timestamps = ui->checkBox_Timestamp->isChecked();
    const QString stamp = FormatStamp(QDateTime::currentDateTime(),
                                      ui->checkBox_sendlog_record->isChecked(), received);

    const QString hex = ByteArrayToHexString(data);
    if (timestamps)
        qCDebug(DataTrace).noquote() << hex << "len:" << hex.size();
    else
        qCDebug(DataTrace).noquote() << hex;
    // Only the received stream carries a cut-off character over; an echo always stands alone.
    QString text = received ? receiveCarry.take(data) : TextRendition(data);
    if (received && !ansiColoursAction->isChecked()) {
        // Colours were turned off: the start of a sequence held back is text after all, and
        // the colour starts anew when they are turned on again.
        text.prepend(receiveColours.takeHeld());
        receiveColours.reset();
    }
    const ConsoleParts parts =
        RenderChunk(text, hex, textDisplayBuffer, hexDisplayBuffer, stamp, timestamps);
    hexDisplayBuffer.append(parts.hex);
    AppendText(parts.text, received, startAfresh);
    if (ui->checkBox_ShowHex->isChecked())
        ShowPart(parts.hex, startAfresh);
}

void Widget::FlushReceived()
{
    if (serialPort->bytesAvailable() > 0)
        ShowData(serialPort->readAll(), true);
    // The start of an escape sequence is text now, and the device's colour ends with the session.
    const QString held = receiveColours.takeHeld() + receiveCarry.flush();
    receiveColours.reset();
    if (held.isEmpty())
        return;
    // The hex rendition showed these bytes when they came; the text has them still to show.
    const QString stamp =
        FormatStamp(QDateTime::currentDateTime(), ui->checkBox_sendlog_record->isChecked(), true);
    AppendText(RenderChunk(held, QString(), textDisplayBuffer, hexDisplayBuffer, stamp,
                           ui->checkBox_Timestamp->isChecked())
                   .text,
               false, false);
}

void Widget::AppendText(const QString &text, bool stream, bool startAfresh)
{
    const bool shown = !ui->checkBox_ShowHex->isChecked();
    if (!ansiColoursAction->isChecked()) {
        textDisplayBuffer.append(text);
        if (shown)
            ShowPart(text, startAfresh);
        return;
    }
    // Colours come off the stamped text: an escape holds no LF, so the stamps stand where they
    // would without it. Text that stands alone (an echo, what is left at a close) shows a
    // sequence it leaves open as text.
    AnsiRenderer alone;
    AnsiRenderer &renderer = stream ? receiveColours : alone;
    QVector<AnsiRun> runs = renderer.take(text);
    if (!stream)
        runs.append({alone.takeHeld(), alone.style()});
    const QString plain = AppendStyled(runs);
    if (!shown)
        return;
    ui->textBrowser->moveCursor(QTextCursor::End);
    if (startAfresh && plain.isEmpty())
        ui->textBrowser->clear();
    else
        InsertRuns(ui->textBrowser->document(), runs, startAfresh);
    consoleStyled = true;
    if (logRecording)
        LogWrite(plain);
    ui->textBrowser->moveCursor(QTextCursor::End);
}

void Widget::ShowPart(const QString &part, bool startAfresh)
{
    ui->textBrowser->moveCursor(QTextCursor::End);
    // A console past its limit gets the new part in place of its content, in one edit. Cleared
    // first, it would hide its scroll bar, show it again for the new text and lay that text out
    // a second time at the narrower width. Styled content is cleared all the same: text put in
    // its place would take on its style.
    if (startAfresh && (part.isEmpty() || consoleStyled)) {
        ui->textBrowser->clear();
        consoleStyled = false;
    } else if (startAfresh) {
        ui->textBrowser->selectAll();
    }
    // Plain text after styled text must not take on its style.
    if (consoleStyled)
        ui->textBrowser->setCurrentCharFormat(QTextCharFormat());
    for (int from = 0; from < part.size();) {
        const int end = ConsolePieceEnd(part, from);
        ui->textBrowser->insertPlainText(part.mid(from, end - from));
        from = end;
    }
    if (logRecording)
        LogWrite(part);
    ui->textBrowser->moveCursor(QTextCursor::End);
}

void Widget::on_checkBox_ShowHex_stateChanged(int)
{
    StoreSetting(ui->checkBox_ShowHex);
}

void Widget::on_checkBox_Timestamp_stateChanged(int)
{
    StoreSetting(ui->checkBox_Timestamp);
}

void Widget::on_checkBox_ShowHex_clicked(bool checked)
{
    consoleStyled = false;
    if (checked || textStyles.isEmpty()) {
        ui->textBrowser->setPlainText(checked ? hexDisplayBuffer : textDisplayBuffer);
    } else {
        InsertRuns(ui->textBrowser->document(), StyledTextBuffer(), true);
        consoleStyled = true;
    }
    ui->textBrowser->moveCursor(QTextCursor::End);
}

void Widget::on_pushButton_clear_screen_clicked()
{
    ui->textBrowser->clear();
    textDisplayBuffer.clear();
    hexDisplayBuffer.clear();
    ClearConsoleStyles();
    // Nothing is left on screen for the continuation of a held sequence to join.
    receiveCarry.reset();
    receiveColours.reset();
}
