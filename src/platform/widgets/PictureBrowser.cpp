#include "platform/widgets/PictureBrowser.h"

#include <QDataStream>
#include <QFile>
#include <QImageReader>
#include <QMimeData>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>

#include "platform/RegularFile.h"

namespace {

const QString kRowsMimeType = QStringLiteral("application/x-quvo-picture-rows");

QString keyOf(const MyImageObject& item) {
  return item.path.isEmpty() ? QStringLiteral("uid:") + item.image_UID : item.path;
}

// The picture of a file scaled to fit `box`, decoded at that size.
QImage readThumbnail(const QString& path, QSize box) {
  QFile file;
  QImageReader reader;
  if (!platform::openRegularPictureFile(file, reader, path)) return {};
  reader.setAutoTransform(true);
  // A picture with a colour table is read whole and scaled in full colour:
  // scaling its indices loses the half-transparent colours.
  const QImage::Format format = reader.imageFormat();
  const bool palette = format != QImage::Format_Invalid && format <= QImage::Format_Indexed8;
  const QSize full = reader.size();
  if (!palette && full.isValid() && (full.width() > box.width() || full.height() > box.height()))
    reader.setScaledSize(full.scaled(box, Qt::KeepAspectRatio));
  QImage image = reader.read();
  if (palette && !image.isNull())
    image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                          : QImage::Format_RGB32);
  if (!image.isNull() && (image.width() > box.width() || image.height() > box.height()))
    image = image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  return image;
}

// A grey box struck through: the icon of a file that shows no picture.
QPixmap noPictureIcon(QSize size) {
  QPixmap pixmap(size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setPen(QPen(Qt::gray, 2));
  p.drawRect(pixmap.rect().adjusted(4, 4, -4, -4));
  p.drawLine(pixmap.rect().topLeft() + QPoint(4, 4), pixmap.rect().bottomRight() - QPoint(4, 4));
  return pixmap;
}

// Gives every item its whole grid cell (less a small gap), so that a title is
// laid out at the cell's width whatever the width of the item's picture: a
// portrait card's preview is much narrower than the icon, and the items all
// share the size of the first one.
class PictureItemDelegate : public QStyledItemDelegate {
 public:
  explicit PictureItemDelegate(QListView* view) : QStyledItemDelegate(view), view_(view) {}

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const QSize cell = view_->gridSize();
    if (!cell.isValid()) return QStyledItemDelegate::sizeHint(option, index);
    return cell - QSize(kGap, kGap);
  }

 private:
  static constexpr int kGap = 4;
  QListView* view_;
};

}  // namespace

PictureItemModel::PictureItemModel(QObject* parent)
    : QAbstractListModel(parent), generation_(std::make_shared<std::atomic<quint64>>(0)) {
  pool_.setMaxThreadCount(2);
}

PictureItemModel::~PictureItemModel() {
  pool_.clear();
  pool_.waitForDone();
}

void PictureItemModel::clear() {
  beginResetModel();
  images_.clear();
  endResetModel();
}

void PictureItemModel::append(const MyImageObject& item) {
  const int row = static_cast<int>(images_.size());
  beginInsertRows({}, row, row);
  images_.push_back(item);
  endInsertRows();
}

void PictureItemModel::moveItemsAtIndexes(QList<int> rows, int destination) {
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  const int count = static_cast<int>(images_.size());
  rows.erase(std::remove_if(rows.begin(), rows.end(), [count](int r) { return r < 0 || r >= count; }),
             rows.end());
  if (rows.isEmpty()) return;
  destination = std::clamp(destination, 0, count);
  std::vector<MyImageObject> moved;
  for (int r : rows) moved.push_back(images_[r]);
  int before = 0;
  for (int r : rows)
    if (r < destination) ++before;
  beginResetModel();
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) images_.erase(images_.begin() + *it);
  destination -= before;
  images_.insert(images_.begin() + destination, moved.begin(), moved.end());
  endResetModel();
}

void PictureItemModel::setThumbnailSize(QSize size) {
  if (size == thumbSize_) return;
  thumbSize_ = size;
  ++*generation_;  // thumbnails under way are for the old size
  thumbnails_.clear();
  pending_.clear();
  if (!images_.empty()) emit dataChanged(index(0), index(rowCount() - 1), {Qt::DecorationRole});
}

void PictureItemModel::waitForThumbnails() {
  pool_.waitForDone();
  QCoreApplication::sendPostedEvents(this);
}

int PictureItemModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(images_.size());
}

QVariant PictureItemModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const MyImageObject& item = images_[index.row()];
  switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
      return item.image_Name;
    case Qt::ToolTipRole:
      if (!item.problem.isEmpty()) return item.problem;
      return item.path.isEmpty() ? item.image_Name : item.path;
    case Qt::AccessibleDescriptionRole:
      return item.problem;
    case PathRole:
      return item.path;
    case UidRole:
      return item.image_UID;
    case Qt::DecorationRole: {
      // A file named as unusable is not read: what a decoder makes of it
      // (a damaged picture half grey) would look usable.
      if (!item.problem.isEmpty()) {
        if (noPicture_.size() != thumbSize_) noPicture_ = noPictureIcon(thumbSize_);
        return noPicture_;
      }
      const QString key = keyOf(item);
      if (auto it = thumbnails_.constFind(key); it != thumbnails_.constEnd()) return it.value();
      if (item.path.isEmpty()) {
        const QPixmap pixmap =
            QPixmap::fromImage(item.image.scaled(thumbSize_, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        thumbnails_.insert(key, pixmap);
        return pixmap;
      }
      requestThumbnail(key);
      QPixmap blank(thumbSize_);
      blank.fill(Qt::transparent);
      return blank;
    }
    default:
      return {};
  }
}

void PictureItemModel::requestThumbnail(const QString& key) const {
  if (pending_.contains(key)) return;
  pending_.insert(key, true);
  const quint64 generation = generation_->load();
  const QSize box = thumbSize_;
  auto* self = const_cast<PictureItemModel*>(this);
  pool_.start([self, key, box, generation] {
    const QImage image = readThumbnail(key, box);
    // The model waits for its workers before it goes, so it is alive here;
    // the result is handed over on the model's thread.
    QMetaObject::invokeMethod(
        self, [self, generation, key, image] { self->thumbnailRead(generation, key, image); },
        Qt::QueuedConnection);
  });
}

void PictureItemModel::thumbnailRead(quint64 generation, const QString& key, const QImage& image) {
  if (generation != generation_->load()) return;
  const QPixmap pixmap = image.isNull() ? noPictureIcon(thumbSize_) : QPixmap::fromImage(image);
  thumbnails_.insert(key, pixmap);
  for (int row = 0; row < rowCount(); ++row) {
    if (keyOf(images_[row]) != key) continue;
    emit dataChanged(index(row), index(row), {Qt::DecorationRole});
    emit thumbnailReady(row);
  }
}

Qt::ItemFlags PictureItemModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::ItemIsDropEnabled;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
}

QStringList PictureItemModel::mimeTypes() const {
  return {kRowsMimeType};
}

QMimeData* PictureItemModel::mimeData(const QModelIndexList& indexes) const {
  QByteArray bytes;
  QDataStream out(&bytes, QIODevice::WriteOnly);
  for (const QModelIndex& index : indexes)
    if (index.isValid()) out << qint32(index.row());
  auto* data = new QMimeData;
  data->setData(kRowsMimeType, bytes);
  return data;
}

bool PictureItemModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                                    const QModelIndex& parent) {
  if (action != Qt::MoveAction || data == nullptr || !data->hasFormat(kRowsMimeType)) return false;
  QList<int> rows;
  QDataStream in(data->data(kRowsMimeType));
  while (!in.atEnd()) {
    qint32 r = -1;
    in >> r;
    if (in.status() != QDataStream::Ok) break;
    rows << r;
  }
  int destination = row;
  if (destination < 0) destination = parent.isValid() ? parent.row() : rowCount();
  moveItemsAtIndexes(rows, destination);
  return true;
}

// ---------------------------------------------------------------- view

PictureBrowser::PictureBrowser(QWidget* parent) : QListView(parent), model_(new PictureItemModel(this)) {
  setModel(model_);
  setItemDelegate(new PictureItemDelegate(this));
  setViewMode(QListView::IconMode);
  setMovement(QListView::Static);
  setResizeMode(QListView::Adjust);
  setWrapping(true);
  setUniformItemSizes(true);
  setSpacing(6);
  setWordWrap(true);
  setTextElideMode(Qt::ElideMiddle);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setDragEnabled(true);
  setAcceptDrops(true);
  setDropIndicatorShown(true);
  setDragDropMode(QAbstractItemView::InternalMove);
  setDefaultDropAction(Qt::MoveAction);
  setAccessibleName(tr("Pictures"));
  setZoomValue(zoom_);
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { emit imageBrowserSelectionDidChange(selectedPath()); });
}

QSize PictureBrowser::iconSizeForZoom(double zoom) {
  const int side = 48 + static_cast<int>(std::clamp(zoom, 0.0, 1.0) * (256 - 48) + 0.5);
  return {side, side};
}

void PictureBrowser::setZoomValue(double zoom) {
  zoom_ = std::clamp(zoom, 0.0, 1.0);
  const QSize icon = iconSizeForZoom(zoom_);
  setIconSize(icon);
  setGridSize(icon + QSize(24, fontMetrics().height() * 2 + 12));
  model_->setThumbnailSize(icon);
}

int PictureBrowser::firstSelectedRow() const {
  QModelIndexList rows = selectionModel()->selectedIndexes();
  if (rows.isEmpty()) return -1;
  std::sort(rows.begin(), rows.end(),
            [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
  return rows.front().row();
}

QString PictureBrowser::selectedPath() const {
  const int row = firstSelectedRow();
  return row < 0 ? QString() : model_->index(row).data(PictureItemModel::PathRole).toString();
}
