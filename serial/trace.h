#pragma once

#include <QLoggingCategory>
#include <QString>

// The program's debug traces, by how much they write. All are on by default; QT_LOGGING_RULES
// (for example "sermora.data.debug=false") turns them off one by one.
// Ports appearing and vanishing, opening and closing, a configuration set aside, closing down.
Q_DECLARE_LOGGING_CATEGORY(SessionTrace)
// Every chunk put on the console (as hex) and every block of a file send: a line per burst.
Q_DECLARE_LOGGING_CATEGORY(DataTrace)
// Every change of a command row: a line per keystroke.
Q_DECLARE_LOGGING_CATEGORY(RowTrace)

// Filter rules that keep only the session traces, for a run whose standard error goes to the
// system journal.
extern const char QuietTraceRules[];

// One line to the session trace; the text goes out verbatim (as Latin-1), never as a format.
void DebugTrace(const QString &text);
