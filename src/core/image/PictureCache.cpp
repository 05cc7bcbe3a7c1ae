#include "core/image/PictureCache.h"

#include <QCoreApplication>
#include <QMutexLocker>
#include <QPointer>
#include <QThreadPool>
#include <bit>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/BackgroundJobs.h"
#include "platform/GuiCalls.h"

namespace {
using platform::GuiCalls;

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
    // A result that is the picture itself (the chain changed nothing) is not
    // kept: held here it would keep the picture, and with it the list of
    // decoded files would keep its entry, for ever.
    if (result.isNull() || result.cacheKey() == source) return;
    QMutexLocker lock(&mutex_);
    entries_.push_back({source, settings, result});
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

// The thread that filters for windows: one, so that a single full-resolution
// chain is under way at a time whatever number of pictures asks, and the way
// back to the GUI thread. Both belong to the application object; its end
// waits for every filtering job (they are counted background jobs) before
// either goes, and so before the shared results above. Null without an
// application object.
struct FilteringThread {
  QThreadPool* pool = nullptr;
  GuiCalls* gui = nullptr;
};
FilteringThread filteringThread() {
  static QPointer<QThreadPool> pool;
  static QPointer<GuiCalls> gui;
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr) return {};
  if (pool.isNull() || gui.isNull()) {
    delete pool;
    delete gui;
    pool = new QThreadPool(app);  // made first, so deleted first
    pool->setMaxThreadCount(1);
    gui = new GuiCalls(app);
  }
  return {pool, gui};
}
}  // namespace

struct PictureCache::Background {
  struct Job {
    qint64 source = 0;
    PictureFilterSettings settings;
    std::function<QImage()> filter;
    std::function<void()> ready;
    GuiCalls* gui = nullptr;
  };

  QMutex mutex;
  bool running = false;
  qint64 runningSource = 0;  // the job under way, when running
  PictureFilterSettings runningSettings;
  std::optional<Job> next;       // asked while another job was under way
  std::optional<Filtered> done;  // the last result made, until the owner takes it

  // Runs the job, then any job asked meanwhile, on the filtering thread.
  static void run(const std::shared_ptr<Background>& self, Job job) {
    for (;;) {
      std::optional<QImage> shared = sharedResults().find(job.source, job.settings);
      QImage result = shared ? *shared : job.filter();
      if (!shared) sharedResults().keep(job.source, job.settings, result);
      std::function<void()> ready = std::move(job.ready);
      GuiCalls* gui = job.gui;
      bool more = false;
      {
        QMutexLocker lock(&self->mutex);
        self->done = Filtered{job.source, job.settings, result};
        if (self->next) {
          job = std::move(*self->next);
          self->next.reset();
          self->runningSource = job.source;
          self->runningSettings = job.settings;
          more = true;
        } else {
          self->running = false;
        }
      }
      gui->post(std::move(ready));
      if (!more) return;
    }
  }
};

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

QImage PictureCache::filteredWithoutWaiting(const QImage& picture, const PictureFilterSettings& settings,
                                            std::function<QImage()> filter, std::function<void()> ready) {
  const FilteringThread thread = filteringThread();
  if (thread.pool == nullptr) return filtered(picture, settings, filter);
  const qint64 source = picture.cacheKey();
  std::shared_ptr<Background> background;
  {
    QMutexLocker lock(&mutex_);
    if (filtered_.source == source && filtered_.settings.sameAs(settings)) return filtered_.result;
    if (!background_) background_ = std::make_shared<Background>();
    background = background_;
  }
  if (std::optional<QImage> shared = sharedResults().find(source, settings)) {
    QMutexLocker lock(&mutex_);
    filtered_ = Filtered{source, settings, *shared};
    return *shared;
  }
  // A result made meanwhile, for these settings or for earlier ones of this
  // picture: kept as the latest, and shown while the wanted one is made.
  std::optional<Filtered> done;
  {
    QMutexLocker lock(&background->mutex);
    done.swap(background->done);
  }
  QMutexLocker lock(&mutex_);
  if (done && done->source == source) filtered_ = *done;
  if (filtered_.source == source && filtered_.settings.sameAs(settings)) return filtered_.result;
  const QImage shown = filtered_.source == source && !filtered_.result.isNull() ? filtered_.result : picture;
  lock.unlock();

  Background::Job job{source, settings, std::move(filter), std::move(ready), thread.gui};
  QMutexLocker jobs(&background->mutex);
  if (!background->running) {
    background->running = true;
    background->runningSource = source;
    background->runningSettings = settings;
    jobs.unlock();
    platform::background_jobs::start(*thread.pool, [background, job = std::move(job)]() mutable {
      Background::run(background, std::move(job));
    });
  } else if (background->runningSource != source || !background->runningSettings.sameAs(settings)) {
    background->next = std::move(job);
  } else {
    background->next.reset();  // the job under way is the one wanted again
  }
  return shown;
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
  // Pictures with a colour table (palette PNG and GIF files) are resampled in
  // full colour: smooth scaling of the table's indices loses its
  // half-transparent colours.
  const QImage source = picture.size() == pixels || picture.format() > QImage::Format_Indexed8 ? picture
                        : picture.hasAlphaChannel()
                            ? picture.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                            : picture.convertToFormat(QImage::Format_RGB32);
  QImage out = source.size() == pixels
                   ? source
                   : source.scaled(pixels, Qt::IgnoreAspectRatio,
                                   smooth ? Qt::SmoothTransformation : Qt::FastTransformation);
  if (mirrorHorizontally || mirrorVertically) out = out.mirrored(mirrorHorizontally, mirrorVertically);
  out.setDevicePixelRatio(1.0);
  return out;
}
