#include "app/startup.h"

#include <QCoreApplication>
#include <QGuiApplication>

void EnableHighDpiScaling()
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    // Whole factors only: the form mixes fixed pixel sizes with fonts in points. Rounding to the
    // nearest keeps factor 1 below 150 %, so a screen the X server reports at 96.07 or 100 dpi
    // looks exactly as before (passing the factor through would scale it by 1.001 or 1.04) and
    // 125 % keeps the larger fonts it always had; 150 % gets a clean 2x window instead of fonts
    // half as large again in boxes of the old size. QT_SCALE_FACTOR, QT_AUTO_SCREEN_SCALE_FACTOR
    // and QT_SCALE_FACTOR_ROUNDING_POLICY still take precedence.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::Round);
}
