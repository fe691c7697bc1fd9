#pragma once

#include <QString>

// One line to the debug output; the text goes out verbatim (as Latin-1), never as a format.
void DebugTrace(const QString &text);
