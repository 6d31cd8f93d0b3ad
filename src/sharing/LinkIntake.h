#pragma once

#include "config/Value.h"
#include "sharing/ConfigLink.h"

#include <QDateTime>
#include <QString>
#include <QUrl>

// A received "vyo" link read once, the same way for the viewer and vyoctl: its
// kind, the definition it carries brought up to the current form, and whether
// this device may use it.
class LinkIntake final
{
public:
    LinkIntake() = delete;

    enum class Verdict {
        Accepted,
        NotALink,   // another scheme, or a host that names none of the link kinds
        Unreadable, // no definition of the kind's shape in it
        Expired,    // an ad-hoc camera past its expiry date
        Restricted, // an ad-hoc camera meant for other devices
    };

    struct Result
    {
        Verdict verdict = Verdict::NotALink;
        ConfigLink::Type kind = ConfigLink::Camera;
        // Upgraded; present with every verdict but NotALink and Unreadable, so that a
        // refused ad-hoc camera can still be named. An ad-hoc rule stays in it.
        Value definition;
        // Why the link cannot be used, in words for a log or a terminal; empty when accepted.
        QString reason;
    };

    // deviceId and now are what ad-hoc rules are checked against.
    static Result read(const QUrl &url, const QString &deviceId, const QDateTime &now);
};
