// What comes out of a run against what the window shows, through the real
// window: a name text bound to a spreadsheet column keeps the drawing rule
// (what does not fit its box is not drawn), but Export, Print and E-mail
// each end with a message that counts the cards whose bound text was cut
// or whose bound barcode runs past the card's edge, and names the first few
// cards and objects (a column by its title, as the window shows it). A text
// kept off the output
// ("Screen only") is not counted. And a run that makes only the front of a
// two-sided card neither asks about nor reports a data series only the back
// uses. After Undo and Redo a bound text shows card 1's value as its source
// holds it then, on the canvas, over the scripting interface, in a single
// export and on card 1 of a run alike.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>

#include "barcode/designer/BarcodeSettings.h"
#include "barcode/designer/CardBarcodePicture.h"
#include "core/SKTImage.h"
#include "core/SKTText.h"
#include "core/globals.h"
#include "core/render/SKTRenderingView.h"
#include "core/render/TextLook.h"
#include "data/DataSeriesStore.h"
#include "data/DataSourceTable.h"
#include "data/dialogs/Data_From_Excel.h"
#include "data/dialogs/SeriesWriting.h"
#include "mainwindow/SKTWindowController.h"
#include "mainwindow/WindowDesignHost.h"
#include "mainwindow/WindowTestSupport.h"
#include "mainwindow/panels/DataSourceTab.h"
#include "mainwindow/panels/TextPropertiesTab.h"
#include "mainwindow/scripting/GraphicBusObject.h"
#include "platform/widgets/Open_Export_Log.h"
#include "production/CardExport.h"
#include "production/CutTexts.h"
#include "production/ExportWindow.h"
#include "production/MailScript.h"
#include "production/Send_Mail.h"
#include "production/print/Print_Wnd.h"
#include "production/print/Printers.h"
#include "support/HangGuard.h"
#include "support/PictureSamples.h"
#include "support/ScriptedHost.h"
#include "support/TestFiles.h"
#include "support/WindowWait.h"

namespace {

// Takes every mail; counts them.
class TakingTransport : public production::MailTransport {
 public:
  explicit TakingTransport(std::atomic<int>& sent) : sent_(sent) {}
  bool send(const production::MailAccount&, const production::MailMessage&) override {
    ++sent_;
    return true;
  }

 private:
  std::atomic<int>& sent_;
};

// A text of one 20-point line, 196 points wide, bound to a data source.
std::shared_ptr<SKTText> boundText(QPointF at, int sourceType, int column, const QString& series = {}) {
  auto text = std::static_pointer_cast<SKTText>(SKTGraphic::makeGraphic(GraphicKind::Text));
  text->text_ctrl_font = CardFont{QStringLiteral("Helvetica"), 20.0};
  text->setBounds(QRectF(at, QSizeF(196, 10)));
  text->contents()->string = QStringLiteral("Ann");
  text->setHeightToMatchContents();
  text->data_source_type = sourceType;
  text->excel_col_indx = column;
  text->batch_list_name = series;
  return text;
}

// Two pictures of a card alike, pixel for pixel.
::testing::AssertionResult sameCard(const QImage& actual, const QImage& expected) {
  const QImage a = actual.convertToFormat(QImage::Format_RGB32);
  const QImage e = expected.convertToFormat(QImage::Format_RGB32);
  if (a.size() != e.size())
    return ::testing::AssertionFailure()
           << a.width() << " x " << a.height() << " instead of " << e.width() << " x " << e.height();
  int differing = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) differing += a.pixel(x, y) != e.pixel(x, y);
  if (differing == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << differing << " pixels differ";
}

// How far a picture is, at its best place in the area, from showing the
// empty box that a font draws for a character no installed font has (its
// glyph 0): the box is drawn at the picture's scale, at a few places between
// pixels, and the ink by which the picture differs from it there is counted
// in parts of the box's own ink (0 where the picture shows it exactly, 1 on
// blank paper). Ink is what is dark on the white of the text's box.
double unlikenessToMissingGlyph(const QImage& picture, const QRect& area, const CardFont& font,
                                double scale) {
  const auto inkOf = [](const QImage& image) {
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    std::vector<double> ink(size_t(grey.width()) * grey.height());
    for (int y = 0; y < grey.height(); ++y)
      for (int x = 0; x < grey.width(); ++x)
        ink[size_t(y) * grey.width() + x] = 1 - grey.scanLine(y)[x] / 255.0;
    return ink;
  };
  const std::vector<double> card = inkOf(picture);
  double best = 1;
  for (const double dx : {0.0, 0.25, 0.5, 0.75})
    for (const double dy : {0.0, 0.25, 0.5, 0.75}) {
      QImage drawn(int(40 * scale) + 8, int(40 * scale) + 8, QImage::Format_RGB32);
      drawn.fill(Qt::white);
      {
        QPainter painter(&drawn);
        painter.translate(4 + dx, 4 + dy);
        painter.scale(scale, scale);
        text_look::drawTextInRect(painter, QString(QChar(0xE000)), {0, 0, 40, 40}, {font, 0, 0}, Qt::black);
      }
      const std::vector<double> shape = inkOf(drawn);
      QRect box;
      double ink = 0;
      for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x) {
          const double covered = shape[size_t(y) * drawn.width() + x];
          ink += covered;
          if (covered > 0.1) box |= QRect(x, y, 1, 1);
        }
      box.adjust(-1, -1, 1, 1);
      for (int top = area.top(); top + box.height() <= area.bottom(); ++top)
        for (int left = area.left(); left + box.width() <= area.right(); ++left) {
          double differ = 0;
          for (int v = 0; v < box.height(); ++v)
            for (int u = 0; u < box.width(); ++u)
              differ += std::abs(shape[size_t(box.top() + v) * drawn.width() + box.left() + u] -
                                 card[size_t(top + v) * picture.width() + left + u]);
          best = std::min(best, differ / ink);
        }
    }
  return best;
}

}  // namespace

class RunsOfBoundTexts : public ::testing::Test {
 protected:
  void SetUp() override {
    window_test::useSeededResources(dir);
    production::setPrinterNamesForTesting([] { return QStringList{production::kPdfFilePrinter}; });
    window = std::make_unique<SKTWindowController>();
    window->SetDocumentCanvasSize({243, 154});
    window->show();
    ASSERT_TRUE(testing_support::waitUntilShown(window.get()));
    Send_Mail::defaultInstance().setTransport(std::make_unique<TakingTransport>(mailsSent));
  }
  void TearDown() override {
    Send_Mail::defaultInstance().setTransport(std::make_unique<production::MailScript>());
    window.reset();
    Excel_Binding_Use = false;
    production::setPrinterNamesForTesting(nullptr);
    Data_From_Excel_Table().replaceContents({DataSourceTable::kDefaultFirstTitle}, {});
    Card_Front_Or_Back = 0;
  }

  // Export through the export window (`side`: 0 both, 1 front) and the
  // folder panel; the finished box's message.
  QString exportCards(int side) {
    host.queueModal([side](QDialog& d) {
      static_cast<ExportWindow&>(d).export_card_side_CellClick(side);
      return 1;
    });
    host.queueOpenPanel({dir.path()});
    QString closing;
    host.queueModal([&closing](QDialog& d) {
      closing = static_cast<Open_Export_Log&>(d)._open_log_message->text();
      return 0;
    });
    window->Export_Button();
    EXPECT_TRUE(window->cardExport().waitForRun(testing_support::kHangGuardMs));
    return closing;
  }
  // The card as the canvas shows it, without the rows, in one file; the
  // finished box's message.
  QString exportCanvasCard() {
    host.queueModal([](QDialog& d) {
      static_cast<ExportWindow&>(d).Export_with_excel_chk->setChecked(false);
      return 1;
    });
    host.queueSavePanel(dir.filePath("card.PNG"));
    QString closing;
    host.queueModal([&closing](QDialog& d) {
      closing = static_cast<Open_Export_Log&>(d)._open_log_message->text();
      return 0;
    });
    window->Export_Button();
    return closing;
  }
  // Prints every card to a PDF file (`side`: 0 both, 1 front).
  void printCards(int side) {
    host.queueModal([this, side](QDialog&) {
      Print_Wnd& dialog = Print_Wnd::defaultInstance();
      dialog.matrix_card_side->button(side)->click();
      host.queueSavePanel(dir.filePath(QStringLiteral("cards.pdf")));
      dialog.printButton->click();
      return 0;
    });
    window->dialogAction(QStringLiteral("Print_Button"))->trigger();
  }
  // Mails every card to one recipient (`side`: 0 both, 1 front).
  void mailCards(int side, bool series, bool excel) {
    host.queueModal([side, series, excel](QDialog& d) {
      auto& mail = static_cast<Send_Mail&>(d);
      mail.from_txt->setText(QStringLiteral("me@example.com"));
      mail.to_txt->setText(QStringLiteral("friend@example.org"));
      mail.matrix_card_side->button(side)->click();
      mail.send_with_batch_chk->setChecked(series);
      mail.send_with_excel_chk->setChecked(excel);
      mail.rd_all_to_every->setChecked(true);
      mail.Send_Button();
      EXPECT_TRUE(mail.waitForRun(testing_support::kHangGuardMs));
      return 0;
    });
    window->Mail_Button();
  }

  QTemporaryDir dir;
  testing_support::ScriptedHost host;
  std::unique_ptr<SKTWindowController> window;
  std::atomic<int> mailsSent{0};
};

TEST_F(RunsOfBoundTexts, ExportPrintAndMailSayWhichCardsLostPartOfABoundTextOrBarcode) {
  // Names on the front, cities and codes on the back; five names and one
  // city are too long for one line of their box, and card 3's code makes a
  // barcode that runs past the card's right edge.
  const QList<QStringList> people = {{"Ann", "Rome"},
                                     {"Maximilian Alexander von Hohenzollern", "Oslo"},
                                     {"Bob", "Rio de Janeiro, Copacabana Beach"},
                                     {"Jean-Luc Emmanuel Baptiste Delacroix", "Lima"},
                                     {"Nguyễn Thị Minh Khai Phương Anh", "Rome"},
                                     {"Cy", "Oslo"},
                                     {"Annemarie Charlotte Wilhelmina Braun", "Lima"},
                                     {"Konstantinos Papadopoulos-Georgiou", "Rome"},
                                     {"Dee", "Oslo"}};
  QList<DataSourceRow> rows;
  for (int i = 0; i < people.size(); ++i)
    rows.append(
        {{"Extension", QString::number(i + 1)},
         {"Column1", people[i][0]},
         {"Column2", people[i][1]},
         {"Column3", i == 2 ? QStringLiteral("C3-ABCDEFGHIJKLMN") : QStringLiteral("C%1").arg(i + 1)}});
  Data_From_Excel_Table().replaceContents({"No.", "Name", "City", "Code"}, rows);
  const auto name = boundText({20, 20}, 2, 1);
  window->document()->addInGraphics(CardSide::Front, name);
  window->document()->addInGraphics(CardSide::Back, boundText({20, 60}, 2, 2));
  // A Code 128 bound to "Code", as large as card 1's value.
  auto code = SKTGraphic::makeGraphic(GraphicKind::Barcode);
  code->barcode_font_index = static_cast<int>(barcode::symbologyNames().indexOf("Code 128"));
  code->linear_height_val = 0.4f;
  code->show_hide_hdr = code->show_hide_ftr = 1;
  code->data_source_type = 2;
  code->excel_col_indx = 3;
  code->Set_Barcode_image(barcode::cardPictureOf(*code, "C1"));
  code->setBounds(QRectF(QPointF(20, 90), code->_barcode_image.deviceIndependentSize()));
  window->document()->addInGraphics(CardSide::Back, code);
  // Too small for any name, but never drawn on a card.
  auto screenOnly = boundText({20, 100}, 2, 1);
  screenOnly->setBounds(QRectF(20, 100, 30, 8));
  screenOnly->print_object = 1;
  window->document()->addInGraphics(CardSide::Front, screenOnly);

  const QString cut =
      "6 cards lost part of a bound text that does not fit its box or of a bound barcode that runs past "
      "the card's edge:\n"
      "card 2: front text \"Maximilian Alexander von…\" (spreadsheet column \"Name\")\n"
      "card 3: back text \"Rio de Janeiro, Copacaba…\" (spreadsheet column \"City\"); back Code 128 barcode "
      "\"C3-ABCDEFGHIJKLMN\" (spreadsheet column \"Code\")\n"
      "card 4: front text \"Jean-Luc Emmanuel Baptis…\" (spreadsheet column \"Name\")\n"
      "card 5: front text \"Nguyễn Thị Minh Khai Phư…\" (spreadsheet column \"Name\")\n"
      "card 7: front text \"Annemarie Charlotte Wilh…\" (spreadsheet column \"Name\")\n"
      "and 1 more.";

  // Export of both sides, made by a pool of workers: the cards in row order.
  EXPECT_EQ(exportCards(0), "Card has been exported successfully.\n\n" + cut);
  EXPECT_EQ(QDir(dir.filePath("QUVO Gratulo")).entryList(QDir::Files).size(), 18);
  EXPECT_EQ(host.messages(), QStringList());

  // Print of both sides into a PDF file.
  host.clear();
  printCards(0);
  EXPECT_TRUE(QFileInfo::exists(dir.filePath("cards.pdf")));
  EXPECT_EQ(host.messages(), QStringList{"\nThe cards have been printed.\n\n" + cut});

  // Mail of both sides of every card.
  host.clear();
  mailCards(0, false, true);
  EXPECT_EQ(mailsSent.load(), 9);
  EXPECT_EQ(host.messages(), QStringList{"\nE-mail has been sent successfully.\n\n" + cut});

  // The front alone: only the names count, the fronts' list in full.
  host.clear();
  EXPECT_EQ(exportCards(1),
            "Card has been exported successfully.\n\n"
            "5 cards lost part of a bound text that does not fit its box:\n"
            "card 2: front text \"Maximilian Alexander von…\" (spreadsheet column \"Name\")\n"
            "card 4: front text \"Jean-Luc Emmanuel Baptis…\" (spreadsheet column \"Name\")\n"
            "card 5: front text \"Nguyễn Thị Minh Khai Phư…\" (spreadsheet column \"Name\")\n"
            "card 7: front text \"Annemarie Charlotte Wilh…\" (spreadsheet column \"Name\")\n"
            "card 8: front text \"Konstantinos Papadopoulo…\" (spreadsheet column \"Name\")");

  // The card as the canvas shows it, without the rows, in one file.
  name->contents()->string = people[1][0];
  EXPECT_EQ(exportCanvasCard(),
            "Card has been exported successfully.\n\n"
            "1 card lost part of a bound text that does not fit its box:\n"
            "card 1: front text \"Maximilian Alexander von…\" (spreadsheet column \"Name\")");
}

// A photo per row from a spreadsheet column, some of them unusable, names
// in several scripts, a background that is back in its place, and a Code 128
// and a Data Matrix on one value: every run names each card that lost part
// of it once, and the good rows come out as a run of the good rows alone.
TEST_F(RunsOfBoundTexts, EveryRunNamesEachCardWhosePictureCharactersOrBarcodesCouldNotBeDrawn) {
  const QDir photos(dir.filePath("photos"));
  ASSERT_TRUE(photos.mkpath("folder.jpg"));
  const QByteArray jpeg = testing_support::wholePictureSamples().at(0).bytes;
  ASSERT_TRUE(testing_support::writeFile(photos.filePath("good.jpg"), jpeg) &&
              testing_support::writeFile(photos.filePath("cut.jpg"), jpeg.left(jpeg.size() / 2)) &&
              testing_support::writeFile(photos.filePath("notes.txt"), "Photos follow.\n") &&
              testing_support::samplePicture().save(photos.filePath("good.png")) &&
              testing_support::samplePicture().save(dir.filePath("background.png")));
  window->Front_card_Prop.Card_fill_chk = true;  // missing when the design opened
  window->Front_card_Prop.Card_fill_style = QStringLiteral("I");
  window->Front_card_Prop.Card_BG_Image_Path = dir.filePath("background.png");
  const QList<QStringList> people = {{"Ann", "good.jpg", "A1"},
                                     {"Bob", "good.png", "B2-ABCDEFGHIJKLMNOPQRSTUVWXYZ"},
                                     {"Cy", "missing.jpg", "C3"},
                                     {"王小明", "cut.jpg", "D4"},
                                     {"Dee", "folder.jpg", "E5"},
                                     {"Eve\uE000", "notes.txt", "F6"},
                                     {"Fay", "good.jpg", "G7"},
                                     {"Gus", "missing.jpg", "H8"},
                                     {"김민준 佐藤 Σοφία Иван أحمد דוד", "good.png", "I9"}};
  const auto table = [&](const QList<int>& which) {
    QList<DataSourceRow> rows;
    for (const int i : which)
      rows.append({{"Extension", QString::number(rows.size() + 1)},
                   {"Column1", people[i][0]},
                   {"Column2", photos.filePath(people[i][1])},
                   {"Column3", people[i][2]}});
    Data_From_Excel_Table().replaceContents({"No.", "Name", "Photo", "Code"}, rows);
  };
  table({0, 1, 2, 3, 4, 5, 6, 7, 8});
  auto photo = std::static_pointer_cast<SKTImage>(SKTGraphic::makeGraphic(GraphicKind::Image));
  photo->setBounds(QRectF(160, 20, 60, 40));
  photo->data_source_type = 2;
  photo->excel_col_indx = 2;
  window->document()->addInGraphics(CardSide::Front, photo);
  auto name = boundText({20, 20}, 2, 1);
  name->text_ctrl_font = CardFont{QStringLiteral("TimesNewRomanPS-ItalicMT"), 20};  // the wizard's default
  name->setBounds(QRectF(20, 20, 135, 110));
  window->document()->addInGraphics(CardSide::Front, name);
  for (const QString symbology : {"Code 128", "DataMatrix"}) {  // as large as "A1", near the edge
    auto code = SKTGraphic::makeGraphic(GraphicKind::Barcode);
    code->barcode_font_index = static_cast<int>(barcode::symbologyNames().indexOf(symbology));
    code->linear_or_2d = symbology == "DataMatrix";
    code->dm_module_val = 5;
    code->data_source_type = 2;
    code->excel_col_indx = 3;
    code->Set_Barcode_image(barcode::cardPictureOf(*code, "A1"));
    const QSizeF size = code->_barcode_image.deviceIndependentSize();
    code->setBounds(QRectF(QPointF(236 - size.width(), symbology == "DataMatrix" ? 10 : 80), size));
    window->document()->addInGraphics(CardSide::Back, code);
  }

  const auto picture = [&](int card, const char* file, const char* why) {
    return QStringLiteral("card %1: front picture \"%2\" (spreadsheet column \"Photo\"): %3")
        .arg(card)
        .arg(photos.filePath(QLatin1String(file)), QLatin1String(why));
  };
  const QString code = "\"B2-ABCDEFGHIJKLMNOPQRSTU…\" (spreadsheet column \"Code\")";
  const QString lost =
      "6 cards lost part of a bound barcode that runs past the card's edge, of a bound picture whose file "
      "cannot be used or of a text with characters that no installed font has:\ncard 2: back Code 128 "
      "barcode " +
      code + "; back Data Matrix code " + code + "\n" +
      picture(3, "missing.jpg", "no such file or directory") + "\n" +
      picture(4, "cut.jpg", "it is a damaged or incomplete picture") + "\n" +
      picture(5, "folder.jpg", "it is a folder") + "\n" + picture(6, "notes.txt", "it is not a picture") +
      "; front text \"Eve\uE000\" (spreadsheet column \"Name\"): no installed font has U+E000\nand 1 more.";
  EXPECT_EQ(exportCards(0).toStdString(), ("Card has been exported successfully.\n\n" + lost).toStdString());
  // As a user sees them: card 6 shows the empty box for its private-use
  // character; card 9 shows its names, Arabic too, without one.
  const QImage card6(dir.filePath("QUVO Gratulo/Card_6.PNG"));
  const QImage card9(dir.filePath("QUVO Gratulo/Card_9.PNG"));
  ASSERT_FALSE(card6.isNull() || card9.isNull());
  const double scale = card9.width() / 243.0;
  const QRect nameBox = QTransform::fromScale(scale, scale).mapRect(name->bounds()).toAlignedRect();
  EXPECT_LT(unlikenessToMissingGlyph(card6, nameBox, name->text_ctrl_font, scale), 0.25);
  EXPECT_GT(unlikenessToMissingGlyph(card9, nameBox, name->text_ctrl_font, scale), 0.75);
  host.clear();
  printCards(0);
  mailCards(0, false, true);
  EXPECT_EQ(mailsSent.load(), 9);
  EXPECT_EQ(host.messages().join('|').toStdString(), ("\nThe cards have been printed.\n\n" + lost + "|" +
                                                      "\nE-mail has been sent successfully.\n\n" + lost)
                                                         .toStdString());

  // The good rows, each side byte for byte as a run of them alone makes it.
  ASSERT_TRUE(QDir(dir.path()).rename("QUVO Gratulo", "all"));
  table({0, 6, 8});
  exportCards(0);
  for (const auto& [card, alone] : {std::pair{1, 1}, std::pair{7, 2}, std::pair{9, 3}})
    for (const QString side : {"", "_Back"})
      EXPECT_EQ(
          testing_support::readFile(dir.filePath(QStringLiteral("all/Card_%1%2.PNG").arg(card).arg(side))),
          testing_support::readFile(
              dir.filePath(QStringLiteral("QUVO Gratulo/Card_%1%2.PNG").arg(alone).arg(side))))
          << card << side.toStdString();

  // The canvas's card 1 without its picture: named by a single export as a
  // card of a run, and as a picture of the design when it opens.
  photo->setFilePath(photos.filePath("missing.jpg"));
  EXPECT_EQ(
      exportCanvasCard().toStdString(),
      ("Card has been exported successfully.\n\n1 card lost part of a bound picture whose file cannot be "
       "used:\n" +
       picture(1, "missing.jpg", "no such file or directory"))
          .toStdString());
  EXPECT_EQ(
      production::missingPictureLines(window->document()->graphics(), CardSide::Front, {}),
      QStringList("The picture \"" + photos.filePath("missing.jpg") +
                  "\" that card 1 takes from spreadsheet column \"Photo\" for the picture object at 56, 7 "
                  "mm on the front was not found; the card shows no picture there."));
}

TEST_F(RunsOfBoundTexts, AFrontOnlyRunNeitherAsksNorReportsASeriesOnlyTheBackUses) {
  // "Guests" fills the front; the back's "Places" is gone.
  ASSERT_TRUE(DataSeriesStore().writeSeries("Guests", {"Ann", "Bob", "Cy"}));
  window->document()->addInGraphics(CardSide::Front, boundText({20, 20}, 1, 0, "Guests"));
  window->document()->addInGraphics(CardSide::Back, boundText({20, 60}, 1, 0, "Places"));

  EXPECT_EQ(exportCards(1), "Card has been exported successfully.");
  EXPECT_EQ(QDir(dir.filePath("QUVO Gratulo")).entryList(QDir::Files),
            QStringList({"Card_1.PNG", "Card_2.PNG", "Card_3.PNG"}));
  printCards(1);
  EXPECT_TRUE(QFileInfo::exists(dir.filePath("cards.pdf")));
  mailCards(1, true, false);
  EXPECT_EQ(mailsSent.load(), 3);
  EXPECT_EQ(host.questions(), QStringList());
  EXPECT_EQ(host.messages(), QStringList{"\nE-mail has been sent successfully."});

  // Both sides: the back's series is asked about (unanswered: No).
  host.queueModal([](QDialog& d) {
    static_cast<ExportWindow&>(d).export_card_side_CellClick(0);
    return 1;
  });
  window->Export_Button();
  ASSERT_EQ(host.defaultNoQuestions().size(), 1);
  EXPECT_TRUE(host.defaultNoQuestions()[0].contains("The data series \"Places\" no longer exists."));
}

// Three ways back to a value the source no longer holds, each a change of the
// bound text, a change of its source, then Undo (and Redo): the text shows
// card 1's value as the source holds it after the step, and the canvas, the
// scripting interface, a single export and card 1 of a run agree.
TEST_F(RunsOfBoundTexts, UndoAndRedoShowCardOnesValueAsTheSourceHoldsItThen) {
  Data_From_Excel_Table().replaceContents({"No.", "Name"}, {{{"Extension", "1"}, {"Column1", "Ada Lovelace"}},
                                                            {{"Extension", "2"}, {"Column1", "Bob"}}});
  window->designHost().setExcelBinding(true);
  ASSERT_TRUE(DataSeriesStore().writeSeries("Guests", {"Ann", "Bob"}));
  DataSourceTab* tab = window->dataSourceTab();
  window->toolAction(DrawingTool::Text)->trigger();
  const SKTGraphicPtr text = window->document()->graphics().at(0);
  text->setBounds(QRectF(20, 20, 200, 30));
  tab->Data_source_type->setCurrentIndex(2);
  tab->Batch_Series->setCurrentIndex(1);
  ASSERT_EQ(text->Text_contents()->string, "Ada Lovelace");

  const auto edit = [this](const char* action) { window->editAction(QLatin1String(action))->trigger(); };
  const auto correctFirstName = [this](const QString& name) {
    host.queueModal([name](QDialog& d) {
      QAbstractItemModel* rows = static_cast<Data_From_Excel&>(d).ColList->model();
      rows->setData(rows->index(0, 1), name);
      return 1;
    });
    window->dataSourceTab()->view_series_btn->click();
  };
  int runs = 0;
  // What card 1 carries, the design as the window shows it, and whether they agree.
  const auto expectCardOne = [&](const QString& value, bool exported) {
    EXPECT_EQ(text->Text_contents()->string.toStdString(), value.toStdString());
    EXPECT_EQ(GraphicBusObject(text, *window).Contents().toStdString(), value.toStdString());
    if (!exported) return;
    const QImage canvas = SKTRenderingView::image_From_Card_Graphics(window->document()->graphics(), false);
    const QString folder = dir.filePath(QStringLiteral("run%1").arg(++runs));
    ASSERT_TRUE(QDir().mkpath(folder));
    // Every row, then the card alone (the rows unticked), as PNG files.
    for (const bool rows : {true, false}) {
      host.queueModal([rows](QDialog& d) {
        auto& w = static_cast<ExportWindow&>(d);
        if (!rows) {
          w.Export_with_batch_chk->setChecked(false);
          w.Export_with_excel_chk->setChecked(false);
        }
        w.fileFormatPopup->setCurrentText(QStringLiteral("PNG"));
        return 1;
      });
      if (rows)
        host.queueOpenPanel({folder});
      else
        host.queueSavePanel(folder + "/card.PNG");
      host.queueModal([](QDialog&) { return 0; });  // the finished box
      window->Export_Button();
      ASSERT_TRUE(window->cardExport().waitForRun(testing_support::kHangGuardMs));
    }
    EXPECT_TRUE(sameCard(QImage(folder + "/QUVO Gratulo/Card_1.PNG"), canvas));
    EXPECT_TRUE(sameCard(QImage(folder + "/card.PNG"), canvas));
  };

  // The look changed, the cell corrected, the look taken back.
  window->textPropertiesTab()->Text_align_combo->setCurrentIndex(2);
  correctFirstName(QStringLiteral("Ada Refreshed"));
  expectCardOne(QStringLiteral("Ada Refreshed"), false);
  edit("Undo");
  EXPECT_EQ(text->text_alignmnet, 0);
  expectCardOne(QStringLiteral("Ada Refreshed"), true);
  correctFirstName(QStringLiteral("Ada Again"));
  edit("Redo");
  EXPECT_EQ(text->text_alignmnet, 2);
  expectCardOne(QStringLiteral("Ada Again"), false);

  // The text deleted, the cell corrected, the text brought back.
  edit("Delete");
  ASSERT_TRUE(window->document()->graphics().empty());
  correctFirstName(QStringLiteral("Ada Restored"));
  edit("Undo");
  ASSERT_EQ(window->document()->graphics(), SKTGraphicList{text});
  expectCardOne(QStringLiteral("Ada Restored"), true);

  // Bound to a series, typed by hand, the series written anew (no object uses
  // it then), the binding brought back.
  tab->Data_source_type->setCurrentIndex(1);
  tab->Batch_Series->setCurrentIndex(tab->Batch_Series->findText("Guests"));
  expectCardOne(QStringLiteral("Ann"), false);
  tab->Data_source_type->setCurrentIndex(0);
  ASSERT_TRUE(series_writing::writeOnWorker(nullptr, DataSeriesStore(), QStringLiteral("Guests"),
                                            SeriesValues::fromList({"Anna Maria", "Bob"})));
  expectCardOne(QStringLiteral("Ann"), false);
  edit("Undo");
  EXPECT_EQ(text->data_source_type, 1);
  expectCardOne(QStringLiteral("Anna Maria"), true);
  EXPECT_EQ(host.messages(), QStringList());
}
