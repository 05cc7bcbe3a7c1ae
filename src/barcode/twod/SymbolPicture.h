#pragma once
// Module grids of the 2D symbologies and the pictures drawn from them.
//
// A SymbolPicture is a page of modules with a size in points and a pixel size
// for its raster form. It draws as filled rectangles (one per horizontal run
// of dark modules), so PDF output stays vector; its raster form is made on
// demand with nearest-neighbour sampling.

#include <QImage>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "barcode/VectorPicture.h"

class QPainter;

namespace barcode::twod {

using std::size_t;

// A rectangle of modules, top row first; 1 = dark, 0 = light.
struct ModuleGrid {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> cells;

  ModuleGrid() = default;
  ModuleGrid(int w, int h) : width(w), height(h), cells(static_cast<size_t>(w) * static_cast<size_t>(h), 0) {}
  bool dark(int x, int y) const { return cells[static_cast<size_t>(y) * width + x] != 0; }
  void set(int x, int y, bool value) { cells[static_cast<size_t>(y) * width + x] = value ? 1 : 0; }
  bool empty() const { return width <= 0 || height <= 0; }
};

// Limits on what a caller may ask for.
constexpr int kDefaultDpi = 600;
constexpr int kMaxDpi = 4800;
constexpr double kMaxPicturePoints = 14400.0;  // 200 inches a side
constexpr qint64 kMaxPicturePixels = 64LL * 1024 * 1024;

// A resolution of 0 or less means the default; larger ones are capped.
int effectiveDpi(int dpi);
// ceil(dpi x points / 72) the way the designer computes it (double quotient, float ceiling).
int pixelsFor(double points, int dpi);

class SymbolPicture {
 public:
  struct Layout {
    QSizeF page;              // page in its own units (modules or source pixels)
    QRectF gridRect;          // where the grid lies on the page, in page units
    bool opaquePage = false;  // page outside the grid white (true) or transparent (false)
    QSizeF size;              // picture size in points
    QSize pixels;             // raster size
  };

  SymbolPicture(ModuleGrid grid, Layout layout);

  const ModuleGrid& grid() const { return grid_; }
  const Layout& layout() const { return layout_; }
  QSizeF size() const { return layout_.size; }
  QSize pixelSize() const { return layout_.pixels; }
  // One cell of the grid in points; empty for an empty grid.
  QSizeF moduleSize() const;

  // Draws the picture into target (points of the painter's space) as rectangles.
  void draw(QPainter& painter, const QRectF& target) const;
  void draw(QPainter& painter) const { draw(painter, QRectF(QPointF(0, 0), layout_.size)); }
  // The drawing as a picture of the symbol's size in points.
  VectorPicture toPicture() const;
  // The raster form: RGBA, not premultiplied. A null image when it would be too
  // large or its memory cannot be had.
  QImage toImage() const;
  QImage toImage(QSize pixels) const;

 private:
  void record(VectorRecorder& recorder, const QRectF& target) const;

  ModuleGrid grid_;
  Layout layout_;
};

}  // namespace barcode::twod
