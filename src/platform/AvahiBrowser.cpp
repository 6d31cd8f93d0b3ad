#include "platform/AvahiBrowser.h"

#include "util/QelLog.h"

#include <avahi-client/client.h>
#include <avahi-client/lookup.h>
#include <avahi-common/domain.h>
#include <avahi-common/error.h>
#include <avahi-common/malloc.h>
#include <avahi-common/strlst.h>

#include <arpa/inet.h>

namespace {

constexpr int ReconnectDelayMs = 2000;

TxtRecord txtFromList(AvahiStringList *list)
{
    TxtRecord txt;
    // A TXT record is at most 64 KiB; the count bound only guards a damaged list.
    int entries = 0;
    for (AvahiStringList *l = list; l && entries < 1024; l = avahi_string_list_get_next(l), ++entries) {
        char *key = nullptr;
        char *value = nullptr;
        size_t size = 0;
        if (avahi_string_list_get_pair(l, &key, &value, &size) < 0)
            continue;
        // An entry that repeats a key keeps the first value, as DNS-SD readers do.
        const QByteArray name(key);
        if (!txt.contains(name))
            txt.insert(name, value ? QByteArray(value, static_cast<qsizetype>(size)) : QByteArray());
        avahi_free(key);
        avahi_free(value);
    }
    return txt;
}

} // namespace

struct AvahiBrowser::Glue
{
    static void client(AvahiClient *client, AvahiClientState state, void *self)
    {
        auto *browser = static_cast<AvahiBrowser *>(self);
        // Called from inside avahi_client_new before m_client is set.
        browser->m_client = client;
        browser->clientStateChanged(state);
    }

    static void browse(AvahiServiceBrowser *, AvahiIfIndex interface, AvahiProtocol protocol, AvahiBrowserEvent event,
                       const char *name, const char *type, const char *domain, AvahiLookupResultFlags, void *self)
    {
        const DnsSdService service{ QString::fromUtf8(name), QString::fromUtf8(type), QString::fromUtf8(domain) };
        static_cast<AvahiBrowser *>(self)->browseEvent(event, interface, protocol, service);
    }

    static void resolve(AvahiServiceResolver *, AvahiIfIndex, AvahiProtocol, AvahiResolverEvent event,
                        const char *name, const char *type, const char *domain, const char *,
                        const AvahiAddress *address, uint16_t port, AvahiStringList *txt, AvahiLookupResultFlags,
                        void *self)
    {
        auto *browser = static_cast<AvahiBrowser *>(self);
        const DnsSdService service{ QString::fromUtf8(name), QString::fromUtf8(type), QString::fromUtf8(domain) };
        Tracked *tracked = browser->find(service);
        if (!tracked)
            return;
        browser->freeResolver(*tracked);
        if (event != AVAHI_RESOLVER_FOUND) {
            emit browser->resolveFailed(service);
            return;
        }
        ResolvedService resolved;
        resolved.port = port;
        resolved.txt = txtFromList(txt);
        if (address && address->proto == AVAHI_PROTO_INET)
            resolved.addresses.append(QHostAddress(ntohl(address->data.ipv4.address)));
        else if (address && address->proto == AVAHI_PROTO_INET6)
            resolved.addresses.append(QHostAddress(address->data.ipv6.address));
        tracked->lastTxt = resolved.txt;
        emit browser->serviceResolved(service, resolved);
    }

    static void txt(AvahiRecordBrowser *recordBrowser, AvahiIfIndex, AvahiProtocol, AvahiBrowserEvent event, const char *,
                    uint16_t, uint16_t, const void *rdata, size_t size, AvahiLookupResultFlags, void *self)
    {
        if (event != AVAHI_BROWSER_NEW || !rdata)
            return;
        auto *browser = static_cast<AvahiBrowser *>(self);
        AvahiStringList *list = nullptr;
        if (avahi_string_list_parse(rdata, size, &list) < 0)
            return;
        const TxtRecord record = txtFromList(list);
        avahi_string_list_free(list);
        // The first report repeats the record the resolve gave; only changes count.
        for (auto &[service, tracked] : browser->m_services) {
            if (tracked->txtBrowser == recordBrowser && tracked->lastTxt != record) {
                tracked->lastTxt = record;
                emit browser->txtRecordUpdated(service, record);
                return;
            }
        }
    }
};

AvahiBrowser::AvahiBrowser(QObject *parent)
    : DnsSdBrowser(parent)
{
    m_flushTimer.setSingleShot(true);
    connect(&m_flushTimer, &QTimer::timeout, this, &AvahiBrowser::flush);
    m_reconnectTimer.setSingleShot(true);
    m_reconnectTimer.setInterval(ReconnectDelayMs);
    connect(&m_reconnectTimer, &QTimer::timeout, this, &AvahiBrowser::connectClient);
}

AvahiBrowser::~AvahiBrowser()
{
    stop();
    if (m_client)
        avahi_client_free(m_client);
}

bool AvahiBrowser::browse(const QString &type)
{
    m_type = type;
    return connectClient();
}

bool AvahiBrowser::connectClient()
{
    if (m_client)
        return true;
    int error = 0;
    // NO_FAIL: without a daemon the client waits for one instead of failing.
    AvahiClient *client = avahi_client_new(m_poll.poll(), AVAHI_CLIENT_NO_FAIL, Glue::client, this, &error);
    if (!client) {
        if (!m_reportedMissingDaemon)
            QEL_LOG(LogLevel::Error, QStringLiteral("DNS-SD discovery is off: %1").arg(QString::fromUtf8(avahi_strerror(error))));
        m_reportedMissingDaemon = true;
        m_reconnectTimer.start();
        return false;
    }
    m_client = client;
    return true;
}

void AvahiBrowser::clientStateChanged(int state)
{
    switch (state) {
    case AVAHI_CLIENT_S_RUNNING:
        m_reportedMissingDaemon = false;
        startBrowser();
        break;
    case AVAHI_CLIENT_CONNECTING:
        if (!m_reportedMissingDaemon)
            QEL_LOG(LogLevel::Error, QStringLiteral("DNS-SD discovery waits for the Avahi daemon, which is not running"));
        m_reportedMissingDaemon = true;
        break;
    case AVAHI_CLIENT_FAILURE:
        // The daemon went away: everything it told us is gone with it.
        QEL_LOG(LogLevel::Debug, QStringLiteral("DNS-SD: lost the Avahi daemon (%1); waiting for it")
                       .arg(QString::fromUtf8(avahi_strerror(avahi_client_errno(m_client)))));
        dropEverything();
        avahi_client_free(m_client);
        m_client = nullptr;
        m_reconnectTimer.start();
        break;
    default:
        break;
    }
}

void AvahiBrowser::startBrowser()
{
    if (m_browser || m_type.isEmpty() || !m_client)
        return;
    m_browser = avahi_service_browser_new(m_client, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC, m_type.toUtf8().constData(),
                                          nullptr, AvahiLookupFlags(0), Glue::browse, this);
    if (!m_browser)
        QEL_LOG(LogLevel::Error, QStringLiteral("DNS-SD: cannot browse %1: %2")
                       .arg(m_type, QString::fromUtf8(avahi_strerror(avahi_client_errno(m_client)))));
}

AvahiBrowser::Tracked *AvahiBrowser::find(const DnsSdService &service)
{
    for (auto &[known, tracked] : m_services) {
        if (known == service)
            return tracked.get();
    }
    return nullptr;
}

void AvahiBrowser::browseEvent(int event, int interface, int protocol, const DnsSdService &service)
{
    const Instance instance{ interface, protocol };
    switch (event) {
    case AVAHI_BROWSER_NEW: {
        Tracked *tracked = find(service);
        if (!tracked) {
            m_services.emplace_back(service, std::make_unique<Tracked>());
            tracked = m_services.back().second.get();
            queue(true, service);
        }
        if (!tracked->instances.contains(instance))
            tracked->instances.append(instance);
        break;
    }
    case AVAHI_BROWSER_REMOVE: {
        Tracked *tracked = find(service);
        if (!tracked)
            break;
        tracked->instances.removeAll(instance);
        // One service seen on several interfaces or protocols leaves with the last.
        if (!tracked->instances.isEmpty())
            break;
        freeResolver(*tracked);
        freeTxtBrowser(*tracked);
        std::erase_if(m_services, [&service](const auto &entry) { return entry.first == service; });
        queue(false, service);
        break;
    }
    case AVAHI_BROWSER_ALL_FOR_NOW:
    case AVAHI_BROWSER_CACHE_EXHAUSTED:
        break;
    case AVAHI_BROWSER_FAILURE:
        QEL_LOG(LogLevel::Error, QStringLiteral("DNS-SD: browsing failed: %1")
                       .arg(QString::fromUtf8(avahi_strerror(avahi_client_errno(m_client)))));
        break;
    default:
        break;
    }
}

void AvahiBrowser::queue(bool found, const DnsSdService &service)
{
    // Reports that arrive together are handed on together, the last one flagged
    // as the end of the burst.
    m_pending.append({ found, service });
    m_flushTimer.start(0);
}

void AvahiBrowser::flush()
{
    const QList<Event> events = std::exchange(m_pending, {});
    for (qsizetype i = 0; i < events.size(); ++i) {
        const bool more = i + 1 < events.size();
        if (events[i].found)
            emit serviceFound(events[i].service, more);
        else
            emit serviceRemoved(events[i].service, more);
    }
}

void AvahiBrowser::dropEverything()
{
    for (auto &[service, tracked] : m_services) {
        freeResolver(*tracked);
        freeTxtBrowser(*tracked);
        queue(false, service);
    }
    m_services.clear();
    if (m_browser)
        avahi_service_browser_free(m_browser);
    m_browser = nullptr;
}

void AvahiBrowser::resolve(const DnsSdService &service, int timeoutMs)
{
    Tracked *tracked = find(service);
    if (!tracked || !m_client || tracked->instances.isEmpty()) {
        QMetaObject::invokeMethod(this, [this, service] { emit resolveFailed(service); }, Qt::QueuedConnection);
        return;
    }
    freeResolver(*tracked);
    // Resolve the instance seen over IPv4 when there is one: its address is the one wanted.
    Instance chosen = tracked->instances.first();
    for (const Instance &i : std::as_const(tracked->instances)) {
        if (i.protocol == AVAHI_PROTO_INET)
            chosen = i;
    }
    tracked->resolver = avahi_service_resolver_new(
        m_client, chosen.interface, chosen.protocol, service.name.toUtf8().constData(),
        service.type.toUtf8().constData(), service.domain.toUtf8().constData(),
        chosen.protocol == AVAHI_PROTO_INET ? AVAHI_PROTO_INET : AVAHI_PROTO_UNSPEC, AvahiLookupFlags(0),
        Glue::resolve, this);
    if (!tracked->resolver) {
        QMetaObject::invokeMethod(this, [this, service] { emit resolveFailed(service); }, Qt::QueuedConnection);
        return;
    }
    tracked->resolveTimer = std::make_unique<QTimer>();
    tracked->resolveTimer->setSingleShot(true);
    connect(tracked->resolveTimer.get(), &QTimer::timeout, this, [this, service] {
        if (Tracked *t = find(service)) {
            freeResolver(*t);
            emit resolveFailed(service);
        }
    });
    tracked->resolveTimer->start(timeoutMs);
}

void AvahiBrowser::freeResolver(Tracked &tracked)
{
    if (tracked.resolver)
        avahi_service_resolver_free(tracked.resolver);
    tracked.resolver = nullptr;
    // The timer may be the one firing now; let it finish before it goes.
    if (tracked.resolveTimer) {
        tracked.resolveTimer->stop();
        tracked.resolveTimer.release()->deleteLater();
    }
}

void AvahiBrowser::stopResolve(const DnsSdService &service)
{
    if (Tracked *tracked = find(service))
        freeResolver(*tracked);
}

void AvahiBrowser::startMonitoring(const DnsSdService &service)
{
    Tracked *tracked = find(service);
    if (!tracked || tracked->txtBrowser || !m_client || tracked->instances.isEmpty())
        return;
    char fullName[AVAHI_DOMAIN_NAME_MAX];
    if (avahi_service_name_join(fullName, sizeof fullName, service.name.toUtf8().constData(),
                                service.type.toUtf8().constData(), service.domain.toUtf8().constData())
        < 0)
        return;
    const Instance i = tracked->instances.first();
    tracked->txtBrowser = avahi_record_browser_new(m_client, i.interface, i.protocol, fullName, AVAHI_DNS_CLASS_IN,
                                                   AVAHI_DNS_TYPE_TXT, AvahiLookupFlags(0), Glue::txt, this);
}

void AvahiBrowser::freeTxtBrowser(Tracked &tracked)
{
    if (tracked.txtBrowser)
        avahi_record_browser_free(tracked.txtBrowser);
    tracked.txtBrowser = nullptr;
}

void AvahiBrowser::stopMonitoring(const DnsSdService &service)
{
    if (Tracked *tracked = find(service))
        freeTxtBrowser(*tracked);
}

void AvahiBrowser::stop()
{
    for (auto &[service, tracked] : m_services) {
        freeResolver(*tracked);
        freeTxtBrowser(*tracked);
    }
    m_services.clear();
    m_pending.clear();
    if (m_browser)
        avahi_service_browser_free(m_browser);
    m_browser = nullptr;
    m_type.clear();
}
