#pragma once

#include <QList>
#include <QString>

class QNetworkReply;
class QSslCertificate;
class QSslError;
class Value;

// Trust on first use for cameras with self-signed certificates: a certificate that
// fails the system's checks is accepted only when its SHA-256 fingerprint is the one
// the user trusted for that camera, kept in the camera's video parameters.
namespace CertificatePin {

enum class Verdict {
    Pinned,    // the trusted certificate: the connection goes on
    Untrusted, // nothing trusted yet for this camera
    Changed,   // a different certificate from the trusted one
};

// The key in the video parameters; older readers ignore it.
QString key();
// The trusted fingerprint of a camera's video parameters, empty when none.
QString pinned(const Value &videoParameters);

// A copy of a camera's definition that trusts the certificate; none when the camera
// has no video parameters.
Value trusting(const Value &camera, const QString &fingerprint);

// 64 lowercase hex digits.
QString fingerprint(const QSslCertificate &certificate);
// "AB:CD:…" as people compare them.
QString displayed(const QString &fingerprint);

Verdict judge(const QString &presented, const QString &pinned);

// For a reply's sslErrors: lets the reply go on when its certificate is the pinned
// one; otherwise it fails with a handshake error. Returns the verdict and, through
// presented, the certificate's fingerprint.
Verdict apply(QNetworkReply *reply, const QList<QSslError> &errors, const QString &pinned, QString *presented);

} // namespace CertificatePin
