#include "support/windowtexts.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionButton>

namespace {

// Room for the text of a check box or push button, as the style lays it out.
int buttonTextRoom(QAbstractButton *button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const QStyle::SubElement contents = qobject_cast<QCheckBox *>(button)
                                            ? QStyle::SE_CheckBoxContents
                                            : QStyle::SE_PushButtonContents;
    return button->style()->subElementRect(contents, &option, button).width();
}

} // namespace

QStringList windowTexts(QWidget *window)
{
    QStringList texts{QStringLiteral("Widget\t") + window->windowTitle()};
    for (QWidget *w : window->findChildren<QWidget *>()) {
        QString text;
        if (auto *label = qobject_cast<QLabel *>(w))
            text = label->text();
        else if (auto *button = qobject_cast<QAbstractButton *>(w))
            text = button->text();
        else if (auto *group = qobject_cast<QGroupBox *>(w))
            text = group->title();
        if (!text.isEmpty())
            texts << w->objectName() + QLatin1Char('\t') + text;
    }
    return texts;
}

bool containsChinese(const QString &text)
{
    static const QRegularExpression chinese(
        QStringLiteral("[\\x{3000}-\\x{303f}\\x{4e00}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));
    return text.contains(chinese);
}

QStringList cutOffTexts(QWidget *window)
{
    QStringList cut;
    auto check = [&cut](const QWidget *w, const QString &text, int room) {
        const int width = w->fontMetrics().horizontalAdvance(text.trimmed());
        if (width > room)
            cut << QStringLiteral("%1: \"%2\" (%3 px in %4)")
                       .arg(w->objectName(), text)
                       .arg(width)
                       .arg(room);
    };
    for (QLabel *label : window->findChildren<QLabel *>())
        if (label->isVisible())
            check(label, label->text(), label->contentsRect().width());
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>())
        if (button->isVisible())
            check(button, button->text(), buttonTextRoom(button));
    return cut;
}

QFont desktopFont()
{
    return QFont(QStringLiteral("Sans Serif"), 9);
}
