#include "serial/trace.h"

Q_LOGGING_CATEGORY(lcSession, "sermora.session")
Q_LOGGING_CATEGORY(lcData, "sermora.data")
Q_LOGGING_CATEGORY(lcRows, "sermora.rows")

const char QuietTraceRules[] = "sermora.data.debug=false\nsermora.rows.debug=false";

void DebugTrace(const QString &text)
{
    qCDebug(lcSession).noquote() << QString::fromLatin1(text.toLatin1());
}
