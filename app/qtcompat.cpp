#include "app/qtcompat.h"

#include <QAbstractButton>
#include <QBoxLayout>
#include <QByteArray>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QList>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QRawFont>
#include <QSaveFile>
#include <QSettings>
#include <QTextLayout>
#include <QtEndian>
#include <QtMath>

#include <cmath>

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

#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)

// A line's ascent and descent in whole pixels.
struct LineExtent
{
    int ascent = 0;
    int descent = 0;
};

// The ascent and descent of `font` as Qt 5 has them from FreeType: those of the horizontal header
// table, scaled to the font's size in FreeType's 1/64 pixels and each rounded up. A font without
// that table keeps Qt 6's, rounded up.
LineExtent Qt5Extent(const QRawFont &font)
{
    const QByteArray hhea = font.fontTable("hhea");
    if (hhea.size() >= 8 && font.unitsPerEm() > 0) {
        const qint16 ascender = qFromBigEndian<qint16>(hhea.constData() + 4);
        const qint16 descender = qFromBigEndian<qint16>(hhea.constData() + 6);
        const auto pixels = [&font](int units) {
            const qreal sixtyFourths =
                std::round(units * font.pixelSize() * 64 / font.unitsPerEm());
            return qCeil(sixtyFourths / 64);
        };
        if (ascender != 0 || descender != 0)
            return {pixels(ascender), pixels(-descender)};
    }
    return {qCeil(font.ascent()), qCeil(font.descent())};
}

// The height Qt 5 gives a line of `text` in `font`: the largest ascent and descent of the fonts its
// characters are drawn in (a Chinese text falls back to a CJK font), or of `font` alone when the
// text is empty.
int Qt5LineHeight(const QFont &font, const QString &text)
{
    QList<QRawFont> fonts;
    if (text.isEmpty()) {
        fonts.append(QRawFont::fromFont(font));
    } else {
        QTextLayout layout(text, font);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        for (const QGlyphRun &run : layout.glyphRuns())
            fonts.append(run.rawFont());
    }
    LineExtent line;
    for (const QRawFont &raw : fonts) {
        const LineExtent extent = Qt5Extent(raw);
        line.ascent = qMax(line.ascent, extent.ascent);
        line.descent = qMax(line.descent, extent.descent);
    }
    return line.ascent + line.descent;
}

// How many pixels taller the control's text is on Qt 5 than on Qt 6, where the control's height
// follows it, as each sizes it; 0 for other controls.
int Qt5TextHeightGain(const QWidget *w)
{
    const QFontMetrics metrics = w->fontMetrics();
    // Both toolkits give a line edit or a combo box room for at least 14 pixels of text.
    const int textRoom = 14;
    QString text;
    if (qobject_cast<const QLineEdit *>(w))
        return qMax(Qt5LineHeight(w->font(), QString()), textRoom) -
               qMax(metrics.height(), textRoom);
    if (qobject_cast<const QComboBox *>(w))
        return qMax(Qt5LineHeight(w->font(), QString()), textRoom) -
               qMax(qCeil(QFontMetricsF(w->font()).height()), textRoom);
    if (const auto *box = qobject_cast<const QGroupBox *>(w))
        return box->title().isEmpty() ? 0 : Qt5LineHeight(w->font(), QString()) - metrics.height();
    if (const auto *label = qobject_cast<const QLabel *>(w))
        text = label->text();
    else if (const auto *button = qobject_cast<const QAbstractButton *>(w))
        text = button->text();
    if (text.isEmpty() || text.contains(QLatin1Char('\n')))
        return 0;
    return Qt5LineHeight(w->font(), text) - metrics.size(Qt::TextShowMnemonic, text).height();
}

// A control's place in its layout, asking for the heights the control's text gives it on Qt 5:
// its own size hints that many pixels higher. Not a minimum height of the control itself, which
// would keep a layout short of room from squeezing it, as it does on Qt 5.
class Qt5HeightItem : public QWidgetItem
{
public:
    Qt5HeightItem(QWidget *w, int gain) : QWidgetItem(w), gain(gain) {}

    QSize sizeHint() const override
    {
        QSize size = QWidgetItem::sizeHint();
        if (!isEmpty())
            size.setHeight(hintHeight());
        return size;
    }

    QSize minimumSize() const override
    {
        QSize size = QWidgetItem::minimumSize();
        if (!isEmpty())
            size.setHeight(minimumHeight());
        return size;
    }

    QSize maximumSize() const override
    {
        QSize size = QWidgetItem::maximumSize();
        if (!isEmpty() && !(widget()->sizePolicy().verticalPolicy() & QSizePolicy::GrowFlag))
            size.setHeight(qMax(hintHeight(), minimumHeight()));
        return size;
    }

private:
    // As the layout takes them from the control: its hints, within its own minimum and maximum.
    int hintHeight() const
    {
        const QWidget *w = widget();
        const int hinted = qMax(w->sizeHint().height(), w->minimumSizeHint().height()) + gain;
        return qBound(w->minimumHeight(), hinted, w->maximumHeight());
    }

    int minimumHeight() const
    {
        const QWidget *w = widget();
        if (w->minimumHeight() > 0)
            return w->minimumHeight();
        const bool shrinks = w->sizePolicy().verticalPolicy() & QSizePolicy::ShrinkFlag;
        return qMin((shrinks ? w->minimumSizeHint() : w->sizeHint()).height() + gain,
                    w->maximumHeight());
    }

    const int gain;
};

// Puts `item` in the place that `w` has in `layout` or in a layout within it.
bool ReplaceItem(QLayout *layout, QWidget *w, QLayoutItem *item)
{
    const int index = layout->indexOf(w);
    if (index < 0) {
        for (int i = 0; i < layout->count(); ++i)
            if (QLayout *inner = layout->itemAt(i)->layout())
                if (ReplaceItem(inner, w, item))
                    return true;
        return false;
    }
    if (auto *box = qobject_cast<QBoxLayout *>(layout)) {
        const int stretch = box->stretch(index);
        QLayoutItem *old = box->takeAt(index);
        item->setAlignment(old->alignment());
        delete old;
        box->insertItem(index, item);
        box->setStretch(index, stretch);
        return true;
    }
    if (auto *grid = qobject_cast<QGridLayout *>(layout)) {
        int row = 0, column = 0, rows = 0, columns = 0;
        grid->getItemPosition(index, &row, &column, &rows, &columns);
        QLayoutItem *old = grid->takeAt(index);
        const Qt::Alignment alignment = old->alignment();
        delete old;
        grid->addItem(item, row, column, rows, columns, alignment);
        return true;
    }
    return false;
}

#endif

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

void KeepQt5TextHeights(QWidget *window)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    // The fonts the style sheets give.
    window->ensurePolished();
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (w->minimumHeight() == w->maximumHeight() ||
            w->sizePolicy().verticalPolicy() == QSizePolicy::Ignored)
            continue;
        const int gain = Qt5TextHeightGain(w);
        if (gain <= 0)
            continue;
        // A group box's title pushes its contents down.
        if (qobject_cast<QGroupBox *>(w)) {
            if (QLayout *layout = w->layout()) {
                QMargins margins = layout->contentsMargins();
                margins.setTop(margins.top() + gain);
                layout->setContentsMargins(margins);
            }
            continue;
        }
        if (QLayout *layout = w->parentWidget()->layout()) {
            auto *item = new Qt5HeightItem(w, gain);
            if (!ReplaceItem(layout, w, item))
                delete item;
        }
    }
#else
    Q_UNUSED(window)
#endif
}

#include "qtcompat.moc"
