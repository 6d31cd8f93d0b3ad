#pragma once

#include "config/Value.h"

#include <QString>
#include <QUrl>

// The one rule for showing URLs and definitions in log lines and stream states:
// every password becomes "****", wherever it stands. Any thread.
class LogMask final
{
public:
    LogMask() = delete;

    static QString url(const QUrl &url);
    // Text that may hold URLs, whole or not: a URL that does not parse, a reply's
    // error string. The credentials of each "scheme://user:password@" are masked.
    static QString text(const QString &text);
    // A definition's one-line description, with the values of password keys and the
    // credentials inside any URL text masked.
    static QString definition(const Value &definition);
};
