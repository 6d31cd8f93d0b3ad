#pragma once

#include "config/Value.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

// Codec between records and property lists: writes the binary format (bplist00)
// through libplist, reads binary and XML with our own bounded readers, since what
// is read comes from files, links and the local socket. Every container read is
// mutable.
class PropertyList final
{
public:
    PropertyList() = delete;

    // Deeper nesting than this is refused on both read and write; no definition
    // comes anywhere near it, and it keeps hostile input from exhausting the stack.
    static constexpr int MaxDepth = 64;
    // What a binary list may expand to when its objects are referenced more than
    // once: every reference counts one, plus the bytes of the text or data it names.
    static constexpr qint64 MaxExpandedBytes = 64 * 1024 * 1024;

    // Empty result and *error set when the tree holds something that has no
    // property-list form (an absent value, an in-memory handle) or nests too deep.
    static QByteArray toBinary(const Value &root, QString *error);
    // XML form, for people to read (vyoctl show).
    static QByteArray toXml(const Value &root, QString *error);

    // Absent result and *error set for anything that is not a whole property list.
    static Value fromData(const QByteArray &data, QString *error);

    // The rules both directions share, so that whatever is read can be written back.
    // Text without NUL characters and with whole UTF-16 pairs.
    static bool isStorableText(const QString &text);
    // Dates count milliseconds from 2001-01-01 00:00:00 UTC; whole seconds must fit 32 bits.
    static QDateTime referenceDate();
    static std::optional<QDateTime> dateAt(qint64 msecsSinceReference);
};
