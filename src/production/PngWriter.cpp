#include "production/PngWriter.h"

#include <zlib.h>

#include <cmath>
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

}  // namespace

QByteArray encodePngFast(const QImage& picture) {
  if (picture.isNull()) return {};
  const QImage rgba = picture.convertToFormat(QImage::Format_RGBA8888);
  const int width = rgba.width();
  const int height = rgba.height();
  const size_t rowBytes = static_cast<size_t>(width) * 4;

  // Each row filtered by "Sub" (the difference to the pixel on its left),
  // which turns the flat areas of a card into runs that deflate well.
  std::vector<Bytef> filtered((rowBytes + 1) * static_cast<size_t>(height));
  for (int y = 0; y < height; ++y) {
    const uchar* row = rgba.constScanLine(y);
    Bytef* out = filtered.data() + static_cast<size_t>(y) * (rowBytes + 1);
    out[0] = 1;
    for (size_t i = 0; i < rowBytes; ++i) out[1 + i] = static_cast<Bytef>(row[i] - (i >= 4 ? row[i - 4] : 0));
  }

  z_stream stream{};
  // Run-length matching only: the filtered rows of a card are mostly runs.
  if (deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, 15, 8, Z_RLE) != Z_OK) return {};
  QByteArray compressed;
  compressed.resize(static_cast<qsizetype>(deflateBound(&stream, static_cast<uLong>(filtered.size()))));
  stream.next_in = filtered.data();
  stream.avail_in = static_cast<uInt>(filtered.size());
  stream.next_out = reinterpret_cast<Bytef*>(compressed.data());
  stream.avail_out = static_cast<uInt>(compressed.size());
  const int status = deflate(&stream, Z_FINISH);
  const uLong produced = stream.total_out;
  deflateEnd(&stream);
  if (status != Z_STREAM_END) return {};
  compressed.truncate(static_cast<qsizetype>(produced));

  QByteArray png("\x89PNG\r\n\x1a\n", 8);
  png.reserve(compressed.size() + 128);
  QByteArray header;
  putU32(header, static_cast<quint32>(width));
  putU32(header, static_cast<quint32>(height));
  header.append("\x08\x06\x00\x00\x00", 5);  // 8 bits, RGBA, deflate, adaptive filtering, no interlace
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
