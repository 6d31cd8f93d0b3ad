#pragma once

#include "config/Value.h"
#include "platform/DnsSdBrowser.h"

#include <QList>
#include <QObject>
#include <QTimer>

#include <memory>

class BonjourDelegate;

// Finds cameras announced as "_qelcam._tcp" and turns each announcement into a
// camera definition whose keys come from the TXT record. Main thread only.
class BonjourHandler final : public QObject
{
    Q_OBJECT

public:
    static constexpr int ResolveTimeoutMs = 30 * 1000;
    static constexpr int QuietPeriodMs = 1000;

    // Browsing starts at once. The delegate is not owned.
    BonjourHandler(BonjourDelegate *observer, std::unique_ptr<DnsSdBrowser> browser, QObject *parent = nullptr);
    ~BonjourHandler() override;

    // None when browsing cannot be set up: the caller runs without discovery.
    static std::unique_ptr<BonjourHandler> create(BonjourDelegate *observer, std::unique_ptr<DnsSdBrowser> browser);

    QList<Value> detectedCameras() const { return m_detectedCameras; }
    void stopResolves();

    // The delay publishing waits for while services resolve; tests shorten it.
    void setQuietPeriod(int ms) { m_autoTask.setInterval(ms); }

    // The definition an announcement describes: TXT keys by prefix, with the
    // first IPv4 address and the port standing in for a missing host and port.
    static Value makeCameraFromService(const DnsSdService &service, const ResolvedService &resolved);

private:
    void serviceFound(const DnsSdService &service);
    void serviceRemoved(const DnsSdService &service, bool moreComing);
    void serviceResolved(const DnsSdService &service, const ResolvedService &resolved);
    void resolveFailed(const DnsSdService &service);
    void txtRecordUpdated(const DnsSdService &service, const TxtRecord &txt);

    qsizetype findAutoCameraByService(const DnsSdService &service) const;
    void autoDataChanged();
    void refreshAutoDataUI();

    BonjourDelegate *m_observer;
    std::unique_ptr<DnsSdBrowser> m_netServiceBrowser;
    QList<Value> m_detectedCameras;
    // What each detected camera resolved to, at the same positions.
    QList<ResolvedService> m_resolved;
    QList<DnsSdService> m_resolvingServices;
    bool m_autoDirty = false;
    QTimer m_autoTask;
};
