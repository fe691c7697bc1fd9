#include "app/widget.h"

#include "app/counts.h"
#include "app/form/ui_widget.h"
#include "app/globals.h"
#include "config/inicheck.h"
#include "config/keys.h"
#include "config/rowstore.h"

#include <QAction>
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

    if (path == QLatin1String("config.ini")) {
        // The port itself is not stored.
        for (const auto &selector : PortSelectors()) {
            const QString value = selector.second.isEmpty() ? QString() : text(selector.second);
            if (!value.isEmpty())
                selector.first->setCurrentText(value);
        }
        const QList<QPair<QString, QCheckBox *>> switches = {
            {Keys::ShowInHex, ui->checkBox_ShowHex},
            {Keys::ShowTime, ui->checkBox_Timestamp},
            {Keys::SendHex, ui->checkBox_CmdHexSend},
            {Keys::SendWithEnter, ui->checkBox_CmdWithEnter},
        };
        for (const auto &box : switches)
            box.second->setChecked(Keys::IsOn(text(box.first)));
        const QList<QPair<QString, QAction *>> options = {
            {Keys::AnsiColours, ansiColoursAction},
            {Keys::AutoReopen, autoReopenAction},
        };
        for (const auto &option : options)
            option.second->setChecked(Keys::IsOn(text(option.first)));
    }

    ui->lineEdit_RunTimes->setText(text(Keys::RunTimes));
    ui->lineEdit_Interval->setText(text(Keys::Interval));

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
