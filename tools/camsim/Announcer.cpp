#include "camsim/Announcer.h"

#include <avahi-common/error.h>
#include <avahi-common/strlst.h>

#include <QTextStream>

Announcer::Announcer(QList<Service> services)
    : m_services(std::move(services))
{
}

Announcer::~Announcer()
{
    if (m_poll)
        avahi_threaded_poll_stop(m_poll);
    if (m_client)
        avahi_client_free(m_client); // frees the entry group too
    if (m_poll)
        avahi_threaded_poll_free(m_poll);
}

bool Announcer::start()
{
    m_poll = avahi_threaded_poll_new();
    if (!m_poll)
        return false;
    int error = 0;
    // Without AVAHI_CLIENT_NO_FAIL a missing daemon is reported here, at once.
    m_client = avahi_client_new(avahi_threaded_poll_get(m_poll), AvahiClientFlags(0), clientCallback, this, &error);
    if (!m_client) {
        QTextStream(stderr) << "vyo-camsim: no DNS-SD announcement: " << avahi_strerror(error) << '\n';
        return false;
    }
    if (avahi_threaded_poll_start(m_poll) < 0) {
        QTextStream(stderr) << "vyo-camsim: no DNS-SD announcement: cannot start the Avahi thread\n";
        return false;
    }
    return true;
}

void Announcer::clientCallback(AvahiClient *client, AvahiClientState state, void *self)
{
    // Runs on the Avahi thread (or inside avahi_client_new on ours).
    auto *announcer = static_cast<Announcer *>(self);
    if (state == AVAHI_CLIENT_S_RUNNING)
        announcer->publish(client);
    else if (state == AVAHI_CLIENT_FAILURE)
        QTextStream(stderr) << "vyo-camsim: DNS-SD announcement ended: "
                            << avahi_strerror(avahi_client_errno(client)) << '\n';
}

void Announcer::publish(AvahiClient *client)
{
    if (m_group)
        return;
    m_group = avahi_entry_group_new(client, nullptr, nullptr);
    if (!m_group)
        return;
    for (const Service &service : std::as_const(m_services)) {
        AvahiStringList *txt = nullptr;
        for (const auto &pair : service.txt)
            txt = avahi_string_list_add_pair(txt, pair.first.constData(), pair.second.constData());
        const int rc = avahi_entry_group_add_service_strlst(m_group, AVAHI_IF_UNSPEC, AVAHI_PROTO_INET,
                                                            AvahiPublishFlags(0),
                                                            service.name.toUtf8().constData(), "_qelcam._tcp",
                                                            nullptr, nullptr, service.port, txt);
        avahi_string_list_free(txt);
        if (rc < 0)
            QTextStream(stderr) << "vyo-camsim: cannot announce " << service.name << ": " << avahi_strerror(rc)
                                << '\n';
    }
    avahi_entry_group_commit(m_group);
}
