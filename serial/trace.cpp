#include "serial/trace.h"

Q_LOGGING_CATEGORY(SessionTrace, "sermora.session")
Q_LOGGING_CATEGORY(DataTrace, "sermora.data")
Q_LOGGING_CATEGORY(RowTrace, "sermora.rows")

const char QuietTraceRules[] = "sermora.data.debug=false\nsermora.rows.debug=false";

void DebugTrace(const QString &text)
{
    qCDebug(SessionTrace).noquote() << QString::fromLatin1(text.toLatin1());
}
