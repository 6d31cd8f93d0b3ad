#pragma once

#include "ptz/HttpPTZController.h"

// "Axis PTZ": continuous-move speeds in -100..100 through the camera's ptz.cgi.
class AxisPTZController final : public HttpPTZController
{
    Q_OBJECT

public:
    explicit AxisPTZController(Clock &clock, QObject *parent = nullptr);

    bool initWithParameters(const Value &definition) override;

    void sendCommand(const QString &command);

private:
    void handleTimer() override;
};
