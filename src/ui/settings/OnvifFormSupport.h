#pragma once

#include "config/Value.h"
#include "onvif/OnvifDeviceInfo.h"
#include "onvif/SoapEnvelope.h"
#include "util/LogLimiter.h"

#include <QObject>

#include <functional>

class FormTableViewController;
class OnvifResolver;

// The camera editor's ONVIF side: asks the device when an ONVIF camera is saved, and
// when the user wants to pick its main or grid stream, reading host, port and
// credentials from the form. A refused password is one alert and one log line; a
// device that does not answer may be saved as it is, its streams looked up when it
// plays. Lives on the GUI thread, a child of the editor.
class OnvifFormSupport final : public QObject
{
    Q_OBJECT

public:
    explicit OnvifFormSupport(FormTableViewController &form);

    // Resolves the device of the video parameters read from the form and hands them
    // back with what was found to store, unless resolving failed and the user did not
    // want to save anyway. Ignored while another request is running.
    void save(const Value &videoParams, std::function<void(const Value &videoParams)> store);
    // Pushes the profile chooser for the main or the grid stream.
    void chooseStream(bool main, const Value &videoParams);

private:
    void resolve(const Value &videoParams, std::function<void(const OnvifDeviceInfo &)> done,
                 std::function<void(SoapResult::Status, const QString &)> failed);
    // The one alert and log line for a failure; reason stays out of the alert's title.
    void report(SoapResult::Status status, const QString &host, const QString &reason);
    void showChooser(bool main);

    FormTableViewController &m_form;
    OnvifResolver *m_resolver;
    LogLimiter m_limiter;
    // What the device said last, and for which parameters.
    OnvifDeviceInfo m_info;
    Value m_infoFor;
    bool m_busy = false;
};
