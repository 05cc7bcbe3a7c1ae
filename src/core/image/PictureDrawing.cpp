#include "core/image/PictureDrawing.h"

#include <QPaintEngine>
#include <QPainter>
#include <algorithm>
#include <map>
#include <vector>

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
  // Runs still open from the row above, keyed by (left, right, colour).
  std::map<std::tuple<int, int, QRgb>, QRect> open;
  for (int y = 0; y < img.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    std::map<std::tuple<int, int, QRgb>, QRect> next;
    for (int x = 0; x < img.width();) {
      const QRgb c = line[x];
      int end = x + 1;
      while (end < img.width() && line[end] == c) ++end;
      if (qAlpha(c) != 0) {
        const auto key = std::make_tuple(x, end, c);
        auto it = open.find(key);
        if (it != open.end()) {
          QRect r = it->second;
          r.setBottom(y);
          next[key] = r;
          open.erase(it);
        } else {
          next[key] = QRect(x, y, end - x, 1);
        }
      }
      x = end;
    }
    for (const auto& [key, rect] : open) done.push_back({rect, std::get<2>(key)});
    open = std::move(next);
  }
  for (const auto& [key, rect] : open) done.push_back({rect, std::get<2>(key)});
  return done;
}

void drawPicture(QPainter& painter, const QImage& picture, const QRectF& target, double opacity,
                 bool flipHorizontally, bool flipVertically, bool vector) {
  if (picture.isNull() || target.width() == 0 || target.height() == 0 || !(opacity > 0.0)) return;
  painter.save();
  painter.translate(target.x() + (flipHorizontally ? target.width() : 0.0),
                    target.y() + (flipVertically ? target.height() : 0.0));
  painter.scale(flipHorizontally ? -1.0 : 1.0, flipVertically ? -1.0 : 1.0);
  painter.setOpacity(painter.opacity() * std::min(opacity, 1.0));
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  if (vector && paintsIntoDocument(painter)) {
    painter.scale(target.width() / picture.width(), target.height() / picture.height());
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    for (const PixelRun& run : pixelRuns(picture)) painter.fillRect(run.rect, QColor::fromRgba(run.colour));
  } else {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(0.0, 0.0, target.width(), target.height()), picture, QRectF(picture.rect()));
  }
  painter.restore();
}

}  // namespace picture_drawing
