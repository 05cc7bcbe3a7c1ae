#pragma once
// The retail symbologies of ISO/IEC 15420: UPC-A, UPC-E, EAN-13 and EAN-8.
// The content holds the data digits without the check digit; the check digit is
// kept as an ASCII digit in checkDigit (-1 while none is known). A check digit
// that the caller supplies must be the right one, and every character must be a
// digit.

#include "barcode/linear/QVBBarcode.h"

namespace barcode {

// Module-string helpers.
namespace upcean {
// Every '0' becomes '1' and every other character '0' (left-hand to right-hand).
std::string swapHandedness(const std::string& modules);
// swapHandedness, reversed (odd-parity to even-parity left-hand).
std::string swapParity(const std::string& modules);
// Modulo-10 check digit of a digit string (rightmost weight 3), as '0' to '9';
// 0 when the string holds a non-digit.
char checkDigitFor(const std::string& digits);
}  // namespace upcean

class QVBAbstractUPCEANBarcode : public QVBBarcode {
 public:
  const char* className() const override { return "QVBAbstractUPCEANBarcode"; }
  std::string _encodeChar(char c) const override;  // odd-parity left-hand pattern
  std::string initiator() const override { return "101"; }
  std::string terminator() const override { return "101"; }
  int digitsToLeft() const override { return 1; }
  int digitsToRight() const override { return 1; }
  QString rightCaption() const override;
  // modules x barWidth x 1.2; 0 for empty content.
  void calculateWidth() override;
  float firstBar() const override { return caption_.width * 0.1f; }
  float lastBar() const override { return caption_.width * 0.9f - barWidth_; }
  // Modulo-10 check of exactly dataLength() digits; otherwise the check stays.
  void generateChecksum() override;

 protected:
  virtual int dataLength() const { return 11; }
  std::string contentBytes() const { return asciiBytes(caption_.content).value_or(std::string()); }
  bool hasCheckDigit() const { return checkDigit_ >= '0' && checkDigit_ <= '9'; }
  static std::string L(char d);
  static std::string R(char d) { return upcean::swapHandedness(L(d)); }
  static std::string G(char d) { return upcean::swapParity(L(d)); }
};

class QVBUPCABarcode : public QVBAbstractUPCEANBarcode {
 public:
  const char* className() const override { return "QVBUPCABarcode"; }
  using QVBBarcode::initWithContent;
  bool initWithContent(const QString& content, bool printsCaption) override;
  std::string barcode() const override;
  bool isContentValid() const override;
  QString caption() const override;
};

class QVBUPCEBarcode : public QVBUPCABarcode {
 public:
  const char* className() const override { return "QVBUPCEBarcode"; }
  using QVBBarcode::initWithContent;
  bool initWithContent(const QString& content, bool printsCaption) override;
  std::string barcode() const override;
  std::string terminator() const override { return "010101"; }
  bool isContentValid() const override;
  QString caption() const override;
  // True for an even-parity (G) position 1 to 6, from the check digit; inverted
  // for number system 1.
  bool parityForDigit(int position) const;
  // Six UPC-E digits for a 12-digit UPC-A number, or "" when the number has no
  // UPC-E form (the digits a rule drops must be zeros).
  static QString UPCAToUPCE(const QString& upca);
  // The 11 UPC-A digits (without check) that a number system digit and six
  // UPC-E digits stand for; "" for malformed input.
  static std::string expandToUPCA(const std::string& sevenDigits);
};

class QVBEAN13Barcode : public QVBAbstractUPCEANBarcode {
 public:
  const char* className() const override { return "QVBEAN13Barcode"; }
  using QVBBarcode::initWithContent;
  bool initWithContent(const QString& content, bool printsCaption) override;
  std::string barcode() const override;
  bool isContentValid() const override;
  QString caption() const override;
  int digitsToRight() const override { return 0; }
  QString rightCaption() const override { return {}; }
  // True for even parity (G) at position 1 to 6 under the given first digit.
  static bool _parityForSystemDigit(char digit, int position);

 protected:
  int dataLength() const override { return 12; }
};

class QVBEAN8Barcode : public QVBEAN13Barcode {
 public:
  const char* className() const override { return "QVBEAN8Barcode"; }
  using QVBBarcode::initWithContent;
  bool initWithContent(const QString& content, bool printsCaption) override;
  std::string barcode() const override;
  bool isContentValid() const override;
  QString caption() const override;
  int digitsToLeft() const override { return 0; }

 protected:
  int dataLength() const override { return 7; }
};

}  // namespace barcode
