#include "app/widget.h"

#include "app/form/ui_widget.h"
#include "serial/consolemodel.h"
#include "serial/keyfilter.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBrowser>

#include <algorithm>

namespace {

// The controls' height with the bar hidden, and what the bar adds: the console gives up a row.
constexpr int ControlsHeight = 160;
constexpr int FindBarHeight = 40;

// More highlights than a screen holds would only cost time in a console full of matches.
constexpr int MaxHighlights = 4000;

} // namespace

void Widget::SetUpFindBar()
{
    auto *find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, &Widget::OpenFindBar);
    const auto step = [this](const QKeySequence &keys, bool forward) {
        auto *shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, [this, forward] {
            if (ui->widget_findBar->isVisible())
                FindStep(forward);
        });
    };
    step(QKeySequence(Qt::Key_F3), true);
    step(QKeySequence(Qt::SHIFT | Qt::Key_F3), false);

    new KeyFilter(ui->lineEdit_find, [this](QKeyEvent *key) {
        if (key->key() == Qt::Key_Escape) {
            CloseFindBar();
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            FindStep(!(key->modifiers() & Qt::ShiftModifier));
            return true;
        }
        return false;
    });
    connect(ui->lineEdit_find, &QLineEdit::textChanged, this, &Widget::RestartFind);
    connect(ui->checkBox_find_case, &QCheckBox::toggled, this, &Widget::RestartFind);
    connect(ui->pushButton_find_next, &QPushButton::clicked, this, [this] { FindStep(true); });
    connect(ui->pushButton_find_previous, &QPushButton::clicked, this, [this] { FindStep(false); });

    connect(console, &ConsoleModel::partShown, this, &Widget::FollowConsole);
    connect(console, &ConsoleModel::frontDropped, this, [this](int count) {
        if (!ui->widget_findBar->isVisible())
            return;
        finder.dropFront(count);
        ShowMatches();
    });
    connect(console, &ConsoleModel::replaced, this, [this] {
        if (ui->widget_findBar->isVisible())
            RestartFind();
    });
    connect(ui->textBrowser->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (ui->widget_findBar->isVisible())
            ShowMatches();
    });
}

void Widget::OpenFindBar()
{
    if (!ui->widget_findBar->isVisible()) {
        ui->widget_findBar->parentWidget()->setFixedHeight(ControlsHeight + FindBarHeight);
        ui->widget_findBar->show();
        RestartFind();
    }
    ui->lineEdit_find->setFocus();
    ui->lineEdit_find->selectAll();
}

void Widget::CloseFindBar()
{
    ui->widget_findBar->hide();
    ui->widget_findBar->parentWidget()->setFixedHeight(ControlsHeight);
    finder.setNeedle(QString(), Qt::CaseSensitive);
    ui->textBrowser->setExtraSelections({});
    ui->lineEdit_main_cmd->setFocus();
}

void Widget::RestartFind()
{
    if (!ui->widget_findBar->isVisible())
        return;
    finder.setNeedle(ui->lineEdit_find->text(),
                     ui->checkBox_find_case->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive);
    if (finder.needleLength() > 0)
        finder.append(console->consoleView().textFrom(0));
    // The first match from the top of the view on.
    finder.selectFrom(ui->textBrowser->cursorForPosition(QPoint(0, 0)).position());
    ScrollToCurrentMatch();
    ShowMatches();
}

void Widget::FollowConsole()
{
    if (!ui->widget_findBar->isVisible() || finder.needleLength() == 0)
        return;
    const int length = console->consoleView().length();
    if (finder.textLength() > length) {
        RestartFind();
        return;
    }
    finder.append(console->consoleView().textFrom(finder.textLength()));
    ShowMatches();
}

void Widget::FindStep(bool forward)
{
    if (forward)
        finder.next();
    else
        finder.previous();
    ScrollToCurrentMatch();
    ShowMatches();
}

void Widget::ScrollToCurrentMatch()
{
    if (finder.current() < 0)
        return;
    // Showing a match stops the console following new output, or the next chunk would take it
    // away again.
    SetPaused(true);
    QTextCursor cursor(ui->textBrowser->document());
    cursor.setPosition(finder.matches().at(finder.current()));
    ui->textBrowser->setTextCursor(cursor);
    ui->textBrowser->ensureCursorVisible();
}

void Widget::ShowMatches()
{
    ui->label_find_count->setText(finder.countText());
    QTextBrowser *view = ui->textBrowser;
    const QVector<int> &matches = finder.matches();
    const int first = view->cursorForPosition(QPoint(0, 0)).position() - finder.needleLength();
    const int last =
        view->cursorForPosition(QPoint(view->viewport()->width(), view->viewport()->height()))
            .position();
    QTextCharFormat other;
    other.setBackground(QColor(0xff, 0xee, 0x80));
    QTextCharFormat current;
    current.setBackground(QColor(0xff, 0x96, 0x32));
    QList<QTextEdit::ExtraSelection> highlights;
    const auto highlight = [&](int index, const QTextCharFormat &format) {
        QTextCursor cursor(view->document());
        cursor.setPosition(matches.at(index));
        cursor.setPosition(matches.at(index) + finder.needleLength(), QTextCursor::KeepAnchor);
        highlights.append({cursor, format});
    };
    for (auto at = std::lower_bound(matches.begin(), matches.end(), first);
         at != matches.end() && *at <= last && highlights.size() < MaxHighlights; ++at) {
        const int index = int(at - matches.begin());
        if (index != finder.current())
            highlight(index, other);
    }
    if (finder.current() >= 0)
        highlight(finder.current(), current);
    view->setExtraSelections(highlights);
}
