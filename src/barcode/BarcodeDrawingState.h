#pragma once
// The state every barcode picture is drawn with: fonts, margins and colours of
// the texts around a symbol, where the value text stands, how header and footer
// are aligned, the caption fields of a 2D picture and the resolution of 2D
// pictures.
//
// The designer dialog owns one of these and hands a copy (or a const reference)
// to whatever draws. It is a plain value, so a batch worker can draw from its
// own snapshot while the dialog keeps editing. The one exception is the
// designer's "spread value text" choice, which is the program's
// (Spread_Barcode_Value_Text in barcode/globals.h) and read as a caption is drawn.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QSizeF>
#include <QString>

namespace barcode {

// Text measures in points (1/72 inch), independent of any screen resolution.
namespace textmetrics {
// The font resized so that one unit of a painter or of QFontMetricsF is one point.
QFont pointFont(const QFont& font);
// Height of a text line in inches: cap height C in points gives C / 72 + 0.35 x C / 72.
float lineHeightInches(const QFont& font);
// Width in points of the text drawn in the font, kerning 0.
float textWidth(const QString& text, const QFont& font);
}  // namespace textmetrics

// Caption fields of a symbol: the value, the texts around it, what is printed
// and the sizes. A linear barcode object holds one; the drawing state holds one
// for 2D pictures.
// Heights are in inches, widths and sizes in points.
struct BarcodeCaptionModel {
  QString content;
  QString header;
  QString footer;
  float height = 0;
  float width = 0;
  bool printsCaption = false;
  bool printsHeader = false;
  bool printsFooter = false;
  float caption_fontSize = 0;
  float header_fontSize = 0;
  float footer_fontSize = 0;
  float captionHeight = 0;
  float headerHeight = 0;
  float footerHeight = 0;
  float headerWidth = 0;
  float footerWidth = 0;

  // The font-size setters: store the size, size the text line from the font
  // and, for header and footer, measure the text in it.
  void setCaptionFontSize(float size, const QFont& font);
  void setHeaderFontSize(float size, const QFont& font);
  void setFooterFontSize(float size, const QFont& font);
};

struct BarcodeDrawingState {
  BarcodeDrawingState();

  // Fonts of the value text (caption), the header and the footer.
  QFont value_font;
  QFont header_font;
  QFont footer_font;

  // Gaps between the bars and the texts, and the outer margins, in points when
  // a picture is drawn.
  float value_margin = 0.1f;
  float header_margin = 0.1f;
  float footer_margin = 0.1f;
  float TB_margin = 0.1f;
  float LR_margin = 0.1f;

  QColor bar_back_clr = Qt::white;
  QColor barcode_clr = Qt::black;
  QColor bar_val_clr = Qt::black;
  QColor bar_hdr_clr = Qt::black;
  QColor bar_ftr_clr = Qt::black;

  // Not 0: the value text stands above the bars.
  int showinTop = 0;
  // "Center", "Left" or "Right"; anything else keeps the default (left) alignment.
  QString align_hdr = QStringLiteral("Center");
  QString align_ftr = QStringLiteral("Center");

  // The caption model of 2D pictures.
  BarcodeCaptionModel caption2D;

  // Resolution of 2D pictures in pixels per inch (USED_DPI_VALUE).
  int usedDpi = 600;

  // The caption model's font-size setters: store the size, size the text line
  // from the matching font and, for header and footer, measure the text.
  void setCaptionFontSize(float size) { caption2D.setCaptionFontSize(size, value_font); }
  void setHeaderFontSize(float size) { caption2D.setHeaderFontSize(size, header_font); }
  void setFooterFontSize(float size) { caption2D.setFooterFontSize(size, footer_font); }
};

// Resampling of a picture whose size in points is sizeInPoints to dpi pixels per
// inch: ceilf(dpi x w / 72) x ceilf(dpi x h / 72) pixels, RGBA, drawn without
// interpolation, with its dots-per-metre set so that it still measures w x h
// points. A null picture logs "Invalid image" and answers a null image.
QImage Increase_DPI(const QImage& picture, QSizeF sizeInPoints, double dpi);

}  // namespace barcode
