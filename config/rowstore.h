#pragma once

#include "commands/rowcolumns.h"

#include <QVector>

class QSettings;

// The command rows as a settings file holds them: entry n-1 is row n, under the keys "/n/select",
// "/n/cmd", "/n/hex", "/n/enter" and "/n/delay".
using StoredRows = QVector<RowValues>;

// Every row's values from `file`; a key the file lacks reads as empty text.
StoredRows ReadRows(const QSettings &file);

// Writes every key of `rows` to `file`, leaving its other keys as they are.
void WriteRows(QSettings &file, const StoredRows &rows);
