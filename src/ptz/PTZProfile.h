#pragma once

#include "config/FormSection.h"
#include "config/Value.h"

#include <QString>

class FormHost;

// How the camera editor names a PTZ protocol and matches a stored
// "control.protocol". Profiles are stateless; each class has one shared instance.
class PTZProfile
{
public:
    virtual ~PTZProfile() = default;

    // The display name in the editor and the PTZ chooser.
    virtual QString description() const = 0;
    // The "control.protocol" value this profile stands for.
    virtual QString canHandleType() const = 0;

    // The editor side: adds or fills the rows the protocol needs from the stored
    // "control.parameters" (absent when there are none), and reads the form back
    // into a new dictionary that starts with "control.protocol".
    virtual void populateForm(FormHost &form, const Value &params) const = 0;
    virtual Value readFromForm(const FormHost &form) const = 0;

protected:
    PTZProfile() = default;

    Value newParameters() const;
    // Stores the non-empty value of the row rowKey under key.
    static void copyRow(const FormHost &form, Value &params, const QString &key, const QString &rowKey);
    // The video's host, port, user name and password as the control's, for the
    // protocols that talk to the camera the video comes from.
    static void copyVideoConnection(const FormHost &form, Value &params);
    // Copies "video.port" to "control.port" unless it reads as 0, as the HTTP
    // controllers fall back to their own port then.
    static void copyNonZeroPort(const FormHost &form, Value &params);
    // The "PTZ Control Options" section of the protocols that talk to a receiver of their own.
    static FormSectionRef addControlSection(FormHost &form);
    static void addControlRow(FormHost &form, const FormSectionRef &section, const Value &params, const QString &key,
                              const QString &label, bool large, const QString &hint);
    // Host, port and serial address of a pan/tilt receiver behind a serial adapter.
    static FormSectionRef populateSerialAdapter(FormHost &form, const Value &params);
    static void readSerialAdapter(const FormHost &form, Value &params);
};
