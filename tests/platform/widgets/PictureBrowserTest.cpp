// The picture browser: thumbnails read at icon size off the GUI thread, and
// reordering by a drag's drop (items are moved, never removed).
#include <gtest/gtest.h>

#include <QImage>
#include <QMimeData>
#include <QPaintEngine>
#include <QPixmap>
#include <QTemporaryDir>

#include "platform/widgets/PictureBrowser.h"
#include "support/EventLoop.h"

namespace {

QStringList names(const PictureItemModel& model) {
  QStringList out;
  for (const MyImageObject& item : model.images()) out << item.image_Name;
  return out;
}

// A paint device that keeps the words drawn on it and nothing else.
class TextRecorder : public QPaintDevice {
 public:
  explicit TextRecorder(QSize size) : size_(size) {}
  QPaintEngine* paintEngine() const override { return &engine_; }
  QStringList texts() const { return engine_.texts; }

 protected:
  int metric(PaintDeviceMetric metric) const override {
    switch (metric) {
      case PdmWidth:
        return size_.width();
      case PdmHeight:
        return size_.height();
      case PdmDepth:
        return 32;
      case PdmDpiX:
      case PdmDpiY:
      case PdmPhysicalDpiX:
      case PdmPhysicalDpiY:
        return 96;
      case PdmDevicePixelRatio:
        return 1;
      case PdmDevicePixelRatioScaled:
        return static_cast<int>(devicePixelRatioFScale());
      default:
        return QPaintDevice::metric(metric);
    }
  }

 private:
  struct Engine : QPaintEngine {
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawTextItem(const QPointF&, const QTextItem& item) override { texts << item.text(); }
    Type type() const override { return QPaintEngine::User; }
    QStringList texts;
  };
  QSize size_;
  mutable Engine engine_;
};

}  // namespace

// The shipped templates' previews are portrait cards, much narrower than
// the icon: each title is still laid out at the width of the item's cell,
// not of its picture, and drawn whole when the cell has room for it.
TEST(PictureBrowser, TitlesUnderNarrowPicturesAreShownWhole) {
  PictureBrowser browser;
  browser.setZoomValue(0.6);  // as the templates window opens
  const QStringList titles = {"Birthday Party.png", "Garden Wedding.png", "Round Badge.png", "Thank You.png"};
  PictureItemModel& model = *browser.pictureModel();
  for (const QString& title : titles)
    model.append(
        MyImageObject::initWithImage_Path(QUVO_SOURCE_DIR "/resources/Templates/" + title, title, title));
  browser.setCurrentIndex(model.index(0));
  browser.show();
  browser.resize(900, 400);
  for (int row = 0; row < model.rowCount(); ++row) model.data(model.index(row), Qt::DecorationRole);
  model.waitForThumbnails();
  browser.doItemsLayout();  // as laid out once the pictures are in
  testing_support::wait(50);
  for (const QString& title : titles)
    ASSERT_LT(browser.fontMetrics().horizontalAdvance(title), browser.gridSize().width() - 8);

  TextRecorder recorder(browser.viewport()->size());
  browser.viewport()->render(&recorder);
  EXPECT_EQ(recorder.texts().join(" | ").toStdString(), titles.join(" | ").toStdString());
}

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
