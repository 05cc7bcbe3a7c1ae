#include "barcode/designer/BarcodeRenderer.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <exception>
#include <new>
#include <optional>
#include <sstream>

#include "barcode/BarcodeLog.h"
#include "barcode/designer/ValueCharacters.h"
#include "barcode/linear/LinearSymbologies.h"
#include "barcode/linear/QVBBarcodeOffscreenView.h"
#include "barcode/twod/DataMatrixRoute.h"
#include "barcode/twod/Pdf417View.h"
#include "barcode/twod/QREncoder.h"
#include "barcode/twod/SymbolPicture.h"

namespace barcode {

namespace {

constexpr qint64 kMaxCardPixels = 64LL * 1024 * 1024;

const QString kEmptyValue = QStringLiteral("Please enter barcode value");
const QString kInvalidValue = QStringLiteral("Invalid barcode value");
const QString kTooLarge = QStringLiteral("The barcode is too large to draw.");

float stepped(double value) {
  return static_cast<float>(value);
}

// Everything a render needs besides the value: the bounded record, its
// symbology and the state it draws with.
struct RenderInput {
  BarcodeSettings settings;
  QString symbology;
  BarcodeDrawingState state;
  bool printsCaption;
  bool printsHeader;
  bool printsFooter;
};

RenderInput inputFor(const BarcodeSettings& raw) {
  RenderInput in{boundedSettings(raw), {}, {}, false, false, false};
  in.symbology = in.settings.symbology();
  in.state = drawingStateFor(in.settings);
  in.printsCaption = in.settings.show_hide_val != 1;
  in.printsHeader = in.settings.show_hide_hdr != 1;
  in.printsFooter = in.settings.show_hide_ftr != 1;
  return in;
}

// Width of a framed picture: the widest of the printed texts and the symbol,
// the left/right margin on both sides, and 15 points more when there is a margin.
float framedWidth(float headerWidth, float footerWidth, float symbolWidth, float lrMargin) {
  const float w = std::max({headerWidth, footerWidth, symbolWidth});
  return w + 2.0f * lrMargin + (lrMargin > 0 ? 15.0f : 0.0f);
}

BarcodeRender linearRender(const RenderInput& in, const QString& value, const QString& header,
                           const QString& footer) {
  BarcodeRender out;
  const BarcodeDrawingState& state = in.state;
  std::unique_ptr<QVBBarcode> object = createLinearBarcode(in.symbology, value, in.printsCaption);
  if (!object || !object->isContentValid()) {
    const QString characters = linearCharacterRefusal(in.symbology, value);
    out.error = characters.isEmpty() ? kInvalidValue : characters;
    return out;
  }
  QVBBarcode& b = *object;
  b.setHeader(header);
  b.setFooter(footer);
  b.setPrintsCaption(in.printsCaption);
  b.setPrintsHeader(in.printsHeader);
  b.setPrintsFooter(in.printsFooter);
  b.setBarWidth(stepped(in.settings.linear_width_val / 1000.0 * 72.0));
  b.setCaptionFontSize(static_cast<float>(state.value_font.pointSizeF()), state);
  b.setHeaderFontSize(static_cast<float>(state.header_font.pointSizeF()), state);
  b.setFooterFontSize(static_cast<float>(state.footer_font.pointSizeF()), state);
  // Height: bars, then each printed text with its margin, then the top and bottom margins.
  b.setHeight(toPoints(in.settings.linear_height_val));
  if (b.printsCaption()) b.setHeight(b.height() + b.captionHeight() * 72.0f + state.value_margin);
  if (b.printsHeader()) b.setHeight(b.height() + b.headerHeight() * 72.0f + state.header_margin);
  if (b.printsFooter()) b.setHeight(b.height() + b.footerHeight() * 72.0f + state.footer_margin);
  b.setHeight(b.height() + 2.0f * state.TB_margin);
  b.calculateWidth();
  b.setWidth(framedWidth(in.printsHeader ? b.headerWidth() : 0.0f, in.printsFooter ? b.footerWidth() : 0.0f,
                         b.width(), state.LR_margin));
  out.picture = imageFromBarcode(b, state);
  if (out.picture.isNull())
    out.error = kTooLarge;
  else
    out.module = QSizeF(b.barWidth(), b.barWidth());
  return out;
}

// "(it takes 40 bytes in UTF-8)": how much room a value asks for.
QString bytesTaken(const QByteArray& bytes, bool utf8) {
  return QStringLiteral("(it takes %1 bytes%2)")
      .arg(QString::number(bytes.size()), utf8 ? QStringLiteral(" in UTF-8") : QString());
}

// The symbol of a 2D value, before header and footer; an error text when none.
// The encoders take the value's UTF-8 bytes (PDF417 its Latin-1 bytes where
// every character has one), so a refusal can only be for its length.
std::optional<twod::SymbolPicture> twoDSymbol(const RenderInput& in, const QString& value, QString* error) {
  const BarcodeSettings& s = in.settings;
  const int dpi = in.state.usedDpi;
  if (in.symbology == QLatin1String("QR Code")) {
    const auto grid = twod::QREncoder::encodeWithECLevel(s.qr_ec_index, s.qr_version_index, value);
    auto picture = grid ? twod::QREncoder::renderDataMatrix(*grid, s.qr_size_val, dpi) : std::nullopt;
    if (!picture) {
      const QString level = nameAt(qrLevelNames(), s.qr_ec_index);
      const QString symbol = s.qr_version_index == 0
                                 ? QStringLiteral("any QR Code")
                                 : QStringLiteral("a QR Code of version %1").arg(s.qr_version_index);
      *error = QStringLiteral("The value is too long for %1 at error correction level %2 %3.")
                   .arg(symbol, level, bytesTaken(value.toUtf8(), true));
    }
    return picture;
  }
  if (in.symbology == QLatin1String("PDF417")) {
    twod::pdf417View view(QSizeF(s.pdf_wdt_val, s.pdf_hgt_val), s.pdf_ec_val);
    view.setDpi(dpi);
    view.drawWithText(value);
    auto picture = view.getImage();
    if (!picture)
      *error = QStringLiteral("The value is too long for PDF417 %1.")
                   .arg(bytesTaken(twod::pdf417View::textBytes(value), false));
    return picture;
  }
  const QString format = nameAt(dataMatrixFormatNames(), s.dm_format_index);
  const QString encoding = nameAt(dataMatrixEncodingNames(), s.dm_encoding_index);
  std::ostringstream report, diagnostics;
  twod::DataMatrixRender r =
      twod::drawDataMatrixBarcode(value, format, encoding, s.dm_module_val, dpi, report, diagnostics);
  if (!r.picture) {
    for (const std::string& text : {diagnostics.str(), report.str()})
      for (const QString& line : QString::fromStdString(text).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        logLine(line);
    const QString symbol = format == QLatin1String("Auto")
                               ? QStringLiteral("any Data Matrix symbol")
                               : QStringLiteral("a Data Matrix symbol of format %1").arg(format);
    *error = QStringLiteral("The value is too long for %1 with encoding %2 %3.")
                 .arg(symbol, encoding, bytesTaken(value.toUtf8(), true));
  }
  return std::move(r.picture);
}

BarcodeRender twoDRender(RenderInput& in, const QString& value, const QString& header,
                         const QString& footer) {
  BarcodeRender out;
  BarcodeDrawingState& state = in.state;
  BarcodeCaptionModel& model = state.caption2D;
  model.content = value;
  model.header = header;
  model.footer = footer;
  model.printsCaption = in.printsCaption;
  model.printsHeader = in.printsHeader;
  model.printsFooter = in.printsFooter;
  state.setCaptionFontSize(static_cast<float>(state.value_font.pointSizeF()));
  state.setHeaderFontSize(static_cast<float>(state.header_font.pointSizeF()));
  state.setFooterFontSize(static_cast<float>(state.footer_font.pointSizeF()));

  out.error = twoDCharacterRefusal(value);
  if (!out.error.isEmpty()) return out;
  const std::optional<twod::SymbolPicture> symbol = twoDSymbol(in, value, &out.error);
  if (!symbol) return out;
  BarcodePicture image2d;
  image2d.picture = symbol->toPicture();
  image2d.size = symbol->size();

  // The frame: the symbol, the printed header and footer with their margins,
  // the top and bottom margins; the value text takes no room.
  const float headerPart = in.printsHeader ? model.headerHeight * 72.0f : 0.0f;
  const float footerPart = in.printsFooter ? model.footerHeight * 72.0f : 0.0f;
  model.height = static_cast<float>(image2d.size.height()) + headerPart + state.header_margin + footerPart +
                 state.footer_margin + 2.0f * state.TB_margin;
  model.width =
      framedWidth(in.printsHeader ? model.headerWidth : 0.0f, in.printsFooter ? model.footerWidth : 0.0f,
                  static_cast<float>(image2d.size.width()), state.LR_margin);
  out.picture = imageFromBarcodeImage(image2d, state);
  if (out.picture.isNull())
    out.error = kTooLarge;
  else
    out.module = symbol->moduleSize();
  return out;
}

}  // namespace

float toPoints(float value, int unit) {
  if (unit == 1) return stepped(stepped(value * 0.393701) * 72.0);
  if (unit == 2) return stepped(stepped(stepped(value * 0.393701) * 72.0) / 10.0);
  return stepped(value * 72.0);
}

BarcodeDrawingState drawingStateFor(const BarcodeSettings& s) {
  BarcodeDrawingState state;
  state.value_font = s.value_font_val.toQFont();
  state.header_font = s.header_font_val.toQFont();
  state.footer_font = s.footer_font_val.toQFont();
  state.value_margin = s.show_hide_val == 1 ? 0.0f : toPoints(s.val_margin_val);
  state.header_margin = s.show_hide_hdr == 1 ? 0.0f : toPoints(s.hdr_margin_val);
  state.footer_margin = s.show_hide_ftr == 1 ? 0.0f : toPoints(s.ftr_margin_val);
  state.TB_margin = toPoints(s.TB_marging_val);
  state.LR_margin = toPoints(s.LR_margin_val);
  state.bar_back_clr = s.barcode_back_clr_val;
  state.barcode_clr = s.barcode_clr_val;
  state.bar_val_clr = s.barcode_val_clr_val;
  state.bar_hdr_clr = s.barcode_hdr_clr_val;
  state.bar_ftr_clr = s.barcode_ftr_clr_val;
  state.showinTop = s.show_val_on_top;
  state.align_hdr = nameAt(alignmentNames(), s.align_hdr_index);
  state.align_ftr = nameAt(alignmentNames(), s.align_ftr_index);
  state.usedDpi = resolutionDpi(s);
  return state;
}

BarcodeRender render(const BarcodeSettings& settings, const QString& value, const QString& header,
                     const QString& footer) {
  BarcodeRender out;
  if (value.isEmpty()) {
    out.error = kEmptyValue;
    return out;
  }
  try {
    RenderInput in = inputFor(settings);
    return isTwoDSymbology(in.symbology) ? twoDRender(in, value, header, footer)
                                         : linearRender(in, value, header, footer);
  } catch (const std::bad_alloc&) {
    out.error = kTooLarge;
  } catch (const std::exception& e) {
    out.error = QString::fromLocal8Bit(e.what());
  }
  out.picture = BarcodePicture();
  out.module = QSizeF();
  return out;
}

QImage cardImage(const BarcodePicture& picture, int dpi) {
  if (picture.isNull()) return {};
  double d = std::clamp(dpi, BarcodeLimits::kDpiMin, BarcodeLimits::kDpiMax);
  const double pixels =
      std::ceil(picture.size.width() * d / 72.0) * std::ceil(picture.size.height() * d / 72.0);
  if (pixels > static_cast<double>(kMaxCardPixels))
    d = std::floor(d * std::sqrt(static_cast<double>(kMaxCardPixels) / pixels * 0.99));
  if (d < 1) return {};
  QImage image = picture.toImage(d);
  if (!image.isNull()) image.setDevicePixelRatio(d / 72.0);
  return image;
}

QImage sharpCardImage(const BarcodeRender& render, int dpi) {
  if (!render.ok()) return {};
  const double perPoint = std::clamp(dpi, BarcodeLimits::kDpiMin, BarcodeLimits::kDpiMax) / 72.0;
  // Pixels per point that make a module of this length a whole number of pixels.
  const auto wholeModules = [perPoint](double module) {
    return std::max(1.0, std::round(module * perPoint)) / module;
  };
  const QSizeF module = render.module;
  if (!(module.width() > 0) || !(module.height() > 0)) return cardImage(render.picture, dpi);
  const double sx = wholeModules(module.width());
  const double sy = wholeModules(module.height());
  // A hair below a whole count stays that count: the scale is exact only to rounding.
  const double w = std::ceil(render.picture.size.width() * sx - 1e-6);
  const double h = std::ceil(render.picture.size.height() * sy - 1e-6);
  if (w < 1 || h < 1 || w * h > static_cast<double>(kMaxCardPixels)) return cardImage(render.picture, dpi);
  QImage image(static_cast<int>(w), static_cast<int>(h), QImage::Format_RGB32);
  if (image.isNull()) return {};
  image.fill(Qt::white);
  const int dotsPerMeter = static_cast<int>(std::lround(perPoint * 72.0 / 0.0254));
  image.setDotsPerMeterX(dotsPerMeter);
  image.setDotsPerMeterY(dotsPerMeter);
  {
    // Aliased, so that each bar's edges fall on the pixel boundaries nearest to them.
    QPainter painter(&image);
    painter.scale(sx, sy);
    render.picture.picture.play(painter);
  }
  image.setDevicePixelRatio(perPoint);
  return image;
}

}  // namespace barcode
