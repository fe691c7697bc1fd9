// The window on a 192-dpi screen: tests/CMakeLists.txt runs this test with QT_FONT_DPI=192, the
// density the platform would report for such a screen.
#include "app/startup.h"
#include "app/widget.h"
#include "support/child.h"
#include "support/gui.h"
#include "support/windowtest.h"
#include "support/windowtexts.h"

#include <QApplication>
#include <QDirIterator>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTextStream>
#include <QtTest>

namespace {

// Every visible named control's place and size in the window, one "name x y w h" line each.
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

class HighDpiTest : public WindowTest
{
    Q_OBJECT

private slots:
    void layoutIsThatOfA96DpiScreen();
    void imagesAtTwiceTheSize();
};

void HighDpiTest::layoutIsThatOfA96DpiScreen()
{
    QCOMPARE(qApp->devicePixelRatio(), 2.0);
    const QStringList cut = cutOffTexts(window);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral(", "))));

    QByteArray reference;
    runSelfAsChild(QStringLiteral("--layout-child"), &reference, {"QT_FONT_DPI=96"});
    const QStringList at96Dpi = QString::fromUtf8(reference).split('\n', Qt::SkipEmptyParts);
    QVERIFY(at96Dpi.size() > 200);
    QCOMPARE(layoutOf(window), at96Dpi);

    // At 150 % the factor rounds to 2 and the fonts follow the rounded factor, not the density.
    QByteArray at144Dpi;
    runSelfAsChild(QStringLiteral("--layout-child"), &at144Dpi, {"QT_FONT_DPI=144"});
    QCOMPARE(QString::fromUtf8(at144Dpi).split('\n', Qt::SkipEmptyParts), at96Dpi);
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

    for (const char *name : {"label_logo", "label_zoom"})
        QCOMPARE(get<QLabel>(name)->pixmap(Qt::ReturnByValue).devicePixelRatio(), 2.0);
    for (const char *name : {"btn_close", "btn_max", "btn_min", "btn_top", "pushButton_about",
                             "pushButton_expand_fold"}) {
        auto *button = get<QPushButton>(name);
        // At the application's ratio, which is the screen's.
        QCOMPARE(button->icon().pixmap(button->iconSize()).size(), button->iconSize() * 2);
    }

    qreal aboutRatio = 0;
    answerNextModalOf<QMessageBox>([&aboutRatio](QMessageBox *box) {
        aboutRatio = box->iconPixmap().devicePixelRatio();
        box->accept();
    });
    get<QPushButton>("pushButton_about")->click();
    QCOMPARE(aboutRatio, 2.0);
}

// Prints the layout of the window as a 96-dpi screen shows it.
int layoutChild()
{
    freshWorkingDirectory();
    Widget w;
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        return 1;
    QTextStream(stdout) << layoutOf(&w).join('\n') << '\n';
    return 0;
}

int main(int argc, char *argv[])
{
    EnableHighDpiScaling();
    QApplication app(argc, argv);
    QApplication::setFont(desktopFont());
    HighDpiTest test;
    return runTestsOrChild(test, argc, argv, {{QStringLiteral("--layout-child"), layoutChild}});
}
#include "tst_hidpi.moc"
