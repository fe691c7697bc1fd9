#include "app/widget.h"

#include "app/form/ui_widget.h"
#include "app/globals.h"
#include "app/texts.h"
#include "app/warning.h"
#include "config/globalsettings.h"
#include "serial/hexcodec.h"
#include "serial/keyfilter.h"
#include "serial/port.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QSettings>

namespace {

void WarnNoPort()
{
    ShowWarning(Texts::SendWithoutPort());
}

} // namespace

void Widget::_KESTO_UartSend(QString data, bool hexSend, bool withEnter)
{
    if (!serialPort) {
        WarnNoPort();
        return;
    }
    if (data.isEmpty())
        return;

    const QByteArray bytes =
        hexSend ? EncodeHexCommand(data) : EncodeTextCommand(data, withEnter, lineEnding);
    WriteToPort(bytes);
    if (ui->checkBox_sendlog_record->isChecked())
        ShowData(bytes, false);
}

void Widget::on_pushButton_main_cmd_send_clicked()
{
    const QString command = ui->lineEdit_main_cmd->text();
    if (serialPort && !command.isEmpty()) {
        CommandHistory &history = HistoryShown();
        history.add(command);
        settings->setValue(&history == &hexHistory ? HexHistoryKey : TextHistoryKey,
                           history.stored());
    }
    _KESTO_UartSend(command, ui->checkBox_CmdHexSend->isChecked(),
                    ui->checkBox_CmdWithEnter->isChecked());
}

CommandHistory &Widget::HistoryShown()
{
    return ui->checkBox_CmdHexSend->isChecked() ? hexHistory : textHistory;
}

void Widget::SetUpCommandLine()
{
    textHistory.restore(settings->value(TextHistoryKey));
    hexHistory.restore(settings->value(HexHistoryKey));
    new KeyFilter(ui->lineEdit_main_cmd, [this](QKeyEvent *key) {
        if (key->modifiers() != Qt::NoModifier && key->modifiers() != Qt::KeypadModifier)
            return false;
        std::optional<QString> shown;
        if (key->key() == Qt::Key_Up)
            shown = HistoryShown().older(ui->lineEdit_main_cmd->text());
        else if (key->key() == Qt::Key_Down)
            shown = HistoryShown().newer();
        else
            return false;
        if (shown)
            ui->lineEdit_main_cmd->setText(*shown);
        return true;
    });

    // Named like the form's controls: GlobalSettings stores the checked choice by this name.
    lineEndingGroup = new QActionGroup(this);
    lineEndingGroup->setObjectName(QStringLiteral("actionGroup_lineEnding"));
    for (LineEnding ending : {LineEnding::CrLf, LineEnding::Cr, LineEnding::Lf}) {
        auto *action = new QAction(LineEndingName(ending), lineEndingGroup);
        action->setCheckable(true);
        action->setData(LineEndingStoredText(ending));
        action->setChecked(ending == LineEnding::CrLf);
        connect(action, &QAction::toggled, this, [this, ending](bool on) {
            if (!on)
                return;
            SetLineEnding(ending);
            StoreSetting(lineEndingGroup);
        });
    }
    SetLineEnding(LineEnding::CrLf);
    ui->checkBox_CmdWithEnter->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->checkBox_CmdWithEnter, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) {
                QMenu menu;
                menu.addActions(lineEndingGroup->actions());
                menu.exec(ui->checkBox_CmdWithEnter->mapToGlobal(pos));
            });
}

void Widget::SetLineEnding(LineEnding ending)
{
    lineEnding = ending;
    ui->checkBox_CmdWithEnter->setToolTip(Texts::LineEndingToolTip(LineEndingName(ending)));
}

void Widget::on_lineEdit_main_cmd_returnPressed()
{
    on_pushButton_main_cmd_send_clicked();
}

void Widget::on_pushButton_send_ctrlz_clicked()
{
    if (!serialPort) {
        WarnNoPort();
        return;
    }
    WriteToPort(QByteArray(1, '\x1A'));
}

qint64 Widget::WriteToPort(const QByteArray &bytes)
{
    const qint64 written = serialPort->write(bytes);
    if (written > 0) {
        bytesSent += written;
        CountsChanged();
    }
    return written;
}

void Widget::on_checkBox_CmdHexSend_stateChanged(int)
{
    StoreSetting(ui->checkBox_CmdHexSend);
}

void Widget::on_checkBox_CmdWithEnter_stateChanged(int)
{
    StoreSetting(ui->checkBox_CmdWithEnter);
}
