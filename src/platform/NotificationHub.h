#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>

// The process-wide notification centre: named notifications with a map of user
// information, delivered to every observer on the thread that posts them.
class NotificationHub final : public QObject
{
    Q_OBJECT

public:
    // Created on first use; use it from the main thread.
    static NotificationHub &instance();

    void post(const QString &name, const QVariantMap &userInfo = {});

signals:
    void posted(const QString &name, const QVariantMap &userInfo);

private:
    NotificationHub() = default;
};
