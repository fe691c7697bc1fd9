#include "serial/find.h"

#include <QtTest>

class FindTest : public QObject
{
    Q_OBJECT

private slots:
    void matches_data();
    void matches();
    void longNeedle();
    void chunks_data();
    void chunks();
    void dropFront_data();
    void dropFront();
    void wrap_data();
    void wrap();
    void currentStaysWhileTextArrives();
};

void FindTest::matches_data()
{
    QTest::addColumn<QString>("needle");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<QString>("haystack");
    QTest::addColumn<QVector<int>>("positions");
    QTest::newRow("lines") << "OK" << true << "OK\r\nOK\r\n" << QVector<int>{0, 4};
    QTest::newRow("no overlap") << "aa" << true << "aaaaa" << QVector<int>{0, 2};
    QTest::newRow("case kept") << "error" << true << "Error error ERROR" << QVector<int>{6};
    QTest::newRow("case ignored") << "error" << false << "Error error ERROR"
                                  << QVector<int>{0, 6, 12};
    QTest::newRow("case ignored, not Latin")
        << QStringLiteral("ÄRGER") << false << QStringLiteral("Ärger ärger") << QVector<int>{0, 6};
    // A literal text, not a pattern.
    QTest::newRow("pattern characters") << ".*[\\" << true << "a.*[\\b.*[\\x" << QVector<int>{1, 6};
    QTest::newRow("empty needle") << "" << true << "abc" << QVector<int>();
    // After a mismatch the search resumes from the border of what matched, not from scratch.
    QTest::newRow("border of a run") << "aaab" << true << "aaaab" << QVector<int>{1};
}

void FindTest::matches()
{
    QFETCH(QString, needle);
    QFETCH(bool, matchCase);
    QFETCH(QString, haystack);
    QFETCH(QVector<int>, positions);
    QCOMPARE(FindMatches(haystack, needle, matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive),
             positions);
}

void FindTest::longNeedle()
{
    const QString needle(10000, QLatin1Char('x'));
    const QString haystack = needle + QLatin1Char('y') + QString(15000, QLatin1Char('x'));
    QCOMPARE(FindMatches(haystack, needle, Qt::CaseSensitive), (QVector<int>{0, 10001}));
}

void FindTest::chunks_data()
{
    QTest::addColumn<QStringList>("chunks");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<QVector<int>>("positions");
    QTest::newRow("straddles") << QStringList{"xO", "Ky"} << "OK" << QVector<int>{1};
    QTest::newRow("after a match") << QStringList{"aa", "aa"} << "aa" << QVector<int>{0, 2};
    QTest::newRow("not twice") << QStringList{"a", "aa"} << "aa" << QVector<int>{0};
    QTest::newRow("mismatch at the join")
        << QStringList{"abab", "abc"} << "ababc" << QVector<int>{2};
}

void FindTest::chunks()
{
    QFETCH(QStringList, chunks);
    QFETCH(QString, needle);
    QFETCH(QVector<int>, positions);
    TextFinder finder;
    finder.setNeedle(needle, Qt::CaseSensitive);
    for (const QString &chunk : chunks)
        finder.append(chunk);
    QCOMPARE(finder.matches(), positions);
    QCOMPARE(finder.textLength(), chunks.join(QString()).size());
}

void FindTest::dropFront_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("dropped");
    QTest::addColumn<QString>("chunk");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<QVector<int>>("positions");
    QTest::newRow("shifts") << "OK OK OK" << 3 << ""
                            << "OK" << QVector<int>{0, 3};
    QTest::newRow("cut match gone") << "OK OK" << 1 << ""
                                    << "OK" << QVector<int>{2};
    QTest::newRow("partial match dropped") << "xab" << 2 << "c"
                                           << "abc" << QVector<int>();
    // "aba" matched so far; two characters go, and the "a" left still starts "abab".
    QTest::newRow("partial match shortened") << "xaba" << 2 << "bab"
                                             << "abab" << QVector<int>{1};
    QTest::newRow("all of it") << "OK" << 5 << "OK"
                               << "OK" << QVector<int>{0};
}

void FindTest::dropFront()
{
    QFETCH(QString, text);
    QFETCH(int, dropped);
    QFETCH(QString, chunk);
    QFETCH(QString, needle);
    QFETCH(QVector<int>, positions);
    TextFinder finder;
    finder.setNeedle(needle, Qt::CaseSensitive);
    finder.append(text);
    finder.dropFront(dropped);
    finder.append(chunk);
    QCOMPARE(finder.matches(), positions);
    QCOMPARE(finder.textLength(), qMax(0, text.size() - dropped) + chunk.size());
}

void FindTest::wrap_data()
{
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("next");
    QTest::addColumn<int>("previous");
    QTest::addColumn<QString>("countText");
    QTest::newRow("none") << -1 << 0 << -1 << -1 << "0/0";
    QTest::newRow("no current") << -1 << 17 << 0 << 16 << "0/17";
    QTest::newRow("third") << 2 << 17 << 3 << 1 << "3/17";
    QTest::newRow("last") << 16 << 17 << 0 << 15 << "17/17";
    QTest::newRow("only one") << 0 << 1 << 0 << 0 << "1/1";
}

void FindTest::wrap()
{
    QFETCH(int, current);
    QFETCH(int, count);
    QFETCH(int, next);
    QFETCH(int, previous);
    QFETCH(QString, countText);
    QCOMPARE(NextMatch(current, count), next);
    QCOMPARE(PreviousMatch(current, count), previous);
    QCOMPARE(FindCountText(current, count), countText);
}

void FindTest::currentStaysWhileTextArrives()
{
    TextFinder finder;
    finder.setNeedle(QStringLiteral("ok"), Qt::CaseInsensitive);
    finder.append(u"boot\n");
    QCOMPARE(finder.countText(), QStringLiteral("0/0"));
    finder.append(u"OK\n");
    QCOMPARE(finder.countText(), QStringLiteral("1/1"));
    finder.append(u"ok\nOk\n");
    QCOMPARE(finder.countText(), QStringLiteral("1/3"));
    finder.selectFrom(9);
    QCOMPARE(finder.countText(), QStringLiteral("3/3"));
    finder.selectFrom(12);
    QCOMPARE(finder.countText(), QStringLiteral("1/3"));
    finder.previous();
    QCOMPARE(finder.countText(), QStringLiteral("3/3"));
    // The first match goes with the dropped text: the current one keeps its place.
    finder.dropFront(6);
    QCOMPARE(finder.matches(), (QVector<int>{2, 5}));
    QCOMPARE(finder.countText(), QStringLiteral("2/2"));
    // Now the current one goes: the first one left takes over.
    finder.previous();
    finder.dropFront(4);
    QCOMPARE(finder.matches(), (QVector<int>{1}));
    QCOMPARE(finder.countText(), QStringLiteral("1/1"));
}

QTEST_APPLESS_MAIN(FindTest)
#include "tst_find.moc"
