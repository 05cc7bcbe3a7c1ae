#pragma once
// Drawing steps shared by the picture-like card objects (picture, signature,
// fingerprint, barcode): the dashed border and putting a picture onto a
// rectangle. Safe on any thread (they only touch the given painter).

#include <QImage>
#include <QRectF>
#include <QString>

class QPainter;
class QColor;

namespace picture_drawing {

// Strokes the rectangle with the colour, width and dash style code of a card object.
void strokeBounds(QPainter& painter, const QRectF& rect, const QColor& color, double width,
                  const QString& dashCode);

// Draws the whole picture stretched onto the target rectangle with the given
// opacity (0..1), mirrored within the rectangle when asked. Into PDF and print
// devices a picture marked `vector` is drawn as filled rectangles (runs of
// equal pixels), never as a raster image, so bars keep sharp edges.
void drawPicture(QPainter& painter, const QImage& picture, const QRectF& target, double opacity = 1.0,
                 bool flipHorizontally = false, bool flipVertically = false, bool vector = false);

// True when the painter paints into a PDF, a printer, SVG or a recorded picture.
bool paintsIntoDocument(const QPainter& painter);

// The picture as filled rectangles: each run of equal pixels in a row, runs
// repeated in the following rows merged downwards; fully transparent pixels
// are left out. Coordinates in pixels of the picture.
struct PixelRun {
  QRect rect;
  QRgb colour;
};
std::vector<PixelRun> pixelRuns(const QImage& picture);

}  // namespace picture_drawing
