#include "barcode/twod/Pdf417Encoder.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace barcode::twod {

namespace {

const char MIXED_SET[] = "0123456789&\r\t,:#-.$/+%*=^";               // 25 characters
const char PUNCTUATION_SET[] = ";<>@[\\]_`~!\r\t,:\n-.$/\"|*()?{}'";  // 29 characters
constexpr int kMixedCount = 25;
constexpr int kPunctuationCount = 29;

constexpr int START_PATTERN = 0x1FEA8;  // 17 modules
constexpr int STOP_PATTERN = 0x3FA29;   // 18 modules

enum TextType { ALPHA = 0x10000, LOWER = 0x20000, MIXED = 0x40000, PUNCTUATION = 0x80000, ISBYTE = 0x100000 };

bool isTextByte(uint8_t c) {
  return (c >= 32 && c <= 126) || c == '\r' || c == '\n' || c == '\t';
}
bool isDigitByte(uint8_t c) {
  return c >= '0' && c <= '9';
}

int indexIn(const char* set, int count, uint8_t c) {
  for (int i = 0; i < count; ++i)
    if (static_cast<uint8_t>(set[i]) == c) return i;
  return -1;
}

// Class bits and value of the byte at k; -1 past the segment.
int textTypeAndValue(const std::string& text, int end, int k) {
  if (k >= end) return 0;
  const auto c = static_cast<uint8_t>(text[static_cast<size_t>(k)]);
  if (c >= 'A' && c <= 'Z') return ALPHA + c - 'A';
  if (c >= 'a' && c <= 'z') return LOWER + c - 'a';
  if (c == ' ') return ALPHA + LOWER + MIXED + 26;
  const int mixed = indexIn(MIXED_SET, kMixedCount, c);
  const int punctuation = indexIn(PUNCTUATION_SET, kPunctuationCount, c);
  if (mixed >= 0 && punctuation >= 0 && mixed == punctuation) return MIXED + PUNCTUATION + mixed;
  if (mixed >= 0) return MIXED + mixed;
  if (punctuation >= 0) return PUNCTUATION + punctuation;
  return ISBYTE + c;
}

class Assembler {
 public:
  Assembler(pdf417param& p) : p_(p) {}

  bool push(int codeword) {
    if (position_ >= 928) {
      p_.error = 1;
      return false;
    }
    p_.codewords[static_cast<size_t>(position_++)] = codeword;
    return true;
  }
  bool fits(int count) {
    if (position_ + count > 926) {
      p_.error = 1;
      return false;
    }
    return true;
  }
  int position() const { return position_; }

  void textCompaction(int start, int length) {
    const int end = start + length;
    std::vector<int> dest;
    dest.reserve(static_cast<size_t>(length) * 2 + 2);
    int submode = ALPHA;
    int binaryBytes = 0;
    for (int k = start; k < end; ++k) {
      const int v = textTypeAndValue(p_.text, end, k);
      const int value = v & 0xFFFF;
      for (;;) {
        if ((v & submode) != 0) {
          dest.push_back(value);
          break;
        }
        if (v & ISBYTE) {
          if (dest.size() & 1) {
            dest.push_back(29);
            if (submode == PUNCTUATION) submode = ALPHA;
          }
          dest.push_back(913);
          dest.push_back(value);
          ++binaryBytes;
          break;
        }
        const bool nextTwoPunctuation = (textTypeAndValue(p_.text, end, k + 1) & PUNCTUATION) &&
                                        (textTypeAndValue(p_.text, end, k + 2) & PUNCTUATION);
        if (submode == ALPHA) {
          if (v & LOWER) {
            dest.insert(dest.end(), {27, value});
            submode = LOWER;
          } else if (v & MIXED) {
            dest.insert(dest.end(), {28, value});
            submode = MIXED;
          } else if (nextTwoPunctuation) {
            dest.insert(dest.end(), {28, 25, value});
            submode = PUNCTUATION;
          } else {
            dest.insert(dest.end(), {29, value});
          }
          break;
        }
        if (submode == LOWER) {
          if (v & ALPHA) {
            const bool nextTwoAlpha = (textTypeAndValue(p_.text, end, k + 1) & ALPHA) &&
                                      (textTypeAndValue(p_.text, end, k + 2) & ALPHA);
            if (nextTwoAlpha) {
              dest.insert(dest.end(), {28, 28, value});
              submode = ALPHA;
            } else {
              dest.insert(dest.end(), {27, value});
            }
          } else if (v & MIXED) {
            dest.insert(dest.end(), {28, value});
            submode = MIXED;
          } else if (nextTwoPunctuation) {
            dest.insert(dest.end(), {28, 25, value});
            submode = PUNCTUATION;
          } else {
            dest.insert(dest.end(), {29, value});
          }
          break;
        }
        if (submode == MIXED) {
          if (v & LOWER) {
            dest.insert(dest.end(), {27, value});
            submode = LOWER;
          } else if (v & ALPHA) {
            dest.insert(dest.end(), {28, value});
            submode = ALPHA;
          } else if (nextTwoPunctuation) {
            dest.insert(dest.end(), {25, value});
            submode = PUNCTUATION;
          } else {
            dest.insert(dest.end(), {29, value});
          }
          break;
        }
        // Punctuation: latch to alpha and look at the byte again.
        dest.push_back(29);
        submode = ALPHA;
      }
    }
    if (dest.size() & 1) dest.push_back(29);
    const int count = static_cast<int>((dest.size() + 2 * static_cast<size_t>(binaryBytes)) / 2);
    if (!fits(count)) return;
    for (size_t i = 0; i < dest.size(); i += 2) {
      if (dest[i] == 913) {
        push(913);
        push(dest[i + 1]);
      } else {
        push(30 * dest[i] + dest[i + 1]);
      }
    }
  }

  void byteCompaction(int start, int length) {
    const int count = 5 * (length / 6) + length % 6;
    if (!fits(count)) return;
    const auto* bytes = reinterpret_cast<const uint8_t*>(p_.text.data()) + start;
    int k = 0;
    for (; k + 6 <= length; k += 6) {
      uint64_t value = 0;
      for (int j = 0; j < 6; ++j) value = (value << 8) | bytes[k + j];
      int digits[5];
      for (int j = 4; j >= 0; --j) {
        digits[j] = static_cast<int>(value % 900);
        value /= 900;
      }
      for (int d : digits) push(d);
    }
    for (; k < length; ++k) push(bytes[k]);
  }

  void numberCompaction(int start, int length) {
    int count = 0;
    for (int k = 0; k < length; k += 44) count += std::min(44, length - k) / 3 + 1;
    if (!fits(count)) return;
    for (int k = 0; k < length; k += 44) {
      const int size = std::min(44, length - k);
      // Decimal digits of "1" followed by the group, divided by 900 again and again.
      std::vector<int> decimal;
      decimal.push_back(1);
      for (int j = 0; j < size; ++j) decimal.push_back(p_.text[static_cast<size_t>(start + k + j)] - '0');
      std::vector<int> base900;
      while (!(decimal.size() == 1 && decimal[0] == 0) && !decimal.empty()) {
        std::vector<int> quotient;
        int remainder = 0;
        for (int d : decimal) {
          remainder = remainder * 10 + d;
          const int q = remainder / 900;
          remainder %= 900;
          if (!quotient.empty() || q != 0) quotient.push_back(q);
        }
        base900.push_back(remainder);
        decimal = quotient.empty() ? std::vector<int>{0} : quotient;
      }
      for (auto it = base900.rbegin(); it != base900.rend(); ++it) push(*it);
    }
  }

 private:
  pdf417param& p_;
  int position_ = 1;
};

void cutStretch(const std::string& text, int from, int to, std::vector<Pdf417Segment>& out) {
  int k = from;
  while (k < to) {
    const bool textual = isTextByte(static_cast<uint8_t>(text[static_cast<size_t>(k)]));
    int e = k + 1;
    while (e < to && isTextByte(static_cast<uint8_t>(text[static_cast<size_t>(e)])) == textual) ++e;
    out.push_back({textual ? 'T' : 'B', k, e});
    k = e;
  }
}

void calculateErrorCorrection(pdf417param& p, int dest) {
  int level = p.errorLevel;
  if (level < 0 || level > 8) level = 0;
  const std::vector<int> A = pdf417ErrorCoefficients(level);
  const int k = 2 << level;
  std::vector<int> e(static_cast<size_t>(k), 0);
  for (int i = 0; i < dest; ++i) {
    const int t = p.codewords[static_cast<size_t>(i)] + e[0];
    for (int j = 0; j < k; ++j) {
      const int next = j + 1 < k ? e[static_cast<size_t>(j) + 1] : 0;
      e[static_cast<size_t>(j)] = (next + 929 - (t * A[static_cast<size_t>(k - 1 - j)]) % 929) % 929;
    }
  }
  for (int j = 0; j < k; ++j)
    p.codewords[static_cast<size_t>(dest + j)] = (929 - e[static_cast<size_t>(j)]) % 929;
}

void outPaintCode(pdf417param& p) {
  p.bitColumns = 17 * (p.codeColumns + 3) + 18;
  const int bytesPerRow = (p.bitColumns - 1) / 8 + 1;
  p.lenBits = bytesPerRow * p.codeRows;
  p.outBits.assign(static_cast<size_t>(p.lenBits), 0);
  int codeword = 0;
  for (int row = 0; row < p.codeRows; ++row) {
    size_t bitPosition = static_cast<size_t>(row) * bytesPerRow * 8;
    auto put = [&](uint32_t pattern, int length) {
      for (int i = length - 1; i >= 0; --i, ++bitPosition)
        if (pattern & (1u << i))
          p.outBits[bitPosition / 8] |= static_cast<uint8_t>(0x80 >> (bitPosition % 8));
    };
    const int cluster = row % 3;
    const auto& table = CLUSTERS[static_cast<size_t>(cluster)];
    const int g = 30 * (row / 3);
    const int R = p.codeRows, C = p.codeColumns, L = p.errorLevel;
    int left = 0, right = 0;
    if (cluster == 0) {
      left = g + (R - 1) / 3;
      right = g + C - 1;
    } else if (cluster == 1) {
      left = g + 3 * L + (R - 1) % 3;
      right = g + (R - 1) / 3;
    } else {
      left = g + C - 1;
      right = g + 3 * L + (R - 1) % 3;
    }
    put(START_PATTERN, 17);
    put(table[static_cast<size_t>(left)], 17);
    for (int c = 0; c < C; ++c)
      put(table[static_cast<size_t>(p.codewords[static_cast<size_t>(codeword++)])], 17);
    put(table[static_cast<size_t>(right)], 17);
    put(STOP_PATTERN, 18);
  }
  if (p.options & PDF417_INVERT_BITMAP)
    for (uint8_t& b : p.outBits) b = static_cast<uint8_t>(~b);
}

}  // namespace

bool pdf417param::bar(int row, int column) const {
  const int bytesPerRow = (bitColumns - 1) / 8 + 1;
  const size_t bit = static_cast<size_t>(row) * bytesPerRow * 8 + static_cast<size_t>(column);
  return (outBits[bit / 8] & (0x80 >> (bit % 8))) != 0;
}

std::vector<int> pdf417ErrorCoefficients(int level) {
  const int k = 2 << level;
  // Product of (x - 3^j), lowest power first.
  std::vector<int> poly{1};
  int power = 1;
  for (int j = 1; j <= k; ++j) {
    power = power * 3 % 929;
    std::vector<int> next(poly.size() + 1, 0);
    for (size_t i = 0; i < poly.size(); ++i) {
      next[i + 1] = (next[i + 1] + poly[i]) % 929;
      next[i] = (next[i] + 929 - poly[i] * power % 929) % 929;
    }
    poly = std::move(next);
  }
  poly.pop_back();  // the leading 1
  return poly;
}

int maxPossibleErrorLevel(int room) {
  for (int level = 8; level > 0; --level)
    if ((2 << level) <= room) return level;
  return 0;
}

void pdf417init(pdf417param& p) {
  p.options = 0;
  p.outBits.clear();
  p.lenBits = 0;
  p.error = 0;
  p.lenText = -1;
  p.text.clear();
  p.yHeight = 3.0f;
  p.aspectRatio = 0.5f;
}

void pdf417free(pdf417param& p) {
  p.outBits.clear();
  p.outBits.shrink_to_fit();
  p.lenBits = 0;
}

std::vector<Pdf417Segment> breakString(const std::string& text) {
  const int length = static_cast<int>(text.size());
  std::vector<Pdf417Segment> seg;
  int digits = 0, last = 0;
  for (int k = 0; k < length; ++k) {
    if (isDigitByte(static_cast<uint8_t>(text[static_cast<size_t>(k)]))) {
      ++digits;
      continue;
    }
    if (digits >= 13) {
      cutStretch(text, last, k - digits, seg);
      seg.push_back({'N', k - digits, k});
      last = k;
    }
    digits = 0;
  }
  if (digits >= 13) {
    cutStretch(text, last, length - digits, seg);
    seg.push_back({'N', length - digits, length});
  } else {
    cutStretch(text, last, length, seg);
  }
  auto at = [&](int k) -> Pdf417Segment* {
    return k >= 0 && k < static_cast<int>(seg.size()) ? &seg[static_cast<size_t>(k)] : nullptr;
  };
  auto is = [](const Pdf417Segment* s, char type) { return s && s->type == type; };
  auto len = [](const Pdf417Segment* s) { return s ? s->length() : 0; };
  auto remove = [&](int k) { seg.erase(seg.begin() + k); };
  // Pass 1: a single byte between two texts joins them.
  for (int k = 0; k < static_cast<int>(seg.size()); ++k) {
    Pdf417Segment* v = at(k);
    Pdf417Segment* prev = at(k - 1);
    Pdf417Segment* next = at(k + 1);
    if (is(v, 'B') && len(v) == 1 && is(prev, 'T') && is(next, 'T') && len(prev) + len(next) >= 3) {
      prev->end = next->end;
      remove(k + 1);
      remove(k);
      k = -1;
    }
  }
  // Pass 2: long texts absorb single bytes and texts beside them.
  for (int k = 0; k < static_cast<int>(seg.size()); ++k) {
    Pdf417Segment* v = at(k);
    if (!is(v, 'T') || len(v) < 5) continue;
    bool redo = false;
    Pdf417Segment* prev = at(k - 1);
    if ((is(prev, 'B') && len(prev) == 1) || is(prev, 'T')) {
      v->start = prev->start;
      remove(k - 1);
      --k;
      v = at(k);
      redo = true;
    }
    Pdf417Segment* next = at(k + 1);
    if ((is(next, 'B') && len(next) == 1) || is(next, 'T')) {
      v->end = next->end;
      remove(k + 1);
      redo = true;
    }
    if (redo) k = -1;
  }
  // Pass 3: bytes absorb short texts and bytes beside them.
  for (int k = 0; k < static_cast<int>(seg.size()); ++k) {
    Pdf417Segment* v = at(k);
    if (!is(v, 'B')) continue;
    bool redo = false;
    Pdf417Segment* prev = at(k - 1);
    if ((is(prev, 'T') && len(prev) < 5) || is(prev, 'B')) {
      v->start = prev->start;
      remove(k - 1);
      --k;
      v = at(k);
      redo = true;
    }
    Pdf417Segment* next = at(k + 1);
    if ((is(next, 'T') && len(next) < 5) || is(next, 'B')) {
      v->end = next->end;
      remove(k + 1);
      redo = true;
    }
    if (redo) k = -1;
  }
  // A lone text of 8 or more digits is numeric.
  if (seg.size() == 1 && seg[0].type == 'T' && seg[0].length() >= 8) {
    bool allDigits = true;
    for (int k = seg[0].start; k < seg[0].end && allDigits; ++k)
      allDigits = isDigitByte(static_cast<uint8_t>(text[static_cast<size_t>(k)]));
    if (allDigits) seg[0].type = 'N';
  }
  return seg;
}

void paintCode(pdf417param& p) {
  p.error = 0;
  if (p.options & PDF417_USE_RAW_CODEWORDS) {
    if (p.lenCodewords > 926 || p.lenCodewords < 1 || p.lenCodewords != p.codewords[0]) {
      p.error = 2;
      return;
    }
    // Every codeword is a value of the field: 929 or more has no pattern.
    for (int i = 1; i < p.lenCodewords; ++i) {
      const int value = p.codewords[static_cast<size_t>(i)];
      if (value < 0 || value > 928) {
        p.error = 2;
        return;
      }
    }
  } else {
    if (p.lenText < 0 || p.lenText > static_cast<int>(p.text.size())) {
      const size_t nul = p.text.find('\0');
      p.lenText = static_cast<int>(nul == std::string::npos ? p.text.size() : nul);
    }
    if (p.lenText > kPdf417MaxText) {
      p.error = 1;
      return;
    }
    const std::string text = p.text.substr(0, static_cast<size_t>(p.lenText));
    const std::vector<Pdf417Segment> segments = breakString(text);
    const std::string saved = p.text;
    p.text = text;
    Assembler assembler(p);
    for (size_t k = 0; k < segments.size() && p.error == 0; ++k) {
      const Pdf417Segment& s = segments[k];
      if (s.type == 'T') {
        if (k != 0 && !assembler.push(900)) break;
        assembler.textCompaction(s.start, s.length());
      } else if (s.type == 'B') {
        if (!assembler.push(s.length() % 6 == 0 ? 924 : 901)) break;
        assembler.byteCompaction(s.start, s.length());
      } else {
        if (!assembler.push(902)) break;
        assembler.numberCompaction(s.start, s.length());
      }
    }
    p.text = saved;
    if (p.error) return;
    p.lenCodewords = assembler.position();
    p.codewords[0] = p.lenCodewords;
  }
  const int maxErr = maxPossibleErrorLevel(928 - p.lenCodewords);
  if (!(p.options & PDF417_USE_ERROR_LEVEL)) {
    p.errorLevel = p.lenCodewords < 41 ? 2 : p.lenCodewords < 161 ? 3 : p.lenCodewords < 321 ? 4 : 5;
  }
  p.errorLevel = std::clamp(p.errorLevel, 0, maxErr);
  p.codeColumns = std::clamp(p.codeColumns, 1, 30);
  p.codeRows = std::clamp(p.codeRows, 3, 90);
  const int needed = p.lenCodewords + (2 << p.errorLevel);
  int tot = needed;
  bool fixedColumn = true;
  bool skipShape = false;
  auto maxSquare = [&] {
    if (p.codeColumns < 22) {
      p.codeColumns = 16;
      p.codeRows = 58;
    } else {
      p.codeColumns = 29;
      p.codeRows = 32;
    }
  };
  if (p.options & PDF417_FIXED_RECTANGLE) {
    tot = p.codeColumns * p.codeRows;
    if (tot > 928) {
      maxSquare();
      tot = 928;
    }
    if (tot < needed) {
      tot = needed;
      fixedColumn = !(p.options & PDF417_FIXED_ROWS);
    } else {
      skipShape = true;
    }
  } else if (!(p.options & (PDF417_FIXED_COLUMNS | PDF417_FIXED_ROWS))) {
    const float ratio = std::clamp(p.aspectRatio, 0.001f, 1000.0f);
    const float b = 73.0f * ratio - 4.0f;
    const float product = 68.0f * ratio * static_cast<float>(needed) * p.yHeight;
    const float divisor = 34.0f * ratio;
    const double c = (-b + std::sqrt(static_cast<double>(b) * b + product)) / divisor;
    p.codeColumns = std::clamp(static_cast<int>(c + 0.5), 1, 30);
  } else {
    fixedColumn = (p.options & PDF417_FIXED_COLUMNS) != 0;
  }
  if (!skipShape) {
    if (fixedColumn) {
      p.codeRows = std::max((tot - 1) / p.codeColumns + 1, 3);
      if (p.codeRows > 90) {
        p.codeRows = 90;
        p.codeColumns = (tot - 1) / 90 + 1;
      }
    } else {
      p.codeColumns = (tot - 1) / p.codeRows + 1;
      if (p.codeColumns > 30) {
        p.codeColumns = 30;
        p.codeRows = (tot - 1) / 30 + 1;
      }
    }
    tot = p.codeRows * p.codeColumns;
  }
  if (tot > 928) {
    maxSquare();
    tot = 928;
  }
  p.errorLevel = maxPossibleErrorLevel(tot - p.lenCodewords);
  const int ecc = 2 << p.errorLevel;
  const int dataEnd = tot - ecc;
  while (p.lenCodewords < dataEnd) p.codewords[static_cast<size_t>(p.lenCodewords++)] = 900;
  p.codewords[0] = p.lenCodewords;
  calculateErrorCorrection(p, p.lenCodewords);
  p.lenCodewords = tot;
  outPaintCode(p);
}

}  // namespace barcode::twod
