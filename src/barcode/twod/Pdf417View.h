#pragma once
// The PDF417 picture of the barcode designer: encodes a text with the chosen
// error level into a symbol stretched over a frame of a given size in points.

#include <QByteArray>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <optional>

#include "barcode/twod/Pdf417Encoder.h"
#include "barcode/twod/SymbolPicture.h"

class QPainter;

namespace barcode::twod {

class pdf417View {
 public:
  enum ImageState { kReady = 0, kEmpty = 1, kError = 2 };

  pdf417View() = default;
  explicit pdf417View(QSizeF frame) : frame_(frame) {}
  // A view of a frame with its error level set from the start (no log line).
  pdf417View(QSizeF frame, int errorLevel) : frame_(frame), errorLevel_(errorLevel) {}

  void setFrameSize(QSizeF frame) { frame_ = frame; }
  QSizeF frameSize() const { return frame_; }
  void setDpi(int dpi) { dpi_ = dpi; }

  // The bytes a text is encoded as: Latin-1, the symbology's default
  // character set, when every character has a Latin-1 form, else UTF-8.
  static QByteArray textBytes(const QString& text);

  // Encodes the text; answers the new state. A failure, and an empty text,
  // leave no picture behind.
  int drawWithText(const QString& text);
  // The picture of the last successful encoding of the current text, if any.
  std::optional<SymbolPicture> getImage() const { return image_; }
  int imageState() const { return imageState_; }

  void setErrorLevel(int level);
  int getErrorLevel() const { return errorLevel_; }

  // What the view shows: the picture, a light grey box (empty) or a white box with
  // "There was a problem drawing the barcode." (error).
  void drawRect(QPainter& painter, const QRectF& bounds) const;

  const pdf417param& param() const { return p_; }

 private:
  void encode(const QString& text);

  QSizeF frame_{100, 20};
  int dpi_ = kDefaultDpi;
  pdf417param p_;
  int errorLevel_ = 2;
  int imageState_ = kEmpty;
  std::optional<SymbolPicture> image_;
};

// The symbol's bit matrix as a module grid (dark = bar), one row per code row.
ModuleGrid pdf417Grid(const pdf417param& p);

}  // namespace barcode::twod
