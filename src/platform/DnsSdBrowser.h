#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>

// One announced service instance: equal name, type and domain are the same service,
// whatever interface or protocol it was seen on.
struct DnsSdService
{
    QString name;
    QString type;
    QString domain;

    bool operator==(const DnsSdService &other) const = default;
};

// A TXT record as key to raw value bytes; a key without "=" maps to a null array.
using TxtRecord = QMap<QByteArray, QByteArray>;

struct ResolvedService
{
    QList<QHostAddress> addresses;
    quint16 port = 0;
    TxtRecord txt;
};

// What discovery needs of a DNS-SD stack: browse one service type, resolve a
// service with a time-out, and watch its TXT record. Signals arrive on the thread
// that owns the browser.
class DnsSdBrowser : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // False when browsing cannot be set up at all.
    virtual bool browse(const QString &type) = 0;
    virtual void resolve(const DnsSdService &service, int timeoutMs) = 0;
    virtual void stopResolve(const DnsSdService &service) = 0;
    virtual void startMonitoring(const DnsSdService &service) = 0;
    virtual void stopMonitoring(const DnsSdService &service) = 0;
    virtual void stop() = 0;

signals:
    // moreComing: further reports follow at once, so a listener may wait for the last.
    void serviceFound(const DnsSdService &service, bool moreComing);
    void serviceRemoved(const DnsSdService &service, bool moreComing);
    void serviceResolved(const DnsSdService &service, const ResolvedService &resolved);
    void resolveFailed(const DnsSdService &service);
    void txtRecordUpdated(const DnsSdService &service, const TxtRecord &txt);
};
