#pragma once

#include <QProcessEnvironment>
#include <QString>

// Which language the interface speaks. German is the source text in the code; English comes from
// the translation built into the program. The choice is made once at start.
namespace AppLanguage {

inline const QString german = QStringLiteral("de");
inline const QString english = QStringLiteral("en");

// The preference ("system", "de" or "en") decides; "system" follows LANGUAGE, LC_ALL, LC_MESSAGES
// and LANG, the first one set. LANGUAGE may list several languages, the first one the program
// speaks wins. English for an English locale, German for everything else (C and POSIX included).
QString choose(const QString &preference, const QProcessEnvironment &environment);

// Installs the translation for the language on the running application; German needs none.
void install(const QString &language);

// The text in the language of the environment, for the little said before the application (and
// with it the preferences and the installed translation) exists.
QString translateBeforeStart(const QProcessEnvironment &environment, const char *context, const char *text);

} // namespace AppLanguage
