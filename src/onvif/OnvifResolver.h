#pragma once

#include "onvif/OnvifDeviceInfo.h"
#include "onvif/SoapEnvelope.h"

#include <QObject>
#include <QPointer>

class Clock;
class OnvifSoapClient;
class SoapCall;

// Asks a device for what playing it needs: its clock (GetSystemDateAndTime), its
// services (GetServices, or GetCapabilities on older devices), its media profiles
// (Media2 where offered, else Media), the RTSP addresses of the chosen main and grid
// profiles and the snapshot address. Service addresses on another host than the one
// the user gave are taken to be on the user's host and port: devices behind address
// translation report their inner address. One resolution
// at a time; a new one cancels the last. Lives on the thread that creates it.
class OnvifResolver final : public QObject
{
    Q_OBJECT

public:
    explicit OnvifResolver(Clock &clock, QObject *parent = nullptr);
    ~OnvifResolver() override;

    // http://host:port/onvif/device_service, the address every device answers at;
    // empty when host and port make no URL.
    static QUrl deviceServiceUrl(const QString &host, int port);

    // preferredMain and preferredGrid are profile tokens the user chose; empty or
    // unknown ones leave the choice to the sizes.
    void resolve(const QUrl &deviceService, const QString &user, const QString &password,
                 const QString &preferredMain = {}, const QString &preferredGrid = {});
    void cancel();

signals:
    void resolved(const OnvifDeviceInfo &info);
    // status says why (NotAuthorized for refused credentials); reason is for the log
    // and holds no credential.
    void failed(SoapResult::Status status, const QString &reason);

private:
    using Next = void (OnvifResolver::*)(const SoapResult &);

    void send(const QUrl &service, const QString &action, const SoapBodyWriter &body, Next next,
              bool anonymous = false);
    void fail(const SoapResult &result, const QString &step);

    void gotDateAndTime(const SoapResult &result);
    void gotServices(const SoapResult &result);
    void gotCapabilities(const SoapResult &result);
    void askProfiles();
    void gotProfiles(const SoapResult &result);
    void askStreamUri(int index);
    void gotMainUri(const SoapResult &result);
    void gotGridUri(const SoapResult &result);
    void askSnapshotUri();
    void gotSnapshotUri(const SoapResult &result);

    // A reported service address, moved to the user's host and port when on another.
    QUrl onDevicesHost(const QString &address) const;

    OnvifSoapClient *m_client;
    QPointer<SoapCall> m_call;
    OnvifDeviceInfo m_info;
    QString m_preferredMain;
    QString m_preferredGrid;
};
