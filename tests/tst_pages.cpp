#include "app/widget.h"
#include "support/gui.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// What the naming dialog looked like when it came up.
struct NamingDialogSeen
{
    bool shown = false;
    QString title;
    QString label;
    QString initialText;
    QLineEdit::EchoMode echo = QLineEdit::Password;
    bool hasParent = true;
};

// Answers the next naming dialog: types `text` into it, then presses OK or Cancel.
std::shared_ptr<NamingDialogSeen> answerNaming(const QString &text, bool confirm)
{
    auto seen = std::make_shared<NamingDialogSeen>();
    answerNextModal([seen, text, confirm](QWidget *modal) {
        auto *dialog = qobject_cast<QInputDialog *>(modal);
        if (!dialog) {
            modal->close();
            return;
        }
        seen->shown = true;
        seen->title = dialog->windowTitle();
        seen->label = dialog->labelText();
        seen->initialText = dialog->textValue();
        seen->echo = dialog->textEchoMode();
        seen->hasParent = dialog->parentWidget() != nullptr;
        dialog->findChild<QLineEdit *>()->insert(text);
        auto *buttons = dialog->findChild<QDialogButtonBox *>();
        buttons->button(confirm ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
    });
    return seen;
}

// A real double-click on the tab of `page`.
void doubleClickTab(QWidget *window, int page)
{
    QTabBar *bar = window->findChild<QTabWidget *>(QStringLiteral("tabWidget"))->tabBar();
    QTest::mouseDClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(page).center());
}

QString tabText(QWidget *window, int page)
{
    return window->findChild<QTabWidget *>(QStringLiteral("tabWidget"))->tabText(page);
}

// "config.ini" on disk, read from a copy so no unsaved changes of this process leak in.
QString storedName(int page)
{
    QCoreApplication::processEvents();
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("copy.ini"));
    if (!QFile::copy(QStringLiteral("config.ini"), copy))
        return QStringLiteral("<no file>");
    return QSettings(copy, QSettings::IniFormat)
        .value(QStringLiteral("/TabName/%1").arg(page), QStringLiteral("<absent>"))
        .toString();
}

} // namespace

class PagesTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { freshWorkingDirectory(); }

    void naming_data();
    void naming();
    void doubleClickBesideTheTabsIsIgnored();
};

void PagesTest::naming_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<QString>("shown");

    // Page 2 is named "先前" first; each row then opens the dialog once more.
    QTest::newRow("Chinese name") << "调试 AT 指令" << true << "调试 AT 指令";
    QTest::newRow("one space") << " " << true << " ";
    QTest::newRow("spaces kept, INI characters") << "  a,b;c=\"d\"  " << true << "  a,b;c=\"d\"  ";
    QTest::newRow("empty") << "" << true << "先前";
    QTest::newRow("cancel") << "typed" << false << "先前";
}

void PagesTest::naming()
{
    QFETCH(QString, typed);
    QFETCH(bool, confirm);
    QFETCH(QString, shown);
    {
        Widget w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto first = answerNaming(QStringLiteral("先前"), true);
        doubleClickTab(&w, 2);
        QVERIFY(first->shown);
        QCOMPARE(first->title, QStringLiteral("设置标签名称"));
        QCOMPARE(first->label, QStringLiteral("输出名称："));
        QCOMPARE(first->echo, QLineEdit::Normal);
        QCOMPARE(first->initialText, QString());
        QVERIFY(!first->hasParent);
        QCOMPARE(tabText(&w, 2), QStringLiteral("先前"));

        auto second = answerNaming(typed, confirm);
        doubleClickTab(&w, 2);
        QVERIFY(second->shown);
        // The current caption is not offered for editing.
        QCOMPARE(second->initialText, QString());
        QCOMPARE(tabText(&w, 2), shown);
        QCOMPARE(storedName(2), shown);
        for (int p : {0, 1, 3, 4, 5})
            QCOMPARE(tabText(&w, p), QStringLiteral("Page%1").arg(p));
    }
    Widget again;
    QCOMPARE(tabText(&again, 2), shown);
}

void PagesTest::doubleClickBesideTheTabsIsIgnored()
{
    Widget w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    // Runs inside the dialog's event loop if one opens, or right after the signal otherwise.
    QString opened;
    QTimer::singleShot(0, &w, [&opened] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            opened = QString::fromLatin1(modal->metaObject()->className());
            modal->close();
        }
    });
    emit w.findChild<QTabWidget *>(QStringLiteral("tabWidget"))->tabBarDoubleClicked(-1);
    QCoreApplication::processEvents();
    QCOMPARE(opened, QString());
    for (int p = 0; p < 6; ++p)
        QCOMPARE(tabText(&w, p), QStringLiteral("Page%1").arg(p));
    QVERIFY(!QFile::exists(QStringLiteral("config.ini")));
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    PagesTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_pages.moc"
