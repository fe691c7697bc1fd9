// The configuration files without a window: the names proposed for them, the check for
// serialised values, and how the command rows are read from and written to them.

#include "app/qtcompat.h"
#include "config/filenames.h"
#include "config/inicheck.h"
#include "config/rowstore.h"
#include "support/configfile.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

StoredRows emptyRows()
{
    return StoredRows(150);
}

} // namespace

class ConfigFormatTest : public QObject
{
    Q_OBJECT

private slots:
    void proposedName_data();
    void proposedName();
    void proposedLogName_data();
    void proposedLogName();
    void serializedValuesDetected_data();
    void serializedValuesDetected();
    void rowsRead_data();
    void rowsRead();
    void rowsWrittenReadBack();
    void valuesWrittenInOneForm_data();
    void valuesWrittenInOneForm();

private:
    QTemporaryDir dir;
};

void ConfigFormatTest::proposedName_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("expected");
    QTest::newRow("example") << QDateTime(QDate(2018, 6, 1), QTime(14, 5, 9))
                             << "./userConfig/kesto_config_2018-06-01#14-05-09.ini";
    QTest::newRow("midnight, leap day") << QDateTime(QDate(2000, 2, 29), QTime(0, 0, 0))
                                        << "./userConfig/kesto_config_2000-02-29#00-00-00.ini";
    QTest::newRow("last second, 24-hour clock")
        << QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59, 999))
        << "./userConfig/kesto_config_1999-12-31#23-59-59.ini";
}

void ConfigFormatTest::proposedName()
{
    QFETCH(QDateTime, now);
    QFETCH(QString, expected);
    QCOMPARE(FileNames::ProposedConfigFile(now), expected);
}

void ConfigFormatTest::proposedLogName_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("expected");
    QTest::newRow("example") << QDate(2018, 6, 1) << "./log/kesto_log_2018-06-01.log";
    QTest::newRow("leap day") << QDate(2000, 2, 29) << "./log/kesto_log_2000-02-29.log";
    QTest::newRow("year end") << QDate(1999, 12, 31) << "./log/kesto_log_1999-12-31.log";
}

void ConfigFormatTest::proposedLogName()
{
    QFETCH(QDate, today);
    QFETCH(QString, expected);
    QCOMPARE(FileNames::ProposedLogFile(today), expected);
}

void ConfigFormatTest::serializedValuesDetected_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("serialized");
    QTest::newRow("plain") << QByteArray("[1]\ncmd=AT\n") << false;
    QTest::newRow("escaped at sign") << QByteArray("[1]\ncmd=@@Variant(x)\n") << false;
    QTest::newRow("inside a value") << QByteArray("[1]\ncmd=AT @Variant(x)\n") << false;
    QTest::newRow("variant") << "[globalSetting]\nrunTimes=" + craftedVariant + "\n" << true;
    QTest::newRow("spaces and quote") << "[1]\ncmd = \"" + craftedVariant + "\"\n" << true;
    QTest::newRow("date time") << QByteArray("[1]\ndelay=@DateTime(\\0)\n") << true;
    // Found by fuzz_config: forms the settings class decodes that the line-by-line look missed.
    QTest::newRow("escaped at sign, hex") << "[1]\ncmd=\\x40" + craftedVariant.mid(1) << true;
    QTest::newRow("escaped at sign, hex wrapping")
        << "[1]\ncmd=\\x10040" + craftedVariant.mid(1) << true;
    QTest::newRow("escaped at sign, octal") << "[1]\ncmd=\\100" + craftedVariant.mid(1) << true;
    QTest::newRow("escaped date time")
        << QByteArray("[1]\ncmd=\\x40\\x44\\x61teTime(\\0)\n") << true;
    QTest::newRow("second item of a list") << "[1]\ncmd=AT, " + craftedVariant + "\n" << true;
    QTest::newRow("line ended by CR") << "[1]\nselect=true\rcmd=" + craftedVariant + "\n" << true;
    QTest::newRow("quoted = in the key") << "[1]\n\"a=b\"=" + craftedVariant + "\n" << true;
    QTest::newRow("continued line") << "[1]\ncmd=\\\n" + craftedVariant + "\n" << true;
    QTest::newRow("empty quotes first") << "[1]\ncmd=\"\"" + craftedVariant + "\n" << true;
    QTest::newRow("byte order mark inside a value")
        << "\xEF\xBB\xBF[1]\ncmd=\\x40\xEF\xBB\xBF" + craftedVariant.mid(1) + "\n"
        << true;
    QTest::newRow("quoted comma") << QByteArray("[1]\ncmd=\"AT, @Variant(x)\"\n") << false;
    QTest::newRow("after a comment") << QByteArray("[1]\n; cmd=@Variant(x)\ncmd=AT\n") << false;
    QTest::newRow("in a section name") << QByteArray("[x=@Variant(x)]\ncmd=AT\n") << false;
    QTest::newRow("escaped backslash") << QByteArray("[1]\ncmd=\\\\x40Variant(x)\n") << false;
    QTest::newRow("last line without newline") << "[1]\ncmd=AT\ndelay=" + craftedVariant << true;
    QTest::newRow("CR LF lines") << "[1]\r\ncmd=AT\r\n[2]\r\ncmd=" + craftedVariant + "\r\n"
                                 << true;
    QTest::newRow("marker in a key")
        << QByteArray("[1]\ncmd=AT\n@Variant(x)=1\ndelay=5\n") << false;
}

void ConfigFormatTest::serializedValuesDetected()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, serialized);
    QCOMPARE(HoldsSerializedValues(writeFile(dir.filePath(QStringLiteral("probe.ini")), content)),
             serialized);
}

void ConfigFormatTest::rowsRead_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("row");
    // select, cmd, hex, enter, delay, as stored.
    QTest::addColumn<QStringList>("values");

    QTest::newRow("every column")
        << QByteArray("[17]\nselect=true\ncmd=AT+CSQ\nhex=false\nenter=true\ndelay=250\n") << 17
        << QStringList{"true", "AT+CSQ", "false", "true", "250"};
    QTest::newRow("missing keys read as empty")
        << QByteArray("[1]\ncmd=AT\n") << 1 << QStringList{"", "AT", "", "", ""};
    QTest::newRow("switch text kept as stored")
        << QByteArray("[150]\nselect=True\nhex=1\n") << 150 << QStringList{"True", "", "1", "", ""};
}

void ConfigFormatTest::rowsRead()
{
    QFETCH(QByteArray, content);
    QFETCH(int, row);
    QFETCH(QStringList, values);
    // A file of its own per row: the settings class reuses what it parsed of a file it has seen.
    const QString path =
        writeFile(dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + ".ini"), content);
    const StoredRows rows = ReadRows(QSettings(path, QSettings::IniFormat));
    QCOMPARE(rows.size(), 150);
    StoredRows expected = emptyRows();
    std::copy(values.begin(), values.end(), expected[row - 1].begin());
    QCOMPARE(rows, expected);
}

void ConfigFormatTest::rowsWrittenReadBack()
{
    StoredRows rows = emptyRows();
    for (int n = 1; n <= 150; ++n)
        rows[n - 1] = {n % 2 ? "true" : "false", QStringLiteral("@x \"%1\", ;[a]=\\中").arg(n),
                       "false", n % 3 ? "true" : "false", QString::number(n * 10)};
    const QString path = dir.filePath(QStringLiteral("written.ini"));
    {
        QSettings file(path, QSettings::IniFormat);
        file.setValue(QStringLiteral("/other/key"), QStringLiteral("kept"));
        WriteRows(file, rows);
    }
    const QSettings file(path, QSettings::IniFormat);
    QCOMPARE(file.status(), QSettings::NoError);
    QCOMPARE(ReadRows(file), rows);
    QCOMPARE(file.allKeys().size(), 150 * 5 + 1);
    QCOMPARE(file.value(QStringLiteral("/other/key")).toString(), QStringLiteral("kept"));
    QCOMPARE(file.value(QStringLiteral("/150/delay")).toString(), QStringLiteral("1500"));
}

// The bytes of a stored value are those Qt 5 writes whichever Qt the program is built with, so the
// files of both builds are the same and each reads the other's.
void ConfigFormatTest::valuesWrittenInOneForm_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("page name") << QStringLiteral("页面1") << QByteArray("k=\\x9875\\x9762\\x31");
    QTest::newRow("hex letters after")
        << QStringLiteral("中abc x") << QByteArray("k=\\x4e2d\\x61\\x62\\x63 x");
    QTest::newRow("quoted") << QStringLiteral("a, ä=1;") << QByteArray("k=\"a, \\xe4=1;\"");
    QTest::newRow("surrogates") << QStringLiteral("😀7") << QByteArray("k=\\xd83d\\xde00\\x37");
    QTest::newRow("delete") << QStringLiteral("\x7f+1").remove('+') << QByteArray("k=\\x7f\\x31");
    QTest::newRow("control first")
        << QStringLiteral("\x01+2é").remove('+') << QByteArray("k=\\x1\\x32\\xe9");
    QTest::newRow("backslash, quotes")
        << QStringLiteral("\\x41\"ü\"") << QByteArray("k=\\\\x41\\\"\\xfc\\\"");
    QTest::newRow("tab, digit") << QStringLiteral("é\t9") << QByteArray("k=\\xe9\\t9");
    QTest::newRow("command") << QStringLiteral("AT+CMGS=\"测试\"\r")
                             << QByteArray("k=\"AT+CMGS=\\\"\\x6d4b\\x8bd5\\\"\\r\"");
}

void ConfigFormatTest::valuesWrittenInOneForm()
{
    QFETCH(QString, value);
    QFETCH(QByteArray, line);
    const QString path = dir.filePath(QStringLiteral("form.ini"));
    QFile::remove(path);
    const auto lines = [&path] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll().split('\n') : QList<QByteArray>();
    };
    {
        QSettings file(path, QSettings::IniFormat);
        KeepQt5IniForm(file);
        file.setValue(QStringLiteral("p/k"), value);
        // As the program's settings are written, on the way back to the event loop.
        QCoreApplication::sendPostedEvents(&file, QEvent::UpdateRequest);
        QCOMPARE(lines().value(1), line);
        file.setValue(QStringLiteral("p/l"), value);
    }
    QCOMPARE(lines().value(2), "l=" + line.mid(2));
    QCOMPARE(QSettings(path, QSettings::IniFormat).value(QStringLiteral("p/l")).toString(), value);
}

QTEST_GUILESS_MAIN(ConfigFormatTest)
#include "tst_configformat.moc"
