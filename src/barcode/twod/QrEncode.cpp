#include "barcode/twod/QrEncode.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "barcode/twod/ReedSolomon.h"

namespace barcode::twod {

namespace {

// Error-correction codewords per block and number of blocks, by level (L, M, Q, H)
// and version (index 0 unused): the error-correction characteristics of ISO/IEC 18004.
constexpr int8_t kEcPerBlock[4][41] = {
    {0,  7,  10, 15, 20, 26, 18, 20, 24, 30, 18, 20, 24, 26, 30, 22, 24, 28, 30, 28, 28,
     28, 28, 30, 30, 26, 28, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30},
    {0,  10, 16, 26, 18, 24, 16, 18, 22, 22, 26, 30, 22, 22, 24, 24, 28, 28, 26, 26, 26,
     26, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28},
    {0,  13, 22, 18, 26, 18, 24, 18, 22, 20, 24, 28, 26, 24, 20, 30, 24, 28, 28, 26, 30,
     28, 30, 30, 30, 30, 28, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30},
    {0,  17, 28, 22, 16, 22, 28, 26, 26, 24, 28, 24, 28, 22, 24, 24, 30, 28, 28, 26, 28,
     30, 24, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30},
};
constexpr int8_t kBlockCount[4][41] = {
    {0, 1, 1, 1,  1,  1,  2,  2,  2,  2,  4,  4,  4,  4,  4,  6,  6,  6,  6,  7, 8,
     8, 9, 9, 10, 12, 12, 12, 13, 14, 15, 16, 17, 18, 19, 19, 20, 21, 22, 24, 25},
    {0,  1,  1,  1,  2,  2,  4,  4,  4,  5,  5,  5,  8,  9,  9,  10, 10, 11, 13, 14, 16,
     17, 17, 18, 20, 21, 23, 25, 26, 28, 29, 31, 33, 35, 37, 38, 40, 43, 45, 47, 49},
    {0,  1,  1,  2,  2,  4,  4,  6,  6,  8,  8,  8,  10, 12, 16, 12, 17, 16, 18, 21, 20,
     23, 23, 25, 27, 29, 34, 34, 35, 38, 40, 43, 45, 48, 51, 53, 56, 59, 62, 65, 68},
    {0,  1,  1,  2,  4,  4,  4,  5,  6,  8,  8,  11, 11, 16, 16, 18, 16, 19, 21, 25, 25,
     25, 34, 30, 32, 35, 37, 40, 42, 45, 48, 51, 54, 57, 60, 63, 66, 70, 74, 77, 81},
};

constexpr int kIndicatorLen[4][3] = {
    {10, 12, 14},  // numeric
    {9, 11, 13},   // alphanumeric
    {8, 16, 16},   // 8-bit
    {8, 10, 12},   // Kanji
};

constexpr int kMaxBits = CQR_Encode::kMaxDataCodewords * 8;

int groupOf(int version) {
  return version < 10 ? 0 : version < 27 ? 1 : 2;
}

bool IsNumeralData(uint8_t c) {
  return c >= '0' && c <= '9';
}

int AlphabetToBinaly(uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  switch (c) {
    case ' ':
      return 36;
    case '$':
      return 37;
    case '%':
      return 38;
    case '*':
      return 39;
    case '+':
      return 40;
    case '-':
      return 41;
    case '.':
      return 42;
    case '/':
      return 43;
    case ':':
      return 44;
    default:
      return -1;
  }
}
bool IsAlphabetData(uint8_t c) {
  return AlphabetToBinaly(c) >= 0;
}

int KanjiToBinaly(int code) {
  code -= code <= 0x9FFC ? 0x8140 : 0xC140;
  return ((code >> 8) & 0xFF) * 0xC0 + (code & 0xFF);
}

// Modules taken by function patterns, counted from the layout of the symbol.
int totalCodewords(int version) {
  const int size = 4 * version + 17;
  int modules = size * size - 3 * 64 - 31 - 2 * (size - 16);
  if (version >= 2) {
    const int n = version / 7 + 2;
    modules -= 25 * (n * n - 3) - 5 * 2 * (n - 2);
  }
  if (version >= 7) modules -= 36;
  return modules / 8;
}

int bchRemainder(int value, int generator, int generatorBits) {
  const int degree = generatorBits - 1;
  int rem = value << degree;
  for (int bit = 31; bit >= degree; --bit)
    if (rem & (1 << bit)) rem ^= generator << (bit - degree);
  return rem;
}

}  // namespace

QrBlocks qrBlocks(int version, int level) {
  QrBlocks b;
  b.totalCodewords = totalCodewords(version);
  const int blocks = kBlockCount[level][version];
  b.ecPerBlock = kEcPerBlock[level][version];
  b.dataCodewords = b.totalCodewords - blocks * b.ecPerBlock;
  b.longBlocks = b.totalCodewords % blocks;
  b.shortBlocks = blocks - b.longBlocks;
  b.shortBlockData = b.totalCodewords / blocks - b.ecPerBlock;
  return b;
}

int qrDataCodewords(int version, int level) {
  return qrBlocks(version, level).dataCodewords;
}

std::vector<int> qrAlignmentCentres(int version) {
  if (version < 2) return {};
  const int n = version / 7 + 2;
  const int size = 4 * version + 17;
  const int step = version == 32 ? 26 : (version * 4 + n * 2 + 1) / (n * 2 - 2) * 2;
  std::vector<int> centres(static_cast<size_t>(n));
  centres[0] = 6;
  for (int i = n - 1, pos = size - 7; i >= 1; --i, pos -= step) centres[static_cast<size_t>(i)] = pos;
  return centres;
}

int qrBitLength(int mode, int n, int group) {
  const int w = kIndicatorLen[mode][group];
  switch (mode) {
    case kQrNumeric:
      return 4 + w + 10 * (n / 3) + (n % 3 == 0 ? 0 : n % 3 == 1 ? 4 : 7);
    case kQrAlphanumeric:
      return 4 + w + 11 * (n / 2) + 6 * (n % 2);
    case kQrByte:
      return 4 + w + 8 * n;
    default:
      return 4 + w + 13 * (n / 2);
  }
}

int qrCharacterCapacity(int version, int level, QrMode mode) {
  const int bits = qrDataCodewords(version, level) * 8;
  const int group = groupOf(version);
  const int unit = mode == kQrKanji ? 2 : 1;
  int n = 0;
  while (qrBitLength(mode, (n + 1) * unit, group) <= bits) ++n;
  // The count indicator bounds the length too.
  const int maxCount = (1 << kIndicatorLen[mode][group]) - 1;
  return std::min(n, maxCount);
}

CQR_Encode::CQR_Encode(bool shiftJisInput)
    : m_byModuleData(static_cast<size_t>(kMaxModules) * kMaxModules, 0),
      m_byDataCodeWord(kMaxDataCodewords, 0),
      m_byAllCodeWord(3706, 0),
      shiftJis_(shiftJisInput) {}

bool CQR_Encode::IsKanjiData(uint8_t c1, uint8_t c2) const {
  if (!shiftJis_) return false;
  if (!((c1 >= 0x81 && c1 <= 0x9F) || (c1 >= 0xE0 && c1 <= 0xEB)) || c2 < 0x40) return false;
  if (c1 == 0x9F && c2 > 0xFC) return false;
  if (c1 == 0xEB && c2 > 0xBF) return false;
  return true;
}

int CQR_Encode::Get_Encoding_Mode(const uint8_t* s, int n) const {
  bool anyKanji = false, anyAlpha = false, anyDigit = false;
  for (int i = 0; i < n; ++i) {
    if (i + 1 < n && IsKanjiData(s[i], s[i + 1])) {
      anyKanji = true;
      ++i;
    } else if (IsNumeralData(s[i])) {
      anyDigit = true;
    } else if (IsAlphabetData(s[i])) {
      anyAlpha = true;
    } else {
      return kQrByte;
    }
  }
  if (anyKanji) return kQrKanji;
  if (anyAlpha) return kQrAlphanumeric;
  if (anyDigit) return kQrNumeric;
  return kQrByte;
}

int CQR_Encode::SetBitStream(int nIndex, uint16_t wData, int ncData) {
  if (nIndex == -1 || nIndex + ncData > kMaxBits) return -1;
  for (int i = 0; i < ncData; ++i) {
    if (wData & (1 << (ncData - i - 1)))
      m_byDataCodeWord[static_cast<size_t>((nIndex + i) / 8)] |=
          static_cast<uint8_t>(1 << (7 - ((nIndex + i) % 8)));
  }
  return nIndex + ncData;
}

bool CQR_Encode::EncodeSourceData(const uint8_t* s, int n, int g) {
  auto& seg = m_segments;
  seg.clear();
  // First cut.
  for (int i = 0; i < n;) {
    int mode, step = 1;
    if (i + 1 < n && IsKanjiData(s[i], s[i + 1])) {
      mode = kQrKanji;
      step = 2;
    } else if (IsNumeralData(s[i])) {
      mode = kQrNumeric;
    } else if (IsAlphabetData(s[i])) {
      mode = kQrAlphanumeric;
    } else {
      mode = kQrByte;
    }
    if (seg.empty() || seg.back().mode != mode) seg.push_back({mode, 0});
    seg.back().length += step;
    i += step;
  }
  auto bits = [&](size_t k) { return qrBitLength(seg[k].mode, seg[k].length, g); };
  auto absorb = [&](size_t into, size_t from) {  // segment into takes segment from (from == into + 1)
    seg[into].length += seg[from].length;
    seg.erase(seg.begin() + static_cast<std::ptrdiff_t>(from));
  };
  // Pass 1: numeric and alphanumeric neighbours.
  for (size_t k = 0; k + 1 < seg.size();) {
    const int m1 = seg[k].mode, m2 = seg[k + 1].mode;
    if (!((m1 == kQrNumeric && m2 == kQrAlphanumeric) || (m1 == kQrAlphanumeric && m2 == kQrNumeric))) {
      ++k;
      continue;
    }
    const int separate = bits(k) + bits(k + 1);
    const int joined = qrBitLength(kQrAlphanumeric, seg[k].length + seg[k + 1].length, g);
    if (separate <= joined) {
      ++k;
      continue;
    }
    int front = 0, behind = 0;
    if (k >= 1 && seg[k - 1].mode == kQrByte) {
      front = qrBitLength(kQrByte, seg[k - 1].length + seg[k].length, g) + bits(k + 1);
      if (front > joined + qrBitLength(kQrByte, seg[k - 1].length, g)) front = 0;
    }
    if (k + 2 < seg.size() && seg[k + 2].mode == kQrByte) {
      behind = bits(k) + qrBitLength(kQrByte, seg[k + 1].length + seg[k + 2].length, g);
      if (behind > joined + qrBitLength(kQrByte, seg[k + 2].length, g)) behind = 0;
    }
    bool useFront = false, useBehind = false;
    if (front && behind)
      (front < behind ? useFront : useBehind) = true;
    else if (front)
      useFront = true;
    else if (behind)
      useBehind = true;
    if (useFront) {
      absorb(k - 1, k);
    } else if (useBehind) {
      seg[k + 1].mode = kQrByte;
      absorb(k + 1, k + 2);
    } else {
      if (k + 2 < seg.size() && seg[k + 2].mode == kQrAlphanumeric) absorb(k + 1, k + 2);
      seg[k].mode = kQrAlphanumeric;
      absorb(k, k + 1);
      if (k >= 1 && seg[k - 1].mode == kQrAlphanumeric) absorb(k - 1, k);
    }
  }
  // Pass 2: 8-bit absorption.
  const int byteHeader = 4 + kIndicatorLen[kQrByte][g];
  for (size_t k = 0; k + 1 < seg.size();) {
    const int separate = bits(k) + bits(k + 1);
    int joined = qrBitLength(kQrByte, seg[k].length + seg[k + 1].length, g);
    if (k >= 1 && seg[k - 1].mode == kQrByte) joined -= byteHeader;
    if (k + 2 < seg.size() && seg[k + 2].mode == kQrByte) joined -= byteHeader;
    if (separate <= joined) {
      ++k;
      continue;
    }
    if (k >= 1 && seg[k - 1].mode == kQrByte) {
      absorb(k - 1, k);
      --k;
    }
    if (k + 2 < seg.size() && seg[k + 2].mode == kQrByte) absorb(k + 1, k + 2);
    seg[k].mode = kQrByte;
    if (k + 1 < seg.size()) absorb(k, k + 1);
    if (k > 0) --k;
  }
  // Bit stream.
  std::fill(m_byDataCodeWord.begin(), m_byDataCodeWord.end(), 0);
  int bit = 0;
  int pos = 0;
  static constexpr uint16_t kIndicator[4] = {1, 2, 4, 8};
  for (const Segment& sg : seg) {
    if (bit < 0) break;
    const int w = kIndicatorLen[sg.mode][g];
    const int count = sg.mode == kQrKanji ? sg.length / 2 : sg.length;
    if (count >= (1 << w)) {
      bit = -1;
      break;
    }
    bit = SetBitStream(bit, kIndicator[sg.mode], 4);
    bit = SetBitStream(bit, static_cast<uint16_t>(count), w);
    const uint8_t* p = s + pos;
    switch (sg.mode) {
      case kQrNumeric:
        for (int i = 0; i < sg.length; i += 3) {
          const int take = std::min(3, sg.length - i);
          int value = 0;
          for (int j = 0; j < take; ++j) value = value * 10 + (p[i + j] - '0');
          bit = SetBitStream(bit, static_cast<uint16_t>(value), take == 3 ? 10 : take == 2 ? 7 : 4);
        }
        break;
      case kQrAlphanumeric:
        for (int i = 0; i < sg.length; i += 2) {
          if (i + 1 < sg.length)
            bit = SetBitStream(
                bit, static_cast<uint16_t>(AlphabetToBinaly(p[i]) * 45 + AlphabetToBinaly(p[i + 1])), 11);
          else
            bit = SetBitStream(bit, static_cast<uint16_t>(AlphabetToBinaly(p[i])), 6);
        }
        break;
      case kQrByte:
        for (int i = 0; i < sg.length; ++i) bit = SetBitStream(bit, p[i], 8);
        break;
      default:
        for (int i = 0; i + 1 < sg.length; i += 2)
          bit = SetBitStream(bit, static_cast<uint16_t>(KanjiToBinaly((p[i] << 8) | p[i + 1])), 13);
        break;
    }
    pos += sg.length;
  }
  m_ncDataCodeWordBit = bit;
  return bit != -1;
}

int CQR_Encode::GetEncodeVersion(int nVersion, const uint8_t* s, int n) {
  const int startGroup = nVersion < 10 ? 0 : nVersion < 27 ? 1 : 2;
  static constexpr int kFirst[3] = {1, 10, 27};
  static constexpr int kLast[3] = {9, 26, 40};
  for (int g = startGroup; g <= 2; ++g) {
    if (!EncodeSourceData(s, n, g)) continue;
    const int needed = (m_ncDataCodeWordBit + 7) / 8;
    for (int v = kFirst[g]; v <= kLast[g]; ++v)
      if (qrDataCodewords(v, m_nLevel) >= needed) return v;
  }
  return 0;
}

bool CQR_Encode::EncodeData(int nLevel, int nVersion, bool bAutoExtent, int nMaskingNo, const uint8_t* s,
                            int n) {
  if (nLevel < 0 || nLevel > 3 || nVersion < 0 || nVersion > 40 || nMaskingNo < -1 || nMaskingNo > 7)
    return false;
  m_nLevel = nLevel;
  m_nVersion_pass = nVersion == 0 ? 1 : nVersion;
  m_nMaskingNo = nMaskingNo;
  if (s == nullptr) return false;
  if (n < 1) n = static_cast<int>(std::strlen(reinterpret_cast<const char*>(s)));
  if (n < 1) return false;

  const int needed = GetEncodeVersion(nVersion, s, n);
  if (needed == 0) return false;
  if (nVersion > 0 && needed > nVersion && !bAutoExtent) return false;
  // A larger requested version must be encoded with its own count indicator widths.
  int version = std::max(needed, nVersion);
  if (groupOf(version) != groupOf(needed) && !EncodeSourceData(s, n, groupOf(version))) return false;
  m_nVersion = version;

  const QrBlocks blocks = qrBlocks(version, nLevel);
  const int capacityBits = blocks.dataCodewords * 8;
  if (m_ncDataCodeWordBit > capacityBits) return false;
  const int terminator = std::min(4, capacityBits - m_ncDataCodeWordBit);
  if (terminator > 0) m_ncDataCodeWordBit += terminator;
  for (int i = (m_ncDataCodeWordBit + 7) / 8, k = 0; i < blocks.dataCodewords; ++i, ++k)
    m_byDataCodeWord[static_cast<size_t>(i)] = (k % 2 == 0) ? 0xEC : 0x11;

  m_ncAllCodeWord = blocks.totalCodewords;
  std::fill(m_byAllCodeWord.begin(), m_byAllCodeWord.end(), 0);
  GetRSCodeWord();

  m_nSymbleSize = 4 * version + 17;
  FormatModule();
  return true;
}

void CQR_Encode::GetRSCodeWord() {
  const QrBlocks b = qrBlocks(m_nVersion, m_nLevel);
  const GaloisField256& field = GaloisField256::qrField();
  const std::vector<uint8_t> generator = field.generator(b.ecPerBlock, 0);
  const int total = b.blocks();
  int source = 0;
  for (int blk = 0; blk < total; ++blk) {
    const int data = b.shortBlockData + (blk >= b.shortBlocks ? 1 : 0);
    const uint8_t* block = &m_byDataCodeWord[static_cast<size_t>(source)];
    for (int j = 0; j < data; ++j) {
      const int position =
          j < b.shortBlockData ? blk + j * total : b.shortBlockData * total + (blk - b.shortBlocks);
      m_byAllCodeWord[static_cast<size_t>(position)] = block[j];
    }
    const std::vector<uint8_t> ec = field.remainder(block, static_cast<size_t>(data), generator);
    for (int j = 0; j < b.ecPerBlock; ++j)
      m_byAllCodeWord[static_cast<size_t>(b.dataCodewords + blk + j * total)] = ec[static_cast<size_t>(j)];
    source += data;
  }
}

void CQR_Encode::FormatModule() {
  std::fill(m_byModuleData.begin(), m_byModuleData.end(), 0);
  SetFunctionModule();
  SetCodeWordPattern();
  if (m_nMaskingNo == -1) {
    int best = 0, bestPenalty = 0;
    for (int mask = 0; mask < 8; ++mask) {
      SetMaskingPattern(mask);
      SetFormatInfoPattern(mask);
      const int penalty = CountPenalty();
      if (mask == 0 || penalty < bestPenalty) {
        best = mask;
        bestPenalty = penalty;
      }
    }
    m_nMaskingNo = best;
  }
  SetMaskingPattern(m_nMaskingNo);
  SetFormatInfoPattern(m_nMaskingNo);
  for (int x = 0; x < m_nSymbleSize; ++x)
    for (int y = 0; y < m_nSymbleSize; ++y) at(x, y) = (at(x, y) & 0x11) ? 1 : 0;
}

void CQR_Encode::SetFinderPattern(int x, int y) {
  static constexpr uint8_t kFinder[7] = {0x7F, 0x41, 0x5D, 0x5D, 0x5D, 0x41, 0x7F};
  for (int i = 0; i < 7; ++i)
    for (int j = 0; j < 7; ++j) at(x + j, y + i) = (kFinder[i] & (1 << (6 - j))) ? 0x30 : 0x20;
}

void CQR_Encode::SetAlignmentPattern(int x, int y) {
  static constexpr uint8_t kAlignment[5] = {0x1F, 0x11, 0x15, 0x11, 0x1F};
  if (at(x, y) & 0x20) return;
  x -= 2;
  y -= 2;
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < 5; ++j) at(x + j, y + i) = (kAlignment[i] & (1 << (4 - j))) ? 0x30 : 0x20;
}

void CQR_Encode::SetFunctionModule() {
  const int size = m_nSymbleSize;
  SetFinderPattern(0, 0);
  SetFinderPattern(size - 7, 0);
  SetFinderPattern(0, size - 7);
  for (int i = 0; i < 8; ++i) {
    at(i, 7) = at(7, i) = 0x20;
    at(size - 8, i) = at(size - 8 + i, 7) = 0x20;
    at(i, size - 8) = at(7, size - 8 + i) = 0x20;
  }
  for (int i = 0; i < 9; ++i) at(i, 8) = at(8, i) = 0x20;
  for (int i = 0; i < 8; ++i) at(size - 8 + i, 8) = at(8, size - 8 + i) = 0x20;
  SetVersionPattern();
  const std::vector<int> centres = qrAlignmentCentres(m_nVersion);
  for (int cx : centres)
    for (int cy : centres) SetAlignmentPattern(cx, cy);
  for (int i = 8; i <= size - 9; ++i) at(i, 6) = at(6, i) = (i % 2 == 0) ? 0x30 : 0x20;
}

void CQR_Encode::SetVersionPattern() {
  if (m_nVersion <= 6) return;
  const int size = m_nSymbleSize;
  const int info = (m_nVersion << 12) | bchRemainder(m_nVersion, 0x1F25, 13);
  for (int i = 0; i < 6; ++i)
    for (int j = 0; j < 3; ++j) {
      const uint8_t v = (info & (1 << (3 * i + j))) ? 0x30 : 0x20;
      at(i, size - 11 + j) = v;
      at(size - 11 + j, i) = v;
    }
}

void CQR_Encode::SetCodeWordPattern() {
  const int size = m_nSymbleSize;
  const int totalBits = m_ncAllCodeWord * 8;
  int index = 0;
  for (int right = size - 1; right >= 1; right -= 2) {
    if (right == 6) right = 5;
    const bool upward = ((right + 1) & 2) == 0;
    for (int vert = 0; vert < size; ++vert) {
      const int y = upward ? size - 1 - vert : vert;
      for (int j = 0; j < 2; ++j) {
        const int x = right - j;
        if (at(x, y) & 0x20) continue;
        if (index < totalBits) {
          const bool on = m_byAllCodeWord[static_cast<size_t>(index / 8)] & (1 << (7 - index % 8));
          at(x, y) = on ? 0x02 : 0x00;
          ++index;
        }
      }
    }
  }
}

void CQR_Encode::SetMaskingPattern(int mask) {
  const int size = m_nSymbleSize;
  for (int i = 0; i < size; ++i) {    // row
    for (int j = 0; j < size; ++j) {  // column
      uint8_t& m = at(j, i);
      if (m & 0x20) continue;
      bool c = false;
      switch (mask) {
        case 0:
          c = (i + j) % 2 == 0;
          break;
        case 1:
          c = i % 2 == 0;
          break;
        case 2:
          c = j % 3 == 0;
          break;
        case 3:
          c = (i + j) % 3 == 0;
          break;
        case 4:
          c = ((i / 2) + (j / 3)) % 2 == 0;
          break;
        case 5:
          c = (i * j) % 2 + (i * j) % 3 == 0;
          break;
        case 6:
          c = ((i * j) % 2 + (i * j) % 3) % 2 == 0;
          break;
        default:
          c = ((i * j) % 3 + (i + j) % 2) % 2 == 0;
          break;
      }
      const bool bit = ((m & 0x02) != 0) != c;
      m = static_cast<uint8_t>((m & 0xFE) | (bit ? 0x01 : 0x00));
    }
  }
}

void CQR_Encode::SetFormatInfoPattern(int mask) {
  static constexpr int kLevelIndicator[4] = {1, 0, 3, 2};
  const int data = kLevelIndicator[m_nLevel] * 8 + mask;
  const int info = ((data << 10) | bchRemainder(data, 0x537, 11)) ^ 0x5412;
  const int size = m_nSymbleSize;
  auto v = [&](int k) -> uint8_t { return (info & (1 << k)) ? 0x30 : 0x20; };
  for (int k = 0; k <= 5; ++k) at(8, k) = v(k);
  at(8, 7) = v(6);
  at(8, 8) = v(7);
  at(7, 8) = v(8);
  for (int k = 9; k <= 14; ++k) at(14 - k, 8) = v(k);
  for (int k = 0; k <= 7; ++k) at(size - 1 - k, 8) = v(k);
  for (int k = 8; k <= 14; ++k) at(8, size - 15 + k) = v(k);
  at(8, size - 8) = 0x30;
}

int CQR_Encode::CountPenalty() const {
  const int size = m_nSymbleSize;
  // Dark modules once, row by row ([y][x]) and column by column ([x][y]).
  std::vector<uint8_t> rows(static_cast<size_t>(size) * size), columns(static_cast<size_t>(size) * size);
  int light = 0;
  for (int x = 0; x < size; ++x)
    for (int y = 0; y < size; ++y) {
      const uint8_t d = (at(x, y) & 0x11) ? 1 : 0;
      rows[static_cast<size_t>(y) * size + x] = d;
      columns[static_cast<size_t>(x) * size + y] = d;
      light += d ? 0 : 1;
    }
  int penalty = 0;
  static constexpr uint8_t kPattern[7] = {1, 0, 1, 1, 1, 0, 1};
  // Each line: columns (fixed x) first, then rows (fixed y).
  for (const std::vector<uint8_t>* lines : {&columns, &rows}) {
    for (int a = 0; a < size; ++a) {
      const uint8_t* m = lines->data() + static_cast<size_t>(a) * size;
      // Runs of five or more.
      int run = 1;
      for (int b = 1; b <= size; ++b) {
        if (b < size && m[b] == m[b - 1]) {
          ++run;
        } else {
          if (run >= 5) penalty += run - 2;
          run = 1;
        }
      }
      // Finder-like patterns.
      auto lightOrOutside = [&](int b) { return b < 0 || b >= size || !m[b]; };
      for (int p = 0; p + 6 < size; ++p) {
        if (std::memcmp(m + p, kPattern, 7) != 0) continue;
        if (!(p == 0 || !m[p - 1])) continue;
        if (!(p + 6 == size - 1 || !m[p + 7])) continue;
        if ((lightOrOutside(p - 2) && lightOrOutside(p - 3) && lightOrOutside(p - 4)) ||
            (lightOrOutside(p + 8) && lightOrOutside(p + 9) && lightOrOutside(p + 10)))
          penalty += 40;
      }
    }
  }
  // 2 x 2 blocks.
  for (int y = 0; y + 1 < size; ++y) {
    const uint8_t* r0 = rows.data() + static_cast<size_t>(y) * size;
    const uint8_t* r1 = r0 + size;
    for (int x = 0; x + 1 < size; ++x)
      if (r0[x] == r0[x + 1] && r0[x] == r1[x] && r0[x] == r1[x + 1]) penalty += 3;
  }
  // Balance.
  const int total = size * size;
  const int k = std::abs(50 - (100 * light / total)) / 5;
  penalty += 10 * k;
  return penalty;
}

}  // namespace barcode::twod
