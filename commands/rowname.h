#pragma once

#include <QString>

// The row number after the last "_" of a row control's object name; 0 when that tail is not a
// decimal number.
int RowIndexFromName(const QString &objectName);
