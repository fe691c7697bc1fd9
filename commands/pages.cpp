#include "app/widget.h"

#include "app/form/ui_widget.h"
#include "app/globals.h"
#include "app/texts.h"
#include "config/keys.h"

#include <QInputDialog>
#include <QSettings>

void Widget::on_tabWidget_tabBarDoubleClicked(int index)
{
    // A double-click beside the tabs names no page.
    if (index < 0)
        return;
    bool confirmed = false;
    const QString name =
        QInputDialog::getText(nullptr, Texts::NamePageTitle(), Texts::NamePageLabel(),
                              QLineEdit::Normal, QString(), &confirmed);
    if (!confirmed || name.isEmpty())
        return;
    ui->tabWidget->setTabText(index, name);
    settings->setValue(Keys::TabNameKey(index), name);
}
