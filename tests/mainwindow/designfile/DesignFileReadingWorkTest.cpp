// Design files and clipboard data shaped to make a reader slow or greedy are
// read or refused with work linear in their size (counted, never timed); a
// refusal leaves the open design as it was. Pictures keep their pixels
// through a save and an open, and one picture file named by many objects is
// decoded once. The pictures a design or a paste carries decode within one
// budget, measured by their headers before any is decoded: the memory a
// program opening or pasting it takes is measured (its peak, never a time).
#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include "DesignFileTestSupport.h"
#include "HostileDesigns.h"
#include "core/GraphicArchive.h"
#include "core/SKTImage.h"
#include "mainwindow/designfile/DesignFile.h"
#include "mainwindow/designfile/PlainDesignHost.h"
#include "mainwindow/globals.h"
#include "platform/ChildProcess.h"
#include "support/PlistLibraryWork.h"
#include "support/ScriptedHost.h"

namespace {

using designfile::PlainDesignHost;
using testing_support::plistLibraryWork;

class DesignFileReadingWork : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    Project_File_Name.clear();
  }
  void TearDown() override { Project_File_Name.clear(); }

  QString file(const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    designfile_test::writeFile(path, bytes);
    return path;
  }

  QTemporaryDir dir;
  testing_support::ScriptedHost messages;
};

}  // namespace

TEST_F(DesignFileReadingWork, HostileShapesAreReadOrRefusedWithLinearWork) {
  PlainDesignHost host;
  designfile_test::fillFullDesign(host, QDir(dir.path()));
  const QByteArray before = designfile_test::designFingerprint(host);

  struct Case {
    const char* name;
    QByteArray bytes;
    qint64 items;  // items of the largest list the file holds
    int loaded;
  };
  const Case cases[] = {
      {"rows.dcard", hostile::binaryDesignWithRowItems(200000), 200000, 0},  // rows are no dictionaries
      {"xml.dcard", hostile::xmlDesignWithRowElements(platform::kMaxPlistNodes), platform::kMaxPlistNodes, 0},
      {"padded.dcard", hostile::designWithPaddedArchive(150000), 150000, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto start = plistLibraryWork();
    EXPECT_EQ(designfile::Read_and_load_design_Log(host, file(c.name, c.bytes), "L"), c.loaded);
    const auto work = plistLibraryWork() - start;
    EXPECT_LE(work.itemWork, c.items + 10000);
    if (c.loaded == 0) EXPECT_EQ(designfile_test::designFingerprint(host), before);
  }
  // The XML file had more values than allowed: refused by the scan, the library never parsed it.
  const auto start = plistLibraryWork();
  EXPECT_EQ(designfile::Read_and_load_design_Log(host, dir.filePath("xml.dcard"), "L"), 0);
  EXPECT_EQ((plistLibraryWork() - start).parses, 0);
  EXPECT_EQ(host.doc.graphics().size(), 1u);  // the padded design is still open

  // Clipboard data of many references to one archive.
  const int items = 2000;
  const auto pasteStart = plistLibraryWork();
  const auto pasted = graphicsWithPasteboardData(hostile::clipboardWithItems(items));
  ASSERT_TRUE(pasted);
  EXPECT_EQ(pasted->size(), static_cast<size_t>(items));
  // Each archive is a small list of its own: about fifty items.
  EXPECT_LE((plistLibraryWork() - pasteStart).itemWork, 100LL * items);
}

TEST_F(DesignFileReadingWork, PicturesKeepTheirPixelsAndOneFileIsDecodedOnce) {
  // A 1000 x 500 photo with a pattern that any resampling would blur.
  QImage photo(1000, 500, QImage::Format_RGB32);
  for (int y = 0; y < 500; ++y)
    for (int x = 0; x < 1000; ++x)
      photo.setPixel(x, y, qRgb((x * 7) % 256, (y * 3) % 256, (x + y) % 2 * 255));
  const QString photoPath = dir.filePath("photo.png");
  ASSERT_TRUE(photo.save(photoPath));

  PlainDesignHost host;
  auto image = SKTImage::initWithPath(QPointF(400, 300), photoPath);
  EXPECT_EQ(image->bounds().size(), QSizeF(724, 468));
  host.doc.setGraphicsOfSide(CardSide::Front, {image});
  const QString design = dir.filePath("photo.dcard");
  messages.queueSavePanel(design);
  ASSERT_TRUE(designfile::Save_project_file(host, true, false));
  PlainDesignHost reopened;
  ASSERT_EQ(designfile::Read_and_load_design_Log(reopened, design, "L"), 1);
  const auto& back = static_cast<const SKTImage&>(*reopened.doc.graphics().at(0));
  EXPECT_EQ(back._contents.convertToFormat(QImage::Format_RGB32), photo);
  EXPECT_EQ(back.bounds().size(), QSizeF(724, 468));

  // 25 objects naming one picture share one decoded picture.
  const QString shared = dir.filePath("large.png");
  ASSERT_TRUE(hostile::writeLargePicture(shared, 1500));
  const QString many = file("many.dcard", hostile::designWithSharedPicture(shared, 25));
  ASSERT_EQ(designfile::Read_and_load_design_Log(reopened, many, "L"), 1);
  const auto& graphics = reopened.doc.graphics();
  ASSERT_EQ(graphics.size(), 25u);
  const auto& first = static_cast<const SKTImage&>(*graphics.front())._contents;
  EXPECT_EQ(first.size(), QSize(1500, 1500));
  for (const auto& g : graphics)
    EXPECT_EQ(static_cast<const SKTImage&>(*g)._contents.constBits(), first.constBits());

  // The file changed on disk: the next open decodes it anew.
  QImage changed(1500, 1500, QImage::Format_RGB32);
  changed.fill(qRgb(10, 20, 30));
  ASSERT_TRUE(changed.save(shared, "PNG"));
  QFile touched(shared);
  ASSERT_TRUE(touched.open(QIODevice::ReadWrite));
  ASSERT_TRUE(
      touched.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
  touched.close();
  PlainDesignHost later;
  ASSERT_EQ(designfile::Read_and_load_design_Log(later, many, "L"), 1);
  EXPECT_EQ(static_cast<const SKTImage&>(*later.doc.graphics().front())._contents.pixel(0, 0),
            qRgb(10, 20, 30));
}

namespace {

// What the program said and took while it opened one design.
struct Opening {
  int loaded = -1;
  qint64 peakBytes = 0;
  QStringList messages;
};

// Opens a design (or with "--paste" first, pastes clipboard data from a
// file on a canvas) in a program of its own; `loaded` is then the objects pasted.
Opening openInItsOwnProgram(const QStringList& arguments) {
  const platform::ChildResult child =
      platform::runChild(QStringLiteral(QUVO_BINARY_DIR "/tests/design_open_peak"), arguments);
  Opening opening;
  EXPECT_EQ(child.exitCode, 0) << child.err.toStdString();
  for (const QString& line : QString::fromUtf8(child.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
    if (line.startsWith(QLatin1String("loaded "))) opening.loaded = line.mid(7).toInt();
    if (line.startsWith(QLatin1String("pasted "))) opening.loaded = line.mid(7).toInt();
    if (line.startsWith(QLatin1String("peak "))) opening.peakBytes = line.mid(5).toLongLong() * 1024;
    if (line.startsWith(QLatin1String("message: "))) opening.messages << line.mid(9);
  }
  return opening;
}

}  // namespace

TEST_F(DesignFileReadingWork, PicturesCarriedInADesignDecodeWithinOneBudget) {
  ASSERT_TRUE(QFileInfo(QStringLiteral(QUVO_BINARY_DIR "/tests/design_open_peak")).isExecutable())
      << "build the target design_open_peak first";
  // 7000 x 7000 pixels with alpha: 196 MB each once decoded, some 190 kB each in the file.
  const QByteArray picture = hostile::largeAlphaPicture(7000);
  ASSERT_FALSE(picture.isEmpty());
  constexpr qint64 kDecoded = 7000LL * 7000 * 4;
  const QString empty = file("empty.dcard", hostile::designWithEmbeddedPictures(picture, 0));
  const QString two = file("two.dcard", hostile::designWithEmbeddedPictures(picture, 2));
  const QString three = file("three.dcard", hostile::designWithEmbeddedPictures(picture, 3));
  const QString twenty = file("twenty.dcard", hostile::designWithEmbeddedPictures(picture, 20));
  const QString pasted = file("three.clipboard", hostile::clipboardWithEmbeddedPictures(picture, 3));
  EXPECT_LT(QFileInfo(twenty).size(), 8 * 1024 * 1024);

  const Opening own = openInItsOwnProgram({empty});
  EXPECT_EQ(own.loaded, 1);
  // Two such pictures fit: the design opens.
  const Opening within = openInItsOwnProgram({two});
  EXPECT_EQ(within.loaded, 1);
  EXPECT_TRUE(within.messages.isEmpty()) << within.messages.join('|').toStdString();
  EXPECT_GT(within.peakBytes, own.peakBytes + 2 * kDecoded * 9 / 10);
  // Three (588 MB) and twenty (3.9 GB) are refused, naming the file, before
  // any picture is decoded; so is a paste of three, with the same reason.
  const QString refusal =
      QStringLiteral("its pictures would take more than 512 MB of memory, far more than a card needs.");
  for (const QString& design : {three, twenty}) {
    const Opening refused = openInItsOwnProgram({design});
    EXPECT_EQ(refused.loaded, 0);
    EXPECT_EQ(refused.messages,
              QStringList{QStringLiteral("The design \"%1\" cannot be opened: ").arg(design) + refusal});
    EXPECT_LT(refused.peakBytes, own.peakBytes + kDecoded / 2);
  }
  const Opening refused = openInItsOwnProgram({QStringLiteral("--paste"), pasted});
  EXPECT_EQ(refused.loaded, 0);
  EXPECT_EQ(refused.messages, QStringList{"What the clipboard holds cannot be pasted: " + refusal});
  EXPECT_LT(refused.peakBytes, own.peakBytes + kDecoded / 2);

  // Every design the program ships (the samples and the templates) still opens.
  int shipped = 0;
  for (const QString folder : {"Samples", "Templates"})
    for (const QFileInfo& design : QDir(QUVO_SOURCE_DIR "/resources/" + folder).entryInfoList({"*.dcard"})) {
      PlainDesignHost host;
      ++shipped;
      EXPECT_EQ(designfile::Read_and_load_design_Log(host, design.filePath(), "T"), 1)
          << design.fileName().toStdString();
    }
  EXPECT_EQ(shipped, 5);
  EXPECT_TRUE(messages.messages().isEmpty()) << messages.messages().join('|').toStdString();
}
