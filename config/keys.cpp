#include "config/keys.h"

namespace Keys {

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
