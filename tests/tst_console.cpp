#include "serial/ansi.h"
#include "serial/burst.h"
#include "serial/console.h"
#include "serial/hexcodec.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {

const QString sampleStamp = QStringLiteral("[12-07 14:03:27:045]");

const QString esc = QStringLiteral("\x1b");

// A colour as the tables write it: pN for basic colour N, otherwise #rrggbb.
QString colourName(QRgb rgb, bool background)
{
    for (int i = 0; i < 16; ++i) {
        const QRgb basic = AnsiPaletteColour(i);
        if (rgb == (background ? AnsiBackground(basic) : basic))
            return QStringLiteral("p%1").arg(i);
    }
    return QStringLiteral("#%1").arg(rgb & 0xFFFFFF, 6, 16, QLatin1Char('0'));
}

// Runs as the tables write them: each run's style in brackets ("[fg=p1 b]"), then its text.
QString asTable(const QVector<AnsiRun> &runs)
{
    QString out;
    for (const AnsiRun &run : runs) {
        QStringList style;
        if (run.style.foreground)
            style << QStringLiteral("fg=") + colourName(run.style.foreground, false);
        if (run.style.background)
            style << QStringLiteral("bg=") + colourName(run.style.background, true);
        if (run.style.bold)
            style << QStringLiteral("b");
        if (run.style.italic)
            style << QStringLiteral("i");
        if (run.style.underline)
            style << QStringLiteral("u");
        out += QLatin1Char('[') + style.join(QLatin1Char(' ')) + QLatin1Char(']') + run.text;
    }
    return out;
}

} // namespace

class ConsoleTest : public QObject
{
    Q_OBJECT

private slots:
    void stamps_data();
    void stamps();
    void rendering_data();
    void rendering();
    void hexLineBreaksMatchStepwiseReplacement();
    void pieces_data();
    void pieces();
    void readDelay_data();
    void readDelay();
    void ansi_data();
    void ansi();
    void coloursReadableOnWhite();
};

void ConsoleTest::stamps_data()
{
    QTest::addColumn<bool>("tagged");
    QTest::addColumn<bool>("received");
    QTest::addColumn<QString>("stamp");
    QTest::newRow("received, untagged") << false << true << "[12-07 14:03:27:045]";
    QTest::newRow("sent, untagged") << false << false << "[12-07 14:03:27:045]";
    QTest::newRow("received, tagged")
        << true << true << QStringLiteral("[12-07 14:03:27:045][接收]");
    QTest::newRow("sent, tagged") << true << false << QStringLiteral("[12-07 14:03:27:045][发送]");
}

void ConsoleTest::stamps()
{
    QFETCH(bool, tagged);
    QFETCH(bool, received);
    QFETCH(QString, stamp);
    const QDateTime when(QDate(2024, 12, 7), QTime(14, 3, 27, 45));
    QCOMPARE(FormatStamp(when, tagged, received), stamp);
    // Hours run 00-23 and months are two digits.
    QCOMPARE(FormatStamp(QDateTime(QDate(2025, 1, 2), QTime(23, 0, 0, 7)), false, true),
             QStringLiteral("[01-02 23:00:00:007]"));
}

void ConsoleTest::rendering_data()
{
    QTest::addColumn<QString>("textBuffer");
    QTest::addColumn<QString>("hexBuffer");
    QTest::addColumn<QByteArray>("chunk");
    QTest::addColumn<bool>("timestamps");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("hex");

    QTest::newRow("one line on an empty console")
        << ""
        << "" << QByteArray("OK\r\n") << true << sampleStamp + "OK\r\n"
        << sampleStamp + "4F 4B 0D 0A\n";
    QTest::newRow("empty line, then a line")
        << ""
        << "" << QByteArray("\r\nOK\r\n") << true << sampleStamp + "\r\n" + sampleStamp + "OK\r\n"
        << sampleStamp + "0D 0A\n\n" + sampleStamp + "4F 4B 0D 0A\n";
    QTest::newRow("first half of a line")
        << ""
        << "" << QByteArray("AB") << true << sampleStamp + "AB" << sampleStamp + "41 42";
    QTest::newRow("second half of a line")
        << sampleStamp + "AB" << sampleStamp + "41 42" << QByteArray("CD\r\n") << true << "CD\r\n"
        << " 43 44 0D 0A\n";
    QTest::newRow("after a complete line")
        << sampleStamp + "OK\r\n"
        << sampleStamp + "4F 4B 0D 0A\n"
        << QByteArray("X") << true << sampleStamp + "X" << sampleStamp + "58";
    // Lines end only at LF.
    QTest::newRow("CR-ended lines")
        << ""
        << "" << QByteArray("L1\rL2\r") << true << sampleStamp + "L1\rL2\r"
        << sampleStamp + "4C 31 0D 4C 32 0D";
    QTest::newRow("after a CR") << sampleStamp + "L1\r" << sampleStamp + "4C 31 0D"
                                << QByteArray("L2\r") << true << "L2\r"
                                << " 4C 32 0D";
    QTest::newRow("bare LFs") << ""
                              << "" << QByteArray("\n\n") << true
                              << sampleStamp + "\n" + sampleStamp + "\n"
                              << sampleStamp + "0A\n\n" + sampleStamp + "0A\n";
    QTest::newRow("no stamps, joined") << "AB"
                                       << "41 42" << QByteArray("CD") << false << "CD"
                                       << " 43 44";
    QTest::newRow("no stamps, after LF") << "A\n"
                                         << "41 0A\n"
                                         << QByteArray("B") << false << "B"
                                         << "42";
    QTest::newRow("no stamps, LF inside") << ""
                                          << "" << QByteArray("A\nB") << false << "A\nB"
                                          << "41 0A\n\n42";
    // "0A" is only ever the byte LF, never digits of neighbouring pairs.
    QTest::newRow("A0 and AA around LF")
        << ""
        << "" << QByteArray("\xA0\n\xAA") << false << "\uFFFD\n\uFFFD"
        << "A0 0A\n\nAA";
    QTest::newRow("NUL") << ""
                         << "" << QByteArray(1, '\0') << false << "\\0"
                         << "00";
    QTest::newRow("markup kept as text") << ""
                                         << "" << QByteArray("<b>x</b>") << false << "<b>x</b>"
                                         << "3C 62 3E 78 3C 2F 62 3E";
    // An empty echo adds at most a stamp, or the joining space in hex.
    QTest::newRow("nothing, line start")
        << ""
        << "" << QByteArray() << true << sampleStamp << sampleStamp;
    QTest::newRow("nothing, mid-line")
        << sampleStamp + "AB" << sampleStamp + "41 42" << QByteArray() << true << ""
        << " ";
    QTest::newRow("nothing, no stamps") << ""
                                        << "" << QByteArray() << false << ""
                                        << "";
}

void ConsoleTest::rendering()
{
    QFETCH(QString, textBuffer);
    QFETCH(QString, hexBuffer);
    QFETCH(QByteArray, chunk);
    QFETCH(bool, timestamps);
    QFETCH(QString, text);
    QFETCH(QString, hex);
    const ConsoleParts parts = RenderChunk(TextRendition(chunk), ByteArrayToHexString(chunk),
                                           textBuffer, hexBuffer, sampleStamp, timestamps);
    QCOMPARE(parts.text, text);
    QCOMPARE(parts.hex, hex);
}

void ConsoleTest::hexLineBreaksMatchStepwiseReplacement()
{
    // The renderer makes the line breaks in one pass; it must agree with the plain rule:
    // "0A " becomes "0A", LF and the stamp, then every "0A" becomes "0A" and LF.
    QRandomGenerator random(20240607);
    const QByteArray alphabet("\n\n\n\r\xA0\xAA\x0B\xA1"
                              "0A a");
    for (int round = 0; round < 2000; ++round) {
        QByteArray chunk;
        const int size = int(random.bounded(12));
        for (int i = 0; i < size; ++i)
            chunk.append(alphabet.at(int(random.bounded(alphabet.size()))));
        for (bool timestamps : {false, true}) {
            QString expected = ByteArrayToHexString(chunk);
            expected.replace(QStringLiteral("0A "),
                             QStringLiteral("0A\n") + (timestamps ? sampleStamp : ""));
            expected.replace(QStringLiteral("0A"), QStringLiteral("0A\n"));
            expected.prepend(timestamps ? sampleStamp : QString());
            const ConsoleParts parts =
                RenderChunk(TextRendition(chunk), ByteArrayToHexString(chunk), QString(), QString(),
                            sampleStamp, timestamps);
            QCOMPARE(parts.hex, expected);

            QString text = TextRendition(chunk);
            if (timestamps) {
                const bool endsWithLf = text.endsWith(QLatin1Char('\n'));
                text.replace(QStringLiteral("\n"), QStringLiteral("\n") + sampleStamp);
                if (endsWithLf)
                    text.chop(sampleStamp.size());
                text.prepend(sampleStamp);
            }
            QCOMPARE(parts.text, text);
        }
    }
}

void ConsoleTest::pieces_data()
{
    QTest::addColumn<QString>("part");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("pieceChars");
    QTest::addColumn<int>("end");
    QTest::newRow("fits") << "ab\ncd" << 0 << 8 << 5;
    QTest::newRow("rest fits") << "ab\ncdef" << 3 << 5 << 7;
    QTest::newRow("after the last LF") << "ab\ncd\nefgh" << 0 << 7 << 6;
    QTest::newRow("LF is the last char") << "abc\ndefg" << 0 << 4 << 4;
    QTest::newRow("no LF: at the limit") << "abcdefgh" << 2 << 4 << 6;
    QTest::newRow("CR LF kept together") << "abc\r\ndef" << 0 << 4 << 3;
    QTest::newRow("surrogate pair kept") << QStringLiteral("ab\U0001F600cd") << 0 << 3 << 2;
    QTest::newRow("LF beyond the limit ignored") << "abcd\nef" << 0 << 4 << 4;
}

void ConsoleTest::pieces()
{
    QFETCH(QString, part);
    QFETCH(int, from);
    QFETCH(int, pieceChars);
    QFETCH(int, end);
    QCOMPARE(ConsolePieceEnd(part, from, pieceChars), end);
}

void ConsoleTest::readDelay_data()
{
    QTest::addColumn<qint64>("since");
    QTest::addColumn<qint64>("sinceLast");
    QTest::addColumn<int>("delay");
    QTest::newRow("first byte") << qint64(0) << qint64(0) << 10;
    QTest::newRow("early in the burst") << qint64(50) << qint64(0) << 10;
    QTest::newRow("exactly 10 left") << qint64(90) << qint64(0) << 10;
    QTest::newRow("3 left") << qint64(97) << qint64(0) << 3;
    QTest::newRow("at the latest") << qint64(100) << qint64(0) << 0;
    QTest::newRow("overdue") << qint64(250) << qint64(0) << 0;
    // The timer fires while bytes still come: it waits out the rest of the quiet time only.
    QTest::newRow("last byte 4 ms ago") << qint64(30) << qint64(4) << 6;
    QTest::newRow("quiet long enough") << qint64(30) << qint64(10) << 0;
    QTest::newRow("quiet, and past the latest") << qint64(120) << qint64(15) << 0;
    QTest::newRow("still coming, 2 left") << qint64(98) << qint64(1) << 2;
}

void ConsoleTest::readDelay()
{
    QFETCH(qint64, since);
    QFETCH(qint64, sinceLast);
    QFETCH(int, delay);
    QCOMPARE(NextReadDelay(since, sinceLast), delay);
}

void ConsoleTest::ansi_data()
{
    QTest::addColumn<QStringList>("chunks");
    QTest::addColumn<QString>("runs");
    QTest::addColumn<QString>("held");

    const QString digits61 = QString(60, QLatin1Char('0')) + QLatin1Char('1');
    QTest::newRow("no escapes") << QStringList{"abc"} << "[]abc"
                                << "";
    QTest::newRow("log line") << QStringList{esc + "[0;32mI (318) cpu_start: up" + esc + "[0m\r\n"}
                              << "[fg=p2]I (318) cpu_start: up[]\r\n"
                              << "";
    QTest::newRow("empty SGR resets") << QStringList{esc + "[31mA" + esc + "[mB"} << "[fg=p1]A[]B"
                                      << "";
    QTest::newRow("bold, normal intensity")
        << QStringList{esc + "[1mA" + esc + "[22mB"} << "[b]A[]B"
        << "";
    QTest::newRow("italic, underline")
        << QStringList{esc + "[3;4mA" + esc + "[23;24mB" + esc + "[4:3mC" + esc + "[4:0mD"}
        << "[i u]A[]B[u]C[]D"
        << "";
    QTest::newRow("bright colours") << QStringList{esc + "[93;104mX"} << "[fg=p11 bg=p12]X"
                                    << "";
    QTest::newRow("default colours")
        << QStringList{esc + "[31;42mA" + esc + "[39mB" + esc + "[49mC"}
        << "[fg=p1 bg=p2]A[bg=p2]B[]C"
        << "";
    QTest::newRow("256 colours") << QStringList{esc + "[38;5;196mA" + esc + "[48;5;4mB" + esc +
                                                "[38:5:9mC"}
                                 << "[fg=" + colourName(AnsiPaletteColour(196), false) +
                                        "]A[fg=" + colourName(AnsiPaletteColour(196), false) +
                                        " bg=p4]B[fg=p9 bg=p4]C"
                                 << "";
    QTest::newRow("24-bit") << QStringList{esc + "[38;2;10;20;30mA" + esc + "[38:2::10:20:31mB" +
                                           esc + "[48;2;0;0;0mC"}
                            << "[fg=#0a141e]A[fg=#0a141f]B[fg=#0a141f bg=p0]C"
                            << "";
    QTest::newRow("light 24-bit darkened")
        << QStringList{esc + "[38;2;255;255;0mA"}
        << "[fg=" + colourName(ReadableOnWhite(qRgb(255, 255, 0)), false) + "]A"
        << "";
    QTest::newRow("other CSI removed") << QStringList{"A" + esc + "[2KB" + esc + "[1;1HC" + esc +
                                                      "[?25lD" + esc + "[2J" + esc + "[>4;1mE"}
                                       << "[]ABCDE"
                                       << "";
    QTest::newRow("ESC without [ is text") << QStringList{"A" + esc + "(B" + esc + esc + "[31mC"}
                                           << "[]A" + esc + "(B" + esc + "[fg=p1]C"
                                           << "";
    QTest::newRow("control inside a sequence")
        << QStringList{esc + "[3\n1mA"} << "[]" + esc + "[3\n1mA"
        << "";
    QTest::newRow("malformed parameters")
        << QStringList{esc + "[31;;;;1mA" + esc + "[38;5mB" + esc + "[38;5;300mC" + esc +
                       "[38;2;1;2mD" + esc + "[99999999999999999999mF" + esc + "[34;38;2;256;0;0mG"}
        << "[b]ABCDF[fg=p4 b]G"
        << "";
    QTest::newRow("invalid UTF-8 in a coloured run")
        << QStringList{TextRendition("\x1b[31m\xff\xc0x\x1b[0m")} << "[fg=p1]\uFFFD\uFFFDx"
        << "";
    // Cut anywhere, a sequence is held and completed by the next chunk.
    QTest::newRow("cut after ESC") << QStringList{"A" + esc, "[32mB"} << "[]A[fg=p2]B"
                                   << "";
    QTest::newRow("cut in the parameters")
        << QStringList{esc + "[3", "1;", "1", "mA"} << "[fg=p1 b]A"
        << "";
    QTest::newRow("ESC at the end held") << QStringList{"A" + esc} << "[]A" << esc;
    QTest::newRow("unterminated held") << QStringList{"A" + esc + "[12;"} << "[]A" << esc + "[12;";
    QTest::newRow("held, then not a sequence") << QStringList{"A" + esc, "B"} << "[]A" + esc + "B"
                                               << "";
    // 64 characters, ESC and "m" included, is the longest sequence.
    QTest::newRow("64 characters") << QStringList{esc + "[" + digits61 + "mA"} << "[b]A"
                                   << "";
    QTest::newRow("65 characters is text")
        << QStringList{esc + "[0" + digits61 + "mA"} << "[]" + esc + "[0" + digits61 + "mA"
        << "";
    QTest::newRow("10000 digits is text")
        << QStringList{esc + "[" + QString(5000, '1'), QString(5000, '2') + "mA"}
        << "[]" + esc + "[" + QString(5000, '1') + QString(5000, '2') + "mA"
        << "";
    QTest::newRow("63 held, 64th not final") << QStringList{esc + "[" + QString(61, '1'), "1mA"}
                                             << "[]" + esc + "[" + QString(62, '1') + "mA"
                                             << "";
}

void ConsoleTest::ansi()
{
    QFETCH(QStringList, chunks);
    QFETCH(QString, runs);
    QFETCH(QString, held);
    AnsiRenderer renderer;
    QVector<AnsiRun> all;
    for (const QString &chunk : chunks) {
        for (const AnsiRun &run : renderer.take(chunk)) {
            if (!all.isEmpty() && all.last().style == run.style)
                all.last().text += run.text;
            else
                all.append(run);
        }
    }
    QCOMPARE(asTable(all), runs);
    QCOMPARE(renderer.takeHeld(), held);
}

void ConsoleTest::coloursReadableOnWhite()
{
    for (int i = 0; i < 256; ++i)
        QVERIFY2(ContrastOnWhite(AnsiPaletteColour(i)) >= AnsiLeastContrast,
                 QByteArray::number(i).constData());
    for (QRgb light : {qRgb(255, 255, 255), qRgb(255, 255, 0), qRgb(0, 255, 255),
                       qRgb(170, 255, 170), qRgb(2, 255, 1)})
        QVERIFY(ContrastOnWhite(ReadableOnWhite(light)) >= AnsiLeastContrast);
    // Readable colours are left alone.
    QCOMPARE(ReadableOnWhite(qRgb(0xB3, 0x26, 0x1E)), qRgb(0xB3, 0x26, 0x1E));
    // Every basic colour stays readable on every basic background.
    for (int text = 0; text < 16; ++text) {
        for (int back = 0; back < 16; ++back) {
            const double ratio = (ContrastOnWhite(AnsiPaletteColour(text)) /
                                  ContrastOnWhite(AnsiBackground(AnsiPaletteColour(back))));
            QVERIFY2(ratio >= 1.5, qPrintable(QStringLiteral("%1 on %2").arg(text).arg(back)));
        }
    }
}

QTEST_APPLESS_MAIN(ConsoleTest)
#include "tst_console.moc"
