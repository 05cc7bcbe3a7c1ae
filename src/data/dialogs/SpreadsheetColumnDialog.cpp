#include "data/dialogs/SpreadsheetColumnDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "data/dialogs/ColumnChoiceModel.h"
#include "data/dialogs/DialogParts.h"
#include "data/dialogs/ProgressSheet.h"
#include "data/globals.h"
#include "platform/MessageHost.h"
#include "platform/Messages.h"

SpreadsheetColumnDialog::SpreadsheetColumnDialog(const QString& title, bool withSeriesNames, QWidget* parent)
    : QDialog(parent) {
  dialog_parts::setUpDialog(*this, title);

  file_path = dialog_parts::lineEdit(this, QStringLiteral("File path"));
  file_path->setReadOnly(true);
  Sheet_ComboBox = new QComboBox(this);
  Sheet_ComboBox->setAccessibleName(QStringLiteral("Sheet"));
  contains_header = dialog_parts::checkBox(this, QStringLiteral("First row contains column titles"));
  ListData_xl = new ColumnChoiceModel(withSeriesNames, this);
  ColList = dialog_parts::tableView(this, ListData_xl, QStringLiteral("Columns"));
  ColList->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::SelectedClicked);
  ColList->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  ColList->setColumnWidth(1, 180);
  auto* all = dialog_parts::button(this, QStringLiteral("Select All"));
  auto* none = dialog_parts::button(this, QStringLiteral("Clear All"));
  QPushButton *ok = nullptr, *cancel = nullptr;
  QHBoxLayout* buttons = dialog_parts::okCancelRow(this, &ok, &cancel);

  auto* fileRow = new QHBoxLayout;
  fileRow->addWidget(dialog_parts::label(this, QStringLiteral("File:")));
  fileRow->addWidget(file_path, 1);
  auto* sheetRow = new QHBoxLayout;
  sheetRow->addWidget(dialog_parts::label(this, QStringLiteral("Sheet:")));
  sheetRow->addWidget(Sheet_ComboBox, 1);
  sheetRow->addWidget(contains_header);
  auto* choose = new QHBoxLayout;
  choose->addWidget(all);
  choose->addWidget(none);
  choose->addStretch(1);
  extra_ = new QVBoxLayout;
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fileRow);
  layout->addLayout(sheetRow);
  layout->addWidget(ColList, 1);
  layout->addLayout(choose);
  layout->addLayout(extra_);
  layout->addLayout(buttons);
  resize(520, 480);

  connect(ok, &QPushButton::clicked, this, &SpreadsheetColumnDialog::OKPressed);
  connect(cancel, &QPushButton::clicked, this, &SpreadsheetColumnDialog::CancelPressed);
  connect(all, &QPushButton::clicked, this, &SpreadsheetColumnDialog::Select_ALL_Pressed);
  connect(none, &QPushButton::clicked, this, &SpreadsheetColumnDialog::Clear_All_Pressed);
  connect(Sheet_ComboBox, &QComboBox::activated, this, &SpreadsheetColumnDialog::sheetChanged);
  dialog_parts::tabInReadingOrder(*this);
}

bool SpreadsheetColumnDialog::Open_excel_Wnd(const QString& path) {
  try {
    Excel_Sheet_Number = 1;
    file_path->setText(path);
    contains_header->setChecked(true);
    ListData_xl->setEntries({});
    Sheet_ComboBox->clear();
    excel_content.clear();
    resetOwnControls();
    // A file that cannot be read as a workbook is named, with the reason,
    // and the window stays shut: it would offer nothing to choose.
    if (const QString unreadable = loadWorkbook(path); !unreadable.isEmpty() && !path.isEmpty()) {
      Show_MessageBox(unreadable);
      return false;
    }
    platform::messageHost().runModal(*this);
    hide();
  } catch (const std::exception& e) {
    Show_NSLog_Message(QString::fromUtf8(e.what()));
  }
  return true;
}

QString SpreadsheetColumnDialog::loadWorkbook(const QString& path) {
  QStringList sheets;
  xlsx::SheetTable titles;
  QString unreadable;
  runWithProgress(this, [&](TaskProgress&) {
    SpreadsheetWriter::ReadWorkbook(path, true);
    unreadable = SpreadsheetWriter::shared().unreadable();
    sheets = spreadsheet_columns::workbookSheetList();
    if (sheets.isEmpty()) return;
    Excel_Sheet_Number = 1;
    titles = SpreadsheetWriter::ReadData_only_column();
    // A first sheet that cannot be read would open the window with no column.
    unreadable = SpreadsheetWriter::shared().unreadableSheet();
  });
  Sheet_ComboBox->addItems(sheets);
  if (!sheets.isEmpty()) Sheet_ComboBox->setCurrentIndex(0);
  if (!titles.isEmpty()) ListData_xl->setEntries(spreadsheet_columns::entriesFromTitles(titles.row(0)));
  return unreadable;
}

void SpreadsheetColumnDialog::sheetChanged(int index) {
  if (index < 0) return;
  Excel_Sheet_Number = index + 1;
  xlsx::SheetTable titles;
  QString unreadable;
  runWithProgress(this, [&](TaskProgress&) {
    titles = SpreadsheetWriter::ReadData_only_column();
    unreadable = SpreadsheetWriter::shared().unreadableSheet();
  });
  // A sheet that cannot be read is named; the columns of another sheet are
  // not left to be taken for its own.
  if (!unreadable.isEmpty()) {
    ListData_xl->setEntries({});
    Show_MessageBox(unreadable);
    return;
  }
  // A sheet that gives no row keeps the column list as it was.
  if (titles.isEmpty()) return;
  ListData_xl->setEntries(spreadsheet_columns::entriesFromTitles(titles.row(0)));
}

xlsx::SheetTable SpreadsheetColumnDialog::readAllRows() {
  xlsx::SheetTable rows;
  const QString path = file_path->text();
  runWithProgress(this, [&](TaskProgress&) { rows = SpreadsheetWriter::ReadWorkbook(path, false); });
  excel_content = rows;
  return rows;
}

QList<spreadsheet_columns::ColumnEntry> SpreadsheetColumnDialog::entries() const {
  return ListData_xl->entries();
}

bool SpreadsheetColumnDialog::Check_For_One_Extension_Selection() const {
  return spreadsheet_columns::anyChosen(ListData_xl->entries());
}

void SpreadsheetColumnDialog::Select_ALL_Pressed() {
  ListData_xl->chooseAll(true);
}

void SpreadsheetColumnDialog::Clear_All_Pressed() {
  ListData_xl->chooseAll(false);
}

void SpreadsheetColumnDialog::OKPressed() {
  if (ListData_xl->entries().isEmpty()) {
    Show_MessageBox(QStringLiteral("There is no column."));
    return;
  }
  if (!Check_For_One_Extension_Selection()) {
    Show_MessageBox(QStringLiteral("No column is selected."));
    return;
  }
  if (!ownChecks()) return;
  try {
    runChosenColumns();
  } catch (const std::exception& e) {
    Show_NSLog_Message(QString::fromUtf8(e.what()));
    done(1);
  }
  excel_content.clear();
}

void SpreadsheetColumnDialog::CancelPressed() {
  excel_content.clear();
  done(0);
}
