#include "core/GraphicLimits.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace {

double limited(double value) {
  if (std::isnan(value)) return 0.0;
  return std::clamp(value, -kMaxGraphicCoordinate, kMaxGraphicCoordinate);
}

bool withinLimit(double value, double limit) {
  return std::isfinite(value) && std::abs(value) <= limit;
}

QString points(double value) {
  return QLocale(QLocale::English).toString(value, 'f', QLocale::FloatingPointShortest);
}

// "its width, 128,000 points, is beyond the 100,000 points an object can measure"
std::optional<QString> valueBeyond(const char* what, double value, double limit, const char* measure) {
  if (withinLimit(value, limit)) return std::nullopt;
  if (!std::isfinite(value)) return QStringLiteral("its %1 is no finite number").arg(QLatin1String(what));
  return QStringLiteral("its %1, %2 points, is beyond the %3 points %4")
      .arg(QLatin1String(what), points(value), points(limit), QLatin1String(measure));
}

// The range of an offset along one axis that keeps every origin within the limit.
struct Room {
  double low = -HUGE_VAL;
  double high = HUGE_VAL;

  void keep(double origin) {
    low = std::max(low, -kMaxGraphicCoordinate - origin);
    high = std::min(high, kMaxGraphicCoordinate - origin);
  }
  // An object beyond the limit may come back, never go further out.
  double cut(double offset) const {
    if (offset > 0.0) return std::min(offset, std::max(high, 0.0));
    if (offset < 0.0) return std::max(offset, std::min(low, 0.0));
    return offset;
  }
};

}  // namespace

bool boundsWithinLimits(const QRectF& bounds) {
  for (double v : {bounds.x(), bounds.y(), bounds.width(), bounds.height()})
    if (!withinLimit(v, kMaxGraphicCoordinate)) return false;
  return true;
}

QRectF limitedBounds(const QRectF& bounds) {
  if (boundsWithinLimits(bounds)) return bounds;
  return QRectF(limited(bounds.x()), limited(bounds.y()), limited(bounds.width()), limited(bounds.height()));
}

QPointF limitedOffset(const SKTGraphicList& graphics, double dx, double dy) {
  Room horizontal, vertical;
  for (const auto& g : graphics) {
    if (!g || g->ctrl_is_locked) continue;
    horizontal.keep(g->bounds().x());
    vertical.keep(g->bounds().y());
  }
  return {horizontal.cut(dx), vertical.cut(dy)};
}

void limitBoundsOfGraphics(const SKTGraphicList& graphics) {
  for (const auto& g : graphics)
    if (g && !boundsWithinLimits(g->bounds())) g->setBounds(g->bounds());
}

std::optional<QString> graphicBeyondLimits(const SKTGraphic& g) {
  const QRectF b = g.bounds();
  const char* position = "an object can lie from the card's corner";
  const char* extent = "an object can measure";
  for (const auto& problem :
       {valueBeyond("x position", b.x(), kMaxGraphicCoordinate, position),
        valueBeyond("y position", b.y(), kMaxGraphicCoordinate, position),
        valueBeyond("width", b.width(), kMaxGraphicCoordinate, extent),
        valueBeyond("height", b.height(), kMaxGraphicCoordinate, extent),
        valueBeyond("line width", g.strokeWidth(), kMaxGraphicStrokeWidth, "a line can have"),
        valueBeyond("gradient angle", g.fill_grad_angle(), HUGE_VAL, "")})
    if (problem) return problem;
  const char* font = "a font can have";
  for (const auto& [what, size] : {std::pair{"font size", g.text_ctrl_font.size},
                                   std::pair{"barcode value font size", g.value_font_val.size},
                                   std::pair{"barcode header font size", g.header_font_val.size},
                                   std::pair{"barcode footer font size", g.footer_font_val.size}})
    if (auto problem = valueBeyond(what, size, kMaxGraphicFontSize, font)) return problem;
  if (g._Text_contents)
    return valueBeyond("text's own font size", g._Text_contents->font.size, kMaxGraphicFontSize, font);
  return std::nullopt;
}
