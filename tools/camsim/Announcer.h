#pragma once

#include <QList>
#include <QPair>
#include <QString>

#include <avahi-client/client.h>
#include <avahi-client/publish.h>
#include <avahi-common/thread-watch.h>

// Publishes each camera as a "_qelcam._tcp" DNS-SD service through the Avahi
// daemon. Avahi runs its own thread; nothing it calls touches Qt objects.
class Announcer final
{
public:
    struct Service
    {
        QString name;
        quint16 port = 0;
        QList<QPair<QByteArray, QByteArray>> txt;
    };

    explicit Announcer(QList<Service> services);
    ~Announcer();

    Announcer(const Announcer &) = delete;
    Announcer &operator=(const Announcer &) = delete;

    // False (after a line on stderr) when no daemon can be reached.
    bool start();

private:
    static void clientCallback(AvahiClient *client, AvahiClientState state, void *self);
    void publish(AvahiClient *client);

    QList<Service> m_services;
    AvahiThreadedPoll *m_poll = nullptr;
    AvahiClient *m_client = nullptr;
    AvahiEntryGroup *m_group = nullptr;
};
