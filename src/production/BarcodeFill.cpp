#include "production/BarcodeFill.h"

#include "barcode/designer/BarcodeRenderer.h"
#include "barcode/designer/GraphicBarcodeSettings.h"
#include "core/SKTGraphic.h"

namespace production {

QImage renderBoundBarcode(const SKTGraphic& object, const QString& value, QString* reason, int dpi) {
  const barcode::BarcodeSettings settings = barcode::barcodeSettingsOf(object);
  const barcode::BarcodeRender rendered =
      barcode::render(settings, value, object.header_val, object.footer_val);
  if (!rendered.ok()) {
    if (reason) *reason = rendered.error;
    return {};
  }
  return barcode::cardImage(rendered.picture, dpi > 0 ? dpi : barcode::resolutionDpi(settings));
}

QImage renderBoundBarcodeForCard(const SKTGraphic& object, const QString& value, QString* reason) {
  return renderBoundBarcode(object, value, reason, 72);
}

}  // namespace production
