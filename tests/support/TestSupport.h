#pragma once

#include "config/GroupStore.h"
#include "logcapture/LogCapture.h"
#include "platform/Preferences.h"
#include "video/FrameConsumer.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QMutex>
#include <QStringList>
#include <QTemporaryDir>

// A group store in a throw-away profile, not started.
struct ScratchStore
{
    ScratchStore();

    QTemporaryDir dir;
    Preferences preferences;
    GroupStore store;
};

// A JPEG picture of one colour.
QByteArray testJpeg(int width, int height, const QColor &color);

// Records what a reader delivers; called on the worker thread, read on the main thread.
// It asks for pictures of the size it is given, or of any size.
class RecordingConsumer final : public FrameConsumer
{
public:
    struct Frame
    {
        QImage picture;
        Value source;
        int bytes;
    };

    void consumeFrame(const QImage &picture, const Value &source, int bytes) override;
    void framesSkipped(int count) override;
    QSize targetSize() const override;

    QList<Frame> frames() const;
    qsizetype count() const;
    int skipped() const;
    void setTargetSize(QSize size);

private:
    mutable QMutex m_mutex;
    QList<Frame> m_frames;
    int m_skipped = 0;
    QSize m_target;
};
