#pragma once

#include "config/Value.h"
#include "video/CameraState.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>

#include <memory>

class FrameConsumer;

// A stream reader: its public operations run on the main thread, its I/O and its
// consumers' calls on the video worker thread.
class FrameProducer : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Keeps a copy of the parameters and the URL; the next start connects at once.
    virtual void setConnectionParameters(const Value &params, const QUrl &videoURL) = 0;
    virtual Value getConnectionParameters() const = 0;

    // Held strongly until removed or the reader is destroyed. Both take effect on the
    // worker thread, in the order they were called.
    virtual void addConsumer(const std::shared_ptr<FrameConsumer> &consumer) = 0;
    virtual void removeConsumer(const std::shared_ptr<FrameConsumer> &consumer) = 0;

    virtual void start() = 0;
    virtual void stop() = 0;
    // Connects after delaySeconds (at once when <= 0) and stops after the first frame.
    virtual void getSingleFrame(double delaySeconds) = 0;

    // The bytes of the newest picture received, kept for a snapshot at full size;
    // empty before the first.
    virtual QByteArray newestPart() const = 0;

    // The stream request in words a user can check, with the password masked.
    virtual QString requestDescription() const = 0;

    // The newest state reported; Idle before the first start.
    CameraState state() const { return m_state; }
    // The fingerprint of the certificate the camera presented when it was not the
    // trusted one (CertificatePin); empty before such a connection.
    QString presentedCertificate() const { return m_presentedCertificate; }

signals:
    // A connection failed or ended; reason is the line that was logged.
    void streamFailed(const QString &reason);
    // Once per change of state, not per retry; reason is the line that was logged
    // (password masked), empty for Connecting and Playing.
    void stateChanged(CameraState state, const QString &reason);

protected:
    // Records the state and announces it when it differs from the last one.
    void setState(CameraState state, const QString &reason = {})
    {
        if (state == m_state)
            return;
        m_state = state;
        emit stateChanged(state, reason);
    }

    void setPresentedCertificate(const QString &fingerprint) { m_presentedCertificate = fingerprint; }

private:
    CameraState m_state = CameraState::Idle;
    QString m_presentedCertificate;
};
