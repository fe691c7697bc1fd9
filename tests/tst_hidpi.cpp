// The window on a 192-dpi screen: tests/CMakeLists.txt runs this test with QT_FONT_DPI=192, the
// density the platform would report for such a screen.
#include "app/startup.h"
#include "app/widget.h"
#include "support/gui.h"
#include "support/textfit.h"

#include <QApplication>
#include <QDirIterator>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTextStream>
#include <QtTest>

namespace {

// Every named control's place and size in the window, one "name x y w h" line each.
QStringList layoutOf(QWidget *window)
{
    QStringList lines;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (w->objectName().isEmpty() || !w->isVisible())
            continue;
        const QPoint at = w->mapTo(window, QPoint(0, 0));
        lines << QStringLiteral("%1 %2 %3 %4 %5")
                     .arg(w->objectName())
                     .arg(at.x())
                     .arg(at.y())
                     .arg(w->width())
                     .arg(w->height());
    }
    lines.sort();
    return lines;
}

} // namespace

class HighDpiTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { freshWorkingDirectory(); }

    void layoutIsThatOfA96DpiScreen();
    void imagesAtTwiceTheSize();
};

void HighDpiTest::layoutIsThatOfA96DpiScreen()
{
    QCOMPARE(qApp->devicePixelRatio(), 2.0);
    Widget w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QStringList cut = cutOffTexts(&w);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral(", "))));

    // The same window on a 96-dpi screen, drawn by a child process.
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_FONT_DPI"), QStringLiteral("96"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--layout-child")});
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitCode(), 0);
    const QStringList reference =
        QString::fromUtf8(child.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    QVERIFY(reference.size() > 200);
    QCOMPARE(layoutOf(&w), reference);
}

void HighDpiTest::imagesAtTwiceTheSize()
{
    for (QDirIterator it(QStringLiteral(":/image"), QDirIterator::Subdirectories); it.hasNext();) {
        const QString path = it.next();
        if (path.contains(QLatin1String("@2x")) || QFileInfo(path).isDir())
            continue;
        const int dot = path.lastIndexOf('.');
        const QString twice = path.left(dot) + QStringLiteral("@2x") + path.mid(dot);
        QVERIFY2(QFile::exists(twice), qPrintable(twice));
        QCOMPARE(QImage(twice).size(), QImage(path).size() * 2);
    }

    Widget w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    for (const char *name : {"label_logo", "label_zoom"})
        QCOMPARE(control<QLabel>(&w, QString::fromLatin1(name))
                     ->pixmap(Qt::ReturnByValue)
                     .devicePixelRatio(),
                 2.0);
    for (const char *name : {"btn_close", "btn_max", "btn_min", "btn_top", "pushButton_about",
                             "pushButton_expand_fold"}) {
        auto *button = control<QPushButton>(&w, QString::fromLatin1(name));
        QCOMPARE(button->icon().pixmap(w.windowHandle(), button->iconSize()).size(),
                 button->iconSize() * 2);
    }

    qreal aboutRatio = 0;
    answerNextModal([&aboutRatio](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        aboutRatio = box->iconPixmap().devicePixelRatio();
        box->accept();
    });
    control<QPushButton>(&w, QStringLiteral("pushButton_about"))->click();
    QCOMPARE(aboutRatio, 2.0);
}

int main(int argc, char *argv[])
{
    EnableHighDpiScaling();
    QApplication app(argc, argv);
    QApplication::setFont(desktopFont());
    if (app.arguments().contains(QStringLiteral("--layout-child"))) {
        freshWorkingDirectory();
        Widget w;
        w.show();
        if (!QTest::qWaitForWindowExposed(&w))
            return 1;
        QTextStream(stdout) << layoutOf(&w).join('\n') << '\n';
        return 0;
    }
    HighDpiTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_hidpi.moc"
