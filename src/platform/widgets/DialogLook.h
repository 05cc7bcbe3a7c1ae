#pragma once
// The look every dialog window shares: background device RGB 241, 244, 250.

#include <QColor>

class QWidget;

namespace platform {

inline QColor dialogBackground() { return QColor(241, 244, 250); }

// Gives a dialog window the shared background.
void applyDialogLook(QWidget& dialog);

}  // namespace platform
