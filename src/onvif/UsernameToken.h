#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

class QXmlStreamWriter;

// The WS-Security UsernameToken with a password digest, as ONVIF devices expect it in
// the SOAP header: Base64(SHA-1(nonce + created + password)). Nothing here logs.
class UsernameToken final
{
public:
    static constexpr int NonceBytes = 16;

    UsernameToken() = delete;

    // The Base64 digest for these raw nonce bytes, creation time text and password.
    static QString passwordDigest(const QByteArray &nonce, const QString &created, const QString &password);
    // The creation time as devices parse it: UTC, milliseconds, a trailing "Z".
    static QString createdText(const QDateTime &utc);
    // A fresh random nonce.
    static QByteArray nonce();
    // Writes the wsse:Security header element, the user name and digest escaped.
    static void write(QXmlStreamWriter &writer, const QString &user, const QString &password,
                      const QByteArray &nonce, const QDateTime &createdUtc);
};
