#pragma once

#include <QDebug>

// A row position in a sectioned table: the section, then the row inside it.
// Either part negative means "no position".
struct IndexPath final
{
    int section = -1;
    int row = -1;

    bool isValid() const { return section >= 0 && row >= 0; }
    bool operator==(const IndexPath &other) const = default;
};

inline QDebug operator<<(QDebug debug, const IndexPath &path)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "IndexPath(" << path.section << ", " << path.row << ')';
    return debug;
}
