#pragma once
// Image_Library: the picture library. In mode "C" it offers the pictures of
// one category folder of "LibraryImage" (the category combo lists the
// folders); in any other mode the card backgrounds of "Background". OK
// accepts only an existing picture file. Files of the folder shown that
// cannot be read or are no pictures are named, with the reason, when it is
// filled.

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QSlider>

#include "platform/widgets/PictureBrowser.h"

class Image_Library : public QDialog {
  Q_OBJECT
 public:
  // The one library dialog, made on first use (GUI thread).
  static Image_Library& defaultInstance();

  // "C" pictures for card objects, anything else card backgrounds.
  QString control_or_BG = QStringLiteral("C");
  // The picture chosen, "" when none.
  QString selected_image;
  // Its picture, decoded when OK accepted it and held until the next opening,
  // so that the card that takes it does not decode it again.
  QImage chosen_picture;

  // Runs the library window-modal over `owner`: 1 OK, 0 Cancel.
  int Open_Library_Window(QWidget* owner = nullptr);
  void OK_Clicked();
  void Cancel_Clicked();
  // Escape and the window's close button answer as Cancel does.
  void reject() override { Cancel_Clicked(); }
  // The category folders, named with each word capitalised.
  void Fill_Combobox();
  // Fills the browser with the pictures of the chosen category.
  void categoryChosen();
  void Load_and_fill_backgrounds();
  void addImageWithPath(const QString& path, const QString& name, const QString& uid);

  PictureBrowser* imageBrowser = nullptr;
  QSlider* _zoom_slider = nullptr;
  QComboBox* cat_cmbo_bx = nullptr;
  QLabel* category_label = nullptr;

 private:
  explicit Image_Library(QWidget* parent = nullptr);
  // Fills the browser with the PNG and JPEG pictures of a folder, by name.
  void fillFromFolder(const QString& folder);
};

// The PNG and JPEG pictures of a folder (extension in any case), by name.
// Those that cannot be used (a pipe, a device, no permission, no picture, a
// damaged or incomplete one) are left out, each named with the reason in
// *unreadable (pictureFileProblem, which decodes nothing).
QStringList pictureFilesOf(const QString& folder, QStringList* unreadable = nullptr);
// Adds an item to a browser: the trimmed path, named by the name; nothing
// for an empty path.
void addImageWithPath(PictureItemModel& model, const QString& path, const QString& name, const QString& uid);
// Empties a browser and lists the pictures of a folder, each named by its
// file name; *unreadable as for pictureFilesOf.
void fillWithPicturesOf(PictureItemModel& model, const QString& folder, QStringList* unreadable = nullptr);
// Empties a browser and lists every PNG and JPEG file of a folder by name,
// also those that cannot be used: each of those says why as its tooltip.
void fillNamingUnreadablePictures(PictureItemModel& model, const QString& folder);

// A folder name with each word capitalised, as the category combo shows it.
QString capitalisedCategoryName(const QString& folderName);
