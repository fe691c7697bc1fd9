#include "config/rowstore.h"

#include "app/counts.h"

#include <QSettings>

StoredRows ReadRows(const QSettings &file)
{
    StoredRows rows(RowCount);
    for (int row = 1; row <= RowCount; ++row)
        for (std::size_t c = 0; c < RowColumns.size(); ++c)
            rows[row - 1][c] = file.value(RowKey(row, RowColumns[c]), QString()).toString();
    return rows;
}

void WriteRows(QSettings &file, const StoredRows &rows)
{
    for (int row = 1; row <= rows.size(); ++row)
        for (std::size_t c = 0; c < RowColumns.size(); ++c)
            file.setValue(RowKey(row, RowColumns[c]), rows[row - 1][c]);
}
