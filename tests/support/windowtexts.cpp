#include "support/textfit.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

namespace {

// Room for the text of a check box or push button, as the style lays it out.
int buttonTextRoom(QAbstractButton *button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    if (qobject_cast<QCheckBox *>(button))
        return button->style()
            ->subElementRect(QStyle::SE_CheckBoxContents, &option, button)
            .width();
    return button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).width();
}

} // namespace

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
