#include "app/warning.h"

#include <QMessageBox>

void ShowWarning(const QString &text, const QString &details)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("告警"), text, QMessageBox::Ok);
    box.setInformativeText(details);
    box.exec();
}
