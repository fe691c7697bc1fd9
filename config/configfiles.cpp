#include "app/widget.h"

#include "app/counts.h"
#include "app/form/ui_widget.h"
#include "app/globals.h"
#include "app/qtcompat.h"
#include "app/texts.h"
#include "app/warning.h"
#include "config/filenames.h"
#include "config/globalsettings.h"
#include "config/inicheck.h"
#include "config/keys.h"
#include "config/rowstore.h"

#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>

void Widget::on_pushButton_clearAllConfMsg_clicked()
{
    // Every change goes through the controls' own handlers, so "config.ini" follows.
    for (int row = 1; row <= RowCount; ++row)
        ShowRow(row, RowValues());
    for (const GlobalSetting &setting : GlobalSettings) {
        if (setting.scope == SettingScope::EveryFile)
            ShowStoredValue(setting, SettingControl(this, setting),
                            QString::fromLatin1(setting.defaultValue));
    }
}

void Widget::on_pushButton_loadConfingFile_clicked()
{
    const QString path = QFileDialog::getOpenFileName(
        this, Texts::LoadConfigTitle(), QStringLiteral("./userConfig/"), Texts::ConfigFilter());
    if (path.isEmpty() || LoadConfigFile(path))
        return;
    ShowWarning(QFileInfo(path).isReadable() ? Texts::ConfigNotRecognised()
                                             : Texts::ConfigNotReadable());
}

void Widget::on_pushButton_saveConfigFile_clicked()
{
    const QString path = QFileDialog::getSaveFileName(
        this, Texts::SaveConfigTitle(), FileNames::ProposedConfigFile(QDateTime::currentDateTime()),
        Texts::ConfigFilter());
    if (path.isEmpty())
        return;
    // The settings class would create the missing folders; the program never does.
    // Opening a file with serialised values would decode them; such a file is not ours to merge.
    if (!QFileInfo(path).dir().exists() || HoldsSerializedValues(path)) {
        ShowWarning(Texts::SaveConfigFailed());
        return;
    }

    // Keys already in the file and not written here stay as they were.
    QSettings file(path, QSettings::IniFormat);
    KeepQt5IniForm(file);
    for (int page = 0; page < PageCount; ++page)
        file.setValue(Keys::TabNameKey(page), ui->tabWidget->tabText(page));
    for (const GlobalSetting &setting : GlobalSettings) {
        if (setting.scope == SettingScope::EveryFile)
            file.setValue(setting.key, ShownValue(setting, SettingControl(this, setting)));
    }
    StoredRows rows;
    for (int row = 1; row <= RowCount; ++row)
        rows.append(ShownRow(row));
    WriteRows(file, rows);

    // Written now rather than on the way back to the event loop, so a failure can be reported.
    // A format error only means the old content could not be parsed; the new keys were written.
    file.sync();
    if (file.status() == QSettings::AccessError)
        ShowWarning(Texts::SaveConfigFailed());
}
