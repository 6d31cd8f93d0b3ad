#pragma once

#include "camsim/Head.h"

#include <QJsonObject>
#include <QMap>
#include <QSize>
#include <QString>
#include <QStringList>

// How one simulated camera is reached and what it speaks.
struct CameraSetup
{
    QString name;
    // "generic", "axis", "axisserver", "sony", "canon", "milestone", "rtsp" or "onvif".
    QString family;
    // Cameras with the same server share one listener (video-server inputs,
    // cameras behind one management server).
    QString server;
    quint16 port = 0;
    int input = 1;             // input number on an Axis video server
    QString path;              // generic and RTSP cameras: the stream path (and query)
    bool vapix = false;        // generic cameras: understands resolution/fps/compression
    QString cameraName;        // milestone: the server's name for the camera
    QString auth;              // "", "basic" or "digest"
    bool https = false;        // HTTP cameras: TLS with a self-signed certificate
    QString user;
    QString password;
    QSize resolution{ 640, 480 }; // when the request names none
    double fps = 10;              // when the request names none
    double homePan = 0;           // where the head points at start and after a reset
    double homeTilt = 0;
    // "", "axis", "sony", "canon", "pelco", "gemineye", "universal", "milestone" or "onvif".
    QString ptz;
    quint16 ptzPort = 0; // byte protocols: the serial adapter's port
    int serialId = 1;
    int cameraNumber = 1; // GeminEye: camera 2 reads its zoom from another byte
    // Framing quirks of the Motion-JPEG stream, for tests.
    bool noContentLength = false;
    bool dashedBoundary = false;
    bool noLeadingBoundary = false;
    bool lfOnly = false;
    bool singlePicture = false;
    // RTSP cameras: "h264" or "h265", the optional sub stream, the transport the
    // viewer is told to use, and faults: pictures stop stallAfter seconds into a
    // stream; the whole simulator exits exitAfter seconds after it started and comes
    // back downFor seconds later, as a camera that reboots; a share udpLoss of the
    // RTP packets is lost.
    QString codec = QStringLiteral("h264");
    QString subPath;
    QSize subResolution{ 320, 240 };
    QString transport;
    double stallAfter = 0;
    double exitAfter = 0;
    double downFor = 0;
    double udpLoss = 0;
    // ONVIF cameras: an RTSP camera (main and sub stream on rtspPort) whose device,
    // media and PTZ services answer SOAP on port. prefixes picks the namespace
    // prefixes of its replies ("named" or "numbered"); hardware and location go
    // into its discovery scopes. Quirks: Stop is answered but ignored, the clock
    // is clockOffset seconds off, or only HTTP Digest is accepted.
    quint16 rtspPort = 0;
    QString prefixes = QStringLiteral("named");
    QString hardware;
    QString location;
    bool ignoreStop = false;
    int clockOffset = 0;
    bool digestOnly = false;
};

// A camera's head, counters and setup; the servers update it, /state reports it.
class SimCamera final
{
public:
    static constexpr int RecentCommands = 32;

    explicit SimCamera(CameraSetup setup);

    CameraSetup &setup() { return m_setup; }
    Head &head() { return m_head; }

    void countCommand(const QString &kind, const QString &text);
    void countBadFrame(const QString &why);
    void addVideoClient(int delta) { m_videoClients += delta; }
    quint64 nextFrameNumber() { return ++m_frames; }
    void reset();

    QJsonObject state();

private:
    CameraSetup m_setup;
    Head m_head;
    QMap<QString, int> m_commands;
    int m_badFrames = 0;
    int m_videoClients = 0;
    quint64 m_frames = 0;
    QString m_lastCommand;
    QStringList m_recentCommands; // the last RecentCommands, oldest first
};
