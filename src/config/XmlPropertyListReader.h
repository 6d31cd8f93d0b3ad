#pragma once

#include "config/Value.h"

#include <QByteArray>
#include <QString>

// Reads the XML property-list form into records with the same limits as the
// binary reader: nesting walked with an explicit stack and refused past
// PropertyList::MaxDepth, text that the writer could give back unchanged, one
// pass over the input. Any thread.
class XmlPropertyListReader final
{
public:
    XmlPropertyListReader() = delete;

    // Absent result and *error set for anything that is not a whole property list.
    static Value read(const QByteArray &data, QString *error);
};
