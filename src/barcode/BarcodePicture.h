#pragma once
// A finished barcode picture: vector drawing commands plus the size they cover,
// in points (1/72 inch), y down. It replays into a QImage at any resolution, into
// a PDF (bars stay vector rectangles) or into any painter, such as a printer's.
// Copies share the drawing commands.

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QTransform>

#include "barcode/VectorPicture.h"

class QPainter;

namespace barcode {

struct BarcodePicture {
  VectorPicture picture;
  QSizeF size;  // points

  bool isNull() const { return size.isEmpty(); }
  // Replays the picture scaled into target (painter units).
  void paint(QPainter& painter, const QRectF& target) const;
  // The transform that paint() draws through: picture units into target.
  QTransform placement(const QRectF& target) const;
  // Raster form at dpi pixels per inch: ceil(dpi x w / 72) x ceil(dpi x h / 72)
  // pixels. A null image when the size is empty or too large.
  QImage toImage(double dpi) const;
  // A one-page PDF of exactly the picture's size.
  QByteArray toPdf() const;
};

}  // namespace barcode
