// Draws the images the main window uses (logo, title-bar glyphs, pin, help, fold arrow, drop
// arrow, size grip, about picture) and the program's icon for the desktop menu at the sizes the
// icon theme wants, so they can be regenerated at any size or colour. The window's images are
// drawn twice: as is, and at twice the size as "name@2x" for screens with two device pixels per
// pixel, where the toolkit picks that one.
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

#include <functional>

namespace {

const QColor blue(51, 136, 255);
const QColor dark(64, 66, 68);

// An image of w x h pixels at the given scale; painters on it draw in unscaled coordinates.
QImage canvas(int scale, int w, int h, const QColor &fill = Qt::transparent)
{
    QImage image(w * scale, h * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    return image;
}

void begin(QPainter &p, int scale)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(scale, scale);
}

// A rounded blue tile with a white "S" whose ends turn into a serial waveform; drawn on a 64-unit
// grid and scaled, so the window's logo and the menu icon are the same picture.
QImage logo(int size = 64)
{
    QImage image = canvas(1, size, size);
    QPainter p(&image);
    begin(p, 1);
    p.scale(size / 64.0, size / 64.0);
    QLinearGradient g(0, 0, 64, 64);
    g.setColorAt(0, QColor(70, 160, 255));
    g.setColorAt(1, QColor(30, 100, 220));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    QPen pen(Qt::white, 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    QPainterPath s;
    s.moveTo(44, 18);
    s.cubicTo(36, 10, 18, 12, 20, 24);
    s.cubicTo(22, 34, 44, 30, 44, 41);
    s.cubicTo(44, 52, 26, 54, 18, 46);
    p.drawPath(s);
    QPen wave(QColor(255, 255, 255, 170), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(wave);
    p.drawPolyline(QPolygonF({{8, 56}, {14, 56}, {14, 52}, {20, 52}, {20, 56}, {26, 56}}));
    return image;
}

QImage glyph(int scale, void (*draw)(QPainter &))
{
    QImage image = canvas(scale, 20, 20);
    QPainter p(&image);
    begin(p, scale);
    p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    draw(p);
    return image;
}

void drawClose(QPainter &p)
{
    p.drawLine(QPointF(4, 4), QPointF(16, 16));
    p.drawLine(QPointF(16, 4), QPointF(4, 16));
}

void drawMax(QPainter &p)
{
    p.drawRect(QRectF(3.5, 3.5, 13, 13));
    p.drawLine(QPointF(3.5, 5.5), QPointF(16.5, 5.5));
}

void drawMin(QPainter &p)
{
    p.setPen(QPen(Qt::white, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3, 10), QPointF(17, 10));
}

// A push-pin seen from the side, tilted, in white for the dark title bar.
QImage pin(int scale)
{
    QImage image = canvas(scale, 32, 32);
    QPainter p(&image);
    begin(p, scale);
    p.translate(16, 16);
    p.rotate(45);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(-5, -13, 10, 4), 1.5, 1.5);
    QPainterPath body;
    body.moveTo(-3, -9);
    body.lineTo(3, -9);
    body.lineTo(4, 1);
    body.lineTo(-4, 1);
    body.closeSubpath();
    p.drawPath(body);
    p.drawRoundedRect(QRectF(-8, 1, 16, 3), 1.5, 1.5);
    p.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(0, 4), QPointF(0, 14));
    return image;
}

QImage help(int scale)
{
    QImage image = canvas(scale, 32, 32);
    QPainter p(&image);
    begin(p, scale);
    p.setPen(QPen(Qt::white, 2));
    p.drawEllipse(QRectF(3, 3, 26, 26));
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(19);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRectF(3, 3, 26, 26), Qt::AlignCenter, QStringLiteral("?"));
    return image;
}

// An arrow pointing right at a vertical bar: folds the command pages away.
QImage expand(int scale)
{
    QImage image = canvas(scale, 25, 25, Qt::white);
    QPainter p(&image);
    begin(p, scale);
    p.setPen(QPen(QColor(110, 110, 110), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(4, 12.5), QPointF(15, 12.5));
    p.drawPolyline(QPolygonF({{10.5, 8}, {15, 12.5}, {10.5, 17}}));
    p.drawLine(QPointF(19.5, 5), QPointF(19.5, 20));
    return image;
}

QImage drop(int scale)
{
    QImage image = canvas(scale, 10, 10, Qt::white);
    QPainter p(&image);
    begin(p, scale);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 90, 90));
    p.drawPolygon(QPolygonF({{1.5, 3}, {8.5, 3}, {5, 7.5}}));
    return image;
}

// Six dots in a triangle against the bottom-right corner.
QImage zoom(int scale)
{
    QImage image = canvas(scale, 30, 30);
    QPainter p(&image);
    begin(p, scale);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 200, 200));
    const double step = 9;
    for (int row = 0; row < 3; ++row)
        for (int col = 2 - row; col < 3; ++col)
            p.drawEllipse(QPointF(7 + col * step, 7 + row * step), 2.6, 2.6);
    return image;
}

QImage about(int scale)
{
    QImage image = canvas(scale, 400, 220, Qt::white);
    QPainter p(&image);
    begin(p, scale);
    QLinearGradient band(0, 0, 400, 0);
    band.setColorAt(0, dark);
    band.setColorAt(1, QColor(90, 94, 98));
    p.fillRect(QRect(0, 0, 400, 70), band);
    p.drawImage(QRect(20, 11, 48, 48), logo(64 * scale));
    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(30);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(82, 0, 300, 70), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Sermora"));
    QFont body(QStringLiteral("DejaVu Sans"));
    body.setPixelSize(14);
    p.setFont(body);
    p.setPen(QColor(40, 40, 40));
    p.drawText(QRect(24, 88, 360, 22), Qt::AlignLeft,
               QStringLiteral("Serial terminal for communication modules"));
    p.setPen(QColor(90, 90, 90));
    p.drawText(QRect(24, 116, 360, 22), Qt::AlignLeft, QStringLiteral("Version " SERMORA_VERSION));
    p.drawText(QRect(24, 140, 360, 22), Qt::AlignLeft, QStringLiteral("Made by Kesto"));
    p.drawText(QRect(24, 164, 360, 22), Qt::AlignLeft,
               QStringLiteral("Contact: support@kesto.example"));
    p.fillRect(QRect(0, 206, 400, 14), blue);
    return image;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        QTextStream(stderr)
            << "usage: sermora-draw-images <app/form directory> <dist/icons directory>\n";
        return 2;
    }
    const QDir form(QString::fromLocal8Bit(argv[1]));
    const QDir icons(QString::fromLocal8Bit(argv[2]));
    form.mkpath(QStringLiteral("image"));
    icons.mkpath(QStringLiteral("."));
    const QList<QPair<QString, std::function<QImage(int)>>> formImages = {
        {QStringLiteral("image/logo.png"), [](int s) { return logo(64 * s); }},
        {QStringLiteral("image/btn_close.png"), [](int s) { return glyph(s, drawClose); }},
        {QStringLiteral("image/btn_max.png"), [](int s) { return glyph(s, drawMax); }},
        {QStringLiteral("image/btn_min.png"), [](int s) { return glyph(s, drawMin); }},
        {QStringLiteral("image/lock.png"), pin},
        {QStringLiteral("image/help.png"), help},
        {QStringLiteral("image/expand.jpg"), expand},
        {QStringLiteral("image/drop.jpg"), drop},
        {QStringLiteral("image/zoom.png"), zoom},
        {QStringLiteral("about_20181029.png"), about},
    };
    QList<QPair<QString, QImage>> images;
    for (const auto &entry : formImages) {
        const QString &name = entry.first;
        const int dot = name.lastIndexOf(QLatin1Char('.'));
        images.append({form.filePath(name), entry.second(1)});
        images.append({form.filePath(name.left(dot) + QStringLiteral("@2x") + name.mid(dot)),
                       entry.second(2)});
    }
    // The install rules put <size>.png into the hicolor theme under the program's id.
    for (const int size : {48, 64, 128, 256})
        images.append({icons.filePath(QStringLiteral("%1.png").arg(size)), logo(size)});
    for (const auto &entry : images) {
        const int quality = entry.first.endsWith(QLatin1String(".jpg")) ? 95 : -1;
        if (!entry.second.save(entry.first, nullptr, quality)) {
            QTextStream(stderr) << "cannot write " << entry.first << "\n";
            return 1;
        }
    }
    return 0;
}
