#include "core/PictureCompleteness.h"

#include <unistd.h>

#include <QByteArray>
#include <QFileDevice>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <utility>

namespace {

using Completeness = PictureCompleteness;

// An open file, its size, and how many of its bytes the check read.
struct Source {
  int descriptor;
  qint64 size;
  qint64* read;
};

// The bytes at a place of the file, read by position: the file's own place
// and buffer stay as they are for the picture reader that follows. Nothing
// beyond the file's end is asked for.
QByteArray readAt(const Source& file, qint64 at, qint64 length) {
  if (at < 0 || at >= file.size || length <= 0 || file.descriptor < 0) return {};
  length = std::min(length, file.size - at);
  QByteArray bytes(length, Qt::Uninitialized);
  qint64 got = 0;
  while (got < length) {
    const ssize_t n = ::pread(file.descriptor, bytes.data() + got, size_t(length - got), off_t(at + got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += n;
  }
  *file.read += got;
  bytes.truncate(got);
  return bytes;
}

// The first bytes of the file, read once for every kind: the longest header
// looked at (a BMP's) is in them.
constexpr qint64 kHeadBytes = 54;

// Sizes that headers give, multiplied and added without overflowing: any
// result beyond kHuge is kHuge, far beyond any file, and a sum of two such
// results still fits.
constexpr qint64 kHuge = std::numeric_limits<qint64>::max() / 4;

qint64 product(qint64 a, qint64 b) {
  qint64 result = 0;
  return a < 0 || b < 0 || __builtin_mul_overflow(a, b, &result) || result > kHuge ? kHuge : result;
}

qint64 sum(qint64 a, qint64 b) {
  return std::min(a + b, kHuge);  // both at most kHuge
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
  return sum(product(samples, 2), qint64{16} << 20);
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
// inside a segment or inside the data of a scan, before the end mark. The
// scans of a picture (a progressive one has several) share the frame's
// limit of scan data; segments of other data (camera notes, previews) do not
// count against it.
Completeness walkJpeg(const Source& file) {
  ForwardReader in(file, 2);
  std::optional<qint64> scanDataLeft;  // known once the frame header is read
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
      scanDataLeft = scanDataLimit(product(qint64(*width) * qint64(*height), qint64(*components)));
      rest -= 6;
    }
    if (!in.skip(rest)) return Completeness::Cut;
    if (code == 0xDA) {
      if (!scanDataLeft) return Completeness::Cut;  // a scan before any frame header
      const qint64 start = in.position();
      pending = markerAfterScan(in, start + *scanDataLeft);
      if (pending < 0) return Completeness::Cut;
      *scanDataLeft = std::max<qint64>(0, *scanDataLeft - (in.position() - start));
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
      // Sizes of 0 or beyond 2^31 - 1 pixels are no picture's.
      if (!width || !height || *width == 0 || *height == 0 || *width > 0x7FFFFFFF || *height > 0x7FFFFFFF)
        return Completeness::Cut;
      limit = in.position() + scanDataLimit(product(product(qint64(*width), qint64(*height)), 8));
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

Completeness bmpCompleteness(const Source& file, const QByteArray& head) {
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
    const qint64 rowBytes = sum(product(std::abs(width), bitsPerPixel), 31) / 32 * 4;
    needed = product(rowBytes, std::abs(height));
  } else {
    needed = dataSize;  // compressed: the size the header gives, when it gives one
  }
  // A header that claims more than any file holds is damage too.
  return sum(dataAt, needed) <= file.size ? Completeness::Whole : Completeness::Cut;
}

// ---------------------------------------------------------------- TIFF

// An array of 16- or 32-bit numbers that a TIFF directory entry gives: held
// in the entry itself, or at a place of the file.
struct TiffArray {
  qint64 count = 0;
  int width = 0;      // bytes a number
  qint64 at = -1;     // where in the file; -1 for one held in the entry
  QByteArray inside;  // the numbers held in the entry

  qint64 bytes() const { return count * width; }
  bool overlaps(const TiffArray& other) const {
    return at >= 0 && other.at >= 0 && at < other.at + other.bytes() && other.at < at + bytes();
  }
};

// Every strip or tile of the first picture lies within the file. Whatever
// the directory says, the check reads each byte of the file at most once
// (besides its first bytes): the first entry of a tag counts (as decoders take it),
// and the two arrays it compares are read once each, a piece at a time.
Completeness tiffCompleteness(const Source& file, const QByteArray& head) {
  const qint64 size = file.size;
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
  const char* offsetsEntry = nullptr;
  const char* countsEntry = nullptr;
  for (qint64 i = 0; i < entries; ++i) {
    const char* entry = table.constData() + i * 12;
    const quint32 tag = number(entry, 2);
    if (!offsetsEntry && (tag == 273 || tag == 324)) offsetsEntry = entry;
    if (!countsEntry && (tag == 279 || tag == 325)) countsEntry = entry;
  }
  if (!offsetsEntry || !countsEntry)
    return Completeness::OtherKind;  // nothing to measure by: its decoding tells
  // The array of an entry; nothing for a type of other numbers.
  auto arrayOf = [&](const char* entry) -> std::optional<TiffArray> {
    const quint32 type = number(entry + 2, 2);
    TiffArray array;
    array.width = type == 3 ? 2 : type == 4 ? 4 : 0;
    if (array.width == 0) return std::nullopt;
    array.count = number(entry + 4, 4);
    if (array.bytes() <= 4)
      array.inside = QByteArray(entry + 8, 4);
    else
      array.at = number(entry + 8, 4);
    return array;
  };
  const std::optional<TiffArray> offsets = arrayOf(offsetsEntry), counts = arrayOf(countsEntry);
  if (!offsets || !counts) return Completeness::OtherKind;
  for (const TiffArray* array : {&*offsets, &*counts})
    if (array->at >= 0 && array->at + array->bytes() > size) return Completeness::Cut;
  // Two arrays in one place, or an array within the directory: no writer
  // makes such a directory.
  const TiffArray directoryArea{entries * 12 + 2, 1, directory, {}};
  if (offsets->overlaps(*counts) || offsets->overlaps(directoryArea) || counts->overlaps(directoryArea))
    return Completeness::Cut;
  // Side by side, a piece of each at a time.
  constexpr qint64 kPiece = 64 * 1024;  // numbers
  auto piece = [&](const TiffArray& array, qint64 from, qint64 n) {
    return array.at < 0 ? array.inside.mid(from * array.width, n * array.width)
                        : readAt(file, array.at + from * array.width, n * array.width);
  };
  const qint64 strips = std::min(offsets->count, counts->count);
  for (qint64 from = 0; from < strips; from += kPiece) {
    const qint64 n = std::min(kPiece, strips - from);
    const QByteArray starts = piece(*offsets, from, n), lengths = piece(*counts, from, n);
    if (starts.size() < n * offsets->width || lengths.size() < n * counts->width) return Completeness::Cut;
    for (qint64 i = 0; i < n; ++i)
      if (qint64(number(starts.constData() + i * offsets->width, offsets->width)) +
              number(lengths.constData() + i * counts->width, counts->width) >
          size)
        return Completeness::Cut;
  }
  return Completeness::Whole;
}

// ---------------------------------------------------------------- WebP

Completeness webpCompleteness(const Source& file, const QByteArray& head) {
  return head.size() >= 12 && qint64(littleEndian32(head.constData() + 4)) + 8 <= file.size
             ? Completeness::Whole
             : Completeness::Cut;
}

}  // namespace

namespace {

PictureStructure examine(const Source& file) {
  const QByteArray head = readAt(file, 0, kHeadBytes);
  if (head.startsWith("\xFF\xD8")) return {"jpeg", jpegCompleteness(file)};
  if (head.startsWith("\x89PNG\r\n\x1A\n")) return {"png", pngCompleteness(file)};
  if (head.startsWith("GIF87a") || head.startsWith("GIF89a")) return {"gif", gifCompleteness(file)};
  if (head.startsWith("BM")) {
    const Completeness bmp = bmpCompleteness(file, head);
    return {bmp == Completeness::OtherKind ? QByteArray() : QByteArray("bmp"), bmp};
  }
  if (head.startsWith(QByteArray("II*\0", 4)) || head.startsWith(QByteArray("MM\0*", 4)))
    return {"tiff", tiffCompleteness(file, head)};
  if (head.startsWith("RIFF") && head.mid(8, 4) == "WEBP") return {"webp", webpCompleteness(file, head)};
  return {{}, Completeness::OtherKind};
}

}  // namespace

PictureStructure examinePictureFile(const QFileDevice& opened, qint64 size) {
  qint64 read = 0;
  PictureStructure structure = examine(Source{opened.handle(), size, &read});
  structure.bytesRead = read;
  return structure;
}
