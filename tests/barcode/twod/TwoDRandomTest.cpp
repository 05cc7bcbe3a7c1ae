// Random values of mixed character classes through the automatic encodation
// choices of Data Matrix and PDF417, each read back by zxing.
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "TwoDDecode.h"
#include "barcode/twod/DataMatrixEcc200.h"
#include "barcode/twod/Pdf417View.h"

using namespace barcode::twod;

TEST(TwoDRandom, DataMatrixAutomaticEncodation) {
  std::mt19937 rng(42);
  const std::string alphabets[] = {"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ",
                                   "abcdefghijklmnopqrstuvwxyz0123456789 ",
                                   "ABC*>\r0123456789 ",
                                   "ABC:;<=>?@[]^0123456789 ",
                                   std::string("\x01\x80\xff\xe9\x7f\x00", 6),
                                   "0123456789"};
  int failures = 0, total = 0;
  for (int t = 0; t < 1200; ++t) {
    const int length = 1 + static_cast<int>(rng() % 120);
    std::string data;
    size_t a = rng() % 6;
    for (int i = 0; i < length; ++i) {
      if (rng() % 5 == 0) a = rng() % 6;
      data += alphabets[a][rng() % alphabets[a].size()];
    }
    int w = 0, h = 0;
    if (t % 2) {  // a size of the table (below 144x144), when the data fit it
      const auto& s = ecc200matrix()[rng() % 20];
      w = s.W;
      h = s.H;
    }
    std::ostringstream err;
    auto s = datamatrix_ecc200(w, h, nullptr, reinterpret_cast<const uint8_t*>(data.data()),
                               static_cast<int>(data.size()), err);
    if (!s) continue;
    ++total;
    if (twodtest::decode(twodtest::gridImage(s->toModuleGrid(), 2, 2), ZXing::BarcodeFormat::DataMatrix) !=
            data &&
        ++failures < 5)
      ADD_FAILURE() << s->encoding << " in " << s->width << "x" << s->height;
  }
  EXPECT_EQ(failures, 0);
  EXPECT_GT(total, 700);
  std::printf("Data Matrix random values decoded: %d of %d\n", total - failures, total);
}

// zxing-cpp 1.4 ends a text at a NUL byte shifted into text compaction (913, 0),
// so the random texts leave NUL out; NUL in byte compaction is read back below.
TEST(TwoDRandom, Pdf417MixedSegments) {
  std::mt19937 rng(7);
  int failures = 0, total = 0;
  for (int t = 0; t < 300; ++t) {
    const int length = 1 + static_cast<int>(rng() % 400);
    std::string data;
    for (int i = 0; i < length; ++i) {
      const int k = static_cast<int>(rng() % 10);
      data += k < 4   ? static_cast<char>(32 + rng() % 95)
              : k < 6 ? static_cast<char>('0' + rng() % 10)
              : k < 8 ? static_cast<char>('a' + rng() % 26)
                      : static_cast<char>(1 + rng() % 255);
    }
    if (t % 10 == 0) data += std::string("\x00\x00\x10\x00", 4) + std::string(20, '7');
    pdf417param p;
    pdf417init(p);
    p.text = data;
    p.lenText = static_cast<int>(data.size());
    p.options = PDF417_USE_ERROR_LEVEL;
    p.errorLevel = static_cast<int>(rng() % 9);
    p.aspectRatio = static_cast<float>(rng() % 20 + 1) / 10.0f;
    paintCode(p);
    if (p.error) continue;
    ++total;
    SymbolPicture::Layout layout;
    layout.page = QSizeF(p.bitColumns, p.codeRows);
    layout.gridRect = QRectF(QPointF(0, 0), layout.page);
    layout.opaquePage = true;
    layout.size = layout.page;
    layout.pixels = QSize(p.bitColumns * 2, p.codeRows * 6);
    const QImage image = SymbolPicture(pdf417Grid(p), layout).toImage();
    if (twodtest::decode(image, ZXing::BarcodeFormat::PDF417, 12) != data && ++failures < 5)
      ADD_FAILURE() << "length " << length << " level " << p.errorLevel << " " << p.codeColumns << "x"
                    << p.codeRows;
  }
  EXPECT_EQ(failures, 0);
  EXPECT_GT(total, 250);
  std::printf("PDF417 random values decoded: %d of %d\n", total - failures, total);
}
