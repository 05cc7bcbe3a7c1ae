#pragma once
// The barcode settings record of a barcode card object: 38 fields, a plain
// value copied into and out of card objects and the designer dialog. The
// field names and defaults are those the design file stores. Heights, widths
// and margins are in centimetres (the module width in thousandths of an
// inch); fonts are PostScript names with a size in points.
//
// Beside the record: the lists whose indexes the record stores (symbology,
// alignment, QR version and level, Data Matrix format and encoding,
// resolution), in one place, and the limits every value is held to.

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

#include "core/GraphicLimits.h"

namespace barcode {

struct BarcodeFont {
  QString name;  // PostScript name, e.g. "Times New Roman" or "TimesNewRomanPS-BoldMT"
  double size = 10.0;
  QFont toQFont() const;
  bool operator==(const BarcodeFont&) const = default;
};

struct BarcodeSettings {
  int linear_or_2d = 0;        // 0 linear, 1 2D
  int barcode_font_index = 0;  // index in symbologyNames()
  QString linear_font_val = QStringLiteral("0123");
  QString two_d_font_val = QStringLiteral("0123");
  QString header_val = QStringLiteral("HEADER");
  QString footer_val = QStringLiteral("FOOTER");
  int show_hide_hdr = 0;    // 1 = header hidden
  int show_hide_ftr = 0;    // 1 = footer hidden
  int show_hide_val = 0;    // 1 = value text hidden
  int show_val_on_top = 0;  // 1 = value text above the bars
  int align_hdr_index = 1;  // index in alignmentNames()
  int align_ftr_index = 1;
  float linear_height_val = 0.6f;  // bar height, cm
  float linear_width_val = 20.0f;  // module width, thousandths of an inch
  int qr_size_val = 60;            // QR picture side, points
  int qr_version_index = 0;        // 0 automatic, n = version n
  int qr_ec_index = 0;             // 0-3 = L, M, Q, H
  int pdf_hgt_val = 20;            // PDF417 frame height, points
  int pdf_wdt_val = 100;           // PDF417 frame width, points
  int pdf_ec_val = 2;              // PDF417 error-correction level 0-8
  int dm_module_val = 2;           // Data Matrix module size, points
  int dm_format_index = 0;         // index in dataMatrixFormatNames(), 0 = "Auto"
  int dm_encoding_index = 0;       // index in dataMatrixEncodingNames(), 0 = "Auto"
  float hdr_margin_val = 0.1f;     // cm
  float ftr_margin_val = 0.1f;
  float val_margin_val = 0.1f;
  float TB_marging_val = 0.1f;
  float LR_margin_val = 0.1f;
  BarcodeFont value_font_val{QStringLiteral("Times New Roman"), 10.0};
  BarcodeFont header_font_val{QStringLiteral("Times New Roman"), 10.0};
  BarcodeFont footer_font_val{QStringLiteral("Times New Roman"), 10.0};
  QColor barcode_hdr_clr_val = Qt::black;
  QColor barcode_ftr_clr_val = Qt::black;
  QColor barcode_val_clr_val = Qt::black;
  QColor barcode_back_clr_val = Qt::white;
  QColor barcode_clr_val = Qt::black;
  int dpi_val_index = 0;                         // index in resolutionNames()
  QString dpi_custom_val = QStringLiteral("0");  // the custom resolution as typed

  bool operator==(const BarcodeSettings&) const = default;

  // The symbology name of barcode_font_index ("" when out of range).
  QString symbology() const;
  bool isTwoD() const;
  // The value the record shows: two_d_font_val for a 2D symbology, else linear_font_val.
  const QString& value() const { return isTwoD() ? two_d_font_val : linear_font_val; }
};

// ---- The lists whose indexes the record stores ------------------------------------
// The symbology pop-up: the linear symbologies in the order the renderer
// compares them, then "QR Code", "PDF417" and "DataMatrix". A design file
// stores the index, so this order never changes.
const QStringList& symbologyNames();
bool isTwoDSymbology(const QString& name);
// "Left", "Center", "Right".
const QStringList& alignmentNames();
// "Auto", "V1" ... "V40".
const QStringList& qrVersionNames();
// "L", "M", "Q", "H".
const QStringList& qrLevelNames();
// "Auto", the 24 squares "C10X10" ... "C144X144", the 6 rectangles "C8X18" ... "C16X48".
const QStringList& dataMatrixFormatNames();
// "Auto", "Ascii", "C40", "Text", "Base256".
const QStringList& dataMatrixEncodingNames();
// "Auto", "72", "150", "300", "600", "1200", "Custom".
const QStringList& resolutionNames();
// The name at index i of a list, or "" when i is out of range.
QString nameAt(const QStringList& names, int index);

// ---- Limits ---------------------------------------------------------------------------
// Every number of the record is held to these limits, which the encoders hold
// to as well; the dialog's controls use them and say so when a typed value
// lies outside. The font sizes end where a design file's fonts end: an
// object beyond that could not be saved.
struct BarcodeLimits {
  static constexpr double kFontSizeMin = 1.0, kFontSizeMax = kMaxGraphicFontSize;  // points
  static constexpr float kBarHeightMin = 0.05f, kBarHeightMax = 25.0f;             // cm
  static constexpr float kModuleWidthMin = 1.0f, kModuleWidthMax = 200.0f;         // mils
  static constexpr float kMarginMin = 0.0f, kMarginMax = 10.0f;                    // cm
  static constexpr int kQrSizeMin = 21, kQrSizeMax = 2000;                         // points
  static constexpr int kPdfSideMin = 1, kPdfSideMax = 2000;                        // points
  static constexpr int kPdfLevelMin = 0, kPdfLevelMax = 8;
  static constexpr int kDmModuleMin = 1, kDmModuleMax = 100;  // points
  static constexpr int kDpiMin = 72, kDpiMax = 4800;
};

// The resolution of 2D and card pictures in pixels per inch: "Auto" 600, a
// listed number, or the custom text when it is a whole number within the
// limits (600 otherwise).
int resolutionDpi(const BarcodeSettings& settings);

// The record with every number brought within its limits and every index
// within its list. A record read from a design file goes through this before
// it is drawn.
BarcodeSettings boundedSettings(const BarcodeSettings& settings);

// The first value outside its limits, as a message for the user ("" when all
// are within): "Bar height must be between 0.05 and 25 cm." and the like.
QString outOfRangeMessage(const BarcodeSettings& settings);

}  // namespace barcode
