#include "support/gui.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
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

// Presses OK (or the only button) of a message box; rejects any other dialog, closes the rest.
void dismiss(QWidget *modal)
{
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
    else
        modal->close();
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
    return answerNextModal(dismiss, timeoutMs);
}

std::shared_ptr<InputDialogSeen> answerNextInputDialog(const QString &text, bool confirm)
{
    auto seen = std::make_shared<InputDialogSeen>();
    answerNextModalOf<QInputDialog>([seen, text, confirm](QInputDialog *dialog) {
        seen->shown = true;
        seen->title = dialog->windowTitle();
        seen->label = dialog->labelText();
        seen->initialText = dialog->textValue();
        seen->echo = dialog->textEchoMode();
        seen->hasParent = dialog->parentWidget() != nullptr;
        dialog->findChild<QLineEdit *>()->insert(text);
        auto *buttons = dialog->findChild<QDialogButtonBox *>();
        buttons->button(confirm ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
    });
    return seen;
}

ModalWatch::ModalWatch(std::function<bool()> answerWhen) : answerWhen(std::move(answerWhen))
{
    connect(&timer, &QTimer::timeout, this, &ModalWatch::look);
    timer.setTimerType(Qt::PreciseTimer);
    timer.start(5);
}

void ModalWatch::look()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible() || (answerWhen && !answerWhen()))
        return;
    seen << modal->windowTitle() + QLatin1Char('|') + modal->property("text").toString();
    dismiss(modal);
}

QString styleOf(const QWidget *widget, const QString &selector, const QString &property)
{
    // Rules are "selector { declarations }"; declarations are "property: value" split by ";".
    static const QRegularExpression rule(QStringLiteral("([^{}]+)\\{([^}]*)\\}"));
    for (auto match = rule.globalMatch(widget->styleSheet()); match.hasNext();) {
        const auto found = match.next();
        if (found.captured(1).trimmed() != selector)
            continue;
        for (const QString &declaration : found.captured(2).split(QLatin1Char(';'))) {
            const int colon = declaration.indexOf(QLatin1Char(':'));
            if (colon > 0 && declaration.left(colon).trimmed() == property)
                return declaration.mid(colon + 1).trimmed();
        }
    }
    return QString();
}

QString freshWorkingDirectory()
{
    static QList<std::shared_ptr<QTemporaryDir>> dirs;
    auto dir = std::make_shared<QTemporaryDir>(QDir::currentPath() + QStringLiteral("/run-XXXXXX"));
    dirs.append(dir);
    QDir::setCurrent(dir->path());
    return dir->path();
}
