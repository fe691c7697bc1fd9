#include "serial/consolemodel.h"

#include "serial/console.h"
#include "serial/trace.h"

ConsoleModel::ConsoleModel(QTextBrowser *console, QString &textBuffer, QString &hexBuffer,
                           QObject *parent)
    : QObject(parent), view(console), textBuffer(textBuffer), hexBuffer(hexBuffer)
{
    textBuffer.clear();
    hexBuffer.clear();
}

void ConsoleModel::showChunk(const QByteArray &data, bool received, const ConsoleOptions &options,
                             const QDateTime &now)
{
    const bool startAfresh =
        textBuffer.size() > TextBufferLimit || hexBuffer.size() > HexBufferLimit;
    if (startAfresh) {
        textBuffer.clear();
        hexBuffer.clear();
        styles.clear();
    }
    const QString stamp = FormatStamp(now, options.tagged, received);

    const QString hex = ByteArrayToHexString(data);
    if (options.timestamps)
        qCDebug(DataTrace).noquote() << hex << "len:" << hex.size();
    else
        qCDebug(DataTrace).noquote() << hex;
    // Only the received stream carries a cut-off character over; an echo always stands alone.
    QString text = received ? carry.take(data) : TextRendition(data);
    if (received && !options.colours) {
        // Colours were turned off: the start of a sequence held back is text after all, and
        // the colour starts anew when they are turned on again.
        text.prepend(colours.takeHeld());
        colours.reset();
    }
    const ConsoleParts parts =
        RenderChunk(text, hex, textBuffer, hexBuffer, stamp, options.timestamps);
    hexBuffer.append(parts.hex);
    const int textBefore = textBuffer.size();
    appendText(parts.text, received, startAfresh, options);
    if (options.hexView)
        showPart(parts.hex, startAfresh);
    emit chunkShown(data.size(),
                    options.hexView ? parts.hex.size() : textBuffer.size() - textBefore);
}

void ConsoleModel::flushHeld(const ConsoleOptions &options, const QDateTime &now)
{
    // The start of an escape sequence is text now, and the device's colour ends with the session.
    const QString held = colours.takeHeld() + carry.flush();
    colours.reset();
    if (held.isEmpty())
        return;
    // The hex rendition showed these bytes when they came; the text has them still to show.
    const QString stamp = FormatStamp(now, options.tagged, true);
    appendText(RenderChunk(held, QString(), textBuffer, hexBuffer, stamp, options.timestamps).text,
               false, false, options);
}

void ConsoleModel::appendText(const QString &text, bool stream, bool startAfresh,
                              const ConsoleOptions &options)
{
    const bool shown = !options.hexView;
    if (!options.colours) {
        textBuffer.append(text);
        if (shown)
            showPart(text, startAfresh);
        return;
    }
    // Colours come off the stamped text: an escape holds no LF, so the stamps stand where they
    // would without it. Text that stands alone (an echo, what is left at a close) shows a
    // sequence it leaves open as text.
    AnsiRenderer alone;
    AnsiRenderer &renderer = stream ? colours : alone;
    QVector<AnsiRun> runs = renderer.take(text);
    if (!stream)
        runs.append({alone.takeHeld(), alone.style()});
    const QString plain = appendStyled(runs);
    if (!shown)
        return;
    view.insertRuns(runs, startAfresh);
    emit partShown(plain);
}

void ConsoleModel::showPart(const QString &part, bool startAfresh)
{
    view.insertPlain(part, startAfresh);
    emit partShown(part);
}

QString ConsoleModel::appendStyled(const QVector<AnsiRun> &runs)
{
    QString text;
    for (const AnsiRun &run : runs) {
        const int from = textBuffer.size() + text.size();
        text += run.text;
        if (run.style.isPlain())
            continue;
        if (!styles.isEmpty() && styles.last().to == from && styles.last().style == run.style)
            styles.last().to += run.text.size();
        else
            styles.append({from, from + int(run.text.size()), run.style});
    }
    textBuffer += text;
    return text;
}

QVector<AnsiRun> ConsoleModel::styledText() const
{
    QVector<AnsiRun> runs;
    int at = 0;
    for (const StyledSpan &span : styles) {
        if (span.from > at)
            runs.append({textBuffer.mid(at, span.from - at), AnsiStyle()});
        runs.append({textBuffer.mid(span.from, span.to - span.from), span.style});
        at = span.to;
    }
    runs.append({textBuffer.mid(at), AnsiStyle()});
    return runs;
}

void ConsoleModel::switchView(bool hex)
{
    if (hex || styles.isEmpty())
        view.showPlain(hex ? hexBuffer : textBuffer);
    else
        view.insertRuns(styledText(), true);
}

void ConsoleModel::clear()
{
    view.clear();
    textBuffer.clear();
    hexBuffer.clear();
    styles.clear();
    // Nothing is left on screen for the continuation of a held sequence to join.
    carry.reset();
    colours.reset();
}
