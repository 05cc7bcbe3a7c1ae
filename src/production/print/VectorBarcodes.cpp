#include "production/print/VectorBarcodes.h"

#include "barcode/designer/BarcodeRenderer.h"
#include "barcode/designer/GraphicBarcodeSettings.h"

namespace production {

QImage recordBarcodeVector(const SKTGraphic& object, const QString& value, QString* reason,
                           BarcodeVectors& into) {
  const barcode::BarcodeRender rendered =
      barcode::render(barcode::barcodeSettingsOf(object), value, object.header_val, object.footer_val);
  if (!rendered.ok()) {
    if (reason) *reason = rendered.error;
    into.erase(&object);
    return {};
  }
  into[&object] = PrintedBarcode{rendered.picture, SolidFills::of(rendered.picture.picture), value};
  QImage standIn(1, 1, QImage::Format_ARGB32_Premultiplied);
  standIn.fill(Qt::transparent);
  return standIn;
}

BarcodeVectors designBarcodeVectors(const SKTGraphicList& graphics) {
  BarcodeVectors vectors;
  for (const SKTGraphicPtr& object : graphics) {
    // One never designed holds no picture: it shows the sample, as on the canvas.
    if (!object || object->kind() != GraphicKind::Barcode || object->_barcode_image.isNull()) continue;
    const barcode::BarcodeSettings settings = barcode::barcodeSettingsOf(*object);
    recordBarcodeVector(*object, settings.value(), nullptr, vectors);
  }
  return vectors;
}

std::optional<DrawnBarcode> drawnBarcodeVector(const SKTGraphic& graphic, const BarcodeVectors& vectors) {
  const auto found = vectors.find(&graphic);
  if (found == vectors.end()) return std::nullopt;
  return DrawnBarcode{found->second.picture.size, found->second.value};
}

bool drawBarcodeVector(QPainter& painter, const SKTGraphic& graphic, const BarcodeVectors& vectors) {
  if (graphic.kind() != GraphicKind::Barcode) return false;
  const auto found = vectors.find(&graphic);
  if (found == vectors.end()) return false;
  if (graphic.ctrl_is_visible) {
    const PrintedBarcode& printed = found->second;
    if (printed.fills)
      printed.fills->paint(painter, graphic.bounds().topLeft());
    else
      printed.picture.paint(painter, QRectF(graphic.bounds().topLeft(), printed.picture.size));
  }
  return true;
}

}  // namespace production
