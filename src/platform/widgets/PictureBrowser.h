#pragma once
// A browser of picture files: an icon-mode list over a model of picture
// items. Thumbnails are read at icon size on worker threads
// (QImageReader::setScaledSize), so a folder of large photographs never
// stalls the window. The zoom (0 to 1) sets the icon size; items can be
// reordered by dragging, but never removed by the view.

#include <QAbstractListModel>
#include <QHash>
#include <QImage>
#include <QListView>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <atomic>
#include <memory>
#include <vector>

// One item of a picture browser.
struct MyImageObject {
  QString path;        // file of the picture
  QImage image;        // a picture given directly (shown when there is no path)
  QString image_Name;  // title shown under the icon
  QString image_UID;   // unique within one browser
  QString problem;     // why the file cannot be used, naming it; its tooltip then, and
                       // a box struck through its icon (the file is not read)

  static MyImageObject initWithImage_Path(const QString& path, const QString& name, const QString& uid) {
    return {path, {}, name, uid, {}};
  }
  static MyImageObject initWithImage(const QImage& image, const QString& name, const QString& uid) {
    return {{}, image, name, uid, {}};
  }
};

class PictureItemModel : public QAbstractListModel {
  Q_OBJECT
 public:
  static constexpr int PathRole = Qt::UserRole + 1;
  static constexpr int UidRole = Qt::UserRole + 2;

  explicit PictureItemModel(QObject* parent = nullptr);
  ~PictureItemModel() override;

  const std::vector<MyImageObject>& images() const { return images_; }
  void clear();
  void append(const MyImageObject& item);
  // Moves the items at `rows` (any order) as one block, in their old order,
  // in front of the item that stood at `destination` (count() for the end).
  void moveItemsAtIndexes(QList<int> rows, int destination);
  // Size thumbnails are read at; changing it reads them again.
  void setThumbnailSize(QSize size);
  QSize thumbnailSize() const { return thumbSize_; }
  // Waits for the thumbnails being read (tests, tidy shutdown).
  void waitForThumbnails();

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }
  Qt::DropActions supportedDragActions() const override { return Qt::MoveAction; }
  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QModelIndexList& indexes) const override;
  bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                    const QModelIndex& parent) override;
  // Pictures cannot be removed through the view: a move's clean-up keeps every item.
  bool removeRows(int, int, const QModelIndex& = {}) override { return false; }

 signals:
  void thumbnailReady(int row);

 private:
  void requestThumbnail(const QString& key) const;
  void thumbnailRead(quint64 generation, const QString& key, const QImage& image);

  std::vector<MyImageObject> images_;
  QSize thumbSize_{96, 96};
  mutable QHash<QString, QPixmap> thumbnails_;
  mutable QPixmap noPicture_;  // the icon of items whose file shows no picture
  mutable QHash<QString, bool> pending_;
  std::shared_ptr<std::atomic<quint64>> generation_;
  mutable QThreadPool pool_;
};

class PictureBrowser : public QListView {
  Q_OBJECT
 public:
  explicit PictureBrowser(QWidget* parent = nullptr);

  PictureItemModel* pictureModel() const { return model_; }
  // Zoom 0 to 1: icons from 48 to 256 pixels.
  void setZoomValue(double zoom);
  double zoomValue() const { return zoom_; }
  static QSize iconSizeForZoom(double zoom);
  // The first selected row, -1 when none.
  int firstSelectedRow() const;
  QString selectedPath() const;

 signals:
  // The selection changed; the path of the first selected item ("" when none).
  void imageBrowserSelectionDidChange(const QString& path);

 private:
  PictureItemModel* model_;
  double zoom_ = 0.4;
};
