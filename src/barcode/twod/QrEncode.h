#pragma once
// QR Code model 2 (ISO/IEC 18004) encoder: versions 1-40, levels L/M/Q/H,
// numeric, alphanumeric, 8-bit byte and Kanji segments, Reed-Solomon error
// correction, the eight data masks with penalty scoring, and format and
// version information. One object encodes one symbol; it draws nothing.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace barcode::twod {

using std::size_t;

enum QrMode { kQrNumeric = 0, kQrAlphanumeric = 1, kQrByte = 2, kQrKanji = 3 };

// Block structure of one version and level.
struct QrBlocks {
  int totalCodewords = 0;
  int dataCodewords = 0;
  int ecPerBlock = 0;
  int shortBlocks = 0;     // blocks of the first type
  int shortBlockData = 0;  // data codewords in each of them
  int longBlocks = 0;      // blocks of the second type (one more data codeword)
  int blocks() const { return shortBlocks + longBlocks; }
};

// Facts of the standard and what follows from them.
QrBlocks qrBlocks(int version, int level);
int qrDataCodewords(int version, int level);
std::vector<int> qrAlignmentCentres(int version);  // including 6; empty for version 1
// Character capacity of a version and level for a mode (numeric digits, alphanumeric characters,
// bytes, Kanji characters).
int qrCharacterCapacity(int version, int level, QrMode mode);

class CQR_Encode {
 public:
  static constexpr int kMaxModules = 177;
  static constexpr int kMaxDataCodewords = 2956;

  // shiftJisInput: Kanji pairs are looked for only when the bytes are Shift JIS.
  explicit CQR_Encode(bool shiftJisInput = true);

  // level 0-3 (L, M, Q, H); version 0 = smallest fitting; mask -1 = best by penalty.
  // ncSource below 1: source is NUL-terminated. Answers success.
  bool EncodeData(int nLevel, int nVersion, bool bAutoExtent, int nMaskingNo, const uint8_t* lpsSource,
                  int ncSource);

  // Whole-text mode of the bytes.
  int Get_Encoding_Mode(const uint8_t* lpsSource, int ncLength) const;

  int m_nLevel = 0;
  int m_nVersion = 0;
  int m_nVersion_pass = 0;
  int m_nMaskingNo = 0;
  int m_nSymbleSize = 0;
  // Module [x][y] at x * kMaxModules + y; 1 dark, 0 light after encoding.
  std::vector<uint8_t> m_byModuleData;
  uint8_t module(int x, int y) const { return m_byModuleData[static_cast<std::size_t>(x) * kMaxModules + y]; }

  int m_ncDataCodeWordBit = 0;
  std::vector<uint8_t> m_byDataCodeWord;
  struct Segment {
    int mode;
    int length;
  };
  std::vector<Segment> m_segments;
  int m_ncAllCodeWord = 0;
  std::vector<uint8_t> m_byAllCodeWord;

  // Exposed for tests: the segmentation and the bit stream for one version group.
  bool EncodeSourceData(const uint8_t* lpsSource, int ncLength, int nVerGroup);
  int CountPenalty() const;

 private:
  bool IsKanjiData(uint8_t c1, uint8_t c2) const;
  int GetEncodeVersion(int nVersion, const uint8_t* lpsSource, int ncLength);
  int SetBitStream(int nIndex, uint16_t wData, int ncData);
  void GetRSCodeWord();
  void FormatModule();
  void SetFunctionModule();
  void SetFinderPattern(int x, int y);
  void SetAlignmentPattern(int x, int y);
  void SetVersionPattern();
  void SetCodeWordPattern();
  void SetMaskingPattern(int nPatternNo);
  void SetFormatInfoPattern(int nPatternNo);
  uint8_t& at(int x, int y) { return m_byModuleData[static_cast<std::size_t>(x) * kMaxModules + y]; }
  uint8_t at(int x, int y) const { return m_byModuleData[static_cast<std::size_t>(x) * kMaxModules + y]; }

  bool shiftJis_;
};

// Bit length of a segment of n source bytes in a version group (0: 1-9, 1: 10-26, 2: 27-40).
int qrBitLength(int mode, int n, int group);

}  // namespace barcode::twod
