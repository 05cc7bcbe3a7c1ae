#include "core/image/PictureDrawing.h"

#include <QPaintEngine>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

#include "core/image/PictureCache.h"
#include "core/render/PaintStyle.h"

namespace picture_drawing {

void strokeBounds(QPainter& painter, const QRectF& rect, const QColor& color, double width,
                  const QString& dashCode) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(paint::strokePen(color, width, dashCode));
  painter.drawRect(rect);
  painter.restore();
}

bool paintsIntoDocument(const QPainter& painter) {
  const QPaintEngine* engine = painter.paintEngine();
  if (engine == nullptr) return false;
  switch (engine->type()) {
    case QPaintEngine::Pdf:  // PDF files and printers on Linux
    case QPaintEngine::MacPrinter:
    case QPaintEngine::Windows:
    case QPaintEngine::SVG:
    case QPaintEngine::Picture:  // a recording that may be replayed into a document
      return true;
    default:
      return false;
  }
}

std::vector<PixelRun> pixelRuns(const QImage& picture) {
  std::vector<PixelRun> done;
  if (picture.isNull()) return done;
  const QImage img = picture.convertToFormat(QImage::Format_ARGB32);
  const int width = img.width();
  // Runs still open from the row above, left to right (runs of one row never
  // overlap): a run of the next row with the same ends and colour extends one.
  std::vector<PixelRun> open, next;
  for (int y = 0; y < img.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    next.clear();
    size_t above = 0;
    for (int x = 0; x < width;) {
      const QRgb c = line[x];
      int end = x + 1;
      while (end < width && line[end] == c) ++end;
      if (qAlpha(c) != 0) {
        // Open runs starting left of this one cannot continue: they end here.
        while (above < open.size() && open[above].rect.left() < x) done.push_back(open[above++]);
        if (above < open.size() && open[above].rect.left() == x && open[above].rect.right() == end - 1 &&
            open[above].colour == c) {
          PixelRun run = open[above++];
          run.rect.setBottom(y);
          next.push_back(run);
        } else {
          next.push_back({QRect(x, y, end - x, 1), c});
        }
      }
      x = end;
    }
    while (above < open.size()) done.push_back(open[above++]);
    open.swap(next);
  }
  done.insert(done.end(), open.begin(), open.end());
  return done;
}

namespace {

QImage resampled(PictureCache* cache, const QImage& picture, QSize pixels, bool smooth, bool flipH,
                 bool flipV) {
  return cache != nullptr ? cache->scaled(picture, pixels, smooth, flipH, flipV)
                          : resampledPicture(picture, pixels, smooth, flipH, flipV);
}

// Onto a raster device under a transform that only scales and moves: the
// device pixels the target covers, resampled once and put there 1:1.
void drawOntoPixels(QPainter& painter, const QImage& picture, const QRectF& target, bool smooth, bool flipH,
                    bool flipV, PictureCache* cache) {
  const double dpr = painter.device() != nullptr ? painter.device()->devicePixelRatio() : 1.0;
  const QRectF device = painter.deviceTransform().mapRect(target);
  const double left = std::round(device.left() * dpr), right = std::round(device.right() * dpr);
  const double top = std::round(device.top() * dpr), bottom = std::round(device.bottom() * dpr);
  const QSize pixels(static_cast<int>(right - left), static_cast<int>(bottom - top));
  if (pixels.width() < 1 || pixels.height() < 1) return;
  // A mirroring transform swaps the picture's sides on the device.
  const QTransform t = painter.deviceTransform();
  const QImage out =
      resampled(cache, picture, pixels, smooth, flipH != (t.m11() < 0), flipV != (t.m22() < 0));
  if (out.isNull()) return;
  // Draw in device coordinates: what stays of the device transform once the
  // world transform is reset (a widget's offset in its window) is taken out.
  painter.resetTransform();
  painter.setWorldTransform(painter.deviceTransform().inverted());
  painter.drawImage(QRectF(left / dpr, top / dpr, pixels.width() / dpr, pixels.height() / dpr), out,
                    QRectF(out.rect()));
}

// Into a document: the picture at no more than kDocumentPictureDpi over the target.
void drawIntoDocument(QPainter& painter, const QImage& picture, const QRectF& target, bool flipH, bool flipV,
                      PictureCache* cache) {
  const QRectF points = painter.worldTransform().mapRect(target);
  const double perPoint = kDocumentPictureDpi / 72.0;
  const QSize most(std::max(1, static_cast<int>(std::ceil(points.width() * perPoint))),
                   std::max(1, static_cast<int>(std::ceil(points.height() * perPoint))));
  const QSize pixels(std::min(picture.width(), most.width()), std::min(picture.height(), most.height()));
  const QImage out = resampled(cache, picture, pixels, true, flipH, flipV);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(target, out, QRectF(out.rect()));
}

}  // namespace

void drawPicture(QPainter& painter, const QImage& picture, const QRectF& target, double opacity,
                 bool flipHorizontally, bool flipVertically, bool bars, PictureCache* cache) {
  if (picture.isNull() || !(std::abs(target.width()) > 0) || !(std::abs(target.height()) > 0) ||
      !(opacity > 0.0))
    return;
  painter.save();
  painter.setOpacity(painter.opacity() * std::min(opacity, 1.0));
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  const QRectF r = target.normalized();
  if (paintsIntoDocument(painter)) {
    if (bars) {
      painter.translate(r.x() + (flipHorizontally ? r.width() : 0.0),
                        r.y() + (flipVertically ? r.height() : 0.0));
      painter.scale((flipHorizontally ? -1.0 : 1.0) * r.width() / picture.width(),
                    (flipVertically ? -1.0 : 1.0) * r.height() / picture.height());
      painter.setRenderHint(QPainter::Antialiasing, false);
      painter.setPen(Qt::NoPen);
      // The runs of one colour in one call: one fill of many rectangles.
      std::map<QRgb, std::vector<QRect>> byColour;
      for (const PixelRun& run : pixelRuns(picture)) byColour[run.colour].push_back(run.rect);
      for (const auto& [colour, rects] : byColour) {
        painter.setBrush(QColor::fromRgba(colour));
        painter.drawRects(rects.data(), static_cast<int>(rects.size()));
      }
    } else {
      drawIntoDocument(painter, picture, r, flipHorizontally, flipVertically, cache);
    }
  } else if (painter.deviceTransform().type() <= QTransform::TxScale) {
    drawOntoPixels(painter, picture, r, !bars, flipHorizontally, flipVertically, cache);
  } else {
    painter.translate(r.x() + (flipHorizontally ? r.width() : 0.0),
                      r.y() + (flipVertically ? r.height() : 0.0));
    painter.scale(flipHorizontally ? -1.0 : 1.0, flipVertically ? -1.0 : 1.0);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, !bars);
    painter.drawImage(QRectF(0.0, 0.0, r.width(), r.height()), picture, QRectF(picture.rect()));
  }
  painter.restore();
}

}  // namespace picture_drawing
