#include "app/widget.h"

#include "app/form/ui_widget.h"
#include "app/globals.h"
#include "config/keys.h"

#include <QSettings>

void Widget::on_tabWidget_tabBarDoubleClicked(int index)
{
    Q_UNUSED(index);
}
