#include "serial/consoletrim.h"

#include <QtTest>

class ConsoleTrimTest : public QObject
{
    Q_OBJECT

private slots:
    void partsToDrop_data();
    void partsToDrop();
    void lineStartSkip_data();
    void lineStartSkip();
};

void ConsoleTrimTest::partsToDrop_data()
{
    // The text and hex lengths of each part, oldest first.
    QTest::addColumn<QVector<int>>("text");
    QTest::addColumn<QVector<int>>("hex");
    QTest::addColumn<int>("textLimit");
    QTest::addColumn<int>("hexLimit");
    QTest::addColumn<int>("dropped");
    QTest::newRow("at the limits")
        << QVector<int>{60, 40} << QVector<int>{150, 50} << 100 << 200 << 0;
    QTest::newRow("hex over") << QVector<int>{1, 1, 1} << QVector<int>{90, 60, 51} << 100 << 200
                              << 1;
    QTest::newRow("three quarters is enough")
        << QVector<int>{26, 49, 26} << QVector<int>{0, 0, 0} << 100 << 200 << 1;
    // The text settles after one part, the hex only after two.
    QTest::newRow("both settle") << QVector<int>{26, 1, 74} << QVector<int>{1, 60, 140} << 100
                                 << 200 << 2;
    QTest::newRow("many small parts")
        << QVector<int>(11, 10) << QVector<int>(11, 30) << 100 << 400 << 4;
    QTest::newRow("newest part kept")
        << QVector<int>{10, 200} << QVector<int>{10, 10} << 100 << 200 << 1;
    QTest::newRow("console limits") << QVector<int>{25601, 76800} << QVector<int>{51201, 153600}
                                    << TextBufferLimit << HexBufferLimit << 1;
}

void ConsoleTrimTest::partsToDrop()
{
    QFETCH(QVector<int>, text);
    QFETCH(QVector<int>, hex);
    QFETCH(int, textLimit);
    QFETCH(int, hexLimit);
    QFETCH(int, dropped);
    QVector<PartLengths> parts;
    int textLength = 0;
    int hexLength = 0;
    for (int i = 0; i < text.size(); ++i) {
        parts.append({text.at(i), hex.at(i)});
        textLength += text.at(i);
        hexLength += hex.at(i);
    }
    QCOMPARE(PartsToDrop(parts, textLength, hexLength, textLimit, hexLimit), dropped);
}

void ConsoleTrimTest::lineStartSkip_data()
{
    QTest::addColumn<QString>("dropped");
    QTest::addColumn<int>("skip");
    QTest::addColumn<QString>("remaining");
    QTest::newRow("dropped a whole line") << "a\n" << 0 << "b\nc";
    QTest::newRow("dropped mid-line") << "ab" << 3 << "cd\nef";
    QTest::newRow("CR LF cut apart") << "ab\r" << 1 << "\nef";
    QTest::newRow("no line end follows") << "ab" << 0 << "cd\ref";
    QTest::newRow("only the last line end") << "ab" << 0 << "cd\n";
    QTest::newRow("nothing dropped") << "" << 0 << "cd\nef";
}

void ConsoleTrimTest::lineStartSkip()
{
    QFETCH(QString, dropped);
    QFETCH(int, skip);
    QFETCH(QString, remaining);
    QCOMPARE(LineStartSkip(dropped, remaining), skip);
}

QTEST_APPLESS_MAIN(ConsoleTrimTest)
#include "tst_consoletrim.moc"
