#pragma once

#include "platform/DnsSdBrowser.h"
#include "platform/QtAvahiPoll.h"

#include <QList>
#include <QTimer>

#include <memory>
#include <vector>

struct AvahiClient;
struct AvahiServiceBrowser;
struct AvahiServiceResolver;
struct AvahiRecordBrowser;

// DNS-SD over the Avahi daemon, on the Qt event loop of the owning thread. Waits
// for a daemon that is not running and starts over when one restarts.
class AvahiBrowser final : public DnsSdBrowser
{
    Q_OBJECT

public:
    explicit AvahiBrowser(QObject *parent = nullptr);
    ~AvahiBrowser() override;

    bool browse(const QString &type) override;
    void resolve(const DnsSdService &service, int timeoutMs) override;
    void stopResolve(const DnsSdService &service) override;
    void startMonitoring(const DnsSdService &service) override;
    void stopMonitoring(const DnsSdService &service) override;
    void stop() override;

private:
    struct Instance
    {
        int interface;
        int protocol;
        bool operator==(const Instance &other) const = default;
    };
    struct Tracked
    {
        QList<Instance> instances;
        AvahiServiceResolver *resolver = nullptr;
        std::unique_ptr<QTimer> resolveTimer;
        AvahiRecordBrowser *txtBrowser = nullptr;
        TxtRecord lastTxt;
    };
    struct Event
    {
        bool found;
        DnsSdService service;
    };

    bool connectClient();
    void clientStateChanged(int state);
    void browseEvent(int event, int interface, int protocol, const DnsSdService &service);
    void startBrowser();
    void dropEverything();
    void queue(bool found, const DnsSdService &service);
    void flush();
    void freeResolver(Tracked &tracked);
    void freeTxtBrowser(Tracked &tracked);

    struct Glue; // Avahi's C callbacks
    friend struct Glue;

    QtAvahiPoll m_poll;
    AvahiClient *m_client = nullptr;
    AvahiServiceBrowser *m_browser = nullptr;
    QString m_type;
    bool m_reportedMissingDaemon = false;
    std::vector<std::pair<DnsSdService, std::unique_ptr<Tracked>>> m_services;
    QList<Event> m_pending;
    QTimer m_flushTimer;
    QTimer m_reconnectTimer;

    Tracked *find(const DnsSdService &service);
};
