#pragma once
// A vector picture made only of solid fills (a barcode's background, bars,
// modules and caption outlines), gathered into as few fills as its colours
// allow: rectangles of one colour in one call (merged down where a run
// repeats in the next row), other outlines as they were filled. A PDF
// then holds a handful of fills per barcode, each rectangle in a few bytes,
// where replaying the picture writes one path and one fill per bar.

#include <QColor>
#include <QPainterPath>
#include <QPicture>
#include <QRectF>
#include <optional>
#include <vector>

class QPainter;

namespace production {

struct SolidFills {
  struct Fill {
    QColor colour;
    std::vector<QRectF> rects;
    std::vector<QPainterPath> outlines;  // each with its own fill rule
  };
  std::vector<Fill> fills;  // in painting order

  // The fills of a picture, one unit per point; nothing when the picture
  // draws anything else (strokes, images, texts, clips, opacity).
  static std::optional<SolidFills> of(const QPicture& picture);

  // Paints the fills, one unit per unit of the picture, from `origin`.
  void paint(QPainter& painter, const QPointF& origin) const;
};

}  // namespace production
