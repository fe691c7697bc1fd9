#include "config/globalsettings.h"

#include "app/globals.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSettings>

#include <algorithm>

namespace {

// A switch's control is a check box or a checkable action, which share no base with a check state.
bool IsChecked(const QObject *control)
{
    if (const auto *action = qobject_cast<const QAction *>(control))
        return action->isChecked();
    return qobject_cast<const QAbstractButton *>(control)->isChecked();
}

void SetChecked(QObject *control, bool on)
{
    if (auto *action = qobject_cast<QAction *>(control))
        action->setChecked(on);
    else
        qobject_cast<QAbstractButton *>(control)->setChecked(on);
}

} // namespace

QObject *SettingControl(const QObject *window, const GlobalSetting &setting)
{
    return window->findChild<QObject *>(QLatin1String(setting.control));
}

QString ShownValue(const GlobalSetting &setting, const QObject *control)
{
    if (setting.kind == SettingKind::Selector)
        return qobject_cast<const QComboBox *>(control)->currentText();
    if (setting.kind == SettingKind::Switch)
        return Keys::SwitchValue(IsChecked(control));
    if (setting.kind == SettingKind::Choice) {
        const QAction *checked = qobject_cast<const QActionGroup *>(control)->checkedAction();
        return checked ? checked->data().toString() : QString();
    }
    return qobject_cast<const QLineEdit *>(control)->text();
}

QString StoredValue(const QSettings &file, const GlobalSetting &setting)
{
    if (!file.contains(setting.key))
        return QString::fromLatin1(setting.defaultValue);
    return file.value(setting.key, QString()).toString();
}

void ShowStoredValue(const GlobalSetting &setting, QObject *control, const QString &stored)
{
    if (setting.kind == SettingKind::Selector) {
        if (!stored.isEmpty())
            qobject_cast<QComboBox *>(control)->setCurrentText(stored);
    } else if (setting.kind == SettingKind::Switch) {
        const bool on = stored == Keys::SwitchValue(true) ||
                        (stored != Keys::SwitchValue(false) &&
                         Keys::IsOn(QString::fromLatin1(setting.defaultValue)));
        SetChecked(control, on);
    } else if (setting.kind == SettingKind::Choice) {
        const QList<QAction *> actions = qobject_cast<QActionGroup *>(control)->actions();
        const auto chosen = std::find_if(actions.begin(), actions.end(), [&](QAction *action) {
            return action->data().toString() == stored;
        });
        (chosen != actions.end() ? *chosen : actions.first())->setChecked(true);
    } else {
        qobject_cast<QLineEdit *>(control)->setText(stored);
    }
}

void ShowDefaults(QObject *window)
{
    for (const GlobalSetting &setting : GlobalSettings) {
        if (setting.scope != SettingScope::ConfigIni)
            continue;
        QObject *control = SettingControl(window, setting);
        const QSignalBlocker blocker(control);
        ShowStoredValue(setting, control, QString::fromLatin1(setting.defaultValue));
    }
}

void StoreSetting(const QObject *control)
{
    const QString name = control->objectName();
    for (const GlobalSetting &setting : GlobalSettings) {
        if (name == QLatin1String(setting.control)) {
            settings->setValue(setting.key, ShownValue(setting, control));
            return;
        }
    }
}
