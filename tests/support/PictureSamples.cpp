#include "support/PictureSamples.h"

#include <QBuffer>
#include <algorithm>

namespace testing_support {

namespace {

QByteArray saved(const QImage& picture, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  picture.save(&buffer, format);
  return bytes;
}

void le16(QByteArray& out, int v) {
  out.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
}

void le32(QByteArray& out, quint32 v) {
  le16(out, int(v & 0xFFFF));
  le16(out, int(v >> 16));
}

// A grey GIF: 9-bit codes, a clear code before every 254 pixels, so that the
// code width never grows (a plain encoder without compression).
QByteArray greyGif(const QImage& grey) {
  QByteArray out("GIF89a"), data;
  le16(out, grey.width());
  le16(out, grey.height());
  out.append("\xF7\0\0", 3);
  for (int i = 0; i < 256; ++i) out.append(QByteArray(3, char(i)));
  out.append(",\0\0\0\0", 5);
  le16(out, grey.width());
  le16(out, grey.height());
  out.append("\0\x08", 2);
  quint32 bits = 0;
  int count = 0, n = 0;
  auto code = [&](int c) {
    for (bits |= quint32(c) << count, count += 9; count >= 8; count -= 8, bits >>= 8) data.append(char(bits));
  };
  for (int y = 0; y < grey.height(); ++y)
    for (int x = 0; x < grey.width(); ++x, ++n) {
      if (n % 254 == 0) code(256);
      code(grey.constScanLine(y)[x]);
    }
  code(257);
  if (count > 0) data.append(char(bits));
  for (qsizetype i = 0; i < data.size(); i += 255)
    out.append(char(data.mid(i, 255).size())).append(data.mid(i, 255));
  return out.append("\0;", 2);
}

// A grey TIFF, its directory first, then its strips of ten rows.
QByteArray greyTiff(const QImage& grey) {
  const int w = grey.width(), h = grey.height(), strips = (h + 9) / 10;
  const quint32 offsetsAt = 8 + 2 + 10 * 12 + 4, countsAt = offsetsAt + 4 * strips,
                dataAt = countsAt + 4 * strips;
  QByteArray out("II*\0\x08\0\0\0\x0A\0", 10);
  const quint32 entries[10][3] = {{256, 3, quint32(w)}, {257, 3, quint32(h)}, {258, 3, 8}, {259, 3, 1},
                                  {262, 3, 1},          {273, 4, offsetsAt},  {277, 3, 1}, {278, 3, 10},
                                  {279, 4, countsAt},   {284, 3, 1}};
  for (const auto& [tag, type, value] : entries) {
    le16(out, int(tag));
    le16(out, int(type));
    le32(out, type == 4 ? strips : 1);
    le32(out, value);  // a short value fills the first half, little-endian
  }
  le32(out, 0);
  for (int i = 0; i < strips; ++i) le32(out, dataAt + i * 10 * w);
  for (int i = 0; i < strips; ++i) le32(out, std::min(10, h - i * 10) * w);
  for (int y = 0; y < h; ++y) out.append(reinterpret_cast<const char*>(grey.constScanLine(y)), w);
  return out;
}

}  // namespace

QImage samplePicture() {
  QImage picture(240, 160, QImage::Format_RGB32);
  quint32 seed = 7;
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) {
      seed = seed * 1103515245u + 12345u;
      const int grain = int(seed >> 16) % 24;
      picture.setPixel(x, y, qRgb((x + grain) & 255, (y * 3 / 2 + grain) & 255, (128 + grain) & 255));
    }
  return picture;
}

QList<PictureSample> wholePictureSamples() {
  const QImage picture = samplePicture();
  const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
  return {{"jpg", saved(picture, "JPG")}, {"png", saved(picture, "PNG")}, {"gif", greyGif(grey)},
          {"bmp", saved(picture, "BMP")}, {"tif", greyTiff(grey)},        {"webp", saved(picture, "WEBP")}};
}

QList<QByteArray> cutPictureSamples(const PictureSample& whole) {
  const QByteArray& bytes = whole.bytes;
  QList<QByteArray> cuts{bytes.left(700)};
  for (int percent : {5, 33, 50, 90}) cuts << bytes.left(bytes.size() * percent / 100);
  cuts << bytes.left(bytes.size() - 1);
  if (whole.suffix == QLatin1String("jpg")) {
    const qsizetype scan = bytes.indexOf(QByteArray("\xFF\xDA", 2));
    cuts << bytes.left(scan + (bytes.size() - scan) / 2);
  }
  return cuts;
}

}  // namespace testing_support
