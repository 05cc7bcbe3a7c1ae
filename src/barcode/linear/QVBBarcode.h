#pragma once
// Base of every linear symbology. A value becomes a module string of '1' (bar)
// and '0' (space) characters, one per module of barWidth points, framed by the
// symbology's start and stop patterns, plus the geometry the drawing needs.
//
// Objects are built in two steps: construct, then one of the initWithContent
// calls (which may call overridden operations). The factory in
// LinearSymbologies.h does both. Objects are plain values of one render: no
// shared state, so different threads may build and draw different objects.

#include <QString>
#include <optional>
#include <string>

#include "barcode/BarcodeDrawingState.h"

namespace barcode {

class QVBBarcode {
 public:
  QVBBarcode() = default;
  virtual ~QVBBarcode() = default;
  QVBBarcode(const QVBBarcode&) = default;
  QVBBarcode& operator=(const QVBBarcode&) = default;

  virtual const char* className() const { return "QVBBarcode"; }

  // Initialisers; false for a null content (the object must then not be used).
  bool initWithContent(const QString& content) { return initWithContent(content, true); }
  virtual bool initWithContent(const QString& content, bool printsCaption);
  virtual bool initWithContent(const QString& content, bool printsCaption, float barWidth, float height,
                               float fontSize, signed char checkDigit);

  virtual void setContent(const QString& content) { caption_.content = content; }
  const QString& content() const { return caption_.content; }
  void setHeader(const QString& text) { caption_.header = text; }
  const QString& header() const { return caption_.header; }
  void setFooter(const QString& text) { caption_.footer = text; }
  const QString& footer() const { return caption_.footer; }

  virtual void setHeight(float height) { caption_.height = height; }
  float height() const { return caption_.height; }
  void setWidth(float width) { caption_.width = width; }
  float width() const { return caption_.width; }
  virtual void setBarWidth(float barWidth) { barWidth_ = barWidth; }
  float barWidth() const { return barWidth_; }
  void setCheckDigit(signed char check) { checkDigit_ = check; }
  signed char checkDigit() const { return checkDigit_; }

  virtual void setPrintsCaption(bool on) { caption_.printsCaption = on; }
  virtual bool printsCaption() const { return caption_.printsCaption; }
  virtual void setPrintsHeader(bool on) { caption_.printsHeader = on; }
  virtual bool printsHeader() const { return caption_.printsHeader; }
  virtual void setPrintsFooter(bool on) { caption_.printsFooter = on; }
  virtual bool printsFooter() const { return caption_.printsFooter; }

  void setCaptionHeight(float inches) { caption_.captionHeight = inches; }
  float captionHeight() const { return caption_.captionHeight; }
  void setHeaderHeight(float inches) { caption_.headerHeight = inches; }
  float headerHeight() const { return caption_.headerHeight; }
  void setFooterHeight(float inches) { caption_.footerHeight = inches; }
  float footerHeight() const { return caption_.footerHeight; }
  void setHeaderWidth(float points) { caption_.headerWidth = points; }
  float headerWidth() const { return caption_.headerWidth; }
  void setFooterWidth(float points) { caption_.footerWidth = points; }
  float footerWidth() const { return caption_.footerWidth; }
  float caption_fontSize() const { return caption_.caption_fontSize; }
  float header_fontSize() const { return caption_.header_fontSize; }
  float footer_fontSize() const { return caption_.footer_fontSize; }

  // Store the size and size the text line from the state's matching font; the
  // header and footer setters also measure their text.
  void setCaptionFontSize(float size, const BarcodeDrawingState& state) {
    caption_.setCaptionFontSize(size, state.value_font);
  }
  void setHeaderFontSize(float size, const BarcodeDrawingState& state) {
    caption_.setHeaderFontSize(size, state.header_font);
  }
  void setFooterFontSize(float size, const BarcodeDrawingState& state) {
    caption_.setFooterFontSize(size, state.footer_font);
  }
  const BarcodeCaptionModel& captionModel() const { return caption_; }

  // width = modules x barWidth.
  virtual void calculateWidth();
  virtual bool isSizeValid() const { return true; }
  virtual void generateChecksum() {}
  virtual bool isContentValid() const;

  virtual std::string initiator() const { return {}; }
  virtual std::string terminator() const { return {}; }
  virtual std::string _encodeChar(char c) const;
  // The content's patterns, then the check character's.
  virtual std::string barcode() const;
  std::string completeBarcode() const { return initiator() + barcode() + terminator(); }

  virtual int digitsToLeft() const { return 0; }
  virtual int digitsToRight() const { return 0; }
  QString leftCaption() const;
  virtual QString rightCaption() const;
  virtual QString caption() const;

  // Height available to the bars, in points (heights of printed texts, their
  // margins and twice the top/bottom margin taken off the total height).
  virtual float barTop(int index, const BarcodeDrawingState& state) const;
  // Sum of the printed text heights, in points.
  virtual float barBottom(int index, const BarcodeDrawingState& state) const;
  // Symbologies whose bars differ in where they start and end (four-state
  // codes): the drawing then places every bar from barBottom to barTop above the
  // bars' baseline instead of from the baseline up to barTop.
  virtual bool drawsBarBottoms() const { return false; }
  // Height of the tallest bar for symbologies that place bars by barBottom, in
  // points; the drawing shrinks the symbol when less room is left for the bars.
  virtual float symbolTop() const { return 0.0f; }

  virtual float firstBar() const { return 0.0f; }
  virtual float lastBar() const { return caption_.width - barWidth_; }

  // Height the base rule leaves for the bars (the texts, their margins and the
  // top and bottom margins taken off the height), in points.
  float baseBarTop(const BarcodeDrawingState& state) const;

  QString description() const;
  // Equal contents; class, sizes and texts are not compared.
  bool isEqual(const QVBBarcode& other) const { return caption_.content == other.caption_.content; }

 protected:
  // The content as 7-bit ASCII bytes; nothing when a character lies outside.
  static std::optional<std::string> asciiBytes(const QString& text);
  signed char checkDigit_ = -1;
  float barWidth_ = 0;
  // Value, texts, sizes and what is printed: the same caption fields a 2D
  // picture carries.
  BarcodeCaptionModel caption_;
};

// Module-string helpers shared by the symbologies.
namespace modules {
// n x "1" or n x "0".
inline std::string bars(int n) {
  return std::string(static_cast<size_t>(n), '1');
}
inline std::string spaces(int n) {
  return std::string(static_cast<size_t>(n), '0');
}
// Element widths, alternately bar and space, starting with a bar, as modules.
std::string fromWidths(const char* widths);
inline bool isDigit(char c) {
  return c >= '0' && c <= '9';
}
inline bool allDigits(const std::string& s) {
  for (char c : s)
    if (!isDigit(c)) return false;
  return true;
}
}  // namespace modules

}  // namespace barcode
