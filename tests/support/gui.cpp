#include "support/gui.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDir>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

namespace {

void poll(std::shared_ptr<ModalSeen> seen, std::function<void(QWidget *)> answer,
          QDeadlineTimer deadline)
{
    QWidget *modal = QApplication::activeModalWidget();
    if (modal && modal->isVisible()) {
        seen->className = QString::fromLatin1(modal->metaObject()->className());
        seen->title = modal->windowTitle();
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            seen->text = box->text();
            seen->informativeText = box->informativeText();
        }
        answer(modal);
        return;
    }
    if (deadline.hasExpired())
        return;
    QTimer::singleShot(10, [seen, answer, deadline] { poll(seen, answer, deadline); });
}

} // namespace

std::shared_ptr<ModalSeen> answerNextModal(std::function<void(QWidget *)> answer, int timeoutMs)
{
    auto seen = std::make_shared<ModalSeen>();
    QDeadlineTimer deadline(timeoutMs);
    QTimer::singleShot(0, [seen, answer, deadline] { poll(seen, answer, deadline); });
    return seen;
}

std::shared_ptr<ModalSeen> acceptNextMessageBox(int timeoutMs)
{
    return answerNextModal(
        [](QWidget *modal) {
            if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                QAbstractButton *ok = box->button(QMessageBox::Ok);
                if (!ok && !box->buttons().isEmpty())
                    ok = box->buttons().first();
                if (ok) {
                    ok->click();
                    return;
                }
            }
            if (auto *dialog = qobject_cast<QDialog *>(modal))
                dialog->reject();
        },
        timeoutMs);
}

QString freshWorkingDirectory()
{
    static QList<std::shared_ptr<QTemporaryDir>> dirs;
    auto dir = std::make_shared<QTemporaryDir>(QDir::currentPath() + QStringLiteral("/run-XXXXXX"));
    dirs.append(dir);
    QDir::setCurrent(dir->path());
    return dir->path();
}
