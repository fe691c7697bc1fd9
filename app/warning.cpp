#include "app/warning.h"

#include <QMessageBox>

void ShowWarning(const QString &text)
{
    QMessageBox::warning(nullptr, QStringLiteral("告警"), text);
}
