#pragma once

#include <QList>

#include <memory>

class Clock;
class PTZController;
class PTZProfile;
class Value;

// Picks the controller for a camera definition by its "control.protocol".
class PTZControlFactory final
{
public:
    PTZControlFactory() = delete;

    // A started controller owned by the caller, or none (logged) when the definition
    // names no protocol, an unknown one, or the controller cannot be set up.
    // Controllers read the time and get their timers from clock.
    static std::unique_ptr<PTZController> createControllerWithParameters(const Value &definition,
                                                                         Clock &clock);
    static std::unique_ptr<PTZController> createControllerWithParameters(const Value &definition);

    static QList<const PTZProfile *> ptzProfileList();
};
