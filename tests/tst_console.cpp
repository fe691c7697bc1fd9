#include "serial/burst.h"
#include "serial/console.h"
#include "serial/hexcodec.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {

const QString sampleStamp = QStringLiteral("[12-07 14:03:27:045]");

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
    QTest::addColumn<int>("delay");
    QTest::newRow("first byte") << qint64(0) << 10;
    QTest::newRow("early in the burst") << qint64(50) << 10;
    QTest::newRow("exactly 10 left") << qint64(90) << 10;
    QTest::newRow("3 left") << qint64(97) << 3;
    QTest::newRow("at the latest") << qint64(100) << 0;
    QTest::newRow("overdue") << qint64(250) << 0;
}

void ConsoleTest::readDelay()
{
    QFETCH(qint64, since);
    QFETCH(int, delay);
    QCOMPARE(NextReadDelay(since), delay);
}

QTEST_APPLESS_MAIN(ConsoleTest)
#include "tst_console.moc"
