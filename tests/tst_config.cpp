#include "app/globals.h"
#include "app/widget.h"
#include "config/filenames.h"
#include "config/globalsettings.h"
#include "config/keys.h"
#include "support/child.h"
#include "support/configfile.h"
#include "support/filedialog.h"
#include "support/gui.h"
#include "support/ordinaryuser.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QTranslator>
#include <QtTest>

#include <cstdio>
#include <memory>
#include <sys/stat.h>

namespace {

const QString configIni = QStringLiteral("config.ini");
const QString saveFailed = QStringLiteral("无法保存配置文件！\r\n请检查路径或权限！");
// What the control of a setting of GlobalSettings shows, in stored form, read as the user sees it.
QString shown(QWidget *w, const GlobalSetting &setting)
{
    QObject *control = w->findChild<QObject *>(QLatin1String(setting.control));
    if (auto *box = qobject_cast<QComboBox *>(control))
        return box->currentText();
    if (auto *button = qobject_cast<QAbstractButton *>(control))
        return button->isChecked() ? QStringLiteral("true") : QStringLiteral("false");
    if (auto *action = qobject_cast<QAction *>(control))
        return action->isChecked() ? QStringLiteral("true") : QStringLiteral("false");
    if (auto *field = qobject_cast<QLineEdit *>(control))
        return field->text();
    if (auto *group = qobject_cast<QActionGroup *>(control))
        return group->checkedAction()->data().toString();
    return QStringLiteral("<no control %1>").arg(QLatin1String(setting.control));
}

// Changes a setting's control as a user would, so that its handler stores it: a selector to its
// last item (its first if it shows the last), a switch on, a text to `text`, a choice to its last.
// Returns what it then shows, in stored form.
QString change(QWidget *w, const GlobalSetting &setting, const QString &text)
{
    QObject *control = w->findChild<QObject *>(QLatin1String(setting.control));
    if (auto *box = qobject_cast<QComboBox *>(control))
        box->setCurrentIndex(box->currentIndex() == box->count() - 1 ? 0 : box->count() - 1);
    else if (auto *button = qobject_cast<QAbstractButton *>(control))
        button->setChecked(!button->isChecked());
    else if (auto *action = qobject_cast<QAction *>(control))
        action->setChecked(!action->isChecked());
    else if (auto *field = qobject_cast<QLineEdit *>(control))
        field->setText(text);
    else if (auto *group = qobject_cast<QActionGroup *>(control))
        group->actions().last()->setChecked(true);
    return shown(w, setting);
}

// Everything LoadConfigFile can change, in a comparable form. The settings of GlobalSettings by
// key: those only "config.ini" holds, and the counters every configuration file holds.
struct State
{
    QMap<QString, QString> global;
    QMap<QString, QString> counters;
    QStringList pages;
    QStringList rows;
};

State capture(QWidget *w)
{
    State s;
    for (const GlobalSetting &setting : GlobalSettings)
        (setting.scope == SettingScope::ConfigIni ? s.global : s.counters)[setting.key] =
            shown(w, setting);
    auto *tabs = control<QTabWidget>(w, "tabWidget");
    for (int p = 0; p < tabs->count(); ++p)
        s.pages << tabs->tabText(p);
    for (int i = 0; i < 150; ++i)
        s.rows << QStringLiteral("%1%2%3|%4|%5")
                      .arg(selectCheckBoxList[i]->isChecked() ? 'S' : '-')
                      .arg(hexCheckBoxList[i]->isChecked() ? 'H' : '-')
                      .arg(enterCheckBoxList[i]->isChecked() ? 'E' : '-')
                      .arg(cmdLineEditList[i]->text(), delayLineEditList[i]->text());
    return s;
}

#define COMPARE_PAGES_COUNTERS_ROWS(actual, expected)                                              \
    do {                                                                                           \
        QCOMPARE((actual).pages, (expected).pages);                                                \
        QCOMPARE((actual).counters, (expected).counters);                                          \
        QCOMPARE((actual).rows, (expected).rows);                                                  \
    } while (0)

// Commands that stress the INI escaping: Chinese, quotes, list and comment characters, edge
// spaces, a leading "@" (the toolkit's type marker) and backslashes.
QString sampleCommand(int row)
{
    static const QStringList forms = {
        "AT+CSQ%1",     "查询版本%1",      "\"quoted\" %1", "AT+X=1,2;c %1", "  padded %1  ",
        "@Variant(%1)", "back\\slash\\%1", "%U4E2D%20 %1",  "[section] #%1", ""};
    return forms[row % forms.size()].arg(row);
}

// Changes every persistent control as a user would, so each one's handler stores it.
void fillWindow(QWidget *w, const QString &tag)
{
    int texts = 0;
    for (const GlobalSetting &setting : GlobalSettings)
        change(w, setting, tag + QStringLiteral("次") + QString::number(++texts));
    for (int n = 1; n <= 150; ++n) {
        // Ticked first, so every box changes at least once and every row key is stored.
        for (auto *column : {&selectCheckBoxList, &hexCheckBoxList, &enterCheckBoxList})
            (*column)[n - 1]->setChecked(true);
        selectCheckBoxList[n - 1]->setChecked(n % 2 == 0);
        hexCheckBoxList[n - 1]->setChecked(n % 3 == 0);
        enterCheckBoxList[n - 1]->setChecked(n % 5 != 0);
        cmdLineEditList[n - 1]->setText(tag + sampleCommand(n));
        delayLineEditList[n - 1]->setText(QString::number(n * 10));
    }
}

// Names a page through the real naming dialog.
void namePage(QWidget *w, int page, const QString &name)
{
    answerNextInputDialog(name);
    emit control<QTabWidget>(w, "tabWidget")->tabBar()->tabBarDoubleClicked(page);
}

QString userConfigDir()
{
    QDir().mkpath(QStringLiteral("userConfig"));
    return QDir::current().absoluteFilePath(QStringLiteral("userConfig"));
}

// Saves through the save button and the real save dialog, returning what the dialog offered.
std::shared_ptr<FileDialogSeen> saveTo(QWidget *w, const QString &path,
                                       std::function<void()> then = {})
{
    auto seen = answerNextFileDialog(path, then);
    control<QPushButton>(w, "pushButton_saveConfigFile")->click();
    return seen;
}

std::shared_ptr<FileDialogSeen> loadFrom(QWidget *w, const QString &path,
                                         std::function<void()> then = {})
{
    auto seen = answerNextFileDialog(path, then);
    control<QPushButton>(w, "pushButton_loadConfingFile")->click();
    return seen;
}

} // namespace

class ConfigTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { freshWorkingDirectory(); }

    void firstStartWritesNothing();
    void everyKeySurvivesRestart_data();
    void everyKeySurvivesRestart();
    void globalBlockOnlyFromConfigIni_data();
    void globalBlockOnlyFromConfigIni();
    void storedValueForms_data();
    void storedValueForms();
    void settingsTableRoundTrip_data();
    void settingsTableRoundTrip();
    void rowsMissingFromLoadedFileAreCleared();
    void loadedPageNamesAreNotStored();
    void saveThenLoadReproducesTheWindow();
    void saveKeepsOtherKeysOfAnExistingFile();
    void cancelledDialogsChangeNothing();
    void saveFailureWarns_data();
    void saveFailureWarns();
    void clearWhileHeaderBoxTicked();
    void escapedNonAsciiLoads();
    void badInputNeverStopsStartupOrLoading_data();
    void badInputNeverStopsStartupOrLoading();
    void serializedConfigIniIsSetAsideAndReported();
    void refusedFileChangesNothing_data();
    void refusedFileChangesNothing();
    void killDuringRewriteLeavesCompleteFile();
    void changeRightBeforeCloseIsStored();
};

void ConfigTest::firstStartWritesNothing()
{
    {
        Widget w;
        QCoreApplication::processEvents();
    }
    QVERIFY(!QFile::exists(configIni));
}

void ConfigTest::everyKeySurvivesRestart_data()
{
    QTest::addColumn<bool>("english");
    QTest::newRow("same texts") << false;
    // Keys and values do not depend on the language the window shows.
    QTest::newRow("written under the source texts, read under English") << true;
}

void ConfigTest::everyKeySurvivesRestart()
{
    QFETCH(bool, english);
    State before;
    {
        Widget w;
        QVERIFY(settings->isAtomicSyncRequired());
        fillWindow(&w, QStringLiteral("启动"));
        const QStringList names = {"甲页", " ", "Page 2", "a,b;c", "@x", "最后"};
        for (int p = 0; p < 6; ++p)
            namePage(&w, p, names[p]);
        before = capture(&w);
    }
    const StoredSettings stored = storedSettings();
    QCOMPARE(stored.status, QSettings::NoError);
    QCOMPARE(stored.values.size(), int(std::size(GlobalSettings)) + 6 + 150 * 5);

    QFile raw(configIni);
    QVERIFY(raw.open(QIODevice::ReadOnly));
    const QByteArray bytes = raw.readAll();
    QVERIFY(std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; }));

    QTranslator translation;
    QVERIFY(translation.load(QStringLiteral(":/i18n/sermora_en.qm")));
    if (english)
        QCoreApplication::installTranslator(&translation);
    Widget again;
    const State after = capture(&again);
    QCOMPARE(after.global, before.global);
    COMPARE_PAGES_COUNTERS_ROWS(after, before);
    // What start-up writes back is what it read.
    QCOMPARE(storedSettings().values, stored.values);
}

void ConfigTest::globalBlockOnlyFromConfigIni_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("applied");
    QTest::newRow("config.ini at start-up") << "startup" << true;
    QTest::newRow("config.ini by absolute path") << "absolute" << false;
    QTest::newRow("./config.ini") << "dotslash" << false;
    QTest::newRow("user file through the load button") << "button" << false;
}

void ConfigTest::globalBlockOnlyFromConfigIni()
{
    QFETCH(QString, how);
    QFETCH(bool, applied);
    const QByteArray content =
        "[globalSetting]\nbaudrate=921600\ndatabits=6\nflowcontrol=XON/XOFF\n"
        "stopbits=2\nparity=Mark\nshowInHex=true\nshowTime=true\n"
        "sendHex=true\nsendWithEnter=true\nansiColours=true\nautoReopen=true\ndtr=false\n"
        "rts=false\nsendProtocol=YMODEM\nrunTimes=9\n"
        "[1]\ncmd=marker\n";
    std::unique_ptr<Widget> w;
    if (how == QLatin1String("startup")) {
        writeFile(configIni, content);
        w.reset(new Widget);
    } else {
        w.reset(new Widget);
        if (how == QLatin1String("button")) {
            const QString user = userConfigDir() + QStringLiteral("/user.ini");
            writeFile(user, content);
            QVERIFY(loadFrom(w.get(), user)->shown);
        } else {
            writeFile(configIni, content);
            w->LoadConfigFile(how == QLatin1String("absolute")
                                  ? QDir::current().absoluteFilePath(configIni)
                                  : QStringLiteral("./config.ini"));
        }
    }
    const State s = capture(w.get());
    QCOMPARE(s.counters.value(Keys::RunTimes), QStringLiteral("9"));
    QCOMPARE(s.rows[0], QStringLiteral("---|marker|"));
    const QString on = applied ? QStringLiteral("true") : QStringLiteral("false");
    const QMap<QString, QString> global = {
        {Keys::Baudrate, applied ? "921600" : "115200"},
        {Keys::Databits, applied ? "6" : "8"},
        {Keys::Parity, applied ? "Mark" : "None"},
        {Keys::Flowcontrol, applied ? "XON/XOFF" : "NONE"},
        {Keys::Stopbits, applied ? "2" : "1"},
        {Keys::ShowInHex, on},
        {Keys::ShowTime, on},
        {Keys::SendHex, on},
        {Keys::SendWithEnter, on},
        {Keys::AnsiColours, on},
        {Keys::AutoReopen, on},
        // On unless stored off.
        {Keys::Dtr, applied ? "false" : "true"},
        {Keys::Rts, applied ? "false" : "true"},
        {Keys::SendProtocol, applied ? "YMODEM" : "RAW"},
        {LineEndingKey, "crlf"},
    };
    QCOMPARE(s.global, global);
}

void ConfigTest::storedValueForms_data()
{
    QTest::addColumn<QByteArray>("line");
    // What the key's control shows after start-up, in stored form.
    QTest::addColumn<QString>("shown");
    // What "config.ini" holds for the key after start-up: a setter that changes nothing writes
    // nothing back.
    QTest::addColumn<QString>("storedAfter");

    QTest::newRow("true") << QByteArray("showInHex=true") << "true"
                          << "true";
    QTest::newRow("True") << QByteArray("showInHex=True") << "false"
                          << "True";
    QTest::newRow("TRUE") << QByteArray("showTime=TRUE") << "false"
                          << "TRUE";
    QTest::newRow("1") << QByteArray("sendHex=1") << "false"
                       << "1";
    QTest::newRow("quoted with a space") << QByteArray("sendWithEnter=\"true \"") << "false"
                                         << "true ";
    QTest::newRow("listed baud rate") << QByteArray("baudrate=9600") << "9600"
                                      << "9600";
    QTest::newRow("unknown baud rate") << QByteArray("baudrate=12345") << "115200"
                                       << "12345";
    QTest::newRow("parity in other case") << QByteArray("parity=even") << "None"
                                          << "even";
    QTest::newRow("empty stop bits") << QByteArray("stopbits=") << "1"
                                     << "";
}

void ConfigTest::storedValueForms()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, shown);
    QFETCH(QString, storedAfter);
    writeFile(configIni, "[globalSetting]\n" + line + "\n");
    Widget w;
    const QString key = QStringLiteral("/globalSetting/") + line.left(line.indexOf('='));
    const auto setting = std::find_if(std::begin(GlobalSettings), std::end(GlobalSettings),
                                      [&key](const GlobalSetting &s) { return s.key == key; });
    QVERIFY(setting != std::end(GlobalSettings));
    QCOMPARE(::shown(&w, *setting), shown);
    QCOMPARE(storedSettings().values.value(key), storedAfter);
}

void ConfigTest::settingsTableRoundTrip_data()
{
    QTest::addColumn<int>("entry");
    for (int entry = 0; entry < int(std::size(GlobalSettings)); ++entry)
        QTest::newRow(GlobalSettings[entry].control) << entry;
}

// Each setting of the table: a user's change is stored in its kind's form, and stored texts, good
// and bad, are shown as its kind reads them, each change stored again by the control's handler.
void ConfigTest::settingsTableRoundTrip()
{
    QFETCH(int, entry);
    const GlobalSetting &setting = GlobalSettings[entry];
    Widget w;
    QObject *control = SettingControl(&w, setting);
    QVERIFY(control);
    // Of the class its kind works on.
    if (setting.kind == SettingKind::Selector)
        QVERIFY(qobject_cast<QComboBox *>(control));
    else if (setting.kind == SettingKind::Switch)
        QVERIFY(control->property("checkable").toBool());
    else if (setting.kind == SettingKind::Choice)
        QVERIFY(qobject_cast<QActionGroup *>(control));
    else
        QVERIFY(qobject_cast<QLineEdit *>(control));
    const QString chosen = change(&w, setting, QStringLiteral(" 中 7,\"8\" "));
    QCOMPARE(storedSettings().values.value(setting.key), chosen);

    // Stored texts in turn, and what the control then shows.
    const QString unchanged = QStringLiteral("<as before>");
    QList<QPair<QString, QString>> shownFor;
    if (setting.kind == SettingKind::Selector) {
        const QString first = qobject_cast<QComboBox *>(control)->itemText(0);
        shownFor = {{first, first},
                    {chosen, chosen},
                    {"12345", unchanged},
                    {"", unchanged},
                    {chosen.toLower(), unchanged}};
    } else if (setting.kind == SettingKind::Switch) {
        // Anything but the two exact texts reads as the default.
        const QString fallback = QString::fromLatin1(setting.defaultValue);
        shownFor = {{"false", "false"}, {"TRUE", fallback}, {"true", "true"},  {"1", fallback},
                    {"false", "false"}, {"", fallback},     {"True", fallback}};
    } else if (setting.kind == SettingKind::Choice) {
        const QString first =
            qobject_cast<QActionGroup *>(control)->actions().first()->data().toString();
        shownFor = {{"", first}, {chosen, chosen}, {"12345", first}, {chosen.toUpper(), first}};
    } else {
        shownFor = {{"", ""}, {chosen, chosen}};
    }
    for (const auto &[stored, expected] : shownFor) {
        const QString before = ::shown(&w, setting);
        ShowStoredValue(setting, control, stored);
        QCOMPARE(::shown(&w, setting), expected == unchanged ? before : expected);
        QCOMPARE(storedSettings().values.value(setting.key), ::shown(&w, setting));
    }
}

void ConfigTest::rowsMissingFromLoadedFileAreCleared()
{
    Widget w;
    fillWindow(&w, QStringLiteral("x"));
    const State filled = capture(&w);
    const QString user = userConfigDir() + QStringLiteral("/pages-only.ini");
    writeFile(user, "[TabName]\n0=Alpha\n2=\n6=Ghost\n[0]\ncmd=zero\nselect=true\n"
                    "[151]\ncmd=beyond\n[globalSetting]\nbaudrate=300\nfoo=bar\n");
    QVERIFY(loadFrom(&w, user)->shown);

    const State s = capture(&w);
    QCOMPARE(s.pages, QStringList({"Alpha", "Page1", "Page2", "Page3", "Page4", "Page5"}));
    QCOMPARE(s.rows, QStringList(QVector<QString>(150, QStringLiteral("---||")).toList()));
    QCOMPARE(s.counters.value(Keys::RunTimes), QString());
    QCOMPARE(s.counters.value(Keys::Interval), QString());
    QCOMPARE(s.global, filled.global);
    // The cleared rows and counters reach "config.ini" through the widgets' handlers.
    const StoredSettings stored = storedSettings();
    QCOMPARE(stored.values.value("/1/enter"), QStringLiteral("false"));
    QCOMPARE(stored.values.value("/150/cmd"), QString());
    QCOMPARE(stored.values.value("/globalSetting/runTimes"), QString());
    QVERIFY(!stored.values.contains("/0/cmd"));
    QVERIFY(!stored.values.contains("/TabName/0"));
}

void ConfigTest::loadedPageNamesAreNotStored()
{
    writeFile(configIni, "[TabName]\n1=Old name\n[7]\ncmd=old\n");
    {
        Widget w;
        const QString user = userConfigDir() + QStringLiteral("/other.ini");
        writeFile(user, "[TabName]\n1=\\x65b0\\x540d\\x5b57\n[7]\ncmd=new\n");
        QVERIFY(loadFrom(&w, user)->shown);
        QCOMPARE(control<QTabWidget>(&w, "tabWidget")->tabText(1), QStringLiteral("新名字"));
        const StoredSettings stored = storedSettings();
        QCOMPARE(stored.values.value("/TabName/1"), QStringLiteral("Old name"));
        QCOMPARE(stored.values.value("/7/cmd"), QStringLiteral("new"));
    }
    Widget again;
    QCOMPARE(control<QTabWidget>(&again, "tabWidget")->tabText(1), QStringLiteral("Old name"));
    QCOMPARE(cmdLineEditList[6]->text(), QStringLiteral("new"));
}

void ConfigTest::saveThenLoadReproducesTheWindow()
{
    Widget w;
    fillWindow(&w, QStringLiteral("存"));
    namePage(&w, 0, QStringLiteral("第一页"));
    namePage(&w, 4, QStringLiteral("  spaced, \"quoted\"  "));
    const State saved = capture(&w);

    const QString file = userConfigDir() + QStringLiteral("/saved.ini");
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    auto seen = saveTo(&w, file);
    const QDateTime after = QDateTime::currentDateTime().addSecs(1);
    QVERIFY(seen->shown);
    QVERIFY(seen->saveDialog);
    QVERIFY(seen->hasParent);
    QCOMPARE(seen->caption, QStringLiteral("保存配置"));
    QCOMPARE(seen->nameFilters, QStringList(QStringLiteral("配置文件(*.ini)")));
    QCOMPARE(QFileInfo(seen->proposedFile).absolutePath(), userConfigDir());
    const QString proposed = QFileInfo(seen->proposedFile).fileName();
    bool proposedInWindow = false;
    for (QDateTime t = before; t <= after; t = t.addSecs(1))
        proposedInWindow |=
            QStringLiteral("./userConfig/") + proposed == FileNames::ProposedConfigFile(t);
    QVERIFY2(proposedInWindow, qPrintable(proposed));

    const StoredSettings written = storedSettings(file);
    QCOMPARE(written.status, QSettings::NoError);
    // Pages, counters and rows only: the line parameters and switches stay in "config.ini".
    int counters = 0;
    for (const GlobalSetting &setting : GlobalSettings) {
        counters += setting.scope == SettingScope::EveryFile ? 1 : 0;
        QCOMPARE(written.values.contains(setting.key), setting.scope == SettingScope::EveryFile);
    }
    QCOMPARE(written.values.size(), 6 + counters + 150 * 5);
    QCOMPARE(written.values.value("/TabName/1"), QStringLiteral("Page1"));

    control<QPushButton>(&w, "pushButton_clearAllConfMsg")->click();
    auto *tabs = control<QTabWidget>(&w, "tabWidget");
    for (int p = 0; p < 6; ++p)
        tabs->setTabText(p, QStringLiteral("changed"));
    control<QComboBox>(&w, "comboBox_baudrate")->setCurrentText(QStringLiteral("300"));
    const State changed = capture(&w);

    seen = loadFrom(&w, file);
    QVERIFY(seen->shown);
    QVERIFY(!seen->saveDialog);
    QVERIFY(seen->hasParent);
    QCOMPARE(seen->caption, QStringLiteral("导入配置文件"));
    QCOMPARE(seen->nameFilters, QStringList(QStringLiteral("配置文件(*.ini)")));
    QCOMPARE(seen->directory, userConfigDir());

    const State loaded = capture(&w);
    COMPARE_PAGES_COUNTERS_ROWS(loaded, saved);
    QCOMPARE(loaded.global, changed.global);
    QCOMPARE(loaded.global.value(Keys::Baudrate), QStringLiteral("300"));
}

void ConfigTest::saveKeepsOtherKeysOfAnExistingFile()
{
    Widget w;
    fillWindow(&w, QStringLiteral("k"));
    const State filled = capture(&w);
    QCoreApplication::processEvents();
    const QString file = userConfigDir() + QStringLiteral("/old-copy.ini");
    QVERIFY(QFile::copy(configIni, file));
    QFile extra(file);
    QVERIFY(extra.open(QIODevice::Append));
    extra.write("\n[notes]\nkeep=me\n");
    extra.close();
    control<QLineEdit>(&w, "lineEdit_RunTimes")->setText(QStringLiteral("77"));

    auto seen = saveTo(&w, file);
    QVERIFY(seen->overwriteAsked);
    const StoredSettings written = storedSettings(file);
    QCOMPARE(written.status, QSettings::NoError);
    for (const GlobalSetting &setting : GlobalSettings) {
        if (setting.scope == SettingScope::ConfigIni)
            QCOMPARE(written.values.value(setting.key), filled.global.value(setting.key));
    }
    QCOMPARE(written.values.value("/notes/keep"), QStringLiteral("me"));
    QCOMPARE(written.values.value(Keys::RunTimes), QStringLiteral("77"));
}

void ConfigTest::cancelledDialogsChangeNothing()
{
    Widget w;
    fillWindow(&w, QStringLiteral("c"));
    const State before = capture(&w);
    QCoreApplication::processEvents();
    const QStringList filesBefore =
        QDir::current().entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    QVERIFY(saveTo(&w, QString())->shown);
    QVERIFY(loadFrom(&w, QString())->shown);
    const State after = capture(&w);
    COMPARE_PAGES_COUNTERS_ROWS(after, before);
    QCOMPARE(QDir::current().entryList(QDir::AllEntries | QDir::NoDotAndDotDot), filesBefore);
}

void ConfigTest::saveFailureWarns_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("folder that does not exist")
        << QDir::current().absoluteFilePath(QStringLiteral("missing/deeper/x.ini"));
    QTest::newRow("folder that takes no new files") << QStringLiteral("/proc/sermora-config.ini");
    QTest::newRow("a file where a folder should be")
        << QDir::current().absoluteFilePath(QStringLiteral("config.ini/x.ini"));
}

void ConfigTest::saveFailureWarns()
{
    QFETCH(QString, path);
    Widget w;
    fillWindow(&w, QStringLiteral("f"));
    const StoredSettings storedBefore = storedSettings();
    const State before = capture(&w);

    std::shared_ptr<ModalSeen> warning;
    QVERIFY(saveTo(&w, path, [&warning] { warning = acceptNextMessageBox(); })->shown);
    QVERIFY(warning);
    QCOMPARE(warning->className, QStringLiteral("QMessageBox"));
    QCOMPARE(warning->title, QStringLiteral("告警"));
    QCOMPARE(warning->text, saveFailed);

    QVERIFY(!QFileInfo::exists(path));
    QVERIFY(!QFileInfo::exists(QStringLiteral("missing")));
    const State after = capture(&w);
    COMPARE_PAGES_COUNTERS_ROWS(after, before);
    QCOMPARE(storedSettings().values, storedBefore.values);
}

void ConfigTest::clearWhileHeaderBoxTicked()
{
    {
        Widget w;
        fillWindow(&w, QStringLiteral("h"));
        const State filled = capture(&w);
        namePage(&w, 1, QStringLiteral("kept"));
        auto *header = control<QCheckBox>(&w, "checkBox_p1_CmdSelectAll");
        header->setChecked(true);
        QVERIFY(selectCheckBoxList[26]->isChecked());

        control<QPushButton>(&w, "pushButton_clearAllConfMsg")->click();
        const State s = capture(&w);
        QCOMPARE(s.rows, QStringList(QVector<QString>(150, QStringLiteral("---||")).toList()));
        QCOMPARE(s.counters.value(Keys::RunTimes), QString());
        QCOMPARE(s.counters.value(Keys::Interval), QString());
        QCOMPARE(s.pages[1], QStringLiteral("kept"));
        QCOMPARE(s.global, filled.global);
        QVERIFY(header->isChecked());
    }
    // The cleared state was stored by the handlers and comes back.
    Widget again;
    const State s = capture(&again);
    QCOMPARE(s.rows, QStringList(QVector<QString>(150, QStringLiteral("---||")).toList()));
    QCOMPARE(s.counters.value(Keys::RunTimes), QString());
    QCOMPARE(s.pages[1], QStringLiteral("kept"));
}

void ConfigTest::escapedNonAsciiLoads()
{
    // As the toolkit writes it without a codec: non-ASCII as \x escapes.
    writeFile(configIni, "[TabName]\n3=\\x4e2d\\x6587\\x9875\n[7]\n"
                         "cmd=\"AT+\\x67e5\\x8be2,1\"\ndelay=\\x4e00\n");
    Widget w;
    QCOMPARE(control<QTabWidget>(&w, "tabWidget")->tabText(3), QStringLiteral("中文页"));
    QCOMPARE(cmdLineEditList[6]->text(), QStringLiteral("AT+查询,1"));
    QCOMPARE(delayLineEditList[6]->text(), QStringLiteral("一"));
}

void ConfigTest::badInputNeverStopsStartupOrLoading_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("row1");
    QTest::addColumn<QString>("page0");
    const QString any = QStringLiteral("<any>");

    QTest::newRow("empty") << QByteArray() << ""
                           << "Page0";
    QByteArray garbage(256 * 1024, '\0');
    QRandomGenerator random(5);
    for (char &c : garbage)
        c = char(random.bounded(256));
    QTest::newRow("binary garbage") << garbage << any << any;
    const QByteArray tenMegabytes(10 * 1024 * 1024, 'x');
    QTest::newRow("10 MB value") << "[1]\ncmd=" + tenMegabytes + "\n[TabName]\n0=ok\n"
                                 << QString(32767, 'x') << "ok";
    QTest::newRow("10 MB of sections")
        << QByteArray("[1]\ncmd=first\n").repeated(10 * 1024 * 1024 / 14) << "first"
        << "Page0";
    QTest::newRow("duplicate section")
        << QByteArray("[1]\ncmd=first\n[2]\n[1]\ncmd=second\n") << "second"
        << "Page0";
    QTest::newRow("out-of-schema sections")
        << QByteArray("[0]\ncmd=zero\n[151]\ncmd=x\n[TabName]\n6=Ghost\n-1=Minus\n") << ""
        << "Page0";
    const QByteArray long100k(100000, 'y');
    QTest::newRow("100 000-character values")
        << "[1]\ncmd=" + long100k + "\n[TabName]\n0=" + long100k +
               "\n[globalSetting]\nrunTimes=" + long100k + "\nbaudrate=" + long100k + "\n"
        << QString(32767, 'y') << QString(100000, 'y');
    QTest::newRow("unterminated quote and section")
        << QByteArray("[1\ncmd=\"open\n[2]\ncmd=x\n") << any << "Page0";
}

void ConfigTest::badInputNeverStopsStartupOrLoading()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, row1);
    QFETCH(QString, page0);
    writeFile(configIni, content);
    QElapsedTimer clock;
    clock.start();
    Widget w;
    auto check = [&] {
        auto *tabs = control<QTabWidget>(&w, "tabWidget");
        QCOMPARE(tabs->count(), 6);
        if (row1 != QLatin1String("<any>"))
            QCOMPARE(cmdLineEditList[0]->text(), row1);
        if (page0 != QLatin1String("<any>"))
            QCOMPARE(tabs->tabText(0), page0);
    };
    check();
    QCOMPARE(control<QComboBox>(&w, "comboBox_baudrate")->currentText(), QStringLiteral("115200"));

    const QString user = QDir::current().absoluteFilePath(QStringLiteral("user.ini"));
    writeFile(user, content);
    w.LoadConfigFile(user);
    check();
    QVERIFY2(clock.elapsed() < 40000, qPrintable(QString::number(clock.elapsed())));
}

// Decoding a crafted value throws out of the settings class and ends the program, so a
// "config.ini" holding one is set aside at start-up, under a name that keeps older copies, and
// the user is told once the window is up.
void ConfigTest::serializedConfigIniIsSetAsideAndReported()
{
    const QByteArray crafted = "[1]\ncmd=AT\n[globalSetting]\nrunTimes=" + craftedVariant + "\n";
    writeFile(QStringLiteral("config.ini.bad"), "older copy");
    writeFile(configIni, crafted);
    auto warning = acceptNextMessageBox();
    Widget w;
    w.show();
    QTRY_COMPARE(warning->title, QStringLiteral("告警"));
    QCOMPARE(warning->text,
             QStringLiteral("无法读取保存的设置！\r\n原文件已另存为config.ini.bad.1！"));

    QCOMPARE(cmdLineEditList[0]->text(), QString());
    QFile older(QStringLiteral("config.ini.bad"));
    QVERIFY(older.open(QIODevice::ReadOnly));
    QCOMPARE(older.readAll(), QByteArray("older copy"));
    QFile kept(QStringLiteral("config.ini.bad.1"));
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), crafted);
    cmdLineEditList[0]->setText(QStringLiteral("ATI"));
    QCOMPARE(storedSettings().values.value(QStringLiteral("/1/cmd")), QStringLiteral("ATI"));
}

void ConfigTest::refusedFileChangesNothing_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("serialised value")
        << "[1]\ncmd=AT\n[globalSetting]\nrunTimes=" + craftedVariant + "\n"
        << true << "无法加载配置文件！\r\n文件内容无法识别！";
    QTest::newRow("no read permission")
        << QByteArray("[1]\ncmd=AT\n") << false << "无法加载配置文件！\r\n请检查文件权限！";
}

// A file the program cannot take is refused with a box, loaded or saved over: read as empty it
// would clear every row, on screen and in "config.ini".
void ConfigTest::refusedFileChangesNothing()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, readable);
    QFETCH(QString, refusal);
    Widget w;
    fillWindow(&w, QStringLiteral("r"));
    namePage(&w, 2, QStringLiteral("mine"));
    const State before = capture(&w);
    const StoredSettings storedBefore = storedSettings();
    // The unreadable file is the ordinary user's own, in a folder of theirs.
    OrdinaryUserFolder folder;
    const QString user =
        (readable ? userConfigDir() : folder.path()) + QStringLiteral("/picked.ini");
    writeFile(user, content);
    if (!readable)
        QVERIFY(handToOrdinaryUser(user, S_IWUSR));

    {
        std::unique_ptr<AsOrdinaryUser> ordinary;
        if (!readable) {
            ordinary.reset(new AsOrdinaryUser);
            if (!ordinary->isOrdinary())
                QSKIP("root cannot take an ordinary user's ids here");
        }
        std::shared_ptr<ModalSeen> warning;
        QVERIFY(loadFrom(&w, user, [&warning] { warning = acceptNextMessageBox(); })->shown);
        QVERIFY(warning);
        QCOMPARE(warning->title, QStringLiteral("告警"));
        QCOMPARE(warning->text, refusal);

        warning.reset();
        QVERIFY(saveTo(&w, user, [&warning] { warning = acceptNextMessageBox(); })->shown);
        QVERIFY(warning);
        QCOMPARE(warning->text, saveFailed);
    }

    const State after = capture(&w);
    QCOMPARE(after.global, before.global);
    COMPARE_PAGES_COUNTERS_ROWS(after, before);
    QCOMPARE(storedSettings().values, storedBefore.values);
    QVERIFY(QFile::setPermissions(user, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    QFile file(user);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), content);
}

// A child process rewrites "config.ini" through the window's handlers as fast as it can and is
// killed at random moments; the file must always hold one complete version. The moments come
// from a fixed seed, printed so that a failure can be replayed with SERMORA_KILL_SEED set to it
// (the scheduler still moves the kills a little).
void ConfigTest::killDuringRewriteLeavesCompleteFile()
{
    bool given = false;
    quint32 seed = qEnvironmentVariable("SERMORA_KILL_SEED").toUInt(&given);
    if (!given)
        seed = 20261209;
    // Not through the test log, which drops messages past its limit in a full run.
    std::fprintf(stderr, "killDuringRewriteLeavesCompleteFile: kill moments from seed %u\n", seed);
    QRandomGenerator random(seed);
    int lastVersion = 0;
    int killsDuringWrite = 0;
    for (int round = 0; round < 12 && killsDuringWrite < 2; ++round) {
        QProcess child;
        child.setStandardErrorFile(QProcess::nullDevice());
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--rewrite-child")});
        QVERIFY(child.waitForStarted());
        // The child announces each commit just before it starts; the kill falls somewhere in the
        // write that follows the chosen announcement, or soon after it.
        const int commitsToWait = 2 + int(random.bounded(3));
        int announced = 0;
        while (announced < commitsToWait) {
            QVERIFY2(child.canReadLine() || child.waitForReadyRead(30000),
                     "rewrite child is silent");
            while (announced < commitsToWait && child.canReadLine())
                announced += child.readLine().startsWith("commit") ? 1 : 0;
        }
        QThread::usleep(random.bounded(50000));
        child.kill();
        QVERIFY(child.waitForFinished(30000));

        // A killed write leaves its lock file behind; the file itself stays whole.
        const QStringList leftovers =
            QDir::current().entryList({QStringLiteral("config.ini.*")}, QDir::Files | QDir::Hidden);
        killsDuringWrite += leftovers.isEmpty() ? 0 : 1;
        for (const QString &leftover : leftovers)
            QFile::remove(leftover);

        if (!QFile::exists(configIni)) {
            // Killed during the very first write: the previous content was no file at all.
            QCOMPARE(lastVersion, 0);
            continue;
        }
        const StoredSettings stored = storedSettings();
        QCOMPARE(stored.status, QSettings::NoError);
        const QString first = stored.values.value("/1/cmd");
        QCOMPARE(first.size(), 1000);
        const int version = first.section(QLatin1Char(':'), 0, 0).toInt();
        QVERIFY2(version >= lastVersion, "an older version came back");
        lastVersion = version;
        for (int n = 1; n <= 150; ++n) {
            QCOMPARE(stored.values.value(QStringLiteral("/%1/cmd").arg(n)), first);
            QCOMPARE(stored.values.value(QStringLiteral("/%1/select").arg(n)),
                     Keys::SwitchValue(version % 2 == 1));
        }
    }
    // Otherwise the kills never hit a write and the test proved nothing.
    QVERIFY(killsDuringWrite > 0);
}

// A child process changes the run count and presses the close button in the same breath; the
// change must reach "config.ini" although the event loop ends right after it.
void ConfigTest::changeRightBeforeCloseIsStored()
{
    runSelfAsChild(QStringLiteral("--change-close-child"));
    if (QTest::currentTestFailed())
        return;
    const StoredSettings stored = storedSettings();
    QCOMPARE(stored.status, QSettings::NoError);
    QCOMPARE(stored.values.value(Keys::RunTimes), QStringLiteral("42"));
}

namespace {

// The body of the change-and-close child, running the window's event loop as the program does.
int changeCloseChild()
{
    Widget w;
    w.show();
    QTimer::singleShot(0, &w, [&w] {
        control<QLineEdit>(&w, "lineEdit_RunTimes")->setText(QStringLiteral("42"));
        control<QPushButton>(&w, "btn_close")->click();
    });
    return QApplication::exec();
}

// The body of the rewrite child: version k sets every row's command to k, padded, and ticks
// every select box on odd versions; each version is committed on the way back to the event loop.
int rewriteChild()
{
    Widget w;
    // Continue from the version a killed predecessor left, so versions only grow.
    int version = cmdLineEditList[0]->text().section(QLatin1Char(':'), 0, 0).toInt();
    QTextStream out(stdout);
    for (;;) {
        ++version;
        const QString head = QString::number(version) + QLatin1Char(':');
        const QString cmd = head + QString(1000 - head.size(), QChar(u'中' + version % 64));
        for (int i = 0; i < 150; ++i) {
            cmdLineEditList[i]->setText(cmd);
            selectCheckBoxList[i]->setChecked(version % 2 == 1);
        }
        out << "commit " << version << Qt::endl;
        QCoreApplication::processEvents();
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    ConfigTest test;
    return runTestsOrChild(test, argc, argv,
                           {{QStringLiteral("--rewrite-child"), rewriteChild},
                            {QStringLiteral("--change-close-child"), changeCloseChild}});
}
#include "tst_config.moc"
