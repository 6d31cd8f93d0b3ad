#pragma once

#include <QWidget>

// The one top-level window: it holds one of the three views at rest, 480 by 320
// points in landscape or 320 by 480 in portrait, scaled as a whole when asked.
class MainWindow final : public QWidget
{
    Q_OBJECT

public:
    static constexpr QSize Landscape{ 480, 320 };
    static constexpr QSize Portrait{ 320, 480 };

    explicit MainWindow(QWidget *parent = nullptr);

    void setPortrait(bool portrait);
    bool isPortrait() const { return m_portrait; }

signals:
    // The window was minimised or hidden, or came back: the views stop and restart.
    void becameIdle();
    void becameActive();
    void closing();

protected:
    void changeEvent(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void setIdle(bool idle);

    bool m_portrait = false;
    bool m_idle = false;
};
