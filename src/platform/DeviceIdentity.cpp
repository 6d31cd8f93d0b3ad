#include "platform/DeviceIdentity.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSysInfo>

QString DeviceIdentity::identifierFor(const QByteArray &machineId)
{
    const QByteArray digest = QCryptographicHash::hash("vyo-device-id:" + machineId.trimmed(), QCryptographicHash::Sha256);
    return QString::fromLatin1(digest.toHex().left(40).toUpper());
}

QString DeviceIdentity::uniqueIdentifier()
{
    for (const char *path : { "/etc/machine-id", "/var/lib/dbus/machine-id" }) {
        QFile file(QString::fromLatin1(path));
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray id = file.read(256).trimmed();
            if (!id.isEmpty())
                return identifierFor(id);
        }
    }
    return identifierFor(QSysInfo::machineUniqueId());
}
