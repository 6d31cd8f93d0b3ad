#pragma once

#include "camsim/HttpAuth.h"

#include <QByteArrayList>
#include <QHostAddress>
#include <QObject>
#include <QTcpServer>

class HttpConnection;
class OnvifPtz;
class Scene;
class SimCamera;
class SoapWriter;
struct HttpRequest;
struct SoapFault;
class XmlElement;

// The ONVIF face of one simulated camera: device, media and (with an "onvif" head)
// PTZ services over SOAP 1.2 on its own HTTP port, and a JPEG snapshot. Requests
// carry a WS-Security UsernameToken (PasswordDigest, checked against the camera's
// own clock), or HTTP Digest for a camera with the "digestOnly" quirk. Main thread.
class OnvifServer final : public QObject
{
    Q_OBJECT

public:
    static constexpr int FreshnessSeconds = 300; // how far a token's Created may be off
    static constexpr int RememberedNonces = 256; // a nonce seen again is a replay

    OnvifServer(SimCamera *camera, const Scene &scene, QObject *parent = nullptr);
    ~OnvifServer() override;

    // Port 0 picks a free one; the camera's setup learns the port.
    bool listen(const QHostAddress &address, quint16 port);

    static QString deviceServicePath() { return QStringLiteral("/onvif/device_service"); }
    // "host:port" for addresses the device gives out; IPv6 in brackets.
    static QString authority(const QHostAddress &host, quint16 port);

private:
    enum class Token { Missing, Accepted, Rejected };

    void handle(HttpConnection *connection, const HttpRequest &request);
    void handleSoap(HttpConnection *connection, const HttpRequest &request);
    void serveSnapshot(HttpConnection *connection, const HttpRequest &request);
    Token checkToken(const XmlElement &envelope);
    void answerFault(HttpConnection *connection, const SoapFault &fault, const QList<QByteArray> &headers = {});
    bool device(const QString &operation, const QString &base, SoapWriter &w);
    std::optional<SoapFault> media(const QString &operation, const XmlElement &request, const QString &base,
                                   SoapWriter &w, bool *known);
    void writeProfile(SoapWriter &w, int index);

    SimCamera *m_camera;
    const Scene &m_scene;
    HttpAuth m_digest; // snapshots, and every request of a "digestOnly" camera
    OnvifPtz *m_ptz = nullptr;
    QByteArrayList m_nonces;
    QTcpServer m_server;
};
