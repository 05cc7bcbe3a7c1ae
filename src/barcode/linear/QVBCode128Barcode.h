#pragma once
// Code 128 (ISO/IEC 15417): start symbol, the content, a modulo-103 check symbol
// and the stop symbol. The content is written in one code set (A, B or C), fixed
// by the caller or chosen from the content. A character that the set does not
// hold is written with the SHIFT symbol and its value in the other of A and B; an
// odd digit left over in set C is written after CODE B. Every symbol between
// start and check is weighted by its position in the check, so the scanned data
// always equals the content.

#include <vector>

#include "barcode/linear/QVBBarcode.h"

namespace barcode {

class QVBCode128Barcode : public QVBBarcode {
 public:
  enum : int { SetA = 0, SetB = 1, SetC = 2, Automatic = 3 };
  enum : int {
    Shift = 98,
    CodeC = 99,
    CodeB = 100,
    CodeA = 101,
    StartA = 103,
    StartB = 104,
    StartC = 105,
    Stop = 106
  };

  const char* className() const override { return "QVBCode128Barcode"; }

  void setCodeSet(int set) { codeSet_ = set; }
  int codeSet() const { return codeSet_; }

  using QVBBarcode::initWithContent;
  bool initWithContent(const QString& content, bool printsCaption) override;
  int _bestCodeSetForContent() const;

  std::string initiator() const override;
  std::string terminator() const override;
  std::string _encodeChar(char c) const override;
  std::string _encodeChar(char c, int set) const;
  bool _canEncodeChar(char c, int set) const { return !_encodeChar(c, set).empty(); }
  std::string _shiftCharacterForSet(int set) const;
  std::string _encodeNumberPair(const std::string& pair) const;
  int _valueForChar(char c) const;
  char _charForValue(int value) const;
  void generateChecksum() override;
  std::string barcode() const override;
  // Every 7-bit ASCII content; set C only digits.
  bool isContentValid() const override;

  // The symbol values between the start and the check symbol.
  const std::vector<int>& symbols() const { return symbols_; }
  // The module pattern of symbol value 0 to 106, or "".
  static std::string pattern(int value);

 private:
  void buildSymbols();

  int codeSet_ = SetA;
  std::vector<int> symbols_;
};

}  // namespace barcode
