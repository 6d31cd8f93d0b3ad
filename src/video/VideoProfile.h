#pragma once

#include "config/FormSection.h"
#include "config/FormTextEntry.h"
#include "config/Value.h"

#include <QList>
#include <QString>

#include <memory>

class FormHost;
class FrameProducer;
class PTZProfile;
class QThread;

// One camera brand or server product: names itself, knows its "video.type" code and
// makes the reader for a definition's video parameters. Profiles keep no state.
class VideoProfile
{
public:
    virtual ~VideoProfile() = default;

    virtual QString description() const = 0;
    virtual QString canHandleType() const = 0;
    // A new, unstarted reader doing its I/O on thread, owned by the caller; null when
    // the parameters cannot make one.
    virtual std::unique_ptr<FrameProducer> streamFromParms(const Value &params, bool thumbnail,
                                                           QThread *thread) const = 0;

    // The editor side: lays out the profile's sections and rows filled from params
    // (absent for a new camera), reads them back into a new "video.parameters"
    // dictionary, and names the PTZ profiles that may drive such a camera, in order.
    virtual void populateForm(FormHost &form, const Value &params) const = 0;
    virtual Value readFromForm(const FormHost &form) const = 0;
    virtual QList<const PTZProfile *> compatiblePTZList() const = 0;

protected:
    enum class Field { Wide, Narrow };

    static void addTextRow(FormHost &form, const FormSectionRef &section, const Value &params, const QString &key,
                           const QString &label, Field size, const QString &hint,
                           FormTextEntry::Keyboard keyboard = FormTextEntry::Keyboard::Default, bool secure = false);
    static void addSwitchRow(FormHost &form, const FormSectionRef &section, const Value &params, const QString &key,
                             const QString &label);
    // A row picking one of values, shown by their labels; the first value is the default.
    static void addChoiceRow(FormHost &form, const FormSectionRef &section, const Value &params, const QString &key,
                             const QString &label, const QStringList &values, const QStringList &labels);
    static FormSectionRef addTitledSection(FormHost &form, const QString &key, const QString &title);
    // The rows that make up every HTTP camera's connection: host, port, user, password.
    static void addHostRow(FormHost &form, const FormSectionRef &section, const Value &params);
    static void addPortRow(FormHost &form, const FormSectionRef &section, const Value &params,
                           FormTextEntry::Keyboard keyboard = FormTextEntry::Keyboard::Default);
    static void addCredentialRows(FormHost &form, const FormSectionRef &section, const Value &params);
    // The image rows of the extended options.
    static void addResolutionRow(FormHost &form, const FormSectionRef &section, const Value &params,
                                 const QString &hint);
    static void addFrameRateRow(FormHost &form, const FormSectionRef &section, const Value &params);
    static void addCompressionRow(FormHost &form, const FormSectionRef &section, const Value &params,
                                  const QString &hint);
    // A dictionary holding "video.type" and the non-empty values of the rows of keys.
    Value readKeys(const FormHost &form, const QStringList &keys) const;

    // Pieces of the HTTP profiles' stream requests.
    static QString text(const Value &params, const char *key, const char *fallback = "");
    static QString scheme(const Value &params);
    static QString credentials(const Value &params);
    static QString portPiece(const Value &params);
    // An HTTP reader for the composed text; text the URL parser rejects gives a reader
    // without a URL.
    static std::unique_ptr<FrameProducer> httpReader(const Value &params, const QString &urlText, QThread *thread);
};
