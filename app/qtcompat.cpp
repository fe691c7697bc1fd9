#include "app/qtcompat.h"

#include <QByteArray>
#include <QComboBox>
#include <QCoreApplication>
#include <QList>
#include <QMetaMethod>
#include <QMouseEvent>

namespace {

// Emits the text of the item a combo box has just made current, as Qt 5's
// currentIndexChanged(const QString &) did, for the slots connected by name to that signal.
class ItemTextRelay : public QObject
{
    Q_OBJECT

public:
    explicit ItemTextRelay(QComboBox *box) : QObject(box)
    {
        connect(box, qOverload<int>(&QComboBox::currentIndexChanged), this,
                [this, box](int index) { emit currentIndexChanged(box->itemText(index)); });
    }

signals:
    void currentIndexChanged(const QString &text);
};

const char TextSignal[] = "currentIndexChanged(QString)";

// The slots ConnectSlotsByName connects through a relay, by their signatures: Qt's own
// connectSlotsByName warns that it found no signal for them.
QList<QByteArray> relayedSlots;
QtMessageHandler forwardMessage = nullptr;

void HideRelayedWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    for (const QByteArray &slot : relayedSlots)
        if (message.endsWith(QLatin1String(slot)) &&
            message.contains(QLatin1String("connectSlotsByName")))
            return;
    forwardMessage(type, context, message);
}

} // namespace

void UseToolkitHighDpiScaling()
{
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
#endif
}

QPoint GlobalPosition(const QMouseEvent &event)
{
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    return event.globalPos();
#else
    return event.globalPosition().toPoint();
#endif
}

void ConnectSlotsByName(QObject *form)
{
    // The combo boxes whose slots Qt cannot connect, with the slot each needs.
    QList<QPair<QComboBox *, QMetaMethod>> relayed;
    const QMetaObject *meta = form->metaObject();
    const QList<QComboBox *> boxes = form->findChildren<QComboBox *>();
    for (QComboBox *box : boxes) {
        if (box->objectName().isEmpty() || box->metaObject()->indexOfSignal(TextSignal) >= 0)
            continue;
        const QByteArray slot = "on_" + box->objectName().toLatin1() + '_' + TextSignal;
        const int index = meta->indexOfSlot(slot.constData());
        if (index >= 0)
            relayed.append({box, meta->method(index)});
    }

    relayedSlots.clear();
    for (const auto &pair : relayed)
        relayedSlots.append(pair.second.methodSignature());
    forwardMessage = qInstallMessageHandler(HideRelayedWarnings);
    QMetaObject::connectSlotsByName(form);
    qInstallMessageHandler(forwardMessage);

    const QMetaMethod relaySignal = ItemTextRelay::staticMetaObject.method(
        ItemTextRelay::staticMetaObject.indexOfSignal(TextSignal));
    for (const auto &pair : relayed)
        QObject::connect(new ItemTextRelay(pair.first), relaySignal, form, pair.second);
}

#include "qtcompat.moc"
