#pragma once

#include "ptz/HttpPTZController.h"

// "Sony PTZ": direction words with speed steps taken from the displacement of a tick.
class SonyPTZController final : public HttpPTZController
{
    Q_OBJECT

public:
    explicit SonyPTZController(Clock &clock, QObject *parent = nullptr);

    bool initWithParameters(const Value &definition) override;

    // Without a value the query carries the name alone.
    void sendCommand(const QString &name, const QString &value = QString());

private:
    void handleTimer() override;
};
