#include "support/filedialog.h"

#include "support/gui.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>

std::shared_ptr<FileDialogSeen> answerNextFileDialog(const QString &path,
                                                     std::function<void()> then, int timeoutMs)
{
    auto seen = std::make_shared<FileDialogSeen>();
    answerNextModalOf<QFileDialog>(
        [seen, path, then](QFileDialog *dialog) {
            seen->shown = true;
            seen->caption = dialog->windowTitle();
            seen->nameFilters = dialog->nameFilters();
            seen->proposedFile = dialog->selectedFiles().value(0);
            seen->directory = dialog->directory().absolutePath();
            seen->saveDialog = dialog->acceptMode() == QFileDialog::AcceptSave;
            seen->hasParent = dialog->parentWidget() != nullptr;
            if (path.isEmpty()) {
                dialog->reject();
                if (then)
                    then();
                return;
            }
            // The widget-based dialog takes an absolute path typed into its name field as is.
            if (auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
                name->setText(path);
            else
                dialog->selectFile(path);
            if (seen->saveDialog && QFileInfo::exists(path)) {
                answerNextModalOf<QMessageBox>([seen](QMessageBox *question) {
                    seen->overwriteAsked = true;
                    question->button(QMessageBox::Yes)->click();
                });
            }
            // QFileDialog's own accept (checks, overwrite question) is reached through QDialog's.
            static_cast<QDialog *>(dialog)->accept();
            if (then)
                then();
        },
        timeoutMs);
    return seen;
}
