#pragma once

#include <QLocale>
#include <QString>

// Which language the interface speaks. German is the source text in the code; English comes from
// the translation built into the program, beside Qt's own translation of its built-in texts. The
// choice is made once at start.
namespace AppLanguage {

inline const QString german = QStringLiteral("de");
inline const QString english = QStringLiteral("en");

// The preference ("system", "de" or "en") decides; "system" follows the locale's interface
// languages (for QLocale::system(), Qt reads them from LANGUAGE, LC_ALL, LC_MESSAGES and LANG), the
// first one the program has a translation for. English for an English locale, German for every
// other one (C and POSIX included).
QString choose(const QString &preference, const QLocale &locale);

// Installs the program's and Qt's translations for the language on the running application.
// Dates, times and numbers follow the system locale where it names a language; where it does not
// (C, POSIX, C.UTF-8) they follow the interface's language.
void install(const QString &language, const QLocale &system = QLocale::system());

// The text in the locale's language, for the little said before the application (and with it the
// preferences and the installed translation) exists.
QString translateBeforeStart(const QLocale &locale, const char *context, const char *text);

} // namespace AppLanguage
