// The object tabs of the main window, driven through the real window
// offscreen: each kind shows its tabs with its values, a change of the
// controls reaches every selected object of the current side and the
// rendered card, and one undo on the front takes the whole change back.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QDate>
#include <QFile>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "canvas/SKTGraphicView.h"
#include "canvas/SKTGrid.h"
#include "core/SKTImage.h"
#include "core/SKTSignature.h"
#include "core/globals.h"
#include "core/render/SKTRenderingView.h"
#include "data/DataSourceTable.h"
#include "data/dialogs/Data_From_Excel.h"
#include "data/dialogs/SeriesWriting.h"
#include "mainwindow/PanelEdits.h"
#include "mainwindow/SKTWindowController.h"
#include "mainwindow/WindowTestSupport.h"
#include "mainwindow/globals.h"
#include "mainwindow/panels/AlignmentTab.h"
#include "mainwindow/panels/BarcodeTab.h"
#include "mainwindow/panels/DataSourceTab.h"
#include "mainwindow/panels/LineTab.h"
#include "mainwindow/panels/PictureTab.h"
#include "mainwindow/panels/ShapeTab.h"
#include "mainwindow/panels/SignatureTab.h"
#include "mainwindow/panels/TextEditingTab.h"
#include "mainwindow/panels/TextPropertiesTab.h"
#include "personalisation/Insert_Template.h"
#include "platform/FontNames.h"
#include "platform/globals.h"
#include "support/CanvasInput.h"
#include "support/ScriptedHost.h"

using panel_edits::capture;
using panel_edits::PanelFields;

class ObjectTabs : public ::testing::Test {
 protected:
  void SetUp() override {
    resources = window_test::useSeededResources(dir);
    window = std::make_unique<SKTWindowController>();
  }
  void TearDown() override {
    window.reset();
    Card_Front_Or_Back = 0;
    Excel_Binding_Use = false;
    Data_From_Excel_Table().replaceContents({DataSourceTable::kDefaultFirstTitle}, {});
  }
  // A click on the current side's canvas, as the mouse gives it.
  void click(QPointF point, bool shift = false) {
    SKTGraphicView* view = window->currentSideView();
    view->queueTrackingEvents({testing_support::up(point)});
    view->mouseDown(testing_support::down(point, shift));
  }
  QStringList tabTitles() const {
    QStringList titles;
    for (int i = 0; i < window->settingsTabs()->count(); ++i) titles << window->settingsTabs()->tabText(i);
    return titles;
  }
  SKTGraphicPtr front(int index) const { return window->document()->graphics().at(index); }
  QImage render() const {
    return SKTRenderingView::image_From_Card_Graphics(window->document()->graphics(), false);
  }
  QString picture(const QString& name, QColor colour, QSize size = {40, 30}) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    const QString path = dir.filePath(name);
    EXPECT_TRUE(image.save(path));
    return path;
  }
  void undo() { window->editAction(QStringLiteral("Undo"))->trigger(); }
  QString lastMessage() const {
    return host.messages().isEmpty() ? QString() : host.messages().last().trimmed();
  }

  QTemporaryDir dir;
  QString resources;
  testing_support::ScriptedHost host;
  std::unique_ptr<SKTWindowController> window;
};

TEST_F(ObjectTabs, ShapesShowTheirValuesAndTakeBorderFillAndOpacityTogetherWithOneUndo) {
  window->toolAction(DrawingTool::Rectangle)->trigger();  // rectangle at (30, 30), 50 x 50
  window->toolAction(DrawingTool::Rectangle)->trigger();  // rectangle at (50, 50), in front
  EXPECT_EQ(tabTitles(), (QStringList{"Rectangle Properties", "Alignment"}));
  ShapeTab* s = window->shapeTab();
  // A new object still holds its first opacity, 100: the tab shows 100 %.
  EXPECT_EQ(front(0)->alpha_val, 100.0f);
  EXPECT_EQ(s->shape_alpha_Stepper->value(), 100);
  EXPECT_EQ(s->shape_bor_Stepper->value(), 1);
  EXPECT_TRUE(s->shape_cor_radius_Stepper->isHidden());

  // Selecting and deselecting writes nothing into either object.
  const PanelFields before0 = capture(*front(0)), before1 = capture(*front(1));
  click({35, 35});
  click({95, 95}, true);
  click({200, 140});
  EXPECT_EQ(tabTitles().first(), "Card");
  EXPECT_EQ(capture(*front(0)), before0);
  EXPECT_EQ(capture(*front(1)), before1);

  click({35, 35});
  click({95, 95}, true);
  ASSERT_EQ(window->graphicView()->selectionIndexes().size(), 2u);
  const int undoCount = window->document()->undoStack()->count();
  s->Shape_fill_chk->setChecked(false);
  s->Shape_fill_chk->click();
  s->Shape_gradient_fill_rd->click();
  EXPECT_FALSE(s->shape_fill_clr->isEnabled());
  EXPECT_TRUE(s->shape_fill_Grd_2_clr->isEnabled());
  s->shape_fill_Grd_1_clr->chooseColor(QColor(255, 0, 0));
  s->shape_fill_Grd_2_clr->chooseColor(QColor(0, 0, 255));
  s->shape_bor_Stepper->setValue(4);
  s->shape_border_style->setCurrentIndex(1);
  s->shape_alpha_Stepper->setValue(50);
  for (const SKTGraphicPtr& g : {front(0), front(1)}) {
    EXPECT_TRUE(g->_isDrawingFill);
    EXPECT_EQ(g->_fill_type, "G");
    EXPECT_EQ(g->_fill_Grad_clr2.rgb(), qRgb(0, 0, 255));
    EXPECT_EQ(g->_strokeWidth, 4.0);
    EXPECT_EQ(g->_stroke_border_type, "DA");
    EXPECT_FLOAT_EQ(g->alpha_val, 0.5f);
  }
  // The gradient runs from red on the left to blue on the right, half opaque over white.
  const QImage card = render();
  EXPECT_GT(qRed(card.pixel(40, 60)), 200);
  EXPECT_GT(qBlue(card.pixel(90, 88)), 200);
  EXPECT_GT(qGreen(card.pixel(90, 88)), 90);  // white shows through

  // Seven changes of the tab are seven entries; undo takes them back one by one, the last first.
  EXPECT_EQ(window->document()->undoStack()->count(), undoCount + 7);
  // Every change writes the whole tab: the first one already stored 100 % as 1.
  undo();
  EXPECT_EQ(front(0)->alpha_val, 1.0f);
  EXPECT_EQ(front(0)->_stroke_border_type, "DA");
  EXPECT_EQ(s->shape_alpha_Stepper->value(), 100);
  for (int i = 0; i < 6; ++i) undo();
  EXPECT_EQ(capture(*front(0)), before0);
  EXPECT_EQ(capture(*front(1)), before1);

  // A double star shows its point count; a locked one only the lock tab.
  window->toolAction(DrawingTool::DoubleStar)->trigger();
  EXPECT_EQ(tabTitles(), (QStringList{"Double Star Properties", "Alignment"}));
  EXPECT_FALSE(s->double_star_Stepper->isHidden());
  s->double_star_Stepper->setValue(3);
  EXPECT_EQ(front(0)->double_star_type, 3);
  window->Lock_Clicked();
  EXPECT_EQ(tabTitles(), QStringList{"Double Star Properties"});
  EXPECT_EQ(window->settingsTabs()->widget(0), window->Lock_tab);
}

TEST_F(ObjectTabs, TextTabsEditCleanLimitDateTimeFontAndLookOfTheSelectedTexts) {
  window->toolAction(DrawingTool::Text)->trigger();
  EXPECT_EQ(tabTitles(), (QStringList{"Text", "Text Properties", "Text Source", "Alignment"}));
  TextEditingTab* e = window->textEditingTab();
  TextPropertiesTab* t = window->textPropertiesTab();
  EXPECT_EQ(e->Text_value_Edit->toPlainText(), "Text here");
  EXPECT_TRUE(e->insert_template_btn->isHidden());

  // The first keystroke removes the text a new object starts with; the key stays.
  e->Text_value_Edit->moveCursor(QTextCursor::End);
  QTest::keyClick(e->Text_value_Edit, Qt::Key_H);
  EXPECT_EQ(e->Text_value_Edit->toPlainText(), "h");
  EXPECT_EQ(front(0)->Text_contents()->string, "h");
  // Pasted text is cut to 250 characters, never inside a character; the tab
  // says what a typed text keeps.
  EXPECT_TRUE(e->limitNote->isHidden());
  const QString face = QString::fromUtf8("\xF0\x9F\x98\x80");  // one character, two UTF-16 units
  e->Text_value_Edit->setPlainText(QString(248, QLatin1Char('a')) + face + QString(50, QLatin1Char('b')));
  EXPECT_EQ(front(0)->Text_contents()->string, QString(248, QLatin1Char('a')) + face);
  EXPECT_EQ(e->Text_value_Edit->toPlainText().size(), 250);
  e->Text_value_Edit->setPlainText(QString(249, QLatin1Char('a')) + face + QString(50, QLatin1Char('b')));
  EXPECT_EQ(front(0)->Text_contents()->string, QString(249, QLatin1Char('a')));
  // So is a paste of 2,000,000 characters, which the editor is never given whole.
  qsizetype given = 0;
  const QMetaObject::Connection counting =
      QObject::connect(e->Text_value_Edit->document(), &QTextDocument::contentsChange,
                       [&given](int, int, int added) { given = std::max<qsizetype>(given, added); });
  QGuiApplication::clipboard()->setText(QString(2000000, QLatin1Char('c')));
  e->Text_value_Edit->selectAll();
  e->Text_value_Edit->paste();
  QObject::disconnect(counting);
  EXPECT_EQ(front(0)->Text_contents()->string, QString(250, QLatin1Char('c')));
  EXPECT_LE(given, TextEditingTab::kPartLength);
  EXPECT_FALSE(e->limitNote->isHidden());
  EXPECT_EQ(e->limitNote->text(), "A typed text keeps at most 250 characters.");
  // It goes once the text is shorter, and comes back with a key typed past the limit.
  e->Text_value_Edit->moveCursor(QTextCursor::End);
  QTest::keyClick(e->Text_value_Edit, Qt::Key_Backspace);
  EXPECT_TRUE(e->limitNote->isHidden());
  QTest::keyClick(e->Text_value_Edit, Qt::Key_D);
  EXPECT_TRUE(e->limitNote->isHidden());
  QTest::keyClick(e->Text_value_Edit, Qt::Key_E);
  EXPECT_EQ(front(0)->Text_contents()->string, QString(249, QLatin1Char('c')) + "d");
  EXPECT_FALSE(e->limitNote->isHidden());

  // Date and time in the chosen patterns, replacing the selection.
  e->Text_value_Edit->setPlainText(QStringLiteral("Due: X"));
  QTextCursor cursor = e->Text_value_Edit->textCursor();
  cursor.setPosition(5);
  cursor.setPosition(6, QTextCursor::KeepAnchor);
  e->Text_value_Edit->setTextCursor(cursor);
  e->Text_Date_style->setCurrentIndex(e->Text_Date_style->findText("dd-MM-yyyy"));
  e->Text_Insert_Date_btn->click();
  EXPECT_EQ(front(0)->Text_contents()->string, "Due: " + QDate::currentDate().toString("dd-MM-yyyy"));
  e->Text_value_Edit->clear();
  e->Text_Time_style->setCurrentIndex(e->Text_Time_style->findText("h:mm:ss a"));
  e->Text_Insert_Time_btn->click();
  EXPECT_TRUE(QRegularExpression("^(1[0-2]|[1-9]):[0-5]\\d:[0-5]\\d (AM|PM)$")
                  .match(front(0)->Text_contents()->string)
                  .hasMatch())
      << front(0)->Text_contents()->string.toStdString();
  e->Text_Date_style->setCurrentIndex(-1);
  e->Text_Insert_Date_btn->click();
  EXPECT_EQ(lastMessage(), "Please select Date format.");

  // The wizard's title text takes a stock title; Cancel leaves it alone.
  front(0)->control_ID = QStringLiteral("PARTY_TITLE");
  click({200, 140});
  click({35, 35});
  ASSERT_FALSE(e->insert_template_btn->isHidden());
  EXPECT_EQ(e->insert_template_btn->text(), "Use Template Title");
  QFile titles(resources + QStringLiteral("/Title.txt"));
  ASSERT_TRUE(titles.open(QIODevice::ReadOnly));
  const QString second = QString::fromUtf8(titles.readAll()).trimmed().split('\n').value(1).trimmed();
  host.queueModal([](QDialog& dialog) {
    auto& picker = dynamic_cast<Insert_Template&>(dialog);
    picker.next_btn->click();
    picker.ok_btn->click();
    return picker.result();
  });
  e->insert_template_btn->click();
  EXPECT_EQ(front(0)->Text_contents()->string, second);
  host.queueModal([](QDialog&) { return 0; });
  e->insert_template_btn->click();
  EXPECT_EQ(front(0)->Text_contents()->string, second);

  // A second text; both selected take colour, font and case, but not the editor's characters.
  window->toolAction(DrawingTool::Text)->trigger();
  click({35, 35}, true);
  ASSERT_EQ(window->graphicView()->selectionIndexes().size(), 2u);
  host.queueModal([](QDialog& dialog) {
    dynamic_cast<QFontDialog&>(dialog).setCurrentFont(QFont(QStringLiteral("Liberation Sans"), 20));
    return 1;
  });
  t->Text_Font_btn->click();
  t->Text_clr->chooseColor(QColor(10, 120, 30));
  t->Text_case_combo->setCurrentIndex(1);
  t->Text_align_combo->setCurrentIndex(2);
  t->Text_Kern_Stepper->setValue(1.5);
  const CardFont chosen{platform::postScriptNameForFont(QFont(QStringLiteral("Liberation Sans"), 20)), 20.0};
  EXPECT_TRUE(t->Text_font_value->text().endsWith("( 20.00 )"));
  for (const SKTGraphicPtr& g : {front(0), front(1)}) {
    EXPECT_EQ(g->text_ctrl_font, chosen);
    EXPECT_EQ(g->txt_clr.rgb(), qRgb(10, 120, 30));
    EXPECT_EQ(g->text_transfrom_case, 1);
    EXPECT_EQ(g->text_alignmnet, 2);
    EXPECT_FLOAT_EQ(g->text_kerning, 1.5f);
  }
  EXPECT_EQ(front(0)->Text_contents()->string, "Text here");
  // The text shows in green on the card.
  bool green = false;
  const QImage card = render();
  for (int y = 50; y < 100 && !green; ++y)
    for (int x = 50; x < 100 && !green; ++x) green = qGreen(card.pixel(x, y)) > qRed(card.pixel(x, y)) + 60;
  EXPECT_TRUE(green);
  // The back side's changes are not undoable; the front's undo list stays as it is.
  window->Select_back_side();
  window->toolAction(DrawingTool::Text)->trigger();
  const int entries = window->document()->undoStack()->count();
  t->Text_case_combo->setCurrentIndex(2);
  EXPECT_EQ(window->document()->graphics_back().front()->text_transfrom_case, 2);
  EXPECT_EQ(window->document()->undoStack()->count(), entries);
}

TEST_F(ObjectTabs, PictureAndSignatureTakeFilesFiltersAndFlipsAndTheResetAsks) {
  const QString red = picture(QStringLiteral("red.png"), Qt::red);
  const QString blue = picture(QStringLiteral("blue.png"), QColor(30, 60, 220), {60, 20});
  host.queueOpenPanel({red});
  window->toolAction(DrawingTool::PictureFile)->trigger();
  EXPECT_EQ(tabTitles(), (QStringList{"Image Source", "Image Properties", "Alignment"}));
  DataSourceTab* d = window->dataSourceTab();
  PictureTab* p = window->pictureTab();
  EXPECT_EQ(d->Manual_image_path->text(), red);
  EXPECT_TRUE(d->manual_brws_box->isVisibleTo(window->settingsTabs()->widget(0)));

  // A new file through the file panel: path and picture, one undo entry.
  const int entries = window->document()->undoStack()->count();
  host.queueOpenPanel({blue});
  d->Manual_Image_Browse_btn->click();
  auto* image = dynamic_cast<SKTImage*>(front(0).get());
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->_file_path, blue);
  EXPECT_EQ(image->_contents.size(), QSize(60, 20));
  EXPECT_EQ(window->document()->undoStack()->count(), entries + 1);
  // Cancel changes nothing.
  host.queueOpenPanel({});
  d->Manual_Image_Browse_btn->click();
  EXPECT_EQ(image->_file_path, blue);

  // The canvas in the window shows the picture where the object is.
  window->resize(1000, 800);
  SKTGraphicView* canvas = window->graphicView();
  const QPoint onCanvas = (image->bounds().center() * canvas->displayFactor()).toPoint();
  const QColor seen = canvas->window()->grab().toImage().pixelColor(canvas->mapTo(window.get(), onCanvas));
  EXPECT_EQ(seen, QColor(30, 60, 220));

  // Two filters, a brightness and a flip. Grey and inverted blue is a light grey.
  p->Image_Gray_Scale_chk->click();
  p->Image_Invert_chk->click();
  const QRgb grey = render().pixel(image->bounds().center().toPoint());
  EXPECT_EQ(qRed(grey), qGreen(grey));
  EXPECT_EQ(qGreen(grey), qBlue(grey));
  EXPECT_GT(qRed(grey), 150);
  EXPECT_LT(qRed(grey), 240);
  p->Brt_slidr->slider()->setValue(25);
  p->Image_FIH_chk->click();
  EXPECT_TRUE(image->gray_Scale);
  EXPECT_TRUE(image->invert_clr);
  EXPECT_FLOAT_EQ(image->brt_val, 0.25f);
  EXPECT_TRUE(image->_isFlippedHorizontally);
  EXPECT_DOUBLE_EQ(p->Brt_slidr->field()->value(), 0.25);

  // The reset asks first: No keeps everything, Yes puts the neutral values in.
  host.queueYesNo(false);
  p->Image_reset_btn->click();
  EXPECT_TRUE(image->gray_Scale);
  host.queueYesNo(true);
  p->Image_reset_btn->click();
  EXPECT_FALSE(image->gray_Scale);
  EXPECT_FALSE(image->_isFlippedHorizontally);
  EXPECT_FLOAT_EQ(image->brt_val, 0.0f);
  EXPECT_FLOAT_EQ(image->img_trnsp_val, 100.0f);
  // One undo takes the reset back.
  undo();
  EXPECT_TRUE(image->gray_Scale);
  EXPECT_FLOAT_EQ(image->brt_val, 0.25f);
  EXPECT_TRUE(p->Image_Gray_Scale_chk->isChecked());

  // A signature takes a file from the panel; a fingerprint's tab says so;
  // a locked fingerprint shows the signature's lock tab.
  const QString ink = picture(QStringLiteral("ink.png"), Qt::black, {80, 40});
  window->toolAction(DrawingTool::Signature)->trigger();
  EXPECT_EQ(tabTitles(), (QStringList{"Signature Properties", "Alignment"}));
  host.queueOpenPanel({ink});
  window->signatureTab()->Sign_Browse_btn->click();
  auto* signature = dynamic_cast<SKTSignature*>(front(0).get());
  ASSERT_NE(signature, nullptr);
  EXPECT_EQ(signature->_file_path, ink);
  EXPECT_EQ(signature->_contents_img.size(), QSize(80, 40));
  EXPECT_EQ(window->signatureTab()->Sign_image_path->text(), ink);
  window->toolAction(DrawingTool::Fingerprint)->trigger();
  EXPECT_EQ(tabTitles(), (QStringList{"FingrePrint Properties", "Alignment"}));
  // The fingerprint's border change leaves its own file alone.
  window->signatureTab()->Sign_bor_Stepper->setValue(3);
  EXPECT_NE(front(0)->_file_path, ink);
  window->Lock_Clicked();
  EXPECT_EQ(tabTitles(), QStringList{"Signature Properties"});
}

TEST_F(ObjectTabs, LineTabAndBarcodeTab) {
  window->toolAction(DrawingTool::Line)->trigger();
  EXPECT_EQ(tabTitles(), (QStringList{"Line Properties", "Alignment"}));
  LineTab* l = window->lineTab();
  EXPECT_EQ(l->Line_alpha_Stepper->value(), 100);
  l->Line_Wdt_Stepper->setValue(6);
  l->Line_clr->chooseColor(QColor(200, 0, 0));
  l->Line_border_style->setCurrentIndex(4);
  l->Line_cap_style->setCurrentIndex(1);
  l->Line_alpha_Stepper->setValue(40);
  const SKTGraphicPtr line = front(0);
  EXPECT_EQ(line->_strokeWidth, 6.0);
  EXPECT_EQ(line->_strokeColor.rgb(), qRgb(200, 0, 0));
  EXPECT_EQ(line->_stroke_border_type, "DDD");
  EXPECT_EQ(line->_line_cap_style, 1);
  EXPECT_FLOAT_EQ(line->alpha_val_stroke, 0.4f);

  window->toolAction(DrawingTool::Barcode)->trigger();
  EXPECT_EQ(tabTitles(), (QStringList{"Barcode Properties", "Alignment"}));
  int opened = 0;
  host.queueModal([&opened](QDialog& dialog) {
    ++opened;
    EXPECT_EQ(dialog.metaObject()->className(), QStringLiteral("Barcode_Gen"));
    return 0;
  });
  window->barcodeTab()->View_barcode_prop_btn->click();
  EXPECT_EQ(opened, 1);
}

TEST_F(ObjectTabs, TextsAndPicturesBindToASeriesOrAColumnAndShowTheFirstValue) {
  const QString folder = Data_Folder_Path();
  ASSERT_TRUE(QDir().mkpath(folder));
  QFile guests(folder + QStringLiteral("/Guests.txt"));
  ASSERT_TRUE(guests.open(QIODevice::WriteOnly));
  guests.write("  Ada Lovelace\r\nBob\r\n");
  guests.close();
  QFile empty(folder + QStringLiteral("/Other.txt"));
  ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
  empty.close();

  window->toolAction(DrawingTool::Text)->trigger();
  DataSourceTab* d = window->dataSourceTab();
  const SKTGraphicPtr text = front(0);
  const PanelFields unbound = capture(*text);
  d->Data_source_type->setCurrentIndex(1);
  // The text keeps its source and words until a series is chosen.
  EXPECT_EQ(capture(*text), unbound);
  ASSERT_EQ(d->Batch_Series->count(), 2);
  EXPECT_EQ(d->Batch_Series->currentIndex(), -1);
  EXPECT_TRUE(window->textEditingTab()->Text_value_Edit->isReadOnly());
  d->Batch_Series->setCurrentIndex(d->Batch_Series->findText("Guests"));
  // Card 1's value, as the run fills it: blanks and carriage return gone.
  EXPECT_EQ(text->Text_contents()->string, "Ada Lovelace");
  EXPECT_EQ(window->textEditingTab()->Text_value_Edit->toPlainText(), "Ada Lovelace");
  EXPECT_EQ(text->batch_list_name, "Guests");
  EXPECT_EQ(text->batch_list_index, 0);
  // Written anew through the data dialogs, the series is shown with its new card 1 at once.
  ASSERT_TRUE(series_writing::writeOnWorker(nullptr, DataSeriesStore(), QStringLiteral("Guests"),
                                            SeriesValues::fromList({" Ada King ", "Bob"})));
  EXPECT_EQ(text->Text_contents()->string, "Ada King");
  EXPECT_EQ(window->textEditingTab()->Text_value_Edit->toPlainText(), "Ada King");

  // Selecting it again shows the binding and writes nothing.
  const PanelFields bound = capture(*text);
  click({200, 140});
  click({35, 35});
  EXPECT_EQ(d->Data_source_type->currentIndex(), 1);
  EXPECT_EQ(d->Batch_Series->currentText(), "Guests");
  EXPECT_EQ(capture(*text), bound);
  // One undo takes the binding and its value back.
  undo();
  EXPECT_EQ(capture(*text), unbound);

  // A first value of 2,000,000 characters without a blank is the text's
  // whole; the editor is given one part of it.
  QFile codes(folder + QStringLiteral("/Codes.txt"));
  ASSERT_TRUE(codes.open(QIODevice::WriteOnly));
  QByteArray code(2000000, 'x');
  for (qsizetype i = 0; i < code.size(); ++i) code[i] = char('a' + i % 26);
  codes.write(code + "\nshort\n");
  codes.close();
  d->Data_source_type->setCurrentIndex(0);
  d->Data_source_type->setCurrentIndex(1);
  d->Batch_Series->setCurrentIndex(d->Batch_Series->findText("Codes"));
  EXPECT_EQ(text->Text_contents()->string.toLatin1(), code);
  EXPECT_EQ(window->textEditingTab()->Text_value_Edit->document()->characterCount() - 1,
            TextEditingTab::kPartLength);
  EXPECT_EQ(window->textEditingTab()->text().toLatin1(), code);
  undo();
  EXPECT_EQ(capture(*text), unbound);
  ASSERT_TRUE(QFile::remove(codes.fileName()));

  // A spreadsheet column: "Excel" is offered while the design is bound to one.
  const QString photo = picture(QStringLiteral("photo.png"), Qt::green);
  Data_From_Excel_Table().replaceContents(
      {QStringLiteral("No."), QStringLiteral("Name"), QStringLiteral("Photo")},
      {{{"Extension", "1"}, {"Column1", "Zoe"}, {"Column2", photo}}});
  Excel_Binding_Use = true;
  click({200, 140});
  click({35, 35});
  ASSERT_EQ(d->Data_source_type->count(), 3);
  const QString typed = text->Text_contents()->string;
  d->Data_source_type->setCurrentIndex(2);
  EXPECT_EQ(d->Batch_Series->count(), 3);
  // Choosing "Excel" keeps the typed text, and the source, until a column is chosen.
  EXPECT_EQ(text->Text_contents()->string, typed);
  EXPECT_EQ(text->data_source_type, 0);
  EXPECT_EQ(d->Batch_Series->currentIndex(), -1);
  d->Batch_Series->setCurrentIndex(1);
  EXPECT_EQ(text->Text_contents()->string, "Zoe");
  EXPECT_EQ(text->data_source_type, 2);
  EXPECT_EQ(text->excel_col_indx, 1);
  // View shows the spreadsheet's rows with their counts (the row-number column
  // counted); a cell corrected there is the column's value from then on, and
  // the bound text shows it at once.
  ASSERT_TRUE(d->view_series_btn->isEnabled());
  QStringList counts;
  host.queueModal([&counts](QDialog& dialog) {
    auto& table = static_cast<Data_From_Excel&>(dialog);
    counts << table.rows_count->text() << table.column_count->text();
    table.show();
    const QModelIndex name = table.ColList->model()->index(0, 1);
    table.ColList->edit(name);
    auto* editor = qobject_cast<QLineEdit*>(table.ColList->indexWidget(name));
    if (editor == nullptr) return 0;
    editor->setText(QStringLiteral("Zoë"));
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();  // the table commits the edit after the key
    table.OK_Click();
    return dialog.result();
  });
  d->view_series_btn->click();
  EXPECT_EQ(counts, (QStringList{"1", "3"}));
  EXPECT_EQ(text->Text_contents()->string, "Zoë");
  EXPECT_EQ(window->textEditingTab()->Text_value_Edit->toPlainText(), "Zoë");
  // So does a spreadsheet chosen anew (the profile window's picker fills the table so).
  Data_From_Excel_Table().replaceContents(
      {QStringLiteral("No."), QStringLiteral("Name"), QStringLiteral("Photo")},
      {{{"Extension", "1"}, {"Column1", "Yves"}, {"Column2", photo}}});
  EXPECT_EQ(text->Text_contents()->string, "Yves");
  d->Batch_Series->setCurrentIndex(0);
  d->Batch_Series->setCurrentIndex(1);
  EXPECT_EQ(text->Text_contents()->string, "Yves");

  // A picture bound to a column takes the cell as its file.
  const QString first = picture(QStringLiteral("first.png"), Qt::red);
  host.queueOpenPanel({first});
  window->toolAction(DrawingTool::PictureFile)->trigger();
  auto* image = dynamic_cast<SKTImage*>(front(0).get());
  ASSERT_NE(image, nullptr);
  d->Data_source_type->setCurrentIndex(2);
  EXPECT_FALSE(d->manual_brws_box->isEnabled());
  // ... and a picture its own file (not the row number of the first column).
  EXPECT_EQ(image->_file_path, first);
  EXPECT_EQ(image->_contents.pixelColor(0, 0), QColor(Qt::red));
  d->Batch_Series->setCurrentIndex(2);
  EXPECT_EQ(image->_file_path, photo);
  EXPECT_EQ(d->Manual_image_path->text(), photo);
  EXPECT_EQ(image->_contents.pixelColor(0, 0), QColor(Qt::green));

  // Without any series the choice is refused with a message; the binding stays.
  QFile::remove(folder + QStringLiteral("/Guests.txt"));
  QFile::remove(folder + QStringLiteral("/Other.txt"));
  d->Data_source_type->setCurrentIndex(1);
  EXPECT_EQ(lastMessage(), "Please create batch processing series first.");
  EXPECT_EQ(image->data_source_type, 2);
  EXPECT_EQ(d->Data_source_type->currentIndex(), 2);
  // A design without a spreadsheet takes "Excel" away; no object's binding changes with it.
  window->designHost().setExcelBinding(false);
  EXPECT_EQ(d->Data_source_type->count(), 2);
  EXPECT_EQ(image->data_source_type, 2);
  EXPECT_EQ(image->_file_path, photo);
}

TEST_F(ObjectTabs, ArrangeCommandsGuardTheirUseAndThePrintBoxLeavesAnObjectOut) {
  window->toolAction(DrawingTool::Rectangle)->trigger();
  AlignmentTab* a = window->alignmentTab();
  a->Make_Same_Width_btn->click();
  EXPECT_EQ(lastMessage(), "Please select more than one control.");
  a->Make_Same_Height_btn->click();
  EXPECT_EQ(host.messages().size(), 2);
  a->Align_To_Grid_btn->click();
  EXPECT_EQ(lastMessage(), "Please use grid option first.");

  window->toolAction(DrawingTool::Oval)->trigger();  // an oval at (50, 50)
  window->shapeTab()->shape_fill_clr->chooseColor(QColor(0, 0, 0));
  front(0)->setBounds(QRectF(52, 47, 70, 30));
  click({35, 35}, true);
  ASSERT_EQ(window->graphicView()->selectionIndexes().size(), 2u);
  a->Make_Same_Width_btn->click();
  a->Align_Left_btn->click();
  EXPECT_EQ(front(0)->bounds().width(), front(1)->bounds().width());
  EXPECT_EQ(front(0)->bounds().left(), front(1)->bounds().left());

  window->grid()->setSpacing(20);
  window->grid()->setAlwaysShown(true);
  const int messages = host.messages().size();
  a->Align_To_Grid_btn->click();
  EXPECT_EQ(host.messages().size(), messages);
  EXPECT_EQ(std::fmod(front(0)->bounds().left(), 20.0), 0.0);

  // The print box: on, the oval is left out of the rendered card; off, it is back.
  click({200, 140});
  click({front(0)->bounds().center()});
  ASSERT_FALSE(window->print_object_chk->isHidden());
  const QPoint inside = front(0)->bounds().center().toPoint();
  EXPECT_EQ(render().pixel(inside), qRgb(0, 0, 0));
  window->print_object_chk->click();
  EXPECT_EQ(front(0)->print_object, 1);
  EXPECT_EQ(render().pixel(inside), qRgb(255, 255, 255));
  undo();
  EXPECT_EQ(front(0)->print_object, 0);
}
