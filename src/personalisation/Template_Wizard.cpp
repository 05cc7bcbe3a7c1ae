#include "personalisation/Template_Wizard.h"

#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include "core/PictureFile.h"
#include "data/dialogs/DialogParts.h"
#include "personalisation/Export_Template.h"
#include "personalisation/ProfileFill.h"
#include "personalisation/ProfileHost.h"
#include "personalisation/TemplateStore.h"
#include "personalisation/globals.h"
#include "platform/MessageHost.h"
#include "platform/Messages.h"
#include "platform/widgets/PictureBrowser.h"

Template_Wizard& Template_Wizard::defaultInstance() {
  return dialog_parts::singleton<Template_Wizard>([] { return new Template_Wizard; });
}

Template_Wizard::Template_Wizard(QWidget* parent) : QDialog(parent) {
  dialog_parts::setUpDialog(*this, tr("Templates"));
  setObjectName(QStringLiteral("Template_Wizard"));
  cat_cmbo_bx = new QComboBox(this);
  cat_cmbo_bx->setAccessibleName(tr("Category"));
  cat_cmbo_bx->addItems({tr("Built-in Templates"), tr("My Templates")});
  _zoom_slider = new QSlider(Qt::Horizontal, this);
  _zoom_slider->setAccessibleName(tr("Zoom"));
  _zoom_slider->setRange(0, 100);
  _zoom_slider->setMaximumWidth(160);
  imageBrowser = new PictureBrowser(this);
  imageBrowser->setAccessibleName(tr("Templates"));
  imageBrowser->setSelectionMode(QAbstractItemView::SingleSelection);
  Delete_temp_btn = dialog_parts::button(this, tr("Delete"));
  Copy_temp_btn = dialog_parts::button(this, tr("Copy"));
  Rename_temp_btn = dialog_parts::button(this, tr("Rename…"));
  Rename_temp_btn->setAccessibleName(tr("Rename"));
  profile_btn = dialog_parts::button(this, tr("User Profile…"));
  profile_btn->setAccessibleName(tr("User Profile"));

  auto* top = new QHBoxLayout;
  top->addWidget(dialog_parts::label(this, tr("Category:")));
  top->addWidget(cat_cmbo_bx);
  top->addStretch(1);
  top->addWidget(dialog_parts::label(this, tr("Zoom:")));
  top->addWidget(_zoom_slider);
  auto* fileButtons = new QHBoxLayout;
  fileButtons->addWidget(Delete_temp_btn);
  fileButtons->addWidget(Copy_temp_btn);
  fileButtons->addWidget(Rename_temp_btn);
  fileButtons->addStretch(1);
  auto* buttons = dialog_parts::okCancelRow(this, &ok_btn, &cancel_btn);
  buttons->insertWidget(0, profile_btn);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(imageBrowser, 1);
  layout->addLayout(fileButtons);
  layout->addLayout(buttons);
  resize(720, 520);

  connect(cat_cmbo_bx, &QComboBox::currentIndexChanged, this, &Template_Wizard::categoryChanged);
  connect(_zoom_slider, &QSlider::valueChanged, this, &Template_Wizard::zoomSliderDidChange);
  connect(imageBrowser, &PictureBrowser::imageBrowserSelectionDidChange, this, [](const QString& path) {
    if (!path.isEmpty()) Selected_Template_Path = path;
  });
  connect(imageBrowser, &QAbstractItemView::doubleClicked, this, &Template_Wizard::OK_Click);
  connect(Delete_temp_btn, &QPushButton::clicked, this, &Template_Wizard::Delete_Template_Click);
  connect(Copy_temp_btn, &QPushButton::clicked, this, &Template_Wizard::Copy_Templatee_Click);
  connect(Rename_temp_btn, &QPushButton::clicked, this, &Template_Wizard::Rename_Template_Click);
  connect(profile_btn, &QPushButton::clicked, this, &Template_Wizard::User_Profile_Click);
  connect(ok_btn, &QPushButton::clicked, this, &Template_Wizard::OK_Click);
  connect(cancel_btn, &QPushButton::clicked, this, &Template_Wizard::CancelClick);
}

int Template_Wizard::Open_Template_Window() {
  try {
    {
      const QSignalBlocker block(cat_cmbo_bx);
      cat_cmbo_bx->setCurrentIndex(0);
    }
    Show_Hide_Template_Buttons(true);
    imageBrowser->pictureModel()->clear();
    _zoom_slider->setValue(60);
    zoomSliderDidChange(60);
    Fill_Templates();
    setResult(0);
    return platform::messageHost().runModal(*this);
  } catch (const std::exception& e) {
    qCWarning(lcPersonalisation).noquote() << QString::fromUtf8(e.what());
    return 0;
  }
}

void Template_Wizard::categoryChanged(int index) {
  if (index == 0) {
    Fill_Templates();
    Show_Hide_Template_Buttons(true);
  } else {
    Fill_Templates_User_Defined();
    Show_Hide_Template_Buttons(false);
  }
}

void Template_Wizard::Show_Hide_Template_Buttons(bool hide) {
  for (QPushButton* b : {Delete_temp_btn, Copy_temp_btn, Rename_temp_btn}) b->setVisible(!hide);
}

void Template_Wizard::zoomSliderDidChange(int value) {
  imageBrowser->setZoomValue(value / 100.0);
}

void Template_Wizard::Fill_Templates() {
  fill(templates::builtInFolder(), false);
}

void Template_Wizard::Fill_Templates_User_Defined() {
  fill(templates::userFolder(), true);
}

void Template_Wizard::fill(const QString& folder, bool user) {
  qCDebug(lcPersonalisation).noquote() << "templates of" << folder;
  PictureItemModel* model = imageBrowser->pictureModel();
  model->clear();
  // A category without templates shows nothing, and nothing is chosen.
  Selected_Template_Path.clear();
  for (const QString& path : templates::Picture_Files(folder)) {
    const QString name = QFileInfo(path).fileName();
    const QString uid = user ? QStringLiteral("TEMP%1.png").arg(User_Defined_File++) : name;
    MyImageObject item = MyImageObject::initWithImage_Path(path, name, uid);
    // A template that cannot be opened says why where it is listed.
    item.problem = templates::Template_Problem(path);
    model->append(item);
  }
  if (model->rowCount() > 0) {
    imageBrowser->selectionModel()->clearSelection();
    imageBrowser->setCurrentIndex(model->index(0));
  }
}

QString Template_Wizard::checkedChoice(bool readable) {
  const QString preview = Selected_Template_Path;
  const QFileInfo info(preview);
  if (preview.isEmpty() || (!info.exists() && !info.isSymLink())) {
    Show_MessageBox(QStringLiteral("Please select template."));
    return QString();
  }
  if (const QString problem = pictureFileProblem(preview); readable && !problem.isEmpty()) {
    Show_MessageBox(problem);
    return QString();
  }
  return preview;
}

void Template_Wizard::OK_Click() {
  const QString preview = checkedChoice(true);
  if (preview.isEmpty()) return;
  // A template is its design and its picture: both must be readable.
  if (const QString problem = templates::Template_Problem(preview); !problem.isEmpty()) {
    Show_MessageBox(problem);
    return;
  }
  profileHost().Set_Card_Shape(0);
  Selected_Template_Path = templates::Design_Path_For_Preview(preview);
  done(1);
}

void Template_Wizard::CancelClick() {
  Selected_Template_Path.clear();
  profileHost().Set_Card_Shape(0);
  done(0);
}

void Template_Wizard::askAndChange(const QString& question, const QString& failure,
                                   templates::Outcome (*change)(const QString&), bool readable) {
  const QString preview = checkedChoice(readable);
  if (preview.isEmpty() || !templates::Is_User_Template(preview)) return;
  if (!Show_YES_NO_MessageBox(question)) return;
  if (change(preview) == templates::Outcome::Failed) Show_MessageBox(failure);
  Fill_Templates_User_Defined();
}

void Template_Wizard::Delete_Template_Click() {
  askAndChange(QStringLiteral("Do you want to delete this template?"),
               QStringLiteral("The template could not be deleted."), &templates::Delete_Template, false);
}

void Template_Wizard::Copy_Templatee_Click() {
  askAndChange(
      QStringLiteral("Do you want to make copy of this template?"),
      QStringLiteral("The template could not be copied."),
      [](const QString& preview) { return templates::Copy_Template(preview); }, true);
}

void Template_Wizard::Rename_Template_Click() {
  const QString preview = checkedChoice(true);
  if (preview.isEmpty() || !templates::Is_User_Template(preview)) return;
  const QString oldName = QFileInfo(preview).completeBaseName();
  Export_Template& panel = Export_Template::defaultInstance();
  if (panel.Run_Name_Panel(oldName, oldName) != 1) return;
  const templates::Outcome outcome = templates::Rename_Template(preview, panel.export_template_name);
  if (outcome == templates::Outcome::Unchanged) return;
  if (outcome != templates::Outcome::Done)
    Show_MessageBox(QStringLiteral("The template could not be renamed."));
  Fill_Templates_User_Defined();
}

void Template_Wizard::User_Profile_Click() {
  Open_User_Profile_Window(false, QString());
}
