#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

// Names proposed by the save dialogs. The caller passes the clock reading so the names can be
// checked for any moment.
namespace FileNames {
// "./userConfig/kesto_config_" + yyyy-MM-dd + "#" + hh-mm-ss + ".ini"
QString ProposedConfigFile(const QDateTime &now);
// "./log/kesto_log_" + yyyy-MM-dd + ".log"
QString ProposedLogFile(const QDate &today);
} // namespace FileNames
