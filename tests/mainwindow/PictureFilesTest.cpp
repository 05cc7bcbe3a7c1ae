// Picture files in the real window offscreen: a filter change on a
// camera-sized picture does not hold the window while the chain runs (the
// canvas shows the picture as it was, then the chain's own result), and a
// file that is no usable picture is refused with its name.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "canvas/SKTGraphicView.h"
#include "core/SKTImage.h"
#include "core/image/ImageProcesser.h"
#include "mainwindow/PictureLibrary.h"
#include "mainwindow/SKTWindowController.h"
#include "mainwindow/WindowTestSupport.h"
#include "mainwindow/panels/DataSourceTab.h"
#include "mainwindow/panels/PictureTab.h"
#include "support/EventLoop.h"
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
