// The English translation and how it is chosen. tests/CMakeLists.txt runs this test with
// SERMORA_LANG=en, and main() installs the texts as the program does.
#include "app/startup.h"
#include "app/widget.h"
#include "support/gui.h"
#include "support/textfit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QTextStream>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

// Every text the window shows, one "objectName<TAB>text" line each.
QStringList windowTexts(QWidget *window)
{
    QStringList texts{QStringLiteral("Widget\t") + window->windowTitle()};
    for (QWidget *w : window->findChildren<QWidget *>()) {
        QString text;
        if (auto *label = qobject_cast<QLabel *>(w))
            text = label->text();
        else if (auto *button = qobject_cast<QAbstractButton *>(w))
            text = button->text();
        else if (auto *group = qobject_cast<QGroupBox *>(w))
            text = group->title();
        if (!text.isEmpty())
            texts << w->objectName() + QLatin1Char('\t') + text;
    }
    return texts;
}

QStringList freshWindowTexts()
{
    freshWorkingDirectory();
    Widget w;
    return windowTexts(&w);
}

bool hasChinese(const QString &text)
{
    return text.contains(
        QRegularExpression(QStringLiteral("[\\x{3000}-\\x{9fff}\\x{ff00}-\\x{ffef}]")));
}

} // namespace

class LanguageTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { freshWorkingDirectory(); }

    void choice_data();
    void choice();
    void chosenFromTheEnvironment_data();
    void chosenFromTheEnvironment();
    void englishWindow_data();
    void englishWindow();
    void noChineseAndNothingCutOff();
    void everyTextHasItsTranslation();
};

void LanguageTest::choice_data()
{
    QTest::addColumn<QString>("sermoraLang");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QStringList>("uiLanguages");
    QTest::addColumn<bool>("english");

    const QStringList en{"en-US", "en", "en-Latn-US"};
    const QStringList zh{"zh-CN", "zh", "zh-Hans-CN"};
    QTest::newRow("English desktop") << ""
                                     << "en_US" << en << true;
    QTest::newRow("no German texts: English") << ""
                                              << "de_DE" << QStringList{"de-DE"} << true;
    QTest::newRow("Chinese desktop") << ""
                                     << "zh_CN" << zh << false;
    QTest::newRow("Taiwan") << ""
                            << "zh_TW" << QStringList{"zh-TW", "zh-Hant-TW"} << false;
    QTest::newRow("LANGUAGE puts Chinese first") << ""
                                                 << "en_US" << zh + en << false;
    QTest::newRow("C locale") << ""
                              << "C" << QStringList{"C"} << false;
    QTest::newRow("C locale ignores LANGUAGE") << ""
                                               << "C" << QStringList{"de", "de-DE"} << false;
    QTest::newRow("no UI language") << ""
                                    << "en_US" << QStringList{} << false;
    QTest::newRow("en on a Chinese desktop") << "en"
                                             << "zh_CN" << zh << true;
    QTest::newRow("en in the C locale") << "en"
                                        << "C" << QStringList{"C"} << true;
    QTest::newRow("zh on an English desktop") << "zh"
                                              << "en_US" << en << false;
    QTest::newRow("en with region and codeset") << "en_GB.UTF-8"
                                                << "C" << QStringList{"C"} << true;
    QTest::newRow("ZH in capitals") << "ZH"
                                    << "en_US" << en << false;
    QTest::newRow("other value: the system decides") << "fr"
                                                     << "zh_CN" << zh << false;
}

void LanguageTest::choice()
{
    QFETCH(QString, sermoraLang);
    QFETCH(QString, locale);
    QFETCH(QStringList, uiLanguages);
    QFETCH(bool, english);
    QCOMPARE(ChooseLanguage(sermoraLang, locale, uiLanguages) == Language::English, english);
}

void LanguageTest::chosenFromTheEnvironment_data()
{
    QTest::addColumn<QString>("variables");
    QTest::addColumn<bool>("english");
    QTest::newRow("LANG=C") << "LANG=C" << false;
    QTest::newRow("LANG=zh_CN.UTF-8") << "LANG=zh_CN.UTF-8" << false;
    QTest::newRow("LANG=en_US.UTF-8") << "LANG=en_US.UTF-8" << true;
    QTest::newRow("LANG=C SERMORA_LANG=en") << "LANG=C SERMORA_LANG=en" << true;
}

void LanguageTest::chosenFromTheEnvironment()
{
    QFETCH(QString, variables);
    QFETCH(bool, english);

    // The window as the program builds it under these variables, in a child process.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG", "SERMORA_LANG"})
        env.remove(QString::fromLatin1(name));
    for (const QString &variable : variables.split(' '))
        env.insert(variable.section('=', 0, 0), variable.section('=', 1));
    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--texts-child")});
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitCode(), 0);
    const QStringList shown =
        QString::fromUtf8(child.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);

    if (english) {
        QCOMPARE(shown, freshWindowTexts());
    } else {
        // This process shows English; without its translation it shows the source texts.
        auto *translation = qApp->findChild<QTranslator *>();
        QVERIFY(translation);
        QCoreApplication::removeTranslator(translation);
        const QStringList source = freshWindowTexts();
        QCoreApplication::installTranslator(translation);
        QCOMPARE(shown, source);
    }
}

void LanguageTest::englishWindow_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    const QList<QPair<const char *, const char *>> rows = {
        {"groupBox", "Connection settings"},
        {"label", "Port"},
        {"label_6", "Baud"},
        {"label_4", "Data"},
        {"label_2", "Parity"},
        {"label_3", "Flow"},
        {"label_5", "Stop"},
        {"pushButton_serialOpen", "OPEN"},
        {"pushButton_clear_screen", "Clear"},
        {"pushButton_send_ctrlz", "Send Ctrl-Z"},
        {"checkBox_ShowHex", "Hex display"},
        {"checkBox_CmdHexSend", "Hex send"},
        {"checkBox_Timestamp", "Timestamp"},
        {"checkBox_CmdWithEnter", "CR LF"},
        {"pushButton_main_cmd_send", "Send"},
        {"pushButton_send_file_path", "Click to choose the file to send"},
        {"pushButton_send_file", "Send file"},
        {"pushButton_log_filepath", "Click to choose where to save the log"},
        {"checkBox_sendlog_record", "Echo sent"},
        {"pushButton_log", "Start log"},
        {"label_7", "Passes"},
        {"label_RunInterval", " Interval"},
        {"pushButton_saveConfigFile", "Save config"},
        {"pushButton_loadConfingFile", "Load config"},
        {"pushButton_clearAllConfMsg", "Clear config"},
    };
    for (const auto &row : rows)
        QTest::newRow(row.first) << QString::fromLatin1(row.first) << QString::fromUtf8(row.second);
}

void LanguageTest::englishWindow()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    Widget w;
    QStringList texts = windowTexts(&w);
    QVERIFY(texts.contains(name + QLatin1Char('\t') + text));
}

void LanguageTest::noChineseAndNothingCutOff()
{
    Widget w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QStringList texts = windowTexts(&w);
    for (const QString &text : texts)
        QVERIFY2(!hasChinese(text), qPrintable(text));
    const QStringList cut = cutOffTexts(&w);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral(", "))));
}

void LanguageTest::everyTextHasItsTranslation()
{
    // lupdate brings the sources' texts into a copy of the translation: every one must have
    // its English text, and none may be left over from texts the sources no longer have.
    QTemporaryDir dir;
    const QString scratch = dir.filePath(QStringLiteral("sermora_en.ts"));
    QVERIFY(QFile::copy(QStringLiteral(SERMORA_TS), scratch));
    QFile::setPermissions(scratch, QFile::ReadOwner | QFile::WriteOwner);
    QProcess lupdate;
    lupdate.setWorkingDirectory(QStringLiteral(SERMORA_SOURCE_DIR));
    lupdate.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    lupdate.start(QStringLiteral(SERMORA_LUPDATE),
                  QStringList{"-silent", "-locations", "none"} +
                      QString::fromLatin1(SERMORA_TEXT_DIRS).split(' ') +
                      QStringList{"-ts", scratch});
    QVERIFY(lupdate.waitForFinished(60000));
    QCOMPARE(lupdate.exitCode(), 0);

    QFile file(scratch);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QStringList stale;
    QString context;
    QString source;
    int messages = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("source")) {
            source = xml.readElementText(QXmlStreamReader::IncludeChildElements);
        } else if (xml.name() == QLatin1String("translation")) {
            ++messages;
            const QString type = xml.attributes().value(QLatin1String("type")).toString();
            if (context != QLatin1String("Widget") || !type.isEmpty() ||
                xml.readElementText(QXmlStreamReader::IncludeChildElements).isEmpty())
                stale << QStringLiteral("%1 %2: %3").arg(context, type, source);
        }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QVERIFY(messages > 60);
    QVERIFY2(stale.isEmpty(), qPrintable(stale.join('\n')));
}

int main(int argc, char *argv[])
{
    EnableHighDpiScaling();
    QApplication app(argc, argv);
    QApplication::setFont(desktopFont());
    InstallTranslation(app);
    if (app.arguments().contains(QStringLiteral("--texts-child"))) {
        QTextStream(stdout) << freshWindowTexts().join('\n') << '\n';
        return 0;
    }
    LanguageTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_language.moc"
