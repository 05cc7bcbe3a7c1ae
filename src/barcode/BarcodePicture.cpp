#include "barcode/BarcodePicture.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <cmath>

namespace barcode {

namespace {
constexpr qint64 kMaxPixels = 64LL * 1024 * 1024;
}  // namespace

void BarcodePicture::paint(QPainter& painter, const QRectF& target) const {
  if (isNull()) return;
  painter.save();
  painter.setTransform(placement(target), true);
  picture.play(painter);
  painter.restore();
}

QTransform BarcodePicture::placement(const QRectF& target) const {
  if (isNull()) return {};
  return QTransform::fromTranslate(target.x(), target.y())
      .scale(target.width() / size.width(), target.height() / size.height());
}

QImage BarcodePicture::toImage(double dpi) const {
  if (isNull() || !(dpi > 0)) return {};
  const double w = std::ceil(size.width() * dpi / 72.0);
  const double h = std::ceil(size.height() * dpi / 72.0);
  if (w < 1 || h < 1 || w * h > static_cast<double>(kMaxPixels)) return {};
  QImage image(static_cast<int>(w), static_cast<int>(h), QImage::Format_RGB32);
  if (image.isNull()) return {};
  image.fill(Qt::white);
  const int dotsPerMeter = static_cast<int>(std::lround(dpi / 0.0254));
  image.setDotsPerMeterX(dotsPerMeter);
  image.setDotsPerMeterY(dotsPerMeter);
  QPainter painter(&image);
  painter.scale(dpi / 72.0, dpi / 72.0);
  picture.play(painter);
  painter.end();
  return image;
}

QByteArray BarcodePicture::toPdf() const {
  QByteArray data;
  if (isNull()) return data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setResolution(72);
    writer.setPageSize(QPageSize(size, QPageSize::Point));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter(&writer);
    picture.play(painter);
    painter.end();
  }
  buffer.close();
  return data;
}

}  // namespace barcode
