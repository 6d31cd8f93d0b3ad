#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>

// Stateless helpers shared by the profiles, controllers and links.
class Utilities final
{
public:
    Utilities() = delete;

    // RFC 4648 Base64 with padding and without line breaks.
    static QString base64Encode(const QByteArray &data);
    // Does not validate: characters outside the alphabet decode as 0. Text that is
    // shorter than four characters or not a multiple of four is decoded as far as it
    // goes, never reading outside the text nor writing past (n / 4) * 3 bytes.
    static QByteArray base64Decode(const QString &text);

    // Byte offset of the needle's UTF-8 bytes in the haystack's, or -1. Both are
    // taken as NUL-terminated, as C strings would be.
    static qsizetype indexOfString(const QString &needle, const QString &haystack);

    // "user:password@" for a URL, both percent-encoded so that any character may
    // stand in them; "user@" without a password, nothing without a user.
    static QString urlUserInfo(const QString &user, const QString &password);
};

namespace vyo {

// First occurrence of needle in haystack, or nullptr; an empty needle matches at the start.
const void *memmem(const void *haystack, std::size_t haystackLength, const void *needle,
                   std::size_t needleLength);

} // namespace vyo

// The 6-bit value of one Base64 character; 0 for anything outside the alphabet.
int getDecimalValue(char c);
