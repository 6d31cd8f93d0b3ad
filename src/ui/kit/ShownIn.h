#pragma once

class QWidget;

// The top-level widget whose window-system window shows widget: its own top-level,
// or, for a widget embedded in a graphics scene (the main window shows its views
// scaled that way), the top-level of the first view showing that scene. Positions
// pass between the two through global coordinates, which Qt maps through the scene.
// Main thread only.
QWidget *shownIn(const QWidget *widget);

// Repaints widget's area where it is shown. Qt widens an embedded widget's update by
// a pixel on every side for antialiasing, which repaints whatever frames it as well;
// a widget that paints every pixel of its own (a video view) needs only its own area.
void updateOnScreen(QWidget *widget);
