#include "commands/rowcolumns.h"

#include "app/globals.h"
#include "config/keys.h"

#include <QCheckBox>
#include <QLineEdit>

const std::array<RowColumn, 5> RowColumns = {{
    {"/select", &selectCheckBoxList, nullptr},
    {"/cmd", nullptr, &cmdLineEditList},
    {"/hex", &hexCheckBoxList, nullptr},
    {"/enter", &enterCheckBoxList, nullptr},
    {"/delay", nullptr, &delayLineEditList},
}};

QString RowKey(int row, const RowColumn &column)
{
    return QLatin1Char('/') + QString::number(row) + QLatin1String(column.keySuffix);
}

QString ShownValue(int row, const RowColumn &column)
{
    if (column.boxes)
        return Keys::SwitchValue(column.boxes->at(row - 1)->isChecked());
    return column.fields->at(row - 1)->text();
}

RowValues ShownRow(int row)
{
    RowValues values;
    for (std::size_t c = 0; c < RowColumns.size(); ++c)
        values[c] = ShownValue(row, RowColumns[c]);
    return values;
}

void ShowRow(int row, const RowValues &values)
{
    for (std::size_t c = 0; c < RowColumns.size(); ++c) {
        const RowColumn &column = RowColumns[c];
        if (column.boxes)
            column.boxes->at(row - 1)->setChecked(Keys::IsOn(values[c]));
        else
            column.fields->at(row - 1)->setText(values[c]);
    }
}
