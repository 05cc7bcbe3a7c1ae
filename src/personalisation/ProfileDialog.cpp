#include "personalisation/ProfileDialog.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <stdexcept>

#include "canvas/SKTGraphicView.h"
#include "canvas/SKTGrid.h"
#include "core/PictureFile.h"
#include "core/globals.h"
#include "core/render/SKTRenderingView.h"
#include "data/DataSeriesStore.h"
#include "data/DataSourceTable.h"
#include "data/WorkFolder.h"
#include "data/dialogs/Data_From_Excel.h"
#include "data/dialogs/DialogParts.h"
#include "data/dialogs/Import_Excel.h"
#include "data/dialogs/View_Data_Series.h"
#include "personalisation/ProfileFill.h"
#include "personalisation/ProfileHost.h"
#include "personalisation/ProfileSources.h"
#include "personalisation/UserProfiles.h"
#include "personalisation/globals.h"
#include "platform/FileHelpers.h"
#include "platform/MessageHost.h"
#include "platform/Messages.h"
#include "platform/StringHelpers.h"

namespace {

constexpr int kPhotoRow = kUserProfileFieldCount - 1;
constexpr int kManual = 0, kSeries = 1, kExcel = 2;
const QSize kPreviewSize(300, 200);

const QString* const kCaptions[kUserProfileFieldCount] = {
    &Title_Name, &Title_Title, &Title_Company_name, &Title_slogan, &Title_address, &Title_phone,
    &Title_fax,  &Title_email, &Title_website,      &Title_unique, &Title_image};

QString captionWithoutColon(const QString& caption) {
  return Trim_Str(QString(caption).remove(QStringLiteral(" :")));
}

QComboBox* combo(QWidget* parent, const QString& name) {
  auto* box = new QComboBox(parent);
  box->setAccessibleName(name);
  box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  box->setMinimumContentsLength(10);
  return box;
}

DataSourceTable& excelTable() {
  return Data_From_Excel_Table();
}

}  // namespace

Show_User_Profile& Show_User_Profile::defaultInstance() {
  return dialog_parts::singleton<Show_User_Profile>([] { return new Show_User_Profile; });
}

User_profile& User_profile::defaultInstance() {
  return dialog_parts::singleton<User_profile>([] { return new User_profile; });
}

int Run_Profile_Dialog(const QString& load_side, bool load) {
  ProfileDialog& dialog = load_side.isEmpty()
                              ? static_cast<ProfileDialog&>(User_profile::defaultInstance())
                              : static_cast<ProfileDialog&>(Show_User_Profile::defaultInstance());
  dialog.load_side = load_side;
  return dialog.Open_Wnd(load);
}

ProfileDialog::ProfileDialog(bool general, QWidget* parent) : QDialog(parent), general_(general) {
  dialog_parts::setUpDialog(*this, tr("User Profile Information"));
  setObjectName(general ? QStringLiteral("User_profile") : QStringLiteral("Show_User_Profile"));
  build();
}

void ProfileDialog::build() {
  auto* grid = new QGridLayout;
  grid->addWidget(dialog_parts::label(this, tr("Value")), 0, 1);
  grid->addWidget(dialog_parts::label(this, tr("Source")), 0, 2);
  grid->addWidget(dialog_parts::label(this, tr("Series or column")), 0, 3);
  select_side_label = dialog_parts::label(this, tr("Side"));
  grid->addWidget(select_side_label, 0, 5);
  for (int i = 0; i < kUserProfileFieldCount; ++i) {
    Row& row = rows[i];
    const QString caption = captionWithoutColon(*kCaptions[i]);
    row.label = dialog_parts::label(this, *kCaptions[i]);
    row.value = dialog_parts::lineEdit(this, caption);
    row.value->setMinimumWidth(i == kPhotoRow ? 120 : 260);
    row.ds_combo = combo(this, tr("%1 source").arg(caption));
    row.ds_combo->addItems({tr("Manual"), tr("Series")});
    row.ser_col_cb = combo(this, tr("%1 series or column").arg(caption));
    row.view_btn = dialog_parts::button(this, tr("View"));
    row.view_btn->setAccessibleName(tr("View %1 series").arg(caption));
    row.side_combo = combo(this, tr("%1 side").arg(caption));
    row.side_combo->addItems({tr("Front"), tr("Back"), tr("Both sides")});
    const int r = i + 1;
    grid->addWidget(row.label, r, 0);
    if (i == kPhotoRow) {
      row.value->setReadOnly(true);
      row.value->setAccessibleName(tr("Photo file"));
      browse_pic_btn = dialog_parts::button(this, tr("Browse…"));
      browse_pic_btn->setAccessibleName(tr("Browse photo"));
      clear_pic_btn = dialog_parts::button(this, tr("Clear"));
      clear_pic_btn->setAccessibleName(tr("Clear photo"));
      auto* photo = new QHBoxLayout;
      photo->addWidget(row.value, 1);
      photo->addWidget(browse_pic_btn);
      photo->addWidget(clear_pic_btn);
      grid->addLayout(photo, r, 1);
      connect(browse_pic_btn, &QPushButton::clicked, this, &ProfileDialog::Browse_image_Btn_Clicked);
      connect(clear_pic_btn, &QPushButton::clicked, this, &ProfileDialog::Clear_image_Btn_Clicked);
    } else {
      grid->addWidget(row.value, r, 1);
    }
    grid->addWidget(row.ds_combo, r, 2);
    grid->addWidget(row.ser_col_cb, r, 3);
    grid->addWidget(row.view_btn, r, 4);
    grid->addWidget(row.side_combo, r, 5);
    connect(row.ds_combo, &QComboBox::currentIndexChanged, this, [this, i] { sourceChanged(i); });
    connect(row.ser_col_cb, &QComboBox::currentIndexChanged, this, [this, i] { listChanged(i); });
    connect(row.view_btn, &QPushButton::clicked, this, [this, i] { View_Data_Series_By_Name(i); });
  }
  grid->setColumnStretch(1, 1);

  auto* excelRow = new QHBoxLayout;
  excel_path_field = dialog_parts::lineEdit(this, tr("Spreadsheet file"));
  excel_browse_btn = dialog_parts::button(this, tr("Browse…"));
  excel_browse_btn->setAccessibleName(tr("Browse spreadsheet"));
  view_excel_btn = dialog_parts::button(this, tr("View Table"));
  excelRow->addWidget(dialog_parts::label(this, tr("Spreadsheet:")));
  excelRow->addWidget(excel_path_field, 1);
  excelRow->addWidget(excel_browse_btn);
  excelRow->addWidget(view_excel_btn);

  user_picture = new QLabel(this);
  user_picture->setAccessibleName(tr("Photo"));
  user_picture->setFixedSize(120, 120);
  user_picture->setFrameShape(QFrame::StyledPanel);
  user_picture->setAlignment(Qt::AlignCenter);
  Preivew_picture = new QLabel(this);
  Preivew_picture->setAccessibleName(tr("Preview"));
  Preivew_picture->setFixedSize(kPreviewSize);
  Preivew_picture->setFrameShape(QFrame::StyledPanel);
  Preivew_picture->setAlignment(Qt::AlignCenter);
  Template_picture = new QLabel(this);
  Template_picture->setAccessibleName(tr("Card at opening"));
  Template_picture->setFixedSize(kPreviewSize);
  Template_picture->setFrameShape(QFrame::StyledPanel);
  Template_picture->setAlignment(Qt::AlignCenter);
  Template_picture->setVisible(general_);
  auto* pictures = new QVBoxLayout;
  pictures->addWidget(dialog_parts::label(this, tr("Photo")));
  pictures->addWidget(user_picture);
  pictures->addWidget(dialog_parts::label(this, tr("Preview")));
  pictures->addWidget(Preivew_picture);
  pictures->addWidget(Template_picture);
  pictures->addStretch(1);

  auto* top = new QHBoxLayout;
  auto* fields = new QVBoxLayout;
  fields->addLayout(grid);
  fields->addLayout(excelRow);
  top->addLayout(fields, 1);
  top->addLayout(pictures);

  batch_series_btn = dialog_parts::button(this, tr("Data Series…"));
  batch_series_btn->setAccessibleName(tr("Data Series"));
  help_btn = dialog_parts::button(this, tr("Help"));
  reset_btn = dialog_parts::button(this, tr("Reset"));
  preview_btn = dialog_parts::button(this, tr("Preview"));
  auto* buttons = dialog_parts::okCancelRow(this, &ok_btn, &cancel_btn);
  buttons->insertWidget(0, batch_series_btn);
  buttons->insertWidget(1, help_btn);
  buttons->insertWidget(2, reset_btn);
  buttons->insertWidget(3, preview_btn);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(buttons);

  connect(excel_browse_btn, &QPushButton::clicked, this, &ProfileDialog::Browse_excel_Btn_Clicked);
  connect(view_excel_btn, &QPushButton::clicked, this, &ProfileDialog::View_Excel_Btn_Clicked);
  connect(batch_series_btn, &QPushButton::clicked, this, [this] {
    profileHost().Batch_Series_Button();
    showCurrentSourceValues();
  });
  connect(help_btn, &QPushButton::clicked, this, [] { Open_Help_File(); });
  connect(reset_btn, &QPushButton::clicked, this, &ProfileDialog::Reset_Btn_Clicked);
  connect(preview_btn, &QPushButton::clicked, this, &ProfileDialog::Preview_Btn_Clicked);
  connect(ok_btn, &QPushButton::clicked, this, &ProfileDialog::OK_Btn_Clicked);
  connect(cancel_btn, &QPushButton::clicked, this, &ProfileDialog::Cancel_Btn_Clicked);
  // A cell corrected in the table window or another workbook chosen.
  const DataSourceTable* table = &excelTable();
  const auto follow = [this] {
    if (isVisible()) showCurrentSourceValues();
  };
  connect(table, &QAbstractItemModel::dataChanged, this, follow);
  connect(table, &QAbstractItemModel::modelReset, this, follow);
  Reset_all_Ctrl();
}

// ---------------------------------------------------------------- opening

int ProfileDialog::Open_Wnd(bool load) {
  try {
    bindingAtOpening_ = SpreadsheetBinding::current(excelTable(), profileHost());
    const auto runEnds = qScopeGuard([this] { bindingAtOpening_.reset(); });
    Graphics_array.clear();
    // Every opening shows the design's workbook, which OK stores again.
    excel_path_field->setText(profileHost().Excel_Source_Path());
    if (load) {
      Reset_all_Ctrl();
      select_side_label->setVisible(false);
      for (Row& row : rows) row.side_combo->setVisible(false);
      const bool back = Card_Front_Or_Back.load() == 1;
      setWindowTitle(back ? tr("Back Side User Profile Information")
                          : tr("Front Side User Profile Information"));
      if (SKTGraphicView* view = profileHost().Side_View(back ? CardSide::Back : CardSide::Front))
        Graphics_array = view->graphics();
      Create_and_Set_Preview_picture();
      if (general_) {
        showPicture(Template_picture, previewImage);
        for (Row& row : rows) row.side_combo->setCurrentIndex(back ? 1 : 0);
      }
      if (excelTable().hasRows()) Add_Excel_in_Data_Source_Combo();
      loadFromSide(Graphics_array);
    } else {
      setWindowTitle(tr("User Profile Information"));
      select_side_label->setVisible(general_);
      for (Row& row : rows) row.side_combo->setVisible(general_);
      Reset_all_Ctrl();
    }
    setAccessibleName(windowTitle());
    rows[0].value->setFocus();
    setResult(0);
    return platform::messageHost().runModal(*this);
  } catch (const std::exception& e) {
    qCWarning(lcPersonalisation).noquote() << QString::fromUtf8(e.what());
    return 0;
  }
}

void ProfileDialog::loadFromSide(const SKTGraphicList& graphics) {
  const auto& fields = userProfileFields();
  for (const SKTGraphicPtr& graphic : graphics) {
    if (!graphic || (graphic->kind() != GraphicKind::Text && graphic->kind() != GraphicKind::Image)) continue;
    if (!graphic->ctrl_is_visible) continue;
    const QString id = Trim_Str(graphic->control_ID);
    if (id.isEmpty()) continue;
    for (int i = 0; i < kUserProfileFieldCount; ++i) {
      if (id != QLatin1String(fields[i].defaultId)) continue;
      Row& row = rows[i];
      row.ds_combo->setCurrentIndex(kManual);
      sourceChanged(i);
      row.value->setText(Profile_Object_Value(*graphic));
      if (graphic->data_source_type == kSeries) {
        row.ds_combo->setCurrentIndex(kSeries);
        // A series is found by its name; one that is gone leaves the list
        // without a choice, and OK then asks for one.
        const int at = row.ser_col_cb->findText(Trim_Str(graphic->batch_list_name), Qt::MatchExactly);
        row.ser_col_cb->setCurrentIndex(at);
      } else if (graphic->data_source_type == kExcel) {
        if (row.ds_combo->count() < 3) Add_Excel_in_Data_Source_Combo();
        row.ds_combo->setCurrentIndex(kExcel);
        const int column = graphic->excel_col_indx;
        row.ser_col_cb->setCurrentIndex(column >= 0 && column < row.ser_col_cb->count() ? column : -1);
      }
      break;
    }
  }
}

// ---------------------------------------------------------------- reset

void ProfileDialog::Reset_all_Ctrl() {
  profilePreview_ = false;
  Preivew_picture->clear();
  previewImage = QImage();
  Template_picture->clear();
  Set_User_Image(QString());
  for (int i = 0; i < kUserProfileFieldCount; ++i) {
    Row& row = rows[i];
    if (i != kPhotoRow) row.value->clear();
    row.ds_combo->setCurrentIndex(kManual);
    sourceChanged(i);
    row.ser_col_cb->setCurrentIndex(-1);
    if (general_) row.side_combo->setCurrentIndex(2);
  }
}

// ---------------------------------------------------------------- combo reactions

void ProfileDialog::sourceChanged(int i) {
  try {
    Row& row = rows[i];
    const int source = row.ds_combo->currentIndex();
    const bool manual = source <= kManual;
    if (i == kPhotoRow) {
      browse_pic_btn->setEnabled(manual);
      clear_pic_btn->setEnabled(manual);
    } else {
      row.value->setReadOnly(!manual);
    }
    row.ser_col_cb->setEnabled(!manual);
    row.view_btn->setEnabled(source == kSeries);
    const QSignalBlocker block(row.ser_col_cb);
    row.ser_col_cb->clear();
    if (source == kSeries)
      row.ser_col_cb->addItems(DataSeriesStore().Get_datasheet_File_Name_Array());
    else if (source >= kExcel)
      row.ser_col_cb->addItems(excelTable().columnTitles());
    row.ser_col_cb->setCurrentIndex(-1);
  } catch (const std::exception& e) {
    qCWarning(lcPersonalisation).noquote() << QString::fromUtf8(e.what());
  }
}

void ProfileDialog::listChanged(int i) {
  try {
    Row& row = rows[i];
    const QString item = row.ser_col_cb->currentText();
    if (row.ser_col_cb->currentIndex() < 0 || item.isEmpty()) return;
    const int source = row.ds_combo->currentIndex();
    if (source == kSeries)
      setRowValue(i, DataSeriesStore().Get_First_Value_Of_Dataset(item));
    else if (source == kExcel)
      setRowValue(i, DataSeriesStore::filledValue(excelTable().value(0, row.ser_col_cb->currentIndex())));
  } catch (const std::exception& e) {
    qCWarning(lcPersonalisation).noquote() << QString::fromUtf8(e.what());
  }
}

void ProfileDialog::showCurrentSourceValues() {
  const QStringList titles = excelTable().columnTitles();
  const QStringList series = DataSeriesStore().Get_datasheet_File_Name_Array();
  for (int i = 0; i < kUserProfileFieldCount; ++i) {
    QComboBox* list = rows[i].ser_col_cb;
    const int source = rows[i].ds_combo->currentIndex();
    if (source != kSeries && source != kExcel) continue;
    {
      // The lists follow too: a column by its place, a series by its name.
      const QSignalBlocker block(list);
      const int column = list->currentIndex();
      const QString name = list->currentText();
      list->clear();
      list->addItems(source == kSeries ? series : titles);
      list->setCurrentIndex(source == kSeries ? list->findText(name, Qt::MatchExactly)
                                              : (column < titles.size() ? column : -1));
    }
    listChanged(i);
  }
  if (profilePreview_) {
    if (Check_Validation() && Fill_TEMP_User_profile_value_in_Variable()) showProfilePreview();
  } else if (!Graphics_array.empty()) {
    Create_and_Set_Preview_picture();
  }
}

void ProfileDialog::setRowValue(int i, const QString& value) {
  if (i == kPhotoRow)
    Set_User_Image(value);
  else
    rows[i].value->setText(value);
}

void ProfileDialog::Add_Excel_in_Data_Source_Combo() {
  for (Row& row : rows)
    if (row.ds_combo->count() == 2) row.ds_combo->addItem(tr("Excel"));
}

void ProfileDialog::Remove_Excel_in_Data_Source_Combo() {
  for (Row& row : rows)
    if (row.ds_combo->count() == 3) row.ds_combo->removeItem(2);
}

// ---------------------------------------------------------------- validation and storing

bool ProfileDialog::Check_Validation() {
  checked_field_name.clear();
  for (int i = 0; i < kUserProfileFieldCount; ++i) {
    const int source = rows[i].ds_combo->currentIndex();
    if ((source == kSeries || source == kExcel) && rows[i].ser_col_cb->currentIndex() < 0) {
      checked_field_name = *kCaptions[i];
      return false;
    }
  }
  return true;
}

bool ProfileDialog::store(User_Profile_Class& profile, bool frontOrBack) {
  bool valid = false;
  try {
    valid = Check_Validation();
  } catch (const std::exception& e) {
    // A check that could not be made refuses: nothing half-checked is stored.
    qCWarning(lcPersonalisation).noquote() << QString::fromUtf8(e.what());
    Show_MessageBox(QStringLiteral("Please select the source"));
    return false;
  }
  if (!valid) {
    QString name = Trim_Str(checked_field_name);
    if (!name.isEmpty()) name = QStringLiteral(" for '%1'").arg(name.remove(QStringLiteral(" :")));
    Show_MessageBox(QStringLiteral("Please select the source") + name);
    return false;
  }
  if (frontOrBack) {
    profile.Fill_User_Profile_Enable = true;
    if (excelTable().hasRows()) {
      profile.Excel_Binding = true;
      // An emptied path field removes no workbook: the table is still bound.
      if (!Trim_Str(excel_path_field->text()).isEmpty())
        profileHost().Set_Excel_Source_Path(excel_path_field->text());
      profileHost().Set_Excel_Binding_Use(true);
    } else {
      profileHost().Set_Excel_Binding_Use(false);
      profile.Excel_Binding = false;
    }
  }
  // A bound field takes card 1's value as the source holds it now.
  for (int i = 0; i < kUserProfileFieldCount; ++i)
    if (rows[i].ds_combo->currentIndex() == kSeries || rows[i].ds_combo->currentIndex() == kExcel)
      listChanged(i);
  const auto& fields = userProfileFields();
  for (int i = 0; i < kUserProfileFieldCount; ++i) {
    const UserProfileField& field = fields[i];
    const Row& row = rows[i];
    profile.*field.value = row.value->text();
    const int source = row.ds_combo->currentIndex();
    const int item = row.ser_col_cb->currentIndex();
    if (source == kManual)
      Set_Field_Typed(profile, field);
    else if (source == kSeries && item >= 0)
      Set_Field_Series(profile, field, row.ser_col_cb->currentText(), item);
    else if (source == kExcel && item >= 0)
      Set_Field_Column(profile, field, item);
  }
  return true;
}

bool ProfileDialog::Fill_Front_User_profile_value_in_Variable() {
  return store(User_Profiles().Front_user_profile, true);
}

bool ProfileDialog::Fill_Back_User_profile_value_in_Variable() {
  return store(User_Profiles().Back_user_profile, true);
}

bool ProfileDialog::Fill_TEMP_User_profile_value_in_Variable() {
  return store(User_Profiles().TEMP_user_profile, false);
}

// ---------------------------------------------------------------- buttons

void ProfileDialog::OK_Btn_Clicked() {
  const QString side = Trim_Str(load_side);
  if (side != QLatin1String("B") && !Fill_Front_User_profile_value_in_Variable()) return;
  if ((side == QLatin1String("B") || side.isEmpty()) && !Fill_Back_User_profile_value_in_Variable()) return;
  done(1);
}

void ProfileDialog::Cancel_Btn_Clicked() {
  // A workbook browsed or a cell corrected in this run is not kept: the
  // design's table, and the workbook the saved design names, are those it
  // had before; so is the path a later OK would store.
  if (bindingAtOpening_) {
    bindingAtOpening_->restore(excelTable(), profileHost());
    excel_path_field->setText(bindingAtOpening_->path);
    if (!excelTable().hasRows()) Remove_Excel_in_Data_Source_Combo();
  }
  done(0);
}

void ProfileDialog::Preview_Btn_Clicked() {
  if (!Fill_TEMP_User_profile_value_in_Variable()) return;
  showProfilePreview();
}

void ProfileDialog::showProfilePreview() {
  ProfileHost& host = profileHost();
  SKTGraphicView* temp = host.Side_View(CardSide::Temp);
  SKTGraphicView* current = host.Side_View(Card_Front_Or_Back.load() == 1 ? CardSide::Back : CardSide::Front);
  if (!temp || !temp->document() || !current) return;
  // The temp side gets copies: the fill writes into them, never into the
  // objects of the side being designed.
  temp->document()->setGraphicsOfSide(CardSide::Temp, SKTGraphic::cloneGraphics(current->graphics()));
  Fill_User_profile_info_TEMP_side(User_Profiles().TEMP_user_profile, *temp);
  Graphics_array = temp->graphics();
  Create_and_Set_Preview_picture();
  profilePreview_ = true;
}

void ProfileDialog::showPicture(QLabel* view, const QImage& image) {
  if (image.isNull()) {
    view->clear();
    return;
  }
  view->setPixmap(QPixmap::fromImage(
      image.scaled(view->size() - QSize(4, 4), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void ProfileDialog::Create_and_Set_Preview_picture() {
  previewImage = SKTRenderingView::image_From_Card_Graphics(Graphics_array, false);
  showPicture(Preivew_picture, previewImage);
}

void ProfileDialog::Browse_excel_Btn_Clicked() {
  Delete_Excel_File_Temp_Folder();
  platform::FilePanelRequest request;
  request.title = tr("Choose a spreadsheet");
  request.nameFilters = {tr("Spreadsheets (*.xlsx *.XLSX)")};
  const QStringList chosen = platform::messageHost().openPanel(request);
  if (chosen.isEmpty()) return;
  // A file that is no workbook is named and changes nothing.
  if (const QString problem = SpreadsheetWriter::Workbook_Problem(chosen.first()); !problem.isEmpty()) {
    Show_MessageBox(problem);
    return;
  }
  const QString before = excel_path_field->text();
  excel_path_field->setText(chosen.first());
  if (dialog_parts::Check_And_Validate_File_Path(chosen.first())) return;
  Import_Excel& picker = Import_Excel::defaultInstance();
  picker.open_mode = QStringLiteral("E");
  // A workbook whose sheet cannot be read was named: nothing changes.
  if (!picker.Open_excel_Wnd(Trim_Str(chosen.first()))) {
    excel_path_field->setText(before);
    return;
  }
  if (excelTable().hasRows())
    Add_Excel_in_Data_Source_Combo();
  else
    Remove_Excel_in_Data_Source_Combo();
}

void ProfileDialog::View_Excel_Btn_Clicked() {
  Data_From_Excel::defaultInstance().Open_Wnd();
  showCurrentSourceValues();
}

void ProfileDialog::Browse_image_Btn_Clicked() {
  platform::FilePanelRequest request;
  request.title = tr("Choose a photo");
  request.nameFilters = {tr("Pictures (*.jpg *.jpeg *.jpe *.jfif *.gif *.bmp *.png *.tif *.tiff)")};
  const QStringList chosen = platform::messageHost().openPanel(request);
  if (chosen.isEmpty()) {
    Library_Selected_Image.set(QString());
    return;
  }
  // Decoded once: the photo shown below finds it held here.
  const CheckedPicture picture = loadCheckedPictureFile(chosen.first());
  if (!picture.problem.isEmpty()) {
    Show_MessageBox(picture.problem);
    return;
  }
  Set_User_Image(chosen.first());
}

void ProfileDialog::Clear_image_Btn_Clicked() {
  Set_User_Image(QString());
}

void ProfileDialog::Set_User_Image(const QString& path) {
  const QString trimmed = Trim_Str(path);
  rows[kPhotoRow].value->setText(trimmed);
  if (trimmed.isEmpty()) {
    user_picture->clear();
    return;
  }
  // The same reading as the photo on the card: turned as the camera says,
  // within the decoding limit.
  const QImage picture = loadPictureFile(trimmed);
  if (!picture.isNull()) showPicture(user_picture, picture);
}

void ProfileDialog::View_Data_Series_By_Name(int i) {
  View_Data_Series::defaultInstance().Open_Wnd(rows[i].ser_col_cb->currentText());
  showCurrentSourceValues();
}
