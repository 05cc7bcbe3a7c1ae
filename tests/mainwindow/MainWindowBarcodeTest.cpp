// Barcode objects edited through the designer from the main window: a double
// click opens the dialog; OK writes every selected barcode object (one undo
// step on the front); Cancel leaves settings and picture as they were while
// the data binding chosen in the dialog stays; the settings survive the
// design file; a barcode bound to a series in the dialog makes one card per
// row in a batch export, before and after the design file, read back by an
// independent decoder.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include "barcode/designer/BarcodeRenderer.h"
#include "barcode/designer/GraphicBarcodeSettings.h"
#include "barcode/dialog/Barcode_Gen.h"
#include "core/globals.h"
#include "data/DataSourceTable.h"
#include "data/dialogs/View_Data_Series.h"
#include "mainwindow/SKTWindowController.h"
#include "mainwindow/globals.h"
#include "platform/globals.h"
#include "production/CardExport.h"
#include "production/ExportWindow.h"
#include "support/ScriptedHost.h"

using barcode::BarcodeSettings;

namespace {

int symbology(const char* name) {
  return static_cast<int>(barcode::symbologyNames().indexOf(QString::fromLatin1(name)));
}

SKTGraphicPtr barcodeAt(SKTWindowController& window, CardSide side, QPointF centre) {
  auto g = SKTGraphic::makeGraphic(GraphicKind::Barcode);
  g->_bounds = QRectF(centre - QPointF(20, 10), QSizeF(40, 20));
  window.document()->insertGraphic(side, g, 0);
  return g;
}

// A person's double click: the first click makes the object current (its
// tabs show it), the second opens the designer.
void doubleClick(SKTGraphicView* view, const SKTGraphicPtr& g) {
  const QPointF at = g->bounds().center();
  view->queueTrackingEvents({SKTCanvasMouseEvent{SKTCanvasMouseEvent::Type::Up, at, 1, false}});
  view->mouseDown(SKTCanvasMouseEvent{SKTCanvasMouseEvent::Type::Down, at, 1, false});
  view->mouseDown(SKTCanvasMouseEvent{SKTCanvasMouseEvent::Type::Down, at, 2, false});
}

void writeSeries(const QString& name, const QString& text) {
  QDir().mkpath(Data_Folder_Path());
  QFile file(Data_Folder_Path() + "/" + name + ".txt");
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(text.toUtf8());
}

// The texts of the QR codes that zxing-cpp's reader finds in a picture file.
QStringList qrTexts(const QString& path) {
  QProcess reader;
  reader.start(QStringLiteral("ZXingReader"), {QStringLiteral("-format"), QStringLiteral("QRCode"), path});
  if (!reader.waitForFinished(30000)) return {QStringLiteral("reader did not run")};
  QStringList texts;
  for (const QString& line : QString::fromUtf8(reader.readAllStandardOutput()).split('\n'))
    if (line.startsWith(QStringLiteral("Text:"))) texts << line.section('"', 1, -2);
  return texts;
}

}  // namespace

class MainWindowBarcode : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    Set_Resource_Path(dir.filePath(QStringLiteral("resources")));
    QDir().mkpath(Resource_Path());
    QFile::copy(QStringLiteral(QUVO_SOURCE_DIR "/resources/barcode_sample.png"),
                Resource_Path() + "/barcode_sample.png");
    Card_Front_Or_Back = 0;
    Project_File_Name.clear();
  }
  void TearDown() override {
    Card_Front_Or_Back = 0;
    Project_File_Name.clear();
  }
  QTemporaryDir dir;
  testing_support::ScriptedHost host;
};

TEST_F(MainWindowBarcode, OkWritesEverySelectedBarcodeAsOneUndoStep) {
  SKTWindowController window;
  SKTGraphicView* view = window.graphicView();
  const SKTGraphicPtr first = barcodeAt(window, CardSide::Front, {60, 40});
  const SKTGraphicPtr second = barcodeAt(window, CardSide::Front, {160, 120});
  // The edited barcode is screen only; the other selected one is not: OK gives
  // both the state of the window's "Screen only" box.
  first->print_object = 1;
  view->changeSelectionIndexes({0, 1});
  const int undoBefore = window.document()->undoStack()->count();

  host.queueModal([&window](QDialog& d) {
    EXPECT_TRUE(window.print_object_chk->isChecked());
    auto& dialog = static_cast<Barcode_Gen&>(d);
    dialog.barcodeTypePopup->setCurrentIndex(symbology("Code 128"));
    dialog.dataText->setText(QStringLiteral("Guest 42"));
    dialog.HeaderText->setText(QStringLiteral("Welcome"));
    dialog.ok_button->click();
    return dialog.result();
  });
  doubleClick(view, first);

  const QImage accepted = Barcode_Gen::defaultInstance().Barcode_output_image;
  ASSERT_FALSE(accepted.isNull());
  for (const SKTGraphicPtr& g : {first, second}) {
    const BarcodeSettings s = barcode::barcodeSettingsOf(*g);
    EXPECT_EQ(s.symbology(), "Code 128");
    EXPECT_EQ(s.linear_font_val, "Guest 42");
    EXPECT_EQ(s.header_val, "Welcome");
    EXPECT_EQ(g->_barcode_image, accepted);
    // The picture is the renderer's for the object's own record, and the frame follows it.
    const auto r = barcode::render(s, s.linear_font_val, s.header_val, s.footer_val);
    EXPECT_EQ(barcode::cardImage(r.picture, barcode::resolutionDpi(s)), g->_barcode_image);
    EXPECT_EQ(g->bounds().size(), accepted.deviceIndependentSize());
    EXPECT_EQ(g->print_object, 1);
  }
  EXPECT_EQ(window.document()->undoStack()->count(), undoBefore + 1);
  window.document()->undo();
  for (const SKTGraphicPtr& g : {first, second}) {
    EXPECT_EQ(barcode::barcodeSettingsOf(*g), BarcodeSettings());
    EXPECT_TRUE(g->_barcode_image.isNull());
    EXPECT_EQ(g->bounds().size(), QSizeF(40, 20));
  }
  EXPECT_EQ(first->print_object, 1);
  EXPECT_EQ(second->print_object, 0);
  window.document()->redo();
  EXPECT_EQ(barcode::barcodeSettingsOf(*second).linear_font_val, "Guest 42");
  EXPECT_EQ(second->_barcode_image, accepted);
  EXPECT_EQ(second->print_object, 1);
}

TEST_F(MainWindowBarcode, CancelKeepsSettingsAndPictureButTheSeriesChosenStays) {
  writeSeries(QStringLiteral("Guests"), QStringLiteral("Ann\nBob\n"));
  writeSeries(QStringLiteral("Staff"), QStringLiteral("S-100\nS-101\n"));
  SKTWindowController window;
  SKTGraphicView* view = window.graphicView();
  const SKTGraphicPtr g = barcodeAt(window, CardSide::Front, {60, 40});
  view->changeSelectionIndexes({0});
  host.queueModal([](QDialog& d) {
    auto& dialog = static_cast<Barcode_Gen&>(d);
    dialog.dataText->setText(QStringLiteral("FIRST"));
    dialog.ok_button->click();
    return dialog.result();
  });
  doubleClick(view, g);
  const BarcodeSettings before = barcode::barcodeSettingsOf(*g);
  const QImage pictureBefore = g->_barcode_image;
  ASSERT_FALSE(pictureBefore.isNull());

  QString valueShown;
  host.queueModal([&](QDialog& d) {
    auto& dialog = static_cast<Barcode_Gen&>(d);
    dialog.barcodeTypePopup->setCurrentIndex(symbology("QR Code"));
    dialog.LR_mar_Text->setValue(0.5);
    dialog.Data_source_type->setCurrentIndex(1);
    emit dialog.Data_source_type->activated(1);
    dialog.Batch_Series->setCurrentIndex(dialog.Batch_Series->findText(QStringLiteral("Staff")));
    emit dialog.Batch_Series->activated(dialog.Batch_Series->currentIndex());
    valueShown = dialog.dataText_2D->toPlainText();
    EXPECT_TRUE(dialog.previewPicture().size.width() > 0);
    dialog.view_series_btn->click();
    dialog.cancel_button->click();
    return dialog.result();
  });
  QString viewed;
  host.queueModal([&](QDialog& d) {
    viewed = static_cast<View_Data_Series&>(d).list_count->text();
    return 1;
  });
  doubleClick(view, g);
  EXPECT_EQ(viewed, "Total Rows : 2");
  EXPECT_EQ(valueShown, "S-100");
  EXPECT_EQ(barcode::barcodeSettingsOf(*g), before);
  EXPECT_EQ(g->_barcode_image, pictureBefore);
  EXPECT_EQ(g->data_source_type, 1);
  EXPECT_EQ(g->batch_list_name, "Staff");
  EXPECT_EQ(g->batch_list_index, 1);

  // A series listed before it moves the stored index; the binding is found by its name.
  writeSeries(QStringLiteral("Alumni"), QStringLiteral("A-1\n"));
  QString selected;
  host.queueModal([&](QDialog& d) {
    auto& dialog = static_cast<Barcode_Gen&>(d);
    selected = dialog.Batch_Series->currentText();
    dialog.cancel_button->click();
    return dialog.result();
  });
  doubleClick(view, g);
  EXPECT_EQ(selected, "Staff");
  // With no series at all, "Series" is refused with a message and the source stays.
  QDir(Data_Folder_Path()).removeRecursively();
  g->Set_Data_source_type(0);
  host.queueModal([&](QDialog& d) {
    auto& dialog = static_cast<Barcode_Gen&>(d);
    dialog.Data_source_type->setCurrentIndex(1);
    emit dialog.Data_source_type->activated(1);
    EXPECT_EQ(dialog.Data_source_type->currentIndex(), 0);
    dialog.cancel_button->click();
    return dialog.result();
  });
  doubleClick(view, g);
  EXPECT_EQ(g->data_source_type, 0);
  EXPECT_TRUE(host.messages().contains(QStringLiteral("\nPlease create batch processing series first.")));

  // A spreadsheet column: an object not yet bound to one keeps its value
  // (never the row number of column 0), also through OK, until a column is
  // chosen; the column an object is bound to shows its first cell at once,
  // and View shows the spreadsheet's rows.
  Data_From_Excel_Table().replaceContents(
      {QStringLiteral("No."), QStringLiteral("Name"), QStringLiteral("Code")},
      {{{"Extension", "1"}, {"Column1", "Anna"}, {"Column2", "G-001"}},
       {{"Extension", "2"}, {"Column1", "Bob"}, {"Column2", "G-002"}}});
  QString kept;
  host.queueModal([&](QDialog& d) {
    auto& dialog = static_cast<Barcode_Gen&>(d);
    dialog.barcodeTypePopup->setCurrentIndex(symbology("Code 128"));
    const int item = dialog.Data_source_type->findText(QStringLiteral("Excel"));
    dialog.Data_source_type->setCurrentIndex(item);
    emit dialog.Data_source_type->activated(item);
    kept = dialog.dataText->text();
    dialog.ok_button->click();
    return dialog.result();
  });
  doubleClick(view, g);
  EXPECT_EQ(kept, "FIRST");
  EXPECT_EQ(barcode::barcodeSettingsOf(*g).linear_font_val, "FIRST");
  EXPECT_EQ(g->excel_col_indx, 0);
  g->Set_Excel_binding_Index(2);
  QString shown;
  QStringList windows;
  host.queueModal([&](QDialog& d) {
    auto& dialog = static_cast<Barcode_Gen&>(d);
    dialog.Data_source_type->setCurrentIndex(2);
    emit dialog.Data_source_type->activated(2);
    shown = dialog.dataText->text();
    dialog.view_series_btn->click();
    dialog.cancel_button->click();
    return dialog.result();
  });
  host.queueModal([&](QDialog& d) {
    windows << QString::fromLatin1(d.metaObject()->className());
    return 1;
  });
  doubleClick(view, g);
  EXPECT_EQ(shown, "G-001");
  EXPECT_EQ(windows, QStringList{"Data_From_Excel"});
  EXPECT_EQ(g->data_source_type, 2);
  EXPECT_EQ(g->excel_col_indx, 2);
  Data_From_Excel_Table().replaceContents({DataSourceTable::kDefaultFirstTitle}, {});
}

TEST_F(MainWindowBarcode, SettingsSurviveTheDesignFileAndReopenInTheDialog) {
  const QString file = dir.filePath(QStringLiteral("badge.dcard"));
  BarcodeSettings accepted;
  QSizeF pictureSize;
  {
    SKTWindowController window;
    const SKTGraphicPtr g = barcodeAt(window, CardSide::Front, {80, 50});
    window.graphicView()->changeSelectionIndexes({0});
    host.queueModal([&](QDialog& d) {
      auto& dialog = static_cast<Barcode_Gen&>(d);
      dialog.barcodeTypePopup->setCurrentIndex(symbology("DataMatrix"));
      dialog.dataText_2D->setPlainText(QStringLiteral("Badge 7\nRoom B"));
      dialog.dm_format_ComboBox->setCurrentIndex(
          dialog.dm_format_ComboBox->findText(QStringLiteral("C16X48")));
      dialog.dm_moduleText_2D->setValue(3);
      dialog.FooterText->setText(QStringLiteral("Conference"));
      dialog.hideHeaderCheckbox->setChecked(true);
      dialog.align_ftr_combo->setCurrentIndex(2);
      dialog.header_font_size->setValue(14);
      dialog.TB_mar_Text->setValue(0.25);
      dialog.qr_ec_lvl_ComboBox->setCurrentIndex(3);
      dialog.DPI_ComboBox->setCurrentIndex(barcode::resolutionNames().indexOf(QStringLiteral("Custom")));
      dialog.dpi_Text->setText(QStringLiteral("450"));
      dialog.ok_button->click();
      return dialog.result();
    });
    host.queueModal([&](QDialog& d) {
      auto& dialog = static_cast<Barcode_Gen&>(d);
      dialog.bar_ftr_clr->click();
      accepted = dialog.settings();
      dialog.ok_button->click();
      return dialog.result();
    });
    // The footer colour through the colour dialog, run by the host inside the second run.
    host.queueModal([](QDialog& d) {
      static_cast<QColorDialog&>(d).setCurrentColor(QColor(200, 30, 60));
      return 1;
    });
    doubleClick(window.graphicView(), g);  // the first set of changes
    doubleClick(window.graphicView(), g);  // the colour
    EXPECT_EQ(barcode::barcodeSettingsOf(*g), accepted);
    EXPECT_EQ(accepted.barcode_ftr_clr_val, QColor(200, 30, 60));
    EXPECT_EQ(accepted.dpi_custom_val, "450");
    pictureSize = g->_barcode_image.deviceIndependentSize();
    host.queueSavePanel(file);
    window.Save_Btn_Clicked();
  }
  SKTWindowController reopened;
  ASSERT_EQ(reopened.Read_and_load_design_Log(file, QStringLiteral("L")), 1);
  ASSERT_EQ(reopened.document()->graphics().size(), 1u);
  const SKTGraphicPtr g = reopened.document()->graphics().front();
  EXPECT_EQ(barcode::barcodeSettingsOf(*g), accepted);
  EXPECT_NEAR(g->_barcode_image.deviceIndependentSize().width(), pictureSize.width(), 0.01);
  BarcodeSettings shown;
  host.queueModal([&](QDialog& d) {
    auto& dialog = static_cast<Barcode_Gen&>(d);
    shown = dialog.settings();
    dialog.cancel_button->click();
    return dialog.result();
  });
  doubleClick(reopened.graphicView(), g);
  EXPECT_EQ(shown, accepted);
}

TEST_F(MainWindowBarcode, BoundInTheDialogEveryExportedCardCarriesItsRow) {
  writeSeries(QStringLiteral("Alumni"), QStringLiteral("A-1\n"));
  writeSeries(QStringLiteral("Badges"), QStringLiteral("Ann Lee\nBob 2\nCy-3\n"));
  const QString design = dir.filePath(QStringLiteral("badges.dcard"));
  // Export of every row through the export window, the folder panel and the finished box.
  auto exportRows = [this](SKTWindowController& window, const QString& folder) {
    QDir().mkpath(folder);
    host.queueModal([](QDialog& d) {
      auto& w = static_cast<ExportWindow&>(d);
      EXPECT_TRUE(w.Export_with_batch_chk->isChecked());
      w.fileFormatPopup->setCurrentText(QStringLiteral("PNG"));
      return 1;
    });
    host.queueOpenPanel({folder});
    host.queueModal([](QDialog&) { return 0; });  // the finished box
    window.Export_Button();
    EXPECT_TRUE(window.cardExport().waitForRun(60000));
    QStringList read;
    for (const QString& name : QDir(folder + "/QUVO Gratulo").entryList(QDir::Files, QDir::Name))
      read << name + "=" + qrTexts(folder + "/QUVO Gratulo/" + name).join('|');
    return read;
  };
  const QStringList expected{"Card_1.PNG=Ann Lee", "Card_2.PNG=Bob 2", "Card_3.PNG=Cy-3"};
  {
    SKTWindowController window;
    window.Front_card_Prop.Card_fill_chk = true;
    window.Front_card_Prop.Card_fill_clr = Qt::white;
    const SKTGraphicPtr g = barcodeAt(window, CardSide::Front, {120, 80});
    window.graphicView()->changeSelectionIndexes({0});
    host.queueModal([](QDialog& d) {
      auto& dialog = static_cast<Barcode_Gen&>(d);
      dialog.barcodeTypePopup->setCurrentIndex(symbology("QR Code"));
      dialog.hideHeaderCheckbox->setChecked(true);
      dialog.hideFooterCheckbox->setChecked(true);
      dialog.Data_source_type->setCurrentIndex(1);
      emit dialog.Data_source_type->activated(1);
      const int badges = dialog.Batch_Series->findText(QStringLiteral("Badges"));
      dialog.Batch_Series->setCurrentIndex(badges);
      emit dialog.Batch_Series->activated(badges);
      EXPECT_EQ(dialog.dataText_2D->toPlainText(), "Ann Lee");
      dialog.ok_button->click();
      return dialog.result();
    });
    doubleClick(window.graphicView(), g);
    EXPECT_EQ(g->data_source_type, 1);
    EXPECT_EQ(g->batch_list_name, "Badges");
    EXPECT_EQ(exportRows(window, dir.filePath(QStringLiteral("first"))), expected);
    EXPECT_EQ(host.messages(), QStringList());
    host.queueSavePanel(design);
    window.Save_Btn_Clicked();
  }
  // The binding is the design's: reopened, the same rows come out.
  SKTWindowController reopened;
  ASSERT_EQ(reopened.Read_and_load_design_Log(design, QStringLiteral("L")), 1);
  EXPECT_EQ(exportRows(reopened, dir.filePath(QStringLiteral("again"))), expected);
}
