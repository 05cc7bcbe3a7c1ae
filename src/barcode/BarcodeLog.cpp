#include "barcode/BarcodeLog.h"

#include <QDebug>

namespace barcode {

void logLine(const QString& text) {
  if (!text.isEmpty()) qWarning().noquote() << text;
}

}  // namespace barcode
