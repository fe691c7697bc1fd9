#include "app/widget.h"

#include "app/form/ui_widget.h"
#include "app/globals.h"
#include "config/keys.h"

#include <QSettings>

void Widget::on_pushButton_clearAllConfMsg_clicked() {}

void Widget::on_pushButton_loadConfingFile_clicked() {}

void Widget::on_pushButton_saveConfigFile_clicked() {}
