#include "config/keys.h"

namespace Keys {

QString rowKey(int row, const QString &suffix)
{
    return QLatin1Char('/') + QString::number(row) + suffix;
}

QString tabNameKey(int page)
{
    return QStringLiteral("/TabName/") + QString::number(page);
}

QString switchValue(bool on)
{
    return on ? QStringLiteral("true") : QStringLiteral("false");
}

bool isOn(const QString &stored)
{
    return stored == QLatin1String("true");
}

} // namespace Keys
