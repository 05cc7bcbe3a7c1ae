// The barcode designer end to end: a value typed into the dialog and accepted
// with OK gives the card picture, which independent readers read back
// (zxing-cpp), or whose bars equal the PostScript barcode writer's for the
// symbologies no reader here reads; the renderer's sizes against the worked
// examples; the same record rendered on several threads at once.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <future>

#include "../linear/LinearTestSupport.h"
#include "../twod/TwoDDecode.h"
#include "barcode/designer/BarcodeRenderer.h"
#include "barcode/dialog/Barcode_Gen.h"
#include "barcode/linear/LinearSymbologies.h"
#include "barcode/linear/QVBUPCEANBarcode.h"
#include "core/SKTGraphic.h"
#include "support/ScriptedHost.h"

using namespace barcode;

namespace {

// What the picture of one symbology must read as.
enum class Oracle { Zxing, Widths, Heights, FourState };
struct Case {
  const char* symbology;
  QString value;
  std::string expected;  // the reader's text, or the writer's value
  const char* format;    // zxing-cpp format, or the PostScript writer's encoder
  const char* options;   // writer options
  Oracle oracle = Oracle::Zxing;
  bool extended = false;  // Code 39 full ASCII
};

std::string withCheck(const std::string& digits) {
  return digits + upcean::checkDigitFor(digits);
}

std::vector<Case> everySymbology() {
  return {
      {"Code 39", "QUVO-39", "QUVO-39", "Code39", ""},
      {"Extended Code 39", "Quvo 39", "Quvo 39", "Code39", "", Oracle::Zxing, true},
      {"Interleaved 2 of 5", "123456", "123456", "ITF", ""},
      {"UPCA", "03600029145", withCheck("03600029145"), "UPCA", ""},
      {"PostNet", "12345", "12345", "postnet", "includecheck", Oracle::Heights},
      {"Modified Plessey", "1234567", "1234567", "msi", "includecheck", Oracle::Widths},
      {"Modified Plessey (Hex)", "7654321", "7654321", "msi", "includecheck", Oracle::Widths},
      {"Industrial 2 of 5", "2024", "2024", "code2of5", "", Oracle::Widths},
      {"EAN-13", "590123412345", withCheck("590123412345"), "EAN13", ""},
      {"Code 128", "Quvo-128", "Quvo-128", "Code128", ""},
      {"Code 128 SET A", "QUVO 128", "QUVO 128", "Code128", ""},
      {"Code 128 SET B", "quvo b", "quvo b", "Code128", ""},
      {"Code 128 SET C", "123456", "123456", "Code128", ""},
      {"Codabar", "A1234B", "A1234B", "Codabar", ""},
      {"UPCE", "0123456",
       "0123456" + std::string(1, upcean::checkDigitFor(QVBUPCEBarcode::expandToUPCA("0123456"))), "UPCE",
       ""},
      {"EAN-8", "9638507", withCheck("9638507"), "EAN8", ""},
      {"Royal Mail Barcode (RM4SCC / CBC)", "SN34RD1A", "SN34RD1A", "royalmail", "", Oracle::FourState},
      {"Planet", "12345678901", "12345678901", "planet", "includecheck", Oracle::Heights},
      {"Japan Post Barcode", "6540123789-A-K-Z", "6540123789-A-K-Z", "japanpost", "", Oracle::FourState},
      {"QR Code", "QUVO Gratulo\nQR 2026", "QUVO Gratulo\nQR 2026", "QRCode", ""},
      {"PDF417", "QUVO Gratulo PDF417", "QUVO Gratulo PDF417", "PDF417", ""},
      {"DataMatrix", "QUVO Gratulo DM", "QUVO Gratulo DM", "DataMatrix", ""},
  };
}

bool dark(QRgb p) {
  return qGray(p) < 128;
}

// Element widths (bar, space, bar ...) along the middle row of the bars, in modules.
std::string pictureWidthClasses(const QImage& image, int pixelsPerModule) {
  const int y = image.height() / 2;
  std::vector<int> runs;
  bool inBar = false;
  int run = 0;
  for (int x = 0; x < image.width(); ++x) {
    const bool d = dark(image.pixel(x, y));
    if (runs.empty() && !inBar && !d) continue;
    if (d != inBar && (run > 0)) {
      runs.push_back(run);
      run = 0;
    }
    inBar = d;
    ++run;
  }
  if (inBar) runs.push_back(run);
  std::string out;
  for (int r : runs) out.push_back(r <= pixelsPerModule * 3 / 2 ? 'n' : 'w');
  return out;
}

// Bar kinds of a height-coded picture: per bar (a run of columns holding a
// tall dark run) its top and bottom; T/S for two heights, F/A/D/T for four states.
std::string barKinds(const QImage& image, bool fourState, int minimum) {
  struct Bar {
    int top, bottom;
  };
  std::vector<Bar> bars;
  bool inBar = false;
  for (int x = 0; x < image.width(); ++x) {
    int best = 0, bestTop = 0, top = -1;
    for (int y = 0; y <= image.height(); ++y) {
      const bool d = y < image.height() && dark(image.pixel(x, y));
      if (d && top < 0) top = y;
      if (!d && top >= 0) {
        if (y - top > best) best = y - top, bestTop = top;
        top = -1;
      }
    }
    if (best >= minimum) {
      if (!inBar) bars.push_back({bestTop, bestTop + best});
      bars.back().top = std::min(bars.back().top, bestTop);
      bars.back().bottom = std::max(bars.back().bottom, bestTop + best);
    }
    inBar = best >= minimum;
  }
  int highest = 1 << 30, lowest = 0, shortest = 1 << 30, tallest = 0;
  for (const Bar& b : bars) {
    highest = std::min(highest, b.top);
    lowest = std::max(lowest, b.bottom);
    shortest = std::min(shortest, b.bottom - b.top);
    tallest = std::max(tallest, b.bottom - b.top);
  }
  std::string out;
  for (const Bar& b : bars) {
    if (!fourState) {
      out.push_back(b.bottom - b.top > (shortest + tallest) / 2 ? 'T' : 'S');
      continue;
    }
    const bool ascender = b.top <= highest + 2;
    const bool descender = b.bottom >= lowest - 2;
    out.push_back(ascender ? (descender ? 'F' : 'A') : (descender ? 'D' : 'T'));
  }
  return out;
}

int symbology(const char* name) {
  return static_cast<int>(symbologyNames().indexOf(QString::fromLatin1(name)));
}

// Runs the dialog on the object; the scripted run sets the symbology, the
// value and the header, then presses OK.
int editWithDialog(testing_support::ScriptedHost& host, SKTGraphic& object, int symbology,
                   const QString& value, const std::function<void(Barcode_Gen&)>& more = {}) {
  host.queueModal([&](QDialog& d) {
    auto& dialog = static_cast<Barcode_Gen&>(d);
    dialog.barcodeTypePopup->setCurrentIndex(symbology);
    if (isTwoDSymbology(dialog.barcodeTypePopup->currentText()))
      dialog.dataText_2D->setPlainText(value);
    else
      dialog.dataText->setText(value);
    if (more) more(dialog);
    dialog.ok_button->click();
    return dialog.result();
  });
  return Barcode_Gen::defaultInstance().Open_Wnd(&object);
}

}  // namespace

TEST(BarcodeDesigner, EverySymbologyAcceptedWithOkReadsBack) {
  testing_support::ScriptedHost host;
  const std::vector<Case> cases = everySymbology();
  ASSERT_EQ(static_cast<int>(cases.size()), symbologyNames().size());
  constexpr int kPixelsPerModule = 6;  // 20 mils at 300 dpi
  for (int i = 0; i < static_cast<int>(cases.size()); ++i) {
    const Case& c = cases[static_cast<size_t>(i)];
    SCOPED_TRACE(c.symbology);
    // The pop-up's index i is the symbology of the table; a record storing it reopens as the same one.
    ASSERT_EQ(symbologyNames()[i], QString::fromLatin1(c.symbology));
    auto object = SKTGraphic::makeGraphic(GraphicKind::Barcode);
    const bool heights = c.oracle == Oracle::Heights || c.oracle == Oracle::FourState;
    const int code = editWithDialog(host, *object, i, c.value, [&](Barcode_Gen& d) {
      d.DPI_ComboBox->setCurrentIndex(resolutionNames().indexOf(QString::number(kPixelsPerModule * 50)));
      d.HeaderText->setText(QStringLiteral("Header %1").arg(i));
      if (c.oracle != Oracle::Zxing) {
        // Only the bars: no texts crossing the row or columns that are read.
        d.hideHeaderCheckbox->setChecked(true);
        d.hideFooterCheckbox->setChecked(true);
        d.captionCheckbox->setChecked(!heights);
      }
      if (heights) {
        // Postal symbols always print their texts: none, and a tiny value text
        // kept off the bars by its margin.
        d.HeaderText->clear();
        d.FooterText->clear();
        d.value_font_size->setValue(2.0);
      }
    });
    ASSERT_EQ(code, 1) << Barcode_Gen::defaultInstance().errorText().toStdString();
    const BarcodeSettings settings = Barcode_Gen::defaultInstance().settings();
    EXPECT_EQ(settings.barcode_font_index, i);
    EXPECT_EQ(settings.symbology(), QString::fromLatin1(c.symbology));
    const QImage image = Barcode_Gen::defaultInstance().Barcode_output_image;
    ASSERT_FALSE(image.isNull());
    image.save(QStringLiteral("/tmp/shots/i16/symbol%1.png").arg(i));
    // The card picture measures the rendered picture's size in points.
    const BarcodeRender r = render(settings, c.value, settings.header_val, settings.footer_val);
    ASSERT_TRUE(r.ok());
    EXPECT_NEAR(image.deviceIndependentSize().width(), r.picture.size.width(), 0.5);
    EXPECT_NEAR(image.deviceIndependentSize().height(), r.picture.size.height(), 0.5);

    const std::string format = c.format;
    if (format == "QRCode" || format == "PDF417" || format == "DataMatrix") {
      const auto f = format == "QRCode"   ? ZXing::BarcodeFormat::QRCode
                     : format == "PDF417" ? ZXing::BarcodeFormat::PDF417
                                          : ZXing::BarcodeFormat::DataMatrix;
      EXPECT_EQ(twodtest::decode(image, f), c.expected);
    } else if (c.oracle == Oracle::Zxing) {
      EXPECT_EQ(barcode::testing::zxingRead(image, c.format, c.extended), c.expected);
    } else {
      const auto theirs = barcode::testing::postscriptEncodeAll(QString::fromLatin1(c.format),
                                                                QString::fromLatin1(c.options), {c.expected});
      ASSERT_EQ(theirs.size(), 1u);
      ASSERT_TRUE(theirs[0].ok);
      if (c.oracle == Oracle::Widths)
        EXPECT_EQ(pictureWidthClasses(image, kPixelsPerModule),
                  barcode::testing::widthClasses(theirs[0].sbs, 1.0));
      else
        EXPECT_EQ(barKinds(image, c.oracle == Oracle::FourState, 2 * kPixelsPerModule),
                  barcode::testing::writerBarKinds(theirs[0], c.oracle == Oracle::FourState));
    }
  }
}

// The default record, in centimetres: bar height 0.6 cm, margins 0.1 cm,
// module width 20 mils = 1.44 points; 10 mm = 28.346472 points.
TEST(BarcodeRenderer, WorkedExamplesOfTheDefaultRecord) {
  EXPECT_FLOAT_EQ(toPoints(10.0f, 2), 28.346472f);
  EXPECT_FLOAT_EQ(toPoints(0.1f), 2.8346472f);
  EXPECT_FLOAT_EQ(toPoints(0.6f), 17.007883f);

  BarcodeSettings s;  // Code 39 "0123", header and footer shown
  const BarcodeDrawingState state = drawingStateFor(s);
  const BarcodeRender r = render(s, s.linear_font_val, s.header_val, s.footer_val);
  ASSERT_TRUE(r.ok()) << r.error.toStdString();
  auto code = createLinearBarcode(QStringLiteral("Code 39"), QStringLiteral("0123"));
  const float bars = static_cast<float>(code->completeBarcode().size()) * 1.44f;
  const float header = textmetrics::textWidth(QStringLiteral("HEADER"), state.header_font);
  const float lr = toPoints(0.1f);
  EXPECT_NEAR(r.picture.size.width(), std::max(bars, header) + 2 * lr + 15, 0.01);
  const float line = textmetrics::lineHeightInches(state.value_font) * 72.0f;
  const float margin = toPoints(0.1f);
  EXPECT_NEAR(r.picture.size.height(), toPoints(0.6f) + 3 * (line + margin) + 2 * margin, 0.01);

  // No left/right margin: exactly the widest part. A hidden header takes neither its line nor its margin.
  s.LR_margin_val = 0;
  s.show_hide_hdr = 1;
  const BarcodeRender narrow = render(s, s.linear_font_val, s.header_val, s.footer_val);
  ASSERT_TRUE(narrow.ok());
  EXPECT_NEAR(narrow.picture.size.width(),
              std::max(bars, textmetrics::textWidth(QStringLiteral("FOOTER"), state.footer_font)), 0.01);
  EXPECT_NEAR(narrow.picture.size.height(), toPoints(0.6f) + 2 * (line + margin) + 2 * margin, 0.01);

  // 2D: the symbol (a 60-point QR Code) framed the same way; the value text takes no room.
  s.barcode_font_index = static_cast<int>(symbologyNames().indexOf(QStringLiteral("QR Code")));
  s.show_hide_hdr = 0;
  const BarcodeRender qr = render(s, QStringLiteral("0123"), s.header_val, s.footer_val);
  ASSERT_TRUE(qr.ok());
  EXPECT_NEAR(qr.picture.size.height(), 60 + 2 * (line + margin) + 2 * margin, 0.01);
  EXPECT_NEAR(qr.picture.size.width(), 60, 0.01);

  // A refused value, an empty one and one too long: no picture, a reason.
  s.barcode_font_index = static_cast<int>(symbologyNames().indexOf(QStringLiteral("EAN-13")));
  for (const QString& bad : {QStringLiteral("12AB"), QString(), QString(200000, QLatin1Char('1'))}) {
    const BarcodeRender refused = render(s, bad, s.header_val, s.footer_val);
    EXPECT_FALSE(refused.ok());
    EXPECT_FALSE(refused.error.isEmpty());
  }
}

// A refusal says why: the characters a linear symbology cannot take (each
// once; an invisible or combining one by its U+ code; a character beyond the
// 16-bit range whole; six named, then how many more), a character without a
// UTF-8 form, or the room a 2D value takes that the symbol chosen lacks.
TEST(BarcodeRenderer, RefusalsNameTheCharactersOrTheRoomTheValueTakes) {
  const auto refusal = [](const char* type, const QString& value,
                          const std::function<void(BarcodeSettings&)>& more = {}) {
    BarcodeSettings s;
    s.barcode_font_index = symbology(type);
    if (more) more(s);
    const BarcodeRender r = render(s, value, s.header_val, s.footer_val);
    EXPECT_FALSE(r.ok());
    return r.error.toStdString();
  };
  EXPECT_EQ(
      refusal("Code 39", QString::fromUtf8("e\u0301 \u200b\U0001F600\u03b1e\u0301\u03b2\u03b3\u03b4\u03b5")),
      "Invalid barcode value: Code 39 takes only plain ASCII characters, and U+0301, U+200B, "
      "\"\U0001F600\", \"\u03b1\", \"\u03b2\", \"\u03b3\" and 2 more are not. QR Code, PDF417 and "
      "DataMatrix take them.");
  EXPECT_EQ(refusal("QR Code", QString(QChar(0xD800)) + QStringLiteral("A")),
            "Invalid barcode value: U+D800 is half of a character without its other half, which no barcode "
            "can hold.");
  const QString e = QString::fromUtf8("\u00e9");
  EXPECT_EQ(refusal("QR Code", e.repeated(1500), [](BarcodeSettings& s) { s.qr_ec_index = 3; }),
            "The value is too long for any QR Code at error correction level H (it takes 3000 bytes in "
            "UTF-8).");
  // PDF417 lowers its error correction level to make room, down to the lowest.
  EXPECT_EQ(refusal("PDF417", e.repeated(1200)), "The value is too long for PDF417 (it takes 1200 bytes).");
  EXPECT_EQ(
      refusal("DataMatrix", QString::fromUtf8("Zo\u00eb"), [](BarcodeSettings& s) { s.dm_format_index = 1; }),
      "The value is too long for a Data Matrix symbol of format C10X10 with encoding Auto (it takes 4 "
      "bytes in UTF-8).");
}

// Every object renders from its own record: four threads render two records
// (two symbologies, sizes and colours) at once, each picture equal to its own
// record's picture rendered alone.
TEST(BarcodeRenderer, RecordsRenderedOnFourThreadsAtOnceGiveTheSamePictures) {
  BarcodeSettings code128;
  code128.barcode_font_index = static_cast<int>(symbologyNames().indexOf(QStringLiteral("Code 128")));
  code128.barcode_clr_val = Qt::darkBlue;
  BarcodeSettings qr;
  qr.barcode_font_index = static_cast<int>(symbologyNames().indexOf(QStringLiteral("QR Code")));
  qr.qr_size_val = 90;
  qr.header_val = QStringLiteral("Guest");
  const BarcodeSettings records[] = {code128, qr};
  const QImage alone[] = {cardImage(render(code128, QStringLiteral("Row 7"), "H", "F").picture, 300),
                          cardImage(render(qr, QStringLiteral("Row 7"), "Guest", "F").picture, 300)};
  ASSERT_FALSE(alone[0].isNull());
  ASSERT_FALSE(alone[1].isNull());
  std::vector<std::future<bool>> runs;
  for (int t = 0; t < 4; ++t)
    runs.push_back(std::async(std::launch::async, [&, t] {
      bool same = true;
      for (int k = 0; k < 10; ++k) {
        const int which = (t + k) % 2;
        const QImage image = cardImage(
            render(records[which], QStringLiteral("Row 7"), which ? "Guest" : "H", "F").picture, 300);
        same = same && image == alone[which];
      }
      return same;
    }));
  for (auto& run : runs) EXPECT_TRUE(run.get());
}

// OK keeps the dialog open, with nothing accepted, for a size outside its
// limits (with a message naming them), a custom resolution outside its limits,
// and a value the symbology refuses (blank preview and its reason, never the
// previous picture).
TEST(BarcodeDesigner, OkRefusesValuesOutsideTheLimitsAndValuesThatDoNotEncode) {
  testing_support::ScriptedHost host;
  auto object = SKTGraphic::makeGraphic(GraphicKind::Barcode);
  QStringList errors;
  std::vector<int> results;
  const int code =
      editWithDialog(host, *object, symbology("EAN-13"), QStringLiteral("590123412345"), [&](Barcode_Gen& d) {
        ASSERT_TRUE(d.previewPicture().size.width() > 0);
        auto pressOk = [&] {
          d.setResult(0);
          d.ok_button->click();
          results.push_back(d.result());
        };
        d.HeightText->setValue(99);
        pressOk();
        d.HeightText->setValue(1.5);
        d.barcodeTypePopup->setCurrentIndex(symbology("QR Code"));
        d.DPI_ComboBox->setCurrentIndex(resolutionNames().indexOf(QStringLiteral("Custom")));
        d.dpi_Text->setText(QStringLiteral("20"));
        pressOk();
        d.dpi_Text->setText(QStringLiteral("450"));
        d.barcodeTypePopup->setCurrentIndex(symbology("EAN-13"));
        d.dataText->setText(QStringLiteral("12AB"));
        pressOk();
        errors << d.errorText();
        EXPECT_TRUE(d.errorShown());
        EXPECT_TRUE(d.previewPicture().isNull());
        EXPECT_TRUE(d.Barcode_output_image.isNull());
        d.dataText->setText(QStringLiteral("590123412345"));
      });
  EXPECT_EQ(results, (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(host.messages(),
            (QStringList{QStringLiteral("\nBar height must be between 0.05 and 25 cm."),
                         QStringLiteral("\nCustom DPI must be a whole number between 72 and 4800.")}));
  EXPECT_EQ(errors, QStringList{QStringLiteral("Invalid barcode value")});
  // The last OK, with a value that encodes, is accepted at the custom resolution.
  EXPECT_EQ(code, 1);
  EXPECT_NEAR(Barcode_Gen::defaultInstance().Barcode_output_image.devicePixelRatio(), 450.0 / 72.0, 1e-9);
}
