#include "core/image/ImageProcesser.h"

#include <QPainter>
#include <QSet>
#include <QtDebug>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <mutex>
#include <new>
#include <stdexcept>
#include <vector>

#include "core/globals.h"

namespace {

// Rec. 709 luma weights, used by grey scale, saturation and sharpening.
constexpr float kLumR = 0.2126f;
constexpr float kLumG = 0.7152f;
constexpr float kLumB = 0.0722f;
constexpr int kMaxBlurRadius = 200;

std::atomic<qint64> chainRuns{0};

std::mutex& logMutex() {
  static std::mutex mutex;
  return mutex;
}
QSet<QString>& loggedFailures() {
  static QSet<QString> set;
  return set;
}

// Logs a failure the first time this text is seen; later repeats stay quiet
// (the chain runs on every redraw).
void logOnce(const QString& text) {
  std::lock_guard lock(logMutex());
  if (loggedFailures().contains(text)) return;
  loggedFailures().insert(text);
  qCWarning(lcDrawing).noquote() << text;
}

QImage straightCopy(const QImage& picture) {
  QImage out = picture.convertToFormat(QImage::Format_ARGB32);
  if (out.isNull()) throw std::bad_alloc();
  if (out.constBits() == picture.constBits()) out.detach();
  return out;
}

inline float toUnit(int v) {
  return float(v) / 255.0f;
}
inline int toByte(float v) {
  if (!(v > 0.0f)) return 0;  // also NaN, from extreme settings read from a design file
  if (v >= 1.0f) return 255;
  return int(std::lround(v * 255.0f));
}

// Applies f(r, g, b) in place to every pixel of a straight ARGB32 copy of the picture.
template <typename F>
QImage mapColours(const QImage& picture, F f) {
  QImage out = straightCopy(picture);
  for (int y = 0; y < out.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x) {
      const QRgb p = line[x];
      float r = toUnit(qRed(p)), g = toUnit(qGreen(p)), b = toUnit(qBlue(p));
      f(r, g, b);
      line[x] = qRgba(toByte(r), toByte(g), toByte(b), qAlpha(p));
    }
  }
  return out;
}

// Runs one filter; a failure is logged once and the input passed on unchanged.
template <typename F>
QImage guarded(const char* name, const QImage& picture, F filter) {
  if (picture.isNull()) return picture;
  try {
    QImage out = filter();
    if (out.isNull()) throw std::runtime_error("no picture produced");
    return out;
  } catch (const std::exception& e) {
    logOnce(QStringLiteral("%1 failed: %2").arg(QLatin1String(name), QString::fromUtf8(e.what())));
    return picture;
  }
}

}  // namespace

QSize ImageProcesser::clampedSize(QSize size) {
  return QSize(std::min(size.width(), kMaxPictureWidth), std::min(size.height(), kMaxPictureHeight));
}

// Grey scale: r = g = b = 0.2126 r + 0.7152 g + 0.0722 b.
QImage ImageProcesser::GrayScale(const QImage& picture) {
  return guarded("GrayScale", picture, [&] {
    return mapColours(picture, [](float& r, float& g, float& b) {
      const float l = kLumR * r + kLumG * g + kLumB * b;
      r = g = b = l;
    });
  });
}

// Sepia: r' = .393r + .769g + .189b, g' = .349r + .686g + .168b, b' = .272r + .534g + .131b (clamped).
QImage ImageProcesser::Sepia(const QImage& picture) {
  return guarded("Sepia", picture, [&] {
    return mapColours(picture, [](float& r, float& g, float& b) {
      const float nr = 0.393f * r + 0.769f * g + 0.189f * b;
      const float ng = 0.349f * r + 0.686f * g + 0.168f * b;
      const float nb = 0.272f * r + 0.534f * g + 0.131f * b;
      r = nr, g = ng, b = nb;
    });
  });
}

// Invert: c' = 1 - c for r, g, b; alpha kept.
QImage ImageProcesser::Invert_Color(const QImage& picture) {
  return guarded("Invert_Color", picture, [&] {
    QImage out = straightCopy(picture);
    out.invertPixels(QImage::InvertRgb);
    return out;
  });
}

// Hue: rotates each colour about the grey axis (1,1,1) by the angle h (radians):
// with c = cos h, s = sin h / sqrt 3, k = (1 - c) / 3:
// r' = (c+k) r + (k-s) g + (k+s) b, g' = (k+s) r + (c+k) g + (k-s) b, b' = (k-s) r + (k+s) g + (c+k) b.
// So +120 degrees turns red into green.
QImage ImageProcesser::adjust_Hue(const QImage& picture, float hue) {
  if (hue == 0.0f || !std::isfinite(hue)) return picture;
  return guarded("adjust_Hue", picture, [&] {
    const float c = std::cos(hue), s = std::sin(hue) / std::sqrt(3.0f), k = (1.0f - c) / 3.0f;
    const float a = c + k, m = k - s, p = k + s;
    return mapColours(picture, [=](float& r, float& g, float& b) {
      const float nr = a * r + m * g + p * b;
      const float ng = p * r + a * g + m * b;
      const float nb = m * r + p * g + a * b;
      r = nr, g = ng, b = nb;
    });
  });
}

// Colour controls, in this order: saturation c' = L + sat (c - L) with L the luma;
// brightness c' = c + brt; contrast c' = (c - 0.5) con + 0.5. Neutral: 1, 0, 1.
QImage ImageProcesser::adjust_Color_Control(const QImage& picture, float sat, float brt, float con) {
  if (sat == 1.0f && brt == 0.0f && con == 1.0f) return picture;
  if (!std::isfinite(sat) || !std::isfinite(brt) || !std::isfinite(con)) return picture;
  return guarded("adjust_Color_Control", picture, [&] {
    return mapColours(picture, [=](float& r, float& g, float& b) {
      const float l = kLumR * r + kLumG * g + kLumB * b;
      r = l + sat * (r - l), g = l + sat * (g - l), b = l + sat * (b - l);
      r += brt, g += brt, b += brt;
      r = (r - 0.5f) * con + 0.5f, g = (g - 0.5f) * con + 0.5f, b = (b - 0.5f) * con + 0.5f;
    });
  });
}

// Sharpen luminance: d = s (L - mean of L over the 3 x 3 neighbourhood, edges repeated);
// c' = c + d for r, g, b. A flat area stays as it is.
QImage ImageProcesser::adjust_Sharpness(const QImage& picture, float sharpness) {
  if (sharpness == 0.0f || !std::isfinite(sharpness)) return picture;
  return guarded("adjust_Sharpness", picture, [&] {
    QImage out = straightCopy(picture);
    const int w = out.width(), h = out.height();
    std::vector<float> lum(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y) {
      const auto* line = reinterpret_cast<const QRgb*>(out.constScanLine(y));
      for (int x = 0; x < w; ++x)
        lum[size_t(y) * w + x] =
            kLumR * toUnit(qRed(line[x])) + kLumG * toUnit(qGreen(line[x])) + kLumB * toUnit(qBlue(line[x]));
    }
    for (int y = 0; y < h; ++y) {
      auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
      for (int x = 0; x < w; ++x) {
        float sum = 0.0f;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx) {
            const int sx = std::clamp(x + dx, 0, w - 1), sy = std::clamp(y + dy, 0, h - 1);
            sum += lum[size_t(sy) * w + sx];
          }
        const float d = sharpness * (lum[size_t(y) * w + x] - sum / 9.0f);
        const QRgb p = line[x];
        line[x] = qRgba(toByte(toUnit(qRed(p)) + d), toByte(toUnit(qGreen(p)) + d),
                        toByte(toUnit(qBlue(p)) + d), qAlpha(p));
      }
    }
    return out;
  });
}

// Box blur: every premultiplied channel becomes the mean over the (2R+1) x (2R+1)
// square around the pixel, R = radius rounded (at most 200), edges repeated.
// Done as two running-sum passes, row by row: the horizontal sums of the rows
// under the square (2R+2 at most) are kept, not those of the whole picture, so
// a camera photo needs megabytes beside itself rather than gigabytes. The
// picture keeps its size.
QImage ImageProcesser::adjust_boxBlur(const QImage& picture, float radius) {
  if (!std::isfinite(radius)) return picture;
  const int r = int(std::lround(std::clamp(radius, 0.0f, float(kMaxBlurRadius))));
  if (r == 0) return picture;
  return guarded("adjust_boxBlur", picture, [&] {
    QImage img = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (img.isNull()) throw std::bad_alloc();
    const int w = img.width(), h = img.height();
    const int n = 2 * r + 1;
    const size_t rowLength = size_t(w) * 4;
    // Horizontal sums of rows, row y in slot y mod the ring's size: the rows
    // of the square and the one entering it.
    const int ringRows = std::min(n + 1, h);
    std::vector<quint32> ring(rowLength * size_t(ringRows));
    int madeRows = 0;  // rows 0 .. madeRows - 1 have been summed
    auto channel = [](QRgb p, int c) { return int((p >> (8 * c)) & 0xff); };
    auto sums = [&](int y) -> const quint32* {
      for (; madeRows <= y; ++madeRows) {
        const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(madeRows));
        quint32* row = ring.data() + size_t(madeRows % ringRows) * rowLength;
        for (int c = 0; c < 4; ++c) {
          int sum = 0;
          for (int k = -r; k <= r; ++k) sum += channel(line[std::clamp(k, 0, w - 1)], c);
          for (int x = 0; x < w; ++x) {
            row[size_t(x) * 4 + c] = quint32(sum);
            sum += channel(line[std::min(x + r + 1, w - 1)], c) - channel(line[std::max(x - r, 0)], c);
          }
        }
      }
      return ring.data() + size_t(y % ringRows) * rowLength;
    };
    // Vertical pass: running sums of the horizontal sums down each column.
    QImage out(w, h, QImage::Format_ARGB32_Premultiplied);
    if (out.isNull()) throw std::bad_alloc();
    const quint64 area = quint64(n) * quint64(n);
    std::vector<quint64> sum(rowLength, 0);
    for (int k = -r; k <= r; ++k) {
      const quint32* row = sums(std::clamp(k, 0, h - 1));
      for (size_t i = 0; i < rowLength; ++i) sum[i] += row[i];
    }
    for (int y = 0; y < h; ++y) {
      auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
      for (int x = 0; x < w; ++x) {
        QRgb p = 0;
        for (int c = 0; c < 4; ++c) p |= QRgb((sum[size_t(x) * 4 + c] + area / 2) / area) << (8 * c);
        line[x] = p;
      }
      const quint32* add = sums(std::min(y + r + 1, h - 1));
      const quint32* sub = sums(std::max(y - r, 0));
      for (size_t i = 0; i < rowLength; ++i) sum[i] = sum[i] + add[i] - sub[i];
    }
    img = QImage();  // not held while the result is converted
    ring = {};
    return out.convertToFormat(QImage::Format_ARGB32);
  });
}

// Exposure: c' = c * 2^ev for r, g, b (clamped).
QImage ImageProcesser::adjust_EV(const QImage& picture, float ev) {
  if (ev == 0.0f || !std::isfinite(ev)) return picture;
  return guarded("adjust_EV", picture, [&] {
    const float f = std::exp2(std::clamp(ev, -30.0f, 30.0f));
    return mapColours(picture, [=](float& r, float& g, float& b) { r *= f, g *= f, b *= f; });
  });
}

QSize ImageProcesser::rotatedSize(QSize size, float degrees) {
  const float a = std::fmod(degrees, 360.0f);
  if (a == 0.0f || !std::isfinite(a)) return size;
  if (a == 90.0f || a == 270.0f || a == -90.0f || a == -270.0f) return size.transposed();
  if (a == 180.0f || a == -180.0f) return size;
  const int side = std::max(size.width(), size.height()) + 20;
  return QSize(side, side);
}

// Rotation about the centre: a = degrees mod 360 (sign kept); the new picture is
// (h, w) for quarter turns, (w, h) for half turns, otherwise a square of side
// max(w, h) + 20; the old picture is drawn centred in it turned by a degrees
// counter-clockwise, the rest transparent.
QImage ImageProcesser::imageRotated(const QImage& picture, float degrees) {
  const float a = std::fmod(degrees, 360.0f);
  if (picture.isNull() || a == 0.0f || !std::isfinite(a)) return picture;
  const QSize size = rotatedSize(picture.size(), degrees);
  QImage out(size, QImage::Format_ARGB32_Premultiplied);
  if (out.isNull()) throw std::bad_alloc();
  out.fill(Qt::transparent);
  QPainter painter(&out);
  // Smooth sampling inside, and smooth edges where the turned picture meets
  // the transparent corners.
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter.translate(size.width() / 2.0, size.height() / 2.0);
  painter.rotate(-a);  // y points down: a negative Qt angle turns counter-clockwise on screen
  // Pixel rectangles on both sides, whatever device pixel ratio the picture carries.
  painter.drawImage(
      QRectF(-picture.width() / 2.0, -picture.height() / 2.0, picture.width(), picture.height()), picture,
      QRectF(picture.rect()));
  painter.end();
  return out;
}

QImage ImageProcesser::Get_Processed_Image(const QImage& picture, bool grayscale, bool sepia, bool invrtclr,
                                           float hue, float sat, float brt, float con, int rotate, float r,
                                           float g, float b, float /*tranprency*/) {
  if (picture.isNull()) return QImage();
  ++chainRuns;
  try {
    QImage img = picture;
    if (grayscale) img = GrayScale(img);
    if (sepia) img = Sepia(img);
    if (invrtclr) img = Invert_Color(img);
    img = adjust_Hue(img, hue);
    img = adjust_Color_Control(img, sat, brt, con);
    img = adjust_Sharpness(img, r);
    img = adjust_boxBlur(img, b);
    img = adjust_EV(img, g);
    return imageRotated(img, float(rotate));
  } catch (const std::exception& e) {
    logOnce(QStringLiteral("Picture filter chain failed: %1").arg(QString::fromUtf8(e.what())));
    return QImage();
  }
}

qint64 ImageProcesser::chainRunCount() {
  return chainRuns;
}

int ImageProcesser::loggedFailureCount() {
  std::lock_guard lock(logMutex());
  return int(loggedFailures().size());
}
