#include "production/BarcodeFill.h"

#include "barcode/linear/LinearSymbologies.h"
#include "barcode/linear/QVBBarcodeOffscreenView.h"
#include "barcode/twod/QREncoder.h"
#include "core/SKTGraphic.h"

namespace production {

QImage renderBoundBarcode(const SKTGraphic& object, const QString& value, QString* reason) {
  const auto refuse = [&](const QString& why) {
    if (reason) *reason = why;
    return QImage();
  };
  if (object.linear_or_2d != 0) {
    const auto grid =
        barcode::twod::QREncoder::encodeWithECLevel(object.qr_ec_index, object.qr_version_index, value);
    if (!grid) return refuse(QStringLiteral("The value cannot be encoded as a QR Code."));
    const auto picture = barcode::twod::QREncoder::renderDataMatrix(*grid, object.qr_size_val, 72);
    if (!picture) return refuse(QStringLiteral("The QR Code picture cannot be made."));
    return picture->toImage();
  }
  const auto code =
      barcode::createLinearBarcode(QStringLiteral("Code 128"), value, object.show_hide_val == 0);
  if (!code || !code->isContentValid())
    return refuse(QStringLiteral("The value cannot be encoded as Code 128."));
  code->setBarWidth(1.0f);
  code->calculateWidth();
  code->setHeight(object.linear_height_val * 72.0f);
  const barcode::BarcodeDrawingState state;
  return barcode::imageFromBarcode(*code, state).toImage(72.0);
}

}  // namespace production
