#pragma once

#include <QByteArray>
#include <QString>

// Whole-file writes that either replace the old file completely or leave it as it
// was, readable by the owner only.
class AtomicFile final
{
public:
    AtomicFile() = delete;

    static bool write(const QString &path, const QByteArray &contents, QString *error = nullptr);
};
