#pragma once

#include <QList>
#include <QObject>
#include <QString>

class Value;

// A position the camera keeps under a name.
struct PTZPreset
{
    QString token;
    QString name;
};

// What the live view drives: finger motion in points goes in, the camera's own
// protocol comes out on the controller's tick. Lives on the main thread; call
// disconnect() once before dropping the last reference.
class PTZController : public QObject
{
    Q_OBJECT

public:
    ~PTZController() override;

    // Takes the whole camera definition; false when required parameters are missing
    // or the camera cannot be set up, in which case nothing is left running.
    virtual bool initWithParameters(const Value &definition) = 0;

    // One finger's movement since the previous touch event and the time between them.
    virtual void updateChangeX(float changeX, float changeY, double interval) = 0;
    // The change of the distance between two fingers (positive when they spread).
    virtual void updateChangePinch(float changePinch, double interval) = 0;
    // Replaces the gathered motion: a whole stroke to keep moving by while holding,
    // or false and zeros when the hold is over.
    virtual void setHolding(bool holding, float changeX, float changeY, float changePinch,
                            double interval) = 0;
    // Ends all network activity and the tick; nothing is sent afterwards.
    virtual void disconnect() = 0;

    // Presets, for the protocols whose cameras keep them; support may become known
    // only after setting up (presetSupportChanged). Answers come as signals.
    virtual bool supportsPresets() const { return false; }
    virtual void listPresets() {}
    virtual void gotoPreset(const QString &) {}
    virtual void savePreset(const QString &) {}

signals:
    void presetSupportChanged(bool supported);
    void presetsListed(const QList<PTZPreset> &presets);
    void presetSaved(const QString &name);
    // reason is for the user: the camera's fault text or what went wrong.
    void presetFailed(const QString &reason);

protected:
    using QObject::QObject;
};
