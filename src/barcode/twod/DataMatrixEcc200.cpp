#include "barcode/twod/DataMatrixEcc200.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ostream>
#include <sstream>

#include "barcode/twod/ReedSolomon.h"

namespace barcode::twod {

namespace {

enum Enc { kA = 0, kC, kT, kX, kE, kB };

constexpr int switchcost[6][6] = {
    {0, 1, 1, 1, 1, 2}, {1, 0, 2, 2, 2, 3}, {1, 2, 0, 2, 2, 3},
    {1, 2, 2, 0, 2, 3}, {1, 2, 2, 2, 0, 3}, {0, 1, 1, 1, 1, 0},
};

constexpr int kMaxOptimiserBytes = 3116;

bool isDigit(uint8_t c) {
  return c >= '0' && c <= '9';
}
bool inC40Basic(uint8_t c) {
  return c == ' ' || isDigit(c) || (c >= 'A' && c <= 'Z');
}
bool inTextBasic(uint8_t c) {
  return c == ' ' || isDigit(c) || (c >= 'a' && c <= 'z');
}
bool inX12(uint8_t c) {
  return c == '\r' || c == '*' || c == '>' || inC40Basic(c);
}
bool inEdifact(uint8_t c) {
  return c >= 32 && c <= 94;
}

std::string format(const char* fmt, int a, int b = 0) {
  char buffer[128];
  std::snprintf(buffer, sizeof buffer, fmt, a, b);
  return buffer;
}

// ASCII codewords of data[from, to).
std::vector<uint8_t> asciiCodewords(const uint8_t* s, int from, int to) {
  std::vector<uint8_t> out;
  for (int i = from; i < to;) {
    if (i + 1 < to && isDigit(s[i]) && isDigit(s[i + 1])) {
      out.push_back(static_cast<uint8_t>(130 + (s[i] - '0') * 10 + (s[i + 1] - '0')));
      i += 2;
    } else if (s[i] < 128) {
      out.push_back(static_cast<uint8_t>(s[i] + 1));
      ++i;
    } else {
      out.push_back(235);
      out.push_back(static_cast<uint8_t>(s[i] - 127));
      ++i;
    }
  }
  return out;
}

// Values of one byte in C40, Text or X12; false when the byte has none.
bool c40Values(char mode, uint8_t c, std::vector<int>& values) {
  static const char punctuation[] = "!\"#$%&'()*+,-./:;<=>?@[\\]^_";
  if (mode == 'X') {
    static const char x12[] = " 0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    if (c == '\r')
      values.push_back(0);
    else if (c == '*')
      values.push_back(1);
    else if (c == '>')
      values.push_back(2);
    else if (const char* p = c ? std::strchr(x12, c) : nullptr)
      values.push_back(static_cast<int>(p - x12) + 3);
    else
      return false;
    return true;
  }
  if (c >= 128) {
    values.push_back(1);
    values.push_back(30);
    c &= 127;
  }
  const char* basic =
      mode == 'C' ? " 0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ" : " 0123456789abcdefghijklmnopqrstuvwxyz";
  const char* third =
      mode == 'C' ? "`abcdefghijklmnopqrstuvwxyz{|}~\x7f" : "`ABCDEFGHIJKLMNOPQRSTUVWXYZ{|}~\x7f";
  if (c < 32) {
    values.push_back(0);
    values.push_back(c);
  } else if (const char* p = std::strchr(basic, c)) {
    values.push_back(static_cast<int>(p - basic) + 3);
  } else if (const char* q = std::strchr(punctuation, c)) {
    values.push_back(1);
    values.push_back(static_cast<int>(q - punctuation));
  } else if (const char* r = std::strchr(third, c)) {
    values.push_back(2);
    values.push_back(static_cast<int>(r - third));
  } else {
    return false;
  }
  return true;
}

enum class EncodeResult { kOk, kOverflow, kError };

// Writes the codewords of one value into a symbol of a fixed capacity, one
// encodation run at a time, then closes the data and pads it.
class CodewordWriter {
 public:
  CodewordWriter(std::vector<uint8_t>& t, int tl, const uint8_t* s, int sl, const std::string& encoding,
                 std::ostream& err)
      : t_(t), tl_(tl), s_(s), sl_(sl), encoding_(encoding), err_(err) {
    t_.assign(static_cast<size_t>(std::max(tl, 0)), 0);
  }

  EncodeResult run(int* lenp) {
    if (static_cast<int>(encoding_.size()) < sl_) {
      err_ << "Encoding string too short\n";
      return EncodeResult::kError;
    }
    while (sp_ < sl_ && tp_ < tl_) {
      const char want = wanted(sp_);
      if (std::strchr("ABCETX", want) == nullptr || want == 0) {
        err_ << "Unknown encoding " << want << "\n";
        return EncodeResult::kError;
      }
      if (!leaveCurrent(want)) return EncodeResult::kOverflow;
      EncodeResult step = EncodeResult::kOk;
      switch (want) {
        case 'A':
          step = asciiStep();
          break;
        case 'B':
          step = base256Run();
          break;
        case 'E':
          step = edifactGroup();
          break;
        default:
          step = c40FamilyTriple(want);
          break;
      }
      if (step != EncodeResult::kOk) return step;
    }
    if (sp_ < sl_) return EncodeResult::kOverflow;
    if (lenp) *lenp = tp_;
    closeAndPad();
    return EncodeResult::kOk;
  }

 private:
  char wanted(int at) const {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(encoding_[static_cast<size_t>(at)])));
  }
  int room() const { return tl_ - tp_; }
  bool put(int v) {
    if (tp_ >= tl_) return false;
    t_[static_cast<size_t>(tp_++)] = static_cast<uint8_t>(v);
    return true;
  }
  bool putRandomised255(int v) { return put((v + ((149 * (tp_ + 1)) % 255) + 1) % 256); }
  bool putAll(const std::vector<uint8_t>& cws) {
    if (static_cast<int>(cws.size()) > room()) return false;
    for (uint8_t c : cws) put(c);
    return true;
  }
  bool putTriples(const std::vector<int>& v, size_t count) {
    for (size_t i = 0; i + 2 < count; i += 3) {
      const int value = 1600 * v[i] + 40 * v[i + 1] + v[i + 2] + 1;
      if (!put(value >> 8) || !put(value & 0xFF)) return false;
    }
    return true;
  }

  // Unlatches from the current encodation when the next run wants another;
  // near the end of the symbol the unlatch is implied.
  bool leaveCurrent(char want) {
    if ((enc_ == 'C' || enc_ == 'T' || enc_ == 'X') && room() < 2) enc_ = 'A';
    if (enc_ == 'E' && room() <= 2) enc_ = 'A';
    if (want != enc_ && enc_ != 'A') {
      if (!put(enc_ == 'E' ? 124 : 254)) return false;
      enc_ = 'A';
    }
    return true;
  }

  // One ASCII codeword: a digit pair, a character, or an upper shift pair.
  EncodeResult asciiStep() {
    if (isDigit(s_[sp_]) && sp_ + 1 < sl_ && isDigit(s_[sp_ + 1]) && wanted(sp_ + 1) == 'A') {
      if (!put(130 + (s_[sp_] - '0') * 10 + (s_[sp_ + 1] - '0'))) return EncodeResult::kOverflow;
      sp_ += 2;
    } else if (!putAll(asciiCodewords(s_, sp_, sp_ + 1))) {
      return EncodeResult::kOverflow;
    } else {
      ++sp_;
    }
    return EncodeResult::kOk;
  }

  // The whole run of bytes marked for Base256: latch, length, bytes.
  EncodeResult base256Run() {
    int run = 0;
    while (sp_ + run < sl_ && wanted(sp_ + run) == 'B') ++run;
    const int needed = 1 + (run >= 250 ? 2 : 1) + run;
    if (needed > room()) return EncodeResult::kOverflow;
    put(231);
    if (run >= 250) {
      putRandomised255(run / 250 + 249);
      putRandomised255(run % 250);
    } else {
      putRandomised255(run);
    }
    for (int i = 0; i < run; ++i) putRandomised255(s_[sp_ + i]);
    sp_ += run;
    enc_ = 'A';
    return EncodeResult::kOk;
  }

  // One C40, Text or X12 triple (latching first); data ending inside a
  // triple finishes in ASCII.
  EncodeResult c40FamilyTriple(char want) {
    if (enc_ != want) {
      if (!put(want == 'C' ? 230 : want == 'T' ? 239 : 238)) return EncodeResult::kOverflow;
      enc_ = want;
    }
    std::vector<int> values;
    int boundarySp = sp_;
    size_t boundaryValues = 0;
    do {
      const uint8_t c = s_[sp_];
      if (!c40Values(want, c, values)) {
        if (want == 'X')
          err_ << format("Cannot encode char 0x%02X in X12\n", c);
        else
          err_ << format("Could not encode 0x%02X, should \t\t\t\t\t\t\t\t\tnot happen\n", c);
        return EncodeResult::kError;
      }
      ++sp_;
      if (values.size() % 3 == 0) {
        boundarySp = sp_;
        boundaryValues = values.size();
      }
    } while (values.size() % 3 != 0 && sp_ < sl_);
    if (values.size() % 3 == 0) {
      if (static_cast<int>(values.size() / 3 * 2) > room()) return EncodeResult::kOverflow;
      putTriples(values, values.size());
      return EncodeResult::kOk;
    }
    // The data ended inside a triple.
    const int afterFull = room() - static_cast<int>(values.size() / 3 * 2);
    if (want != 'X' && values.size() % 3 == 2 && afterFull == 2) {
      values.push_back(0);
      putTriples(values, values.size());
      return EncodeResult::kOk;
    }
    if (static_cast<int>(boundaryValues / 3 * 2) > room()) return EncodeResult::kOverflow;
    putTriples(values, boundaryValues);
    const std::vector<uint8_t> tail = asciiCodewords(s_, boundarySp, sl_);
    if (!(tail.size() == 1 && room() == 1)) {
      if (!put(254)) return EncodeResult::kOverflow;
    }
    if (!putAll(tail)) return EncodeResult::kOverflow;
    enc_ = 'A';
    sp_ = sl_;
    return EncodeResult::kOk;
  }

  // Up to four EDIFACT values in three codewords (latching first); a short
  // group unlatches.
  EncodeResult edifactGroup() {
    if (room() - (enc_ == 'E' ? 0 : 1) <= 2) {
      // A decoder reads the last two codewords in ASCII: no room for an EDIFACT group.
      if (!putAll(asciiCodewords(s_, sp_, sl_))) return EncodeResult::kOverflow;
      sp_ = sl_;
      enc_ = 'A';
      return EncodeResult::kOk;
    }
    if (enc_ != 'E') {
      if (!put(240)) return EncodeResult::kOverflow;
      enc_ = 'E';
    }
    std::vector<int> values;
    while (values.size() < 4 && sp_ < sl_ && wanted(sp_) == 'E') {
      const uint8_t c = s_[sp_];
      if (!inEdifact(c)) {
        err_ << format("Cannot encode 0x%02X in EDIFACT\n", c);
        return EncodeResult::kError;
      }
      values.push_back(c & 0x3F);
      ++sp_;
    }
    if (values.size() < 4) {
      values.push_back(31);
      enc_ = 'A';
    }
    const int count = values.size() == 2 ? 2 : 3;
    if (count > room()) return EncodeResult::kOverflow;
    uint32_t bits = 0;
    for (size_t i = 0; i < 4; ++i)
      bits = (bits << 6) | (i < values.size() ? static_cast<uint32_t>(values[i]) : 0);
    for (int i = 0; i < count; ++i) put(static_cast<int>((bits >> (16 - 8 * i)) & 0xFF));
    return EncodeResult::kOk;
  }

  // Unlatch where there is room, the end-of-data pad, then the randomised pads.
  void closeAndPad() {
    if (tp_ < tl_ && enc_ != 'A') {
      if ((enc_ == 'C' || enc_ == 'T' || enc_ == 'X') && room() >= 2) put(254);
      if (enc_ == 'E' && room() > 2) put(124);
    }
    if (tp_ < tl_) put(129);
    while (tp_ < tl_) {
      int v = ((149 * (tp_ + 1)) % 253) + 130;
      if (v > 254) v -= 254;
      put(v);
    }
  }

  std::vector<uint8_t>& t_;
  const int tl_;
  const uint8_t* s_;
  const int sl_;
  const std::string& encoding_;
  std::ostream& err_;
  int tp_ = 0;
  int sp_ = 0;
  char enc_ = 'A';
};

EncodeResult encodeCodewords(std::vector<uint8_t>& t, int tl, const uint8_t* s, int sl,
                             const std::string& encoding, int* lenp, std::ostream& err) {
  return CodewordWriter(t, tl, s, sl, encoding, err).run(lenp);
}

}  // namespace

const std::array<Ecc200Size, 30>& ecc200matrix() {
  static const std::array<Ecc200Size, 30> table = {{
      {10, 10, 10, 10, 3, 3, 5},         {12, 12, 12, 12, 5, 5, 7},         {8, 18, 8, 18, 5, 5, 7},
      {14, 14, 14, 14, 8, 8, 10},        {8, 32, 8, 16, 10, 10, 11},        {16, 16, 16, 16, 12, 12, 12},
      {12, 26, 12, 26, 16, 16, 14},      {18, 18, 18, 18, 18, 18, 14},      {20, 20, 20, 20, 22, 22, 18},
      {12, 36, 12, 18, 22, 22, 18},      {22, 22, 22, 22, 30, 30, 20},      {16, 36, 16, 18, 32, 32, 24},
      {24, 24, 24, 24, 36, 36, 24},      {26, 26, 26, 26, 44, 44, 28},      {16, 48, 16, 24, 49, 49, 28},
      {32, 32, 16, 16, 62, 62, 36},      {36, 36, 18, 18, 86, 86, 42},      {40, 40, 20, 20, 114, 114, 48},
      {44, 44, 22, 22, 144, 144, 56},    {48, 48, 24, 24, 174, 174, 68},    {52, 52, 26, 26, 204, 102, 42},
      {64, 64, 16, 16, 280, 140, 56},    {72, 72, 18, 18, 368, 92, 36},     {80, 80, 20, 20, 456, 114, 48},
      {88, 88, 22, 22, 576, 144, 56},    {96, 96, 24, 24, 696, 174, 68},    {104, 104, 26, 26, 816, 136, 56},
      {120, 120, 20, 20, 1050, 175, 68}, {132, 132, 22, 22, 1304, 163, 62}, {144, 144, 24, 24, 1558, 156, 62},
  }};
  return table;
}

std::optional<std::string> encmake(const uint8_t* d, int len, int* costOut, bool exact) {
  if (len <= 0) {
    if (costOut) *costOut = 0;
    return std::string();
  }
  if (len > kMaxOptimiserBytes) return std::nullopt;
  struct Cell {
    int s[6] = {0, 0, 0, 0, 0, 0};
    int t[6] = {0, 0, 0, 0, 0, 0};
  };
  std::vector<Cell> cell(static_cast<size_t>(len) + 1);
  auto S = [&](int p, int e) -> int& { return cell[static_cast<size_t>(p)].s[e]; };
  auto T = [&](int p, int e) -> int& { return cell[static_cast<size_t>(p)].t[e]; };
  // Best continuation at q coming from m; which receives the encodation (-1 at the end).
  auto best = [&](int q, int m, int exclude, int* which) {
    *which = -1;
    if (q >= len) return 0;
    int value = 0;
    for (int f = 0; f < 6; ++f) {
      if (f == exclude || S(q, f) == 0) continue;
      const int v = S(q, f) + switchcost[m][f];
      if (*which < 0 || v < value) {
        value = v;
        *which = f;
      }
    }
    return *which < 0 ? INT_MAX / 4 : value;
  };

  for (int p = len - 1; p >= 0; --p) {
    int f = -1;
    // ASCII
    {
      int tl = 1, c = 1;
      if (isDigit(d[p]) && p + 1 < len && isDigit(d[p + 1]))
        tl = 2;
      else if (d[p] >= 128)
        c = 2;
      const int b = best(p + tl, kA, -1, &f);
      S(p, kA) = c + b;
      T(p, kA) = tl + (f == kA ? T(p + tl, kA) : 0);
    }
    // C40 and Text
    for (int e : {kC, kT}) {
      int values = 0, bl = 0;
      while (p + bl < len) {
        uint8_t c = d[p + bl];
        ++bl;
        if (c >= 128) {
          values += 2;
          c &= 127;
        }
        values += (e == kC ? inC40Basic(c) : inTextBasic(c)) ? 1 : 2;
        if (values % 3 == 0) break;
      }
      int cost = -1;
      if (values % 3 == 0)
        cost = values / 3 * 2;
      else if (exact && values % 3 == 2)
        cost = values / 3 * 2 + 2;
      if (cost >= 0) {
        int b = best(p + bl, e, -1, &f);
        if (exact && p + bl < len && S(p + bl, kA) == 1 && b >= 2) {
          b = 1;
          f = kA;
        }
        S(p, e) = cost + b;
        T(p, e) = bl + (f == e ? T(p + bl, e) : 0);
      }
    }
    // X12
    {
      int values = 0, bl = 0;
      bool possible = true;
      while (p + bl < len) {
        if (!inX12(d[p + bl])) {
          possible = false;
          break;
        }
        ++bl;
        ++values;
        if (values % 3 == 0) break;
      }
      if (possible && values % 3 == 0) {
        int b = best(p + bl, kX, -1, &f);
        if (exact && p + bl < len && S(p + bl, kA) == 1 && b >= 2) {
          b = 1;
          f = kA;
        }
        S(p, kX) = values / 3 * 2 + b;
        T(p, kX) = bl + (f == kX ? T(p + bl, kX) : 0);
      }
    }
    // EDIFACT
    if (inEdifact(d[p])) {
      bool found = false;
      int bestCost = 0, bestLen = 0, bestF = -1;
      for (int g = 1; g <= 4; ++g) {
        if (p + g > len || !inEdifact(d[p + g - 1])) break;
        const int base = g == 1 ? 2 : 3;
        int cost = 0, which = -1;
        if (p + g == len) {
          if (found) continue;
          cost = base;
        } else if (g < 4) {
          cost = base + best(p + g, kA, kE, &which);
        } else {
          cost = 3 + best(p + 4, kE, -1, &which);
          const int ascii = S(p + 4, kA);
          if (exact && (ascii == 1 || ascii == 2) && ascii + 3 < cost) {
            cost = ascii + 3;
            which = kA;
          }
        }
        if (!found || cost < bestCost) {
          found = true;
          bestCost = cost;
          bestLen = g;
          bestF = which;
        }
      }
      if (found) {
        S(p, kE) = bestCost;
        T(p, kE) = bestLen + (bestF == kE ? T(p + bestLen, kE) : 0);
      }
    }
    // Base256
    {
      const int b = best(p + 1, kB, -1, &f);
      S(p, kB) = 1 + b;
      T(p, kB) = 1;
      if (f == kB) {
        T(p, kB) += T(p + 1, kB);
        if (T(p, kB) == 250) S(p, kB) += 1;
      }
    }
  }

  std::string out;
  out.reserve(static_cast<size_t>(len));
  int current = kA;
  bool first = true;
  for (int p = 0; p < len;) {
    int chosen = -1, value = 0;
    for (int f = 0; f < 6; ++f) {
      if (S(p, f) == 0) continue;
      const int v = S(p, f) + switchcost[current][f];
      if (chosen < 0 || v < value || (v == value && f == current)) {
        chosen = f;
        value = v;
      }
    }
    if (first) {
      if (costOut) *costOut = S(p, chosen);
      first = false;
    }
    const int run = std::max(1, std::min(T(p, chosen), len - p));
    out.append(static_cast<size_t>(run), encchr[chosen]);
    current = chosen;
    p += run;
  }
  return out;
}

bool ecc200encode(std::vector<uint8_t>& codewords, int capacity, const uint8_t* data, int length,
                  const std::string& encoding, int* used, std::ostream& err) {
  return encodeCodewords(codewords, capacity, data, length, encoding, used, err) == EncodeResult::kOk;
}

namespace {
// Where the error-correction codewords of a block stand in each round of the
// interleaved stream. The largest size is the one whose blocks differ in length
// (blocks 0-7 hold 156 data codewords, blocks 8 and 9 hold 155): there the
// stream of error-correction codewords starts with the two shorter blocks.
int errorCorrectionSlot(const Ecc200Size& size, int block) {
  const int blocks = size.blocks();
  if (size.bytes % blocks == 0) return block;
  const int longer = size.bytes % blocks;
  return (block + blocks - longer) % blocks;
}
}  // namespace

void ecc200(std::vector<uint8_t>& codewords, const Ecc200Size& size) {
  const GaloisField256& field = GaloisField256::dataMatrixField();
  const std::vector<uint8_t> generator = field.generator(size.rsblock, 1);
  const int blocks = size.blocks();
  codewords.resize(static_cast<size_t>(size.bytes + blocks * size.rsblock), 0);
  for (int b = 0; b < blocks; ++b) {
    std::vector<uint8_t> block;
    for (int n = b; n < size.bytes; n += blocks) block.push_back(codewords[static_cast<size_t>(n)]);
    const std::vector<uint8_t> parity = field.remainder(block.data(), block.size(), generator);
    const int slot = errorCorrectionSlot(size, b);
    for (int k = 0; k < size.rsblock; ++k)
      codewords[static_cast<size_t>(size.bytes + slot + k * blocks)] = parity[static_cast<size_t>(k)];
  }
}

namespace {

struct Placement {
  std::vector<int>& array;
  int nrow;
  int ncol;

  void bit(int row, int col, int chr, int bitNo) {
    if (row < 0) {
      row += nrow;
      col += 4 - ((nrow + 4) % 8);
    }
    if (col < 0) {
      col += ncol;
      row += 4 - ((ncol + 4) % 8);
    }
    array[static_cast<size_t>(row) * ncol + col] = chr * 8 + bitNo;
  }
  void block(int row, int col, int chr) {
    bit(row - 2, col - 2, chr, 7);
    bit(row - 2, col - 1, chr, 6);
    bit(row - 1, col - 2, chr, 5);
    bit(row - 1, col - 1, chr, 4);
    bit(row - 1, col, chr, 3);
    bit(row, col - 2, chr, 2);
    bit(row, col - 1, chr, 1);
    bit(row, col, chr, 0);
  }
  void cornerA(int chr) {
    bit(nrow - 1, 0, chr, 7);
    bit(nrow - 1, 1, chr, 6);
    bit(nrow - 1, 2, chr, 5);
    bit(0, ncol - 2, chr, 4);
    bit(0, ncol - 1, chr, 3);
    bit(1, ncol - 1, chr, 2);
    bit(2, ncol - 1, chr, 1);
    bit(3, ncol - 1, chr, 0);
  }
  void cornerB(int chr) {
    bit(nrow - 3, 0, chr, 7);
    bit(nrow - 2, 0, chr, 6);
    bit(nrow - 1, 0, chr, 5);
    bit(0, ncol - 4, chr, 4);
    bit(0, ncol - 3, chr, 3);
    bit(0, ncol - 2, chr, 2);
    bit(0, ncol - 1, chr, 1);
    bit(1, ncol - 1, chr, 0);
  }
  void cornerC(int chr) {
    bit(nrow - 3, 0, chr, 7);
    bit(nrow - 2, 0, chr, 6);
    bit(nrow - 1, 0, chr, 5);
    bit(0, ncol - 2, chr, 4);
    bit(0, ncol - 1, chr, 3);
    bit(1, ncol - 1, chr, 2);
    bit(2, ncol - 1, chr, 1);
    bit(3, ncol - 1, chr, 0);
  }
  void cornerD(int chr) {
    bit(nrow - 1, 0, chr, 7);
    bit(nrow - 1, ncol - 1, chr, 6);
    bit(0, ncol - 3, chr, 5);
    bit(0, ncol - 2, chr, 4);
    bit(0, ncol - 1, chr, 3);
    bit(1, ncol - 3, chr, 2);
    bit(1, ncol - 2, chr, 1);
    bit(1, ncol - 1, chr, 0);
  }
  bool empty(int row, int col) const { return array[static_cast<size_t>(row) * ncol + col] == 0; }
};

}  // namespace

std::vector<int> ecc200placement(int nrow, int ncol) {
  std::vector<int> array(static_cast<size_t>(nrow) * ncol, 0);
  Placement pl{array, nrow, ncol};
  int chr = 1, row = 4, col = 0;
  do {
    if (row == nrow && col == 0) pl.cornerA(chr++);
    if (row == nrow - 2 && col == 0 && ncol % 4) pl.cornerB(chr++);
    if (row == nrow - 2 && col == 0 && ncol % 8 == 4) pl.cornerC(chr++);
    if (row == nrow + 4 && col == 2 && !(ncol % 8)) pl.cornerD(chr++);
    do {
      if (row < nrow && col >= 0 && pl.empty(row, col)) pl.block(row, col, chr++);
      row -= 2;
      col += 2;
    } while (row >= 0 && col < ncol);
    row += 1;
    col += 3;
    do {
      if (row >= 0 && col < ncol && pl.empty(row, col)) pl.block(row, col, chr++);
      row += 2;
      col -= 2;
    } while (row < nrow && col >= 0);
    row += 3;
    col += 1;
  } while (row < nrow || col < ncol);
  if (pl.empty(nrow - 1, ncol - 1)) {
    array[static_cast<size_t>(nrow) * ncol - 1] = 1;
    array[static_cast<size_t>(nrow) * ncol - ncol - 2] = 1;
  }
  return array;
}

ModuleGrid DataMatrixSymbol::toModuleGrid() const {
  ModuleGrid out(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) out.set(x, height - 1 - y, dark(x, y));
  return out;
}

namespace {

// The codewords of a value in the one size asked for. Without an encoding
// string both plans of the optimiser are tried before the value is refused.
const Ecc200Size* encodeInFixedSize(const Ecc200Size& row, const std::string* encoding, const uint8_t* data,
                                    int length, std::vector<uint8_t>& codewords, std::string& enc, int& used,
                                    std::ostream& err) {
  const int width = row.W, height = row.H;
  if (encoding) {
    enc = *encoding;
    if (encodeCodewords(codewords, row.bytes, data, length, enc, &used, err) != EncodeResult::kOk) {
      err << format("Barcode too long for %dx%d\n", width, height);
      return nullptr;
    }
    return &row;
  }
  int cost = 0;
  const std::optional<std::string> exact = encmake(data, length, &cost, true);
  std::optional<std::string> made = exact;
  if (made && !made->empty() && cost != row.bytes) made = encmake(data, length, &cost, false);
  const bool madeFits = made && cost <= row.bytes;
  if (madeFits &&
      encodeCodewords(codewords, row.bytes, data, length, *made, &used, err) == EncodeResult::kOk) {
    enc = *made;
    return &row;
  }
  // The other plan (for the end of the symbol, or the general one) may fit where
  // this one does not: the automatic size would take this size for the same data.
  std::optional<std::string> other = made == exact ? encmake(data, length, nullptr, false) : exact;
  std::ostringstream ignored;
  if (other && other != made &&
      encodeCodewords(codewords, row.bytes, data, length, *other, &used, ignored) == EncodeResult::kOk) {
    enc = *other;
    return &row;
  }
  err << format(madeFits ? "Barcode too long for %dx%d\n" : "Cannot make barcode fit %dx%d\n", width, height);
  return nullptr;
}

// The codewords of a value in the smallest size that holds them.
const Ecc200Size* encodeInSmallestSize(const std::string* encoding, const uint8_t* data, int length,
                                       std::vector<uint8_t>& codewords, std::string& enc, int& used,
                                       std::ostream& err) {
  if (encoding) {
    enc = *encoding;
  } else {
    std::optional<std::string> made = encmake(data, length, nullptr, true);
    if (!made) {
      err << "Cannot find suitable size, barcode too long\n";
      return nullptr;
    }
    enc = *made;
  }
  for (const auto& r : ecc200matrix()) {
    const EncodeResult result = encodeCodewords(codewords, r.bytes, data, length, enc, &used, err);
    if (result == EncodeResult::kOk) return &r;
    if (result == EncodeResult::kError) return nullptr;
  }
  err << "Cannot find suitable size, barcode too long\n";
  return nullptr;
}

// The finder and clock patterns of every data region.
void drawFinderPatterns(DataMatrixSymbol& symbol, const Ecc200Size& row) {
  const int W = row.W, H = row.H, FW = row.FW, FH = row.FH;
  auto set = [&](int x, int y) { symbol.grid[static_cast<size_t>(y) * W + x] = 1; };
  for (int y = 0; y < H; y += FH) {
    for (int x = 0; x < W; ++x) set(x, y);
    for (int x = 0; x < W; x += 2) set(x, y + FH - 1);
  }
  for (int x = 0; x < W; x += FW) {
    for (int y = 0; y < H; ++y) set(x, y);
    for (int y = 0; y < H; y += 2) set(x + FW - 1, y);
  }
}

// The codeword bits placed in the mapping matrix and spread over the data regions.
void drawCodewords(DataMatrixSymbol& symbol, const Ecc200Size& row, const std::vector<uint8_t>& codewords) {
  const int W = row.W, H = row.H, FW = row.FW, FH = row.FH;
  const int NC = W - 2 * (W / FW);
  const int NR = H - 2 * (H / FH);
  const std::vector<int> places = ecc200placement(NR, NC);
  for (int y = 0; y < NR; ++y) {
    for (int x = 0; x < NC; ++x) {
      const int v = places[static_cast<size_t>(NR - y - 1) * NC + x];
      const bool dark = v == 1 || (v >= 8 && (codewords[static_cast<size_t>(v / 8 - 1)] & (1 << (v % 8))));
      if (dark)
        symbol.grid[static_cast<size_t>(1 + y + 2 * (y / (FH - 2))) * W + 1 + x + 2 * (x / (FW - 2))] = 1;
    }
  }
}

}  // namespace

std::optional<DataMatrixSymbol> datamatrix_ecc200(int width, int height, const std::string* encoding,
                                                  const uint8_t* data, int length, std::ostream& err) {
  if (length < 0 || (length > 0 && data == nullptr)) length = 0;
  std::vector<uint8_t> codewords;
  std::string enc;
  const Ecc200Size* row = nullptr;
  int used = 0;
  if (width != 0) {
    for (const auto& r : ecc200matrix())
      if (r.W == width && r.H == height) row = &r;
    if (!row) {
      err << format("Invalid size %dx%d\n", width, height);
      return std::nullopt;
    }
    row = encodeInFixedSize(*row, encoding, data, length, codewords, enc, used, err);
  } else {
    row = encodeInSmallestSize(encoding, data, length, codewords, enc, used, err);
  }
  if (!row) return std::nullopt;

  ecc200(codewords, *row);
  DataMatrixSymbol symbol;
  symbol.width = row->W;
  symbol.height = row->H;
  symbol.grid.assign(static_cast<size_t>(row->W) * row->H, 0);
  drawFinderPatterns(symbol, *row);
  drawCodewords(symbol, *row, codewords);
  symbol.encoding = enc;
  symbol.used = used;
  symbol.capacity = row->bytes;
  symbol.ecc = row->eccBytes();
  symbol.codewords = std::move(codewords);
  return symbol;
}

}  // namespace barcode::twod
