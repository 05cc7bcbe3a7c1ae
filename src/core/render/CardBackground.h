#pragma once
// The card background painter: white base in the card's outline, then the
// side's fill (solid, gradient, hatch or background picture) and border. A
// pure function of its inputs, so that the canvas, the render path and the
// export and mail workers share it.

#include <QPainterPath>
#include <QRectF>
#include <QString>

#include "core/Card_Property.h"
#include "core/render/SKTRenderingView.h"

class QPainter;

namespace card_background {

// The card outline: 1 rounded rectangle (corner radius 10), 2 the inscribed
// ellipse, any other value the rectangle.
QPainterPath outlinePath(const QRectF& rect, int cardShape);

struct Inputs {
  const Card_Property* page = nullptr;  // the side's page settings
  int cardShape = 0;                    // the card outline code
  QRectF cardRect;                      // the card's full rectangle (front canvas bounds)
  QString resourcePath;                 // the resource folder (hatch pictures)
};

// Paints the card base into the rectangle being drawn.
void Card_Base_Drawing(QPainter& painter, const QRectF& rect, const Inputs& in);

}  // namespace card_background

// A render context that paints the given page settings (copied, so it stays
// valid and unchanged on any thread) with the outline and size.
SidePaintContext sidePaintContextForPage(const Card_Property& page, int cardShape, const QSizeF& size,
                                         const QString& resourcePath);
