#pragma once
// The picture filter chain of picture objects: our own filters on QImage.
// Every function is pure (it never changes the picture it is given), so the
// chain may run on the GUI thread and on export and mail workers at once.
//
// Colour filters work on straight (not premultiplied) 8-bit RGBA and leave the
// alpha channel alone; each filter at its neutral value returns the picture
// unchanged. A filter that fails is logged once and skipped (its input is
// passed on); it never shows a message box.

#include <QImage>
#include <QSize>
#include <QString>

class ImageProcesser {
 public:
  ImageProcesser() = delete;

  // The largest display size of a picture object's picture, in points.
  static constexpr int kMaxPictureWidth = 724;
  static constexpr int kMaxPictureHeight = 468;

  // The display size of a picture of this size: each side clamped alone to
  // 724 x 468 (proportions change when a side exceeds). The picture itself
  // keeps its pixels.
  static QSize clampedSize(QSize size);

  // Runs the whole chain at the picture's own resolution: grey scale, sepia,
  // invert, hue, colour controls, sharpness (r), box blur (b), exposure (g),
  // rotation. `tranprency` is accepted and not used (the object applies its
  // opacity when drawing). Returns a null image only when the input is null or
  // the chain as a whole failed.
  static QImage Get_Processed_Image(const QImage& picture, bool grayscale, bool sepia, bool invrtclr,
                                    float hue, float sat, float brt, float con, int rotate, float r, float g,
                                    float b, float tranprency);

  static QImage GrayScale(const QImage& picture);
  static QImage Sepia(const QImage& picture);
  static QImage Invert_Color(const QImage& picture);
  // hue: angle in radians.
  static QImage adjust_Hue(const QImage& picture, float hue);
  static QImage adjust_Color_Control(const QImage& picture, float sat, float brt, float con);
  static QImage adjust_Sharpness(const QImage& picture, float sharpness);
  // radius: in pixels, rounded to a whole number; the picture keeps its size.
  static QImage adjust_boxBlur(const QImage& picture, float radius);
  static QImage adjust_EV(const QImage& picture, float ev);

  // Rotated copy about the centre, counter-clockwise on screen for positive
  // degrees; the picture itself when the angle is a whole number of turns.
  static QImage imageRotated(const QImage& picture, float degrees);
  // The size imageRotated gives for a picture of the given size.
  static QSize rotatedSize(QSize size, float degrees);

  // Number of distinct failures logged so far (for tests).
  static int loggedFailureCount();
  // Number of times the whole chain has run in this program (for tests).
  static qint64 chainRunCount();
};
