#include "app/widget.h"

#include "app/counts.h"
#include "app/form/ui_widget.h"
#include "app/globals.h"
#include "commands/rowcolumns.h"
#include "commands/rowname.h"
#include "serial/trace.h"

#include <QSettings>
#include <optional>

namespace {

// The row number of the control that emitted the signal being handled, traced by slot name.
int SenderRow(QObject *sender, const char *slot)
{
    const QString name = sender ? sender->objectName() : QString();
    qCDebug(RowTrace).noquote() << slot << name;
    return RowIndexFromName(name);
}

// Stores what the row control that emitted the signal being handled shows, under its key.
void StoreSenderValue(QObject *sender, const char *slot)
{
    const int row = SenderRow(sender, slot);
    if (row < 1 || row > RowCount)
        return;
    for (const RowColumn &column : RowColumns) {
        QObject *control = column.boxes ? static_cast<QObject *>(column.boxes->at(row - 1))
                                        : column.fields->at(row - 1);
        if (control == sender) {
            settings->setValue(RowKey(row, column), ShownValue(row, column));
            return;
        }
    }
}

// What sending one row hands to the send routine: its text with its own hex and enter boxes.
struct RowCommand
{
    QString text;
    bool hex;
    bool enter;
};

std::optional<RowCommand> CommandOfRow(int row)
{
    if (row < 1 || row > RowCount)
        return std::nullopt;
    return RowCommand{cmdLineEditList[row - 1]->text(), hexCheckBoxList[row - 1]->isChecked(),
                      enterCheckBoxList[row - 1]->isChecked()};
}

} // namespace

void Widget::OnSelectCheckboxListStateChanged()
{
    StoreSenderValue(sender(), __func__);
}

void Widget::OnHexCheckboxListStateChanged()
{
    StoreSenderValue(sender(), __func__);
}

void Widget::OnEnterCheckboxListStateChanged()
{
    StoreSenderValue(sender(), __func__);
}

void Widget::OnCmdLineListEditingFinished()
{
    StoreSenderValue(sender(), __func__);
}

void Widget::OnDelayLineListEditingFinished()
{
    StoreSenderValue(sender(), __func__);
}

void Widget::OnCmdLineListReturnPressed()
{
    if (const auto command = CommandOfRow(SenderRow(sender(), __func__)))
        _KESTO_UartSend(command->text, command->hex, command->enter);
}

void Widget::OnSendBtnListClicked()
{
    if (const auto command = CommandOfRow(SenderRow(sender(), __func__)))
        _KESTO_UartSend(command->text, command->hex, command->enter);
}

void Widget::SetPageColumn(QList<QCheckBox *> &column, int page, int state)
{
    for (int i = page * RowsPerPage; i < (page + 1) * RowsPerPage; ++i)
        column[i]->setChecked(state != 0);
}

void Widget::on_checkBox_p0_CmdSelectAll_stateChanged(int arg1)
{
    SetPageColumn(selectCheckBoxList, 0, arg1);
}
void Widget::on_checkBox_p1_CmdSelectAll_stateChanged(int arg1)
{
    SetPageColumn(selectCheckBoxList, 1, arg1);
}
void Widget::on_checkBox_p2_CmdSelectAll_stateChanged(int arg1)
{
    SetPageColumn(selectCheckBoxList, 2, arg1);
}
void Widget::on_checkBox_p3_CmdSelectAll_stateChanged(int arg1)
{
    SetPageColumn(selectCheckBoxList, 3, arg1);
}
void Widget::on_checkBox_p4_CmdSelectAll_stateChanged(int arg1)
{
    SetPageColumn(selectCheckBoxList, 4, arg1);
}
void Widget::on_checkBox_p5_CmdSelectAll_stateChanged(int arg1)
{
    SetPageColumn(selectCheckBoxList, 5, arg1);
}
void Widget::on_checkBox_p0_hexSelectAll_stateChanged(int arg1)
{
    SetPageColumn(hexCheckBoxList, 0, arg1);
}
void Widget::on_checkBox_p1_hexSelectAll_stateChanged(int arg1)
{
    SetPageColumn(hexCheckBoxList, 1, arg1);
}
void Widget::on_checkBox_p2_hexSelectAll_stateChanged(int arg1)
{
    SetPageColumn(hexCheckBoxList, 2, arg1);
}
void Widget::on_checkBox_p3_hexSelectAll_stateChanged(int arg1)
{
    SetPageColumn(hexCheckBoxList, 3, arg1);
}
void Widget::on_checkBox_p4_hexSelectAll_stateChanged(int arg1)
{
    SetPageColumn(hexCheckBoxList, 4, arg1);
}
void Widget::on_checkBox_p5_hexSelectAll_stateChanged(int arg1)
{
    SetPageColumn(hexCheckBoxList, 5, arg1);
}
void Widget::on_checkBox_p0_EnterSeledtAll_stateChanged(int arg1)
{
    SetPageColumn(enterCheckBoxList, 0, arg1);
}
void Widget::on_checkBox_p1_EnterSeledtAll_stateChanged(int arg1)
{
    SetPageColumn(enterCheckBoxList, 1, arg1);
}
void Widget::on_checkBox_p2_EnterSeledtAll_stateChanged(int arg1)
{
    SetPageColumn(enterCheckBoxList, 2, arg1);
}
void Widget::on_checkBox_p3_EnterSeledtAll_stateChanged(int arg1)
{
    SetPageColumn(enterCheckBoxList, 3, arg1);
}
void Widget::on_checkBox_p4_EnterSeledtAll_stateChanged(int arg1)
{
    SetPageColumn(enterCheckBoxList, 4, arg1);
}
void Widget::on_checkBox_p5_EnterSeledtAll_stateChanged(int arg1)
{
    SetPageColumn(enterCheckBoxList, 5, arg1);
}
