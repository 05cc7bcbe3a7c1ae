#pragma once
// A vector picture made only of solid fills (a barcode's background, bars,
// modules and caption outlines), gathered into as few fills as its colours
// allow: rectangles of one colour in one call (merged down where a run
// repeats in the next row), other outlines as they were filled. A PDF
// then holds a handful of fills per barcode, each rectangle in a few bytes,
// where replaying the picture writes one path and one fill per bar.
//
// Rectangles that lie on a grid (bars a whole number of modules wide, 2D
// modules) are kept in whole grid steps and drawn through the grid's
// transform: a PDF writes each of them as a few small whole numbers, which
// it writes and compresses in a fraction of the time of the exact ones.
// Outlines of a line of text go into a PDF as that text in its font (a
// few bytes a letter), where the outline takes a few hundred.

#include <QColor>
#include <QFont>
#include <QList>
#include <QPainterPath>
#include <QRectF>
#include <QTransform>
#include <optional>
#include <vector>

#include "barcode/VectorPicture.h"

class QPainter;

namespace production {

struct SolidFills {
  // The glyphs of a line of text, laid out where its outline lies.
  struct Glyphs {
    QFont font;  // a font of its own, for the painting thread
    QString family, style;
    double pixelSize = 0;  // of the font the glyphs were laid out in
    QList<quint32> indexes;
    QList<QPointF> positions;
    QTransform place;  // the positions' units into picture units
  };
  struct Outline {
    QPainterPath path;  // in picture units, with its own fill rule
    std::optional<Glyphs> glyphs;
  };
  struct Fill {
    QColor colour;
    QTransform grid;            // grid steps into picture units
    std::vector<QRectF> rects;  // in grid steps
    std::vector<Outline> outlines;
  };
  std::vector<Fill> fills;  // in painting order

  // The fills of a picture, one unit per unit of the picture; nothing when
  // the picture draws anything else than opaque fills. Lays out the
  // picture's lines of text: called on the thread that made the picture.
  static std::optional<SolidFills> of(const barcode::VectorPicture& picture);

  // Paints the fills, one unit per unit of the picture, from `origin`;
  // into a PDF, texts as texts.
  void paint(QPainter& painter, const QPointF& origin) const;
};

}  // namespace production
