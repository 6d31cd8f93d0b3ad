#include "discovery/BonjourHandler.h"

#include "discovery/BonjourDelegate.h"
#include "util/QelLog.h"

#include <QCollator>
#include <QStringDecoder>

#include <algorithm>
#include <numeric>

namespace {

const QString ServiceType = QStringLiteral("_qelcam._tcp");

// The value as UTF-8 text, or none for a key without a value or bytes that are not UTF-8.
std::optional<QString> copyStringFromTXTDict(const TxtRecord &txt, const QByteArray &key)
{
    const QByteArray bytes = txt.value(key);
    if (bytes.isNull())
        return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

QString IPStringFromAddress(const QList<QHostAddress> &addresses)
{
    for (const QHostAddress &address : addresses) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol)
            return address.toString();
    }
    return {};
}

std::shared_ptr<DnsSdService> serviceOf(const Value &camera)
{
    return std::static_pointer_cast<DnsSdService>(camera.value(QStringLiteral("service")).toHandle());
}

} // namespace

BonjourHandler::BonjourHandler(BonjourDelegate *observer, std::unique_ptr<DnsSdBrowser> browser, QObject *parent)
    : QObject(parent)
    , m_observer(observer)
    , m_netServiceBrowser(std::move(browser))
{
    m_detectedCameras.reserve(10);
    m_resolvingServices.reserve(10);
    m_autoTask.setSingleShot(true);
    m_autoTask.setInterval(QuietPeriodMs);
    connect(&m_autoTask, &QTimer::timeout, this, &BonjourHandler::refreshAutoDataUI);
    DnsSdBrowser *b = m_netServiceBrowser.get();
    connect(b, &DnsSdBrowser::serviceFound, this, [this](const DnsSdService &s, bool) { serviceFound(s); });
    connect(b, &DnsSdBrowser::serviceRemoved, this, &BonjourHandler::serviceRemoved);
    connect(b, &DnsSdBrowser::serviceResolved, this, &BonjourHandler::serviceResolved);
    connect(b, &DnsSdBrowser::resolveFailed, this, &BonjourHandler::resolveFailed);
    connect(b, &DnsSdBrowser::txtRecordUpdated, this, &BonjourHandler::txtRecordUpdated);
}

BonjourHandler::~BonjourHandler()
{
    stopResolves();
    m_autoTask.stop();
}

std::unique_ptr<BonjourHandler> BonjourHandler::create(BonjourDelegate *observer, std::unique_ptr<DnsSdBrowser> browser)
{
    if (!browser)
        return nullptr;
    auto handler = std::make_unique<BonjourHandler>(observer, std::move(browser));
    if (!handler->m_netServiceBrowser->browse(ServiceType))
        return nullptr;
    return handler;
}

void BonjourHandler::stopResolves()
{
    m_netServiceBrowser->stop();
    for (const DnsSdService &service : std::as_const(m_resolvingServices))
        m_netServiceBrowser->stopResolve(service);
    m_resolvingServices.clear();
}

void BonjourHandler::serviceFound(const DnsSdService &service)
{
    if (m_resolvingServices.contains(service))
        return;
    m_resolvingServices.append(service);
    m_netServiceBrowser->resolve(service, ResolveTimeoutMs);
}

void BonjourHandler::serviceResolved(const DnsSdService &service, const ResolvedService &resolved)
{
    if (!m_resolvingServices.contains(service))
        return;
    m_detectedCameras.append(makeCameraFromService(service, resolved));
    m_resolved.append(resolved);
    m_netServiceBrowser->stopResolve(service);
    m_resolvingServices.removeOne(service);
    m_netServiceBrowser->startMonitoring(service);
    autoDataChanged();
}

void BonjourHandler::resolveFailed(const DnsSdService &service)
{
    QEL_LOG(LogLevel::Error, QStringLiteral("Camera service \"%1\" did not resolve in a reasonable amount of time").arg(service.name));
    if (m_resolvingServices.removeOne(service))
        m_netServiceBrowser->stopResolve(service);
}

void BonjourHandler::txtRecordUpdated(const DnsSdService &service, const TxtRecord &txt)
{
    const qsizetype index = findAutoCameraByService(service);
    if (index < 0)
        return;
    // The service keeps the addresses and port it resolved to; only its TXT changed.
    ResolvedService &resolved = m_resolved[index];
    resolved.txt = txt;
    const Value camera = makeCameraFromService(*serviceOf(m_detectedCameras.at(index)), resolved);
    const ResolvedService kept = resolved;
    m_detectedCameras.removeAt(index);
    m_resolved.removeAt(index);
    m_detectedCameras.append(camera);
    m_resolved.append(kept);
    autoDataChanged();
}

void BonjourHandler::serviceRemoved(const DnsSdService &service, bool moreComing)
{
    if (m_resolvingServices.removeOne(service)) {
        m_netServiceBrowser->stopResolve(service);
    } else if (const qsizetype index = findAutoCameraByService(service); index >= 0) {
        m_netServiceBrowser->stopMonitoring(service);
        m_detectedCameras.removeAt(index);
        m_resolved.removeAt(index);
        m_autoDirty = true;
    }
    if (!moreComing && m_autoDirty)
        autoDataChanged();
}

qsizetype BonjourHandler::findAutoCameraByService(const DnsSdService &service) const
{
    for (qsizetype i = 0; i < m_detectedCameras.size(); ++i) {
        const std::shared_ptr<DnsSdService> known = serviceOf(m_detectedCameras.at(i));
        if (known && *known == service)
            return i;
    }
    return -1;
}

void BonjourHandler::autoDataChanged()
{
    m_autoTask.stop();
    if (!m_resolvingServices.isEmpty())
        m_autoTask.start();
    else
        refreshAutoDataUI();
}

void BonjourHandler::refreshAutoDataUI()
{
    m_autoDirty = false;
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    // Sorted as pairs so that each camera keeps what it resolved to.
    QList<qsizetype> order(m_detectedCameras.size());
    std::iota(order.begin(), order.end(), 0);
    const auto title = [this](qsizetype i) { return m_detectedCameras.at(i).value(QStringLiteral("title")).toString(); };
    std::stable_sort(order.begin(), order.end(),
                     [&](qsizetype a, qsizetype b) { return collator.compare(title(a), title(b)) < 0; });
    QList<Value> cameras;
    QList<ResolvedService> resolved;
    for (const qsizetype i : std::as_const(order)) {
        cameras.append(m_detectedCameras.at(i));
        resolved.append(m_resolved.at(i));
    }
    m_detectedCameras = cameras;
    m_resolved = resolved;
    if (m_observer)
        m_observer->bonjourListChanged();
}

Value BonjourHandler::makeCameraFromService(const DnsSdService &service, const ResolvedService &resolved)
{
    Value camera = Value::dictionary();
    Value video = Value::dictionary();
    Value control = Value::dictionary();
    camera.insert(QStringLiteral("service"), Value::handle(std::make_shared<DnsSdService>(service)));
    camera.insert(QStringLiteral("title"), service.name);
    for (auto it = resolved.txt.cbegin(); it != resolved.txt.cend(); ++it) {
        const std::optional<QString> text = copyStringFromTXTDict(resolved.txt, it.key());
        if (!text)
            continue;
        const QString key = QString::fromUtf8(it.key());
        if (key.startsWith(QLatin1StringView("video.")))
            video.insert(key, *text);
        else if (key.startsWith(QLatin1StringView("control.")))
            control.insert(key, *text);
        else
            camera.insert(key, *text);
    }
    if (!video.contains(QStringLiteral("video.host"))) {
        const QString host = IPStringFromAddress(resolved.addresses);
        if (!host.isEmpty())
            video.insert(QStringLiteral("video.host"), host);
    }
    if (!video.contains(QStringLiteral("video.port")))
        video.insert(QStringLiteral("video.port"), QString::number(resolved.port));
    camera.insert(QStringLiteral("video.parameters"), video);
    if (control.size() > 0)
        camera.insert(QStringLiteral("control.parameters"), control);
    return camera;
}
