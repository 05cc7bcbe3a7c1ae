#pragma once
// Interleaved 2 of 5 (digits in pairs, the first of a pair in the bars, the
// second in the spaces) and Industrial 2 of 5 (every digit in five bars with
// narrow spaces). A wide element is three modules, a narrow one one module. No
// check digit is written.

#include "barcode/linear/QVBBarcode.h"

namespace barcode {

class QVBInterleavedTwoOfFiveBarcode : public QVBBarcode {
 public:
  const char* className() const override { return "QVBInterleavedTwoOfFiveBarcode"; }
  // An odd-length content gets a leading "0".
  std::string barcode() const override;
  std::string initiator() const override { return "1010"; }
  std::string terminator() const override { return "11101"; }
  // Digits only; empty content is valid.
  bool isContentValid() const override;
  // Weighted modulo-10 check digit (not used by the designer).
  void generateChecksum() override;
  // True when element bar (0 to 4) of the digit is narrow; any other character
  // is all narrow.
  static bool _getBarForDigit(char digit, int bar);
};

class QVBIndustrialTwoOfFiveBarcode : public QVBInterleavedTwoOfFiveBarcode {
 public:
  const char* className() const override { return "QVBIndustrialTwoOfFiveBarcode"; }
  std::string barcode() const override;
  // Start: wide bar, wide bar, narrow bar; stop: wide bar, narrow bar, wide bar.
  std::string initiator() const override { return "1110111010"; }
  std::string terminator() const override { return "111010111"; }
};

}  // namespace barcode
