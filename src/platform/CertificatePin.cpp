#include "platform/CertificatePin.h"

#include "config/Value.h"

#include <QCryptographicHash>
#include <QNetworkReply>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslError>

namespace CertificatePin {

QString key()
{
    return QStringLiteral("video.certificate");
}

QString pinned(const Value &videoParameters)
{
    return videoParameters.value(key()).toString().trimmed().toLower();
}

Value trusting(const Value &camera, const QString &fingerprint)
{
    Value trusted = camera.deepCopy();
    Value video = trusted.value(QStringLiteral("video.parameters"));
    if (!video.isDictionary())
        return {};
    video.insert(key(), fingerprint);
    return trusted;
}

QString fingerprint(const QSslCertificate &certificate)
{
    if (certificate.isNull())
        return {};
    return QString::fromLatin1(certificate.digest(QCryptographicHash::Sha256).toHex());
}

QString displayed(const QString &fingerprint)
{
    QString out;
    out.reserve(fingerprint.size() * 3 / 2);
    for (qsizetype i = 0; i < fingerprint.size(); i += 2) {
        if (i > 0)
            out += QLatin1Char(':');
        out += fingerprint.mid(i, 2).toUpper();
    }
    return out;
}

Verdict judge(const QString &presented, const QString &pinned)
{
    if (pinned.isEmpty())
        return Verdict::Untrusted;
    return !presented.isEmpty() && presented == pinned ? Verdict::Pinned : Verdict::Changed;
}

Verdict apply(QNetworkReply *reply, const QList<QSslError> &errors, const QString &pinned, QString *presented)
{
    const QString seen = fingerprint(reply->sslConfiguration().peerCertificate());
    if (presented)
        *presented = seen;
    const Verdict verdict = judge(seen, pinned);
    if (verdict == Verdict::Pinned)
        reply->ignoreSslErrors(errors);
    return verdict;
}

} // namespace CertificatePin
