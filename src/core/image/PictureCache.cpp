#include "core/image/PictureCache.h"

#include <QMutexLocker>
#include <bit>
#include <cstdint>
#include <optional>
#include <vector>

namespace {
bool sameBits(float a, float b) {
  return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

// Filter results that some object still holds, for every object of the
// program: objects showing one picture with the same settings share one
// result instead of holding a full-resolution copy each. An entry that only
// this list holds any more is dropped.
class SharedResults {
 public:
  std::optional<QImage> find(qint64 source, const PictureFilterSettings& settings) {
    QMutexLocker lock(&mutex_);
    std::erase_if(entries_, [](const Entry& e) { return e.result.isDetached(); });
    for (const Entry& e : entries_)
      if (e.source == source && e.settings.sameAs(settings)) return e.result;
    return std::nullopt;
  }
  void keep(qint64 source, const PictureFilterSettings& settings, const QImage& result) {
    QMutexLocker lock(&mutex_);
    if (!result.isNull()) entries_.push_back({source, settings, result});
  }

 private:
  struct Entry {
    qint64 source;
    PictureFilterSettings settings;
    QImage result;
  };
  QMutex mutex_;
  std::vector<Entry> entries_;
};

SharedResults& sharedResults() {
  static SharedResults results;
  return results;
}
}  // namespace

bool PictureFilterSettings::sameAs(const PictureFilterSettings& o) const {
  return grayscale == o.grayscale && sepia == o.sepia && invert == o.invert && sameBits(hue, o.hue) &&
         sameBits(saturation, o.saturation) && sameBits(brightness, o.brightness) &&
         sameBits(contrast, o.contrast) && rotation == o.rotation && sameBits(sharpness, o.sharpness) &&
         sameBits(exposure, o.exposure) && sameBits(blur, o.blur);
}

PictureCache::PictureCache(const PictureCache& other) {
  QMutexLocker lock(&other.mutex_);
  filtered_ = other.filtered_;
  scaled_ = other.scaled_;
}

PictureCache& PictureCache::operator=(const PictureCache& other) {
  if (this == &other) return *this;
  Filtered filtered;
  Scaled scaled;
  {
    QMutexLocker lock(&other.mutex_);
    filtered = other.filtered_;
    scaled = other.scaled_;
  }
  QMutexLocker lock(&mutex_);
  filtered_ = std::move(filtered);
  scaled_ = std::move(scaled);
  return *this;
}

QImage PictureCache::filtered(const QImage& picture, const PictureFilterSettings& settings,
                              const std::function<QImage()>& filter) {
  const qint64 source = picture.cacheKey();
  {
    QMutexLocker lock(&mutex_);
    if (filtered_.source == source && filtered_.settings.sameAs(settings)) return filtered_.result;
  }
  std::optional<QImage> shared = sharedResults().find(source, settings);
  Filtered made{source, settings, shared ? *shared : filter()};
  if (!shared) sharedResults().keep(source, settings, made.result);
  QMutexLocker lock(&mutex_);
  filtered_ = made;
  return made.result;
}

QImage PictureCache::scaled(const QImage& picture, QSize pixels, bool smooth, bool mirrorHorizontally,
                            bool mirrorVertically) {
  const qint64 source = picture.cacheKey();
  {
    QMutexLocker lock(&mutex_);
    const Scaled& s = scaled_;
    if (s.source == source && s.pixels == pixels && s.smooth == smooth &&
        s.mirrorHorizontally == mirrorHorizontally && s.mirrorVertically == mirrorVertically)
      return s.result;
  }
  Scaled made{
      source,           pixels,
      smooth,           mirrorHorizontally,
      mirrorVertically, resampledPicture(picture, pixels, smooth, mirrorHorizontally, mirrorVertically)};
  QMutexLocker lock(&mutex_);
  scaled_ = made;
  return made.result;
}

QImage resampledPicture(const QImage& picture, QSize pixels, bool smooth, bool mirrorHorizontally,
                        bool mirrorVertically) {
  if (picture.isNull() || pixels.isEmpty()) return {};
  QImage out = picture.size() == pixels
                   ? picture
                   : picture.scaled(pixels, Qt::IgnoreAspectRatio,
                                    smooth ? Qt::SmoothTransformation : Qt::FastTransformation);
  if (mirrorHorizontally || mirrorVertically) out = out.mirrored(mirrorHorizontally, mirrorVertically);
  out.setDevicePixelRatio(1.0);
  return out;
}
