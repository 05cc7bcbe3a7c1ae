#include "production/PngWriter.h"

#include <zlib.h>

#include <QByteArrayView>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace production {

namespace {

void putU32(QByteArray& out, quint32 value) {
  const char bytes[4] = {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
                         static_cast<char>(value >> 8), static_cast<char>(value)};
  out.append(bytes, 4);
}

void putChunk(QByteArray& out, const char* type, QByteArrayView data) {
  putU32(out, static_cast<quint32>(data.size()));
  const qsizetype start = out.size();
  out.append(type, 4);
  out.append(data);
  const auto* bytes = reinterpret_cast<const Bytef*>(out.constData() + start);
  putU32(out, static_cast<quint32>(crc32(0L, bytes, static_cast<uInt>(out.size() - start))));
}

// The image data in chunks of bounded size: readers refuse or struggle with
// a single chunk of many megabytes.
constexpr qsizetype kMaxImageChunk = 64 * 1024;

// The deflate stream of the filtered rows, made for what a card picture is:
// large flat areas, which filtering turns into runs of one byte, and rows
// that repeat the row above (backgrounds, bars, the sides of boxes). The
// fixed codes of the format: a run becomes copies of the byte before it, a
// repeated row one copy of the row before, and anything else is written as
// it is. The rows are weighed some at a time, and those whose codes come out
// larger than their bytes (a photograph, noise) are stored as they are, so
// the stream is never much larger than the rows. It compresses a card about
// as well as the fastest level of a general compressor, in a fraction of its
// time. The buffers are kept from one picture to the next on a thread.
class RunDeflater {
 public:
  // The zlib stream of `size` bytes in rows of `rowLength` (filter byte
  // included), valid until the next call.
  QByteArrayView compress(const Bytef* data, size_t size, size_t rowLength) {
    // The pieces before the last at most their stored size, and the last
    // tried with every byte a 9-bit literal before it is stored.
    const size_t most = size + size / 8 + 8 * (size / 1024 + 8) + 64;
    if (capacity_ < most) {
      out_ = std::make_unique_for_overwrite<uint8_t[]>(most);
      capacity_ = most;
    }
    at_ = out_.get();
    bits_ = 0;
    count_ = 0;
    *at_++ = 0x78;  // deflate, 32K window, no dictionary, fastest
    *at_++ = 0x01;
    blockOpen_ = false;
    beginPiece(0);
    // The checksum goes row by row: a repeated row adds the sum of the row
    // before, a run is summed in one step.
    uLong check = adler32(0L, Z_NULL, 0);
    uLong row = check;
    const bool rowCopies = rowLength <= kMaxDistance;
    for (size_t start = 0; start < size; start += rowLength) {
      const size_t end = std::min(size, start + rowLength);
      const auto length = static_cast<z_off_t>(end - start);
      if (start > pieceStart_ && end - pieceStart_ > kPieceBytes) {
        endPiece(data, start);
        beginPiece(start);
      }
      if (rowCopies && start > 0 && end - start == rowLength &&
          std::memcmp(data + start, data + start - rowLength, rowLength) == 0) {
        copies(data, start, end, rowLength);
        check = adler32_combine(check, row, length);
        continue;
      }
      Adler sum;
      size_t i = start;
      if (i == 0) {
        sum.add(data[0]);
        literal(data[i++]);
      }
      while (i < end) {
        const Bytef previous = data[i - 1];
        size_t run = i;
        while (run < end && data[run] == previous) ++run;
        if (run - i >= kMinMatch) {
          sum.add(previous, run - i);
          i = copies(data, i, run, 1);
        } else {
          sum.add(data[i]);
          literal(data[i++]);
        }
      }
      row = sum.value();
      check = adler32_combine(check, row, length);
    }
    endPiece(data, size);
    if (blockOpen_) put(0, 7);  // end of the coded block
    put(0b011, 3);              // an empty final block with fixed codes
    put(0, 7);
    if (count_ > 0) *at_++ = static_cast<uint8_t>(bits_);
    for (const int shift : {24, 16, 8, 0}) *at_++ = static_cast<uint8_t>(check >> shift);
    return {out_.get(), at_ - out_.get()};
  }

  std::vector<Bytef> filtered;  // the filtered rows, kept for the next picture

  // Buffers of a picture much larger than a card are not kept.
  void release() {
    constexpr size_t kKept = 4 * 1024 * 1024;
    if (filtered.capacity() > kKept) std::vector<Bytef>().swap(filtered);
    if (capacity_ > kKept) {
      out_.reset();
      capacity_ = 0;
    }
  }

 private:
  static constexpr size_t kMinMatch = 3, kMaxMatch = 258, kMaxDistance = 32768;
  // The rows are weighed in pieces: a piece ends at the first row end past
  // this many bytes of rows.
  static constexpr size_t kPieceBytes = 16 * 1024;
  static constexpr size_t kMaxStored = 65535;  // the most bytes one stored block holds

  // Where the piece being written began, in the rows and in the output.
  struct Mark {
    uint8_t* at;
    uint64_t bits;
    int count;
  };

  // Pieces that code well go on in one block with the fixed codes, opened by
  // the first of them.
  void beginPiece(size_t start) {
    pieceStart_ = start;
    mark_ = {at_, bits_, count_};
    opensBlock_ = !blockOpen_;
    if (opensBlock_) put(0b010, 3);  // not the final block, fixed codes
    blockOpen_ = true;
  }
  // Ends the piece of the rows' bytes up to `end`: as coded, or as stored
  // blocks when its codes take more bits than its bytes as they are.
  void endPiece(const Bytef* data, size_t end) {
    const size_t coded = static_cast<size_t>(at_ - mark_.at) * 8 + count_ - mark_.count;
    const size_t length = end - pieceStart_;
    const size_t blocks = std::max<size_t>(1, (length + kMaxStored - 1) / kMaxStored);
    // The block coded so far ends first; then each stored block: its 3
    // header bits, padding to the next byte, LEN and NLEN.
    const size_t ending = opensBlock_ ? 0 : 7;
    const size_t firstPad = (8 - (mark_.count + ending + 3) % 8) % 8;
    const size_t stored = ending + 3 + firstPad + (blocks - 1) * 8 + blocks * 32 + length * 8;
    if (coded <= stored) return;
    at_ = mark_.at;
    bits_ = mark_.bits;
    count_ = mark_.count;
    if (!opensBlock_) put(0, 7);  // end of the coded block
    blockOpen_ = false;
    const Bytef* bytes = data + pieceStart_;
    size_t left = length;
    do {
      const size_t block = std::min(left, kMaxStored);
      put(0b000, 3);  // not the final block, stored
      if (count_ > 0) put(0, 8 - count_);
      for (const size_t half : {block, ~block & 0xffff}) {
        *at_++ = static_cast<uint8_t>(half);
        *at_++ = static_cast<uint8_t>(half >> 8);
      }
      std::memcpy(at_, bytes, block);
      at_ += block;
      bytes += block;
      left -= block;
    } while (left > 0);
  }

  // The Adler-32 sum of one row, byte by byte or a run of equal bytes at once
  // (a row is short enough for the byte sums not to overflow between runs).
  struct Adler {
    static constexpr uint64_t kModulus = 65521;
    uint64_t a = 1, b = 0;
    void add(Bytef value) {
      a += value;
      b += a;
    }
    void add(Bytef value, uint64_t count) {
      b = (b + count * a + value * (count * (count + 1) / 2 % kModulus)) % kModulus;
      a = (a + count * value) % kModulus;
    }
    uLong value() const { return static_cast<uLong>(((b % kModulus) << 16) | (a % kModulus)); }
  };

  // Bits go out from the lowest; Huffman codes with their first bit first.
  void put(uint32_t value, int count) {
    bits_ |= static_cast<uint64_t>(value) << count_;
    count_ += count;
    while (count_ >= 8) {
      *at_++ = static_cast<uint8_t>(bits_);
      bits_ >>= 8;
      count_ -= 8;
    }
  }
  static uint32_t reversed(uint32_t value, int length) {
    uint32_t out = 0;
    for (int b = 0; b < length; ++b) out |= ((value >> b) & 1u) << (length - 1 - b);
    return out;
  }
  void code(uint32_t value, int length) { put(reversed(value, length), length); }
  void literal(Bytef byte) {
    // The fixed code of each byte value, first bit lowest, and its length.
    static const std::array<uint32_t, 256> kLiterals = [] {
      std::array<uint32_t, 256> codes{};
      for (uint32_t b = 0; b < 256; ++b)
        codes[b] = b < 144 ? reversed(0x30u + b, 8) : reversed(0x190u + b - 144u, 9);
      return codes;
    }();
    put(kLiterals[byte], byte < 144 ? 8 : 9);
  }
  // The bytes [from, to) as copies of those `distance` before; what is too
  // short to copy as literals. Returns `to`.
  size_t copies(const Bytef* data, size_t from, size_t to, size_t distance) {
    while (to - from >= kMinMatch) {
      size_t length = std::min(to - from, kMaxMatch);
      const size_t left = to - from - length;
      if (left > 0 && left < kMinMatch) length -= kMinMatch - left;
      match(length, distance);
      from += length;
    }
    while (from < to) literal(data[from++]);
    return to;
  }
  void match(size_t length, size_t distance) {
    static constexpr uint16_t kLengthBase[29] = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                                 15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                                 67, 83, 99, 115, 131, 163, 195, 227, 258};
    static constexpr uint16_t kDistanceBase[30] = {
        1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
        193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
    int l = 28;
    while (kLengthBase[l] > length) --l;
    const int symbol = 257 + l;
    if (symbol < 280)
      code(static_cast<uint32_t>(symbol - 256), 7);
    else
      code(static_cast<uint32_t>(0xC0 + symbol - 280), 8);
    if (l >= 8 && l < 28) put(static_cast<uint32_t>(length - kLengthBase[l]), (l - 4) / 4);
    int d = 29;
    while (kDistanceBase[d] > distance) --d;
    code(static_cast<uint32_t>(d), 5);
    if (d >= 4) put(static_cast<uint32_t>(distance - kDistanceBase[d]), (d - 2) / 2);
  }

  std::unique_ptr<uint8_t[]> out_;
  size_t capacity_ = 0;
  uint8_t* at_ = nullptr;
  uint64_t bits_ = 0;
  int count_ = 0;
  size_t pieceStart_ = 0;
  Mark mark_{};
  bool blockOpen_ = false;   // a block with the fixed codes is being written
  bool opensBlock_ = false;  // the piece being written began that block
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
  thread_local RunDeflater deflater;

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
  const QByteArrayView compressed = deflater.compress(filtered.data(), filtered.size(), rowBytes + 1);

  QByteArray png("\x89PNG\r\n\x1a\n", 8);
  png.reserve(compressed.size() + compressed.size() / kMaxImageChunk * 12 + 128);
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
  for (qsizetype at = 0; at < compressed.size(); at += kMaxImageChunk)
    putChunk(png, "IDAT", compressed.sliced(at, std::min(kMaxImageChunk, compressed.size() - at)));
  putChunk(png, "IEND", QByteArrayView());
  deflater.release();
  return png;
}

}  // namespace production
