#include "core/PictureCompleteness.h"

#include <unistd.h>

#include <QByteArray>
#include <QFileDevice>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <utility>

namespace {

using Completeness = PictureCompleteness;

// An open file and its size.
struct Source {
  int descriptor;
  qint64 size;
};

// The bytes at a place of the file, read by position: the file's own place
// and buffer stay as they are for the picture reader that follows.
QByteArray readAt(const Source& file, qint64 at, qint64 length) {
  if (at < 0 || length <= 0 || file.descriptor < 0) return {};
  QByteArray bytes(length, Qt::Uninitialized);
  qint64 got = 0;
  while (got < length) {
    const ssize_t n = ::pread(file.descriptor, bytes.data() + got, size_t(length - got), off_t(at + got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += n;
  }
  bytes.truncate(got);
  return bytes;
}

// Reads a file forwards in blocks; a skip past the block reads on from
// where it lands.
class ForwardReader {
 public:
  ForwardReader(const Source& file, qint64 start) : file_(file), pos_(start) {}

  qint64 position() const { return pos_; }

  // The next byte, -1 at the end of the file.
  int next() {
    if (at_ >= buffer_.size() && !fill()) return -1;
    ++pos_;
    return static_cast<unsigned char>(buffer_[at_++]);
  }

  // The next `n` bytes (n at most 8) as a big- or little-endian number;
  // nothing when the file ends before.
  std::optional<quint64> number(int n, bool bigEndian) {
    quint64 value = 0;
    for (int i = 0; i < n; ++i) {
      const int b = next();
      if (b < 0) return std::nullopt;
      value = bigEndian ? (value << 8) | quint64(b) : value | (quint64(b) << (8 * i));
    }
    return value;
  }

  // Skips `n` bytes; false when the file ends before.
  bool skip(qint64 n) {
    if (n <= buffer_.size() - at_) {
      at_ += n;
      pos_ += n;
      return true;
    }
    pos_ += n;
    buffer_.clear();
    at_ = 0;
    return pos_ <= file_.size;
  }

  // Moves past the next byte 0xFF; false when there is none before the
  // end of the file or the place `limit`.
  bool passNextFF(qint64 limit) {
    for (;;) {
      if (pos_ > limit || (at_ >= buffer_.size() && !fill())) return false;
      const char* from = buffer_.constData() + at_;
      const qsizetype left = buffer_.size() - at_;
      if (const void* found = std::memchr(from, 0xFF, size_t(left))) {
        const qsizetype step = static_cast<const char*>(found) - from + 1;
        at_ += step;
        pos_ += step;
        return true;
      }
      at_ += left;
      pos_ += left;
    }
  }

 private:
  static constexpr qint64 kBlock = 256 * 1024;

  bool fill() {
    if (pos_ >= file_.size) return false;
    buffer_ = readAt(file_, pos_, kBlock);
    at_ = 0;
    return !buffer_.isEmpty();
  }

  const Source file_;
  qint64 pos_;
  QByteArray buffer_;
  qsizetype at_ = 0;
};

quint32 bigEndian32(const char* p) {
  return quint32(uchar(p[0])) << 24 | quint32(uchar(p[1])) << 16 | quint32(uchar(p[2])) << 8 | uchar(p[3]);
}

quint32 littleEndian32(const char* p) {
  return quint32(uchar(p[3])) << 24 | quint32(uchar(p[2])) << 16 | quint32(uchar(p[1])) << 8 | uchar(p[0]);
}

// ---------------------------------------------------------------- JPEG

// Most scan data a picture of so many samples can sensibly have, beyond
// which the end mark is taken as missing (a header before gigabytes of
// nothing is not walked to its end).
qint64 scanDataLimit(qint64 samples) {
  return samples * 2 + (qint64{16} << 20);
}

// Bytes a file may hold between two segments (a writer's padding).
constexpr qint64 kMostBetweenSegments = 64 * 1024;

// The next marker's code, -1 when the file ends or runs past `limit` first.
int nextMarker(ForwardReader& in, qint64 limit) {
  for (;;) {
    if (!in.passNextFF(limit)) return -1;
    int code = in.next();
    while (code == 0xFF) code = in.next();
    if (code != 0x00) return code;  // FF 00 is a data byte
  }
}

// The marker that ends a scan's data (restart marks and data bytes FF 00
// are part of it), -1 when the file ends or runs past `limit` first.
int markerAfterScan(ForwardReader& in, qint64 limit) {
  for (;;) {
    const int code = nextMarker(in, limit);
    if (code < 0) return -1;
    if (code < 0xD0 || code > 0xD7) return code;
  }
}

bool isFrameHeader(int code) {
  return code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC;
}

// Segments from the start mark to the end mark: a file cut short ends
// inside a segment or inside the data of a scan, before the end mark.
Completeness walkJpeg(const Source& file) {
  ForwardReader in(file, 2);
  qint64 limit = -1;  // known once the frame header is read
  int pending = -1;
  for (;;) {
    const int code =
        pending >= 0 ? std::exchange(pending, -1) : nextMarker(in, in.position() + kMostBetweenSegments);
    if (code < 0) return Completeness::Cut;
    if (code == 0xD9) return Completeness::Whole;
    if (code == 0x01 || (code >= 0xD0 && code <= 0xD8)) continue;  // marks without a segment
    const std::optional<quint64> length = in.number(2, true);
    if (!length || *length < 2) return Completeness::Cut;
    qint64 rest = qint64(*length) - 2;
    if (isFrameHeader(code)) {
      const auto precision = in.number(1, true);
      const auto height = in.number(2, true);
      const auto width = in.number(2, true);
      const auto components = in.number(1, true);
      if (!precision || !height || !width || !components || rest < 6) return Completeness::Cut;
      limit = in.position() + scanDataLimit(qint64(*width) * qint64(*height) * qint64(*components));
      rest -= 6;
    }
    if (!in.skip(rest)) return Completeness::Cut;
    if (code == 0xDA) {
      if (limit < 0) return Completeness::Cut;  // a scan before any frame header
      pending = markerAfterScan(in, limit);
      if (pending < 0) return Completeness::Cut;
    }
  }
}

Completeness jpegCompleteness(const Source& file) {
  const qint64 size = file.size;
  // A whole picture ends with its end mark, which the data of a scan cannot
  // hold; anything else (cut short, or data another program put after the
  // picture) is walked through.
  if (readAt(file, size - 2, 2) == QByteArray("\xFF\xD9", 2)) return Completeness::Whole;
  return walkJpeg(file);
}

// ---------------------------------------------------------------- PNG

bool isChunkType(const char* type) {
  return std::all_of(type, type + 4, [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); });
}

Completeness pngCompleteness(const Source& file) {
  static const QByteArray kEnd("\0\0\0\0IEND\xAE\x42\x60\x82", 12);
  const qint64 size = file.size;
  if (readAt(file, size - kEnd.size(), kEnd.size()) == kEnd) return Completeness::Whole;
  // Chunk by chunk to the closing one.
  ForwardReader in(file, 8);
  qint64 limit = -1;
  for (;;) {
    char head[8];
    for (char& c : head) {
      const int b = in.next();
      if (b < 0) return Completeness::Cut;
      c = char(b);
    }
    const quint32 length = bigEndian32(head);
    if (length > 0x7FFFFFFFu || !isChunkType(head + 4)) return Completeness::Cut;
    // The closing chunk whole, its check value too.
    if (std::memcmp(head + 4, "IEND", 4) == 0)
      return in.skip(qint64(length) + 4) ? Completeness::Whole : Completeness::Cut;
    if (limit < 0) {
      if (std::memcmp(head + 4, "IHDR", 4) != 0 || length < 8) return Completeness::Cut;
      const auto width = in.number(4, true);
      const auto height = in.number(4, true);
      if (!width || !height) return Completeness::Cut;
      limit = in.position() + scanDataLimit(qint64(*width) * qint64(*height) * 8);
      if (!in.skip(qint64(length) - 8 + 4)) return Completeness::Cut;
    } else if (!in.skip(qint64(length) + 4)) {
      return Completeness::Cut;
    }
    if (in.position() > limit) return Completeness::Cut;
  }
}

// ---------------------------------------------------------------- GIF

// Skips a chain of data blocks up to its empty block; false when the file
// ends first.
bool skipDataBlocks(ForwardReader& in) {
  for (;;) {
    const int length = in.next();
    if (length < 0) return false;
    if (length == 0) return true;
    if (!in.skip(length)) return false;
  }
}

bool skipColourTable(ForwardReader& in, int flags) {
  return !(flags & 0x80) || in.skip(3 * (qint64{2} << (flags & 0x07)));
}

// Every frame's data must be there, then the trailer. A file that holds
// something else than a block after a whole frame shows all it holds (the
// decoder stops there).
Completeness gifCompleteness(const Source& file) {
  ForwardReader in(file, 10);
  const int screenFlags = in.next();
  if (screenFlags < 0 || !in.skip(2) || !skipColourTable(in, screenFlags)) return Completeness::Cut;
  bool framed = false;
  for (;;) {
    const int block = in.next();
    if (block < 0) return Completeness::Cut;
    if (block == 0x3B) return Completeness::Whole;
    if (block == 0x21) {
      if (in.next() < 0 || !skipDataBlocks(in)) return Completeness::Cut;
    } else if (block == 0x2C) {
      if (!in.skip(8)) return Completeness::Cut;
      const int flags = in.next();
      if (flags < 0 || !skipColourTable(in, flags) || in.next() < 0 || !skipDataBlocks(in))
        return Completeness::Cut;
      framed = true;
    } else {
      return framed ? Completeness::Whole : Completeness::Cut;
    }
  }
}

// ---------------------------------------------------------------- BMP

Completeness bmpCompleteness(const Source& file) {
  const QByteArray head = readAt(file, 0, 54);
  if (head.size() < 26) return Completeness::OtherKind;
  const char* p = head.constData();
  const qint64 dataAt = littleEndian32(p + 10);
  const quint32 infoSize = littleEndian32(p + 14);
  // "BM" begins many a file that is no picture: only the sizes of the
  // known headers make one.
  if (infoSize != 12 && infoSize != 40 && infoSize != 52 && infoSize != 56 && infoSize != 64 &&
      infoSize != 108 && infoSize != 124)
    return Completeness::OtherKind;
  qint64 width = 0, height = 0, bitsPerPixel = 0, compression = 0, dataSize = 0;
  if (infoSize == 12) {  // the oldest header: 16-bit sizes
    width = uchar(p[18]) | uchar(p[19]) << 8;
    height = uchar(p[20]) | uchar(p[21]) << 8;
    bitsPerPixel = uchar(p[24]) | uchar(p[25]) << 8;
  } else {
    if (head.size() < 54) return Completeness::Cut;
    width = qint32(littleEndian32(p + 18));
    height = qint32(littleEndian32(p + 22));
    bitsPerPixel = uchar(p[28]) | uchar(p[29]) << 8;
    compression = littleEndian32(p + 30);
    dataSize = littleEndian32(p + 34);
  }
  qint64 needed = 0;
  if (compression == 0 || compression == 3 || compression == 6) {
    const qint64 rowBytes = (std::abs(width) * bitsPerPixel + 31) / 32 * 4;
    needed = rowBytes * std::abs(height);
  } else {
    needed = dataSize;  // compressed: the size the header gives, when it gives one
  }
  return dataAt + needed <= file.size ? Completeness::Whole : Completeness::Cut;
}

// ---------------------------------------------------------------- TIFF

// Every strip or tile of the first picture lies within the file.
Completeness tiffCompleteness(const Source& file) {
  const qint64 size = file.size;
  const QByteArray head = readAt(file, 0, 8);
  if (head.size() < 8) return Completeness::Cut;
  const bool big = head.startsWith("MM");
  auto number = [big](const char* p, int n) {
    quint32 v = 0;
    for (int i = 0; i < n; ++i) v = big ? (v << 8) | uchar(p[i]) : v | quint32(uchar(p[i])) << (8 * i);
    return v;
  };
  if (number(head.constData() + 2, 2) != 42) return Completeness::OtherKind;  // BigTIFF: its decoding tells
  const qint64 directory = number(head.constData() + 4, 4);
  const QByteArray countBytes = readAt(file, directory, 2);
  if (countBytes.size() < 2) return Completeness::Cut;
  const qint64 entries = number(countBytes.constData(), 2);
  const QByteArray table = readAt(file, directory + 2, entries * 12);
  if (table.size() < entries * 12) return Completeness::Cut;
  // The values of an entry of 16- or 32-bit numbers, within it or where it
  // points; nothing for another type. `cut` when they lie beyond the file.
  bool cut = false;
  auto values = [&](const char* entry) -> std::optional<QList<qint64>> {
    const quint32 type = number(entry + 2, 2);
    const qint64 count = number(entry + 4, 4);
    const int width = type == 3 ? 2 : type == 4 ? 4 : 0;
    if (width == 0 || count > (1 << 22)) return std::nullopt;
    const QByteArray bytes =
        count * width <= 4 ? QByteArray(entry + 8, 4) : readAt(file, number(entry + 8, 4), count * width);
    if (bytes.size() < count * width) {
      cut = true;
      return std::nullopt;
    }
    QList<qint64> out;
    for (qint64 i = 0; i < count; ++i) out << number(bytes.constData() + i * width, width);
    return out;
  };
  std::optional<QList<qint64>> offsets, counts;
  for (qint64 i = 0; i < entries; ++i) {
    const char* entry = table.constData() + i * 12;
    const quint32 tag = number(entry, 2);
    if (tag == 273 || tag == 324) offsets = values(entry);
    if (tag == 279 || tag == 325) counts = values(entry);
  }
  if (cut) return Completeness::Cut;
  if (!offsets || !counts) return Completeness::OtherKind;  // nothing to measure by: its decoding tells
  for (qsizetype i = 0; i < std::min(offsets->size(), counts->size()); ++i)
    if (offsets->at(i) + counts->at(i) > size) return Completeness::Cut;
  return Completeness::Whole;
}

// ---------------------------------------------------------------- WebP

Completeness webpCompleteness(const Source& file) {
  const QByteArray head = readAt(file, 0, 12);
  return head.size() == 12 && qint64(littleEndian32(head.constData() + 4)) + 8 <= file.size
             ? Completeness::Whole
             : Completeness::Cut;
}

}  // namespace

PictureStructure examinePictureFile(const QFileDevice& opened, qint64 size) {
  const Source file{opened.handle(), size};
  const QByteArray head = readAt(file, 0, 12);
  if (head.startsWith("\xFF\xD8")) return {"jpeg", jpegCompleteness(file)};
  if (head.startsWith("\x89PNG\r\n\x1A\n")) return {"png", pngCompleteness(file)};
  if (head.startsWith("GIF87a") || head.startsWith("GIF89a")) return {"gif", gifCompleteness(file)};
  if (head.startsWith("BM")) {
    const Completeness bmp = bmpCompleteness(file);
    return {bmp == Completeness::OtherKind ? QByteArray() : QByteArray("bmp"), bmp};
  }
  if (head.startsWith(QByteArray("II*\0", 4)) || head.startsWith(QByteArray("MM\0*", 4)))
    return {"tiff", tiffCompleteness(file)};
  if (head.startsWith("RIFF") && head.mid(8, 4) == "WEBP") return {"webp", webpCompleteness(file)};
  return {{}, Completeness::OtherKind};
}
