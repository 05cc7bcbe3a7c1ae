#include "core/render/PaintStyle.h"

#include <QFile>
#include <QHash>
#include <QImageReader>
#include <QLinearGradient>
#include <QPainter>
#include <QtMath>
#include <atomic>
#include <cmath>
#include <mutex>

#include "core/CardHost.h"
#include "platform/RegularFile.h"

namespace paint {

QVector<qreal> dashLengthsForCode(const QString& code) {
  if (code == QLatin1String("DA")) return {8, 2};
  if (code == QLatin1String("DO")) return {4, 6};
  if (code == QLatin1String("DD")) return {24, 10, 6, 10};
  if (code == QLatin1String("DDD")) return {24, 8, 8, 8, 8, 8};
  return {};
}

QPen strokePen(const QColor& color, double width, const QString& dashCode, Qt::PenCapStyle cap,
               Qt::PenJoinStyle join) {
  if (!std::isfinite(width) || width < 0) width = 0;
  QPen pen(color, width);
  pen.setCapStyle(cap);
  pen.setJoinStyle(join);
  pen.setMiterLimit(10.0);  // the miter limit stored designs were drawn with
  const QVector<qreal> lengths = dashLengthsForCode(dashCode);
  if (!lengths.isEmpty()) {
    // Qt measures dashes in pen widths; a zero width is drawn as one device pixel.
    const double unit = width > 0 ? width : 1.0;
    QVector<qreal> pattern;
    for (qreal l : lengths) pattern << l / unit;
    pen.setDashPattern(pattern);
    pen.setDashOffset(0);
  }
  return pen;
}

Qt::PenCapStyle capStyleForCode(int code) {
  switch (code) {
    case 1:
      return Qt::RoundCap;
    case 2:
      return Qt::SquareCap;
    default:
      return Qt::FlatCap;
  }
}

QBrush angledGradient(const QRectF& rect, double angleDegrees, const QColor& from, const QColor& to) {
  if (!std::isfinite(angleDegrees)) angleDegrees = 0;
  const double a = qDegreesToRadians(angleDegrees);
  const double dx = std::cos(a), dy = std::sin(a);
  const double half = std::abs(rect.width() / 2 * dx) + std::abs(rect.height() / 2 * dy);
  const QPointF c = rect.center();
  QLinearGradient g(c - QPointF(dx * half, dy * half), c + QPointF(dx * half, dy * half));
  g.setColorAt(0, from);
  g.setColorAt(1, to);
  g.setSpread(QGradient::PadSpread);
  return QBrush(g);
}

bool isPlainName(const QString& name) {
  if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) return false;
  for (QChar ch : name)
    if (ch == QLatin1Char('/') || ch == QLatin1Char('\\') || ch == QChar(0)) return false;
  return true;
}

namespace {
std::mutex gHatchMutex;
QHash<QString, QImage> gHatchCache;
std::atomic<int> gHatchLoads{0};
constexpr qint64 kMaxHatchFileBytes = 4 * 1024 * 1024;
}  // namespace

QImage hatchPicture(const QString& resourceFolder, const QString& name) {
  if (!isPlainName(name) || resourceFolder.isEmpty()) return {};
  const QString path = resourceFolder + QStringLiteral("/Fill_Style_Image/") + name + QStringLiteral(".png");
  std::lock_guard lock(gHatchMutex);
  auto it = gHatchCache.constFind(path);
  if (it != gHatchCache.constEnd()) return *it;
  QImage picture;
  QFile file;
  // Only a regular file is opened: a pipe or device under that name would
  // block the painter (and every repaint) on its first read.
  if (platform::openRegularFile(file, path) && file.size() <= kMaxHatchFileBytes) {
    QImageReader reader(&file, "png");
    reader.setAllocationLimit(64);  // megabytes
    picture = reader.read();
    ++gHatchLoads;
  }
  if (!picture.isNull()) picture = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  // A file that is not there yet is looked for again next time (a pattern may
  // be added to the folder); a file that cannot be decoded is not read again.
  if (!picture.isNull() || file.exists()) gHatchCache.insert(path, picture);
  return picture;
}

void clearHatchPictures() {
  std::lock_guard lock(gHatchMutex);
  gHatchCache.clear();
}

int hatchPictureLoadCount() {
  return gHatchLoads.load();
}

void fillHatch(QPainter& painter, const QPainterPath& path, const QColor& background, const QImage& picture) {
  painter.fillPath(path, background);
  if (picture.isNull()) return;
  QBrush pattern(picture);
  painter.save();
  painter.setBrushOrigin(0, 0);
  painter.fillPath(path, pattern);
  painter.restore();
}

double clampOpacity(double value) {
  if (!std::isfinite(value) || value < 0) return 0;
  return value >= 1 ? 1.0 : value;
}

QColor withAlpha(QColor color, double opacity) {
  color.setAlphaF(static_cast<float>(clampOpacity(opacity)));
  return color;
}

}  // namespace paint

namespace paint {
QColor knobColor() {
  return QColor(96, 96, 96);
}
}  // namespace paint

namespace render {
namespace {
thread_local int tDrawingDepth = 0;
thread_local QString tResourcePath;
thread_local int tScreenDepth = 0;
}  // namespace
ScopedScreenDrawing::ScopedScreenDrawing() {
  ++tScreenDepth;
}
ScopedScreenDrawing::~ScopedScreenDrawing() {
  --tScreenDepth;
}
bool isDrawingOnScreen() {
  return tScreenDepth > 0;
}
ScopedDrawing::ScopedDrawing(QString resourcePath) : previous_(std::move(tResourcePath)) {
  ++tDrawingDepth;
  tResourcePath = std::move(resourcePath);
}
ScopedDrawing::~ScopedDrawing() {
  --tDrawingDepth;
  tResourcePath = std::move(previous_);
}
bool isDrawing() {
  return tDrawingDepth > 0;
}
QString resourcePath() {
  return isDrawing() ? tResourcePath : cardHost().Resource_Path();
}
void graphicDrawn() {
  if (!isDrawing()) cardHost().Refresh_Canvas();
}
}  // namespace render
