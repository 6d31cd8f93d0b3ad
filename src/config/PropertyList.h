#pragma once

#include "config/Value.h"

#include <QByteArray>
#include <QString>

// Codec between records and property lists over libplist: writes the binary
// format (bplist00), reads binary and XML. Every container read is mutable.
class PropertyList final
{
public:
    PropertyList() = delete;

    // Deeper nesting than this is refused on both read and write; no definition
    // comes anywhere near it, and it keeps hostile input from exhausting the stack.
    static constexpr int MaxDepth = 64;

    // Empty result and *error set when the tree holds something that has no
    // property-list form (an absent value, an in-memory handle) or nests too deep.
    static QByteArray toBinary(const Value &root, QString *error);
    // XML form, for people to read (vyoctl show).
    static QByteArray toXml(const Value &root, QString *error);

    // Absent result and *error set for anything that is not a whole property list.
    static Value fromData(const QByteArray &data, QString *error);
};
