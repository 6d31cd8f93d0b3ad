#pragma once

#include <QByteArray>
#include <QString>

struct HttpRequest;

// Basic and Digest (RFC 7616, MD5, qop=auth) checks for one camera's credentials.
class HttpAuth final
{
public:
    HttpAuth(QString scheme, QString user, QString password);

    bool isRequired() const { return !m_scheme.isEmpty(); }
    bool accepts(const HttpRequest &request) const;
    // The WWW-Authenticate header of a 401 answer.
    QByteArray challenge() const;

private:
    bool acceptsDigest(const QByteArray &method, const QByteArray &fields) const;

    QString m_scheme;
    QString m_user;
    QString m_password;
    QByteArray m_nonce;
};
