#pragma once

#include <QUrl>

// Hands a URL to the desktop (the browser, the mail composer, ...). Tests
// install a recording opener so that nothing leaves the process.
class UrlOpener
{
public:
    virtual ~UrlOpener() = default;

    // False when nothing on the desktop took the URL.
    virtual bool openUrl(const QUrl &url) = 0;

    // The installed opener, or the desktop's own.
    static UrlOpener &shared();
    // Null restores the desktop's opener. Not owned.
    static void setShared(UrlOpener *opener);
};
