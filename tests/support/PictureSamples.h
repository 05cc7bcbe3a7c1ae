#pragma once
// One small photo-like picture written whole in every kind the program reads
// (JPEG, PNG, GIF, BMP, TIFF, WebP), and the same files cut short at several
// points, for the tests of the picture check wherever pictures are listed
// and chosen.

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

namespace testing_support {

struct PictureSample {
  QString suffix;  // "jpg", "png", "gif", "bmp", "tif", "webp"
  QByteArray bytes;
};

// The picture the samples show: 240 x 160, smooth colour with grain.
QImage samplePicture();

// The sample picture whole in each kind. The GIF is written here (Qt writes
// none), and so is a TIFF with its directory before its strips, the layout
// whose strips a cut loses (Qt's TIFF keeps its directory at the end).
QList<PictureSample> wholePictureSamples();

// The file cut short: its first 700 bytes, 5, 33, 50 and 90 % of it, all
// but its last byte, and for a JPEG the middle of its scan data.
QList<QByteArray> cutPictureSamples(const PictureSample& whole);

}  // namespace testing_support
