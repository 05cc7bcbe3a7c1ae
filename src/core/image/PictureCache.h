#pragma once
// What a picture object keeps between drawings: the filter chain's result for
// its picture and filter settings, and that result scaled to the size it was
// last drawn at. Each is made once and kept until its input changes, so a
// repaint neither filters nor resamples again.
//
// Safe from several threads at once (the canvas and render workers): results
// are whole pictures handed out as shared, never changed copies, and the kept
// entries are read and replaced under a lock; the work itself runs outside it.
// A copy starts with the original's entries and goes on on its own.

#include <QImage>
#include <QMutex>
#include <QSize>
#include <functional>
#include <memory>

// The filter settings of a picture object, as the chain takes them.
struct PictureFilterSettings {
  bool grayscale = false;
  bool sepia = false;
  bool invert = false;
  float hue = 0.0f;
  float saturation = 1.0f;
  float brightness = 0.0f;
  float contrast = 1.0f;
  int rotation = 0;  // whole degrees
  float sharpness = 0.0f;
  float exposure = 0.0f;
  float blur = 0.0f;

  // Equal when every value is the same bit for bit (so NaN equals NaN).
  bool sameAs(const PictureFilterSettings& other) const;
  // True when the chain would give the picture back unchanged.
  bool isNeutral() const { return sameAs(PictureFilterSettings{}); }
};

class PictureCache {
 public:
  PictureCache() = default;
  PictureCache(const PictureCache& other);
  PictureCache& operator=(const PictureCache& other);

  // The chain's result for the picture and settings: made by `filter` the
  // first time, then kept until the picture or a setting changes. Another
  // object's result for the same picture and settings is shared, not made again.
  QImage filtered(const QImage& picture, const PictureFilterSettings& settings,
                  const std::function<QImage()>& filter);

  // The same result for a window on the screen, which must not wait for it:
  // when it is not at hand, `filter` runs on a worker thread (one chain at a
  // time for the whole program, the latest settings asked winning) and the
  // result shown last for this picture is returned meanwhile (the picture
  // itself when there is none); `ready` is then called on the GUI thread once
  // the result can be had. Without an application object it works as
  // filtered(). `filter` must not refer to the asking object.
  QImage filteredWithoutWaiting(const QImage& picture, const PictureFilterSettings& settings,
                                std::function<QImage()> filter, std::function<void()> ready);

  // The picture resampled to `pixels` (smoothly, or to the nearest pixel for
  // bars) and mirrored as asked; kept for the last size asked.
  QImage scaled(const QImage& picture, QSize pixels, bool smooth, bool mirrorHorizontally,
                bool mirrorVertically);

 private:
  struct Filtered {
    qint64 source = 0;
    PictureFilterSettings settings;
    QImage result;
  };
  struct Scaled {
    qint64 source = 0;
    QSize pixels;
    bool smooth = false, mirrorHorizontally = false, mirrorVertically = false;
    QImage result;
  };

  struct Background;  // the filtering under way on a worker, shared with it

  mutable QMutex mutex_;
  Filtered filtered_;
  Scaled scaled_;
  std::shared_ptr<Background> background_;  // made when first needed; never copied
};

// The picture resampled to `pixels` and mirrored as asked (no cache).
QImage resampledPicture(const QImage& picture, QSize pixels, bool smooth, bool mirrorHorizontally,
                        bool mirrorVertically);
