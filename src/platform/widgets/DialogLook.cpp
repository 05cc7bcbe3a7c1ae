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

QRect screenRoom(const QWidget& window) {
  const QScreen* screen = window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->availableGeometry() : QRect();
}

void fitToScreen(QWidget& dialog) {
  if (dialog.testAttribute(Qt::WA_Resized)) return;
  const QRect room = screenRoom(dialog);
  if (room.isEmpty()) return;
  dialog.resize(
      dialog.sizeHint().boundedTo(room.size() - kWindowFrameAllowance).expandedTo(dialog.minimumSizeHint()));
}

}  // namespace platform
