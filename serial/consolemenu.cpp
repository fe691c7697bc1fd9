#include "app/widget.h"

#include "app/form/ui_widget.h"
#include "app/texts.h"
#include "config/globalsettings.h"
#include "serial/consolemodel.h"

#include <QAction>
#include <QMenu>
#include <QScrollBar>
#include <QTextBrowser>

void Widget::SetUpConsoleMenu()
{
    // Named like the form's controls, so that they are found whatever language the texts are in;
    // GlobalSettings knows them by these names.
    const auto option = [this](const char *name, const QString &text) {
        auto *action = new QAction(text, this);
        action->setObjectName(QLatin1String(name));
        action->setCheckable(true);
        connect(action, &QAction::toggled, this, [action] { StoreSetting(action); });
        return action;
    };
    ansiColoursAction = option("action_ansiColours", Texts::AnsiColoursOption());
    autoReopenAction = option("action_autoReopen", Texts::AutoReopenOption());
    ui->textBrowser->setContextMenuPolicy(Qt::CustomContextMenu);

    findAction = new QAction(Texts::FindOption(), this);
    findAction->setObjectName(QStringLiteral("action_find"));
    connect(findAction, &QAction::triggered, this, &Widget::OpenFindBar);
    pauseAction = new QAction(Texts::PauseOption(), this);
    pauseAction->setObjectName(QStringLiteral("action_pauseScrolling"));
    pauseAction->setCheckable(true);
    connect(pauseAction, &QAction::toggled, this, &Widget::SetPaused);
    // Only the user's own scrolling decides: the console's following moves the bar too.
    QScrollBar *bar = ui->textBrowser->verticalScrollBar();
    connect(bar, &QScrollBar::actionTriggered, this,
            [this, bar] { SetPaused(bar->sliderPosition() < bar->maximum()); });
}

void Widget::SetPaused(bool on)
{
    if (on == console->isPaused())
        return;
    console->setPaused(on);
    pauseAction->setChecked(on);
    if (!on)
        ui->textBrowser->moveCursor(QTextCursor::End);
}

void Widget::on_textBrowser_customContextMenuRequested(const QPoint &pos)
{
    // Finding and pausing first, then the toolkit's own entries (copy, select all), then the
    // options.
    QMenu *menu = ui->textBrowser->createStandardContextMenu();
    QAction *first = menu->actions().value(0);
    menu->insertAction(first, findAction);
    menu->insertAction(first, pauseAction);
    menu->insertSeparator(first);
    menu->addSeparator();
    menu->addAction(ansiColoursAction);
    menu->addAction(autoReopenAction);
    menu->exec(ui->textBrowser->viewport()->mapToGlobal(pos));
    delete menu;
}
