#include "serial/trace.h"

#include <QDebug>

void DebugTrace(const QString &text)
{
    qDebug().noquote() << QString::fromLatin1(text.toLatin1());
}
