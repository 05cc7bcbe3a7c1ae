#pragma once
// Code 39 and full-ASCII (extended) Code 39. Narrow elements are one module,
// wide ones two; every character is followed by a one-module gap. No check
// character is written.

#include "barcode/linear/QVBBarcode.h"

namespace barcode {

class QVBCode39Barcode : public QVBBarcode {
 public:
  const char* className() const override { return "QVBCode39Barcode"; }
  using QVBBarcode::initWithContent;
  // Upper-cases the content first.
  bool initWithContent(const QString& content, bool printsCaption) override;
  // The pattern of a content character; '*' is the start/stop character and
  // cannot be content.
  std::string _encodeChar(char c) const override;
  std::string initiator() const override;
  std::string terminator() const override;
  // Appends the modulo-43 check character (not used by the designer).
  void generateChecksum() override;

  // The 13-module pattern of one of the 44 Code 39 characters, or "".
  static std::string pattern(char c);
};

class QVBExtendedCode39Barcode : public QVBCode39Barcode {
 public:
  const char* className() const override { return "QVBExtendedCode39Barcode"; }
  using QVBBarcode::initWithContent;
  // Keeps the content's case.
  bool initWithContent(const QString& content, bool printsCaption) override;
  // One Code 39 character, or the full-ASCII pair of two.
  std::string _encodeChar(char c) const override;
  static QString getRequirementDescription();
  // The Code 39 characters that stand for c in full-ASCII Code 39; "" if none.
  static std::string fullAsciiPair(char c);
};

}  // namespace barcode
