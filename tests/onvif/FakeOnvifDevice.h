#pragma once

#include "support/TestServer.h"

#include <QHash>
#include <QStringList>
#include <QUrl>

#include <functional>

QByteArray httpResponse(int status, const QByteArray &body, const QByteArray &extraHeaders = {});

// A SOAP 1.2 envelope around body; the prefixes env, tds, trt, tr2, tt and ter are declared.
QByteArray soapEnvelope(const QByteArray &body);

// An ONVIF device on loopback answering from a table of canned bodies, keyed by the
// action's last part ("GetProfiles"). Requests other than GetSystemDateAndTime must
// carry a UsernameToken made with password in the device's time (ours plus
// clockOffsetMs, give or take five minutes); others get the NotAuthorized fault.
class FakeOnvifDevice final
{
public:
    FakeOnvifDevice();

    QUrl deviceService() const;
    quint16 port() const { return m_server.port(); }
    // The body element(s) of the reply to operation, "{token}" standing for the
    // request's profile token and "{port}" for the device's port. Operations without
    // one answer the ActionNotSupported fault.
    void setReply(const QString &operation, const QByteArray &body) { m_replies.insert(operation, body); }
    // A device with Media, PTZ, four profiles (JPEG 320x240 "jpeg", H.264 1920x1080
    // "main", audio only "audio", H.264 640x360 "sub"), stream addresses
    // rtsp://127.0.0.1:8554/<token> and snapshots.
    void serveMedia();
    static const QByteArray MediaProfiles;
    static const QByteArray MediaStreamUri;

    // The operations asked for, in order.
    const QStringList &operations() const { return m_operations; }

    QString user = QStringLiteral("admin");
    QString password = QStringLiteral("secret");
    qint64 clockOffsetMs = 0;
    // Off: every request is answered without credentials, as some devices do.
    bool requiresToken = true;

private:
    void respond(QTcpSocket *socket, const QByteArray &head, const QByteArray &body);
    bool authorized(const QByteArray &body) const;

    TestServer m_server;
    QHash<QString, QByteArray> m_replies;
    QStringList m_operations;
};
