// The configuration files without a window: how the command rows are read from and written to
// a settings file.

#include "config/rowstore.h"

#include <QFile>
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
    void rowsRead_data();
    void rowsRead();
    void rowsWrittenReadBack();

private:
    QTemporaryDir dir;
};

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
    const QString path = dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + ".ini");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();

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

QTEST_GUILESS_MAIN(ConfigFormatTest)
#include "tst_configformat.moc"
