#pragma once

#include <QLineEdit>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

// What a modal box showed before the test answered it.
struct ModalSeen
{
    QString title;
    QString text;
    QString informativeText;
    QString className;
};

// Answers the next application-modal window (message box, input or file dialog) from the event
// loop: `answer` gets the window, reads it and closes it (press a button, accept, reject).
// The returned record is filled in when that happens.
std::shared_ptr<ModalSeen> answerNextModal(std::function<void(QWidget *)> answer,
                                           int timeoutMs = 10000);
// The same for a modal window of class T (QFileDialog, QMessageBox, ...); any other modal window
// is closed unanswered.
template <typename T>
std::shared_ptr<ModalSeen> answerNextModalOf(std::function<void(T *)> answer, int timeoutMs = 10000)
{
    return answerNextModal(
        [answer](QWidget *modal) {
            if (auto *window = qobject_cast<T *>(modal))
                answer(window);
            else
                modal->close();
        },
        timeoutMs);
}
// Presses the default button (OK) of the next message box.
std::shared_ptr<ModalSeen> acceptNextMessageBox(int timeoutMs = 10000);

// What an input dialog looked like when it came up.
struct InputDialogSeen
{
    bool shown = false;
    QString title;
    QString label;
    QString initialText;
    QLineEdit::EchoMode echo = QLineEdit::Password;
    bool hasParent = true;
};

// Answers the next input dialog: types `text` into it, then presses OK, or Cancel when
// `confirm` is false.
std::shared_ptr<InputDialogSeen> answerNextInputDialog(const QString &text, bool confirm = true);

// Answers every modal window that comes up while it exists and `answerWhen` holds (always,
// without it): OK on a message box, reject on another dialog, close otherwise. Each one is
// remembered as title + "|" + text. It looks every 5 ms from a timer, so it also answers boxes
// that come up while the program handles events itself (a batch run's waits, a file send).
class ModalWatch : public QObject
{
public:
    explicit ModalWatch(std::function<bool()> answerWhen = {});

    QStringList seen;

private:
    void look();

    std::function<bool()> answerWhen;
    QTimer timer;
};

// The named control of the window, or null when it has none of that name and class.
template <typename T> T *control(QWidget *window, const QString &name)
{
    return window->findChild<T *>(name);
}

// The value that the widget's own style sheet gives `property` in the rule for `selector`
// (for example "QPushButton:hover"); empty when it gives none.
QString styleOf(const QWidget *widget, const QString &selector, const QString &property);

// Makes a fresh, empty directory (with no "config.ini") the working directory, so that the next
// window starts from nothing; the directory is removed when the test program ends.
QString freshWorkingDirectory();
