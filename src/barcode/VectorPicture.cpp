#include "barcode/VectorPicture.h"

#include <QPainter>

namespace barcode {

namespace {
const std::vector<VectorPicture::Command> kNoCommands;
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
      // Each rectangle as an outline of its own: a raster painter places the
      // edges of an outline a little differently from those of a plain
      // rectangle, and pictures have always been drawn this way.
      painter.setBrush(fill->colour);
      QPainterPath outline;
      for (const QRectF& rect : fill->rects) {
        outline.clear();
        outline.addRect(rect);
        painter.drawPath(outline);
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
  commands_.emplace_back(VectorPicture::FilledPath{colour, path});
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
