#include "app/widget.h"

#include "app/form/ui_widget.h"
#include "app/texts.h"
#include "config/globalsettings.h"

#include <QAction>
#include <QMenu>

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
}

void Widget::on_textBrowser_customContextMenuRequested(const QPoint &pos)
{
    // The toolkit's own entries (copy, select all), then the options.
    QMenu *menu = ui->textBrowser->createStandardContextMenu();
    menu->addSeparator();
    menu->addAction(ansiColoursAction);
    menu->addAction(autoReopenAction);
    menu->exec(ui->textBrowser->viewport()->mapToGlobal(pos));
    delete menu;
}
