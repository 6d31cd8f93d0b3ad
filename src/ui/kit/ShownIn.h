#pragma once

#include <QList>
#include <QRect>

#include <utility>

class QWidget;

// The top-level widget whose window-system window shows widget: its own top-level,
// or, for a widget embedded in a graphics scene (the main window shows its views
// scaled that way), the top-level of the first view showing that scene. Positions
// pass between the two through global coordinates, which Qt maps through the scene.
// Main thread only.
QWidget *shownIn(const QWidget *widget);

// The widgets that show widget's area and the area in each: the graphics views' viewports
// for a widget embedded in a scene (updating the widget itself there also repaints a
// pixel's margin around it, which Qt allows for antialiasing), the widget otherwise.
// Empty when it is hidden.
QList<std::pair<QWidget *, QRect>> placesOnScreen(QWidget *widget);
