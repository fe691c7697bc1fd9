#include "app/form/pixmaps.h"

#include <QFile>
#include <QGuiApplication>

QPixmap FormPixmap(const QString &path)
{
    if (qGuiApp->devicePixelRatio() > 1) {
        const int dot = path.lastIndexOf(QLatin1Char('.'));
        const QString twice = path.left(dot) + QStringLiteral("@2x") + path.mid(dot);
        // Loaded from an "@2x" name, the pixmap knows it covers half as many pixels.
        if (QFile::exists(twice))
            return QPixmap(twice);
    }
    return QPixmap(path);
}
