#include "barcode/designer/BarcodeSettings.h"

#include <algorithm>
#include <cmath>

#include "barcode/linear/LinearSymbologies.h"
#include "platform/FontNames.h"

namespace barcode {

QFont BarcodeFont::toQFont() const {
  const double points = std::isfinite(size) && size > 0 ? std::min(size, 1000.0) : 10.0;
  return platform::fontForName(name.isEmpty() ? QStringLiteral("Times New Roman") : name, points);
}

const QStringList& symbologyNames() {
  static const QStringList names =
      linearSymbologyNames() +
      QStringList{QStringLiteral("QR Code"), QStringLiteral("PDF417"), QStringLiteral("DataMatrix")};
  return names;
}

bool isTwoDSymbology(const QString& name) {
  return name == QLatin1String("QR Code") || name == QLatin1String("PDF417") ||
         name == QLatin1String("DataMatrix");
}

const QStringList& alignmentNames() {
  static const QStringList names{QStringLiteral("Left"), QStringLiteral("Center"), QStringLiteral("Right")};
  return names;
}

const QStringList& qrVersionNames() {
  static const QStringList names = [] {
    QStringList out{QStringLiteral("Auto")};
    for (int v = 1; v <= 40; ++v) out << QStringLiteral("V%1").arg(v);
    return out;
  }();
  return names;
}

const QStringList& qrLevelNames() {
  static const QStringList names{QStringLiteral("L"), QStringLiteral("M"), QStringLiteral("Q"),
                                 QStringLiteral("H")};
  return names;
}

const QStringList& dataMatrixFormatNames() {
  static const QStringList names = [] {
    QStringList out{QStringLiteral("Auto")};
    for (int side :
         {10, 12, 14, 16, 18, 20, 22, 24, 26, 32, 36, 40, 44, 48, 52, 64, 72, 80, 88, 96, 104, 120, 132, 144})
      out << QStringLiteral("C%1X%1").arg(side);
    for (const char* rectangle : {"C8X18", "C8X32", "C12X26", "C12X36", "C16X36", "C16X48"})
      out << QString::fromLatin1(rectangle);
    return out;
  }();
  return names;
}

const QStringList& dataMatrixEncodingNames() {
  static const QStringList names{QStringLiteral("Auto"), QStringLiteral("Ascii"), QStringLiteral("C40"),
                                 QStringLiteral("Text"), QStringLiteral("Base256")};
  return names;
}

const QStringList& resolutionNames() {
  static const QStringList names{QStringLiteral("Auto"),  QStringLiteral("72"),  QStringLiteral("150"),
                                 QStringLiteral("300"),   QStringLiteral("600"), QStringLiteral("1200"),
                                 QStringLiteral("Custom")};
  return names;
}

QString nameAt(const QStringList& names, int index) {
  return index >= 0 && index < names.size() ? names[index] : QString();
}

QString BarcodeSettings::symbology() const {
  return nameAt(symbologyNames(), barcode_font_index);
}

bool BarcodeSettings::isTwoD() const {
  return isTwoDSymbology(symbology());
}

namespace {

constexpr int kAutoDpi = 600;

bool customDpi(const QString& text, int* dpi) {
  bool ok = false;
  const int value = text.trimmed().toInt(&ok);
  if (!ok || value < BarcodeLimits::kDpiMin || value > BarcodeLimits::kDpiMax) return false;
  *dpi = value;
  return true;
}

float boundedFloat(float value, float low, float high, float fallback) {
  return std::isfinite(value) ? std::clamp(value, low, high) : fallback;
}

int boundedIndex(int index, const QStringList& names) {
  return index >= 0 && index < names.size() ? index : 0;
}

// One range check: the message when the value lies outside.
template <class T>
QString rangeMessage(const char* what, T value, T low, T high, const char* unit) {
  const bool inside = value >= low && value <= high;  // false for NaN too
  if (inside) return {};
  return QStringLiteral("%1 must be between %2 and %3%4.")
      .arg(QString::fromLatin1(what), QString::number(low), QString::number(high), QString::fromLatin1(unit));
}

}  // namespace

int resolutionDpi(const BarcodeSettings& settings) {
  const QString name = nameAt(resolutionNames(), settings.dpi_val_index);
  if (name == QLatin1String("Custom")) {
    int dpi = kAutoDpi;
    return customDpi(settings.dpi_custom_val, &dpi) ? dpi : kAutoDpi;
  }
  const int listed = name.toInt();
  return listed > 0 ? listed : kAutoDpi;
}

BarcodeSettings boundedSettings(const BarcodeSettings& in) {
  using L = BarcodeLimits;
  const BarcodeSettings defaults;
  BarcodeSettings s = in;
  s.barcode_font_index = boundedIndex(s.barcode_font_index, symbologyNames());
  s.linear_or_2d = s.isTwoD() ? 1 : 0;
  s.align_hdr_index = boundedIndex(s.align_hdr_index, alignmentNames());
  s.align_ftr_index = boundedIndex(s.align_ftr_index, alignmentNames());
  s.qr_version_index = boundedIndex(s.qr_version_index, qrVersionNames());
  s.qr_ec_index = boundedIndex(s.qr_ec_index, qrLevelNames());
  s.dm_format_index = boundedIndex(s.dm_format_index, dataMatrixFormatNames());
  s.dm_encoding_index = boundedIndex(s.dm_encoding_index, dataMatrixEncodingNames());
  s.dpi_val_index = boundedIndex(s.dpi_val_index, resolutionNames());
  s.linear_height_val =
      boundedFloat(s.linear_height_val, L::kBarHeightMin, L::kBarHeightMax, defaults.linear_height_val);
  s.linear_width_val =
      boundedFloat(s.linear_width_val, L::kModuleWidthMin, L::kModuleWidthMax, defaults.linear_width_val);
  for (float* margin :
       {&s.hdr_margin_val, &s.ftr_margin_val, &s.val_margin_val, &s.TB_marging_val, &s.LR_margin_val})
    *margin = boundedFloat(*margin, L::kMarginMin, L::kMarginMax, 0.1f);
  s.qr_size_val = std::clamp(s.qr_size_val, L::kQrSizeMin, L::kQrSizeMax);
  s.pdf_hgt_val = std::clamp(s.pdf_hgt_val, L::kPdfSideMin, L::kPdfSideMax);
  s.pdf_wdt_val = std::clamp(s.pdf_wdt_val, L::kPdfSideMin, L::kPdfSideMax);
  s.pdf_ec_val = std::clamp(s.pdf_ec_val, L::kPdfLevelMin, L::kPdfLevelMax);
  s.dm_module_val = std::clamp(s.dm_module_val, L::kDmModuleMin, L::kDmModuleMax);
  return s;
}

QString outOfRangeMessage(const BarcodeSettings& s) {
  using L = BarcodeLimits;
  const QString checks[] = {
      rangeMessage("Bar height", s.linear_height_val, L::kBarHeightMin, L::kBarHeightMax, " cm"),
      rangeMessage("Bar width", s.linear_width_val, L::kModuleWidthMin, L::kModuleWidthMax, " mils"),
      rangeMessage("Header margin", s.hdr_margin_val, L::kMarginMin, L::kMarginMax, " cm"),
      rangeMessage("Footer margin", s.ftr_margin_val, L::kMarginMin, L::kMarginMax, " cm"),
      rangeMessage("Value margin", s.val_margin_val, L::kMarginMin, L::kMarginMax, " cm"),
      rangeMessage("Top and bottom margin", s.TB_marging_val, L::kMarginMin, L::kMarginMax, " cm"),
      rangeMessage("Left and right margin", s.LR_margin_val, L::kMarginMin, L::kMarginMax, " cm"),
      rangeMessage("QR size", s.qr_size_val, L::kQrSizeMin, L::kQrSizeMax, " points"),
      rangeMessage("PDF417 height", s.pdf_hgt_val, L::kPdfSideMin, L::kPdfSideMax, " points"),
      rangeMessage("PDF417 width", s.pdf_wdt_val, L::kPdfSideMin, L::kPdfSideMax, " points"),
      rangeMessage("PDF417 error-correction level", s.pdf_ec_val, L::kPdfLevelMin, L::kPdfLevelMax, ""),
      rangeMessage("Data Matrix module size", s.dm_module_val, L::kDmModuleMin, L::kDmModuleMax, " points"),
      rangeMessage("Value font size", s.value_font_val.size, L::kFontSizeMin, L::kFontSizeMax, " points"),
      rangeMessage("Header font size", s.header_font_val.size, L::kFontSizeMin, L::kFontSizeMax, " points"),
      rangeMessage("Footer font size", s.footer_font_val.size, L::kFontSizeMin, L::kFontSizeMax, " points"),
  };
  for (const QString& message : checks)
    if (!message.isEmpty()) return message;
  if (nameAt(resolutionNames(), s.dpi_val_index) == QLatin1String("Custom")) {
    int dpi = 0;
    if (!customDpi(s.dpi_custom_val, &dpi))
      return QStringLiteral("Custom DPI must be a whole number between %1 and %2.")
          .arg(BarcodeLimits::kDpiMin)
          .arg(BarcodeLimits::kDpiMax);
  }
  return {};
}

}  // namespace barcode
