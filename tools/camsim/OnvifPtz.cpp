#include "camsim/OnvifPtz.h"

#include "camsim/SimCamera.h"
#include "onvif/XmlElement.h"
#include "onvif/XsDuration.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>

namespace {

constexpr int DefaultTimeoutMs = 5000;
constexpr int MaxTimeoutMs = 60000;
const QString VelocityPanTiltSpace = QStringLiteral("http://www.onvif.org/ver10/tptz/PanTiltSpaces/VelocityGenericSpace");
const QString VelocityZoomSpace = QStringLiteral("http://www.onvif.org/ver10/tptz/ZoomSpaces/VelocityGenericSpace");
const QString PositionPanTiltSpace = QStringLiteral("http://www.onvif.org/ver10/tptz/PanTiltSpaces/PositionGenericSpace");
const QString PositionZoomSpace = QStringLiteral("http://www.onvif.org/ver10/tptz/ZoomSpaces/PositionGenericSpace");

std::optional<double> number(const QString &text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString num(double value)
{
    return QString::number(value, 'g', 6);
}

void range(SoapWriter &w, const char *element, double min, double max)
{
    w.start(SoapWriter::Schema, element);
    w.element(SoapWriter::Schema, "Min", num(min));
    w.element(SoapWriter::Schema, "Max", num(max));
    w.end();
}

void space(SoapWriter &w, const char *element, const QString &uri, bool twoAxes, double min)
{
    w.start(SoapWriter::Schema, element);
    w.element(SoapWriter::Schema, "URI", uri);
    range(w, "XRange", min, 1);
    if (twoAxes)
        range(w, "YRange", -1, 1);
    w.end();
}

SoapFault invalid(const QString &reason)
{
    return SoapFault{ 400, "Sender", "InvalidArgVal", reason };
}

} // namespace

OnvifPtz::OnvifPtz(SimCamera *camera, QObject *parent)
    : QObject(parent)
    , m_camera(camera)
{
    m_moveTimer.setSingleShot(true);
    connect(&m_moveTimer, &QTimer::timeout, this, [this] { m_camera->head().stop(); });
}

void OnvifPtz::writeSpaces(SoapWriter &w, const char *element)
{
    w.start(SoapWriter::Schema, element);
    space(w, "AbsolutePanTiltPositionSpace", PositionPanTiltSpace, true, -1);
    space(w, "AbsoluteZoomPositionSpace", PositionZoomSpace, false, 0);
    space(w, "ContinuousPanTiltVelocitySpace", VelocityPanTiltSpace, true, -1);
    space(w, "ContinuousZoomVelocitySpace", VelocityZoomSpace, false, -1);
    w.end();
}

void OnvifPtz::writeConfiguration(SoapWriter &w, SoapWriter::Ns ns, const char *element)
{
    w.start(ns, element);
    w.attribute("token", QStringLiteral("PTZConfiguration_1"));
    w.element(SoapWriter::Schema, "Name", QStringLiteral("PTZ"));
    w.element(SoapWriter::Schema, "UseCount", QStringLiteral("2"));
    w.element(SoapWriter::Schema, "NodeToken", QStringLiteral("PTZNode_1"));
    w.element(SoapWriter::Schema, "DefaultContinuousPanTiltVelocitySpace", VelocityPanTiltSpace);
    w.element(SoapWriter::Schema, "DefaultContinuousZoomVelocitySpace", VelocityZoomSpace);
    w.element(SoapWriter::Schema, "DefaultPTZTimeout", QStringLiteral("PT5S"));
    w.start(SoapWriter::Schema, "PanTiltLimits");
    space(w, "Range", PositionPanTiltSpace, true, -1);
    w.end();
    w.start(SoapWriter::Schema, "ZoomLimits");
    space(w, "Range", PositionZoomSpace, false, 0);
    w.end();
    w.end();
}

std::optional<SoapFault> OnvifPtz::handle(const QString &operation, const XmlElement &request, SoapWriter &w,
                                          bool *known)
{
    *known = true;
    const QByteArray response = (operation + QStringLiteral("Response")).toLatin1();
    std::optional<SoapFault> fault;
    if (operation == QLatin1StringView("ContinuousMove"))
        fault = continuousMove(request);
    else if (operation == QLatin1StringView("Stop"))
        fault = stop(request);
    else if (operation == QLatin1StringView("SetPreset"))
        fault = setPreset(request, w);
    else if (operation == QLatin1StringView("GotoPreset") || operation == QLatin1StringView("RemovePreset"))
        fault = gotoOrRemove(operation, request);
    else if (operation != QLatin1StringView("GetConfigurations") && operation != QLatin1StringView("GetConfiguration")
             && operation != QLatin1StringView("GetConfigurationOptions") && operation != QLatin1StringView("GetNodes")
             && operation != QLatin1StringView("GetStatus") && operation != QLatin1StringView("GetPresets"))
        *known = false;
    if (!*known || fault || operation == QLatin1StringView("SetPreset"))
        return fault;

    w.start(SoapWriter::Ptz, response.constData());
    if (operation == QLatin1StringView("GetConfigurations") || operation == QLatin1StringView("GetConfiguration")) {
        writeConfiguration(w, SoapWriter::Ptz, "PTZConfiguration");
    } else if (operation == QLatin1StringView("GetConfigurationOptions")) {
        w.start(SoapWriter::Ptz, "PTZConfigurationOptions");
        writeSpaces(w, "Spaces");
        w.start(SoapWriter::Schema, "PTZTimeout");
        w.element(SoapWriter::Schema, "Min", QStringLiteral("PT1S"));
        w.element(SoapWriter::Schema, "Max", QStringLiteral("PT1M"));
        w.end();
        w.end();
    } else if (operation == QLatin1StringView("GetNodes")) {
        w.start(SoapWriter::Ptz, "PTZNode");
        w.attribute("token", QStringLiteral("PTZNode_1"));
        w.attribute("FixedHomePosition", QStringLiteral("false"));
        w.element(SoapWriter::Schema, "Name", QStringLiteral("PTZ"));
        writeSpaces(w, "SupportedPTZSpaces");
        w.element(SoapWriter::Schema, "MaximumNumberOfPresets", QString::number(MaxPresets));
        w.element(SoapWriter::Schema, "HomeSupported", QStringLiteral("false"));
        w.end();
    } else if (operation == QLatin1StringView("GetStatus")) {
        writeStatus(w);
    } else if (operation == QLatin1StringView("GetPresets")) {
        for (const Preset &p : std::as_const(m_presets)) {
            w.start(SoapWriter::Ptz, "Preset");
            w.attribute("token", p.token);
            w.element(SoapWriter::Schema, "Name", p.name);
            writePosition(w, "PTZPosition", p.pan, p.tilt, p.zoom);
            w.end();
        }
    }
    w.end();
    return std::nullopt;
}

std::optional<SoapFault> OnvifPtz::gotoOrRemove(const QString &operation, const XmlElement &request)
{
    const qsizetype at = presetIndex(request.textAt({ "PresetToken" }));
    if (at < 0)
        return SoapFault{ 400, "Sender", "NoToken", QStringLiteral("no such preset") };
    m_camera->countCommand(operation, QStringLiteral("%1 %2").arg(operation, m_presets.at(at).token));
    if (operation == QLatin1StringView("RemovePreset")) {
        m_presets.removeAt(at);
        return std::nullopt;
    }
    const Preset &p = m_presets.at(at);
    m_moveTimer.stop();
    m_camera->head().stop();
    m_camera->head().setPosition(p.pan, p.tilt, p.zoom);
    return std::nullopt;
}

void OnvifPtz::writePosition(SoapWriter &w, const char *element, double pan, double tilt, double zoom)
{
    // The generic spaces: pan and tilt -1..1 over the head's travel, zoom 0..1.
    w.start(SoapWriter::Schema, element);
    w.start(SoapWriter::Schema, "PanTilt");
    w.attribute("x", num(pan / Head::PanMax));
    w.attribute("y", num(tilt / Head::TiltMax));
    w.attribute("space", PositionPanTiltSpace);
    w.end();
    w.start(SoapWriter::Schema, "Zoom");
    w.attribute("x", num((zoom - Head::ZoomMin) / (Head::ZoomMax - Head::ZoomMin)));
    w.attribute("space", PositionZoomSpace);
    w.end();
    w.end();
}

void OnvifPtz::writeStatus(SoapWriter &w)
{
    Head &head = m_camera->head();
    w.start(SoapWriter::Ptz, "PTZStatus");
    writePosition(w, "Position", head.pan(), head.tilt(), head.zoom());
    w.start(SoapWriter::Schema, "MoveStatus");
    w.element(SoapWriter::Schema, "PanTilt", head.isPanTiltMoving() ? QStringLiteral("MOVING") : QStringLiteral("IDLE"));
    w.element(SoapWriter::Schema, "Zoom", head.isZoomMoving() ? QStringLiteral("MOVING") : QStringLiteral("IDLE"));
    w.end();
    w.element(SoapWriter::Schema, "UtcTime",
              QDateTime::currentDateTimeUtc().addSecs(m_camera->setup().clockOffset).toString(Qt::ISODate));
    w.end();
}

qsizetype OnvifPtz::presetIndex(const QString &token) const
{
    for (qsizetype i = 0; i < m_presets.size(); ++i) {
        if (m_presets.at(i).token == token)
            return i;
    }
    return -1;
}

std::optional<SoapFault> OnvifPtz::continuousMove(const XmlElement &request)
{
    const XmlElement *velocity = request.childNamed(QStringLiteral("Velocity"));
    if (!velocity)
        return invalid(QStringLiteral("no Velocity"));
    const XmlElement *panTilt = velocity->childNamed(QStringLiteral("PanTilt"));
    const XmlElement *zoom = velocity->childNamed(QStringLiteral("Zoom"));
    std::optional<double> pan = 0;
    std::optional<double> tilt = 0;
    std::optional<double> zoomSpeed = 0;
    if (panTilt) {
        pan = number(panTilt->attribute(QStringLiteral("x")));
        tilt = number(panTilt->attribute(QStringLiteral("y")));
    }
    if (zoom)
        zoomSpeed = number(zoom->attribute(QStringLiteral("x")));
    std::optional<int> timeout = DefaultTimeoutMs;
    const QString timeoutText = request.textAt({ "Timeout" });
    if (!timeoutText.isEmpty())
        timeout = XsDuration::toMs(timeoutText);
    if (!pan || !tilt || !zoomSpeed || !timeout)
        return invalid(QStringLiteral("bad velocity or timeout"));
    // Velocities outside the announced range are clipped, as most devices do; an
    // axis the request leaves out keeps its motion.
    Head &head = m_camera->head();
    if (panTilt)
        head.setPanTiltSpeed(std::clamp(*pan, -1.0, 1.0), std::clamp(*tilt, -1.0, 1.0));
    if (zoom)
        head.setZoomSpeed(std::clamp(*zoomSpeed, -1.0, 1.0));
    m_moveTimer.start(std::clamp(*timeout, 0, MaxTimeoutMs));
    m_camera->countCommand(QStringLiteral("ContinuousMove"),
                           QStringLiteral("ContinuousMove pan=%1 tilt=%2 zoom=%3 timeout=%4")
                               .arg(panTilt ? num(*pan) : QStringLiteral("-"), panTilt ? num(*tilt) : QStringLiteral("-"),
                                    zoom ? num(*zoomSpeed) : QStringLiteral("-"), timeoutText));
    return std::nullopt;
}

std::optional<SoapFault> OnvifPtz::stop(const XmlElement &request)
{
    // Both axes stop unless the request says false for one.
    const bool panTilt = request.textAt({ "PanTilt" }) != QLatin1StringView("false");
    const bool zoom = request.textAt({ "Zoom" }) != QLatin1StringView("false");
    m_camera->countCommand(QStringLiteral("Stop"), QStringLiteral("Stop panTilt=%1 zoom=%2")
                                                        .arg(panTilt ? QStringLiteral("true") : QStringLiteral("false"),
                                                             zoom ? QStringLiteral("true") : QStringLiteral("false")));
    if (m_camera->setup().ignoreStop)
        return std::nullopt;
    Head &head = m_camera->head();
    if (panTilt)
        head.setPanTiltSpeed(0, 0);
    if (zoom)
        head.setZoomSpeed(0);
    return std::nullopt;
}

std::optional<SoapFault> OnvifPtz::setPreset(const XmlElement &request, SoapWriter &w)
{
    QString name = request.textAt({ "PresetName" });
    const QString token = request.textAt({ "PresetToken" });
    if (name.size() > MaxPresetName)
        return invalid(QStringLiteral("preset name too long"));
    qsizetype at = token.isEmpty() ? -1 : presetIndex(token);
    if (!token.isEmpty() && at < 0)
        return SoapFault{ 400, "Sender", "NoToken", QStringLiteral("no such preset") };
    if (at < 0) {
        if (m_presets.size() >= MaxPresets)
            return SoapFault{ 500, "Receiver", "TooManyPresets", QStringLiteral("no room for another preset") };
        m_presets.append(Preset{ QString::number(m_nextPreset++), {}, 0, 0, 1 });
        at = m_presets.size() - 1;
    }
    Preset &p = m_presets[at];
    if (name.isEmpty())
        name = p.name.isEmpty() ? QStringLiteral("Preset %1").arg(p.token) : p.name;
    Head &head = m_camera->head();
    p.name = name;
    p.pan = head.pan();
    p.tilt = head.tilt();
    p.zoom = head.zoom();
    m_camera->countCommand(QStringLiteral("SetPreset"), QStringLiteral("SetPreset %1 %2").arg(p.token, p.name));
    w.start(SoapWriter::Ptz, "SetPresetResponse");
    w.element(SoapWriter::Ptz, "PresetToken", p.token);
    w.end();
    return std::nullopt;
}
