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
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <functional>

#include "barcode/designer/BarcodeRenderer.h"
#include "barcode/designer/GraphicBarcodeSettings.h"
#include "barcode/dialog/Barcode_Gen.h"
#include "barcode/globals.h"
#include "core/globals.h"
#include "core/render/SKTRenderingView.h"
#include "data/DataSourceTable.h"
#include "data/dialogs/View_Data_Series.h"
#include "mainwindow/SKTWindowController.h"
#include "mainwindow/globals.h"
#include "mainwindow/panels/DataSourceTab.h"
#include "platform/ChildProcess.h"
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
  const auto reader = platform::runChild(
      QStringLiteral("ZXingReader"), {QStringLiteral("-format"), QStringLiteral("QRCode"), path}, {}, 30000);
  if (reader.exitCode < 0) return {QStringLiteral("reader did not run")};
  QStringList texts;
  for (const QString& line : QString::fromUtf8(reader.out).split('\n'))
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
    Spread_Barcode_Value_Text = true;
    Data_From_Excel_Table().replaceContents({DataSourceTable::kDefaultFirstTitle}, {});
  }
  // Export of every row through the export window, the folder panel and the
  // finished box, as PNG files: "<file name>=<what read tells of the file>".
  QStringList exportCards(SKTWindowController& window, const QString& folder,
                          const std::function<QString(const QString&)>& read) {
    QDir().mkpath(folder);
    host.queueModal([](QDialog& d) {
      static_cast<ExportWindow&>(d).fileFormatPopup->setCurrentText(QStringLiteral("PNG"));
      return 1;
    });
    host.queueOpenPanel({folder});
    host.queueModal([](QDialog&) { return 0; });  // the finished box
    window.Export_Button();
    EXPECT_TRUE(window.cardExport().waitForRun(60000));
    QStringList cards;
    const QString written = folder + "/QUVO Gratulo/";
    for (const QString& name : QDir(written).entryList(QDir::Files, QDir::Name))
      cards << name + "=" + read(written + name);
    return cards;
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

  // A spreadsheet column: an object not yet bound to one keeps its value and
  // its source (never the row number of column 0), also through OK, until a
  // column is chosen; the column an object is bound to shows its first cell at once,
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
  EXPECT_EQ(g->data_source_type, 0);
  g->Set_Data_source_type(2);
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
  auto exportRows = [this](SKTWindowController& window, const QString& folder) {
    return exportCards(window, folder, [](const QString& file) { return qrTexts(file).join('|'); });
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

// The designer's "spread value text" box holds for every barcode drawn after
// OK: the canvas, each exported card and the canvas after the run show the
// compact caption the preview showed, until the box is ticked again.
TEST_F(MainWindowBarcode, TheSpreadChoiceHoldsForTheCanvasAndEveryExportedCard) {
  writeSeries(QStringLiteral("Codes"), QStringLiteral("AB12\nCD34\n"));
  SKTWindowController window;
  window.Front_card_Prop.Card_fill_chk = true;
  window.Front_card_Prop.Card_fill_clr = Qt::white;
  const SKTGraphicPtr g = barcodeAt(window, CardSide::Front, {120, 80});
  barcode::BarcodePicture spread, compact;
  host.queueModal([&](QDialog& d) {
    auto& dialog = static_cast<Barcode_Gen&>(d);
    dialog.barcodeTypePopup->setCurrentIndex(symbology("Code 39"));
    dialog.Data_source_type->setCurrentIndex(1);
    emit dialog.Data_source_type->activated(1);
    const int codes = dialog.Batch_Series->findText(QStringLiteral("Codes"));
    dialog.Batch_Series->setCurrentIndex(codes);
    emit dialog.Batch_Series->activated(codes);
    EXPECT_TRUE(dialog.kerning_value_Checkbox->isChecked());
    spread = dialog.previewPicture();
    dialog.kerning_value_Checkbox->setChecked(false);
    compact = dialog.previewPicture();
    dialog.ok_button->click();
    return dialog.result();
  });
  doubleClick(window.graphicView(), g);
  const QImage onCanvas = g->_barcode_image;
  ASSERT_FALSE(onCanvas.isNull());
  ASSERT_NE(spread.toImage(72), compact.toImage(72));
  EXPECT_EQ(onCanvas, barcode::cardImage(compact, barcode::resolutionDpi(barcode::barcodeSettingsOf(*g))));

  // The cards as exported with the choice in force, and with the other choice:
  // every card of the run follows the designer's state.
  auto exported = [&](const QString& folder) {
    QList<QImage> pictures;
    exportCards(window, dir.filePath(folder), [&](const QString& file) {
      pictures << QImage(file).convertToFormat(QImage::Format_RGB32);
      return QString();
    });
    return pictures;
  };
  const QList<QImage> chosen = exported(QStringLiteral("compact"));
  Spread_Barcode_Value_Text = true;
  const QList<QImage> other = exported(QStringLiteral("spread"));
  Spread_Barcode_Value_Text = false;
  ASSERT_EQ(chosen.size(), 2);
  ASSERT_EQ(other.size(), 2);
  EXPECT_NE(chosen[0], other[0]);
  EXPECT_NE(chosen[1], other[1]);
  EXPECT_TRUE(exported(QStringLiteral("compact again")) == chosen);
  // After the run the canvas shows row 1 as before.
  EXPECT_EQ(g->_barcode_image, onCanvas);

  // The designer shows the choice still in force when it opens again.
  host.queueModal([&](QDialog& d) {
    EXPECT_FALSE(static_cast<Barcode_Gen&>(d).kerning_value_Checkbox->isChecked());
    return 0;
  });
  doubleClick(window.graphicView(), g);
}

// Choosing "Excel" without a column, in the designer or in the data-source
// tab, binds nothing: each object keeps the value the card shows, and the
// exported cards carry it (never the row numbers of the first column).
TEST_F(MainWindowBarcode, ChoosingTheSpreadsheetWithoutAColumnKeepsWhatTheCardShows) {
  Data_From_Excel_Table().replaceContents(
      {QStringLiteral("No."), QStringLiteral("Name"), QStringLiteral("Code")},
      {{{"Extension", "1"}, {"Column1", "Anna"}, {"Column2", "G-001"}},
       {{"Extension", "2"}, {"Column1", "Bob"}, {"Column2", "G-002"}}});
  SKTWindowController window;
  window.Front_card_Prop.Card_fill_chk = true;
  window.Front_card_Prop.Card_fill_clr = Qt::white;
  // A QR code with a typed value, and one bound to the "Code" column.
  auto designQr = [&](QPointF centre, const QString& typed, int column) {
    const SKTGraphicPtr g = barcodeAt(window, CardSide::Front, centre);
    host.queueModal([=](QDialog& d) {
      auto& dialog = static_cast<Barcode_Gen&>(d);
      dialog.barcodeTypePopup->setCurrentIndex(symbology("QR Code"));
      dialog.hideHeaderCheckbox->setChecked(true);
      dialog.hideFooterCheckbox->setChecked(true);
      dialog.dataText_2D->setPlainText(typed);
      const int excel = dialog.Data_source_type->findText(QStringLiteral("Excel"));
      dialog.Data_source_type->setCurrentIndex(excel);
      emit dialog.Data_source_type->activated(excel);
      EXPECT_EQ(dialog.dataText_2D->toPlainText(), typed);
      if (column >= 0) {
        dialog.Batch_Series->setCurrentIndex(column);
        emit dialog.Batch_Series->activated(column);
      }
      dialog.ok_button->click();
      return dialog.result();
    });
    doubleClick(window.graphicView(), g);
    return g;
  };
  const SKTGraphicPtr typed = designQr({60, 95}, QStringLiteral("FIRST"), -1);
  const SKTGraphicPtr bound = designQr({180, 95}, QStringLiteral("x"), 2);
  EXPECT_EQ(typed->data_source_type, 0);
  EXPECT_EQ(bound->data_source_type, 2);

  // A text keeps its words and a picture its file when "Excel" is chosen in the tab.
  DataSourceTab* tab = window.dataSourceTab();
  window.toolAction(DrawingTool::Text)->trigger();
  const SKTGraphicPtr text = window.document()->graphics().front();
  const QString words = text->Text_contents()->string;
  tab->Data_source_type->setCurrentIndex(2);
  text->setBounds(QRectF(5, 5, 60, 20));
  const QString file = Resource_Path() + "/barcode_sample.png";
  host.queueOpenPanel({file});
  window.toolAction(DrawingTool::PictureFile)->trigger();
  const SKTGraphicPtr picture = window.document()->graphics().front();
  tab->Data_source_type->setCurrentIndex(2);
  picture->setBounds(QRectF(180, 5, 30, 20));
  EXPECT_EQ(text->data_source_type, 0);
  EXPECT_EQ(picture->data_source_type, 0);

  const QStringList cards = exportCards(window, dir.filePath(QStringLiteral("cards")), [](const QString& f) {
    QStringList texts = qrTexts(f);
    texts.sort();
    return texts.join('|');
  });
  EXPECT_EQ(cards, (QStringList{"Card_1.PNG=FIRST|G-001", "Card_2.PNG=FIRST|G-002"}));
  // After the run the card shows what it showed before.
  EXPECT_EQ(text->Text_contents()->string, words);
  EXPECT_EQ(picture->_file_path, file);
  EXPECT_EQ(typed->data_source_type, 0);
}
