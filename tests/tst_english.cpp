// The window in English: tests/CMakeLists.txt runs this test with SERMORA_LANG=en, and main()
// installs the texts as the program does.
#include "app/globals.h"
#include "app/startup.h"
#include "app/widget.h"
#include "support/filedialog.h"
#include "support/gui.h"
#include "support/pty.h"
#include "support/windowtest.h"
#include "support/windowtexts.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

class EnglishTest : public WindowTest
{
    Q_OBJECT

private slots:
    void formTexts_data();
    void formTexts();
    void noChineseAndNothingCutOff();
    void boxesAndDialogs();
    void consoleAndLogTags();
};

void EnglishTest::formTexts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    const QList<QPair<const char *, const char *>> rows = {
        {"groupBox", "Connection settings"},
        {"label_6", "Baud"},
        {"label_3", "Flow"},
        {"pushButton_clear_screen", "Clear"},
        {"checkBox_CmdWithEnter", "CR LF"},
        {"pushButton_send_file_path", "Click to choose the file to send"},
        {"checkBox_sendlog_record", "Echo sent"},
        {"pushButton_log", "Start log"},
        {"label_RunInterval", " Interval"},
        {"pushButton_saveConfigFile", "Save config"},
    };
    for (const auto &row : rows)
        QTest::newRow(row.first) << QString::fromLatin1(row.first) << QString::fromUtf8(row.second);
}

void EnglishTest::formTexts()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QVERIFY(windowTexts(window).contains(name + QLatin1Char('\t') + text));
}

void EnglishTest::noChineseAndNothingCutOff()
{
    for (const QString &text : windowTexts(window))
        QVERIFY2(!containsChinese(text), qPrintable(text));
    const QStringList cut = cutOffTexts(window);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral(", "))));
}

void EnglishTest::boxesAndDialogs()
{
    auto box = acceptNextMessageBox();
    get<QPushButton>("pushButton_main_cmd_send")->click();
    QCOMPARE(box->title, QStringLiteral("Warning"));
    QCOMPARE(box->text, QStringLiteral("Cannot send data.\r\nOpen a port first."));

    const QList<QPair<const char *, QStringList>> fileDialogs = {
        {"pushButton_log_filepath", {"Save log", "Log files (*.log*)"}},
        {"pushButton_send_file_path", {"Choose file", "All files (*.*)"}},
        {"pushButton_saveConfigFile", {"Save configuration", "Configuration files (*.ini)"}},
        {"pushButton_loadConfingFile", {"Load configuration", "Configuration files (*.ini)"}},
    };
    for (const auto &dialog : fileDialogs) {
        auto seen = answerNextFileDialog(QString());
        get<QPushButton>(dialog.first)->click();
        QVERIFY2(seen->shown, dialog.first);
        QCOMPARE(QStringList({seen->caption}) + seen->nameFilters, dialog.second);
    }

    auto naming = answerNextInputDialog(QString(), false);
    emit get<QTabWidget>("tabWidget")->tabBar()->tabBarDoubleClicked(0);
    QCOMPARE(naming->title, QStringLiteral("Rename page"));
    QCOMPARE(naming->label, QStringLiteral("Page name:"));

    auto about = acceptNextMessageBox();
    get<QPushButton>("pushButton_about")->click();
    QCOMPARE(about->title, QStringLiteral("About"));
}

void EnglishTest::consoleAndLogTags()
{
    QVERIFY(openPort());
    const QString logPath = QDir::current().absoluteFilePath(QStringLiteral("tags.log"));
    auto seen = answerNextFileDialog(logPath);
    get<QPushButton>("pushButton_log_filepath")->click();
    QVERIFY(seen->shown);
    get<QPushButton>("pushButton_log")->click();
    QVERIFY(logRecording);
    QCOMPARE(get<QPushButton>("pushButton_log")->text(), QStringLiteral("Stop log"));

    get<QCheckBox>("checkBox_Timestamp")->setChecked(true);
    get<QCheckBox>("checkBox_sendlog_record")->setChecked(true);
    get<QCheckBox>("checkBox_CmdWithEnter")->setChecked(true);
    get<QLineEdit>("lineEdit_main_cmd")->setText(QStringLiteral("AT"));
    get<QPushButton>("pushButton_main_cmd_send")->click();
    QVERIFY(pty->write("OK\n"));
    QVERIFY(QTest::qWaitFor([] { return textDisplayBuffer.contains(QLatin1String("OK")); }));
    get<QPushButton>("pushButton_log")->click();

    QFile log(logPath);
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QString logged = QString::fromLocal8Bit(log.readAll());
    QCOMPARE(logged, textDisplayBuffer);
    QVERIFY2(logged.contains(QLatin1String("][TX]AT")), qPrintable(logged));
    QVERIFY2(logged.contains(QLatin1String("][RX]OK")), qPrintable(logged));
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setFont(desktopFont());
    InstallTranslation(app);
    EnglishTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_english.moc"
