#include "core/SKTBarcode.h"

#include "core/CardHost.h"
#include "core/PictureFile.h"

SKTGraphicPtr SKTBarcode::cloneShallow() const {
  return SKTGraphicPtr(new SKTBarcode(*this));
}

std::shared_ptr<SKTBarcode> SKTBarcode::initWithPosition(const QPointF& point, const QImage& contents) {
  auto barcode = std::make_shared<SKTBarcode>();
  barcode->barcode_image_var_assign();
  const QSizeF size = barcode->_contents.size();
  barcode->setBounds(
      QRectF(point.x() - size.width() / 2.0, point.y() - size.height() / 2.0, size.width(), size.height()));
  return barcode;
}

void SKTBarcode::barcode_image_var_assign() {
  _contents = !_barcode_image.isNull()
                  ? _barcode_image
                  : loadPictureFile(resourceFilePath(QStringLiteral("barcode_sample.png")));
}
