#pragma once

#include <QAbstractButton>

// The small round controls inside table cells: the detail-disclosure button and
// the red minus of edit mode that asks for the delete confirmation.
class CellControl final : public QAbstractButton
{
    Q_OBJECT

public:
    enum class Kind { DetailDisclosure, Delete };

    explicit CellControl(Kind kind, QWidget *parent = nullptr);

    Kind kind() const { return m_kind; }
    // The minus turns upright while its confirmation shows.
    void setTurned(bool turned);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Kind m_kind;
    bool m_turned = false;
};
