// Picture files in the real window offscreen: a filter change on a
// camera-sized picture does not hold the window while the chain runs (the
// canvas shows the picture as it was, then the chain's own result), and a
// file that is no usable picture (none at all, too large, cut short) is
// refused with its name wherever it is listed or chosen.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QTemporaryDir>

#include "canvas/SKTGraphicView.h"
#include "core/SKTImage.h"
#include "core/image/ImageProcesser.h"
#include "mainwindow/PictureLibrary.h"
#include "mainwindow/SKTWindowController.h"
#include "mainwindow/WindowTestSupport.h"
#include "mainwindow/panels/CardBackgroundTab.h"
#include "mainwindow/panels/DataSourceTab.h"
#include "mainwindow/panels/PictureTab.h"
#include "support/EventLoop.h"
#include "support/PictureSamples.h"
#include "support/ScriptedHost.h"
#include "support/TestFiles.h"

namespace {

// Black and white stripes 128 pixels wide: a wide blur turns them grey.
QImage stripes(QSize size) {
  QImage img(size, QImage::Format_RGB32);
  for (int y = 0; y < size.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < size.width(); ++x) line[x] = (x / 128) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
  }
  return img;
}

// Share of nearly black or white pixels in a row of the picture's middle
// half: most for the stripes, none once blurred.
double shareOfSharpPixels(const QImage& shot, const QRect& picture) {
  const int y = picture.center().y();
  int sharp = 0, all = 0;
  for (int x = picture.left() + picture.width() / 4; x < picture.right() - picture.width() / 4; ++x, ++all) {
    const int v = qGray(shot.pixel(x, y));
    if (v < 30 || v > 225) ++sharp;
  }
  return all ? double(sharp) / all : 0.0;
}

}  // namespace

TEST(PictureFiles, FilterChangeOnACameraPictureShowsTheEarlierPictureThenTheChainsResult) {
  QTemporaryDir dir;
  window_test::useSeededResources(dir);
  testing_support::ScriptedHost host;
  auto window = std::make_unique<SKTWindowController>();
  window->resize(1000, 800);

  const QImage photo = stripes({2400, 1000});
  const QString path = dir.filePath(QStringLiteral("photo.png"));
  ASSERT_TRUE(photo.save(path));
  host.queueOpenPanel({path});
  window->toolAction(DrawingTool::PictureFile)->trigger();
  auto* image = dynamic_cast<SKTImage*>(window->document()->graphics().at(0).get());
  ASSERT_NE(image, nullptr);
  ASSERT_GT(qint64(image->_contents.width()) * image->_contents.height(),
            SKTImage::kPixelsFilteredWithoutWaiting);

  image->setBounds(QRectF(0, 20, 240, 100));  // ten pixels of the picture to a point
  SKTGraphicView* canvas = window->graphicView();
  auto sharp = [&] {
    const QImage shot = window->grab().toImage();  // lays the window out first
    const QRectF r = image->bounds();
    const QRect onCanvas(canvas->mapTo(window.get(), (r.topLeft() * canvas->displayFactor()).toPoint()),
                         (r.size() * canvas->displayFactor()).toSize());
    return shareOfSharpPixels(shot, onCanvas);
  };
  EXPECT_GT(sharp(), 0.5);

  // The slider's change is drawn at once with the stripes still sharp: the
  // drawing started the chain on a worker rather than waiting for it.
  window->pictureTab()->blr_slidr->slider()->setValue(100);
  ASSERT_FLOAT_EQ(image->blr_val, 100.0f);
  EXPECT_GT(sharp(), 0.5);

  // The window repaints by itself once the result is made.
  EXPECT_TRUE(testing_support::serveUntil([&] { return sharp() == 0.0; }, testing_support::kHangGuardMs));

  // The object keeps the worker's result: asked again it gives it without
  // running the chain, and it is exactly what the chain makes here.
  const qint64 runs = ImageProcesser::chainRunCount();
  const QImage shown = image->processedPicture();
  EXPECT_EQ(ImageProcesser::chainRunCount(), runs);
  const QImage made = ImageProcesser::Get_Processed_Image(image->_contents, false, false, false, 0.0f, 1.0f,
                                                          0.0f, 1.0f, 0, 0.0f, 0.0f, 100.0f, 100.0f);
  EXPECT_EQ(shown, made);
}

TEST(PictureFiles, AFileThatIsNoPictureOrTooLargeIsRefusedByName) {
  QTemporaryDir dir;
  window_test::useSeededResources(dir);
  testing_support::ScriptedHost host;
  auto window = std::make_unique<SKTWindowController>();
  const QString text = dir.filePath(QStringLiteral("notes.png"));
  ASSERT_TRUE(testing_support::writeFile(text, "a text, not a picture\n"));
  // The header of a PNG of 20000 x 20000 pixels (1.6 GB decoded), written by Python.
  const QString huge = dir.filePath(QStringLiteral("huge.png"));
  testing_support::runPython(
      "import struct, sys, zlib\n"
      "def chunk(t, d): return struct.pack('>I', len(d)) + t + d + struct.pack('>I', zlib.crc32(t + d))\n"
      "open(sys.argv[1], 'wb').write(b'\\x89PNG\\r\\n\\x1a\\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', "
      "20000, "
      "20000, 8, 2, 0, 0, 0)) + chunk(b'IDAT', zlib.compress(bytes(60001))) + chunk(b'IEND', b''))\n",
      {huge});
  const QString good = dir.filePath(QStringLiteral("good.png"));
  QImage picture(30, 20, QImage::Format_RGB32);
  picture.fill(Qt::darkGreen);
  ASSERT_TRUE(picture.save(good));
  auto lastMessage = [&] { return host.messages().isEmpty() ? QString() : host.messages().last(); };

  // The picture tool makes no empty object from a text file.
  host.queueOpenPanel({text});
  window->toolAction(DrawingTool::PictureFile)->trigger();
  EXPECT_TRUE(window->document()->graphics().empty());
  EXPECT_TRUE(lastMessage().contains(text)) << lastMessage().toStdString();

  // The picture tab's file button keeps the object's picture.
  host.queueOpenPanel({good});
  window->toolAction(DrawingTool::PictureFile)->trigger();
  ASSERT_EQ(window->document()->graphics().size(), 1u);
  auto* image = dynamic_cast<SKTImage*>(window->document()->graphics().at(0).get());
  ASSERT_NE(image, nullptr);
  host.queueOpenPanel({huge});
  window->dataSourceTab()->Manual_Image_Browse_btn->click();
  EXPECT_TRUE(lastMessage().contains(huge) && lastMessage().contains("too large"))
      << lastMessage().toStdString();
  EXPECT_EQ(image->_file_path, good);
  EXPECT_EQ(image->_contents.size(), QSize(30, 20));

  // The picture library names it where it lists the folder, and offers it not.
  const QString shelf = QDir(window->Resource_Path()).filePath(QStringLiteral("LibraryImage/a notes"));
  ASSERT_TRUE(QDir().mkpath(shelf));
  ASSERT_TRUE(QFile::copy(text, shelf + QStringLiteral("/notes.png")));
  host.queueModal([&](QDialog& dialog) {
    auto& library = static_cast<Image_Library&>(dialog);
    EXPECT_EQ(library.imageBrowser->model()->rowCount(), 0);
    EXPECT_TRUE(lastMessage().contains(
        shelf + QStringLiteral("/notes.png\" could not be read: it is not a picture.")))
        << lastMessage().toStdString();
    library.Cancel_Clicked();
    return library.result();
  });
  window->toolAction(DrawingTool::LibraryPicture)->trigger();
  EXPECT_EQ(window->document()->graphics().size(), 1u);

  // The card background keeps what it had.
  const QString background = window->Front_card_Prop.Card_BG_Image_Path;
  const int messages = host.messages().size();
  host.queueOpenPanel({text});
  window->Card_Image_Browse_Btn();
  EXPECT_EQ(host.messages().size(), messages + 1);
  EXPECT_TRUE(lastMessage().contains(text));
  EXPECT_EQ(window->Front_card_Prop.Card_BG_Image_Path, background);
}

// Pictures cut short never reach the card. In the lists (the Background
// panel, the Card Background window, a library category) a JPEG and a PNG cut
// at every point are named, and choosing one changes nothing; in the file
// panels of the picture tool, the picture tab and the card background, every
// kind offered (JPEG, PNG, GIF, BMP, TIFF, WebP) is named when cut short and
// placed when whole.
TEST(PictureFiles, APictureCutShortIsNamedWhereverItIsListedOrChosenAndNeverReachesTheCard) {
  using testing_support::writeFile;
  auto lines = [](const QStringList& texts) { return texts.join(QString()).toStdString(); };
  QTemporaryDir dir;
  const QString resources = window_test::useSeededResources(dir);
  const QString damaged = "\nThe file \"%1\" could not be read: it is a damaged or incomplete picture.";
  const QString backgrounds = resources + "/Background/", shelf = resources + "/LibraryImage/a cut/";
  const QList<testing_support::PictureSample> samples = testing_support::wholePictureSamples();
  QStringList cutBackgrounds, cutShelf;
  for (const testing_support::PictureSample& whole : samples.mid(0, 2)) {  // JPEG and PNG
    ASSERT_TRUE(writeFile(shelf + "whole." + whole.suffix, whole.bytes));
    int n = 0;
    for (const QByteArray& cut : testing_support::cutPictureSamples(whole)) {
      const QString name = QStringLiteral("cut %1.%2").arg(++n).arg(whole.suffix);
      ASSERT_TRUE(writeFile(backgrounds + name, cut) && writeFile(shelf + name, cut));
      cutBackgrounds << damaged.arg(backgrounds + name);
      cutShelf << damaged.arg(shelf + name);
    }
  }
  cutBackgrounds.sort();  // listed by name
  cutShelf.sort();
  testing_support::ScriptedHost host;
  auto window = std::make_unique<SKTWindowController>();
  const Card_Property& front = window->Front_card_Prop;

  // The Background panel lists each, saying why, with the box struck through
  // (also the JPEG whose decoding gives a picture half grey); choosing it
  // names it.
  PictureItemModel* panel = window->cardBackgroundTab()->imageBrowser->pictureModel();
  QStringList tooltips;
  QList<QImage> icons;
  QImage struck;
  for (int row = 0; row < panel->rowCount(); ++row) panel->index(row).data(Qt::DecorationRole);
  panel->waitForThumbnails();
  for (int row = 0; row < panel->rowCount(); ++row)
    icons << panel->index(row).data(Qt::DecorationRole).value<QPixmap>().toImage();
  for (int row = 0; row < panel->rowCount(); ++row) {
    const QModelIndex item = panel->index(row);
    if (!item.data(Qt::DisplayRole).toString().startsWith("cut ")) continue;
    if (tooltips.isEmpty()) struck = icons[row];  // "cut 1.jpg", 700 bytes: no picture at all
    EXPECT_EQ(icons[row], struck) << row;
    tooltips << "\n" + item.data(Qt::ToolTipRole).toString();
    window->cardBackgroundTab()->imageBrowser->setCurrentIndex(item);
  }
  EXPECT_NE(icons.value(0), struck);
  EXPECT_EQ(lines(tooltips), lines(cutBackgrounds));
  EXPECT_EQ(lines(host.messages()), lines(cutBackgrounds));
  EXPECT_TRUE(front.Card_BG_Image.isNull());

  // The Card Background window and the library offer only whole pictures and
  // name the others as they list them.
  host.clear();
  QStringList listed;
  auto listAndChooseTheFirst = [&](QDialog& dialog) {
    auto& library = static_cast<Image_Library&>(dialog);
    listed.clear();
    for (const MyImageObject& item : library.imageBrowser->pictureModel()->images())
      listed << item.image_Name;
    library.imageBrowser->setCurrentIndex(library.imageBrowser->pictureModel()->index(0));
    library.OK_Clicked();
    return library.result();
  };
  host.queueModal(listAndChooseTheFirst);
  window->Card_Image_Library_Btn();
  EXPECT_FALSE(listed.join(' ').contains("cut "));
  EXPECT_EQ(lines(host.messages()), lines(cutBackgrounds));
  EXPECT_EQ(front.Card_BG_Image_Path, backgrounds + listed.value(0));
  host.clear();
  host.queueModal(listAndChooseTheFirst);
  window->toolAction(DrawingTool::LibraryPicture)->trigger();
  EXPECT_EQ(listed, QStringList({"whole.jpg", "whole.png"}));
  EXPECT_EQ(lines(host.messages()), lines(cutShelf));
  ASSERT_EQ(window->document()->graphics().size(), 1u);
  // Decoded once: the object shows the picture the library checked.
  EXPECT_EQ(static_cast<SKTImage&>(*window->document()->graphics().at(0))._contents.cacheKey(),
            Image_Library::defaultInstance().chosen_picture.cacheKey());

  // The file panels: each kind whole is placed; cut at every point, named.
  host.clear();
  QStringList expected;
  QString cutPath;
  for (const testing_support::PictureSample& whole : samples) {
    const QString path = dir.filePath("whole." + whole.suffix);
    ASSERT_TRUE(writeFile(path, whole.bytes));
    host.queueOpenPanel({path});
    window->toolAction(DrawingTool::PictureFile)->trigger();
    auto* image = dynamic_cast<SKTImage*>(window->document()->graphics().at(0).get());
    ASSERT_TRUE(image != nullptr && image->_file_path == path) << path.toStdString();
    EXPECT_EQ(image->_contents.size(), QSize(240, 160));
    int n = 0;
    for (const QByteArray& cut : testing_support::cutPictureSamples(whole)) {
      cutPath = dir.filePath(QStringLiteral("cut %1.%2").arg(++n).arg(whole.suffix));
      ASSERT_TRUE(writeFile(cutPath, cut));
      host.queueOpenPanel({cutPath});
      window->toolAction(DrawingTool::PictureFile)->trigger();
      expected << damaged.arg(cutPath);
    }
  }
  EXPECT_EQ(window->document()->graphics().size(), 1u + samples.size());
  // The picture tab's and the card background's file buttons keep what they had.
  const QString background = front.Card_BG_Image_Path;
  host.queueOpenPanel({cutPath});
  window->dataSourceTab()->Manual_Image_Browse_btn->click();
  host.queueOpenPanel({cutPath});
  window->Card_Image_Browse_Btn();
  EXPECT_EQ(lines(host.messages()), lines(expected << damaged.arg(cutPath) << damaged.arg(cutPath)));
  EXPECT_EQ(static_cast<SKTImage&>(*window->document()->graphics().at(0))._file_path,
            dir.filePath("whole.webp"));
  EXPECT_EQ(front.Card_BG_Image_Path, background);
}
