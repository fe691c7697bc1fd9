#include "config/inicheck.h"
#include "serial/hexcodec.h"
#include "serial/history.h"
#include "serial/lineending.h"

#include <QtTest>

class HistoryTest : public QObject
{
    Q_OBJECT

private slots:
    void steps_data();
    void steps();
    void keepsTheNewest();
    void restore_data();
    void restore();
    void survivesTheSettingsFile();
    void lineEnding_data();
    void lineEnding();
};

void HistoryTest::steps_data()
{
    // Keys: "U" Up, "D" Down, "S" sends what the entry holds. After each key, what the entry
    // holds ("-" when the key changes nothing).
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("entry holds the newest")
        << QStringList{"a", "b", "c"} << "c"
        << "UUUDDD" << QStringList{"b", "a", "-", "b", "c", "-"};
    QTest::newRow("edited line comes back") << QStringList{"a", "b"} << "draft"
                                            << "UUDDD" << QStringList{"b", "a", "b", "draft", "-"};
    QTest::newRow("repeats not kept") << QStringList{"a", "a", "b", "b", "a"} << ""
                                      << "UUUU" << QStringList{"a", "b", "a", "-"};
    QTest::newRow("only the held one") << QStringList{"a"} << "a"
                                       << "UD" << QStringList{"-", "-"};
    QTest::newRow("empty and over-long not kept")
        << QStringList{"a", "", QString(CommandHistory::MaxEntryChars + 1, 'x'), "b"} << ""
        << "UUU" << QStringList{"b", "a", "-"};
    // A recalled command sent again is the newest; stepping starts again from the entry.
    QTest::newRow("recalled and sent") << QStringList{"a", "b", "c"} << "c"
                                       << "USUUU" << QStringList{"b", "b", "c", "b", "a"};
}

void HistoryTest::steps()
{
    QFETCH(QStringList, sent);
    QFETCH(QString, line);
    QFETCH(QString, keys);
    QFETCH(QStringList, shown);
    CommandHistory history;
    for (const QString &command : sent)
        history.add(command);
    QStringList seen;
    for (const QChar key : keys) {
        std::optional<QString> next;
        if (key == 'S')
            history.add(line);
        else
            next = key == 'U' ? history.older(line) : history.newer();
        if (next)
            line = *next;
        seen.append(next || key == 'S' ? line : QStringLiteral("-"));
    }
    QCOMPARE(seen, shown);
}

void HistoryTest::keepsTheNewest()
{
    CommandHistory history;
    for (int i = 0; i < 150; ++i)
        history.add(QString::number(i));
    QCOMPARE(history.entries().size(), CommandHistory::MaxEntries);
    QCOMPARE(history.entries().first(), QStringLiteral("50"));
    QCOMPARE(history.entries().last(), QStringLiteral("149"));
}

void HistoryTest::restore_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("nothing stored") << QVariant() << QStringList();
    QTest::newRow("empty, over-long and repeats skipped")
        << QVariant(QStringList{"a", "", "a", QString(CommandHistory::MaxEntryChars + 1, 'x'), "b"})
        << QStringList{"a", "b"};
    QTest::newRow("ten megabytes")
        << QVariant(QString(10 * 1024 * 1024, QLatin1Char(','))) << QStringList();
    QStringList many;
    for (int i = 0; i < 10000; ++i)
        many.append(QString::number(i));
    QTest::newRow("ten thousand") << QVariant(many) << QStringList(many.mid(9900));
}

void HistoryTest::restore()
{
    QFETCH(QVariant, stored);
    QFETCH(QStringList, entries);
    CommandHistory history;
    history.add(QStringLiteral("before"));
    history.restore(stored);
    QCOMPARE(history.entries(), entries);
}

void HistoryTest::survivesTheSettingsFile()
{
    const QStringList text{"AT+CMGS=\"+1\",145",
                           "  spaced  ",
                           "@Variant(AAAA)",
                           "a;b=c",
                           "C:\\dir\\",
                           QStringLiteral("短信 é"),
                           QString::fromLatin1("\0\x01\x7F\xFF\r\n\t", 7)};
    // The settings file gives a list of one back as a text.
    const QStringList hex{"0D 0A"};
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("config.ini"));
    {
        QSettings settings(path, QSettings::IniFormat);
        settings.setValue(TextHistoryKey, text);
        settings.setValue(HexHistoryKey, hex);
    }
    // Values the program stores must never get its own file set aside at the next start.
    QVERIFY(!HoldsSerializedValues(path));
    QSettings settings(path, QSettings::IniFormat);
    CommandHistory textHistory;
    CommandHistory hexHistory;
    textHistory.restore(settings.value(TextHistoryKey));
    hexHistory.restore(settings.value(HexHistoryKey));
    QCOMPARE(textHistory.entries(), text);
    QCOMPARE(hexHistory.entries(), hex);
}

void HistoryTest::lineEnding_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QByteArray>("withEnter");
    QTest::addColumn<QString>("storedAgain");
    QTest::newRow("crlf") << "crlf" << QByteArray("AT\r\n") << "crlf";
    QTest::newRow("cr") << "cr" << QByteArray("AT\r") << "cr";
    QTest::newRow("lf") << "lf" << QByteArray("AT\n") << "lf";
    QTest::newRow("nothing stored") << "" << QByteArray("AT\r\n") << "crlf";
    QTest::newRow("upper case") << "CR" << QByteArray("AT\r\n") << "crlf";
}

void HistoryTest::lineEnding()
{
    QFETCH(QString, stored);
    QFETCH(QByteArray, withEnter);
    QFETCH(QString, storedAgain);
    const LineEnding ending = LineEndingFromStored(stored);
    QCOMPARE(LineEndingStoredText(ending), storedAgain);
    QCOMPARE(EncodeTextCommand(QStringLiteral("AT"), true, ending), withEnter);
    QCOMPARE(EncodeTextCommand(QStringLiteral("AT"), false, ending), QByteArray("AT"));
    QCOMPARE(EncodeTextCommand(QStringLiteral("短"), true, ending), "?" + LineEndingBytes(ending));
    if (ending == LineEnding::CrLf)
        QCOMPARE(EncodeTextCommand(QStringLiteral("AT"), true, ending),
                 EncodeTextCommand(QStringLiteral("AT"), true));
}

QTEST_APPLESS_MAIN(HistoryTest)
#include "tst_history.moc"
