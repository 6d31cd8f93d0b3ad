#pragma once

#include "video/VideoProfile.h"

#include <QUrl>

struct OnvifDeviceInfo;

// A camera of any maker that speaks ONVIF: the user gives host, port and credentials;
// saving resolves the device (OnvifResolver) and keeps the chosen profiles' RTSP
// addresses in the definition, so that playing needs no SOAP call until a stored
// address stops working. Plays through the RTSP reader.
class OnvifVideoProfile final : public VideoProfile
{
public:
    static inline const QString Type = QStringLiteral("ONVIF");
    // Definition keys beyond host, port, user name and password.
    static inline const QString MainProfileKey = QStringLiteral("video.main_profile");
    static inline const QString GridProfileKey = QStringLiteral("video.grid_profile");
    static inline const QString MainSummaryKey = QStringLiteral("video.main_summary");
    static inline const QString GridSummaryKey = QStringLiteral("video.grid_summary");
    static inline const QString MainUriKey = QStringLiteral("video.main_uri");
    static inline const QString GridUriKey = QStringLiteral("video.grid_uri");
    static inline const QString SnapshotUriKey = QStringLiteral("video.snapshot_uri");
    static inline const QString PTZServiceKey = QStringLiteral("video.ptz_service");

    QString description() const override;
    QString canHandleType() const override;
    std::unique_ptr<FrameProducer> streamFromParms(const Value &params, bool thumbnail,
                                                   QThread *thread) const override;
    void populateForm(FormHost &form, const Value &params) const override;
    Value readFromForm(const FormHost &form) const override;
    QList<const PTZProfile *> compatiblePTZList() const override;

    // The device service address made of "video.host" and "video.port".
    static QUrl deviceService(const Value &params);
    // The stored RTSP address of the main or grid stream with the definition's
    // credentials put in; empty when none is stored.
    static QUrl streamURL(const Value &params, bool thumbnail);
    // The same for an address just resolved.
    static QUrl withCredentials(const Value &params, const QString &uri);
    // Writes what resolving found into a definition's video parameters.
    static void storeResolution(Value &params, const OnvifDeviceInfo &info);
};
