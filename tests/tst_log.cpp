#include "app/globals.h"
#include "app/widget.h"
#include "config/filenames.h"
#include "support/filedialog.h"
#include "support/gui.h"
#include "support/pty.h"
#include "support/windowtest.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QtTest>

namespace {

const QString noPath = QStringLiteral("点击选择日志保存路径");
const QString cannotCreate = QStringLiteral("无法创建文件\r\n请检查路径是否有误！");
const QString cannotWrite = QStringLiteral("无法写入日志文件！\r\n日志记录已停止！");

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

} // namespace

class LogTest : public WindowTest
{
    Q_OBJECT

private slots:
    void init();

    void pathDialog();
    void refused_data();
    void refused();
    void appendsAcrossRecordings();
    void logMatchesTheConsole();
    void failedWriteStopsRecording();

private:
    QPushButton *button(const char *name) const { return get<QPushButton>(name); }
    void choosePath(const QString &path)
    {
        auto seen = answerNextFileDialog(path);
        button("pushButton_log_filepath")->click();
        QVERIFY(seen->shown);
    }
    void expectIdle()
    {
        QVERIFY(!logRecording);
        QCOMPARE(button("pushButton_log")->text(), QStringLiteral("开始记录"));
        QCOMPARE(styleOf(button("pushButton_log"), QStringLiteral("QPushButton"),
                         QStringLiteral("background-color")),
                 QStringLiteral("rgb(51, 136, 255)"));
        QVERIFY(button("pushButton_log_filepath")->isEnabled());
    }
    // Has the module send `bytes` and returns the part the console showed for them.
    QString receive(const QByteArray &bytes);
    // Sends `text` from the command line and returns the echoed part.
    QString send(const QString &text);
    QString shownSince(int textSize, int hexSize) const;
};

void LogTest::init()
{
    WindowTest::init();
    QVERIFY(openPort());
    button("pushButton_clear_screen")->click();
}

QString LogTest::shownSince(int textSize, int hexSize) const
{
    return get<QCheckBox>("checkBox_ShowHex")->isChecked() ? hexDisplayBuffer.mid(hexSize)
                                                           : textDisplayBuffer.mid(textSize);
}

QString LogTest::receive(const QByteArray &bytes)
{
    const int textSize = textDisplayBuffer.size();
    const int hexSize = hexDisplayBuffer.size();
    if (!pty->write(bytes))
        return QStringLiteral("<pty write failed>");
    if (!QTest::qWaitFor([&] { return hexDisplayBuffer.size() > hexSize; }, 10000))
        return QStringLiteral("<nothing shown>");
    return shownSince(textSize, hexSize);
}

QString LogTest::send(const QString &text)
{
    const int textSize = textDisplayBuffer.size();
    const int hexSize = hexDisplayBuffer.size();
    get<QLineEdit>("lineEdit_main_cmd")->setText(text);
    button("pushButton_main_cmd_send")->click();
    return shownSince(textSize, hexSize);
}

void LogTest::pathDialog()
{
    QDir().mkpath(QStringLiteral("log"));
    const QDate before = QDate::currentDate();
    const QString chosen = QDir::current().absoluteFilePath(QStringLiteral("log/mine.log"));
    auto seen = answerNextFileDialog(chosen);
    button("pushButton_log_filepath")->click();
    const QDate after = QDate::currentDate();
    QVERIFY(seen->shown);
    QVERIFY(seen->saveDialog);
    QVERIFY(seen->hasParent);
    QCOMPARE(seen->caption, QStringLiteral("保存日志"));
    QCOMPARE(seen->nameFilters, QStringList(QStringLiteral("日志文件(*.log*)")));
    const QString proposed = QStringLiteral("./log/") + QFileInfo(seen->proposedFile).fileName();
    QVERIFY2(proposed == FileNames::ProposedLogFile(before) ||
                 proposed == FileNames::ProposedLogFile(after),
             qPrintable(proposed));
    QCOMPARE(QFileInfo(seen->proposedFile).absolutePath(), QDir::current().absoluteFilePath("log"));
    QCOMPARE(button("pushButton_log_filepath")->text(), chosen);
    // Choosing creates nothing; recording does.
    QVERIFY(!QFile::exists(chosen));

    seen = answerNextFileDialog(QString());
    button("pushButton_log_filepath")->click();
    QVERIFY(seen->shown);
    QCOMPARE(button("pushButton_log_filepath")->text(), chosen);

    button("pushButton_log")->click();
    QVERIFY(logRecording);
    QVERIFY(QFile::exists(chosen));
    QCOMPARE(button("pushButton_log")->text(), QStringLiteral("停止记录"));
    QCOMPARE(styleOf(button("pushButton_log"), QStringLiteral("QPushButton"),
                     QStringLiteral("background-color")),
             QStringLiteral("rgb(170, 0, 0)"));
    QVERIFY(!button("pushButton_log_filepath")->isEnabled());
    button("pushButton_log")->click();
    expectIdle();
}

void LogTest::refused_data()
{
    QTest::addColumn<QString>("path");
    // The path is made a folder once it has been chosen.
    QTest::addColumn<bool>("folder");
    QTest::newRow("no path chosen") << QString() << false;
    QTest::newRow("folder that does not exist") << "missing/x.log" << false;
    QTest::newRow("a folder") << "chosen" << true;
}

void LogTest::refused()
{
    QFETCH(QString, path);
    QFETCH(bool, folder);
    if (!path.isEmpty())
        choosePath(QDir::current().absoluteFilePath(path));
    if (folder)
        QVERIFY(QDir().mkdir(path));
    const QStringList entriesBefore =
        QDir::current().entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    auto warning = acceptNextMessageBox();
    button("pushButton_log")->click();
    QCOMPARE(warning->className, QStringLiteral("QMessageBox"));
    QCOMPARE(warning->title, QStringLiteral("告警"));
    QCOMPARE(warning->text, cannotCreate);
    expectIdle();
    QCOMPARE(button("pushButton_log_filepath")->text(),
             path.isEmpty() ? noPath : QDir::current().absoluteFilePath(path));
    QCOMPARE(QDir::current().entryList(QDir::AllEntries | QDir::NoDotAndDotDot), entriesBefore);
}

void LogTest::appendsAcrossRecordings()
{
    const QString path = QDir::current().absoluteFilePath(QStringLiteral("same-day.log"));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("earlier line\n");
    }
    // The save dialog's overwrite question does not empty the file.
    choosePath(path);
    QCOMPARE(readAll(path), QByteArray("earlier line\n"));

    get<QCheckBox>("checkBox_Timestamp")->setChecked(true);
    button("pushButton_log")->click();
    QVERIFY(logRecording);
    const QString first = receive("first\r\n");
    button("pushButton_log")->click();
    expectIdle();
    QVERIFY(receive("while stopped\r\n").contains(QStringLiteral("while stopped")));
    button("pushButton_log")->click();
    const QString second = receive("second\r\n");
    button("pushButton_log")->click();

    QVERIFY(first.contains(QStringLiteral("first\r\n")));
    QCOMPARE(readAll(path), "earlier line\n" + (first + second).toLocal8Bit());
}

void LogTest::logMatchesTheConsole()
{
    const QString path = QDir::current().absoluteFilePath(QStringLiteral("console.log"));
    choosePath(path);
    auto *hexView = get<QCheckBox>("checkBox_ShowHex");
    get<QCheckBox>("checkBox_Timestamp")->setChecked(true);
    get<QCheckBox>("checkBox_sendlog_record")->setChecked(true);
    button("pushButton_log")->click();
    QVERIFY(logRecording);

    // Text view: whole lines, a line in two chunks, an echoed send.
    QStringList parts;
    parts << receive("OK\n") << receive("AB") << receive("CD\n") << send(QStringLiteral("AT+X"));
    // Hex view from here on; set by the program, so the earlier content stays on screen.
    hexView->setChecked(true);
    parts << receive("Z\r\n") << send(QStringLiteral("AT+Y")) << receive(QByteArray("\0\n", 2));
    button("pushButton_log")->click();

    const QByteArray log = readAll(path);
    QCOMPARE(log, parts.join(QString()).toLocal8Bit());
    // No CR reached the text view, so the console's plain text is the log, byte for byte.
    const QString console = get<QTextBrowser>("textBrowser")->toPlainText();
    QCOMPARE(log, console.toLocal8Bit());
    QVERIFY(console.contains(QStringLiteral("[接收]")));
    QVERIFY(console.contains(QStringLiteral("[发送]")));
    QVERIFY(console.contains(QStringLiteral("5A 0D 0A")));
    QVERIFY(QRegularExpression(QStringLiteral("^\\[\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d:\\d{3}\\]"
                                              "\\[接收\\]OK\\n"))
                .match(console)
                .hasMatch());
}

void LogTest::failedWriteStopsRecording()
{
    // Every write to this device fails with "no space left".
    choosePath(QStringLiteral("/dev/full"));
    QCOMPARE(button("pushButton_log_filepath")->text(), QStringLiteral("/dev/full"));
    button("pushButton_log")->click();
    QVERIFY(logRecording);

    ModalWatch boxes;
    QVERIFY(receive("lost\r\n").contains(QStringLiteral("lost")));
    QTRY_COMPARE(boxes.seen.size(), 1);
    QCOMPARE(boxes.seen.first(), QStringLiteral("告警|") + cannotWrite);
    expectIdle();
    QVERIFY(!logFile.isOpen());

    // Later traffic is shown but neither written nor warned about again.
    QVERIFY(receive("later\r\n").contains(QStringLiteral("later")));
    QCOMPARE(boxes.seen.size(), 1);
    expectIdle();
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    LogTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_log.moc"
