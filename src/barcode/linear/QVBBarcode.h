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

  virtual void setContent(const QString& content) { content_ = content; }
  const QString& content() const { return content_; }
  void setHeader(const QString& text) { header_ = text; }
  const QString& header() const { return header_; }
  void setFooter(const QString& text) { footer_ = text; }
  const QString& footer() const { return footer_; }

  virtual void setHeight(float height) { height_ = height; }
  float height() const { return height_; }
  void setWidth(float width) { width_ = width; }
  float width() const { return width_; }
  virtual void setBarWidth(float barWidth) { barWidth_ = barWidth; }
  float barWidth() const { return barWidth_; }
  void setCheckDigit(signed char check) { checkDigit_ = check; }
  signed char checkDigit() const { return checkDigit_; }

  virtual void setPrintsCaption(bool on) { printsCaption_ = on; }
  virtual bool printsCaption() const { return printsCaption_; }
  virtual void setPrintsHeader(bool on) { printsHeader_ = on; }
  virtual bool printsHeader() const { return printsHeader_; }
  virtual void setPrintsFooter(bool on) { printsFooter_ = on; }
  virtual bool printsFooter() const { return printsFooter_; }

  void setCaptionHeight(float inches) { captionHeight_ = inches; }
  float captionHeight() const { return captionHeight_; }
  void setHeaderHeight(float inches) { headerHeight_ = inches; }
  float headerHeight() const { return headerHeight_; }
  void setFooterHeight(float inches) { footerHeight_ = inches; }
  float footerHeight() const { return footerHeight_; }
  void setHeaderWidth(float points) { headerWidth_ = points; }
  float headerWidth() const { return headerWidth_; }
  void setFooterWidth(float points) { footerWidth_ = points; }
  float footerWidth() const { return footerWidth_; }
  float caption_fontSize() const { return captionFontSize_; }
  float header_fontSize() const { return headerFontSize_; }
  float footer_fontSize() const { return footerFontSize_; }

  // Store the size and size the text line from the state's matching font; the
  // header and footer setters also measure their text.
  void setCaptionFontSize(float size, const BarcodeDrawingState& state);
  void setHeaderFontSize(float size, const BarcodeDrawingState& state);
  void setFooterFontSize(float size, const BarcodeDrawingState& state);

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
  virtual float lastBar() const { return width_ - barWidth_; }

  // Height the base rule leaves for the bars (the texts, their margins and the
  // top and bottom margins taken off the height), in points.
  float baseBarTop(const BarcodeDrawingState& state) const;

  QString description() const;
  // Equal contents; class, sizes and texts are not compared.
  bool isEqual(const QVBBarcode& other) const { return content_ == other.content_; }

 protected:
  // The content as 7-bit ASCII bytes; nothing when a character lies outside.
  static std::optional<std::string> asciiBytes(const QString& text);
  signed char checkDigit_ = -1;
  float barWidth_ = 0;
  QString content_;
  QString header_;
  QString footer_;
  float height_ = 0;
  float width_ = 0;
  bool printsCaption_ = false;
  bool printsHeader_ = false;
  bool printsFooter_ = false;
  float captionFontSize_ = 0;
  float headerFontSize_ = 0;
  float footerFontSize_ = 0;
  float captionHeight_ = 0;
  float headerHeight_ = 0;
  float footerHeight_ = 0;
  float headerWidth_ = 0;
  float footerWidth_ = 0;
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
