#pragma once
// Drawing steps shared by the picture-like card objects (picture, signature,
// fingerprint, barcode): the dashed border and putting a picture onto a
// rectangle. Safe on any thread (they only touch the given painter).

#include <QImage>
#include <QRectF>
#include <QString>

class QPainter;
class QColor;
class PictureCache;

namespace picture_drawing {

// Strokes the rectangle with the colour, width and dash style code of a card object.
void strokeBounds(QPainter& painter, const QRectF& rect, const QColor& color, double width,
                  const QString& dashCode);

// Draws the whole picture stretched onto the target rectangle with the given
// opacity (0..1), mirrored within the rectangle when asked.
//
// Onto a raster device the picture is resampled once to the device pixels the
// rectangle covers (edges rounded to whole pixels) and put there pixel for
// pixel: smoothly for photos, to the nearest pixel for a picture marked
// `bars`, so bars keep hard edges at any resolution. The resampled picture is
// kept in `cache` when one is given. Under a rotating or shearing transform
// the picture is drawn transformed, smoothly.
//
// Into PDF and print devices a picture marked `bars` is drawn as filled
// rectangles (runs of equal pixels), never as a raster image; any other
// picture goes in at no more than kDocumentPictureDpi over the rectangle.
void drawPicture(QPainter& painter, const QImage& picture, const QRectF& target, double opacity = 1.0,
                 bool flipHorizontally = false, bool flipVertically = false, bool bars = false,
                 PictureCache* cache = nullptr);

// Highest resolution, in dots per inch, of a photo put into a PDF or printed.
inline constexpr double kDocumentPictureDpi = 300.0;

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
