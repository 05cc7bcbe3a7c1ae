#include "production/PngWriter.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace production {

namespace {

void putU32(QByteArray& out, quint32 value) {
  const char bytes[4] = {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
                         static_cast<char>(value >> 8), static_cast<char>(value)};
  out.append(bytes, 4);
}

void putChunk(QByteArray& out, const char* type, const QByteArray& data) {
  putU32(out, static_cast<quint32>(data.size()));
  const qsizetype start = out.size();
  out.append(type, 4);
  out.append(data);
  const auto* bytes = reinterpret_cast<const Bytef*>(out.constData() + start);
  putU32(out, static_cast<quint32>(crc32(0L, bytes, static_cast<uInt>(out.size() - start))));
}

// What one thread keeps from one picture to the next: the compressor's state
// and the buffers of the filtered rows and the compressed data. A batch
// encodes thousands of pictures of one size on each worker; making these
// anew for each picture costs more than the compression itself.
struct Deflater {
  z_stream stream{};
  bool ready = false;
  std::vector<Bytef> filtered;
  std::vector<Bytef> compressed;

  Deflater() {
    // The fastest level: short matches found through a hash of the last few
    // bytes, which catches the flat runs of a card and rows that repeat.
    ready = deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY) == Z_OK;
  }
  ~Deflater() {
    if (ready) deflateEnd(&stream);
  }
  Deflater(const Deflater&) = delete;
  Deflater& operator=(const Deflater&) = delete;

  // Buffers of a picture much larger than a card are not kept.
  void release() {
    constexpr size_t kKept = 4 * 1024 * 1024;
    if (filtered.capacity() > kKept) std::vector<Bytef>().swap(filtered);
    if (compressed.capacity() > kKept) std::vector<Bytef>().swap(compressed);
  }

  // The filtered rows compressed into `compressed`; its size, 0 on failure.
  size_t compress() {
    if (!ready || deflateReset(&stream) != Z_OK) return 0;
    compressed.resize(deflateBound(&stream, static_cast<uLong>(filtered.size())));
    stream.next_in = filtered.data();
    stream.avail_in = static_cast<uInt>(filtered.size());
    stream.next_out = compressed.data();
    stream.avail_out = static_cast<uInt>(compressed.size());
    if (deflate(&stream, Z_FINISH) != Z_STREAM_END) return 0;
    return static_cast<size_t>(stream.total_out);
  }
};

// The rows of a picture as 8-bit RGBA with straight alpha, one at a time. The
// 32-bit formats a card is drawn in are read as they are (a row with
// translucent pixels goes through the picture's own conversion); any other
// format is converted as a whole first.
class RgbaRows {
 public:
  explicit RgbaRows(const QImage& picture) : picture_(picture) {
    const QImage::Format format = picture.format();
    direct_ = format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
              format == QImage::Format_ARGB32_Premultiplied;
    if (!direct_) picture_ = picture.convertToFormat(QImage::Format_RGBA8888);
    row_.resize(static_cast<size_t>(picture_.width()) * 4);
  }
  bool isNull() const { return picture_.isNull(); }
  // Whether every pixel is opaque.
  bool opaque() const {
    if (picture_.format() == QImage::Format_RGB32) return true;
    const int width = picture_.width();
    uint all = 0xff;
    for (int y = 0; y < picture_.height(); ++y) {
      const uchar* line = picture_.constScanLine(y);
      if (direct_) {
        const auto* pixels = reinterpret_cast<const QRgb*>(line);
        for (int x = 0; x < width; ++x) all &= qAlpha(pixels[x]);
      } else {
        for (int x = 0; x < width; ++x) all &= line[4 * x + 3];
      }
    }
    return all == 0xff;
  }
  // The row's pixels as they are, when they are 32-bit values and opaque.
  const QRgb* opaquePixels(int y) const {
    return direct_ ? reinterpret_cast<const QRgb*>(picture_.constScanLine(y)) : nullptr;
  }
  int width() const { return picture_.width(); }
  int height() const { return picture_.height(); }

  const uchar* row(int y) {
    if (!direct_) return picture_.constScanLine(y);
    const auto* pixels = reinterpret_cast<const QRgb*>(picture_.constScanLine(y));
    const int width = picture_.width();
    const bool premultiplied = picture_.format() == QImage::Format_ARGB32_Premultiplied;
    const bool opaque = picture_.format() == QImage::Format_RGB32;
    uchar* out = row_.data();
    for (int x = 0; x < width; ++x, out += 4) {
      const QRgb p = pixels[x];
      if (premultiplied && qAlpha(p) != 255) return convertedRow(y);
      out[0] = static_cast<uchar>(qRed(p));
      out[1] = static_cast<uchar>(qGreen(p));
      out[2] = static_cast<uchar>(qBlue(p));
      out[3] = opaque ? 255 : static_cast<uchar>(qAlpha(p));
    }
    return row_.data();
  }

 private:
  const uchar* convertedRow(int y) {
    const QImage line(picture_.constScanLine(y), picture_.width(), 1, picture_.bytesPerLine(),
                      picture_.format());
    const QImage converted = line.convertToFormat(QImage::Format_RGBA8888);
    std::memcpy(row_.data(), converted.constScanLine(0), row_.size());
    return row_.data();
  }

  QImage picture_;
  bool direct_ = false;
  std::vector<uchar> row_;
};

}  // namespace

QByteArray encodePngFast(const QImage& picture, bool keepAlpha) {
  if (picture.isNull()) return {};
  RgbaRows rgba(picture);
  if (rgba.isNull()) return {};
  const int width = rgba.width();
  const int height = rgba.height();
  // An opaque picture is written without its alpha channel: a quarter less
  // to compress, and the same pixels.
  const bool opaque = !keepAlpha && rgba.opaque();
  const size_t channels = opaque ? 3 : 4;
  const size_t rowBytes = static_cast<size_t>(width) * channels;
  thread_local Deflater deflater;

  // Each row filtered by "Sub" (the difference to the pixel on its left),
  // which turns the flat areas of a card into runs that deflate well.
  std::vector<Bytef>& filtered = deflater.filtered;
  filtered.resize((rowBytes + 1) * static_cast<size_t>(height));
  for (int y = 0; y < height; ++y) {
    Bytef* out = filtered.data() + static_cast<size_t>(y) * (rowBytes + 1);
    out[0] = 1;
    if (const QRgb* pixels = opaque ? rgba.opaquePixels(y) : nullptr) {
      QRgb left = 0;
      for (int x = 0; x < width; ++x, out += 3) {
        const QRgb pixel = pixels[x];
        out[1] = static_cast<Bytef>(qRed(pixel) - qRed(left));
        out[2] = static_cast<Bytef>(qGreen(pixel) - qGreen(left));
        out[3] = static_cast<Bytef>(qBlue(pixel) - qBlue(left));
        left = pixel;
      }
      continue;
    }
    const uchar* row = rgba.row(y);
    if (opaque) {
      for (int x = 0; x < width; ++x, row += 4, out += 3) {
        out[1] = static_cast<Bytef>(row[0] - (x ? row[-4] : 0));
        out[2] = static_cast<Bytef>(row[1] - (x ? row[-3] : 0));
        out[3] = static_cast<Bytef>(row[2] - (x ? row[-2] : 0));
      }
    } else {
      std::memcpy(out + 1, row, std::min<size_t>(4, rowBytes));
      for (size_t i = 4; i < rowBytes; ++i) out[1 + i] = static_cast<Bytef>(row[i] - row[i - 4]);
    }
  }
  const size_t produced = deflater.compress();
  if (produced == 0) return {};
  const QByteArray compressed(reinterpret_cast<const char*>(deflater.compressed.data()),
                              static_cast<qsizetype>(produced));
  deflater.release();

  QByteArray png("\x89PNG\r\n\x1a\n", 8);
  png.reserve(compressed.size() + 128);
  QByteArray header;
  putU32(header, static_cast<quint32>(width));
  putU32(header, static_cast<quint32>(height));
  // 8 bits, RGB or RGBA, deflate, adaptive filtering, no interlace
  header.append(opaque ? "\x08\x02\x00\x00\x00" : "\x08\x06\x00\x00\x00", 5);
  putChunk(png, "IHDR", header);
  if (picture.dotsPerMeterX() > 0 && picture.dotsPerMeterY() > 0) {
    QByteArray physical;
    putU32(physical, static_cast<quint32>(picture.dotsPerMeterX()));
    putU32(physical, static_cast<quint32>(picture.dotsPerMeterY()));
    physical.append('\x01');  // per metre
    putChunk(png, "pHYs", physical);
  }
  putChunk(png, "IDAT", compressed);
  putChunk(png, "IEND", QByteArray());
  return png;
}

}  // namespace production
