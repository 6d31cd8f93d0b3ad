#pragma once

#include "camsim/SoapWriter.h"

#include <QList>
#include <QObject>
#include <QTimer>

#include <optional>

class SimCamera;
class XmlElement;

// A SOAP fault an operation answers with: HTTP status, code, subcode, reason.
struct SoapFault
{
    int status = 400;
    const char *code = "Sender";
    const char *subcode = "InvalidArgVal";
    QString reason;
};

// The PTZ service of one simulated ONVIF camera: continuous moves of its head with
// a timeout, stops (ignored by the "ignoreStop" quirk), status and presets, which
// live in memory for as long as the simulator runs. Main thread.
class OnvifPtz final : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxPresets = 32;
    static constexpr int MaxPresetName = 64;

    explicit OnvifPtz(SimCamera *camera, QObject *parent = nullptr);

    // The PTZ configuration, as profiles and GetConfigurations carry it.
    static void writeConfiguration(SoapWriter &w, SoapWriter::Ns ns, const char *element);
    // Answers one PTZ operation into w's body, or gives its fault; *known is false
    // for an operation the service does not have.
    std::optional<SoapFault> handle(const QString &operation, const XmlElement &request, SoapWriter &w,
                                    bool *known);

private:
    struct Preset
    {
        QString token;
        QString name;
        double pan = 0;
        double tilt = 0;
        double zoom = 1;
    };

    std::optional<SoapFault> continuousMove(const XmlElement &request);
    std::optional<SoapFault> stop(const XmlElement &request);
    std::optional<SoapFault> setPreset(const XmlElement &request, SoapWriter &w);
    std::optional<SoapFault> gotoOrRemove(const QString &operation, const XmlElement &request);
    void writeStatus(SoapWriter &w);
    static void writePosition(SoapWriter &w, const char *element, double pan, double tilt, double zoom);
    static void writeSpaces(SoapWriter &w, const char *element);
    qsizetype presetIndex(const QString &token) const;

    SimCamera *m_camera;
    QList<Preset> m_presets;
    int m_nextPreset = 1;
    // Ends a continuous move when its Timeout runs out, stop or no stop.
    QTimer m_moveTimer;
};
