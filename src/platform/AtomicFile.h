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

    // Makes a rename into the file's directory durable: without it a power cut may
    // bring back the old entry even though the new file's bytes are on disk.
    static void syncDirectoryOf(const QString &path);
};
