#pragma once
// Drawing helpers shared by the card objects, the card background and the
// render path: dash styles, gradient fills at an angle, and hatch pictures.
// All of them are safe to call from any thread.

#include <QBrush>
#include <QImage>
#include <QPainterPath>
#include <QPen>
#include <QRectF>
#include <QString>
#include <QVector>

class QPainter;

namespace paint {

// Dash lengths in points (on, off, ...) of a dash style code: "S" none; "DA" 8, 2;
// "DO" 4, 6; "DD" 24, 10, 6, 10; "DDD" 24, 8, 8, 8, 8, 8; any other code none.
QVector<qreal> dashLengthsForCode(const QString& code);

// A pen of the given width and colour with the code's dashes (phase 0). Qt
// counts dashes in pen widths, so the lengths are divided by the width.
// Flat caps and mitred joins unless given otherwise.
QPen strokePen(const QColor& color, double width, const QString& dashCode, Qt::PenCapStyle cap = Qt::FlatCap,
               Qt::PenJoinStyle join = Qt::MiterJoin);

// The pen cap of a stored cap style: 0 butt, 1 round, 2 square.
Qt::PenCapStyle capStyleForCode(int code);

// A linear gradient across the rectangle at the angle (degrees; 0 runs left to
// right, 90 top to bottom on screen), from the first colour to the second.
// The gradient's ends touch the rectangle's edges along the angle.
QBrush angledGradient(const QRectF& rect, double angleDegrees, const QColor& from, const QColor& to);

// True when the name can become a file name: not empty, no path separator,
// not "." or "..", no NUL.
bool isPlainName(const QString& name);

// The hatch picture <resourceFolder>/Fill_Style_Image/<name>.png, read once and
// kept; a null image when the name is not plain or the file cannot be read.
QImage hatchPicture(const QString& resourceFolder, const QString& name);
// Forgets every kept hatch picture (after the folder changed).
void clearHatchPictures();
// How many hatch files were read from disk so far (tests check the caching).
int hatchPictureLoadCount();

// Fills the path with the hatch background colour, then with the hatch picture
// as a repeating pattern (tiles start at the painter's origin). A missing
// picture leaves the background colour alone.
void fillHatch(QPainter& painter, const QPainterPath& path, const QColor& background, const QImage& picture);

// Converts an opacity fraction to a colour alpha: 1 or more is opaque.
double clampOpacity(double value);
// The colour with its alpha replaced by the opacity value (clamped to 0..1).
QColor withAlpha(QColor color, double opacity);

}  // namespace paint

namespace paint {
// The colour of selection knobs and creation frames.
QColor knobColor();
}  // namespace paint

namespace render {
// Marks the current thread as drawing card objects for the lifetime of the
// guard, with the resource folder its pictures (hatches, samples) come from.
// Inside a drawing the graphics ask nothing of the card host: a drawing on a
// worker thread depends only on what it was given.
class ScopedDrawing {
 public:
  explicit ScopedDrawing(QString resourcePath);
  ~ScopedDrawing();
  ScopedDrawing(const ScopedDrawing&) = delete;
  ScopedDrawing& operator=(const ScopedDrawing&) = delete;

 private:
  QString previous_;
};
// True while the current thread is inside a ScopedDrawing.
bool isDrawing();
// Marks the current thread as drawing a window on the screen for the
// lifetime of the guard: a picture whose filtering takes long may be shown as
// it was until the result is made on a worker (files and printers always get
// the finished result).
class ScopedScreenDrawing {
 public:
  ScopedScreenDrawing();
  ~ScopedScreenDrawing();
  ScopedScreenDrawing(const ScopedScreenDrawing&) = delete;
  ScopedScreenDrawing& operator=(const ScopedScreenDrawing&) = delete;
};
// True while the current thread is inside a ScopedScreenDrawing.
bool isDrawingOnScreen();
// The resource folder of the drawing under way on this thread; outside a
// drawing the card host's.
QString resourcePath();
// Called by a graphic that has drawn itself. A graphic drawn on its own
// (outside a canvas or a render) asks the card host to redisplay the canvas;
// inside a drawing nothing is asked (the drawing is the redisplay).
void graphicDrawn();
}  // namespace render
