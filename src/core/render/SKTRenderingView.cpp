#include "core/render/SKTRenderingView.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <cmath>

#include "core/CardHost.h"
#include "core/render/PaintStyle.h"

namespace {

// Drawing error code of a failed TIFF picture.
constexpr int kTiffErrorCode = 3;

bool sizeIsDrawable(const QSizeF& size, double scale) {
  return std::isfinite(size.width()) && std::isfinite(size.height()) && size.width() * scale >= 0.5 &&
         size.height() * scale >= 0.5 && size.width() * scale <= SKTRenderingView::kMaxPixelsPerSide &&
         size.height() * scale <= SKTRenderingView::kMaxPixelsPerSide;
}

}  // namespace

SidePaintContext SidePaintContext::fromHost() {
  SidePaintContext context;
  context.size = cardHost().frontCanvasBounds().size();
  context.resourcePath = cardHost().Resource_Path();
  context.cardBase = [](QPainter& painter, const QRectF& rect) {
    cardHost().Card_Base_Drawing(painter, rect);
  };
  return context;
}

SKTRenderingView::SKTRenderingView(const QRectF& frame, SKTGraphicList graphics, QString printJobTitle)
    : _frame(frame), _graphics(std::move(graphics)), _printJobTitle(std::move(printJobTitle)) {}

void drawGraphicClipped(QPainter& painter, SKTGraphic& graphic, bool isBeingCreateOrEdited) {
  painter.save();
  painter.setClipRect(graphic.drawingBounds(), Qt::IntersectClip);
  graphic.drawContentsInView(painter, isBeingCreateOrEdited);
  painter.restore();
}

void SKTRenderingView::drawRect(QPainter& painter, const QRectF& rect, const SidePaintContext& context,
                                const GraphicPainter& drawInstead) const {
  render::ScopedDrawing drawing(context.resourcePath);
  if (context.cardBase) {
    painter.save();
    context.cardBase(painter, rect);
    painter.restore();
  }
  for (auto it = _graphics.rbegin(); it != _graphics.rend(); ++it) {
    SKTGraphic* graphic = it->get();
    if (!graphic || graphic->print_object != 0) continue;
    painter.save();
    if (!drawInstead || !drawInstead(painter, *graphic)) graphic->drawContentsInView(painter, false);
    painter.restore();
  }
}

QImage SKTRenderingView::image_From_Card_Graphics(const SKTGraphicList& graphics,
                                                  const SidePaintContext& context, double scale,
                                                  const GraphicPainter& drawInstead) {
  if (!(scale > 0) || !sizeIsDrawable(context.size, scale)) return {};
  const QSize pixels(static_cast<int>(std::lround(context.size.width() * scale)),
                     static_cast<int>(std::lround(context.size.height() * scale)));
  QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  // One point per pixel at scale 1: a 72 dpi picture.
  const int dotsPerMeter = static_cast<int>(std::lround(72.0 * scale / 0.0254));
  image.setDotsPerMeterX(dotsPerMeter);
  image.setDotsPerMeterY(dotsPerMeter);
  const SKTRenderingView view(QRectF(QPointF(0, 0), context.size), graphics);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.scale(scale, scale);
  view.drawRect(painter, view.frame(), context, drawInstead);
  painter.end();
  return image;
}

QImage SKTRenderingView::image_From_Card_Graphics(const SKTGraphicList& graphics, bool /*print_box*/) {
  return image_From_Card_Graphics(graphics, SidePaintContext::fromHost());
}

QByteArray SKTRenderingView::pdfDataWithGraphics_data(const SKTGraphicList& graphics,
                                                      const SidePaintContext& context) {
  if (!sizeIsDrawable(context.size, 1.0)) return {};
  QByteArray data;
  {
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(72);  // one unit is one point
    writer.setCreator(QStringLiteral("QUVO Gratulo"));
    // PDF pages come in whole points: each side is rounded up, so the page
    // holds the whole card at its top-left corner (never a standard size
    // that happens to lie near).
    const QSizeF page(std::ceil(context.size.width() - 1e-9), std::ceil(context.size.height() - 1e-9));
    writer.setPageLayout(QPageLayout(QPageSize(page, QPageSize::Point, QString(), QPageSize::ExactMatch),
                                     QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Point,
                                     QMarginsF(0, 0, 0, 0)));
    QPainter painter(&writer);
    const SKTRenderingView view(QRectF(QPointF(0, 0), context.size), graphics);
    view.drawRect(painter, view.frame(), context);
    painter.end();
  }
  return data;
}

QByteArray SKTRenderingView::pdfDataWithGraphics_data(const SKTGraphicList& graphics) {
  return pdfDataWithGraphics_data(graphics, SidePaintContext::fromHost());
}

QByteArray SKTRenderingView::tiffDataWithGraphics(const SKTGraphicList& graphics,
                                                  const QRectF& emptyListBounds, int* errorCode,
                                                  const QString& resourcePath) {
  QRectF rect;
  if (graphics.empty()) {
    rect = emptyListBounds;
  } else {
    for (const auto& g : graphics)
      if (g) rect = rect.united(g->drawingBounds());
  }
  if (rect.isEmpty() || !sizeIsDrawable(rect.size(), 1.0)) {
    if (errorCode) *errorCode = kTiffErrorCode;
    return {};
  }
  const QSize pixels(static_cast<int>(std::ceil(rect.width())), static_cast<int>(std::ceil(rect.height())));
  QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  image.setDotsPerMeterX(2835);  // 72 dpi
  image.setDotsPerMeterY(2835);
  {
    render::ScopedDrawing drawing(resourcePath);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(-rect.topLeft());
    for (auto it = graphics.rbegin(); it != graphics.rend(); ++it)
      if (*it) drawGraphicClipped(painter, **it, false);
  }
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "tiff");
  if (!writer.write(image)) {
    if (errorCode) *errorCode = kTiffErrorCode;
    return {};
  }
  return data;
}

QByteArray SKTRenderingView::tiffDataWithGraphics(const SKTGraphicList& graphics, int* errorCode) {
  return tiffDataWithGraphics(graphics, cardHost().frontCanvasBounds(), errorCode,
                              cardHost().Resource_Path());
}

QImage SKTRenderingView::opaqueOverWhite(const QImage& picture) {
  QImage opaque(picture.size(), QImage::Format_RGB32);
  opaque.setDotsPerMeterX(picture.dotsPerMeterX());
  opaque.setDotsPerMeterY(picture.dotsPerMeterY());
  opaque.fill(Qt::white);
  QPainter painter(&opaque);
  painter.drawImage(0, 0, picture);
  painter.end();
  return opaque;
}
