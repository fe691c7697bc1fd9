#include "config/keys.h"

namespace Keys {

QString TabNameKey(int page)
{
    return QStringLiteral("/TabName/") + QString::number(page);
}

QString SwitchValue(bool on)
{
    return on ? QStringLiteral("true") : QStringLiteral("false");
}

bool IsOn(const QString &stored)
{
    return stored == QLatin1String("true");
}

} // namespace Keys
