// The picture library: categories from the folders of LibraryImage (shown
// capitalised, found by their own names), the picture types listed in name
// order, pictures that cannot be read named, and OK only for an existing
// picture.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include "mainwindow/PictureLibrary.h"
#include "platform/globals.h"
#include "support/PictureSamples.h"
#include "support/PipeWatchdog.h"
#include "support/ScriptedHost.h"
#include "support/TestFiles.h"

namespace {

void touchPicture(const QString& path) {
  QImage image(8, 8, QImage::Format_RGB32);
  image.fill(Qt::red);
  const QString suffix = QFileInfo(path).suffix().toLower();
  const bool known = suffix == "png" || suffix == "jpg" || suffix == "jpeg";
  ASSERT_TRUE(image.save(path, known ? nullptr : "png")) << path.toStdString();
}

QStringList listed(Image_Library& library) {
  QStringList out;
  for (const MyImageObject& item : library.imageBrowser->pictureModel()->images()) out << item.image_Name;
  return out;
}

}  // namespace

TEST(PictureLibrary, CategoriesListTheirPicturesInNameOrderAndOkNeedsAPicture) {
  QTemporaryDir dir;
  Set_Resource_Path(dir.path());
  const QString flowers = dir.filePath("LibraryImage/spring flowers");
  ASSERT_TRUE(QDir().mkpath(flowers));
  ASSERT_TRUE(QDir().mkpath(dir.filePath("LibraryImage/animals")));
  ASSERT_TRUE(QDir().mkpath(dir.filePath("Background")));
  for (const char* name : {"tulip.PNG", "Aster.jpg", "rose.png", "lily.jpeg", "daisy.gif", "notes.txt"})
    touchPicture(flowers + "/" + name);
  touchPicture(dir.filePath("Background/Waves.jpg"));
  // A pipe and a link to a device in pictures' places.
  ASSERT_TRUE(testing_support::makePipe(flowers + "/iris.png"));
  ASSERT_TRUE(QFile::link("/dev/zero", flowers + "/zinnia.jpg"));
  // And a file that is no picture and a picture cut short after its header,
  // named as they are rather than shown as a placeholder.
  {
    QFile text(flowers + "/orchid.png");
    ASSERT_TRUE(text.open(QIODevice::WriteOnly) && text.write("Name;City\n") > 0);
    QImage noise(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) noise.setPixel(x, y, qRgb(x * 4, y * 4, (x * y) % 256));
    QByteArray png;
    QBuffer buffer(&png);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly) && noise.save(&buffer, "PNG"));
    QFile cut(flowers + "/peony.png");
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly) && cut.write(png.left(png.size() / 2)) > 0);
    // A JPEG cut in its scan data, which Qt's reader fills with grey.
    ASSERT_TRUE(testing_support::writeFile(
        flowers + "/poppy.jpg",
        testing_support::cutPictureSamples(testing_support::wholePictureSamples()[0]).last()));
  }
  testing_support::PipeWatchdog watchdog({flowers + "/iris.png"});
  testing_support::ScriptedHost host;
  Image_Library& library = Image_Library::defaultInstance();

  QStringList categories, pictures;
  host.queueModal([&](QDialog&) {
    for (int i = 0; i < library.cat_cmbo_bx->count(); ++i) categories << library.cat_cmbo_bx->itemText(i);
    library.cat_cmbo_bx->setCurrentIndex(1);
    pictures = listed(library);
    library.OK_Clicked();  // nothing selected
    library.imageBrowser->setCurrentIndex(library.imageBrowser->model()->index(2, 0));
    library.OK_Clicked();
    return library.result();
  });
  library.control_or_BG = "C";
  EXPECT_EQ(library.Open_Library_Window(), 1);
  EXPECT_EQ(library.windowTitle(), "Image Library");
  EXPECT_EQ(categories, (QStringList{"Animals", "Spring Flowers"}));
  EXPECT_EQ(pictures, (QStringList{"Aster.jpg", "rose.png", "tulip.PNG"}));
  EXPECT_EQ(library.selected_image, flowers + "/tulip.PNG");
  const QString unreadable = "The file \"%1\" could not be read: %2.";
  EXPECT_EQ(
      host.messages(),
      QStringList(
          {"\n" + unreadable.arg(flowers + "/iris.png", "it is a named pipe, not a file") + "\n" +
               unreadable.arg(flowers + "/orchid.png", "it is not a picture") + "\n" +
               unreadable.arg(flowers + "/peony.png", "it is a damaged or incomplete picture") + "\n" +
               unreadable.arg(flowers + "/poppy.jpg", "it is a damaged or incomplete picture") + "\n" +
               unreadable.arg(flowers + "/zinnia.jpg", "it is a device, not a file (a link to /dev/zero)"),
           "\nPlease select image."}));
  EXPECT_TRUE(watchdog.freed().isEmpty());

  // Backgrounds; a picture deleted after it was selected is refused.
  host.clear();
  host.queueModal([&](QDialog&) {
    EXPECT_TRUE(library.cat_cmbo_bx->isHidden());
    pictures = listed(library);
    library.imageBrowser->setCurrentIndex(library.imageBrowser->model()->index(0, 0));
    QFile::remove(dir.filePath("Background/Waves.jpg"));
    library.OK_Clicked();
    library.Cancel_Clicked();
    return library.result();
  });
  library.control_or_BG = "B";
  EXPECT_EQ(library.Open_Library_Window(), 0);
  EXPECT_EQ(library.windowTitle(), "Background Image Library");
  EXPECT_EQ(pictures, QStringList{"Waves.jpg"});
  EXPECT_EQ(host.messages(), QStringList{"\nPlease select image."});
  EXPECT_TRUE(library.selected_image.isEmpty());
}
