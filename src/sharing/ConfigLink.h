#pragma once

#include "config/Value.h"

#include <QDateTime>
#include <QString>
#include <QUrl>

#include <optional>

// The "vyo" links that carry camera and group definitions: a binary property
// list, enciphered with the link type's vector, in Base64, in the link's path.
class ConfigLink final
{
public:
    ConfigLink() = delete;

    enum Type { Camera = 0, Group = 1, AdhocCamera = 2 };

    // The link type its host names, or none for a host that is not one of ours.
    static std::optional<Type> typeOfHost(const QString &host);
    static QString hostOf(Type type);

    // The payload of a received link: its path, percent-unescaped, without the leading "/".
    static QString payloadOf(const QUrl &url);

    // "vyo://<type>/<payload>"; empty with *error set when the definition cannot be serialised.
    static QString makeLink(Type type, const Value &definition, QString *error);

    // The definition a payload carries, or none: deciphered with the type's vector,
    // or, for links of older versions, read as a plain property list. Only a
    // dictionary of the shape the type needs is returned.
    static Value extractConfigFromEncodedData(const QString &payload, Type type);

    enum class Restriction { Allowed, Expired, Restricted };
    // The ad-hoc access rule: an expiry date in the past refuses, whatever the device
    // list says; then a device list without this device refuses.
    static Restriction checkRestriction(const Value &definition, const QString &deviceId, const QDateTime &now);

    // The mail a group is sent in: "mailto:?subject=...&body=..." with the link.
    static QString groupMailUrl(const Value &group, QString *error);
    // Opens the mail composer on groupMailUrl; false (logged) when nothing was sent.
    static bool emailGroup(const Value &group);
};
