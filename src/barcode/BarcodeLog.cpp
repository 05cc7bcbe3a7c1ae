#include "barcode/BarcodeLog.h"

namespace barcode {

void logLine(const QString& text) {
  if (!text.isEmpty()) qCWarning(lcBarcode).noquote() << text;
}

}  // namespace barcode

Q_LOGGING_CATEGORY(lcBarcode, "quvo.barcode", QtWarningMsg)
