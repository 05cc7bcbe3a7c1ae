// The picture browser: thumbnails read at icon size off the GUI thread, and
// reordering by a drag's drop (items are moved, never removed).
#include <gtest/gtest.h>

#include <QImage>
#include <QMimeData>
#include <QPixmap>
#include <QTemporaryDir>

#include "platform/widgets/PictureBrowser.h"

namespace {

QStringList names(const PictureItemModel& model) {
  QStringList out;
  for (const MyImageObject& item : model.images()) out << item.image_Name;
  return out;
}

}  // namespace

TEST(PictureBrowser, DroppingMovesTheDraggedItemsAsOneBlockAndNothingIsRemoved) {
  PictureBrowser browser;
  PictureItemModel& model = *browser.pictureModel();
  for (const char* name : {"1", "2", "3", "4", "5"})
    model.append(MyImageObject::initWithImage_Path(QString("/nowhere/%1.png").arg(name), name, name));
  // The first two dragged behind the fourth: 3, 4, 1, 2, 5.
  std::unique_ptr<QMimeData> dragged(model.mimeData({model.index(1), model.index(0)}));
  EXPECT_TRUE(model.dropMimeData(dragged.get(), Qt::MoveAction, 4, 0, {}));
  EXPECT_EQ(names(model), (QStringList{"3", "4", "1", "2", "5"}));
  // The view's clean-up after a move removes nothing.
  EXPECT_FALSE(model.removeRows(0, 2));
  // Dropped on an item: in front of it; dropped past the end: at the end.
  dragged.reset(model.mimeData({model.index(4)}));
  EXPECT_TRUE(model.dropMimeData(dragged.get(), Qt::MoveAction, -1, 0, model.index(0)));
  EXPECT_EQ(names(model), (QStringList{"5", "3", "4", "1", "2"}));
  dragged.reset(model.mimeData({model.index(0)}));
  EXPECT_TRUE(model.dropMimeData(dragged.get(), Qt::MoveAction, -1, 0, {}));
  EXPECT_EQ(names(model), (QStringList{"3", "4", "1", "2", "5"}));
  EXPECT_FALSE(model.dropMimeData(dragged.get(), Qt::CopyAction, 0, 0, {}));
}

TEST(PictureBrowser, ThumbnailsAreReadAtIconSizeAndFollowTheZoom) {
  QTemporaryDir dir;
  const QString big = dir.filePath("big.png");
  QImage photo(2400, 1600, QImage::Format_RGB32);
  photo.fill(Qt::darkCyan);
  ASSERT_TRUE(photo.save(big));
  PictureBrowser browser;
  browser.setZoomValue(0.0);
  EXPECT_EQ(browser.iconSize(), QSize(48, 48));
  PictureItemModel& model = *browser.pictureModel();
  model.append(MyImageObject::initWithImage_Path(big, "big.png", "big.png"));
  model.append(MyImageObject::initWithImage_Path(dir.filePath("missing.png"), "missing.png", "missing.png"));

  auto thumbnail = [&](int row) {
    model.data(model.index(row), Qt::DecorationRole);  // asks for it
    model.waitForThumbnails();
    return model.data(model.index(row), Qt::DecorationRole).value<QPixmap>();
  };
  QPixmap small = thumbnail(0);
  EXPECT_EQ(small.size(), QSize(48, 32));
  EXPECT_EQ(small.toImage().pixel(24, 16), QColor(Qt::darkCyan).rgb());
  EXPECT_EQ(thumbnail(1).size(), QSize(48, 48));  // a placeholder for a file that cannot be read
  browser.setZoomValue(1.0);
  EXPECT_EQ(thumbnail(0).size(), QSize(256, 170));
  EXPECT_EQ(model.data(model.index(0), PictureItemModel::PathRole).toString(), big);

  // A palette picture of red at half opacity stays half transparent.
  QImage logo(600, 400, QImage::Format_Indexed8);
  logo.setColorTable({qRgba(255, 0, 0, 128)});
  logo.fill(0);
  ASSERT_TRUE(logo.save(dir.filePath("logo.png")));
  model.append(MyImageObject::initWithImage_Path(dir.filePath("logo.png"), "logo.png", "logo.png"));
  const QImage seen = thumbnail(2).toImage();
  EXPECT_EQ(seen.size(), QSize(256, 170));
  EXPECT_NEAR(seen.pixelColor(128, 85).alpha(), 128, 2);
  EXPECT_EQ(model.data(model.index(0), Qt::DisplayRole).toString(), "big.png");
}
