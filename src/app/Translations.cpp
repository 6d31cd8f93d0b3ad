#include "app/Translations.h"

#include "util/QelLog.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>

namespace {

// Hands the translator to the application when its file for the locale loads.
bool installFrom(QCoreApplication &app, const QLocale &locale, const QString &name, const QString &dir)
{
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(locale, name, QStringLiteral("_"), dir))
        return false;
    translator->setParent(&app);
    QCoreApplication::installTranslator(translator.release());
    return true;
}

} // namespace

bool Translations::install(QCoreApplication &app, const QLocale &locale)
{
    if (!installFrom(app, locale, QStringLiteral("vyo"), QStringLiteral(":/i18n")))
        return false;
    // Qt's own texts (socket errors, standard buttons) come from the system's files, when installed.
    installFrom(app, locale, QStringLiteral("qtbase"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    QEL_LOG(LogLevel::Debug, QStringLiteral("Interface language: %1").arg(locale.name()));
    return true;
}
