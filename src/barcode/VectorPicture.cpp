#include "barcode/VectorPicture.h"

#include <QPaintEngine>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace barcode {

namespace {

const std::vector<VectorPicture::Command> kNoCommands;

// Rectangles are filled as outlines in a raster: a raster painter places the
// edges of an outline a little differently from those of a plain rectangle,
// and pictures have always been drawn this way.
void fillAsOutlines(QPainter& painter, const VectorPicture::FilledRects& fill) {
  painter.setBrush(fill.colour);
  QPainterPath outline;
  for (const QRectF& rect : fill.rects) {
    outline.clear();
    outline.addRect(rect);
    painter.drawPath(outline);
  }
}

// The pixel boundary on which an aliased raster painter puts the edge of an
// outline at device coordinate v: v is rounded to 1/64 pixel, and the edge
// falls on the nearest pixel boundary (upwards when half-way), so a pixel is
// filled when its centre lies inside.
int outlineEdge(double v) {
  return (qRound(v * 64.0) + 32) >> 6;
}

// Whether the painter fills outlined rectangles exactly as whole-pixel
// rectangles found with outlineEdge(): an aliased, unclipped, opaque raster
// painter at one device pixel per unit that only scales and translates.
bool fillsWholePixels(const QPainter& painter) {
  const QPaintEngine* engine = painter.paintEngine();
  const QPaintDevice* device = painter.device();
  return engine && engine->type() == QPaintEngine::Raster && device && device->devicePixelRatio() == 1.0 &&
         !painter.testRenderHint(QPainter::Antialiasing) && !painter.hasClipping() &&
         painter.opacity() == 1.0 && painter.compositionMode() == QPainter::CompositionMode_SourceOver &&
         painter.deviceTransform().type() <= QTransform::TxScale;
}

// The same pixels as fillAsOutlines() on such a painter, without building and
// scanning an outline for each rectangle (a picture has hundreds of them).
// False, with nothing drawn, when a rectangle lies too far out to be placed.
bool fillWholePixels(QPainter& painter, const VectorPicture::FilledRects& fill) {
  constexpr double kLimit = 1 << 24;
  const QTransform toDevice = painter.deviceTransform();
  thread_local std::vector<QRect> pixels;
  pixels.clear();
  for (const QRectF& rect : fill.rects) {
    const QPointF a = toDevice.map(rect.topLeft());
    const QPointF b = toDevice.map(rect.bottomRight());
    for (const double v : {a.x(), a.y(), b.x(), b.y()})
      if (!(std::abs(v) < kLimit)) return false;
    const int left = outlineEdge(std::min(a.x(), b.x()));
    const int right = outlineEdge(std::max(a.x(), b.x()));
    const int top = outlineEdge(std::min(a.y(), b.y()));
    const int bottom = outlineEdge(std::max(a.y(), b.y()));
    if (right > left && bottom > top) pixels.emplace_back(left, top, right - left, bottom - top);
  }
  painter.save();
  painter.resetTransform();
  const bool placed = painter.deviceTransform().type() == QTransform::TxNone;
  if (placed)
    for (const QRect& rect : pixels) painter.fillRect(rect, fill.colour);
  painter.restore();
  return placed;
}

}  // namespace

const std::vector<VectorPicture::Command>& VectorPicture::commands() const {
  return commands_ ? *commands_ : kNoCommands;
}

void VectorPicture::play(QPainter& painter) const {
  if (isNull()) return;
  painter.save();
  painter.setPen(Qt::NoPen);
  for (const Command& command : *commands_) {
    if (const auto* fill = std::get_if<FilledRects>(&command)) {
      if (fillsWholePixels(painter) && fillWholePixels(painter, *fill)) continue;
      if (painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Raster) {
        fillAsOutlines(painter, *fill);
      } else {
        // A vector device (PDF, printer) takes them in one go: one fill for all.
        painter.setBrush(fill->colour);
        painter.drawRects(fill->rects.data(), static_cast<int>(fill->rects.size()));
      }
    } else if (const auto* outline = std::get_if<FilledPath>(&command)) {
      painter.save();
      painter.setRenderHint(QPainter::Antialiasing, true);
      painter.setBrush(outline->colour);
      painter.drawPath(outline->path);
      painter.restore();
    } else if (const auto* placed = std::get_if<Placed>(&command)) {
      painter.save();
      painter.setTransform(placed->transform, true);
      placed->picture.play(painter);
      painter.restore();
    }
  }
  painter.restore();
}

QPicture VectorPicture::toQPicture() const {
  QPicture picture;
  QPainter painter(&picture);
  play(painter);
  painter.end();
  return picture;
}

void VectorRecorder::fillRect(const QRectF& rect, const QColor& colour) {
  if (!commands_.empty())
    if (auto* last = std::get_if<VectorPicture::FilledRects>(&commands_.back());
        last && last->colour == colour) {
      last->rects.push_back(rect);
      return;
    }
  commands_.emplace_back(VectorPicture::FilledRects{colour, {rect}});
}

void VectorRecorder::fillPath(const QPainterPath& path, const QColor& colour) {
  commands_.emplace_back(VectorPicture::FilledPath{colour, path, std::nullopt});
}

void VectorRecorder::fillText(const QPainterPath& outlines, const QColor& colour,
                              const VectorPicture::TextLine& line) {
  commands_.emplace_back(VectorPicture::FilledPath{colour, outlines, line});
}

void VectorRecorder::place(const VectorPicture& picture, const QTransform& transform) {
  if (!picture.isNull()) commands_.emplace_back(VectorPicture::Placed{picture, transform});
}

VectorPicture VectorRecorder::finish() {
  VectorPicture picture;
  if (!commands_.empty())
    picture.commands_ = std::make_shared<const std::vector<VectorPicture::Command>>(std::move(commands_));
  commands_.clear();
  return picture;
}

}  // namespace barcode
