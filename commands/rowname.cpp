#include "commands/rowname.h"

int RowIndexFromName(const QString &objectName)
{
    return objectName.mid(objectName.lastIndexOf(QLatin1Char('_')) + 1).toInt();
}
