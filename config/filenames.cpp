#include "config/filenames.h"

namespace FileNames {

QString proposedConfigFile(const QDateTime &now)
{
    return QStringLiteral("./userConfig/kesto_config_") + now.date().toString(Qt::ISODate) +
           QLatin1Char('#') + now.time().toString(QStringLiteral("hh-mm-ss")) +
           QStringLiteral(".ini");
}

QString proposedLogFile(const QDate &today)
{
    return QStringLiteral("./log/kesto_log_") + today.toString(Qt::ISODate) +
           QStringLiteral(".log");
}

} // namespace FileNames
