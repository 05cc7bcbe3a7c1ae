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

void putLE16(QByteArray& out, int v) {
  out.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
}

void putLE32(QByteArray& out, quint32 v) {
  putLE16(out, int(v & 0xFFFF));
  putLE16(out, int(v >> 16));
}

// A grey GIF: 9-bit codes, a clear code before every 254 pixels so that the
// code width never grows (no compression, a plain encoder).
QByteArray greyGif(const QImage& picture) {
  const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
  QByteArray out("GIF89a");
  putLE16(out, grey.width());
  putLE16(out, grey.height());
  out.append(char(0xF7)).append('\0').append('\0');
  for (int i = 0; i < 256; ++i) out.append(char(i)).append(char(i)).append(char(i));
  out.append(',');
  putLE16(out, 0);
  putLE16(out, 0);
  putLE16(out, grey.width());
  putLE16(out, grey.height());
  out.append('\0').append(char(8));
  QByteArray data;
  quint32 bits = 0;
  int count = 0;
  auto code = [&](int c) {
    bits |= quint32(c) << count;
    count += 9;
    while (count >= 8) {
      data.append(char(bits & 0xFF));
      bits >>= 8;
      count -= 8;
    }
  };
  int n = 0;
  for (int y = 0; y < grey.height(); ++y)
    for (int x = 0; x < grey.width(); ++x, ++n) {
      if (n % 254 == 0) code(256);
      code(grey.constScanLine(y)[x]);
    }
  code(257);
  if (count > 0) data.append(char(bits & 0xFF));
  for (qsizetype i = 0; i < data.size(); i += 255) {
    const QByteArray block = data.mid(i, 255);
    out.append(char(block.size())).append(block);
  }
  out.append('\0').append(';');
  return out;
}

// A grey TIFF, directory first, ten rows a strip.
QByteArray greyTiff(const QImage& picture) {
  const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
  const int w = grey.width(), h = grey.height(), rows = 10, strips = (h + rows - 1) / rows;
  const int entries = 10;
  const quint32 offsetsAt = 8 + 2 + entries * 12 + 4, countsAt = offsetsAt + 4 * strips,
                dataAt = countsAt + 4 * strips;
  QByteArray out("II*\0", 4);
  putLE32(out, 8);
  putLE16(out, entries);
  auto entry = [&](int tag, int type, quint32 count, quint32 value) {
    putLE16(out, tag);
    putLE16(out, type);
    putLE32(out, count);
    if (type == 3 && count == 1) {
      putLE16(out, int(value));
      putLE16(out, 0);
    } else {
      putLE32(out, value);
    }
  };
  entry(256, 3, 1, w);
  entry(257, 3, 1, h);
  entry(258, 3, 1, 8);
  entry(259, 3, 1, 1);
  entry(262, 3, 1, 1);
  entry(273, 4, strips, offsetsAt);
  entry(277, 3, 1, 1);
  entry(278, 3, 1, rows);
  entry(279, 4, strips, countsAt);
  entry(284, 3, 1, 1);
  putLE32(out, 0);
  for (int i = 0; i < strips; ++i) putLE32(out, dataAt + i * rows * w);
  for (int i = 0; i < strips; ++i) putLE32(out, std::min(rows, h - i * rows) * w);
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
  return {{"jpg", saved(picture, "JPG")}, {"png", saved(picture, "PNG")}, {"gif", greyGif(picture)},
          {"bmp", saved(picture, "BMP")}, {"tif", greyTiff(picture)},     {"webp", saved(picture, "WEBP")}};
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
