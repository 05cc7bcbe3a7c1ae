#pragma once
// PDF417 (ISO/IEC 15438): text, byte and numeric compaction, error-correction
// levels 0-8 over the prime field of 929 elements, automatic or fixed shape,
// and the bit matrix of the rows. All state lives in one parameter record.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace barcode::twod {

using std::size_t;

// Option bits of pdf417param::options.
enum Pdf417Option {
  PDF417_FIXED_RECTANGLE = 1,
  PDF417_FIXED_COLUMNS = 2,
  PDF417_FIXED_ROWS = 4,
  PDF417_USE_ERROR_LEVEL = 16,
  PDF417_USE_RAW_CODEWORDS = 64,
  PDF417_INVERT_BITMAP = 128,
};

struct pdf417param {
  std::vector<uint8_t> outBits;  // rows padded to whole bytes, msb first, 1 = bar (before inversion)
  int lenBits = 0;
  int bitColumns = 0;
  int codeRows = 0;
  int codeColumns = 0;
  std::array<int, 928> codewords{};
  int lenCodewords = 0;
  int errorLevel = 0;
  std::string text;  // the data bytes
  int lenText = -1;  // negative: up to the first NUL
  int options = 0;
  float aspectRatio = 0.5f;
  float yHeight = 3.0f;
  int error = 0;  // 0 none, 1 data too long, 2 invalid raw codewords

  bool bar(int row, int column) const;  // module of the bit matrix (as stored)
};

constexpr int kPdf417MaxText = 5420;

void pdf417init(pdf417param& p);
void paintCode(pdf417param& p);
void pdf417free(pdf417param& p);

// The Reed-Solomon coefficients of a level: 2^(level+1) values, those of the
// product of (x - 3^j), j = 1 ... 2^(level+1), lowest power first.
std::vector<int> pdf417ErrorCoefficients(int level);
int maxPossibleErrorLevel(int room);

// The codeword patterns of clusters 0, 3 and 6.
extern const std::array<std::array<uint32_t, 929>, 3> CLUSTERS;

// Segments of the high-level encoding, exposed for tests.
struct Pdf417Segment {
  char type;  // 'T' text, 'B' byte, 'N' numeric
  int start;
  int end;
  int length() const { return end - start; }
};
std::vector<Pdf417Segment> breakString(const std::string& text);

}  // namespace barcode::twod
