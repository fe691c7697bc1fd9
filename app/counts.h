#pragma once

// The command pages: six pages of 25 rows each, 150 rows in all. Rows are numbered from 1 and
// row n lies on page (n-1)/25.
constexpr int PageCount = 6;
constexpr int RowsPerPage = 25;
constexpr int RowCount = PageCount * RowsPerPage;

constexpr int PageOfRow(int row)
{
    return (row - 1) / RowsPerPage;
}
