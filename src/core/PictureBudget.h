#pragma once
// The memory the pictures carried inside one reading may take once decoded.
//
// A design file (and clipboard data) may carry a picture in every object's
// archive: a barcode's or a signature's picture. Each is decoded under the
// allocation limit of one picture, but a small file of many such pictures
// would otherwise decode to gigabytes. One reading (one design file, one
// paste, one template) therefore shares one budget: every picture's size is
// read from its header (admit) before any picture is decoded, and the reading
// is refused when they do not fit together. Decoding counts again what the
// pictures really take, for a picture whose header tells no size.
//
// The budget, 512 MB, holds two pictures of the largest size the program
// itself makes for a barcode (64 million pixels, 256 MB), or some fourteen
// pictures covering an A4 card at 300 dpi (2480 x 3508 pixels, 35 MB each):
// far more than the largest real card, a few such pictures, needs.

#include <QByteArray>
#include <QImage>
#include <QString>
#include <optional>

inline constexpr qint64 kDecodedPicturesBudgetBytes = 512LL * 1024 * 1024;

class PictureBudget {
 public:
  explicit PictureBudget(qint64 bytes = kDecodedPicturesBudgetBytes) : limit_(bytes) {}

  // Counts the picture of encoded bytes by its header alone, without
  // decoding it. False once the pictures admitted so far would not fit
  // together; from then on exceeded() is true. A picture beyond the
  // allocation limit of one picture counts nothing (it is never decoded),
  // nor does one whose header tells no size (decode counts it).
  bool admit(const QByteArray& encoded);

  // The picture of encoded bytes (PNG, TIFF, ...), counted against the
  // budget. A null picture for no bytes, bytes that are no picture or a
  // picture beyond the allocation limit of one picture (as before: such an
  // object shows none). Nothing when the picture does not fit in what is
  // left of the budget; from then on exceeded() is true.
  std::optional<QImage> decode(const QByteArray& encoded);

  bool exceeded() const { return exceeded_; }
  qint64 used() const { return used_; }
  qint64 limit() const { return limit_; }
  // Why a reading was refused: "its pictures would take more than 512 MB of memory".
  QString refusal() const;
  // What the user is told of a reading refused for its pictures: what cannot
  // be done ("The design \"…\" cannot be opened"), then the reason.
  static QString refusedMessage(const QString& refused, const QString& reason);

 private:
  qint64 limit_;
  qint64 admitted_ = 0;
  qint64 used_ = 0;
  bool exceeded_ = false;
};
