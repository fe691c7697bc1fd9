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
    const ConsoleParts rendered =
        RenderChunk(text, hex, textBuffer, hexBuffer, stamp, options.timestamps);
    const int shownBefore = view.length();
    hexBuffer.append(rendered.hex);
    const int textBefore = textBuffer.size();
    appendText(rendered.text, received, options);
    if (options.hexView)
        showPart(rendered.hex);
    const int textAdded = textBuffer.size() - textBefore;
    notePart(textAdded, rendered.hex.size(), shownBefore);
    trim(options.hexView);
    emit chunkShown(data.size(), options.hexView ? rendered.hex.size() : textAdded);
}

void ConsoleModel::showNote(const QString &line, const ConsoleOptions &options,
                            const QDateTime &now)
{
    const QString stamp = options.timestamps ? FormatStamp(now, false, true) : QString();
    const bool textAtLineStart = textBuffer.isEmpty() || textBuffer.endsWith(QLatin1Char('\n'));
    const QString text = (textAtLineStart ? QString() : QStringLiteral("\r\n")) + stamp + line +
                         QStringLiteral("\r\n");
    const bool hexAtLineStart = hexBuffer.isEmpty() || hexBuffer.endsWith(QLatin1Char('\n'));
    const QString hex =
        (hexAtLineStart ? QString() : QStringLiteral("\n")) + stamp + line + QLatin1Char('\n');
    const int shownBefore = view.length();
    hexBuffer.append(hex);
    const int textBefore = textBuffer.size();
    appendText(text, false, options);
    if (options.hexView)
        showPart(hex);
    notePart(textBuffer.size() - textBefore, hex.size(), shownBefore);
    trim(options.hexView);
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
    const int shownBefore = view.length();
    const int textBefore = textBuffer.size();
    appendText(RenderChunk(held, QString(), textBuffer, hexBuffer, stamp, options.timestamps).text,
               false, options);
    notePart(textBuffer.size() - textBefore, 0, shownBefore);
    trim(options.hexView);
}

void ConsoleModel::appendText(const QString &text, bool stream, const ConsoleOptions &options)
{
    const bool shown = !options.hexView;
    if (!options.colours) {
        textBuffer.append(text);
        if (shown)
            showPart(text);
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
    view.insertRuns(runs, false);
    emit partShown(plain);
}

void ConsoleModel::showPart(const QString &part)
{
    view.insertPlain(part);
    emit partShown(part);
}

void ConsoleModel::notePart(int textLength, int hexLength, int shownBefore)
{
    parts.append({textLength, hexLength});
    shown.append(view.length() - shownBefore);
}

void ConsoleModel::trim(bool hexShown)
{
    const int count = PartsToDrop(parts, textBuffer.size(), hexBuffer.size());
    if (count == 0)
        return;
    int text = 0;
    int hex = 0;
    int onScreen = 0;
    for (int i = 0; i < count; ++i) {
        text += parts.at(i).text;
        hex += parts.at(i).hex;
        onScreen += shown.at(i);
    }
    text = qMin(text, textBuffer.size());
    hex = qMin(hex, hexBuffer.size());
    const QStringView rendition(hexShown ? hexBuffer : textBuffer);
    const int renditionDropped = hexShown ? hex : text;
    const bool cutLine =
        LineStartSkip(rendition.left(renditionDropped), rendition.mid(renditionDropped)) > 0;

    textBuffer.remove(0, text);
    hexBuffer.remove(0, hex);
    parts.remove(0, count);
    shown.remove(0, count);
    int spansGone = 0;
    while (spansGone < styles.size() && styles.at(spansGone).to <= text)
        ++spansGone;
    styles.remove(0, spansGone);
    for (StyledSpan &span : styles) {
        span.from = qMax(0, span.from - text);
        span.to -= text;
    }

    // The screen starts at the next line rather than in the middle of one; the buffers keep
    // the whole part for the other view.
    const int removed = view.dropFront(onScreen, cutLine);
    emit frontDropped(removed);
    for (int i = 0, lineStart = removed - onScreen; i < shown.size() && lineStart > 0; ++i) {
        const int taken = qMin(lineStart, shown.at(i));
        shown[i] -= taken;
        lineStart -= taken;
    }
}

void ConsoleModel::measureShown(bool hexShown)
{
    // Built in one go, the console makes one line break of every CR LF, also of one whose CR
    // ended a part.
    const QString &rendition = hexShown ? hexBuffer : textBuffer;
    int at = 0;
    for (int i = 0; i < parts.size(); ++i) {
        const int length =
            qMin(hexShown ? parts.at(i).hex : parts.at(i).text, rendition.size() - at);
        const QStringView part = QStringView(rendition).mid(at, length);
        int onScreen = length;
        for (int c = 1; c < part.size(); ++c)
            onScreen -= part.at(c - 1) == QLatin1Char('\r') && part.at(c) == QLatin1Char('\n');
        if (at > 0 && part.startsWith(QLatin1Char('\n')) &&
            rendition.at(at - 1) == QLatin1Char('\r'))
            --onScreen;
        shown[i] = onScreen;
        at += length;
    }
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
    measureShown(hex);
    emit replaced();
}

void ConsoleModel::clear()
{
    view.clear();
    textBuffer.clear();
    hexBuffer.clear();
    styles.clear();
    parts.clear();
    shown.clear();
    // Nothing is left on screen for the continuation of a held sequence to join.
    carry.reset();
    colours.reset();
    emit replaced();
}
