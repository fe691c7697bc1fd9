#include "app/widget.h"

#include "app/form/ui_widget.h"
#include "app/globals.h"
#include "config/keys.h"

#include <QSettings>

void Widget::LoadConfigFile(const QString &path)
{
    Q_UNUSED(path);
}
