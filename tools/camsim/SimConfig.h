#pragma once

#include "camsim/SimCamera.h"

#include "config/Value.h"

#include <QList>
#include <QString>

// The cameras the simulator serves: a JSON file or the built-in demo set.
class SimConfig final
{
public:
    static constexpr quint16 DefaultDiscoveryPort = 3702;

    // Empty with *error set when the file is unreadable or not a valid camera list;
    // *discoveryPort learns the WS-Discovery responder's port.
    static QList<CameraSetup> load(const QString &path, QString *error, quint16 *discoveryPort = nullptr);
    static QList<CameraSetup> parse(const QByteArray &json, QString *error, quint16 *discoveryPort = nullptr);
    static QList<CameraSetup> demo();

    // The camera definition the viewer uses for this camera, reached at host.
    static Value definition(const CameraSetup &setup, const QString &host);
    // A list holding one group named name with every camera, for vyoctl import.
    static Value groupList(const QList<CameraSetup> &cameras, const QString &host, const QString &name);
};
