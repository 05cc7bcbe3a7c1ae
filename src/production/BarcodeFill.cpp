#include "production/BarcodeFill.h"

#include <QPaintEngine>
#include <QPainter>
#include <cmath>

#include "barcode/designer/BarcodeRenderer.h"
#include "barcode/designer/CardBarcodePicture.h"
#include "barcode/designer/GraphicBarcodeSettings.h"
#include "core/SKTBarcode.h"

namespace production {

namespace {

barcode::BarcodeRender renderValue(const SKTGraphic& object, const QString& value, QString* reason) {
  barcode::BarcodeRender rendered =
      barcode::render(barcode::barcodeSettingsOf(object), value, object.header_val, object.footer_val);
  if (!rendered.ok() && reason) *reason = rendered.error;
  return rendered;
}

}  // namespace

QImage renderBoundBarcode(const SKTGraphic& object, const QString& value, QString* reason, int dpi) {
  return barcode::cardPictureOf(object, value, reason, dpi);
}

QImage renderBoundBarcodeForCard(const SKTGraphic& object, const QString& value, QString* reason) {
  return renderBoundBarcode(object, value, reason, 72);
}

BarcodeRenderer sharpBarcodes(int dpi) {
  return [dpi](const SKTGraphic& object, const QString& value, QString* reason) {
    const barcode::BarcodeRender rendered = renderValue(object, value, reason);
    return rendered.ok() ? barcode::sharpCardImage(rendered, dpi) : QImage();
  };
}

void sharpenBarcodes(const SKTGraphicList& graphics, int dpi) {
  const BarcodeRenderer sharp = sharpBarcodes(dpi);
  for (const SKTGraphicPtr& object : graphics) {
    // One never designed holds no picture: it shows the sample, as on the canvas.
    if (!object || object->kind() != GraphicKind::Barcode || object->_barcode_image.isNull()) continue;
    const QImage picture = sharp(*object, barcode::barcodeSettingsOf(*object).value(), nullptr);
    if (!picture.isNull()) object->Set_Barcode_image(picture);
  }
}

bool drawBarcodePixelForPixel(QPainter& painter, SKTGraphic& graphic) {
  if (graphic.kind() != GraphicKind::Barcode) return false;
  auto& code = static_cast<SKTBarcode&>(graphic);
  code.barcode_image_var_assign();
  const QImage& picture = code._contents;
  const QTransform toDevice = painter.deviceTransform();
  const double ratio = picture.devicePixelRatio();
  const auto same = [ratio](double scale) { return std::abs(scale - ratio) <= 1e-9 * ratio; };
  if (picture.isNull() || !painter.paintEngine() || painter.paintEngine()->type() != QPaintEngine::Raster ||
      toDevice.type() > QTransform::TxScale || !same(toDevice.m11()) || !same(toDevice.m22()))
    return false;
  if (!graphic.ctrl_is_visible) return true;
  const QPointF origin = toDevice.map(graphic.bounds().topLeft());
  painter.save();
  painter.resetTransform();
  painter.setWorldTransform(painter.deviceTransform().inverted());
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter.drawImage(QRectF(std::round(origin.x()), std::round(origin.y()), picture.width(), picture.height()),
                    picture, QRectF(picture.rect()));
  painter.restore();
  return true;
}

}  // namespace production
