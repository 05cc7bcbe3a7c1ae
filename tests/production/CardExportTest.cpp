// Card image export: single files of each side choice in each format, the
// batch of one card per row with barcodes read back by zxing-cpp, Stop, and
// a batch folder that cannot be made.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>

#include "ProductionTestSupport.h"
#include "core/globals.h"
#include "platform/widgets/Open_Export_Log.h"
#include "production/BatchExport.h"
#include "production/CardExport.h"
#include "production/Send_Modeless.h"
#include "production/globals.h"
#include "support/ScriptedHost.h"

using namespace production;
using namespace production_testing;

namespace {

const QString kExported = "Card has been exported successfully.";

QRgb pixel(const QString& path, int x, int y) {
  const QImage image(path);
  return image.isNull() ? 0 : image.pixel(x, y) & 0xffffff;
}

ino_t inode(const QString& path) {
  struct stat info {};
  return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

TEST(CardExport, SingleExportWritesTheChosenSidesInTheChosenFormat) {
  testing_support::ScriptedHost host;
  QTemporaryDir dir;
  FakeDesign design;
  DataBinding binding(design);
  CardExport exporter(design, binding);
  Card_Front_Or_Back.store(1);

  // Front alone, PNG; the finished box names the file.
  const QString png = dir.path() + "/Card.png";
  export_card_side = "F";
  ASSERT_TRUE(exporter.Export_Single_File(png, true));
  EXPECT_TRUE(readFile(png).startsWith("\x89PNG\r\n\x1a\n"));
  EXPECT_EQ(QImage(png).size(), QSize(200, 100));
  EXPECT_EQ(pixel(png, 100, 50), 0xff0000u);
  EXPECT_EQ(design.finishedBoxes, QStringList({kExported + "|" + png}));

  // The back alone goes beside it under "_Back".
  export_card_side = "B";
  ASSERT_TRUE(exporter.Export_Single_File(dir.path() + "/Other.bmp", false));
  EXPECT_TRUE(readFile(dir.path() + "/Other_Back.bmp").startsWith("BM"));
  EXPECT_FALSE(QFileInfo::exists(dir.path() + "/Other.bmp"));
  EXPECT_EQ(pixel(dir.path() + "/Other_Back.bmp", 3, 3), 0x0000ffu);

  // Both sides as two JPEG files.
  export_card_side = "BOTH";
  exporter.combined = false;
  ASSERT_TRUE(exporter.Export_Single_File(dir.path() + "/Two.jpeg", false));
  EXPECT_TRUE(readFile(dir.path() + "/Two.jpeg").startsWith("\xff\xd8\xff"));
  EXPECT_TRUE(readFile(dir.path() + "/Two_Back.jpeg").startsWith("\xff\xd8\xff"));

  // Both in one TIFF picture: front in the upper half, back below.
  exporter.combined = true;
  const QString tiff = dir.path() + "/One.TIFF";
  ASSERT_TRUE(exporter.Export_Single_File(tiff, false));
  const QByteArray head = readFile(tiff).left(4);
  EXPECT_TRUE(head == QByteArray("II*\0", 4) || head == QByteArray("MM\0*", 4));
  EXPECT_EQ(QImage(tiff).size(), QSize(200, 200));
  EXPECT_EQ(pixel(tiff, 100, 50), 0xff0000u);
  EXPECT_EQ(pixel(tiff, 100, 150), 0x0000ffu);
  EXPECT_FALSE(QFileInfo::exists(dir.path() + "/One_Back.TIFF"));

  // A file is replaced by a new one, never rewritten in place: a link to the
  // old file keeps the old data.
  export_card_side = "F";
  exporter.combined = false;
  ASSERT_TRUE(QFile::link(png, dir.path() + "/old-link"));
  ASSERT_TRUE(QFile::copy(png, dir.path() + "/old-copy"));
  const ino_t before = inode(png);
  design.frontColour = Qt::green;
  ASSERT_TRUE(exporter.Export_Single_File(png, false));
  EXPECT_NE(inode(png), before);
  EXPECT_EQ(pixel(png, 100, 50), 0x00ff00u);

  // A write that cannot happen says where and why.
  host.clear();
  const QString blocked = png + "/Card.png";  // under a file
  EXPECT_FALSE(exporter.Export_Single_File(blocked, true));
  ASSERT_EQ(host.messages().size(), 2);
  EXPECT_EQ(host.messages()[0], "\n" + blocked);
  EXPECT_EQ(design.finishedBoxes.size(), 1);

  // The PNG data gives back every pixel, transparency included (read by Qt's own reader),
  // whatever the picture's format; premultiplied rows may be opaque or translucent.
  QImage varied(37, 23, QImage::Format_ARGB32);
  for (int y = 0; y < varied.height(); ++y)
    for (int x = 0; x < varied.width(); ++x)
      varied.setPixel(x, y, qRgba(x * 7, y * 11, (x * y) % 256, y % 3 ? 255 : (x + y) * 5));
  for (const QImage::Format format :
       {QImage::Format_ARGB32, QImage::Format_ARGB32_Premultiplied, QImage::Format_RGB32,
        QImage::Format_RGBA8888, QImage::Format_Grayscale8}) {
    const QImage picture = varied.convertToFormat(format);
    EXPECT_EQ(QImage::fromData(encodeCardImage(picture, CardImageFormat::Png))
                  .convertToFormat(QImage::Format_RGBA8888),
              picture.convertToFormat(QImage::Format_RGBA8888))
        << format;
  }

  EXPECT_EQ(Card_Front_Or_Back.load(), 1);
  Card_Front_Or_Back.store(0);
  export_card_side = "F";
}

TEST(CardExport, BatchWritesOneSetOfFilesPerRowInOrderWithReadableBarcodes) {
  testing_support::ScriptedHost host;
  QTemporaryDir dir;
  const QString series = dir.path() + "/DataSet";
  ASSERT_TRUE(QDir().mkpath(series));
  writeFile(series + "/Names.txt", "Ann\nBob\nCy\n");
  writeFile(series + "/Codes.txt", "C-001\nC-002\nC-003\n");

  FakeDesign design;
  design.size = QSizeF(300, 220);
  design.frontColour = design.backColour = Qt::white;
  const auto name = boundText(1, "Names", 0, QRectF(10, 10, 100, 20));
  design.front = {name, boundBarcode("Codes", false, QPointF(5, 110)),
                  boundBarcode("Codes", true, QPointF(200, 5))};
  design.back = {boundText(1, "Names", 0)};
  DataSeriesStore store(series);
  DataSourceTable table;
  DataBinding binding(design, store, table);
  CardExport exporter(design, binding);
  exporter.workers = 3;
  ASSERT_TRUE(binding.Check_Series_Or_Excel_Use_or_not());
  ASSERT_EQ(Total_Batch_Excel_Card.load(), 3);

  // A second batch into the same folder replaces cards of equal names only.
  const QString folder = dir.path() + "/" + kBatchFolderName;
  ASSERT_TRUE(QDir().mkpath(folder));
  writeFile(folder + "/Card_2.PNG", "old");
  writeFile(folder + "/notes.txt", "mine");

  Card_Front_Or_Back.store(1);
  export_card_side = "BOTH";
  exporter.combined = false;
  exporter.fileType = "PNG";
  ASSERT_TRUE(exporter.Export_Batch_File(dir.path()));
  EXPECT_TRUE(Send_Modeless::defaultInstance().isVisible());
  ASSERT_TRUE(exporter.waitForRun(60000));
  EXPECT_FALSE(Send_Modeless::defaultInstance().isVisible());

  EXPECT_EQ(fileNames(folder), QStringList({"Card_1.PNG", "Card_1_Back.PNG", "Card_2.PNG", "Card_2_Back.PNG",
                                            "Card_3.PNG", "Card_3_Back.PNG", "notes.txt"}));
  for (int row = 1; row <= 3; ++row) {
    const QString code = QString("C-00%1").arg(row);
    const QImage front(QString("%1/Card_%2.PNG").arg(folder).arg(row));
    EXPECT_EQ(front.size(), QSize(300, 220));
    EXPECT_EQ(decodeBarcodes(front), QStringList({"Code128:" + code, "QRCode:" + code})) << row;
  }
  EXPECT_EQ(design.finishedBoxes, QStringList({kExported + "|" + folder}));
  EXPECT_EQ(host.messages(), QStringList());
  // Afterwards the design shows the first row, and the user is on the same side.
  EXPECT_EQ(name->Text_contents()->string, "Ann");
  EXPECT_GT(design.refreshes, 0);
  EXPECT_EQ(Card_Front_Or_Back.load(), 1);
  Card_Front_Or_Back.store(0);

  // A folder that cannot be made: the message, and no progress panel.
  QDir().mkpath(dir.path() + "/blocked");
  writeFile(dir.path() + "/blocked/" + kBatchFolderName, "a file");
  EXPECT_FALSE(exporter.Export_Batch_File(dir.path() + "/blocked"));
  EXPECT_EQ(host.messages(), QStringList({"\n" + unable_saving_Msg}));
  EXPECT_FALSE(Send_Modeless::defaultInstance().isVisible());
  EXPECT_FALSE(exporter.isRunning());
  export_card_side = "F";
}

TEST(CardExport, StopLeavesExactlyTheCardsWrittenAndFailedCardsAreCounted) {
  testing_support::ScriptedHost host;
  QTemporaryDir dir;
  auto snapshot = std::make_shared<RunSnapshot>();
  FakeDesign design;
  snapshot->card.front = {boundText(1, "Names", 0)};
  snapshot->card.frontContext = design.sidePaintContext(CardSide::Front);
  auto rows = std::make_shared<BindingRows>();
  rows->useSeries = true;
  for (int i = 0; i < 40; ++i) rows->series["Names"].append(QString::number(i));
  rows->seriesRows = 40;
  snapshot->rows = rows;

  // The panel's Stop asks whether to stop; only Yes stops.
  auto& panel = Send_Modeless::defaultInstance();
  BatchExportRequest request{dir.path(), "F", false, "png", 4};
  BatchExport run(snapshot, request);
  run.onCardWritten = [&](int written) {
    if (written == 3) {
      host.queueYesNo(false);
      panel.Stop_Sending_Pressed();
    }
    if (written == 5) {
      host.queueYesNo(true);
      panel.Stop_Sending_Pressed();
    }
  };
  const BatchExportResult result = run.run();
  EXPECT_TRUE(result.stopped);
  EXPECT_EQ(result.written, 5);
  EXPECT_EQ(result.failed, 0);
  EXPECT_EQ(result.skipped, 35);
  EXPECT_EQ(fileNames(dir.path()),
            QStringList({"Card_1.png", "Card_2.png", "Card_3.png", "Card_4.png", "Card_5.png"}));
  // Nothing of the workers' preparing is left: no hidden file, no folder.
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
            fileNames(dir.path()));
  EXPECT_EQ(host.questions(),
            QStringList({"Are you sure you want to stop?", "Are you sure you want to stop?"}));
  const QString message = batchExportMessage(result);
  EXPECT_TRUE(message.startsWith("5 of 40 cards have been exported: 0 failed, 35 skipped."))
      << message.toStdString();
  EXPECT_TRUE(message.contains("stopped"));

  // A card whose barcode cannot take its row's value is not written and is
  // counted; the run goes on, and no half-made file is left behind.
  QTemporaryDir second;
  auto withCode = std::make_shared<RunSnapshot>(*snapshot);
  withCode->card.front.push_back(boundBarcode("Names", false, QPointF(10, 40)));
  withCode->barcodes = [](const SKTGraphic&, const QString& value, QString* reason) {
    if (value.size() > 100) {
      *reason = "refused";
      return QImage();
    }
    QImage bars(20, 10, QImage::Format_RGB32);
    bars.fill(Qt::black);
    return bars;
  };
  auto fewRows = std::make_shared<BindingRows>(*rows);
  fewRows->seriesRows = 4;
  fewRows->series["Names"][2] = QString(5000, 'X');
  withCode->rows = fewRows;
  const BatchExportResult failed = BatchExport(withCode, {second.path(), "F", false, "PNG", 2}).run();
  EXPECT_EQ(failed.written, 3);
  EXPECT_EQ(failed.failed, 1);
  EXPECT_FALSE(failed.stopped);
  EXPECT_EQ(QDir(second.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
            QStringList({"Card_1.PNG", "Card_2.PNG", "Card_4.PNG"}));
  // The value is quoted cut short, and the finished box keeps its buttons on the screen.
  const QString failedMessage = batchExportMessage(failed);
  EXPECT_EQ(failedMessage,
            "3 of 4 cards have been exported: 1 failed, 0 skipped.\nFirst failure: Card_3.PNG: the "
            "barcode value \"" +
                QString(40, 'X') + "… (5000 characters)\": refused");
  Open_Export_Log box;
  box._open_log_message->setText(failedMessage + " " + QString(500, 'Y'));
  box._open_log_path->setText("/" + QString(500, 'Z'));
  EXPECT_LE(box.sizeHint().width(), 800);
}

}  // namespace
