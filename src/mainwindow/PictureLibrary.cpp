#include "mainwindow/PictureLibrary.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/PictureFile.h"
#include "mainwindow/globals.h"
#include "platform/MessageHost.h"
#include "platform/Messages.h"
#include "platform/globals.h"
#include "platform/widgets/DialogLook.h"

namespace {

// Lives until the program ends, or until the window it was last shown over goes.
QPointer<Image_Library> g_library;

void deleteLibrary() {
  delete g_library.data();
}

QString libraryFolder() {
  return Resource_Path() + QStringLiteral("/LibraryImage");
}

}  // namespace

QString capitalisedCategoryName(const QString& folderName) {
  QString name = folderName.toLower();
  bool wordStart = true;
  for (QChar& c : name) {
    if (c.isLetterOrNumber()) {
      if (wordStart) c = c.toUpper();
      wordStart = false;
    } else {
      wordStart = true;
    }
  }
  return name;
}

Image_Library& Image_Library::defaultInstance() {
  if (g_library.isNull()) {
    g_library = new Image_Library;
    qAddPostRoutine(deleteLibrary);
  }
  return *g_library;
}

Image_Library::Image_Library(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Image_Library"));
  platform::applyDialogLook(*this);
  resize(620, 480);
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  category_label = new QLabel(tr("Category"), this);
  cat_cmbo_bx = new QComboBox(this);
  cat_cmbo_bx->setAccessibleName(tr("Category"));
  category_label->setBuddy(cat_cmbo_bx);
  _zoom_slider = new QSlider(Qt::Horizontal, this);
  _zoom_slider->setRange(0, 100);
  _zoom_slider->setAccessibleName(tr("Picture size"));
  top->addWidget(category_label);
  top->addWidget(cat_cmbo_bx, 1);
  top->addSpacing(16);
  top->addWidget(new QLabel(tr("Size"), this));
  top->addWidget(_zoom_slider, 1);
  layout->addLayout(top);
  imageBrowser = new PictureBrowser(this);
  layout->addWidget(imageBrowser, 1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setAccessibleName(tr("OK"));
  buttons->button(QDialogButtonBox::Cancel)->setAccessibleName(tr("Cancel"));
  layout->addWidget(buttons);

  connect(buttons, &QDialogButtonBox::accepted, this, &Image_Library::OK_Clicked);
  connect(buttons, &QDialogButtonBox::rejected, this, &Image_Library::Cancel_Clicked);
  connect(_zoom_slider, &QSlider::valueChanged, this,
          [this](int v) { imageBrowser->setZoomValue(v / 100.0); });
  connect(cat_cmbo_bx, &QComboBox::currentIndexChanged, this, &Image_Library::categoryChosen);
  connect(imageBrowser, &PictureBrowser::imageBrowserSelectionDidChange, this, [this](const QString& path) {
    if (!path.isEmpty()) selected_image = path;
  });
  connect(imageBrowser, &QListView::doubleClicked, this, &Image_Library::OK_Clicked);
}

int Image_Library::Open_Library_Window(QWidget* owner) {
  try {
    imageBrowser->pictureModel()->clear();
    chosen_picture = QImage();
    _zoom_slider->setValue(40);
    imageBrowser->setZoomValue(0.4);
    const bool pictures = control_or_BG == QLatin1String("C");
    if (pictures) {
      setWindowTitle(tr("Image Library"));
      Fill_Combobox();
      categoryChosen();
    } else {
      setWindowTitle(tr("Background Image Library"));
      Load_and_fill_backgrounds();
    }
    cat_cmbo_bx->setVisible(pictures);
    category_label->setVisible(pictures);
    setAccessibleName(windowTitle());
    if (owner != nullptr && parentWidget() != owner) setParent(owner, windowFlags() | Qt::Dialog);
    setWindowModality(owner != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
    const int code = platform::messageHost().runModal(*this);
    hide();
    return code == 1 ? 1 : 0;
  } catch (const std::exception& e) {
    qCWarning(lcMainWindow).noquote() << QString::fromUtf8(e.what());
    return 0;
  }
}

void Image_Library::OK_Clicked() {
  if (selected_image.isEmpty() || !QFileInfo(selected_image).isFile()) {
    Show_MessageBox(QStringLiteral("Please select image."));
    return;
  }
  // Decoded once: the card that takes the picture finds it held here.
  CheckedPicture chosen = loadCheckedPictureFile(selected_image);
  if (!chosen.problem.isEmpty()) {
    Show_MessageBox(chosen.problem);
    return;
  }
  chosen_picture = std::move(chosen.image);
  done(1);
}

void Image_Library::Cancel_Clicked() {
  selected_image.clear();
  chosen_picture = QImage();
  done(0);
}

void Image_Library::Fill_Combobox() {
  const QSignalBlocker quiet(cat_cmbo_bx);
  cat_cmbo_bx->clear();
  const QDir folder(libraryFolder());
  for (const QFileInfo& entry : folder.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
    // The combo shows the capitalised name; the folder keeps its own.
    cat_cmbo_bx->addItem(capitalisedCategoryName(entry.fileName()), entry.fileName());
  if (cat_cmbo_bx->count() > 0) cat_cmbo_bx->setCurrentIndex(0);
}

void Image_Library::categoryChosen() {
  try {
    const QString name = cat_cmbo_bx->currentData().toString();
    if (name.isEmpty()) return;
    const QString folder = libraryFolder() + QLatin1Char('/') + name;
    if (!QFileInfo(folder).isDir()) return;
    fillFromFolder(folder);
  } catch (const std::exception& e) {
    qCWarning(lcMainWindow).noquote() << QString::fromUtf8(e.what());
  }
}

void Image_Library::Load_and_fill_backgrounds() {
  const QString folder = Resource_Path() + QStringLiteral("/Background");
  if (QFileInfo(folder).isDir()) fillFromFolder(folder);
}

namespace {

// Calls `each` with every PNG and JPEG entry of a folder, by name, and why it
// cannot be used (empty for a usable picture), told without decoding it.
// Pipes, devices and dangling links are listed too, to be named.
template <typename Each>
void forEachPictureEntry(const QString& folder, Each each) {
  const QDir::Filters entries = QDir::Files | QDir::Hidden | QDir::System;
  for (const QFileInfo& entry : QDir(folder).entryInfoList(entries, QDir::Name)) {
    const QString suffix = entry.suffix().toLower();
    if (suffix != QLatin1String("png") && suffix != QLatin1String("jpg")) continue;
    each(entry.filePath(), pictureFileProblem(entry.filePath()));
  }
}

}  // namespace

QStringList pictureFilesOf(const QString& folder, QStringList* unreadable) {
  QStringList paths;
  forEachPictureEntry(folder, [&](const QString& path, const QString& problem) {
    if (problem.isEmpty())
      paths << path;
    else if (unreadable)
      *unreadable << problem;
  });
  return paths;
}

void fillNamingUnreadablePictures(PictureItemModel& model, const QString& folder) {
  model.clear();
  forEachPictureEntry(folder, [&](const QString& path, const QString& problem) {
    const QString name = QFileInfo(path).fileName();
    MyImageObject item = MyImageObject::initWithImage_Path(path, name, name);
    item.problem = problem;
    model.append(item);
  });
}

void addImageWithPath(PictureItemModel& model, const QString& path, const QString& name, const QString& uid) {
  const QString trimmed = path.trimmed();
  if (trimmed.isEmpty()) return;
  model.append(MyImageObject::initWithImage_Path(trimmed, name, uid));
}

void fillWithPicturesOf(PictureItemModel& model, const QString& folder, QStringList* unreadable) {
  model.clear();
  for (const QString& path : pictureFilesOf(folder, unreadable)) {
    const QString name = QFileInfo(path).fileName();
    addImageWithPath(model, path, name, name);
  }
}

void Image_Library::fillFromFolder(const QString& folder) {
  QStringList unreadable;
  fillWithPicturesOf(*imageBrowser->pictureModel(), folder, &unreadable);
  if (!unreadable.isEmpty()) Show_MessageBox(unreadable.join(QLatin1Char('\n')));
}

void Image_Library::addImageWithPath(const QString& path, const QString& name, const QString& uid) {
  ::addImageWithPath(*imageBrowser->pictureModel(), path, name, uid);
}
