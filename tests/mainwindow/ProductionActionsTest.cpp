// The main window's production actions end to end: Export with a text bound
// to a data series writes one card per row through the export window and the
// folder panel, Export without rows writes one file, badges exported at 300
// dpi carry barcodes that independent readers read back, a barcode bound to a
// series exported with the series unticked is drawn sharp from the value it
// shows, and Mail opens the mail dialog with the card's rows offered and the
// saved mail account in force.
// Export and Mail ask before filling objects whose data series is gone, also
// when no series is left at all. A text bound in the data-source tab shows
// what card 1 of the export shows.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <numeric>

#include "barcode/designer/BarcodeSettings.h"
#include "core/SKTText.h"
#include "core/globals.h"
#include "core/render/SKTRenderingView.h"
#include "data/DataSeriesStore.h"
#include "mainwindow/CardSizes.h"
#include "mainwindow/SKTWindowController.h"
#include "mainwindow/WindowTestSupport.h"
#include "mainwindow/panels/DataSourceTab.h"
#include "platform/globals.h"
#include "platform/widgets/Open_Export_Log.h"
#include "production/BarcodeFill.h"
#include "production/CardExport.h"
#include "production/ExportWindow.h"
#include "production/Send_Mail.h"
#include "production/Send_Modeless.h"
#include "production/globals.h"
#include "support/HangGuard.h"
#include "support/ScriptedHost.h"
#include "support/TestFiles.h"

namespace {

QByteArray head(const QString& path, int n) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.read(n) : QByteArray();
}

// The widths of the dark and light runs, from the first edge to the last, along
// the row of `area` that crosses the most edges.
QList<int> darkAndLightRuns(const QImage& picture, QRect area) {
  QList<int> runs;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    QList<int> here;
    for (int x = area.left() + 1, start = area.left(); x <= area.right(); ++x)
      if ((qGray(picture.pixel(x, y)) < 128) != (qGray(picture.pixel(x - 1, y)) < 128)) {
        here << x - start;
        start = x;
      }
    if (here.size() > runs.size()) runs = here;
  }
  return runs.mid(1);
}

TEST(ProductionActions, ExportAndMailFromTheWindow) {
  testing_support::ScriptedHost host;
  QTemporaryDir dir;
  const QString resources = Resource_Path();
  Set_Resource_Path(dir.path());
  ASSERT_TRUE(QDir().mkpath(dir.path() + "/DataSet"));
  {
    QFile guests(dir.path() + "/DataSet/Guests.txt");
    ASSERT_TRUE(guests.open(QIODevice::WriteOnly));
    guests.write("Ann\nBob\nCy\n");
  }

  SKTWindowController window;
  window.Front_card_Prop.Card_fill_chk = true;
  window.Front_card_Prop.Card_fill_clr = QColor(0, 128, 0);
  auto text = SKTGraphic::makeGraphic(GraphicKind::Text);
  text->setBounds(QRectF(20, 20, 150, 30));
  text->data_source_type = 1;
  text->batch_list_name = "Guests";
  window.document()->addInGraphics(CardSide::Front, text);
  window.Select_back_side();

  // One card per row, both sides, JPEG.
  host.queueModal([](QDialog& d) {
    auto& w = static_cast<ExportWindow&>(d);
    EXPECT_TRUE(w.Export_with_batch_chk->isEnabled());
    EXPECT_TRUE(w.Export_with_batch_chk->isChecked());
    EXPECT_FALSE(w.Export_with_excel_chk->isEnabled());
    EXPECT_EQ(export_card_side, "F");
    w.export_card_side_CellClick(0);
    w.fileFormatPopup->setCurrentText("JPEG");
    return 1;
  });
  host.queueOpenPanel({dir.path()});
  QStringList finished;  // message and path of each export-finished box
  const auto finishedBox = [&finished](QDialog& d) {
    auto& box = static_cast<Open_Export_Log&>(d);
    finished << box._open_log_message->text() + "|" + box._open_log_path->text() + "|" +
                    box._open_log_chk->text();
    return 0;
  };
  host.queueModal(finishedBox);
  window.Export_Button();
  ASSERT_TRUE(window.cardExport().waitForRun(testing_support::kHangGuardMs));
  const QString folder = dir.path() + "/QUVO Gratulo";
  EXPECT_EQ(QDir(folder).entryList(QDir::Files, QDir::Name),
            QStringList({"Card_1.JPEG", "Card_1_Back.JPEG", "Card_2.JPEG", "Card_2_Back.JPEG", "Card_3.JPEG",
                         "Card_3_Back.JPEG"}));
  EXPECT_TRUE(head(folder + "/Card_2.JPEG", 3) == QByteArray("\xff\xd8\xff"));
  const QImage card(folder + "/Card_2.JPEG");
  EXPECT_EQ(card.size(), QSize(243, 154));
  EXPECT_NEAR(qGreen(card.pixel(230, 140)), 128, 8);
  EXPECT_EQ(finished,
            QStringList({"Card has been exported successfully.|" + folder + "|Open containing folder."}));
  EXPECT_EQ(host.messages(), QStringList());
  EXPECT_EQ(Card_Front_Or_Back.load(), 1);  // still on the back
  EXPECT_EQ(text->Text_contents()->string, "Ann");

  // With the rows unticked: one file through the save panel, named for its type.
  host.clear();
  host.queueModal([](QDialog& d) {
    static_cast<ExportWindow&>(d).Export_with_batch_chk->setChecked(false);
    return 1;
  });
  host.queueSavePanel(dir.path() + "/single");
  host.queueModal(finishedBox);
  window.Export_Button();
  EXPECT_TRUE(head(dir.path() + "/single.PNG", 4) == QByteArray("\x89PNG"));
  EXPECT_EQ(finished.value(1),
            "Card has been exported successfully.|" + dir.path() + "/single.PNG|Open exported file.");

  // Both sides, the front's place taken by a folder: neither file, and one
  // message that names the file and the reason.
  host.clear();
  ASSERT_TRUE(QDir(dir.path()).mkdir("pair.PNG"));
  host.queueModal([](QDialog& d) {
    auto& w = static_cast<ExportWindow&>(d);
    w.Export_with_batch_chk->setChecked(false);
    w.export_card_side_CellClick(0);
    return 1;
  });
  host.queueSavePanel(dir.path() + "/pair.PNG");
  window.Export_Button();
  EXPECT_EQ(host.messages(), QStringList({"\nThe card file \"" + dir.path() +
                                          "/pair.PNG\" could not be written: Is a directory"}));
  EXPECT_EQ(export_card_side, "BOTH");
  EXPECT_FALSE(QFileInfo::exists(dir.path() + "/pair_Back.PNG"));
  EXPECT_EQ(finished.size(), 2);

  // Mail offers the series rows of the card. A file name the file system
  // cannot hold: the closing message names that, and does not send the
  // user to the mail settings (no mail was offered to the server).
  const QStringList account = {sender_email.get(), sending_server.get(), sending_port.get()};
  sender_email.set("me@example.com");
  sending_server.set("127.0.0.1");
  sending_port.set("9");
  const QString longName(300, 'B');
  host.clear();
  host.queueModal([&longName](QDialog& d) {
    auto& mail = static_cast<Send_Mail&>(d);
    EXPECT_TRUE(mail.send_with_batch_chk->isEnabled());
    mail.to_txt->setText("friend@example.org");
    mail.file_name_txt->setText(longName);
    mail.Send_Button();
    EXPECT_TRUE(mail.waitForRun(testing_support::kHangGuardMs));
    return 0;
  });
  window.Mail_Button();
  ASSERT_FALSE(host.messages().isEmpty());
  EXPECT_TRUE(host.messages().last().contains("The card picture could not be made: " + longName + ".jpeg: "))
      << host.messages().last().toStdString();
  EXPECT_FALSE(host.messages().last().contains("Could not send email message."));
  sender_email.set(account[0]);
  sending_server.set(account[1]);
  sending_port.set(account[2]);

  Card_Front_Or_Back.store(0);
  Set_Resource_Path(resources);
}

// The value a text shows once bound to a series is card 1's, read and trimmed
// as the run fills it: here from a file with CR LF line ends and blanks before
// its first value.
TEST(ProductionActions, ATextBoundInTheDataSourceTabShowsWhatCardOneShows) {
  testing_support::ScriptedHost host;
  QTemporaryDir dir;
  const QString resources = Resource_Path();
  window_test::useSeededResources(dir);
  ASSERT_TRUE(QDir().mkpath(Data_Folder_Path()));
  testing_support::writeFile(Data_Folder_Path() + "/Guests.txt", "  Ada Lovelace\r\nBob\r\n");
  {
    SKTWindowController window;
    window.toolAction(DrawingTool::Text)->trigger();
    const SKTGraphicPtr text = window.document()->graphics().at(0);
    text->setBounds(QRectF(20, 20, 200, 30));  // room for the value on one line
    DataSourceTab* tab = window.dataSourceTab();
    tab->Data_source_type->setCurrentIndex(1);
    tab->Batch_Series->setCurrentIndex(tab->Batch_Series->findText("Guests"));
    const QString shown = text->Text_contents()->string;
    const QImage canvas = SKTRenderingView::image_From_Card_Graphics(window.document()->graphics(), false);

    window_test::exportEveryRow(window, host, dir.path());
    EXPECT_EQ(QDir(dir.path() + "/QUVO Gratulo").entryList(QDir::Files, QDir::Name),
              QStringList({"Card_1.PNG", "Card_2.PNG"}));
    EXPECT_EQ(shown.toStdString(), "Ada Lovelace");
    // After the run the design shows card 1 again: the same text, the same picture.
    EXPECT_EQ(text->Text_contents()->string.toStdString(), shown.toStdString());
    const QImage cardOne(dir.path() + "/QUVO Gratulo/Card_1.PNG");
    EXPECT_EQ(cardOne.convertToFormat(canvas.format()), canvas);
    EXPECT_EQ(host.messages(), QStringList());
  }
  Set_Resource_Path(resources);
}

// A run that would fill objects from a data series that no longer exists
// names it first and asks, with "No" as the default; going on says so at the end.
class MissingSeries : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    resources = Resource_Path();
    Set_Resource_Path(dir.path());
    Card_Front_Or_Back = 0;
    ASSERT_TRUE(QDir().mkpath(dir.path() + "/DataSet"));
    ASSERT_TRUE(DataSeriesStore().writeSeries("Guests", {"Ann", "Bob", "Cy"}));
    ASSERT_TRUE(DataSeriesStore().writeSeries("Places", {"Rome", "Oslo", "Lima"}));
  }
  void TearDown() override {
    Card_Front_Or_Back = 0;
    Set_Resource_Path(resources);
  }
  static SKTGraphicPtr bound(GraphicKind kind, QRectF bounds, const QString& series) {
    auto g = SKTGraphic::makeGraphic(kind);
    g->setBounds(bounds);
    g->data_source_type = 1;
    g->batch_list_name = series;
    return g;
  }
  // A name and a QR Code from "Guests", a place from "Places".
  void bindFront(SKTWindowController& window) {
    auto code = bound(GraphicKind::Barcode, {120, 20, 90, 90}, "Guests");
    code->linear_or_2d = 1;
    code->barcode_font_index = barcode::symbologyNames().indexOf("QR Code");
    code->qr_size_val = 80;
    window.document()->addInGraphics(CardSide::Front, bound(GraphicKind::Text, {10, 20, 100, 30}, "Guests"));
    window.document()->addInGraphics(CardSide::Front, code);
    window.document()->addInGraphics(CardSide::Front, bound(GraphicKind::Text, {10, 80, 100, 30}, "Places"));
  }
  static bool namesGuests(const QStringList& questions) {
    return questions.size() == 1 && questions[0].contains("The data series \"Guests\" no longer exists.") &&
           !questions[0].contains("Places");
  }

  testing_support::ScriptedHost host;
  QTemporaryDir dir;
  QString resources;
};

TEST_F(MissingSeries, ExportAsksNamingTheSeriesOfTheReopenedDesign) {
  SKTWindowController window;
  bindFront(window);
  const QString design = dir.path() + "/party.dcard";
  host.queueSavePanel(design);
  window.Save_Btn_Clicked();
  ASSERT_TRUE(QFile::remove(dir.path() + "/DataSet/Guests.txt"));
  host.queueOpenPanel({design});
  window.Open_Btn_Clicked();  // the save question gets "No"
  ASSERT_EQ(window.document()->graphics().size(), 3u);
  host.clear();

  const auto ok = [](QDialog&) { return 1; };  // the export window as it opens: front, PNG
  // Unanswered, the question stops the run before any panel or file.
  host.queueModal(ok);
  window.Export_Button();
  EXPECT_TRUE(namesGuests(host.defaultNoQuestions())) << host.questions().join('|').toStdString();
  EXPECT_EQ(host.panelsShown(), 0);
  EXPECT_EQ(host.messages(), QStringList());
  EXPECT_FALSE(QFileInfo::exists(dir.path() + "/QUVO Gratulo"));

  // Yes: the cards are made and the closing box says what was left empty.
  host.clear();
  host.queueModal(ok);
  host.queueYesNo(true);
  host.queueOpenPanel({dir.path()});
  QString closing;
  host.queueModal([&closing](QDialog& d) {
    closing = static_cast<Open_Export_Log&>(d)._open_log_message->text();
    return 0;
  });
  window.Export_Button();
  ASSERT_TRUE(window.cardExport().waitForRun(testing_support::kHangGuardMs));
  EXPECT_TRUE(namesGuests(host.questions()));
  EXPECT_EQ(QDir(dir.path() + "/QUVO Gratulo").entryList(QDir::Files, QDir::Name),
            QStringList({"Card_1.PNG", "Card_2.PNG", "Card_3.PNG"}));
  EXPECT_TRUE(closing.startsWith("Card has been exported successfully.")) << closing.toStdString();
  EXPECT_TRUE(closing.contains("left empty (the data series \"Guests\")")) << closing.toStdString();

  // The progress panel is named for screen readers as it is titled for the run.
  const Send_Modeless& panel = Send_Modeless::defaultInstance();
  EXPECT_EQ(panel.windowTitle(), "Exporting Cards");
  EXPECT_EQ(panel.accessibleName(), panel.windowTitle());
}

TEST_F(MissingSeries, MailAsksTheSameBeforeSending) {
  SKTWindowController window;
  bindFront(window);
  ASSERT_TRUE(QFile::remove(dir.path() + "/DataSet/Guests.txt"));
  // Then with "Places" gone too: no series has rows, and the question is the same.
  for (const bool rowsLeft : {true, false}) {
    if (!rowsLeft) ASSERT_TRUE(QFile::remove(dir.path() + "/DataSet/Places.txt"));
    host.clear();
    bool sending = true;
    host.queueModal([&sending, rowsLeft](QDialog& d) {
      auto& mail = static_cast<Send_Mail&>(d);
      mail.to_txt->setText("friend@example.org");
      mail.send_with_batch_chk->setChecked(rowsLeft);
      mail.Send_Button();  // unanswered: No
      sending = mail.isSending();
      return 0;
    });
    window.Mail_Button();
    const QStringList asked = host.defaultNoQuestions();
    EXPECT_TRUE(rowsLeft
                    ? namesGuests(asked)
                    : asked.size() == 1 && asked[0].contains("The data series \"Places\" no longer exists."))
        << asked.join('|').toStdString();
    EXPECT_FALSE(sending);
    EXPECT_EQ(host.messages(), QStringList());
  }
}

// A design whose only series is gone has no rows at all: the run would make
// the card as the canvas shows it, with the values of the deleted series.
TEST_F(MissingSeries, ExportOfADesignWhoseOnlySeriesIsGoneAsksAndLeavesItsObjectsEmpty) {
  SKTWindowController window;
  window.Front_card_Prop.Card_fill_chk = true;
  window.Front_card_Prop.Card_fill_clr = QColor(0, 128, 0);
  auto code = bound(GraphicKind::Barcode, {120, 20, 90, 90}, "Guests");
  code->linear_or_2d = 1;
  code->barcode_font_index = barcode::symbologyNames().indexOf("QR Code");
  code->qr_size_val = 80;
  auto text = bound(GraphicKind::Text, {10, 20, 100, 30}, "Guests");
  window.document()->addInGraphics(CardSide::Front, text);
  window.document()->addInGraphics(CardSide::Front, code);
  const auto ok = [](QDialog&) { return 1; };
  // A first run while the series exists leaves its first row on the canvas.
  host.queueModal(ok);
  host.queueOpenPanel({dir.path()});
  host.queueModal([](QDialog&) { return 0; });
  window.Export_Button();
  ASSERT_TRUE(window.cardExport().waitForRun(testing_support::kHangGuardMs));
  ASSERT_EQ(text->Text_contents()->string, "Ann");
  ASSERT_TRUE(QFile::remove(dir.path() + "/DataSet/Guests.txt"));

  const QString card = dir.path() + "/Card.PNG";
  host.clear();
  host.queueModal(ok);
  window.Export_Button();  // unanswered: No
  EXPECT_TRUE(namesGuests(host.defaultNoQuestions())) << host.questions().join('|').toStdString();
  EXPECT_EQ(host.panelsShown(), 0);
  EXPECT_FALSE(QFileInfo::exists(card));

  host.clear();
  host.queueModal(ok);
  host.queueYesNo(true);
  host.queueSavePanel(card);
  QString closing;
  host.queueModal([&closing](QDialog& d) {
    closing = static_cast<Open_Export_Log&>(d)._open_log_message->text();
    return 0;
  });
  window.Export_Button();
  EXPECT_TRUE(namesGuests(host.questions()));
  EXPECT_TRUE(closing.startsWith("Card has been exported successfully.")) << closing.toStdString();
  EXPECT_TRUE(closing.contains("left empty (the data series \"Guests\")")) << closing.toStdString();
  // One card, its name and its code left empty: the card's green fills both places.
  const QImage written(card);
  ASSERT_FALSE(written.isNull());
  for (const QRect place : {QRect(10, 20, 100, 30), QRect(120, 20, 90, 90)})
    for (int y = place.top(); y <= place.bottom(); ++y)
      for (int x = place.left(); x <= place.right(); ++x)
        ASSERT_EQ(written.pixelColor(x, y), QColor(0, 128, 0)) << x << "," << y;
}

TEST(ProductionActions, BadgesExportedAt300DpiHaveBarcodesThatReadBack) {
  testing_support::ScriptedHost host;
  QTemporaryDir dir;
  const QString resources = Resource_Path();
  Set_Resource_Path(dir.path());
  QStringList values;
  for (int i = 1; i <= 20; ++i) values << QString("QV-%1").arg(i, 4, 10, QChar('0'));
  ASSERT_TRUE(testing_support::writeFile(dir.path() + "/DataSet/Badges.txt", values.join('\n').toUtf8()));

  // A 90 x 60 mm badge with the designer's default Code 128 (20 mil modules) and a QR Code.
  SKTWindowController window;
  window.SetDocumentCanvasSize(QSizeF(MM_to_Points_Convert(90), MM_to_Points_Convert(60)));
  const auto bound = [&](const char* symbology, QPointF at) {
    auto code = SKTGraphic::makeGraphic(GraphicKind::Barcode);
    code->setBounds(QRectF(at, QSizeF(60, 40)));
    code->data_source_type = 1;
    code->batch_list_name = "Badges";
    code->barcode_font_index = barcode::symbologyNames().indexOf(symbology);
    code->linear_or_2d = barcode::isTwoDSymbology(symbology) ? 1 : 0;
    code->show_hide_hdr = code->show_hide_ftr = code->linear_or_2d;  // texts around the QR Code hidden
    window.document()->addInGraphics(CardSide::Front, code);
  };
  bound("Code 128", {10.3, 10.7});
  bound("QR Code", {170, 70});

  host.queueModal([](QDialog& d) {
    auto& w = static_cast<ExportWindow&>(d);
    EXPECT_EQ(w.saveDPIText->currentText(), "72");
    EXPECT_TRUE(w.saveDPIText->isEnabled());
    w.saveDPIText->setCurrentText("300");
    return 1;
  });
  host.queueOpenPanel({dir.path()});
  host.queueModal([](QDialog&) { return 0; });  // the finished box
  window.Export_Button();
  ASSERT_TRUE(window.cardExport().waitForRun(testing_support::kHangGuardMs));
  const QString folder = dir.path() + "/QUVO Gratulo";
  QStringList files, expected;
  for (int i = 1; i <= 20; ++i) {
    files << QString("%1/Card_%2.PNG").arg(folder).arg(i);
    expected << "CODE-128:" + values[i - 1] << "QR-Code:" + values[i - 1];
  }
  const QImage first(files[0]);
  EXPECT_EQ(first.size(), QSize(1063, 709));
  EXPECT_EQ(first.dotsPerMeterX(), 11811);  // 300 dpi

  // Bars, spaces and cells are whole modules of one width: the runs of dark
  // and light pixels along the row of an area that crosses most of them.
  const QList<int> code128 = darkAndLightRuns(first, QRect(20, 20, 660, 300));
  ASSERT_GT(code128.size(), 50);
  for (const int run : code128) EXPECT_EQ(run % 6, 0) << run;  // 20 mil at 300 dpi
  // A QR cell of 2 points is 8.33 pixels: 8 for every cell.
  const QList<int> qr = darkAndLightRuns(first, QRect(700, 280, 340, 420));
  ASSERT_GT(qr.size(), 8);
  for (const int run : qr) EXPECT_EQ(run % 8, 0) << run;

  // zbar reads every symbol of every badge as its row's value.
  const auto read = testing_support::runProgram("zbarimg", QStringList{"-q"} + files);
  QStringList found = QString::fromUtf8(read.out).split('\n', Qt::SkipEmptyParts);
  found.sort();
  expected.sort();
  EXPECT_EQ(found, expected);
  Set_Resource_Path(resources);
}

// A barcode bound to a series, exported with the series unticked, is drawn
// from the value the canvas shows at the chosen resolution: every bar and space
// whole modules of one whole number of pixels, read back as that value.
TEST(ProductionActions, AnUntickedBoundBarcodeIsExportedWithWholePixelModules) {
  testing_support::ScriptedHost host;
  QTemporaryDir dir;
  const QString resources = Resource_Path();
  Set_Resource_Path(dir.path());
  ASSERT_TRUE(testing_support::writeFile(dir.path() + "/DataSet/Badges.txt", "QV-0001\nQV-0002\n"));
  SKTWindowController window;
  auto code = SKTGraphic::makeGraphic(GraphicKind::Barcode);
  code->data_source_type = 1;
  code->batch_list_name = "Badges";
  code->barcode_font_index = barcode::symbologyNames().indexOf("Code 128");  // 20 mil modules
  code->linear_font_val = "SHOWN-42";
  code->Set_Barcode_image(production::renderBoundBarcode(*code, code->linear_font_val, nullptr));
  code->setBounds(QRectF(QPointF(10.3, 10.7), code->_barcode_image.deviceIndependentSize()));
  window.document()->addInGraphics(CardSide::Front, code);

  for (const int dpi : {72, 300}) {
    host.queueModal([dpi](QDialog& d) {
      auto& w = static_cast<ExportWindow&>(d);
      w.Export_with_batch_chk->setChecked(false);
      w.saveDPIText->setCurrentText(QString::number(dpi));
      return 1;
    });
    const QString file = QString("%1/card%2.PNG").arg(dir.path()).arg(dpi);
    host.queueSavePanel(file);
    host.queueModal([](QDialog&) { return 0; });  // the finished box
    window.Export_Button();
    const QImage card(file);
    ASSERT_FALSE(card.isNull()) << dpi;
    // Along the code, inside the card's frame line.
    const QList<int> runs = darkAndLightRuns(card, QRect(5, 0, card.width() * 9 / 10, card.height() / 2));
    const int module = dpi == 72 ? 1 : 6;  // 20 mil: 1.44 pixels at 72 dpi, 6 at 300
    ASSERT_GT(runs.size(), 50) << dpi;
    for (const int run : runs) EXPECT_EQ(run % module, 0) << dpi << ": " << run;
    // Start, eight characters and the check character of 11 modules, and the stop of 13.
    EXPECT_EQ(std::accumulate(runs.begin(), runs.end(), 0), 123 * module) << dpi;
    const auto read =
        testing_support::runProgram("ZXingReader", {"-format", "Code128", "-noscale", "-1", file});
    EXPECT_EQ(QString::fromUtf8(read.out), file + " Code128 \"SHOWN-42\"\n") << dpi;
  }
  EXPECT_EQ(host.messages(), QStringList());
  Set_Resource_Path(resources);
}

TEST(ProductionActions, TheSavedMailAccountIsInForceFromTheStart) {
  testing_support::ScriptedHost host;
  QTemporaryDir dir;
  const QString resources = Resource_Path();
  Set_Resource_Path(dir.path());
  // The settings file as another program writes it.
  testing_support::runPython(
      "import plistlib,sys\n"
      "plistlib.dump({'SendEmailRecipient':'test@example.org','SendEmailSender':'Events@Example.org',"
      "'SendEmailPwd':'pw','SendEmailSMTP':'127.0.0.1','SendEmailPORT':'2525','SendEnableSSL':'N'},"
      "open(sys.argv[1],'wb'))\n",
      {dir.path() + "/com.quvo.card.plist"});
  sender_email.set(QString());
  SKTWindowController window;
  EXPECT_EQ(sending_server.get(), "127.0.0.1");
  QString from;
  host.queueModal([&from](QDialog& d) {
    from = static_cast<Send_Mail&>(d).from_txt->text();
    return 0;
  });
  window.Mail_Button();
  EXPECT_EQ(from, "Events@Example.org");
  Set_Resource_Path(resources);
}

}  // namespace
