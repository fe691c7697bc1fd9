#include "app/startup.h"

#include "app/qtcompat.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLocale>
#include <QRegularExpression>
#include <QTranslator>

namespace {

// "en" of "en_GB.UTF-8", "en-Latn-US" or "EN".
QString LanguagePart(const QString &name)
{
    return name.section(QRegularExpression(QStringLiteral("[-_.@]")), 0, 0).toLower();
}

} // namespace

void EnableHighDpiScaling()
{
    UseToolkitHighDpiScaling();
    // Whole factors only: the form mixes fixed pixel sizes with fonts in points. Rounding to the
    // nearest keeps factor 1 below 150 %, so a screen the X server reports at 96.07 or 100 dpi
    // looks exactly as before (passing the factor through would scale it by 1.001 or 1.04) and
    // 125 % keeps the larger fonts it always had; 150 % gets a clean 2x window instead of fonts
    // half as large again in boxes of the old size. QT_SCALE_FACTOR, QT_AUTO_SCREEN_SCALE_FACTOR
    // and QT_SCALE_FACTOR_ROUNDING_POLICY still take precedence.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::Round);
}

Language ChooseLanguage(const QString &sermoraLang, const QString &localeName,
                        const QStringList &uiLanguages)
{
    const QString chosen = LanguagePart(sermoraLang);
    if (chosen == QLatin1String("en"))
        return Language::English;
    if (chosen == QLatin1String("zh"))
        return Language::Source;
    if (localeName == QLatin1String("C") || uiLanguages.isEmpty())
        return Language::Source;
    return LanguagePart(uiLanguages.first()) == QLatin1String("zh") ? Language::Source
                                                                    : Language::English;
}

void InstallTranslation(QCoreApplication &app)
{
    const QLocale system = QLocale::system();
    if (ChooseLanguage(qEnvironmentVariable("SERMORA_LANG"), system.name(), system.uiLanguages()) !=
        Language::English)
        return;
    auto *english = new QTranslator(&app);
    if (english->load(QStringLiteral(":/i18n/sermora_en.qm")))
        app.installTranslator(english);
}
