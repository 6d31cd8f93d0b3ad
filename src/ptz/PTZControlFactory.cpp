#include "ptz/PTZControlFactory.h"

#include "config/Value.h"
#include "platform/Clock.h"
#include "ptz/AxisPTZController.h"
#include "ptz/AxisPTZProfile.h"
#include "ptz/CanonPTZController.h"
#include "ptz/CanonPTZProfile.h"
#include "ptz/MilestonePTZController.h"
#include "ptz/MilestonePTZProfile.h"
#include "ptz/OnvifPTZController.h"
#include "ptz/OnvifPTZProfile.h"
#include "ptz/PelcoDController.h"
#include "ptz/PelcoPTZProfile.h"
#include "ptz/QSGemineyePTZProfile.h"
#include "ptz/QSPTL10Controller.h"
#include "ptz/QSUnivProfile.h"
#include "ptz/QSUniversal.h"
#include "ptz/SonyPTZController.h"
#include "ptz/SonyPTZProfile.h"
#include "util/QelLog.h"

namespace {

template<typename T>
std::unique_ptr<PTZController> make(Clock &clock)
{
    return std::make_unique<T>(clock);
}

struct ControllerEntry
{
    const char *protocol;
    std::unique_ptr<PTZController> (*make)(Clock &clock);
};

// In the order of comparison.
const ControllerEntry Controllers[] = {
    { "Axis PTZ", make<AxisPTZController> },
    { "Pelco D PTZ", make<PelcoDController> },
    { "QuickSet GeminEye PTZ", make<QSPTL10Controller> },
    { "QuickSet Universal PTZ", make<QSUniversal> },
    { "Canon PTZ", make<CanonPTZController> },
    { "Sony PTZ", make<SonyPTZController> },
    { "Milestone PTZ", make<MilestonePTZController> },
    { "ONVIF PTZ", make<OnvifPTZController> },
};

} // namespace

std::unique_ptr<PTZController> PTZControlFactory::createControllerWithParameters(const Value &definition,
                                                                                 Clock &clock)
{
    if (definition.isNull())
        return nullptr;
    const QString protocol =
        definition.value(QStringLiteral("control.parameters")).value(QStringLiteral("control.protocol")).toString();
    if (protocol.isEmpty()) {
        QEL_LOG(LogLevel::Debug, QStringLiteral("no control protocol specified"));
        return nullptr;
    }
    for (const ControllerEntry &entry : Controllers) {
        if (protocol != QLatin1StringView(entry.protocol))
            continue;
        std::unique_ptr<PTZController> controller = entry.make(clock);
        if (!controller->initWithParameters(definition))
            return nullptr;
        return controller;
    }
    QEL_LOG(LogLevel::Error, QStringLiteral("failed to find matching PTZ controller for: ") + protocol);
    return nullptr;
}

std::unique_ptr<PTZController> PTZControlFactory::createControllerWithParameters(const Value &definition)
{
    return createControllerWithParameters(definition, Clock::system());
}

QList<const PTZProfile *> PTZControlFactory::ptzProfileList()
{
    return {
        &AxisPTZProfile::instance(),   &CanonPTZProfile::instance(),     &SonyPTZProfile::instance(),
        &QSUnivProfile::instance(),    &MilestonePTZProfile::instance(), &QSGemineyePTZProfile::instance(),
        &PelcoPTZProfile::instance(),  &OnvifPTZProfile::instance(),
    };
}
