#include "app/widget.h"
#include "support/configfile.h"
#include "support/gui.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

namespace {

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

// The page's name in "config.ini" on disk.
QString storedName(int page)
{
    return storedSettings().values.value(QStringLiteral("/TabName/%1").arg(page),
                                         QStringLiteral("<absent>"));
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
        auto first = answerNextInputDialog(QStringLiteral("先前"), true);
        doubleClickTab(&w, 2);
        QVERIFY(first->shown);
        QCOMPARE(first->title, QStringLiteral("设置标签名称"));
        QCOMPARE(first->label, QStringLiteral("输出名称："));
        QCOMPARE(first->echo, QLineEdit::Normal);
        QCOMPARE(first->initialText, QString());
        QVERIFY(!first->hasParent);
        QCOMPARE(tabText(&w, 2), QStringLiteral("先前"));

        auto second = answerNextInputDialog(typed, confirm);
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
