#pragma once

#include "support/ManualClock.h"

#include "config/Value.h"
#include "ptz/PTZControllerBase.h"

#include <initializer_list>
#include <utility>

// A camera definition whose "control.parameters" hold the given keys.
inline Value cameraDefinition(std::initializer_list<std::pair<const char *, QString>> control,
                              const Value &title = Value())
{
    Value parms = Value::dictionary();
    for (const auto &[key, text] : control)
        parms.insert(QString::fromLatin1(key), text);
    Value camera = Value::dictionary();
    if (!title.isNull())
        camera.insert(QStringLiteral("title"), title);
    camera.insert(QStringLiteral("control.parameters"), parms);
    return camera;
}

// A camera controlled with protocol at 127.0.0.1:port, plus further control parameters.
inline Value loopbackCamera(const QString &protocol, quint16 port,
                            std::initializer_list<std::pair<const char *, QString>> more = {},
                            const Value &title = Value())
{
    Value camera = cameraDefinition({ { "control.protocol", protocol },
                                      { "control.host", QStringLiteral("127.0.0.1") },
                                      { "control.port", QString::number(port) } },
                                    title);
    Value parms = camera.value(QStringLiteral("control.parameters"));
    for (const auto &[key, text] : more)
        parms.insert(QString::fromLatin1(key), text);
    return camera;
}

// One controller tick: 0.1 s passes, and the tick timers fire before this returns.
inline void tick(ManualClock &clock)
{
    clock.advance(PTZControllerBase::TickMs);
}

inline QStringList texts(std::initializer_list<const char *> items)
{
    QStringList list;
    for (const char *item : items)
        list.append(QString::fromUtf8(item));
    return list;
}
