#pragma once

#include <QString>
#include <QStringList>

class QCoreApplication;

// Before the application object: the window is laid out in pixels of 1/96 inch and the toolkit
// scales it to the screen, with images drawn at the screen's resolution.
void EnableHighDpiScaling();

// The texts the window shows: the source texts as the form and the program write them, or the
// English translation.
enum class Language { Source, English };

// `sermoraLang` is SERMORA_LANG ("en" or "zh", also with a region such as "en_GB"); any other
// value, or none, leaves the choice to the system. There the messages locale `localeName` "C"
// means no language at all (as gettext programs ignore LANGUAGE then); otherwise the first of
// the system's UI languages decides: Chinese gets the source texts, every other language
// English, the one translation there is.
Language ChooseLanguage(const QString &sermoraLang, const QString &localeName,
                        const QStringList &uiLanguages);

// After the application object, before the window: installs the English translation when the
// environment chooses it.
void InstallTranslation(QCoreApplication &app);
