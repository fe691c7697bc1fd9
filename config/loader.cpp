#include "app/widget.h"

#include "app/counts.h"
#include "app/form/ui_widget.h"
#include "app/globals.h"
#include "config/globalsettings.h"
#include "config/inicheck.h"
#include "config/keys.h"
#include "config/rowstore.h"

#include <QSettings>

bool Widget::LoadConfigFile(const QString &path)
{
    // Refused before the settings class opens it: it decodes the whole file on opening, and a
    // crafted serialised value can bring the process down. A file that cannot be opened is
    // refused too: read as empty it would clear every row, here and in "config.ini".
    if (HoldsSerializedValues(path))
        return false;
    // A reader of its own: the store keeps collecting the handlers' write-back meanwhile.
    const QSettings file(path, QSettings::IniFormat);
    if (file.status() == QSettings::AccessError)
        return false;
    const auto text = [&file](const QString &key) { return file.value(key, QString()).toString(); };

    // The line parameters and switches belong to this installation: only "config.ini" sets them.
    const bool configIni = path == QLatin1String("config.ini");
    for (const GlobalSetting &setting : GlobalSettings) {
        if (configIni || setting.scope == SettingScope::EveryFile)
            ShowStoredValue(setting, SettingControl(this, setting), StoredValue(file, setting));
    }

    for (int page = 0; page < PageCount; ++page) {
        const QString name = text(Keys::TabNameKey(page));
        if (!name.isEmpty())
            ui->tabWidget->setTabText(page, name);
    }

    const StoredRows rows = ReadRows(file);
    for (int row = 1; row <= RowCount; ++row)
        ShowRow(row, rows[row - 1]);
    return true;
}
