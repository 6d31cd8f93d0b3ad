#pragma once

#include "ptz/HttpPTZController.h"

#include <QMap>

// "Canon PTZ": the camera takes absolute positions, so the controller reads them
// once at start-up, keeps its own copy and sends the stepped position every tick
// that has motion. There is nothing to stop: the camera stays where it was sent.
class CanonPTZController final : public HttpPTZController
{
    Q_OBJECT

public:
    // An information reply larger than this is not a camera's.
    static constexpr qint64 MaxInfoBytes = 64 * 1024;
    // Slowest step, in the camera's units.
    static constexpr float MinStep = 12;

    explicit CanonPTZController(Clock &clock, QObject *parent = nullptr);

    // Blocks for at most 5 seconds on the information request, without letting
    // user input through meanwhile.
    bool initWithParameters(const Value &definition) override;

    void sendCommand(const QString &command);

    const QMap<QString, QString> &cameraInfo() const { return m_cameraInfo; }

    // Adds the "key=value" lines of an information reply to info; false (logged)
    // when a line has no "=".
    static bool parseCameraInfo(const QByteArray &reply, QMap<QString, QString> *info);

private:
    void handleTimer() override;

    bool fetchCameraInfo(const QString &infoURL);
    int info(const QString &key) const;
    float zoomFactor() const;
    // Steps one axis of the tracked position and returns its new value.
    int moveAxis(const QString &key, int direction, float change, float interval, float factor,
                 const QString &lowerKey, const QString &upperKey);
    void zoom(float changePinch, float interval);

    QMap<QString, QString> m_cameraInfo;
    float m_holdX = 0;
    float m_holdY = 0;
    float m_holdXYInt = 0;
    PTZMotion::StopLatch m_stop;
};
