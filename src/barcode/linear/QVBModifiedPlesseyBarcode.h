#pragma once
// Modified Plessey (MSI): a wide-bar start, four bits per character with the
// most significant first (0 narrow bar and wide space, 1 wide bar and narrow
// space, wide = three modules), a modulo-10 check digit and a narrow-wide-narrow
// stop. The hexadecimal variant also writes A to F as the bits of 10 to 15.

#include "barcode/linear/QVBBarcode.h"

namespace barcode {

class QVBModifiedPlesseyBarcode : public QVBBarcode {
 public:
  const char* className() const override { return "QVBModifiedPlesseyBarcode"; }
  using QVBBarcode::initWithContent;
  // Upper-cases the content, then computes the check digit.
  bool initWithContent(const QString& content, bool printsCaption) override;
  std::string _encodeChar(char c) const override;
  std::string initiator() const override { return "1110"; }
  std::string terminator() const override { return "10001"; }
  // Modulo 10 with doubling of every other digit from the right, per digit so
  // that any length works; A to F count as 10 to 15.
  void generateChecksum() override;

 protected:
  static std::string bitsOf(int value);
};

class QVBModifiedPlesseyHexBarcode : public QVBModifiedPlesseyBarcode {
 public:
  const char* className() const override { return "QVBModifiedPlesseyHexBarcode"; }
  std::string _encodeChar(char c) const override;
};

}  // namespace barcode
