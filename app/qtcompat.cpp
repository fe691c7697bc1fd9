#include "app/qtcompat.h"

#include <QByteArray>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QList>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QSaveFile>
#include <QSettings>

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

bool IsHexDigit(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

// One value as Qt 5 writes it from the same value as Qt 6 writes it: each UTF-16 unit from 0x7F up
// as \x and its hex digits, and so are the hex digits right after such an escape, which would
// otherwise read as part of it. Escapes already there are kept as they are.
QByteArray Qt5IniValue(const QString &value)
{
    QByteArray out;
    bool escapeNextIfDigit = false;
    const auto escape = [&out](QChar c) { out += "\\x" + QByteArray::number(c.unicode(), 16); };
    for (int i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (escapeNextIfDigit && IsHexDigit(c)) {
            escape(c);
            continue;
        }
        escapeNextIfDigit = false;
        if (c == QLatin1Char('\\') && i + 1 < value.size()) {
            int end = i + 2;
            if (value.at(i + 1) == QLatin1Char('x')) {
                while (end < value.size() && IsHexDigit(value.at(end)))
                    ++end;
            } else if (value.at(i + 1) >= QLatin1Char('0') && value.at(i + 1) <= QLatin1Char('7')) {
                while (end < value.size() && value.at(end) >= QLatin1Char('0') &&
                       value.at(end) <= QLatin1Char('7'))
                    ++end;
            }
            out += value.mid(i, end - i).toLatin1();
            i = end - 1;
        } else if (c.unicode() >= 0x7F) {
            escape(c);
            escapeNextIfDigit = true;
        } else {
            out += char(c.unicode());
        }
    }
    return out;
}

// The file with each value of a "key=value" line in Qt 5's form; keys and section headers are
// escaped alike by both.
QByteArray Qt5IniForm(const QByteArray &ini)
{
    QByteArray out;
    out.reserve(ini.size());
    const QList<QByteArray> lines = ini.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray &line = lines.at(i);
        const int equals = line.indexOf('=');
        if (i > 0)
            out += '\n';
        if (line.startsWith('[') || equals < 0)
            out += line;
        else
            out += line.left(equals + 1) + Qt5IniValue(QString::fromUtf8(line.mid(equals + 1)));
    }
    return out;
}

void RewriteInQt5Form(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray ini = file.readAll();
    file.close();
    const QByteArray rewritten = Qt5IniForm(ini);
    if (rewritten == ini)
        return;
    QSaveFile save(path);
    if (save.open(QIODevice::WriteOnly) && save.write(rewritten) == rewritten.size())
        save.commit();
}

// Writes the settings' pending changes itself when they would be written on the way back to the
// event loop, then rewrites the file; and rewrites it once more after the settings' last write.
class IniFormKeeper : public QObject
{
public:
    explicit IniFormKeeper(QSettings &settings) : QObject(&settings), path(settings.fileName())
    {
        settings.installEventFilter(this);
    }
    ~IniFormKeeper() override { RewriteInQt5Form(path); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::UpdateRequest)
            return false;
        static_cast<QSettings *>(watched)->sync();
        RewriteInQt5Form(path);
        return true;
    }

private:
    const QString path;
};

} // namespace

void UseToolkitHighDpiScaling()
{
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
#else
    // Qt 6 sizes the fonts by the density itself even when the factor is rounded: at 150 % fonts
    // half as large again in boxes twice the size. As on Qt 5, they follow the rounded factor, so
    // the window is the 96-dpi one scaled; the variable is Qt 6's only switch for it.
    if (!qEnvironmentVariableIsSet("QT_DPI_ADJUSTMENT_POLICY"))
        qputenv("QT_DPI_ADJUSTMENT_POLICY", "DontAdjustDpi");
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

void KeepQt5IniForm(QSettings &settings)
{
    // Qt 5 writes this form itself.
    if (QT_VERSION >= QT_VERSION_CHECK(6, 0, 0))
        new IniFormKeeper(settings);
}

#include "qtcompat.moc"
