#pragma once

#include <QString>

// The row number after the last "_" of a row control's object name; 0 when that tail is not a
// decimal number.
int RowIndexFromName(const QString &objectName);

// Rows 1..150 are spread over six pages of 25; the page of row n is (n-1)/25.
constexpr int kRowCount = 150;
constexpr int kRowsPerPage = 25;
constexpr int PageOfRow(int row)
{
    return (row - 1) / kRowsPerPage;
}
