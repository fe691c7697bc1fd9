#include "app/globals.h"
#include "app/widget.h"
#include "support/configfile.h"
#include "support/gui.h"
#include "support/pty.h"
#include "support/windowtest.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QtTest>

namespace {

// What "config.ini" holds on disk under `key`.
QString onDisk(const QString &key)
{
    return storedSettings().values.value(key, QStringLiteral("<absent>"));
}

QString key(int row, const char *suffix)
{
    return QStringLiteral("/%1/%2").arg(row).arg(QLatin1String(suffix));
}

QList<QCheckBox *> &columnNamed(const QString &column)
{
    if (column == QLatin1String("select"))
        return selectCheckBoxList;
    if (column == QLatin1String("hex"))
        return hexCheckBoxList;
    return enterCheckBoxList;
}

} // namespace

class RowsTest : public WindowTest
{
    Q_OBJECT

private slots:
    void switchesStoredAsText_data();
    void switchesStoredAsText();
    void textsStoredKeystrokeByKeystroke();
    void delayStoredVerbatim_data();
    void delayStoredVerbatim();
    void headerTicksExactlyItsPage_data();
    void headerTicksExactlyItsPage();
    void headerWritesOnlyRowsThatChange();
    void headerDoesNotFollowItsRows();
    void returnSendsLikeTheRowButton_data();
    void returnSendsLikeTheRowButton();
    void rowSendWithoutPortWarns();
};

void RowsTest::switchesStoredAsText_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<int>("row");

    QTest::newRow("select, row 37") << "select" << 37;
    QTest::newRow("hex, row 1") << "hex" << 1;
    QTest::newRow("enter, row 150") << "enter" << 150;
}

void RowsTest::switchesStoredAsText()
{
    QFETCH(QString, column);
    QFETCH(int, row);
    QCheckBox *box = columnNamed(column)[row - 1];
    const QString k = key(row, column.toLatin1());
    box->click();
    QTRY_COMPARE(onDisk(k), QStringLiteral("true"));
    box->click();
    QTRY_COMPARE(onDisk(k), QStringLiteral("false"));
    // Neighbours keep their keys untouched.
    QCOMPARE(onDisk(key(row == 1 ? 2 : row - 1, column.toLatin1())), QStringLiteral("<absent>"));
}

void RowsTest::textsStoredKeystrokeByKeystroke()
{
    QLineEdit *cmd = cmdLineEditList[4];
    cmd->setFocus();
    QTest::keyClicks(cmd, QStringLiteral("A"));
    QTRY_COMPARE(onDisk(key(5, "cmd")), QStringLiteral("A"));
    QTest::keyClicks(cmd, QStringLiteral("T"));
    QTRY_COMPARE(onDisk(key(5, "cmd")), QStringLiteral("AT"));
    QTest::keyClick(cmd, Qt::Key_Backspace);
    QTRY_COMPARE(onDisk(key(5, "cmd")), QStringLiteral("A"));
    // Spaces are kept as typed.
    QTest::keyClicks(cmd, QStringLiteral("  "));
    QTRY_COMPARE(onDisk(key(5, "cmd")), QStringLiteral("A  "));
}

void RowsTest::delayStoredVerbatim_data()
{
    QTest::addColumn<QString>("typed");

    QTest::newRow("number") << "100";
    QTest::newRow("not a number") << "abc";
    QTest::newRow("negative") << "-3";
    QTest::newRow("padded") << " 12 ";
}

void RowsTest::delayStoredVerbatim()
{
    QFETCH(QString, typed);
    QTest::keyClicks(delayLineEditList[62], typed);
    QTRY_COMPARE(onDisk(key(63, "delay")), typed);
}

void RowsTest::headerTicksExactlyItsPage_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<int>("page");

    const char *headers[] = {"CmdSelectAll", "hexSelectAll", "EnterSeledtAll"};
    const char *columns[] = {"select", "hex", "enter"};
    for (int c = 0; c < 3; ++c)
        for (int page = 0; page < 6; ++page)
            QTest::addRow("p%d_%s", page, headers[c]) << columns[c] << page;
}

void RowsTest::headerTicksExactlyItsPage()
{
    QFETCH(QString, column);
    QFETCH(int, page);
    static const QMap<QString, QString> headerOf = {
        {"select", "CmdSelectAll"}, {"hex", "hexSelectAll"}, {"enter", "EnterSeledtAll"}};
    auto *tabs = get<QTabWidget>("tabWidget");
    tabs->setCurrentIndex(page);
    auto *header = control<QCheckBox>(
        window, QStringLiteral("checkBox_p%1_%2").arg(page).arg(headerOf[column]));
    QVERIFY(header);

    const auto tickedRows = [](const QList<QCheckBox *> &list) {
        QList<int> rows;
        for (int i = 0; i < list.size(); ++i)
            if (list[i]->isChecked())
                rows << i + 1;
        return rows;
    };
    QList<int> pageRows;
    for (int row = 25 * page + 1; row <= 25 * page + 25; ++row)
        pageRows << row;

    header->click();
    for (const char *other : {"select", "hex", "enter"})
        QCOMPARE(tickedRows(columnNamed(other)), other == column ? pageRows : QList<int>());
    QTRY_COMPARE(onDisk(key(25 * page + 1, column.toLatin1())), QStringLiteral("true"));
    QCOMPARE(onDisk(key(25 * page + 25, column.toLatin1())), QStringLiteral("true"));

    header->click();
    QCOMPARE(tickedRows(columnNamed(column)), QList<int>());
    QTRY_COMPARE(onDisk(key(25 * page + 25, column.toLatin1())), QStringLiteral("false"));
}

void RowsTest::headerWritesOnlyRowsThatChange()
{
    // Rows 50, 60 and 76 are ticked by hand; row 60's stored value is then replaced by a marker
    // that only a new write for row 60 would overwrite.
    for (int row : {50, 60, 76})
        selectCheckBoxList[row - 1]->click();
    settings->setValue(key(60, "select"), QStringLiteral("marker"));
    auto *header = get<QCheckBox>("checkBox_p2_CmdSelectAll");

    header->click();
    settings->sync();
    for (int row = 51; row <= 75; ++row) {
        QVERIFY(selectCheckBoxList[row - 1]->isChecked());
        QCOMPARE(onDisk(key(row, "select")),
                 row == 60 ? QStringLiteral("marker") : QStringLiteral("true"));
    }

    header->click();
    settings->sync();
    for (int row = 1; row <= 150; ++row)
        QCOMPARE(selectCheckBoxList[row - 1]->isChecked(), row == 50 || row == 76);
    for (int row = 51; row <= 75; ++row)
        QCOMPARE(onDisk(key(row, "select")), QStringLiteral("false"));
    QCOMPARE(onDisk(key(50, "select")), QStringLiteral("true"));
    QCOMPARE(onDisk(key(76, "select")), QStringLiteral("true"));

    // A header over 25 rows that are all ticked already writes nothing at all.
    for (int row = 26; row <= 50; ++row) {
        selectCheckBoxList[row - 1]->setChecked(true);
        settings->setValue(key(row, "select"), QStringLiteral("marker"));
    }
    get<QCheckBox>("checkBox_p1_CmdSelectAll")->click();
    settings->sync();
    for (int row = 26; row <= 50; ++row)
        QCOMPARE(onDisk(key(row, "select")), QStringLiteral("marker"));
}

void RowsTest::headerDoesNotFollowItsRows()
{
    auto *header = get<QCheckBox>("checkBox_p0_hexSelectAll");
    header->click();
    hexCheckBoxList[2]->click();
    QVERIFY(header->isChecked());
    QVERIFY(!hexCheckBoxList[2]->isChecked());

    header->click();
    for (int row = 1; row <= 25; ++row)
        hexCheckBoxList[row - 1]->click();
    QVERIFY(!header->isChecked());
}

void RowsTest::returnSendsLikeTheRowButton_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("hex");
    QTest::addColumn<bool>("enter");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("text with line ending") << "AT" << false << true << QByteArray("AT\r\n");
    QTest::newRow("text without line ending") << "AT" << false << false << QByteArray("AT");
    QTest::newRow("hex ignores line ending") << "41 54" << true << true << QByteArray("AT");
    QTest::newRow("spaces are sent") << " " << false << false << QByteArray(" ");
    QTest::newRow("empty sends nothing") << "" << false << true << QByteArray();
}

void RowsTest::returnSendsLikeTheRowButton()
{
    QFETCH(QString, text);
    QFETCH(bool, hex);
    QFETCH(bool, enter);
    QFETCH(QByteArray, expected);
    QVERIFY(openPort());

    // The main command line's switches are set the other way: a row uses only its own.
    get<QCheckBox>("checkBox_CmdHexSend")->setChecked(!hex);
    get<QCheckBox>("checkBox_CmdWithEnter")->setChecked(!enter);
    cmdLineEditList[11]->setText(text);
    hexCheckBoxList[11]->setChecked(hex);
    enterCheckBoxList[11]->setChecked(enter);
    // Row 13 sends a marker after each try, so an empty send is seen as nothing before it.
    cmdLineEditList[12]->setText(QStringLiteral("|"));

    sendButtonList[11]->click();
    sendButtonList[12]->click();
    QCOMPARE(pty->readAtLeast(expected.size() + 1), expected + '|');

    QTest::keyClick(cmdLineEditList[11], Qt::Key_Return);
    sendButtonList[12]->click();
    QCOMPARE(pty->readAtLeast(expected.size() + 1), expected + '|');
}

void RowsTest::rowSendWithoutPortWarns()
{
    cmdLineEditList[11]->setText(QStringLiteral("AT"));
    for (int attempt = 0; attempt < 2; ++attempt) {
        auto seen = acceptNextMessageBox();
        if (attempt == 0)
            sendButtonList[11]->click();
        else
            QTest::keyClick(cmdLineEditList[11], Qt::Key_Return);
        QTRY_COMPARE(seen->title, QStringLiteral("告警"));
        QCOMPARE(seen->text, QStringLiteral("无法发送数据！\r\n请先打开串口！"));
    }
}

QTEST_MAIN(RowsTest)
#include "tst_rows.moc"
