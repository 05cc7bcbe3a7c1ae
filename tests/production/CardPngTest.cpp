// The PNG data of card pictures read by other programs: Python's zlib and
// struct for the chunks and the stream, libpng (through Qt) for the pixels.

#include <gtest/gtest.h>

#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include "production/CardImageFile.h"
#include "support/TestFiles.h"

using namespace production;

namespace {

// "<IDAT chunks> <largest IDAT> <stream bytes> <unfiltered rows bytes>" of a
// PNG file, after checking every chunk's CRC and that the zlib stream ends
// exactly with the image data.
const char* const kPngChunks = R"(
import struct, sys, zlib
d = open(sys.argv[1], 'rb').read()
assert d[:8] == b'\x89PNG\r\n\x1a\n'
i, idats, largest, stream, kinds = 8, 0, 0, b'', []
while i < len(d):
    n, t = struct.unpack('>I4s', d[i:i + 8])
    body = d[i + 8:i + 8 + n]
    assert struct.unpack('>I', d[i + 8 + n:i + 12 + n])[0] == zlib.crc32(t + body), t
    kinds.append(t)
    if t == b'IDAT':
        idats, largest, stream = idats + 1, max(largest, n), stream + body
    i += 12 + n
assert kinds[0] == b'IHDR' and kinds[-1] == b'IEND', kinds
z = zlib.decompressobj()
rows = z.decompress(stream)
assert z.eof and z.unused_data == b'', 'the stream ends early or has bytes after it'
print(idats, largest, len(stream), len(rows))
)";

// A photograph's worth of noise between flat bands of colour: the encoder
// meets both kinds of rows, in both orders, in one picture.
QImage noiseBetweenBands(int width, int bandRows, int noiseRows) {
  QImage picture(width, bandRows + noiseRows + bandRows, QImage::Format_RGB32);
  QRandomGenerator random(8);
  for (int y = 0; y < picture.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
    const bool noise = y >= bandRows && y < bandRows + noiseRows;
    for (int x = 0; x < width; ++x)
      line[x] = noise ? 0xff000000u | (random.generate() & 0xffffffu)
                      : qRgb(40 * (y / 100 % 6), 200, x < width / 2 ? 30 : 220);
  }
  return picture;
}

TEST(CardPng, APhotoLargerThanEightMegabytesIsStoredNearItsRawSizeInBoundedChunks) {
  const int width = 2000, bandRows = 450, noiseRows = 1500;
  const QImage picture = noiseBetweenBands(width, bandRows, noiseRows);
  const QByteArray png = encodeCardImage(picture, CardImageFormat::Png);
  QTemporaryDir dir;
  const QString path = dir.path() + "/photo.png";
  testing_support::writeFile(path, png);

  const QStringList found =
      QString::fromUtf8(testing_support::runPython(kPngChunks, {path})).trimmed().split(' ');
  ASSERT_EQ(found.size(), 4) << found.join(' ').toStdString();
  const qint64 rowBytes = 1 + qint64{width} * 3;
  EXPECT_EQ(found[3].toLongLong(), rowBytes * picture.height());
  // The noise cannot be compressed: its rows take their own size and a little
  // more; the bands take next to nothing.
  const qint64 noiseBytes = rowBytes * noiseRows;
  EXPECT_LE(found[2].toLongLong(), noiseBytes + noiseBytes / 500 + 64 * 1024) << found[2].toStdString();
  EXPECT_LE(png.size(), found[2].toLongLong() + 4096);
  // No chunk near the size that readers refuse.
  EXPECT_GT(found[0].toInt(), 1);
  EXPECT_LE(found[1].toLongLong(), 1024 * 1024);

  const QImage read(path);
  ASSERT_FALSE(read.isNull());
  EXPECT_EQ(read.convertToFormat(QImage::Format_RGB32), picture);
}

}  // namespace
