#include "production/BarcodeFill.h"

#include "barcode/designer/BarcodeRenderer.h"
#include "barcode/designer/GraphicBarcodeSettings.h"
#include "core/SKTGraphic.h"

namespace production {

QImage renderBoundBarcode(const SKTGraphic& object, const QString& value, QString* reason) {
  const barcode::BarcodeSettings settings = barcode::barcodeSettingsOf(object);
  const barcode::BarcodeRender rendered =
      barcode::render(settings, value, object.header_val, object.footer_val);
  if (!rendered.ok()) {
    if (reason) *reason = rendered.error;
    return {};
  }
  return barcode::cardImage(rendered.picture, barcode::resolutionDpi(settings));
}

}  // namespace production
