#include "core/AppLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

// The program's translations are built in as Qt resources: English, and German with only the
// plural forms its source texts cannot carry.
bool loadProgramTranslation(QTranslator &translator, const QLocale &locale)
{
    return translator.load(locale, QStringLiteral("tarnlet"), QStringLiteral("_"), QStringLiteral(":/i18n"));
}

} // namespace

QString AppLanguage::choose(const QString &preference, const QLocale &locale)
{
    if (preference == german || preference == english)
        return preference;
    QTranslator translator;
    return loadProgramTranslation(translator, locale) ? translator.language() : german;
}

void AppLanguage::install(const QString &language, const QLocale &system)
{
    // Both live as long as the application; the one installed last is asked first. Installing
    // again replaces the language.
    static QTranslator qtTranslator;
    static QTranslator programTranslator;
    const QLocale locale(language);
    QCoreApplication::removeTranslator(&qtTranslator);
    QCoreApplication::removeTranslator(&programTranslator);
    // Qt's own texts (standard buttons, a line edit's context menu), from Debian's
    // qt6-translations-l10n; without it they stay English.
    if (qtTranslator.load(
            locale, QStringLiteral("qtbase"), QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTranslator);
    if (loadProgramTranslation(programTranslator, locale))
        QCoreApplication::installTranslator(&programTranslator);
    const bool namesLanguage = system.language() != QLocale::C && system.language() != QLocale::AnyLanguage;
    QLocale::setDefault(namesLanguage ? system : locale);
}

QString AppLanguage::translateBeforeStart(const QLocale &locale, const char *context, const char *text)
{
    QTranslator translator;
    const QString translated
        = loadProgramTranslation(translator, locale) ? translator.translate(context, text) : QString();
    return translated.isEmpty() ? QString::fromUtf8(text) : translated;
}
