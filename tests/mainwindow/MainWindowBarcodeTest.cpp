// Barcode objects edited through the designer from the main window: a double
// click opens the dialog; OK writes every selected barcode object (one undo
// step on the front); Cancel leaves the settings as they were while the data
// binding chosen in the dialog stays and the barcode shows its first value; the settings survive the
// design file; a barcode bound to a series in the dialog makes one card per
// row in a batch export, before and after the design file, read back by an
// independent decoder, and shows card 1's value in the designer and on the
// canvas, also where card 1 has none; the designer's spread choice outlives
// the program and every barcode on the canvas follows it; a barcode in a
// frame smaller than its picture shows whole on the canvas, as exported; a
// barcode placed with the tool is the designer's default barcode, read alike
// on the canvas, the exported card and the printed sheet, and placing it is
// one undo step; Undo takes a column chosen in the designer back with the
// value it shows, and after Cancel a column or "Manual" kept shows alike on the
// canvas, a single export and a run; font sizes a design file cannot keep are
// refused with their limit.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <functional>

#include "barcode/SpreadChoice.h"
#include "barcode/designer/BarcodeRenderer.h"
#include "barcode/designer/CardBarcodePicture.h"
#include "barcode/designer/GraphicBarcodeSettings.h"
#include "barcode/dialog/Barcode_Gen.h"
#include "barcode/globals.h"
#include "core/globals.h"
#include "core/render/SKTRenderingView.h"
#include "data/DataSourceTable.h"
#include "data/dialogs/Data_From_Excel.h"
#include "data/dialogs/View_Data_Series.h"
#include "mainwindow/SKTWindowController.h"
#include "mainwindow/WindowTestSupport.h"
#include "mainwindow/globals.h"
#include "mainwindow/panels/DataSourceTab.h"
#include "platform/ChildProcess.h"
#include "platform/globals.h"
#include "production/CardExport.h"
#include "production/ExportWindow.h"
#include "production/print/Print_Wnd.h"
#include "production/print/Printers.h"
#include "support/CanvasInput.h"
#include "support/EventLoop.h"
#include "support/ScriptedHost.h"
#include "support/TestFiles.h"

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

// The texts of the barcodes of a format ("QRCode", "Code128") that zxing-cpp's
// reader finds in a picture file.
QStringList decodedTexts(const QString& path, const QString& format = QStringLiteral("QRCode")) {
  const auto reader =
      platform::runChild(QStringLiteral("ZXingReader"), {QStringLiteral("-format"), format, path}, {},
                         testing_support::kHangGuardMs);
  if (reader.exitCode < 0) return {QStringLiteral("reader did not run")};
  QStringList texts;
  for (const QString& line : QString::fromUtf8(reader.out).split('\n'))
    if (line.startsWith(QStringLiteral("Text:"))) texts << line.section('"', 1, -2);
  return texts;
}

// The bytes of the one barcode of a format that a reader finds in a picture
// file, as the symbol holds them: zxing-cpp's ("QRCode", "PDF417"), zbarimg's
// (QR Code) or dmtxread's (Data Matrix).
QByteArray zxingBytes(const QString& path, const QString& format = QStringLiteral("QRCode")) {
  return testing_support::runProgram(QStringLiteral("ZXingReader"), {"-bytes", "-format", format, path}).out;
}
QByteArray zbarBytes(const QString& path) {
  return testing_support::runProgram(QStringLiteral("zbarimg"), {"-q", "--raw", "-Sbinary", path}).out;
}
QByteArray dmtxBytes(const QString& path) {
  return testing_support::runProgram(QStringLiteral("dmtxread"), {path}).out;
}

// What zbarimg reads in a picture file: "<symbology>:<text>" per symbol, sorted.
QStringList zbarTexts(const QString& path) {
  QStringList texts = QString::fromUtf8(testing_support::runProgram("zbarimg", {"-q", path}).out)
                          .split('\n', Qt::SkipEmptyParts);
  texts.sort();
  return texts;
}

// The card picture the designer makes for the object's settings with the
// given spread choice.
QImage drawnWith(bool spread, const SKTGraphic& g) {
  const bool inForce = Spread_Barcode_Value_Text.exchange(spread);
  const BarcodeSettings s = barcode::barcodeSettingsOf(g);
  const auto r = barcode::render(s, s.value(), s.header_val, s.footer_val);
  Spread_Barcode_Value_Text = inForce;
  return barcode::cardImage(r.picture, barcode::resolutionDpi(s));
}

// Designs a linear barcode through the designer: symbology, value and the
// state of the spread box, then OK.
void designLinear(SKTGraphicView* view, const SKTGraphicPtr& g, testing_support::ScriptedHost& host,
                  const char* type, const QString& value, bool spread) {
  host.queueModal([=](QDialog& d) {
    auto& dialog = static_cast<Barcode_Gen&>(d);
    dialog.barcodeTypePopup->setCurrentIndex(symbology(type));
    dialog.dataText->setText(value);
    dialog.kerning_value_Checkbox->setChecked(spread);
    dialog.ok_button->click();
    return dialog.result();
  });
  doubleClick(view, g);
}

// The smallest rectangle holding every dark pixel of a card's picture drawn
// at `scale` pixels per point, inside its outline.
QRectF inkInPoints(const QImage& picture, double scale) {
  const QRect inside = picture.rect().adjusted(4 * scale, 4 * scale, -4 * scale, -4 * scale);
  QRect ink;
  for (int y = inside.top(); y <= inside.bottom(); ++y)
    for (int x = inside.left(); x <= inside.right(); ++x)
      if (qGray(picture.pixel(x, y)) < 128) ink |= QRect(x, y, 1, 1);
  return {QPointF(ink.topLeft()) / scale, QSizeF(ink.size()) / scale};
}

// How far apart the nearest edges of two rectangles lie at most.
double farthestEdge(const QRectF& a, const QRectF& b) {
  return std::max({std::abs(a.left() - b.left()), std::abs(a.top() - b.top()),
                   std::abs(a.right() - b.right()), std::abs(a.bottom() - b.bottom())});
}

// What the screen shows of a widget of the window (as last painted, not
// drawn afresh), at one pixel per point.
QImage shownOnScreen(QWidget* widget) {
  QWidget* window = widget->window();
  const QPoint at = widget->mapTo(window, QPoint(0, 0));
  return window->screen()
      ->grabWindow(window->winId(), at.x(), at.y(), widget->width(), widget->height())
      .toImage()
      .convertToFormat(QImage::Format_RGB32);
}

// How many pixels of the part `points` (in points) of two pictures of one
// pixel per point differ by more than antialiasing does.
int differingPixels(const QImage& a, const QImage& b, const QRect& points) {
  int differing = 0;
  for (int y = points.top(); y <= points.bottom(); ++y)
    for (int x = points.left(); x <= points.right(); ++x)
      if (std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y))) > 96) ++differing;
  return differing;
}

// Collects the parts of a widget that are painted again.
class PaintedRegion : public QObject {
 public:
  QRegion painted;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(e)->region();
    return false;
  }
};

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
    barcode::keepSpreadChoice(true);  // the built-in choice, also for the next test's window
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
    EXPECT_TRUE(window.cardExport().waitForRun(testing_support::kHangGuardMs));
    QStringList cards;
    const QString written = folder + "/QUVO Gratulo/";
    for (const QString& name : QDir(written).entryList(QDir::Files, QDir::Name))
      cards << name + "=" + read(written + name);
    return cards;
  }
  // A white front, in the window shown on the screen.
  static void showWithWhiteCard(SKTWindowController& window) {
    window.Front_card_Prop.Card_fill_chk = true;
    window.Front_card_Prop.Card_fill_clr = Qt::white;
    window.resize(1100, 800);
    window.show();
  }
  // Export of the card as designed (bound data unticked) through the export
  // window, the save panel and the finished box, as a PNG file at `dpi`: the file's path.
  QString exportCard(SKTWindowController& window, const QString& dpi) {
    const QString card = dir.filePath(QStringLiteral("card.png"));
    host.queueModal([dpi](QDialog& d) {
      auto& w = static_cast<ExportWindow&>(d);
      w.Export_with_batch_chk->setChecked(false);
      w.Export_with_excel_chk->setChecked(false);
      w.fileFormatPopup->setCurrentText(QStringLiteral("PNG"));
      w.saveDPIText->setCurrentText(dpi);
      return 1;
    });
    host.queueSavePanel(card);
    host.queueModal([](QDialog&) { return 0; });  // the finished box
    window.Export_Button();
    return card;
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
  // The settings stay; the series chosen stays, and the barcode shows its first value.
  BarcodeSettings kept = before;
  kept.linear_font_val = QStringLiteral("S-100");
  EXPECT_EQ(barcode::barcodeSettingsOf(*g), kept);
  EXPECT_NE(g->_barcode_image, pictureBefore);
  EXPECT_EQ(g->_barcode_image, barcode::cardPictureOf(*g, QStringLiteral("S-100")));
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
  QString shownFirst;
  host.queueModal([&](QDialog& d) {
    auto& dialog = static_cast<Barcode_Gen&>(d);
    dialog.barcodeTypePopup->setCurrentIndex(symbology("Code 128"));
    const int item = dialog.Data_source_type->findText(QStringLiteral("Excel"));
    dialog.Data_source_type->setCurrentIndex(item);
    emit dialog.Data_source_type->activated(item);
    shownFirst = dialog.dataText->text();
    dialog.ok_button->click();
    return dialog.result();
  });
  doubleClick(view, g);
  EXPECT_EQ(shownFirst, "S-100");
  EXPECT_EQ(barcode::barcodeSettingsOf(*g).linear_font_val, "S-100");
  EXPECT_EQ(g->data_source_type, 0);
  g->Set_Data_source_type(2);
  g->Set_Excel_binding_Index(2);
  QString shown, corrected;
  QStringList windows;
  host.queueModal([&](QDialog& d) {
    auto& dialog = static_cast<Barcode_Gen&>(d);
    dialog.Data_source_type->setCurrentIndex(2);
    emit dialog.Data_source_type->activated(2);
    shown = dialog.dataText->text();
    dialog.view_series_btn->click();
    corrected = dialog.dataText->text();
    dialog.cancel_button->click();
    return dialog.result();
  });
  // A cell corrected there is the value the designer shows when the spreadsheet window closes.
  host.queueModal([&](QDialog& d) {
    windows << QString::fromLatin1(d.metaObject()->className());
    QAbstractItemModel* rows = static_cast<Data_From_Excel&>(d).ColList->model();
    rows->setData(rows->index(0, 2), QStringLiteral("G-009"));
    return 1;
  });
  doubleClick(view, g);
  EXPECT_EQ(shown, "G-001");
  EXPECT_EQ(corrected, "G-009");
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
    return exportCards(window, folder, [](const QString& file) { return decodedTexts(file).join('|'); });
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

// A barcode bound to a series in the designer shows what card 1 of a run
// shows: its value, read and trimmed as the run fills it, in the value field,
// the preview and, after OK, on the canvas. Here a file with CR LF line ends
// and blanks before its first value, and a series whose first value is empty
// (card 1 without a barcode, card 2 with the second value).
TEST_F(MainWindowBarcode, ABarcodeBoundInTheDesignerShowsWhatCardOneShows) {
  writeSeries(QStringLiteral("Guests"), QStringLiteral("  Ann Lee\r\nBob 2\r\n"));
  writeSeries(QStringLiteral("Titles"), QStringLiteral("\nDr.\nProf.\n"));
  SKTWindowController window;
  window.Front_card_Prop.Card_fill_chk = true;
  window.Front_card_Prop.Card_fill_clr = Qt::white;
  const SKTGraphicPtr g = barcodeAt(window, CardSide::Front, {120, 80});
  window.graphicView()->changeSelectionIndexes({0});
  const auto decodedPicture = [this](const QImage& picture, const QString& name) {
    const QString file = dir.filePath(name);
    return picture.save(file) ? decodedTexts(file) : QStringList();
  };
  struct Shown {
    QString value;
    QStringList preview;
    QStringList canvas;
    QImage canvasPicture;
  };
  const auto bindTo = [&](const QString& series) {
    Shown shown;
    host.queueModal([&](QDialog& d) {
      auto& dialog = static_cast<Barcode_Gen&>(d);
      dialog.barcodeTypePopup->setCurrentIndex(symbology("QR Code"));
      dialog.hideHeaderCheckbox->setChecked(true);
      dialog.hideFooterCheckbox->setChecked(true);
      dialog.Data_source_type->setCurrentIndex(1);
      emit dialog.Data_source_type->activated(1);
      const int item = dialog.Batch_Series->findText(series);
      dialog.Batch_Series->setCurrentIndex(item);
      emit dialog.Batch_Series->activated(item);
      shown.value = dialog.dataText_2D->toPlainText();
      shown.preview = decodedPicture(dialog.previewPicture().toImage(300), "preview.png");
      dialog.ok_button->click();
      return dialog.result();
    });
    doubleClick(window.graphicView(), g);
    shown.canvasPicture = SKTRenderingView::image_From_Card_Graphics(window.document()->graphics(), false);
    shown.canvas = decodedPicture(shown.canvasPicture, "canvas.png");
    return shown;
  };
  const auto read = [](const QString& file) { return decodedTexts(file).join('|'); };

  const Shown guests = bindTo(QStringLiteral("Guests"));
  EXPECT_EQ(guests.value.toStdString(), "Ann Lee");
  EXPECT_EQ(guests.preview, QStringList{"Ann Lee"});
  EXPECT_EQ(guests.canvas, QStringList{"Ann Lee"});
  const QString first = dir.filePath(QStringLiteral("guests"));
  EXPECT_EQ(exportCards(window, first, read), (QStringList{"Card_1.PNG=Ann Lee", "Card_2.PNG=Bob 2"}));

  const Shown titles = bindTo(QStringLiteral("Titles"));
  EXPECT_EQ(titles.value, "");
  EXPECT_EQ(titles.preview, QStringList());
  EXPECT_EQ(titles.canvas, QStringList());
  EXPECT_EQ(g->batch_list_name, "Titles");
  const QString second = dir.filePath(QStringLiteral("titles"));
  EXPECT_EQ(exportCards(window, second, read),
            (QStringList{"Card_1.PNG=", "Card_2.PNG=Dr.", "Card_3.PNG=Prof."}));
  // Card 1 and the canvas: the card without a barcode.
  const QImage cardOne(second + "/QUVO Gratulo/Card_1.PNG");
  EXPECT_EQ(cardOne.convertToFormat(titles.canvasPicture.format()), titles.canvasPicture);
  EXPECT_EQ(host.messages(), QStringList());
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

// The spread choice is the program's, so the canvas follows it everywhere:
// OK on one barcode draws every barcode that prints its value again, on both
// sides, as export and print draw them; undoing that OK takes back the
// settings but not the choice, and the choice adds no step of its own.
TEST_F(MainWindowBarcode, ChangingTheSpreadChoiceRedrawsEveryBarcodeThatPrintsItsValue) {
  SKTWindowController window;
  const SKTGraphicPtr front = barcodeAt(window, CardSide::Front, {80, 50});
  const SKTGraphicPtr qr = barcodeAt(window, CardSide::Front, {200, 120});
  const SKTGraphicPtr back = barcodeAt(window, CardSide::Back, {80, 50});
  designLinear(window.graphicView(), front, host, "Code 39", QStringLiteral("AB12"), true);
  host.queueModal([](QDialog& d) {
    auto& dialog = static_cast<Barcode_Gen&>(d);
    dialog.barcodeTypePopup->setCurrentIndex(symbology("QR Code"));
    dialog.ok_button->click();
    return dialog.result();
  });
  doubleClick(window.graphicView(), qr);
  window.Select_back_side();
  designLinear(window.graphicView_BACK(), back, host, "Code 39", QStringLiteral("CD34"), true);
  window.Select_front_side();
  const QImage qrPicture = qr->_barcode_image;
  ASSERT_FALSE(qrPicture.isNull());
  ASSERT_EQ(back->_barcode_image, drawnWith(true, *back));
  ASSERT_NE(drawnWith(true, *back), drawnWith(false, *back));
  const int steps = window.document()->undoStack()->count();

  designLinear(window.graphicView(), front, host, "Code 39", QStringLiteral("AB13"), false);
  EXPECT_FALSE(Spread_Barcode_Value_Text.load());
  EXPECT_EQ(front->_barcode_image, drawnWith(false, *front));
  EXPECT_EQ(back->_barcode_image, drawnWith(false, *back));
  EXPECT_EQ(qr->_barcode_image.cacheKey(), qrPicture.cacheKey());  // no value text: untouched
  EXPECT_EQ(window.document()->undoStack()->count(), steps + 1);

  window.Undo_Clicked();
  EXPECT_EQ(barcode::barcodeSettingsOf(*front).linear_font_val, "AB12");
  EXPECT_FALSE(Spread_Barcode_Value_Text.load());
  EXPECT_EQ(front->_barcode_image, drawnWith(false, *front));
  EXPECT_EQ(back->_barcode_image, drawnWith(false, *back));
}

// A barcode copied or deleted under one choice comes back, pasted or by
// undo, drawn with the choice in force.
TEST_F(MainWindowBarcode, PastedAndRestoredBarcodesFollowTheSpreadChoice) {
  SKTWindowController window;
  const SKTGraphicPtr kept = barcodeAt(window, CardSide::Front, {80, 50});
  const SKTGraphicPtr gone = barcodeAt(window, CardSide::Front, {200, 120});
  designLinear(window.graphicView(), kept, host, "Code 39", QStringLiteral("AB12"), true);
  window.Copy_Clicked();
  designLinear(window.graphicView(), gone, host, "Code 39", QStringLiteral("CD34"), true);
  window.Delete_Clicked();
  ASSERT_EQ(window.document()->graphics().size(), 1u);
  designLinear(window.graphicView(), kept, host, "Code 39", QStringLiteral("AB12"), false);
  ASSERT_FALSE(Spread_Barcode_Value_Text.load());

  window.Paste_Clicked();
  ASSERT_EQ(window.document()->graphics().size(), 2u);
  for (const SKTGraphicPtr& g : window.document()->graphics())
    EXPECT_EQ(g->_barcode_image, drawnWith(false, *g));
  for (int i = 0; i < 3; ++i) window.Undo_Clicked();  // the paste, the last OK, the deletion
  ASSERT_EQ(window.document()->graphics().size(), 2u);
  for (const SKTGraphicPtr& g : window.document()->graphics())
    EXPECT_EQ(g->_barcode_image, drawnWith(false, *g));
}

// The choice outlives the program with the user's settings, not in the
// design file: the next run's designer shows it, and a design saved under
// the other choice opens with its barcodes drawn with the choice in force
// (no undo step, the design file as it was).
TEST_F(MainWindowBarcode, TheSpreadChoiceOutlivesTheProgramAndOpenedDesignsFollowIt) {
  const QString file = dir.filePath(QStringLiteral("spread.dcard"));
  QByteArray saved;
  {
    SKTWindowController window;
    const SKTGraphicPtr g = barcodeAt(window, CardSide::Front, {80, 50});
    designLinear(window.graphicView(), g, host, "Code 39", QStringLiteral("AB12"), true);
    host.queueSavePanel(file);
    window.Save_Btn_Clicked();
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    saved = written.readAll();
    designLinear(window.graphicView(), g, host, "Code 39", QStringLiteral("AB12"), false);
  }
  // A new run starts with the built-in choice until its window reads the kept one.
  Spread_Barcode_Value_Text = true;
  SKTWindowController next;
  EXPECT_FALSE(Spread_Barcode_Value_Text.load());
  ASSERT_EQ(next.Read_and_load_design_Log(file, QStringLiteral("L")), 1);
  ASSERT_EQ(next.document()->graphics().size(), 1u);
  const SKTGraphicPtr g = next.document()->graphics().front();
  EXPECT_EQ(g->_barcode_image, drawnWith(false, *g));
  EXPECT_EQ(next.document()->undoStack()->count(), 0);
  bool ticked = true;
  host.queueModal([&](QDialog& d) {
    auto& dialog = static_cast<Barcode_Gen&>(d);
    ticked = dialog.kerning_value_Checkbox->isChecked();
    dialog.cancel_button->click();
    return dialog.result();
  });
  doubleClick(next.graphicView(), g);
  EXPECT_FALSE(ticked);
  QFile reread(file);
  ASSERT_TRUE(reread.open(QIODevice::ReadOnly));
  EXPECT_TRUE(reread.readAll() == saved);
}

// A barcode whose frame was made smaller than its picture (its lower right
// handle dragged inwards) is drawn whole from its origin on the canvas, as
// the exported card shows it; moving it redraws where the whole picture was
// and where it goes, so no trail stays behind.
TEST_F(MainWindowBarcode, ABarcodeInASmallerFrameShowsWholeOnTheCanvasAsExported) {
  using namespace testing_support;
  SKTWindowController window;
  showWithWhiteCard(window);
  SKTGraphicView* view = window.graphicView();
  const SKTGraphicPtr g = barcodeAt(window, CardSide::Front, {90, 60});
  designLinear(view, g, host, "Code 128", QStringLiteral("QUVO-7"), true);
  const QSizeF picture = g->_barcode_image.deviceIndependentSize();
  ASSERT_EQ(g->bounds().size(), picture);
  view->changeSelectionIndexes({0});
  const QPointF inner = g->bounds().topLeft() + QPointF(picture.width() * 0.3, picture.height() * 0.3);
  view->queueTrackingEvents({drag(inner), up(inner)});
  view->mouseDown(down(g->bounds().bottomRight()));
  ASSERT_LT(g->bounds().width(), picture.width() / 2);
  ASSERT_LT(g->bounds().height(), picture.height() / 2);
  view->changeSelectionIndexes({});

  // The canvas at three times the size, the card exported at 150 pixels per inch.
  constexpr double kZoom = 3.0, kExportScale = 150.0 / 72.0;
  window.setZoomFactor(kZoom);
  const QString shot = dir.filePath(QStringLiteral("canvas.png"));
  ASSERT_TRUE(view->grab().toImage().save(shot));
  const QString card = exportCard(window, QStringLiteral("150"));
  // The same ink at the same place within a point, inside the picture's own rectangle.
  const QRectF onCanvas = inkInPoints(QImage(shot), kZoom);
  const QRectF exported = inkInPoints(QImage(card), kExportScale);
  const QRectF whole(g->bounds().topLeft(), picture);
  EXPECT_TRUE(whole.adjusted(-1, -1, 1, 1).contains(onCanvas));
  EXPECT_LE(farthestEdge(onCanvas, exported), 1.0);
  EXPECT_EQ(decodedTexts(shot, QStringLiteral("Code128")), QStringList{"QUVO-7"});

  // Dragging the frame 60 points to the right.
  PaintedRegion region;
  testing_support::wait(100);
  view->installEventFilter(&region);
  const QPointF grip = g->bounds().center();
  view->queueTrackingEvents(
      {drag(grip + QPointF(30, 0)), drag(grip + QPointF(60, 0)), up(grip + QPointF(60, 0))});
  view->mouseDown(down(grip));
  ASSERT_EQ(g->bounds().topLeft(), whole.topLeft() + QPointF(60, 0));
  serveUntil([&] { return !region.painted.isEmpty(); });
  testing_support::wait(100);
  auto onScreen = [&](const QRectF& r) {
    return QRectF(r.topLeft() * kZoom, r.size() * kZoom).toAlignedRect();
  };
  EXPECT_TRUE(region.painted.contains(onScreen(whole)));
  EXPECT_TRUE(region.painted.contains(onScreen(whole.translated(60, 0))));
  EXPECT_NE(region.painted.boundingRect(), view->rect()) << "the whole canvas was painted again";
}

// Choosing "Excel" without a column, in the designer or in the data-source
// tab, binds nothing: each object keeps the value the card shows, and the
// exported cards carry it (never the row numbers of the first column).
TEST_F(MainWindowBarcode, ChoosingTheSpreadsheetWithoutAColumnKeepsWhatTheCardShows) {
  Data_From_Excel_Table().replaceContents(
      {QStringLiteral("No."), QStringLiteral("Name"), QStringLiteral("Code")},
      {{{"Extension", "1"}, {"Column1", "Anna"}, {"Column2", "G-001"}},
       {{"Extension", "2"}, {"Column1", "Bob"}, {"Column2", "G-002"}}});
  // The design is bound to the spreadsheet, as the profile window's OK leaves it.
  Excel_Binding_Use = true;
  const auto unbind = qScopeGuard([] { Excel_Binding_Use = false; });
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

  const auto read = [](const QString& f) {
    QStringList texts = decodedTexts(f);
    texts.sort();
    return texts.join('|');
  };
  const QStringList cards = exportCards(window, dir.filePath(QStringLiteral("cards")), read);
  EXPECT_EQ(cards, (QStringList{"Card_1.PNG=FIRST|G-001", "Card_2.PNG=FIRST|G-002"}));
  // After the run the card shows what it showed before.
  EXPECT_EQ(text->Text_contents()->string, words);
  EXPECT_EQ(picture->_file_path, file);
  EXPECT_EQ(typed->data_source_type, 0);

  // Cells corrected in the spreadsheet window (View beside the picture): the
  // barcode bound to the column and a text bound on the back show card 1's
  // new values at once, and the canvas, a single export and card 1 of a run agree.
  const SKTGraphicPtr back = SKTGraphic::makeGraphic(GraphicKind::Text);
  back->setBounds(QRectF(10, 10, 150, 30));
  back->Set_Data_source_type(2);
  back->Set_Excel_binding_Index(1);
  back->Text_contents()->string = QStringLiteral("Anna");
  window.document()->insertGraphic(CardSide::Back, back, 0);
  host.queueModal([](QDialog& d) {
    QAbstractItemModel* rows = static_cast<Data_From_Excel&>(d).ColList->model();
    rows->setData(rows->index(0, 1), QStringLiteral("Anna Augusta King"));
    rows->setData(rows->index(0, 2), QStringLiteral("G-100"));
    return 1;
  });
  tab->Data_source_type->setCurrentIndex(2);
  tab->view_series_btn->click();
  EXPECT_EQ(back->Text_contents()->string, "Anna Augusta King");
  EXPECT_EQ(text->Text_contents()->string, words);
  const QString canvas = dir.filePath(QStringLiteral("canvas.png"));
  ASSERT_TRUE(SKTRenderingView::image_From_Card_Graphics(window.document()->graphics(), false).save(canvas));
  EXPECT_EQ(read(canvas), "FIRST|G-100");
  EXPECT_EQ(zbarTexts(exportCard(window, QStringLiteral("150"))),
            (QStringList{"QR-Code:FIRST", "QR-Code:G-100"}));
  EXPECT_EQ(exportCards(window, dir.filePath(QStringLiteral("corrected")), read).value(0),
            "Card_1.PNG=FIRST|G-100");

  // The designer's Cancel keeps the column or "Manual" chosen in it, and the
  // canvas, a single export and every card of a run show what that source
  // gives (a value typed after "Manual" is not taken); Undo takes the source
  // back with the value.
  const auto chooseAndCancel = [&](const QString& source, int column) {
    host.queueModal([=](QDialog& d) {
      auto& dialog = static_cast<Barcode_Gen&>(d);
      const int item = dialog.Data_source_type->findText(source);
      dialog.Data_source_type->setCurrentIndex(item);
      emit dialog.Data_source_type->activated(item);
      if (column >= 0) {
        dialog.Batch_Series->setCurrentIndex(column);
        emit dialog.Batch_Series->activated(column);
      } else {
        dialog.dataText_2D->setPlainText(QStringLiteral("TYPED"));
      }
      dialog.cancel_button->click();
      return dialog.result();
    });
    doubleClick(window.graphicView(), bound);
    const QString shown = dir.filePath(source + ".png");
    EXPECT_TRUE(SKTRenderingView::image_From_Card_Graphics(window.document()->graphics(), false).save(shown));
    return QStringList{read(shown), zbarTexts(exportCard(window, QStringLiteral("150"))).join('|'),
                       exportCards(window, dir.filePath(source), read).join(' ')};
  };
  EXPECT_EQ(chooseAndCancel(QStringLiteral("Excel"), 1),
            (QStringList{"Anna Augusta King|FIRST", "QR-Code:Anna Augusta King|QR-Code:FIRST",
                         "Card_1.PNG=Anna Augusta King|FIRST Card_2.PNG=Bob|FIRST"}));
  EXPECT_EQ(bound->excel_col_indx, 1);
  EXPECT_EQ(chooseAndCancel(QStringLiteral("Manual"), -1),
            (QStringList{"Anna Augusta King|FIRST", "QR-Code:Anna Augusta King|QR-Code:FIRST",
                         "Card_1.PNG=Anna Augusta King|FIRST Card_2.PNG=Anna Augusta King|FIRST"}));
  EXPECT_EQ(bound->data_source_type, 0);
  window.editAction(QStringLiteral("Undo"))->trigger();
  EXPECT_EQ(bound->data_source_type, 2);
  window.editAction(QStringLiteral("Undo"))->trigger();
  EXPECT_EQ(bound->excel_col_indx, 2);
  EXPECT_EQ(barcode::barcodeSettingsOf(*bound).value(), "G-100");
}

// A barcode placed with the tool and never designed is the barcode the
// designer shows for it, Code 39 "0123" with its header and footer, in a
// frame of its size: the canvas, the exported card and the printed sheet show
// it at the same place and size, and a reader finds it in each. OK without a
// change gives the same picture. After the designer's OK, Edit > Undo brings
// it back whole.
TEST_F(MainWindowBarcode, ANewBarcodeLooksOnTheCanvasAsExportedAndPrinted) {
  production::setPrinterNamesForTesting([] { return QStringList{production::kPdfFilePrinter}; });
  SKTWindowController window;
  showWithWhiteCard(window);
  SKTGraphicView* view = window.graphicView();
  window.toolAction(DrawingTool::Barcode)->trigger();
  ASSERT_EQ(window.document()->graphics().size(), 1u);
  const SKTGraphicPtr g = window.document()->graphics().front();
  const QImage made = g->_barcode_image;
  ASSERT_FALSE(made.isNull());
  const QRectF frame = g->bounds();
  EXPECT_EQ(frame.size(), made.deviceIndependentSize());
  host.queueModal([](QDialog& d) {
    static_cast<Barcode_Gen&>(d).ok_button->click();
    return d.result();
  });
  doubleClick(view, g);
  EXPECT_EQ(g->_barcode_image, made);
  EXPECT_EQ(g->bounds(), frame);
  view->changeSelectionIndexes({});
  testing_support::wait(100);
  const QImage canvas = shownOnScreen(view);
  // The barcode's ink lies inside the frame the handles show.
  const QRectF ink = inkInPoints(canvas, 1.0);
  ASSERT_FALSE(ink.isEmpty());
  EXPECT_TRUE(frame.adjusted(-1, -1, 1, 1).contains(ink)) << ink.width() << " x " << ink.height();
  // Three times the size on the screen, a reader finds it.
  window.setZoomFactor(3.0);
  const QString shot = dir.filePath(QStringLiteral("canvas.png"));
  ASSERT_TRUE(view->grab().toImage().save(shot));
  EXPECT_EQ(zbarTexts(shot), QStringList{"CODE-39:0123"});
  window.setZoomFactor(1.0);

  // Exported and printed at 150 pixels per inch (each module three whole
  // pixels): read alike, its ink where the canvas shows it within a point.
  constexpr double kScale = 150.0 / 72.0;
  const QString card = exportCard(window, QStringLiteral("150"));
  EXPECT_EQ(zbarTexts(card), QStringList{"CODE-39:0123"});
  const QImage exported(card);
  ASSERT_FALSE(exported.isNull());
  EXPECT_LE(farthestEdge(inkInPoints(exported, kScale), ink), 1.0);

  const QString pdf = dir.filePath(QStringLiteral("card.pdf"));
  QRectF printed;
  host.queueModal([&](QDialog&) {
    Print_Wnd& dialog = Print_Wnd::defaultInstance();
    dialog.matrix_card_side->button(1)->click();  // the front
    dialog.Row_Text->setValue(1);
    dialog.Col_Text->setValue(1);
    dialog.Total_Text->setValue(1);
    const production::SheetLayout& layout = dialog.layout();
    printed = layout.placeCard(layout.cellRect(1, 1), QSizeF(exported.size()) / kScale).front;
    host.queueSavePanel(pdf);
    dialog.printButton->click();
    return 0;
  });
  window.dialogAction("Print_Button")->trigger();
  production::setPrinterNamesForTesting(nullptr);
  EXPECT_TRUE(host.messages().isEmpty()) << host.messages().join('|').toStdString();
  const QString sheet = dir.filePath(QStringLiteral("sheet"));
  ASSERT_EQ(
      testing_support::runProgram("pdftoppm", {"-png", "-r", "150", "-singlefile", pdf, sheet}).exitCode, 0);
  EXPECT_EQ(zbarTexts(sheet + ".png"), QStringList{"CODE-39:0123"});
  const QRect cardOnSheet = QRectF(printed.topLeft() * kScale, printed.size() * kScale).toRect();
  EXPECT_LE(farthestEdge(inkInPoints(QImage(sheet + ".png").copy(cardOnSheet), kScale), ink), 1.0);

  // Designed smaller than its frame with OK, and taken back: the new
  // barcode again, whole in its frame.
  host.queueModal([](QDialog& d) {
    auto& dialog = static_cast<Barcode_Gen&>(d);
    dialog.dataText->setText(QStringLiteral("1"));
    dialog.hideHeaderCheckbox->setChecked(true);
    dialog.hideFooterCheckbox->setChecked(true);
    dialog.LR_mar_Text->setValue(0);
    dialog.ok_button->click();
    return dialog.result();
  });
  doubleClick(view, g);
  ASSERT_FALSE(g->_barcode_image.isNull());
  ASSERT_LT(g->bounds().width(), frame.width());
  testing_support::wait(100);
  window.editAction(QStringLiteral("Undo"))->trigger();
  view->changeSelectionIndexes({});
  testing_support::wait(100);
  ASSERT_EQ(g->_barcode_image, made);
  const QImage undone = shownOnScreen(view);
  // The frame and well beyond it, where a picture drawn larger would reach.
  const QRect around = frame.adjusted(-4, -4, 100, 50).toAlignedRect() & canvas.rect().adjusted(2, 2, -2, -2);
  EXPECT_EQ(differingPixels(canvas, undone, around), 0);
}

// Placing a barcode with the tool is one undo step: one Undo takes it away,
// Redo brings it back in the frame of its picture, and the canvas shows it
// where and as large as the exported card does.
TEST_F(MainWindowBarcode, PlacingABarcodeIsOneUndoStep) {
  SKTWindowController window;
  showWithWhiteCard(window);
  SKTGraphicView* view = window.graphicView();
  const int steps = window.document()->undoStack()->count();
  window.toolAction(DrawingTool::Barcode)->trigger();
  ASSERT_EQ(window.document()->graphics().size(), 1u);
  const SKTGraphicPtr g = window.document()->graphics().front();
  const QRectF frame = g->bounds();
  ASSERT_EQ(frame.size(), g->_barcode_image.deviceIndependentSize());
  EXPECT_EQ(window.document()->undoStack()->count(), steps + 1);
  window.editAction(QStringLiteral("Undo"))->trigger();
  EXPECT_TRUE(window.document()->graphics().empty());
  window.editAction(QStringLiteral("Redo"))->trigger();
  ASSERT_EQ(window.document()->graphics(), SKTGraphicList{g});
  EXPECT_EQ(g->bounds(), frame);
  view->changeSelectionIndexes({});
  testing_support::wait(100);
  const QRectF ink = inkInPoints(shownOnScreen(view), 1.0);
  ASSERT_FALSE(ink.isEmpty());
  EXPECT_TRUE(frame.adjusted(-1, -1, 1, 1).contains(ink)) << ink.width() << " x " << ink.height();
  constexpr double kScale = 150.0 / 72.0;
  const QString card = exportCard(window, QStringLiteral("150"));
  EXPECT_EQ(zbarTexts(card), QStringList{"CODE-39:0123"});
  EXPECT_LE(farthestEdge(inkInPoints(QImage(card), kScale), ink), 1.0);
  EXPECT_TRUE(host.messages().isEmpty()) << host.messages().join('|').toStdString();
}

// A font size beyond what a design file keeps (1000 points) is named on the
// preview and refused by OK with a message, for the value, the header and the
// footer alike; closing the designer then leaves the barcode as it was. The
// largest size is accepted, and the design saves and opens again with it.
TEST_F(MainWindowBarcode, FontSizesBeyondWhatADesignKeepsAreRefusedWithTheLimit) {
  SKTWindowController window;
  window.toolAction(DrawingTool::Barcode)->trigger();
  const SKTGraphicPtr g = window.document()->graphics().front();
  const QImage made = g->_barcode_image;
  QStringList shown;
  std::vector<int> results;
  host.queueModal([&](QDialog& d) {
    auto& dialog = static_cast<Barcode_Gen&>(d);
    for (QDoubleSpinBox* size : {dialog.value_font_size, dialog.header_font_size, dialog.footer_font_size}) {
      size->setValue(5000);
      EXPECT_EQ(size->value(), 5000);
      EXPECT_TRUE(dialog.errorShown());
      shown << dialog.errorText();
      dialog.setResult(-1);
      dialog.ok_button->click();
      results.push_back(dialog.result());
      size->setValue(10);
      EXPECT_FALSE(dialog.errorShown());
    }
    dialog.value_font_size->setValue(5000);
    dialog.cancel_button->click();
    return dialog.result();
  });
  doubleClick(window.graphicView(), g);
  const QStringList limits{QStringLiteral("Value font size must be between 1 and 1000 points."),
                           QStringLiteral("Header font size must be between 1 and 1000 points."),
                           QStringLiteral("Footer font size must be between 1 and 1000 points.")};
  EXPECT_EQ(shown, limits);
  EXPECT_EQ(results, (std::vector<int>{-1, -1, -1}));
  QStringList boxes;
  for (const QString& limit : limits) boxes << "\n" + limit;
  EXPECT_EQ(host.messages(), boxes);
  EXPECT_EQ(barcode::barcodeSettingsOf(*g), BarcodeSettings());
  EXPECT_EQ(g->_barcode_image, made);

  host.queueModal([&](QDialog& d) {
    auto& dialog = static_cast<Barcode_Gen&>(d);
    dialog.value_font_size->setValue(1000);
    dialog.ok_button->click();
    return dialog.result();
  });
  doubleClick(window.graphicView(), g);
  EXPECT_EQ(g->value_font_val.size, 1000);
  ASSERT_FALSE(g->_barcode_image.isNull());
  window_test::saveAndReopen(window, host, dir.filePath(QStringLiteral("large.dcard")));
  ASSERT_EQ(window.document()->graphics().size(), 1u);
  EXPECT_EQ(window.document()->graphics().front()->value_font_val.size, 1000);
}

// A column chosen in the designer and accepted with OK is one undo step with
// the value it shows: Undo gives the barcode back its typed value and no
// source (which no later change of the column undoes), Redo binds it again
// and shows the column's value as it is then. Another column of values as
// long, chosen with OK or kept after Cancel, and Undo and Redo on the edit
// strip: after each step the canvas, as painted then, shows what a single
// export shows.
TEST_F(MainWindowBarcode, UndoOfTheDesignersColumnTakesTheBindingBackWithTheValue) {
  SKTWindowController window;
  showWithWhiteCard(window);
  SKTGraphicView* view = window.graphicView();
  Data_From_Excel_Table().replaceContents({QStringLiteral("No."), QStringLiteral("Code")},
                                          {{{"Extension", "1"}, {"Column1", "AB"}}});
  Excel_Binding_Use = true;
  const auto noBinding = qScopeGuard([] { Excel_Binding_Use = false; });
  window.toolAction(DrawingTool::Barcode)->trigger();
  const SKTGraphicPtr g = window.document()->graphics().front();
  const QImage typed = g->_barcode_image;
  host.queueModal([](QDialog& d) {
    auto& dialog = static_cast<Barcode_Gen&>(d);
    const int item = dialog.Data_source_type->findText(QStringLiteral("Excel"));
    dialog.Data_source_type->setCurrentIndex(item);
    emit dialog.Data_source_type->activated(item);
    dialog.Batch_Series->setCurrentIndex(1);
    emit dialog.Batch_Series->activated(1);
    dialog.ok_button->click();
    return dialog.result();
  });
  doubleClick(view, g);
  const auto expectTyped = [&] {
    EXPECT_EQ(g->data_source_type, 0);
    EXPECT_EQ(barcode::barcodeSettingsOf(*g).value(), "0123");
    EXPECT_EQ(g->_barcode_image, typed);
  };
  EXPECT_EQ(g->data_source_type, 2);
  EXPECT_EQ(barcode::barcodeSettingsOf(*g).value(), "AB");
  window.editAction(QStringLiteral("Undo"))->trigger();
  expectTyped();
  Data_From_Excel_Table().setData(Data_From_Excel_Table().index(0, 1), QStringLiteral("CD"));
  expectTyped();
  window.editAction(QStringLiteral("Redo"))->trigger();
  EXPECT_EQ(g->data_source_type, 2);
  EXPECT_EQ(barcode::barcodeSettingsOf(*g).value(), "CD");
  EXPECT_EQ(g->bounds().size(), g->_barcode_image.deviceIndependentSize());

  Data_From_Excel_Table().replaceContents(
      {QStringLiteral("No."), QStringLiteral("Code"), QStringLiteral("Alt")},
      {{{"Extension", "1"}, {"Column1", "ADA1"}, {"Column2", "ALT1"}}});
  ASSERT_EQ(barcode::barcodeSettingsOf(*g).value(), "ADA1");
  window.setZoomFactor(3.0);  // large enough on the screen for a reader
  view->changeSelectionIndexes({});
  // What the canvas shows as painted after a step (it paints what the step
  // marked, and only that) and what a single export shows; then the canvas
  // is painted whole, so that each step is judged on its own.
  const auto shown = [&] {
    QCoreApplication::processEvents();
    const QString shot = dir.filePath(QStringLiteral("shown.png"));
    shownOnScreen(view).save(shot);
    const QString exported = zbarTexts(exportCard(window, QStringLiteral("150"))).join('|');
    view->update();
    QCoreApplication::processEvents();
    return (decodedTexts(shot, QStringLiteral("Code39")).join('|') + " / " + exported).toStdString();
  };
  const auto chooseAlt = [&](bool ok) {
    host.queueModal([ok](QDialog& d) {
      auto& dialog = static_cast<Barcode_Gen&>(d);
      dialog.Batch_Series->setCurrentIndex(2);
      emit dialog.Batch_Series->activated(2);
      (ok ? dialog.ok_button : dialog.cancel_button)->click();
      return dialog.result();
    });
    doubleClick(view, g);
    view->changeSelectionIndexes({});
  };
  EXPECT_EQ(shown(), "ADA1 / CODE-39:ADA1");
  for (const bool ok : {true, false}) {
    SCOPED_TRACE(ok ? "OK" : "Cancel");
    chooseAlt(ok);
    EXPECT_EQ(shown(), "ALT1 / CODE-39:ALT1");
    for (const char* step : {"Undo", "Redo", "Undo"}) {
      window.editAction(QLatin1String(step))->trigger();
      EXPECT_EQ(shown(), step[0] == 'U' ? "ADA1 / CODE-39:ADA1" : "ALT1 / CODE-39:ALT1") << step;
    }
  }
  EXPECT_TRUE(host.messages().isEmpty()) << host.messages().join('|').toStdString();
}

// A QR Code bound to a spreadsheet column of vCards (CR LF line ends,
// accents, a no-break space, Greek), as the badges of a conference: an object
// first given a plain value with OK takes the column (Cancel keeps it) and
// opens again on card 1's value, which OK accepts; the preview, the canvas and
// every exported card hold their row's exact UTF-8 bytes for two readers.
// PDF417 and DataMatrix take an accented value too. Code 128 refuses one and
// names its characters; a value too long for the QR version chosen is refused
// with the room it takes.
TEST_F(MainWindowBarcode, AccentedValuesGoIntoTwoDSymbolsAndLinearOnesNameWhatTheyRefuse) {
  const QString zoe = QString::fromUtf8(
      "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Zo\u00eb\u00a0\u00c5str\u00f6m\r\nN:\u00c5str\u00f6m;Zo\u00eb;;;\r\n"
      "END:VCARD");
  const QString eleni = QString::fromUtf8(
      "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:\u0395\u03bb\u03ad\u03bd\u03b7 "
      "\u03a0\u03b1\u03c0\u03ac\r\nEND:VCARD");
  Data_From_Excel_Table().replaceContents(
      {QStringLiteral("No."), QStringLiteral("Name"), QStringLiteral("Card")},
      {{{"Extension", "1"}, {"Column1", "Zoe"}, {"Column2", zoe}},
       {{"Extension", "2"}, {"Column1", "Eleni"}, {"Column2", eleni}}});
  Excel_Binding_Use = true;
  const auto unbind = qScopeGuard([] { Excel_Binding_Use = false; });
  SKTWindowController window;
  window.Front_card_Prop.Card_fill_chk = true;
  window.Front_card_Prop.Card_fill_clr = Qt::white;
  const SKTGraphicPtr g = barcodeAt(window, CardSide::Front, {30, 20});
  const auto saved = [this](const QImage& picture, const QString& name) {
    const QString file = dir.filePath(name);
    EXPECT_TRUE(picture.save(file));
    return file;
  };
  host.queueModal([](QDialog& d) {
    auto& dialog = static_cast<Barcode_Gen&>(d);
    dialog.barcodeTypePopup->setCurrentIndex(symbology("QR Code"));
    dialog.hideHeaderCheckbox->setChecked(true);
    dialog.hideFooterCheckbox->setChecked(true);
    dialog.dataText_2D->setPlainText(QStringLiteral("PLAIN"));
    dialog.HeightText_2D->setValue(120);  // 3 points a module, for readers of the canvas
    dialog.ok_button->click();
    return dialog.result();
  });
  doubleClick(window.graphicView(), g);
  QByteArray previewed;
  host.queueModal([&](QDialog& d) {
    auto& dialog = static_cast<Barcode_Gen&>(d);
    dialog.Data_source_type->setCurrentIndex(2);
    emit dialog.Data_source_type->activated(2);
    dialog.Batch_Series->setCurrentIndex(2);
    emit dialog.Batch_Series->activated(2);
    previewed = zxingBytes(saved(dialog.previewPicture().toImage(300), "preview.png"));
    dialog.cancel_button->click();
    return dialog.result();
  });
  doubleClick(window.graphicView(), g);
  EXPECT_EQ(previewed, zoe.toUtf8());
  EXPECT_EQ(g->excel_col_indx, 2);
  // Opened again on card 1's value, OK takes it.
  int accepted = -1;
  host.queueModal([&](QDialog& d) {
    auto& dialog = static_cast<Barcode_Gen&>(d);
    EXPECT_FALSE(dialog.errorShown()) << dialog.errorText().toStdString();
    dialog.ok_button->click();
    accepted = dialog.result();
    return accepted;
  });
  doubleClick(window.graphicView(), g);
  EXPECT_EQ(accepted, 1);
  EXPECT_EQ(barcode::barcodeSettingsOf(*g).two_d_font_val, zoe);
  const QString canvas =
      saved(SKTRenderingView::image_From_Card_Graphics(window.document()->graphics(), false), "canvas.png");
  EXPECT_EQ(zxingBytes(canvas), zoe.toUtf8());
  EXPECT_EQ(zbarBytes(canvas), zoe.toUtf8());
  const auto read = [](const QString& file) { return QString::fromUtf8(zxingBytes(file)); };
  EXPECT_EQ(exportCards(window, dir.filePath(QStringLiteral("badges")), read),
            (QStringList{"Card_1.PNG=" + zoe, "Card_2.PNG=" + eleni}));

  // Typed values: accepted in PDF417 and DataMatrix (what OK gives), refused
  // by Code 128 and by a QR Code of version 1 at level H (blank preview, the
  // reason under it, the dialog still open).
  const QString name = QString::fromUtf8("Zo\u00eb\u00a0\u00c5str\u00f6m");
  const SKTGraphicPtr other = barcodeAt(window, CardSide::Back, {120, 90});
  window.Select_back_side();
  const auto tryValue = [&](const char* type, const std::function<void(Barcode_Gen&)>& more = {}) {
    std::string tried;
    host.queueModal([&](QDialog& d) {
      auto& dialog = static_cast<Barcode_Gen&>(d);
      dialog.barcodeTypePopup->setCurrentIndex(symbology(type));
      dialog.dataText->setText(name);
      dialog.dataText_2D->setPlainText(name);
      if (more) more(dialog);
      dialog.setResult(-1);
      dialog.ok_button->click();
      tried = (QString::number(dialog.result()) + (dialog.previewPicture().isNull() ? " blank " : " ") +
               (dialog.errorShown() ? dialog.errorText() : QString()))
                  .toStdString();
      if (dialog.result() != 1) dialog.cancel_button->click();
      return dialog.result();
    });
    doubleClick(window.graphicView_BACK(), other);
    const QImage side =
        SKTRenderingView::image_From_Card_Graphics(window.document()->graphicsOfSide(CardSide::Back), false);
    return std::make_pair(tried, saved(side, QString::fromLatin1(type) + ".png"));
  };
  const auto pdf417 = tryValue("PDF417");
  EXPECT_EQ(pdf417.first, "1 ");
  EXPECT_EQ(decodedTexts(pdf417.second, QStringLiteral("PDF417")), QStringList{name});
  const auto dataMatrix = tryValue("DataMatrix", [](Barcode_Gen& d) { d.dm_moduleText_2D->setValue(4); });
  EXPECT_EQ(dataMatrix.first, "1 ");
  EXPECT_EQ(dmtxBytes(dataMatrix.second), name.toUtf8());
  const QImage shownBefore = other->_barcode_image;
  EXPECT_EQ(tryValue("Code 128").first,
            "-1 blank Invalid barcode value: Code 128 takes only plain ASCII characters, and \"\u00eb\", "
            "U+00A0, \"\u00c5\" and \"\u00f6\" are not. QR Code, PDF417 and DataMatrix take them.");
  const auto version1 = tryValue("QR Code", [](Barcode_Gen& d) {
    d.qr_version_ComboBox->setCurrentIndex(1);
    d.qr_ec_lvl_ComboBox->setCurrentIndex(3);
  });
  EXPECT_EQ(version1.first,
            "-1 blank The value is too long for a QR Code of version 1 at error correction level H (it takes "
            "14 bytes in UTF-8).");
  EXPECT_EQ(other->_barcode_image, shownBefore);
  EXPECT_EQ(host.messages(), QStringList());
}
