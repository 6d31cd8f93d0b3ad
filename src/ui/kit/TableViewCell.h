#pragma once

#include <QPixmap>
#include <QPointer>
#include <QWidget>

class CellControl;
class RoundedButton;
class QVariantAnimation;

// One row of a table view: text, an optional image at the left, an optional
// detail text right-aligned in the detail colour, and an accessory at the right
// (a standard mark or any view, such as a switch or a text field).
//
// The cell shows an accessory view without owning it: when the cell goes, the
// view returns, hidden, to the parent it had when it was given (if that was the
// cell itself, it goes with the cell).
class TableViewCell : public QWidget
{
    Q_OBJECT

public:
    enum class Accessory { None, DisclosureIndicator, DetailDisclosureButton, Checkmark };
    enum class SelectionStyle { None, Blue, Gray };
    // Where the cell sits in its section; the table sets it and the cell draws the
    // rounded corners of a grouped section from it.
    enum class Position { Plain, Single, Top, Middle, Bottom };

    explicit TableViewCell(QWidget *parent = nullptr);
    ~TableViewCell() override;

    QString text() const { return m_text; }
    void setText(const QString &text);
    void setImage(const QPixmap &image);
    QString detailText() const { return m_detailText; }
    void setDetailText(const QString &text);
    void setTextFont(const QFont &font);
    void setTextColor(const QColor &color);
    void setTextAlignment(Qt::Alignment alignment);

    Accessory accessoryType() const { return m_accessory; }
    void setAccessoryType(Accessory accessory);
    QWidget *accessoryView() const { return m_accessoryView; }
    void setAccessoryView(QWidget *view);
    // The accessory view reaches from x to the right margin, so that the fields
    // of several rows line up; 0 keeps its own width.
    void setAccessoryColumn(int x);

    SelectionStyle selectionStyle() const { return m_selectionStyle; }
    void setSelectionStyle(SelectionStyle style);
    bool isHighlighted() const { return m_highlighted; }
    void setHighlighted(bool highlighted);
    bool isSelected() const { return m_selected; }
    // Unselecting with animation fades the highlight out.
    void setSelected(bool selected, bool animated);

    // Table side.
    Position position() const { return m_position; }
    void setPosition(Position position);
    void setEditingControls(bool deletable, bool movable);
    void setShowingDeleteConfirmation(bool showing);
    bool isShowingDeleteConfirmation() const { return m_confirming; }
    // Where a finger picks the row up in edit mode; empty when it cannot move.
    QRect reorderGripRect() const;
    CellControl *deleteControl() const { return m_deleteControl; }
    RoundedButton *deleteConfirmationButton() const { return m_confirmButton; }
    CellControl *detailDisclosureButton() const { return m_detailButton; }
    // Gives the accessory view back now rather than when the cell is deleted.
    void releaseAccessoryView();

signals:
    void accessoryButtonTapped();
    void deleteControlTapped();
    void deleteConfirmed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QRect contentRect() const;
    int accessoryWidth() const;
    void layoutChildren();
    void paintBackground(QPainter &painter, const QPainterPath &shape) const;
    void paintAccessoryMark(QPainter &painter, const QColor &color) const;
    QPainterPath shape() const;

    QString m_text;
    QString m_detailText;
    QPixmap m_image;
    QFont m_textFont;
    QColor m_textColor;
    Qt::Alignment m_textAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    Accessory m_accessory = Accessory::None;
    QPointer<QWidget> m_accessoryView;
    QPointer<QWidget> m_accessoryHome;
    int m_accessoryColumn = 0;
    SelectionStyle m_selectionStyle = SelectionStyle::Blue;
    Position m_position = Position::Plain;
    bool m_highlighted = false;
    bool m_selected = false;
    // 0 to 1: how much of the selection colour shows.
    double m_highlightLevel = 0.0;
    QVariantAnimation *m_fade;
    bool m_deletable = false;
    bool m_movable = false;
    bool m_confirming = false;
    CellControl *m_deleteControl;
    CellControl *m_detailButton;
    RoundedButton *m_confirmButton;
};
