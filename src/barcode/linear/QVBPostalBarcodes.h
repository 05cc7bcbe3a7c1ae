#pragma once
// Postal symbologies: POSTNET and PLANET (tall and short bars) and the
// four-state codes of Royal Mail (RM4SCC) and Japan Post. All bars have the same
// width; the information lies in where each bar starts and ends. In the four-state
// codes a bar may reach up (ascender), down (descender), both (full) or neither
// (tracker).

#include "barcode/linear/QVBBarcode.h"

namespace barcode {

class QVBPostnetBarcode : public QVBBarcode {
 public:
  const char* className() const override { return "QVBPostnetBarcode"; }
  using QVBBarcode::initWithContent;
  // Bar width 1.08 pt, height 9 pt, check digit.
  bool initWithContent(const QString& content, bool printsCaption) override;
  std::string initiator() const override { return "100"; }
  std::string terminator() const override { return "1"; }
  std::string _encodeChar(char) const override { return "100100100100100"; }
  // 9 pt for the frame bars, else the height of bar b of character k.
  float barTop(int index, const BarcodeDrawingState& state) const override;
  void generateChecksum() override;
  // Digits only, 5, 9 or 11 of them.
  bool isContentValid() const override;
  // Height in inches of bar 1 to 5 of a digit: 0.125 tall, 0.05 short, 0 for a
  // character that is not a digit.
  virtual float _heightForDigit(char digit, int bar) const;
};

class QVBPlanetBarcode : public QVBPostnetBarcode {
 public:
  const char* className() const override { return "QVBPlanetBarcode"; }
  float _heightForDigit(char digit, int bar) const override;
};

class QVBRoyalMailBarcode : public QVBBarcode {
 public:
  const char* className() const override { return "QVBRoyalMailBarcode"; }
  using QVBBarcode::initWithContent;
  // Upper-cases the content; bar width 0.5 mm, height 5.05 mm, check character.
  bool initWithContent(const QString& content, bool printsCaption) override;
  std::string initiator() const override { return "10"; }
  std::string terminator() const override { return "1"; }
  // Four bars for the digits and capital letters; "" for anything else.
  std::string _encodeChar(char c) const override;
  float barTop(int index, const BarcodeDrawingState& state) const override;
  float barBottom(int index, const BarcodeDrawingState& state) const override;
  bool drawsBarBottoms() const override { return true; }
  float symbolTop() const override;
  void generateChecksum() override;
  bool printsCaption() const override { return true; }
  bool printsHeader() const override { return true; }
  bool printsFooter() const override { return true; }
  // 0 tracker, 1 descender, 2 ascender, 3 full, for the bar at a module index.
  int _barDescriptor(int index) const;
};

// Plain functions of the Royal Mail tables.
int royalmail_characterDescriptor(char c);  // four 4-bit groups, first bar most significant; 0 if none
int royalmail_barDescriptor(int characterDescriptor, int bar);
float royalmail_barTop(int barDescriptor);                  // points
float royalmail_barBottom(int barDescriptor);               // points
int royalmail_collapseAscenders(int characterDescriptor);   // 4-bit ascender pattern
int royalmail_collapseDescenders(int characterDescriptor);  // 4-bit descender pattern

class JapanPostBarcode : public QVBBarcode {
 public:
  const char* className() const override { return "JapanPostBarcode"; }
  using QVBBarcode::initWithContent;
  bool initWithContent(const QString& content, bool printsCaption, float barWidth, float height,
                       float fontSize, signed char checkDigit) override;
  // Turns the upper-cased text into the 20 symbols (letters take a control code
  // and a digit, padding with control code 4) and keeps the caption text (its
  // letters, digits and hyphens) as content.
  void setContent(const QString& content) override;
  // The picture height; the symbol height follows it within 8.5 to 11.5 and
  // gives the bar width (symbol height / 6).
  void setHeight(float height) override;
  // Clamped to 1.3333333 ... 1.9166667; the symbol height becomes 6 x bar width.
  void setBarWidth(float barWidth) override;
  float symbolHeight() const { return symbolHeight_; }
  const std::string& japanpostContents() const { return japanpostContents_; }

  std::string initiator() const override { return "1010"; }
  std::string terminator() const override { return "101"; }
  std::string _encodeChar(char) const override { return "101010"; }
  std::string barcode() const override;
  float barTop(int index, const BarcodeDrawingState& state) const override;
  float barBottom(int index, const BarcodeDrawingState& state) const override;
  bool drawsBarBottoms() const override { return true; }
  float symbolTop() const override;
  void generateChecksum() override;
  // At least 7 characters, the first 7 digits.
  bool isContentValid() const override;
  bool printsCaption() const override { return true; }
  bool printsHeader() const override { return true; }
  bool printsFooter() const override { return true; }
  int _barDescriptor(int index) const;

 private:
  std::string japanpostContents_;
  float symbolHeight_ = 10.0f;
};

int japanpost_characterDescriptor(char c);  // three 4-bit groups, first bar most significant
int japanpost_barDescriptor(int characterDescriptor, int bar, int bars);
float japanpost_barTop(int barDescriptor, float symbolHeight);     // points
float japanpost_barBottom(int barDescriptor, float symbolHeight);  // points

}  // namespace barcode
