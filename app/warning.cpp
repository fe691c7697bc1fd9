#include "app/warning.h"

#include "app/texts.h"

#include <QMessageBox>

void ShowWarning(const QString &text, const QString &details)
{
    QMessageBox box(QMessageBox::Warning, Texts::WarningTitle(), text, QMessageBox::Ok);
    box.setInformativeText(details);
    box.exec();
}
