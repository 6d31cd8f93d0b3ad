#pragma once

#include "ptz/PTZControllerBase.h"

#include "onvif/SoapEnvelope.h"

#include <QPointer>
#include <QUrl>

class OnvifSoapClient;
class SoapCall;

// "ONVIF PTZ": continuous moves through a device's PTZ service. Setting up asks the
// device for its clock, its capabilities, the media profile that carries a PTZ
// configuration, that configuration's options (velocity ranges, timeouts) and its
// node (presets); until then, and for good on a device without PTZ, gestures send
// nothing. Every move carries a Timeout, renewed while a hold lasts, so that a lost
// stop still ends it. A Stop the device faults on, or after which GetStatus still
// says MOVING, is followed by a ContinuousMove with zero velocity. Main thread.
class OnvifPTZController final : public PTZControllerBase
{
    Q_OBJECT

public:
    // The Timeout of every move, within the device's limits; a hold sends its move
    // again when half of it has passed.
    static constexpr int MoveTimeoutMs = 2000;

    explicit OnvifPTZController(Clock &clock, QObject *parent = nullptr);
    ~OnvifPTZController() override;

    bool initWithParameters(const Value &definition) override;
    void disconnect() override;

    bool supportsPresets() const override { return m_ready && m_maxPresets > 0; }
    void listPresets() override;
    void gotoPreset(const QString &token) override;
    void savePreset(const QString &name) override;

    // Set up and steering; false while setting up and after a failure.
    bool isReady() const { return m_ready; }

private:
    struct Range
    {
        float min = -1;
        float max = 1;
        // v in -1..1 onto the range, 0 staying 0.
        float scale(float v) const { return v >= 0 ? v * max : -v * min; }
    };
    using Next = void (OnvifPTZController::*)(const SoapResult &);

    void handleTimer() override;

    void setupCall(const QUrl &service, const QString &action, const SoapBodyWriter &body, Next next,
                   bool anonymous = false);
    void setupFailed(const SoapResult &result, const char *step);
    void gotDateAndTime(const SoapResult &result);
    void gotCapabilities(const SoapResult &result);
    void gotProfiles(const SoapResult &result);
    void gotOptions(const SoapResult &result);
    void gotNodes(const SoapResult &result);

    // Moves by velocities in -1..1 (zoom > 0 in), scaled into the device's ranges.
    void sendMove(float pan, float tilt, float zoom);
    void sendStop();
    void stopAnswered(const SoapResult &result);
    void statusAnswered(const SoapResult &result);
    void motionCall(const QString &operation, const SoapBodyWriter &body,
                    void (OnvifPTZController::*next)(const SoapResult &));
    void presetCall(const QString &operation, const SoapBodyWriter &body,
                    const std::function<void(const SoapResult &)> &done);
    // A reported service address, on the host and port the user gave.
    QUrl onUsersHost(const QString &address) const;

    OnvifSoapClient *m_client;
    QPointer<SoapCall> m_setupCall;
    QPointer<SoapCall> m_motionCall;
    QUrl m_deviceService;
    QUrl m_mediaService;
    QUrl m_ptzService;
    QString m_profileToken;
    QString m_configurationToken;
    QString m_nodeToken;
    bool m_hasPanTilt = false;
    bool m_hasZoom = false;
    Range m_pan;
    Range m_tilt;
    Range m_zoom;
    int m_timeoutMs = MoveTimeoutMs;
    int m_maxPresets = 0;
    bool m_ready = false;
    // The last move sent, renewed while holding.
    float m_lastPan = 0;
    float m_lastTilt = 0;
    float m_lastZoom = 0;
    qint64 m_lastSend;
};
