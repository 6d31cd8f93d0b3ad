#pragma once

#include <QTimer>
#include <QVariantAnimation>
#include <QWidget>

// What a snapshot tells over the single view: a brief white flash as the picture is
// taken, then a caption with where it went or why it did not, for CaptionMs. It
// covers its parent, takes no input and hides when it has nothing to show, so the
// picture beneath is painted alone. Main thread only; owned by its parent.
class SnapshotNotice final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int FlashMs = 300;
    static constexpr int CaptionMs = 2000;
    static constexpr int BandHeight = 34;
    static constexpr int BandMargin = 24;

    explicit SnapshotNotice(QWidget *parent);

    void flash();
    void showCaption(const QString &text);
    // The caption on show; empty once it has gone.
    QString caption() const { return m_caption; }
    bool isFlashing() const { return m_flash.state() == QAbstractAnimation::Running; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void showOrHide();

    QVariantAnimation m_flash;
    QTimer m_captionTimer;
    QString m_caption;
    double m_flashLevel = 0;
};
