#include "core/AppLanguage.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QTranslator>

namespace {

// "en_US.UTF-8" and "en@euro" speak "en"; "C" and "POSIX" speak no language.
QString languageOf(const QString &locale)
{
    const qsizetype end = locale.indexOf(QRegularExpression(QStringLiteral("[_.@]")));
    return locale.left(end).toLower();
}

// The translation is built into the program as a Qt resource.
bool load(QTranslator &translator, const QString &language)
{
    return language != AppLanguage::german && translator.load(QStringLiteral(":/i18n/tarnlet_") + language);
}

} // namespace

QString AppLanguage::choose(const QString &preference, const QProcessEnvironment &environment)
{
    if (preference == german || preference == english)
        return preference;
    for (const char *variable : { "LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG" }) {
        const QString value = environment.value(QString::fromLatin1(variable));
        if (value.isEmpty())
            continue;
        for (const QString &locale : value.split(u':', Qt::SkipEmptyParts)) {
            const QString language = languageOf(locale);
            if (language == german || language == english)
                return language;
        }
        return german;
    }
    return german;
}

void AppLanguage::install(const QString &language)
{
    static QTranslator translator; // lives as long as the application
    if (load(translator, language))
        QCoreApplication::installTranslator(&translator);
}

QString AppLanguage::translateBeforeStart(const QProcessEnvironment &environment, const char *context, const char *text)
{
    QTranslator translator;
    const QString translated
        = load(translator, choose(QString(), environment)) ? translator.translate(context, text) : QString();
    return translated.isEmpty() ? QString::fromUtf8(text) : translated;
}
