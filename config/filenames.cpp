#include "config/filenames.h"

namespace FileNames {

QString ProposedConfigFile(const QDateTime &now)
{
    return QStringLiteral("./userConfig/kesto_config_") + now.date().toString(Qt::ISODate) +
           QLatin1Char('#') + now.time().toString(QStringLiteral("hh-mm-ss")) +
           QStringLiteral(".ini");
}

QString ProposedLogFile(const QDate &today)
{
    return QStringLiteral("./log/kesto_log_") + today.toString(Qt::ISODate) +
           QStringLiteral(".log");
}

} // namespace FileNames
