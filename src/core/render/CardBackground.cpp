#include "core/render/CardBackground.h"

#include <QDebug>
#include <QPainter>
#include <exception>
#include <memory>

#include "core/PictureFile.h"
#include "core/globals.h"
#include "core/render/PaintStyle.h"
#include "platform/Messages.h"

namespace card_background {

QPainterPath outlinePath(const QRectF& rect, int cardShape) {
  QPainterPath path;
  path.setFillRule(Qt::WindingFill);
  if (cardShape == 1)
    path.addRoundedRect(rect, 10, 10);
  else if (cardShape == 2)
    path.addEllipse(rect);
  else
    path.addRect(rect);
  return path;
}

namespace {

void paintBase(QPainter& painter, const QRectF& rect, const Inputs& in) {
  const Card_Property& page = *in.page;
  const QPainterPath outline = outlinePath(rect, in.cardShape);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillPath(outline, Qt::white);

  if (page.Card_fill_chk) {
    const QString& style = page.Card_fill_style;
    if (style == QLatin1String("G")) {
      painter.fillPath(outline, paint::angledGradient(outline.boundingRect(), page.Card_grad_Stepper,
                                                      page.Card_fill_Grd_1_clr, page.Card_fill_Grd_2_clr));
    } else if (style == QLatin1String("H")) {
      paint::fillHatch(painter, outline, page.Card_hatch_bk_clr,
                       paint::hatchPicture(in.resourcePath, page.Card_hatch_style));
    } else if (style == QLatin1String("I")) {
      const QImage& picture = page.Card_BG_Image;
      if (!picture.isNull()) {
        const double opacity = paint::clampOpacity(page.Card_alpha_Stepper);
        painter.save();
        painter.setOpacity(opacity);
        if (page.Card_BG_Image_Layout == QLatin1String("Tile")) {
          painter.setBrushOrigin(0, 0);
          painter.fillPath(outline, QBrush(picture));
        } else {
          // Stretched over the card's full rectangle, not clipped to the outline.
          painter.setRenderHint(QPainter::SmoothPixmapTransform);
          const QRectF full = in.cardRect.isEmpty() ? rect : in.cardRect;
          painter.drawImage(full, picture);
        }
        painter.restore();
      }
    } else {
      painter.fillPath(outline, page.Card_fill_clr);
    }
  }

  if (page.Card_border_chk) {
    painter.strokePath(outline,
                       paint::strokePen(page.Card_bordr_clr, page.Card_bor_Stepper, page.Card_border_style));
  }
}

}  // namespace

void Card_Base_Drawing(QPainter& painter, const QRectF& rect, const Inputs& in) {
  if (!in.page) return;
  painter.save();
  try {
    paintBase(painter, rect, in);
  } catch (const std::exception& e) {
    // The card objects are still drawn by the caller.
    qCWarning(lcDrawing).noquote() << QString::fromLocal8Bit(e.what());
  }
  painter.restore();
}

}  // namespace card_background

SidePaintContext sidePaintContextForPage(const Card_Property& page, int cardShape, const QSizeF& size,
                                         const QString& resourcePath) {
  auto own = std::make_shared<Card_Property>(page.copy());
  SidePaintContext context;
  context.size = size;
  context.resourcePath = resourcePath;
  if (page.Card_fill_chk && page.Card_fill_style == QLatin1String("I") && page.Card_BG_Image.isNull()) {
    // A background that was missing when the design was opened may be back:
    // what is drawn and said is what is there now.
    own->Card_BG_Image = loadPictureFile(page.Card_BG_Image_Path);
    if (own->Card_BG_Image.isNull()) context.missingBackground = page.Card_BG_Image_Path;
  }
  std::shared_ptr<const Card_Property> copy = std::move(own);
  context.cardBase = [copy, cardShape, size, resourcePath](QPainter& painter, const QRectF& rect) {
    card_background::Card_Base_Drawing(painter, rect,
                                       {copy.get(), cardShape, QRectF(QPointF(0, 0), size), resourcePath});
  };
  return context;
}
