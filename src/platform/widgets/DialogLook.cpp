#include "platform/widgets/DialogLook.h"

#include <QPalette>
#include <QWidget>

namespace platform {

void applyDialogLook(QWidget& dialog) {
  QPalette palette = dialog.palette();
  palette.setColor(QPalette::Window, dialogBackground());
  dialog.setPalette(palette);
  dialog.setAutoFillBackground(true);
}

}  // namespace platform
