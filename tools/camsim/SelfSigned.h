#pragma once

#include <QSslCertificate>
#include <QSslKey>

// A fresh key and a self-signed certificate, as cameras make for themselves: a new
// pair at every start, so a restarted simulator presents a changed certificate.
struct SelfSigned
{
    QSslKey key;
    QSslCertificate certificate;

    // Null members when OpenSSL fails.
    static SelfSigned make(const QString &commonName);
};
