#include "data/dialogs/BatchWizard.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "data/DataSeriesStore.h"
#include "data/SeriesValues.h"
#include "data/SpreadsheetWriter.h"
#include "data/dialogs/DialogParts.h"
#include "data/dialogs/Generate_List.h"
#include "data/dialogs/Import_Wizard.h"
#include "data/dialogs/ProgressSheet.h"
#include "data/dialogs/SeriesWriting.h"
#include "data/dialogs/ValueListModel.h"
#include "platform/FileHelpers.h"
#include "platform/MessageHost.h"
#include "platform/Messages.h"
#include "platform/SavedFile.h"
#include "platform/StringHelpers.h"
#include "platform/widgets/Open_Export_Log.h"

BatchWizard* BatchWizard_Window = nullptr;

namespace {

const QString kListEmpty = QStringLiteral("List is empty.");
const QString kSelectRecord = QStringLiteral("Please select a record from the available list to continue.");
const QString kInUseDelete =
    QStringLiteral("Batch Processing Series can't be delete because it is currently in use.");
const QString kInUseUpdate =
    QStringLiteral("Batch Processing Series can't be update because it is currently in use.");

QHBoxLayout* buttonRow(QWidget* box) {
  auto* row = new QHBoxLayout(box);
  row->setContentsMargins(0, 0, 0, 0);
  return row;
}

}  // namespace

Load_Num_Info::Load_Num_Info(QWidget* parent) : QDialog(parent) {
  dialog_parts::setUpDialog(*this, QStringLiteral("Batch Processing Series"));
  auto* text = dialog_parts::label(
      this, QStringLiteral(
                "The list already holds values.\nDo you want to clear the list before adding new values?"));
  auto* yes = dialog_parts::button(this, QStringLiteral("Yes"));
  auto* no = dialog_parts::button(this, QStringLiteral("No"));
  auto* cancel = dialog_parts::button(this, QStringLiteral("Cancel"));
  yes->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cancel);
  buttons->addWidget(no);
  buttons->addWidget(yes);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text);
  layout->addLayout(buttons);
  connect(yes, &QPushButton::clicked, this, &Load_Num_Info::YESPressed);
  connect(no, &QPushButton::clicked, this, &Load_Num_Info::NOPressed);
  connect(cancel, &QPushButton::clicked, this, &Load_Num_Info::CancelPressed);
}

Update_Ex_Num::Update_Ex_Num(QWidget* parent) : QDialog(parent) {
  dialog_parts::setUpDialog(*this, QStringLiteral("Update Value"));
  m_ex_num_str = dialog_parts::lineEdit(this, QStringLiteral("Value"));
  m_ex_num_str->setMinimumWidth(280);
  QPushButton *ok = nullptr, *cancel = nullptr;
  QHBoxLayout* buttons = dialog_parts::okCancelRow(this, &ok, &cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(dialog_parts::label(this, QStringLiteral("Value:")));
  layout->addWidget(m_ex_num_str);
  layout->addLayout(buttons);
  connect(ok, &QPushButton::clicked, this, &Update_Ex_Num::OKPressed);
  connect(cancel, &QPushButton::clicked, this, &Update_Ex_Num::CancelPressed);
}

void Update_Ex_Num::OKPressed() {
  if (m_s_number == m_ex_num_str->text()) {
    done(1);
    return;
  }
  const QString value = Trim_Str(m_ex_num_str->text());
  if (value.isEmpty()) {
    Show_MessageBox(QStringLiteral("Please enter a valid value."));
    m_ex_num_str->setFocus();
    return;
  }
  if (values != nullptr) values->replace(m_ex_num_index, value);
  m_ex_num_str->clear();
  m_s_number.clear();
  m_ex_num_index = -1;
  done(1);
}

void Update_Ex_Num::CancelPressed() {
  m_ex_num_str->clear();
  m_s_number.clear();
  m_ex_num_index = -1;
  done(0);
}

BatchWizard& BatchWizard::defaultInstance() {
  return dialog_parts::singleton<BatchWizard>([] { return new BatchWizard(); });
}

BatchWizard::BatchWizard(QWidget* parent) : QDialog(parent) {
  dialog_parts::setUpDialog(*this, QStringLiteral("Batch Processing Series"));

  // List screen.
  avl_list_box = new QGroupBox(QStringLiteral("Available Batch Processing Series"), this);
  avl_list_box->setAccessibleName(avl_list_box->title());
  ListData = new ValueListModel(QStringLiteral("Batch Processing Series"), this);
  List = dialog_parts::tableView(avl_list_box, ListData, QStringLiteral("Available Batch Processing Series"));
  List->setSelectionMode(QAbstractItemView::ExtendedSelection);
  batch_list_count = dialog_parts::label(avl_list_box, QString());
  auto* listLayout = new QVBoxLayout(avl_list_box);
  listLayout->addWidget(List, 1);
  listLayout->addWidget(batch_list_count);

  btn_box1 = new QWidget(this);
  auto* addNew = dialog_parts::button(btn_box1, QStringLiteral("Add New"));
  auto* update = dialog_parts::button(btn_box1, QStringLiteral("Update"));
  auto* remove = dialog_parts::button(btn_box1, QStringLiteral("Delete"));
  auto* import = dialog_parts::button(btn_box1, QStringLiteral("Import Series"));
  auto* create = dialog_parts::button(btn_box1, QStringLiteral("Create Series"));
  auto* help = dialog_parts::button(btn_box1, QStringLiteral("Help"));
  auto* close = dialog_parts::button(btn_box1, QStringLiteral("Close"));
  QHBoxLayout* row1 = buttonRow(btn_box1);
  for (QPushButton* b : {addNew, update, remove, import, create}) row1->addWidget(b);
  row1->addStretch(1);
  row1->addWidget(help);
  row1->addWidget(close);

  // Editor screen.
  list_value_box = new QGroupBox(QStringLiteral("Batch Processing Series Values"), this);
  list_value_box->setAccessibleName(list_value_box->title());
  batch_list_name = dialog_parts::lineEdit(list_value_box, QStringLiteral("Series name"));
  ListData_value = new ValueListModel(QStringLiteral("Value"), this);
  List_value = dialog_parts::tableView(list_value_box, ListData_value, QStringLiteral("Series values"));
  List_value->setSelectionMode(QAbstractItemView::ExtendedSelection);
  batch_value_count = dialog_parts::label(list_value_box, QString());
  auto* nameRow = new QHBoxLayout;
  nameRow->addWidget(dialog_parts::label(list_value_box, QStringLiteral("Series name:")));
  nameRow->addWidget(batch_list_name, 1);
  auto* valueLayout = new QVBoxLayout(list_value_box);
  valueLayout->addLayout(nameRow);
  valueLayout->addWidget(List_value, 1);
  valueLayout->addWidget(batch_value_count);

  btn_box2 = new QWidget(this);
  auto* importValues = dialog_parts::button(btn_box2, QStringLiteral("Import Values"));
  auto* generate = dialog_parts::button(btn_box2, QStringLiteral("Generate Values"));
  auto* deleteRows = dialog_parts::button(btn_box2, QStringLiteral("Delete Rows"));
  Save_Ext_ComboBox = new QComboBox(btn_box2);
  Save_Ext_ComboBox->addItems({QStringLiteral("xlsx"), QStringLiteral("txt")});
  Save_Ext_ComboBox->setAccessibleName(QStringLiteral("Export format"));
  auto* exportButton = dialog_parts::button(btn_box2, QStringLiteral("Export"));
  auto* save = dialog_parts::button(btn_box2, QStringLiteral("Save"));
  auto* back = dialog_parts::button(btn_box2, QStringLiteral("Back"));
  auto* help2 = dialog_parts::button(btn_box2, QStringLiteral("Help"));
  auto* close2 = dialog_parts::button(btn_box2, QStringLiteral("Close"));
  QHBoxLayout* row2 = buttonRow(btn_box2);
  for (QWidget* w : std::initializer_list<QWidget*>{importValues, generate, deleteRows, Save_Ext_ComboBox,
                                                    exportButton, save, back})
    row2->addWidget(w);
  row2->addStretch(1);
  row2->addWidget(help2);
  row2->addWidget(close2);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(avl_list_box, 1);
  layout->addWidget(btn_box1);
  layout->addWidget(list_value_box, 1);
  layout->addWidget(btn_box2);
  resize(760, 520);

  Load_Number_Window = new Load_Num_Info(this);
  Update_Value_Wnd = new Update_Ex_Num(this);
  Update_Value_Wnd->values = ListData_value;

  connect(addNew, &QPushButton::clicked, this, &BatchWizard::AddNew_Btn_Clicked);
  connect(update, &QPushButton::clicked, this, &BatchWizard::Update_Btn_Clicked);
  connect(remove, &QPushButton::clicked, this, &BatchWizard::Delete_List_Btn_Clicked);
  connect(import, &QPushButton::clicked, this, &BatchWizard::Import_Btn_Clicked);
  connect(create, &QPushButton::clicked, this, &BatchWizard::CreateSeries_Btn_Clicked);
  connect(help, &QPushButton::clicked, this, &BatchWizard::Help_Btn_Clicked);
  connect(close, &QPushButton::clicked, this, &BatchWizard::Close_Btn_Clicked);
  connect(importValues, &QPushButton::clicked, this, &BatchWizard::Import_Value_Btn_Clicked);
  connect(generate, &QPushButton::clicked, this, &BatchWizard::Series_Value_Btn_Clicked);
  connect(deleteRows, &QPushButton::clicked, this, &BatchWizard::Delete_Rows_Btn_Clicked);
  connect(exportButton, &QPushButton::clicked, this, &BatchWizard::Export_Value_Btn_Clicked);
  connect(save, &QPushButton::clicked, this, &BatchWizard::Save_Btn_Clicked);
  connect(back, &QPushButton::clicked, this, &BatchWizard::Back_Btn_Clicked);
  connect(help2, &QPushButton::clicked, this, &BatchWizard::Help_Btn_Clicked);
  connect(close2, &QPushButton::clicked, this, &BatchWizard::Close_Btn_Clicked);
  connect(List, &QTableView::doubleClicked, this, [this] { doubleClickInTable(List); });
  connect(List_value, &QTableView::doubleClicked, this, [this] { doubleClickInTable(List_value); });

  BatchWizard_Window = this;
  Update_batch_List_Count();
  Update_Value_List_Count();
  Show_hide_Last_screen(true);
}

void BatchWizard::Open_Wnd() {
  try {
    Check_Path_And_Create_Files();
    Show_hide_first_screen(false);
    Show_hide_Last_screen(true);
    Fill_List();
    platform::messageHost().runModal(*this);
    hide();
  } catch (const std::exception& e) {
    Show_NSLog_Message(QString::fromUtf8(e.what()));
  }
}

void BatchWizard::Show_hide_first_screen(bool hide) {
  avl_list_box->setHidden(hide);
  btn_box1->setHidden(hide);
  if (!hide) update_list_name.clear();
}

void BatchWizard::Show_hide_Last_screen(bool hide) {
  list_value_box->setHidden(hide);
  btn_box2->setHidden(hide);
}

void BatchWizard::Fill_List() {
  QStringList names;
  for (const QString& name : DataSeriesStore().Get_datasheet_File_Name_Array()) {
    const QString trimmed = Trim_Str(name);
    if (!trimmed.isEmpty()) names.append(name);
  }
  ListData->setValues(names);
  Update_batch_List_Count();
}

void BatchWizard::Create_Value_List(const QString& value) {
  appendValues({value});
}

void BatchWizard::appendValues(const QStringList& values) {
  appendTrimmed(values, false);
}

void BatchWizard::appendCardValues(const QStringList& values) {
  appendTrimmed(values, true);
}

void BatchWizard::appendTrimmed(const QStringList& values, bool keepEmpty) {
  QStringList kept;
  kept.reserve(values.size());
  for (const QString& value : values) {
    const QString trimmed = Trim_Str(value);
    if (keepEmpty || !trimmed.isEmpty()) kept.append(trimmed);
  }
  ListData_value->append(kept);
  Update_Value_List_Count();
}

void BatchWizard::Update_batch_List_Count() {
  batch_list_count->setText(QStringLiteral("Total List : %1").arg(ListData->size()));
  batch_list_count->setAccessibleName(batch_list_count->text());
}

void BatchWizard::Update_Value_List_Count() {
  batch_value_count->setText(QStringLiteral("Total Rows : %1").arg(ListData_value->size()));
  batch_value_count->setAccessibleName(batch_value_count->text());
}

QList<int> BatchWizard::selectedRows(QTableView* table) const {
  QList<int> rows;
  for (const QModelIndex& index : table->selectionModel()->selectedRows()) rows.append(index.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

void BatchWizard::Mark_List_New_Selection(int row) {
  List->selectionModel()->clearSelection();
  if (row >= 0 && row < ListData->size()) List->selectRow(row);
}

void BatchWizard::Mark_List_New_Selection_Value(int row) {
  List_value->selectionModel()->clearSelection();
  if (row >= 0 && row < ListData_value->size()) List_value->selectRow(row);
}

bool BatchWizard::Batch_List_Selection_Validation() {
  if (ListData->isEmpty()) {
    Show_MessageBox(QStringLiteral("Available list is empty."));
    return false;
  }
  const QModelIndex current = List->selectionModel()->currentIndex();
  const QList<int> rows = selectedRows(List);
  if (rows.isEmpty() ||
      Trim_Str(ListData->at(current.isValid() && rows.contains(current.row()) ? current.row() : rows.last()))
          .isEmpty()) {
    Show_MessageBox(kSelectRecord);
    List->setFocus();
    return false;
  }
  return true;
}

void BatchWizard::On_Update() {
  if (!Batch_List_Selection_Validation()) return;
  const QModelIndex current = List->selectionModel()->currentIndex();
  const QList<int> rows = selectedRows(List);
  const int row = current.isValid() && rows.contains(current.row()) ? current.row() : rows.last();
  const QString name = ListData->at(row);
  const DataSeriesStore store;
  const QString path = store.seriesFilePath(name);
  // The series must exist and allow reading and writing, or it could not be saved again.
  QFile probe(path);
  if (path.isEmpty() || !QFileInfo(path).isFile() || !probe.open(QIODevice::ReadWrite)) {
    Show_MessageBox(DataSeriesStore::kFileAccessError);
    return;
  }
  probe.close();
  QStringList values;
  bool tooLarge = false;
  runWithProgress(this, [&](TaskProgress&) { values = store.readCardValues(name, &tooLarge); });
  // A file no reader takes is not opened for editing: a save would replace it with nothing.
  if (tooLarge) {
    Show_MessageBox(DataSeriesStore::refusedSeriesMessage(name));
    return;
  }
  Show_hide_Last_screen(false);
  Show_hide_first_screen(true);
  batch_list_name->setText(name);
  update_list_name = name;
  // Row i is card i's value: an empty value keeps its row, so that a save
  // writes it back in its place.
  ListData_value->setValues(std::move(values));
  Update_Value_List_Count();
}

void BatchWizard::AddNew_Btn_Clicked() {
  Show_hide_first_screen(true);
  Show_hide_Last_screen(false);
  batch_list_name->setText(QStringLiteral("Untitled"));
  ListData_value->clear();
  Update_Value_List_Count();
}

void BatchWizard::Back_Btn_Clicked() {
  Show_hide_first_screen(false);
  Show_hide_Last_screen(true);
}

void BatchWizard::Delete_List_Btn_Clicked() {
  if (!Batch_List_Selection_Validation()) return;
  const QList<int> rows = selectedRows(List);
  const int last = List->selectionModel()->currentIndex().isValid()
                       ? List->selectionModel()->currentIndex().row()
                       : rows.last();
  QStringList names;
  for (int row : rows) names.append(ListData->at(row));
  const DataSeriesStore store;
  // Every chosen series is checked before any is deleted.
  for (const QString& name : names) {
    if (series_writing::seriesInUse(store, name)) {
      Show_MessageBox(kInUseDelete);
      return;
    }
  }
  if (!Show_YES_NO_MessageBox(
          QStringLiteral("Are you sure want to delete selected Batch Processing Series?")))
    return;
  QStringList deleted;
  for (qsizetype i = 0; i < names.size(); ++i) {
    if (!store.deleteSeries(names[i])) {
      // Stop at the first failure and say what happened to each series.
      QString report = DataSeriesStore::kFileAccessError;
      if (!deleted.isEmpty()) report += QStringLiteral("\n\nDeleted: ") + deleted.join(QStringLiteral(", "));
      report += QStringLiteral("\nNot deleted: ") + names.mid(i).join(QStringLiteral(", "));
      Show_MessageBox(report);
      Fill_List();
      if (!deleted.isEmpty()) series_writing::seriesChanged();
      return;
    }
    deleted.append(names[i]);
  }
  series_writing::seriesChanged();
  Fill_List();
  if (last >= 1 && last - 1 < ListData->size()) Mark_List_New_Selection(last - 1);
}

void BatchWizard::Import_Btn_Clicked() {
  Import_Wizard& wizard = Import_Wizard::defaultInstance();
  wizard.file_name_required = 1;
  wizard.file_name_Insert = 1;
  wizard.Open_Wnd();
}

void BatchWizard::CreateSeries_Btn_Clicked() {
  Generate_List& generator = Generate_List::defaultInstance();
  generator.file_name_required = 1;
  generator.file_name_Insert = 1;
  generator.Open_Wnd();
}

void BatchWizard::Help_Btn_Clicked() {
  Open_Help_File();
}

bool BatchWizard::prepareForNewValues() {
  if (ListData_value->isEmpty()) return true;
  const int answer = platform::messageHost().runModal(*Load_Number_Window);
  Load_Number_Window->hide();
  if (answer == 1) {
    ListData_value->clear();
    Update_Value_List_Count();
    return true;
  }
  return answer == 0;
}

void BatchWizard::Import_Value_Btn_Clicked() {
  if (!prepareForNewValues()) return;
  Import_Wizard& wizard = Import_Wizard::defaultInstance();
  wizard.file_name_required = 0;
  wizard.file_name_Insert = 1;
  wizard.Open_Wnd();
}

void BatchWizard::Series_Value_Btn_Clicked() {
  if (!prepareForNewValues()) return;
  Generate_List& generator = Generate_List::defaultInstance();
  generator.file_name_required = 0;
  generator.file_name_Insert = 1;
  generator.Open_Wnd();
}

void BatchWizard::Delete_Rows_Btn_Clicked() {
  if (ListData_value->isEmpty()) {
    Show_MessageBox(kListEmpty);
    List_value->setFocus();
    return;
  }
  const QList<int> rows = selectedRows(List_value);
  if (rows.isEmpty()) {
    Show_MessageBox(QStringLiteral("Please select at least one record from the list to continue."));
    List_value->setFocus();
    return;
  }
  const QModelIndex current = List_value->selectionModel()->currentIndex();
  const int last = current.isValid() && rows.contains(current.row()) ? current.row() : rows.last();
  ListData_value->removeRowsAt(rows);
  List_value->selectionModel()->clearSelection();
  if (last >= 1 && last - 1 < ListData_value->size()) Mark_List_New_Selection_Value(last - 1);
  Update_Value_List_Count();
}

void BatchWizard::doubleClickInTable(QTableView* table) {
  const QList<int> rows = selectedRows(table);
  if (rows.isEmpty()) return;
  if (rows.size() > 1) {
    Show_MessageBox(QStringLiteral("Please select only one record to update."));
    return;
  }
  if (table == List) {
    On_Update();
  } else if (table == List_value) {
    OnGetSelected();
  }
}

void BatchWizard::OnGetSelected() {
  const QList<int> rows = selectedRows(List_value);
  if (ListData_value->isEmpty() || rows.isEmpty()) return;
  const int row = rows.first();
  const QString value = Trim_Str(ListData_value->at(row));
  Update_Value_Wnd->m_ex_num_str->setText(value);
  Update_Value_Wnd->m_s_number = value;
  Update_Value_Wnd->m_ex_num_index = row;
  platform::messageHost().runModal(*Update_Value_Wnd);
  Update_Value_Wnd->hide();
}

void BatchWizard::Save_Btn_Clicked() {
  if (ListData_value->isEmpty()) {
    Show_MessageBox(kListEmpty);
    List_value->setFocus();
    return;
  }
  const QString typed = batch_list_name->text();
  const QString old = update_list_name;
  const DataSeriesStore store;
  if (!old.isEmpty() && series_writing::seriesInUse(store, old)) {
    Show_MessageBox(kInUseUpdate);
    return;
  }
  const QString name = series_writing::seriesNameFrom(typed);
  if (name.isEmpty()) {
    Show_MessageBox(series_writing::nameRefusal(typed));
    batch_list_name->setFocus();
    return;
  }
  const bool targetExists = store.seriesExists(name);
  if (targetExists && typed != old && !Show_YES_NO_MessageBox(series_writing::kReplaceQuestion)) return;

  // Every row, an empty one too, is one card's value in its place.
  SeriesValues values(SeriesValues::kUnbounded);
  for (const QString& value : ListData_value->values()) values.add(Trim_Str(value));
  // The new file is complete before it takes the place of the old one.
  if (!series_writing::writeOnWorker(this, store, name, values)) return;
  // Saved under a name no series had: the series moves there.
  if (!targetExists && !old.isEmpty() && old != name) store.deleteSeries(old);
  Show_hide_first_screen(false);
  Show_hide_Last_screen(true);
  Fill_List();
  raise();
}

void BatchWizard::Export_Value_Btn_Clicked() {
  if (ListData_value->isEmpty()) {
    Show_MessageBox(kListEmpty);
    List_value->setFocus();
    return;
  }
  const bool asWorkbook = Save_Ext_ComboBox->currentIndex() == 0;
  const QString extension = asWorkbook ? QStringLiteral("xlsx") : QStringLiteral("txt");
  platform::FilePanelRequest request;
  request.title = QStringLiteral("Export");
  request.suggestedName = Trim_Str(batch_list_name->text()) + "." + extension;
  request.nameFilters = {asWorkbook ? QStringLiteral("Excel Workbook (*.xlsx)")
                                    : QStringLiteral("Text File (*.txt)")};
  QString path = platform::messageHost().savePanel(request);
  if (path.isEmpty()) return;
  raise();
  // The chosen format decides the extension, whatever was typed.
  const QFileInfo chosen(path);
  const QString base = chosen.suffix().isEmpty() ? chosen.fileName() : chosen.completeBaseName();
  path = chosen.dir().filePath(base + "." + extension);

  const QStringList values = ListData_value->values();
  bool written = false;
  runWithProgress(this, [&](TaskProgress&) {
    if (asWorkbook) {
      SpreadsheetRows rows;
      rows.reserve(values.size() + 1);
      rows.append({QStringLiteral("Batch Value")});
      for (const QString& value : values) rows.append({value});
      written = SpreadsheetWriter::WriteWorkbook(path, rows, false);
    } else {
      // The values one per line, as a series file holds them.
      written = saveWholeFile(path, SeriesValues::fromList(values).fileBytes());
    }
  });
  if (!written) {
    Show_MessageBox(DataSeriesStore::kFileAccessError);
    return;
  }
  raise();
  Open_Export_File_Box(path, QStringLiteral("Record has been exported successfully."));
}

void BatchWizard::Open_Export_File_Box(const QString& path, const QString& message) {
  Open_Export_Log box(this);
  box.openFor(path, message);
}
