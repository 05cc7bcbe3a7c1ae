// The designer's kerning, orientation, QR encoding-mode, PDF417 rows and
// columns and Data Matrix size controls, through the real dialog: which are
// offered for which symbology, what the kerning choice does to the value
// text, that the orientation leaves the picture as it was, and how the Data
// Matrix size follows the format and the stepped module size. The preview
// follows the value as it is typed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include "../twod/TwoDDecode.h"
#include "barcode/designer/BarcodeSettings.h"
#include "barcode/dialog/Barcode_Gen.h"
#include "barcode/globals.h"
#include "core/SKTGraphic.h"
#include "platform/globals.h"
#include "support/ScriptedHost.h"
#include "support/TabOrder.h"

using namespace barcode;

namespace {

// Leftmost and rightmost columns holding a pixel that matches.
template <typename Match>
std::pair<int, int> inkSpan(const QImage& image, Match match) {
  int first = image.width(), last = -1;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (match(image.pixelColor(x, y))) {
        first = std::min(first, x);
        last = std::max(last, x);
      }
  return {first, last};
}

QImage preview(const Barcode_Gen& d) {
  return d.previewPicture().toImage(144.0).convertToFormat(QImage::Format_RGB32);
}

void choose(QComboBox* box, const QString& title) {
  const int index = box->findText(title);
  ASSERT_GE(index, 0) << title.toStdString();
  box->setCurrentIndex(index);
}

// Everything the test does inside the running dialog.
void exerciseControls(Barcode_Gen& d) {
  // Which controls each symbology offers.
  for (const QString& name : symbologyNames()) {
    SCOPED_TRACE(name.toStdString());
    d.barcodeTypePopup->setCurrentIndex(symbologyNames().indexOf(name));
    const bool twoD = isTwoDSymbology(name);
    const bool piecewise = name == "UPCA" || name == "UPCE" || name == "EAN-8" || name == "EAN-13";
    EXPECT_EQ(d.kerning_value_Checkbox->isVisibleTo(&d), !twoD);
    EXPECT_EQ(d.kerning_value_Checkbox->isEnabled(), !twoD && !piecewise);
    EXPECT_EQ(d.bar_orient_combo->isVisibleTo(&d), !twoD);
    // 2D symbols are black on white: the bar, background and value colours are not offered.
    for (QWidget* well : {d.barcode_clr, d.bar_back_clr, d.bar_val_clr}) EXPECT_EQ(well->isEnabled(), !twoD);
    EXPECT_EQ(d.qr_enc_mode_ComboBox->isVisibleTo(&d), name == "QR Code");
    for (QWidget* pdf : {d.pdf_row_Text, d.pdf_col_Text}) EXPECT_EQ(pdf->isVisibleTo(&d), name == "PDF417");
    for (QWidget* dm : {d.dm_widthText_2D, d.dm_HeightText_2D})
      EXPECT_EQ(dm->isVisibleTo(&d), name == "DataMatrix");
  }

  // A one-piece value text in red: spread over the bars' width with kerning,
  // about its natural width without.
  BarcodeSettings s;
  s.barcode_font_index = int(symbologyNames().indexOf("Code 128"));
  s.linear_font_val = "KERN";
  s.show_hide_hdr = s.show_hide_ftr = 1;
  s.barcode_val_clr_val = Qt::red;
  d.loadSettings(s);
  ASSERT_TRUE(d.kerning_value_Checkbox->isChecked());
  auto isRed = [](const QColor& c) { return c.red() > 180 && c.green() < 100 && c.blue() < 100; };
  auto isBar = [](const QColor& c) { return c.red() < 60 && c.green() < 60 && c.blue() < 60; };
  const QImage spread = preview(d);
  ASSERT_FALSE(spread.isNull()) << d.errorText().toStdString();
  const auto bars = inkSpan(spread, isBar);
  const auto wide = inkSpan(spread, isRed);
  d.kerning_value_Checkbox->setChecked(false);
  EXPECT_FALSE(Spread_Barcode_Value_Text.load());
  const auto narrow = inkSpan(preview(d), isRed);
  const int barWidth = bars.second - bars.first;
  EXPECT_GT(wide.second - wide.first, barWidth * 8 / 10);
  EXPECT_LT(narrow.second - narrow.first, barWidth * 6 / 10);
  // The orientation leaves the picture as it was.
  const QImage before = preview(d);
  d.bar_orient_combo->setCurrentIndex(1);
  EXPECT_EQ(preview(d), before);

  // Data Matrix: the format C8X32 (8 rows, 32 columns) with module size 2
  // needs 64 x 16 points: the width grows, the larger height stays.
  choose(d.barcodeTypePopup, "DataMatrix");
  d.dm_moduleText_2D->setValue(2);
  d.dm_widthText_2D->setValue(20);
  d.dm_HeightText_2D->setValue(30);
  choose(d.dm_format_ComboBox, "C8X32");
  EXPECT_EQ(d.dm_widthText_2D->value(), 64);
  EXPECT_EQ(d.dm_HeightText_2D->value(), 30);
  d.dm_moduleText_2D->setValue(5);  // typed: the size stays
  EXPECT_EQ(d.dm_widthText_2D->value(), 64);
  d.dm_moduleText_2D->stepBy(1);  // stepped to 6: both grow
  EXPECT_EQ(d.dm_widthText_2D->value(), 192);
  EXPECT_EQ(d.dm_HeightText_2D->value(), 48);
  choose(d.dm_format_ComboBox, "Auto");
  d.dm_moduleText_2D->stepBy(1);
  EXPECT_EQ(d.dm_widthText_2D->value(), 192);
  EXPECT_EQ(d.dm_HeightText_2D->value(), 48);
  choose(d.dm_format_ComboBox, "C10X10");  // 70 x 70 at module 7: only the height grows
  EXPECT_EQ(d.dm_widthText_2D->value(), 192);
  EXPECT_EQ(d.dm_HeightText_2D->value(), 70);
}

}  // namespace

TEST(BarcodeDesignerControls, OfferedPerSymbologyKerningSpreadsTheValueAndDataMatrixSizeGrows) {
  testing_support::ScriptedHost host;
  auto object = SKTGraphic::makeGraphic(GraphicKind::Barcode);
  host.queueModal([&](QDialog& dialog) {
    auto& d = static_cast<Barcode_Gen&>(dialog);
    exerciseControls(d);
    d.cancel_button->click();
    return d.result();
  });
  EXPECT_EQ(Barcode_Gen::defaultInstance().Open_Wnd(object.get()), 0);
  EXPECT_TRUE(host.messages().isEmpty()) << host.messages().join(" | ").toStdString();
  // Cancel puts the spread choice back.
  EXPECT_TRUE(Spread_Barcode_Value_Text.load());
  EXPECT_TRUE(Barcode_Gen::defaultInstance().kerning_value_Checkbox->isChecked());
}

// Typed key by key into the 2D value, the preview is encoded again at every
// key: zxing-cpp reads the text typed so far from it. Typing in the header
// frames the same symbol anew.
TEST(BarcodeDesignerControls, ThePreviewFollowsTheValueAsItIsTyped) {
  testing_support::ScriptedHost host;
  auto object = SKTGraphic::makeGraphic(GraphicKind::Barcode);
  host.queueModal([&](QDialog& dialog) {
    auto& d = static_cast<Barcode_Gen&>(dialog);
    choose(d.barcodeTypePopup, "QR Code");
    d.dataText_2D->clear();
    QString typed;
    for (const QChar c : QStringLiteral("https://quvo.example/guest/4711")) {
      QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
      QApplication::sendEvent(d.dataText_2D, &key);
      typed += c;
      EXPECT_EQ(twodtest::decode(preview(d), ZXing::BarcodeFormat::QRCode), typed.toStdString());
    }
    const QSizeF before = d.previewPicture().size;
    QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral(" AND A LONGER HEADER"));
    QApplication::sendEvent(d.HeaderText, &key);
    EXPECT_GT(d.previewPicture().size.width(), before.width());
    EXPECT_EQ(twodtest::decode(preview(d), ZXing::BarcodeFormat::QRCode), typed.toStdString());
    d.cancel_button->click();
    return d.result();
  });
  EXPECT_EQ(Barcode_Gen::defaultInstance().Open_Wnd(object.get()), 0);
}

// By keyboard: Tab reads each row from left to right (a field, then its
// check box; the orientation list before the check boxes below it) and
// leaves the 2D value field. An
// object bound to a series shows the series' first value, and keeps showing
// it when another kind of symbology (linear or 2D) is chosen.
TEST(BarcodeDesignerControls, TabReadsEachRowAndABoundValueFollowsTheSymbology) {
  testing_support::ScriptedHost host;
  // A resource folder of the test's own, with its series folder.
  QTemporaryDir root;
  ASSERT_TRUE(root.isValid());
  const QString previousResources = Resource_Path();
  Set_Resource_Path(root.path());
  ASSERT_TRUE(QDir().mkpath(Data_Folder_Path()));
  QFile series(Data_Folder_Path() + "/Guests.txt");
  ASSERT_TRUE(series.open(QIODevice::WriteOnly));
  series.write("GUEST-0042\nGUEST-0043\n");
  series.close();
  auto object = SKTGraphic::makeGraphic(GraphicKind::Barcode);
  QStringList top, linear;
  host.queueModal([&](QDialog& dialog) {
    auto& d = static_cast<Barcode_Gen&>(dialog);
    choose(d.barcodeTypePopup, "QR Code");
    top = testing_support::tabStops(d, d.barcodeTypePopup, 5);
    choose(d.barcodeTypePopup, "Code 128");
    linear = testing_support::tabStops(d, d.HeightText, 5);
    // Down on the source list, then on the series list: bound to "Guests".
    for (QComboBox* box : {d.Data_source_type, d.Batch_Series}) {
      box->setFocus();
      QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
      QApplication::sendEvent(box, &down);
    }
    EXPECT_EQ(object->batch_list_name, "Guests");
    EXPECT_EQ(d.dataText->text(), "GUEST-0042");
    choose(d.barcodeTypePopup, "QR Code");
    EXPECT_EQ(d.dataText_2D->toPlainText(), "GUEST-0042");
    EXPECT_EQ(twodtest::decode(preview(d), ZXing::BarcodeFormat::QRCode), "GUEST-0042");
    choose(d.barcodeTypePopup, "Code 39");
    EXPECT_EQ(d.dataText->text(), "GUEST-0042");
    d.ok_button->click();
    return d.result();
  });
  EXPECT_EQ(Barcode_Gen::defaultInstance().Open_Wnd(object.get()), 1);
  Set_Resource_Path(previousResources);
  // The 2D value lets Tab go on, as the one-line value does.
  EXPECT_EQ(top.join(" > ").toStdString(), "Symbology > Value > Header > Hide header > Footer > Hide footer");
  EXPECT_EQ(linear.join(" > ").toStdString(),
            "Bar Height (cm) > Bar Width (Mils) > Orientation > Hide value text > Value text on top > Spread "
            "value text over the barcode width");
}
