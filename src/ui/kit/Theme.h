#pragma once

#include <QColor>
#include <QFont>

class QWidget;

// The one look of the settings screens: colours, type and metrics in points.
class Theme final
{
public:
    Theme() = delete;

    // Finger-sized rows.
    static constexpr int RowHeight = 44;
    static constexpr int GroupedInset = 10;
    static constexpr int CornerRadius = 9;
    static constexpr int NavigationBarHeight = 44;
    static constexpr int AnimationMs = 300;

    static QColor detailText() { return {50, 79, 133}; }
    static QColor groupedBackground() { return {214, 219, 227}; }
    static QColor groupedStripe() { return {206, 212, 221}; }
    static QColor sectionBorder() { return {171, 171, 171}; }
    static QColor separator() { return {224, 224, 224}; }
    static QColor headerText() { return {76, 86, 108}; }
    static QColor cellText() { return Qt::black; }
    static QColor dimmedText() { return {128, 128, 128}; }
    static QColor selectionTop() { return {5, 140, 245}; }
    static QColor selectionBottom() { return {1, 93, 230}; }
    static QColor graySelection() { return {204, 204, 204}; }
    static QColor tint() { return {40, 110, 215}; }
    static QColor destructive() { return {204, 39, 39}; }
    static QColor barTop() { return {176, 188, 205}; }
    static QColor barBottom() { return {109, 132, 162}; }

    // The black ground of the live views and the window behind them.
    static void fillBlack(QWidget *widget);
    static QColor barButton() { return {86, 111, 146}; }

    // System type at a pixel size (points at scale 1).
    static QFont font(int pixelSize, bool bold = false, bool italic = false);
    // Row text, detail text, section headers and small print.
    static QFont cellFont() { return font(17, true); }
    static QFont detailFont() { return font(17); }
    static QFont headerFont() { return font(17, true); }
    static QFont footnoteFont() { return font(14); }
};
