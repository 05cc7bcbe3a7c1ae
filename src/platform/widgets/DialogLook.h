#pragma once
// The look every dialog window shares: background device RGB 241, 244, 250.

#include <QColor>
#include <QRect>
#include <QSize>

class QWidget;

namespace platform {

inline QColor dialogBackground() {
  return QColor(241, 244, 250);
}

// Gives a dialog window the shared background.
void applyDialogLook(QWidget& dialog);

// Room left around a window for the desktop's title bar and borders.
constexpr QSize kWindowFrameAllowance(16, 40);

// The free area of the screen the window is on (or of the first screen);
// empty when there is no screen.
QRect screenRoom(const QWidget& window);

// Sizes a dialog for its first showing: as large as its content asks, but
// within the screen's free area (title bar and borders allowed for), and
// never below its smallest size. A size the person has set stays.
void fitToScreen(QWidget& dialog);

}  // namespace platform
