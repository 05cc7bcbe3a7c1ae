#include "data/dialogs/Import_Wizard.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "data/DataSeriesStore.h"
#include "data/WorkFolder.h"
#include "data/dialogs/BatchWizard.h"
#include "data/dialogs/DialogParts.h"
#include "data/dialogs/Import_Excel.h"
#include "data/dialogs/Import_Excel_DataSheet.h"
#include "data/dialogs/ListImport.h"
#include "data/dialogs/ProgressSheet.h"
#include "data/dialogs/SeriesWriting.h"
#include "platform/FileHelpers.h"
#include "platform/MessageHost.h"
#include "platform/Messages.h"
#include "platform/StringHelpers.h"
#include "platform/widgets/Controls.h"

Import_Wizard& Import_Wizard::defaultInstance() {
  return dialog_parts::singleton<Import_Wizard>([] { return new Import_Wizard(); });
}

Import_Wizard::Import_Wizard(QWidget* parent) : QDialog(parent) {
  dialog_parts::setUpDialog(*this, QStringLiteral("Import Wizard"));
  using dialog_parts::button;
  using dialog_parts::label;
  using dialog_parts::lineEdit;

  Excel_RD = dialog_parts::radioButton(this, QStringLiteral("Excel file (xlsx)"));
  Text_RD = dialog_parts::radioButton(this, QStringLiteral("Text, rich text or CSV file"));
  Mnul_RD = dialog_parts::radioButton(this, QStringLiteral("Paste or type values"));
  Image_RD = dialog_parts::radioButton(this, QStringLiteral("Picture folder"));
  oneChoice({Excel_RD, Text_RD, Mnul_RD, Image_RD});
  Excel_path = lineEdit(this, QStringLiteral("Excel file path"));
  Excel_btn = button(this, QStringLiteral("Browse..."));
  Excel_btn->setAccessibleName(QStringLiteral("Browse Excel file"));
  Text_path = lineEdit(this, QStringLiteral("Text file path"));
  Text_btn = button(this, QStringLiteral("Browse..."));
  Text_btn->setAccessibleName(QStringLiteral("Browse text file"));
  Text_file_name = lineEdit(this, QStringLiteral("Series name for the text file"));
  ManualEdit = new QPlainTextEdit(this);
  ManualEdit->setAccessibleName(QStringLiteral("Values, one per line"));
  ManualEdit->setPlaceholderText(QStringLiteral("One value per line"));
  Manual_file_name = lineEdit(this, QStringLiteral("Series name for the pasted values"));
  Image_path = lineEdit(this, QStringLiteral("Picture folder path"));
  Image_btn = button(this, QStringLiteral("Browse..."));
  Image_btn->setAccessibleName(QStringLiteral("Browse picture folder"));
  Image_file_name = lineEdit(this, QStringLiteral("Series name for the picture folder"));

  auto* grid = new QGridLayout;
  int row = 0;
  grid->addWidget(Excel_RD, row++, 0, 1, 3);
  grid->addWidget(label(this, QStringLiteral("File:")), row, 0);
  grid->addWidget(Excel_path, row, 1);
  grid->addWidget(Excel_btn, row++, 2);
  grid->addWidget(Text_RD, row++, 0, 1, 3);
  grid->addWidget(label(this, QStringLiteral("File:")), row, 0);
  grid->addWidget(Text_path, row, 1);
  grid->addWidget(Text_btn, row++, 2);
  grid->addWidget(label(this, QStringLiteral("Series name:")), row, 0);
  grid->addWidget(Text_file_name, row++, 1);
  grid->addWidget(Mnul_RD, row++, 0, 1, 3);
  grid->addWidget(ManualEdit, row++, 1, 1, 2);
  grid->addWidget(label(this, QStringLiteral("Series name:")), row, 0);
  grid->addWidget(Manual_file_name, row++, 1);
  grid->addWidget(Image_RD, row++, 0, 1, 3);
  grid->addWidget(label(this, QStringLiteral("Folder:")), row, 0);
  grid->addWidget(Image_path, row, 1);
  grid->addWidget(Image_btn, row++, 2);
  grid->addWidget(label(this, QStringLiteral("Series name:")), row, 0);
  grid->addWidget(Image_file_name, row++, 1);

  auto* help = button(this, QStringLiteral("Help"));
  QPushButton *ok = nullptr, *cancel = nullptr;
  QHBoxLayout* buttons = dialog_parts::okCancelRow(this, &ok, &cancel);
  buttons->insertWidget(0, help);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(buttons);
  resize(560, 520);

  onChosen(Excel_RD, this, [this] { Excel_RD_Pressed(); });
  onChosen(Text_RD, this, [this] { Text_RD_Pressed(); });
  onChosen(Mnul_RD, this, [this] { Manual_RD_Pressed(); });
  onChosen(Image_RD, this, [this] { Image_RD_Pressed(); });
  connect(Excel_btn, &QPushButton::clicked, this, &Import_Wizard::Browse_Excel_Pressed);
  connect(Text_btn, &QPushButton::clicked, this, &Import_Wizard::Browse_Text_Pressed);
  connect(Image_btn, &QPushButton::clicked, this, &Import_Wizard::Browse_Image_Pressed);
  connect(help, &QPushButton::clicked, this, &Import_Wizard::HelpPressed);
  connect(ok, &QPushButton::clicked, this, &Import_Wizard::OKPressed);
  connect(cancel, &QPushButton::clicked, this, &Import_Wizard::CancelPressed);
  dialog_parts::tabInReadingOrder(*this);
}

void Import_Wizard::Open_Wnd() {
  try {
    Check_Path_And_Create_Files();
    for (QLineEdit* field :
         {Excel_path, Text_path, Image_path, Text_file_name, Manual_file_name, Image_file_name})
      field->clear();
    ManualEdit->clear();
    chooseSource(0);
    const bool named = file_name_required == 1;
    for (QLineEdit* field : {Text_file_name, Manual_file_name, Image_file_name}) field->setVisible(named);
    for (QLabel* caption : findChildren<QLabel*>())
      if (caption->text() == QStringLiteral("Series name:")) caption->setVisible(named);
    platform::messageHost().runModal(*this);
    hide();
  } catch (const std::exception& e) {
    Show_NSLog_Message(QString::fromUtf8(e.what()));
  }
}

void Import_Wizard::chooseSource(int option) {
  import_option = option;
  QRadioButton* const radios[] = {Excel_RD, Text_RD, Mnul_RD, Image_RD};
  for (int i = 0; i < 4; ++i) showChecked(radios[i], i == option);
  Excel_btn->setEnabled(option == 0);
  Excel_path->setEnabled(option == 0);
  for (QWidget* w : std::initializer_list<QWidget*>{Text_btn, Text_path, Text_file_name})
    w->setEnabled(option == 1);
  ManualEdit->setReadOnly(option != 2);
  ManualEdit->setEnabled(option == 2);
  Manual_file_name->setEnabled(option == 2);
  for (QWidget* w : std::initializer_list<QWidget*>{Image_btn, Image_path, Image_file_name})
    w->setEnabled(option == 3);
  QLineEdit* name = option == 1   ? Text_file_name
                    : option == 2 ? Manual_file_name
                    : option == 3 ? Image_file_name
                                  : nullptr;
  if (name != nullptr && Trim_Str(name->text()).isEmpty()) name->setText(QStringLiteral("Untitled"));
}

void Import_Wizard::Excel_RD_Pressed() {
  chooseSource(0);
}

void Import_Wizard::Text_RD_Pressed() {
  chooseSource(1);
}

void Import_Wizard::Manual_RD_Pressed() {
  chooseSource(2);
}

void Import_Wizard::Image_RD_Pressed() {
  chooseSource(3);
}

void Import_Wizard::Browse_Excel_Pressed() {
  Delete_Excel_File_Temp_Folder();
  platform::FilePanelRequest request;
  request.title = QStringLiteral("Choose an Excel file");
  request.nameFilters = {QStringLiteral("Excel Workbook (*.xlsx *.XLSX)")};
  const QStringList chosen = platform::messageHost().openPanel(request);
  if (chosen.isEmpty()) return;
  Excel_path->setText(chosen.first());
  OKPressed();
}

void Import_Wizard::Browse_Text_Pressed() {
  platform::FilePanelRequest request;
  request.title = QStringLiteral("Choose a text file");
  request.nameFilters = {QStringLiteral("Text, rich text or CSV (*.txt *.TXT *.rtf *.RTF *.csv *.CSV)")};
  const QStringList chosen = platform::messageHost().openPanel(request);
  if (chosen.isEmpty()) return;
  Text_path->setText(chosen.first());
  OKPressed();
}

void Import_Wizard::Browse_Image_Pressed() {
  platform::FilePanelRequest request;
  request.title = QStringLiteral("Choose a picture folder");
  request.chooseFolders = true;
  const QStringList chosen = platform::messageHost().openPanel(request);
  if (chosen.isEmpty()) return;
  Image_path->setText(chosen.first());
  OKPressed();
}

void Import_Wizard::HelpPressed() {
  Open_Help_File();
}

void Import_Wizard::OKPressed() {
  switch (import_option) {
    case 0: {
      if (dialog_parts::Check_And_Validate_File_Path(Excel_path->text())) return;
      const QString path = Trim_Str(Excel_path->text());
      bool shown = false;
      if (file_name_required == 1) {
        Import_Excel_DataSheet& columns = Import_Excel_DataSheet::defaultInstance();
        columns.file_name_Insert = file_name_Insert;
        shown = columns.Open_excel_Wnd(path);
      } else {
        Import_Excel& picker = Import_Excel::defaultInstance();
        picker.open_mode = QStringLiteral("D");
        shown = picker.Open_excel_Wnd(path);
      }
      // A file that is no workbook was named; another can be chosen.
      if (shown) done(1);
      return;
    }
    case 1:
      if (dialog_parts::Check_And_Validate_File_Path(Text_path->text())) return;
      if (Create_And_Save_Text_Data_Sheet(Trim_Str(Text_path->text()))) done(1);
      return;
    case 2:
      if (Create_And_Save_Manual_Paste_data_Sheet()) done(1);
      return;
    case 3:
      if (dialog_parts::Check_And_Validate_File_Path(Image_path->text())) return;
      if (Create_And_Save_Image_data_Sheet(Trim_Str(Image_path->text()))) done(1);
      return;
  }
}

bool Import_Wizard::deliver(const QString& typedName, const SeriesValues& values) {
  if (series_writing::refuseOverLimit(values)) return false;
  if (file_name_required == 1) {
    const DataSeriesStore store;
    const QString name = series_writing::acceptTypedName(store, typedName);
    if (name.isEmpty() || !series_writing::writeOnWorker(this, store, name, values)) return false;
  } else {
    BatchWizard::defaultInstance().appendValues(values.toList());
  }
  afterImport();
  return true;
}

void Import_Wizard::afterImport() {
  if (file_name_Insert == 1) BatchWizard::defaultInstance().Fill_List();
}

bool Import_Wizard::Create_And_Save_Text_Data_Sheet(const QString& path) {
  SeriesValues values;
  list_import::SourceFailure failure = list_import::SourceFailure::None;
  if (!runWithProgress(this, [&](TaskProgress& progress) {
        failure = list_import::valuesFromFile(path, values, &progress.cancelled);
      }))
    return false;
  if (failure != list_import::SourceFailure::None) {
    Show_MessageBox(list_import::failureMessage(failure));
    return false;
  }
  return deliver(Text_file_name->text(), values);
}

bool Import_Wizard::Create_And_Save_Manual_Paste_data_Sheet() {
  const QString text = ManualEdit->toPlainText();
  if (Trim_Str(text).isEmpty()) {
    Show_MessageBox(QStringLiteral("Please enter some data."));
    return false;
  }
  // A series file keeps each non-empty line as typed; the manager's list trims them.
  SeriesValues values;
  list_import::pastedValues(text, file_name_required == 1, values);
  return deliver(Manual_file_name->text(), values);
}

bool Import_Wizard::Create_And_Save_Image_data_Sheet(const QString& folder) {
  SeriesValues values;
  if (!runWithProgress(this, [&](TaskProgress&) { list_import::picturePaths(folder, values); })) return false;
  return deliver(Image_file_name->text(), values);
}
