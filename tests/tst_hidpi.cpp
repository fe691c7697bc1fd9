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
#include <QGlyphRun>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRawFont>
#include <QTextLayout>
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

// The layout the window has on a screen of `dpi`, from a child started for it.
QStringList layoutAt(int dpi)
{
    QByteArray layout;
    runSelfAsChild(QStringLiteral("--layout-child"), &layout,
                   {QStringLiteral("QT_FONT_DPI=%1").arg(dpi)});
    return QString::fromUtf8(layout).split('\n', Qt::SkipEmptyParts);
}

// The fonts the window's texts are drawn in: the desktop's and the form's, and the one their
// Chinese characters fall back to.
QString fontsDrawn()
{
    QStringList families;
    for (const QFont &font : {desktopFont(), QFont(QStringLiteral("微软雅黑"), 9)}) {
        QTextLayout layout(QStringLiteral("Port 端口号"), font);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        for (const QGlyphRun &run : layout.glyphRuns())
            families << run.rawFont().familyName();
    }
    families.removeDuplicates();
    families.sort();
    return families.join(QStringLiteral(", "));
}

} // namespace

class HighDpiTest : public WindowTest
{
    Q_OBJECT

private slots:
    void layoutIsThatOfA96DpiScreen();
    void layoutAt96DpiIsQt5s();
    void imagesAtTwiceTheSize();
};

void HighDpiTest::layoutIsThatOfA96DpiScreen()
{
    QCOMPARE(qApp->devicePixelRatio(), 2.0);
    const QStringList cut = cutOffTexts(window);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral(", "))));

    const QStringList at96Dpi = layoutAt(96);
    QVERIFY(at96Dpi.size() > 200);
    QCOMPARE(layoutOf(window), at96Dpi);

    // At 150 % the factor rounds to 2 and the fonts follow the rounded factor, not the density.
    QCOMPARE(layoutAt(144), at96Dpi);
}

// Qt 6 sizes a line of text by other metrics than Qt 5; both builds lay the window out as the Qt 5
// build did when the table was taken.
void HighDpiTest::layoutAt96DpiIsQt5s()
{
    QFile file(QStringLiteral(SERMORA_HIDPI_LAYOUT));
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    QString fonts;
    QStringList stored;
    QSet<QString> names;
    for (const QString &line : QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts)) {
        if (line.startsWith(QLatin1String("fonts ")))
            fonts = line.mid(6);
        else if (!line.startsWith('#'))
            stored << line;
        names << line.section(' ', 0, 0);
    }
    if (fontsDrawn() != fonts)
        QSKIP(qPrintable(QStringLiteral("the table was taken with %1, the texts are drawn in %2")
                             .arg(fonts, fontsDrawn())));

    QStringList shown;
    for (const QString &line : layoutAt(96))
        if (names.contains(line.section(' ', 0, 0)))
            shown << line;
    QCOMPARE(shown, stored);
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
