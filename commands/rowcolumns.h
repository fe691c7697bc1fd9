#pragma once

#include <QList>
#include <QString>

#include <array>

class QCheckBox;
class QLineEdit;

// One stored column of the command rows: the key suffix its values are stored under, and its
// controls, row n at position n-1. A switch column (check boxes) is stored as "true" or "false",
// a text column (line edits) as typed.
struct RowColumn
{
    const char *keySuffix;
    QList<QCheckBox *> *boxes;
    QList<QLineEdit *> *fields;
};

// The five stored columns, in the order they stand in a row: select, command, hex, enter, delay.
// The change slots, the loader, save and clear all work from this table.
extern const std::array<RowColumn, 5> RowColumns;

// The values of one row in stored form, one per column in the order of RowColumns.
using RowValues = std::array<QString, RowColumns.size()>;

// "/" + row + the column's suffix, for example "/17/cmd".
QString RowKey(int row, const RowColumn &column);

// The value that the column's control of row `row` shows, in stored form.
QString ShownValue(int row, const RowColumn &column);
// The values row `row` shows, in stored form.
RowValues ShownRow(int row);
// Shows stored values in row `row`; a switch is on only for the exact text "true". Each
// control's change handler then stores what it shows.
void ShowRow(int row, const RowValues &values);
