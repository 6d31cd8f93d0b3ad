#pragma once

class QCoreApplication;
class QLocale;

// Puts the interface into the user's language: the viewer's own translations,
// compiled in, and Qt's own where the system has them. GUI thread, before the
// first window; the translators belong to the application.
class Translations final
{
public:
    // False when the viewer has no translation for the locale: it stays in English.
    static bool install(QCoreApplication &app, const QLocale &locale);
};
