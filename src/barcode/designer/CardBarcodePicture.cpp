#include "barcode/designer/CardBarcodePicture.h"

#include "barcode/designer/BarcodeRenderer.h"
#include "barcode/designer/GraphicBarcodeSettings.h"

namespace barcode {

namespace {

// Same size in points and the same pixels, whatever format each is kept in.
bool samePicture(const QImage& a, const QImage& b) {
  if (a.isNull() || b.isNull()) return a.isNull() == b.isNull();
  if (a.size() != b.size() || a.deviceIndependentSize() != b.deviceIndependentSize()) return false;
  constexpr QImage::Format kCommon = QImage::Format_ARGB32_Premultiplied;
  return a.convertToFormat(kCommon) == b.convertToFormat(kCommon);
}

}  // namespace

QImage cardPictureOf(const SKTGraphic& object, const QString& value, QString* reason, int dpi) {
  const BarcodeSettings settings = barcodeSettingsOf(object);
  const BarcodeRender rendered = render(settings, value, object.header_val, object.footer_val);
  if (!rendered.ok()) {
    if (reason) *reason = rendered.error;
    return {};
  }
  return cardImage(rendered.picture, dpi > 0 ? dpi : resolutionDpi(settings));
}

QImage blankCardPicture(const SKTGraphic& object) {
  const QSize size = object.bounds().size().toSize().expandedTo(QSize(1, 1));
  QImage blank(size, QImage::Format_ARGB32_Premultiplied);
  blank.fill(Qt::transparent);
  return blank;
}

bool followsSpreadChoice(const SKTGraphic& object) {
  return object.kind() == GraphicKind::Barcode && !barcodeSettingsOf(object).isTwoD() &&
         object.show_hide_val == 0;
}

int redrawSpreadCaptions(const SKTGraphicList& graphics) {
  int changed = 0;
  for (const SKTGraphicPtr& object : graphics) {
    // An object without a picture of its own shows the sample until the designer makes one.
    if (!object || object->_barcode_image.isNull() || !followsSpreadChoice(*object)) continue;
    const QImage picture = cardPictureOf(*object, barcodeSettingsOf(*object).value());
    if (picture.isNull() || samePicture(picture, object->_barcode_image)) continue;
    object->Set_Barcode_image(picture);
    ++changed;
  }
  return changed;
}

}  // namespace barcode
