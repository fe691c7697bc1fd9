// Which texts the window shows, and that the English translation is complete. The window in
// English is tst_english.
#include "app/startup.h"
#include "app/widget.h"
#include "support/child.h"
#include "support/gui.h"
#include "support/windowtexts.h"

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QXmlStreamReader>
#include <QtTest>

class LanguageTest : public QObject
{
    Q_OBJECT

private slots:
    void choice_data();
    void choice();
    void chosenFromTheEnvironment_data();
    void chosenFromTheEnvironment();
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
    QTest::newRow("LANGUAGE puts Chinese first") << ""
                                                 << "en_US" << zh + en << false;
    QTest::newRow("C locale") << ""
                              << "C" << QStringList{"C"} << false;
    QTest::newRow("C locale ignores LANGUAGE") << ""
                                               << "C" << QStringList{"de", "de-DE"} << false;
    QTest::newRow("en on a Chinese desktop") << "en"
                                             << "zh_CN" << zh << true;
    QTest::newRow("en_GB.UTF-8 in the C locale") << "en_GB.UTF-8"
                                                 << "C" << QStringList{"C"} << true;
    QTest::newRow("zh_TW on an English desktop") << "zh_TW"
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
    QTest::addColumn<QStringList>("variables");
    QTest::addColumn<bool>("english");
    QTest::newRow("LANG=C") << QStringList{"LANG=C"} << false;
    QTest::newRow("LANG=zh_CN.UTF-8") << QStringList{"LANG=zh_CN.UTF-8"} << false;
    QTest::newRow("LANG=en_US.UTF-8") << QStringList{"LANG=en_US.UTF-8"} << true;
    QTest::newRow("LANG=C SERMORA_LANG=en") << QStringList{"LANG=C", "SERMORA_LANG=en"} << true;
}

void LanguageTest::chosenFromTheEnvironment()
{
    QFETCH(QStringList, variables);
    QFETCH(bool, english);

    // The window as the program builds it under these variables, in a child process.
    QByteArray output;
    runSelfAsChild(QStringLiteral("--texts-child"), &output,
                   QStringList{"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG", "SERMORA_LANG"} +
                       variables);
    const QStringList shown = QString::fromUtf8(output).split('\n', Qt::SkipEmptyParts);
    QVERIFY(shown.size() > 150);
    if (english) {
        for (const QString &text : shown)
            QVERIFY2(!containsChinese(text), qPrintable(text));
    } else {
        // This process has no translation installed.
        freshWorkingDirectory();
        Widget w;
        QCOMPARE(shown, windowTexts(&w));
    }
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
        // A CR in a text is a <byte/> element inside it.
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

// Prints the texts of the window the program builds under this process's environment.
int textsChild()
{
    InstallTranslation(*qApp);
    freshWorkingDirectory();
    Widget w;
    QTextStream(stdout) << windowTexts(&w).join('\n') << '\n';
    return 0;
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    LanguageTest test;
    return runTestsOrChild(test, argc, argv, {{QStringLiteral("--texts-child"), textsChild}});
}
#include "tst_language.moc"
