#include "platform/widgets/DialogLook.h"

#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QWidget>

namespace platform {

void applyDialogLook(QWidget& dialog) {
  QPalette palette = dialog.palette();
  palette.setColor(QPalette::Window, dialogBackground());
  dialog.setPalette(palette);
  dialog.setAutoFillBackground(true);
}

void fitToScreen(QWidget& dialog) {
  if (dialog.testAttribute(Qt::WA_Resized)) return;
  const QScreen* screen = dialog.screen() != nullptr ? dialog.screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  // Room for the desktop's title bar and borders.
  const QSize room = screen->availableGeometry().size() - QSize(16, 40);
  dialog.resize(dialog.sizeHint().boundedTo(room).expandedTo(dialog.minimumSizeHint()));
}

}  // namespace platform
