#include "data/dialogs/Import_Excel_DataSheet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

#include "data/DataSeriesStore.h"
#include "data/dialogs/BatchWizard.h"
#include "data/dialogs/DialogParts.h"
#include "data/dialogs/ProgressSheet.h"
#include "data/dialogs/SeriesWriting.h"
#include "platform/Messages.h"
#include "platform/QuotedValue.h"
#include "platform/StringHelpers.h"
#include "platform/globals.h"
#include "platform/widgets/Controls.h"
#include "platform/widgets/LongSmsDialog.h"

namespace {

// Asks one question of the generic message box; `applyToAll` becomes true
// when the user ticked its apply-to-all box and pressed OK. The box's answer
// serves this question only.
int askColumnQuestion(const QString& title, const QString& text, bool offerApplyAll, bool& applyToAll) {
  Long_SMS_Dlg& box = Long_SMS_Dlg::defaultInstance();
  Msg_Apply_All_Chk = false;
  box.title_val = title;
  box.msg_val_str = text;
  box.apply_chk_show = offerApplyAll;
  const int answer = box.Open_Long_sms_Dialog();
  if (answer == 1 && Msg_Apply_All_Chk.load()) applyToAll = true;
  Msg_Apply_All_Chk = false;
  return answer;
}

}  // namespace

Import_Excel_DataSheet& Import_Excel_DataSheet::defaultInstance() {
  return dialog_parts::singleton<Import_Excel_DataSheet>([] { return new Import_Excel_DataSheet(); });
}

Import_Excel_DataSheet::Import_Excel_DataSheet(QWidget* parent)
    : SpreadsheetColumnDialog(QStringLiteral("Import Batch Processing Series from Excel"), true, parent) {
  Each_col_RD = dialog_parts::radioButton(this, QStringLiteral("Create one series for each selected column"));
  Fill_col_RD = dialog_parts::radioButton(this, QStringLiteral("Put all selected columns into one series"));
  oneChoice({Each_col_RD, Fill_col_RD});
  fill_box = new QGroupBox(this);
  fill_box->setAccessibleName(QStringLiteral("One series"));
  const char* options[] = {"New series", "Replace series", "Append to series"};
  auto* optionRow = new QHBoxLayout;
  for (int i = 0; i < 3; ++i) {
    matrix_fill_type[i] = dialog_parts::radioButton(fill_box, QString::fromUtf8(options[i]));
    optionRow->addWidget(matrix_fill_type[i]);
    onChosen(matrix_fill_type[i], this, [this, i] { Fill_Type_CellClick(i); });
  }
  optionRow->addStretch(1);
  list_name = dialog_parts::lineEdit(fill_box, QStringLiteral("Series name"));
  List_ComboBox = new QComboBox(fill_box);
  List_ComboBox->setAccessibleName(QStringLiteral("Series"));
  auto* nameRow = new QHBoxLayout;
  nameRow->addWidget(dialog_parts::label(fill_box, QStringLiteral("Series name:")));
  nameRow->addWidget(list_name, 1);
  nameRow->addWidget(List_ComboBox, 1);
  auto* boxLayout = new QVBoxLayout(fill_box);
  boxLayout->addLayout(optionRow);
  boxLayout->addLayout(nameRow);
  extraArea()->addWidget(Each_col_RD);
  extraArea()->addWidget(Fill_col_RD);
  extraArea()->addWidget(fill_box);
  resize(560, 600);
  onChosen(Each_col_RD, this, [this] { Each_Col_RD_Click(); });
  onChosen(Fill_col_RD, this, [this] { Fill_Col_RD_Click(); });
  dialog_parts::tabInReadingOrder(*this);
}

void Import_Excel_DataSheet::resetOwnControls() {
  Fill_Type_CellClick(0);
  Each_Col_RD_Click();
  list_name->clear();
  List_ComboBox->clear();
  List_ComboBox->addItems(DataSeriesStore().Get_datasheet_File_Name_Array());
  if (List_ComboBox->count() > 0) List_ComboBox->setCurrentIndex(0);
}

void Import_Excel_DataSheet::Each_Col_RD_Click() {
  showChecked(Each_col_RD, true);
  showChecked(Fill_col_RD, false);
  SetObjEnabled(fill_box, false);
}

void Import_Excel_DataSheet::Fill_Col_RD_Click() {
  showChecked(Each_col_RD, false);
  showChecked(Fill_col_RD, true);
  SetObjEnabled(fill_box, true);
}

void Import_Excel_DataSheet::Fill_Type_CellClick(int option) {
  fill_col_option = option;
  for (int i = 0; i < 3; ++i) showChecked(matrix_fill_type[i], i == option);
  list_name->setVisible(option == 0);
  List_ComboBox->setVisible(option != 0);
  ColList->setColumnHidden(2, option != 0);
}

bool Import_Excel_DataSheet::ownChecks() {
  if (Each_col_RD->isChecked()) return true;
  if (fill_col_option != 0 && Trim_Str(List_ComboBox->currentText()).isEmpty()) {
    Show_MessageBox(QStringLiteral("Please select list name."));
    return false;
  }
  if (fill_col_option == 0 && Trim_Str(list_name->text()).isEmpty()) {
    Show_MessageBox(QStringLiteral("Please enter list name."));
    return false;
  }
  return true;
}

void Import_Excel_DataSheet::runChosenColumns() {
  if (Each_col_RD->isChecked()) {
    Create_file_For_Col_Func();
  } else {
    Insert_file_Func();
  }
}

void Import_Excel_DataSheet::Create_file_For_Col_Func() {
  const xlsx::SheetTable rows = readAllRows();
  const bool header = contains_header->isChecked();
  const DataSeriesStore store;
  const QList<spreadsheet_columns::ColumnEntry> columns = entries();
  const bool offerApplyAll = !rows.isEmpty() && rows.columns() > 1;
  // Each question has its own apply-to-all answer, for this run only.
  bool skipAllInUse = false;
  bool replaceAll = false;
  QStringList notWritten;
  bool writtenAny = false;
  for (qsizetype j = 0; j < columns.size() && !rows.isEmpty(); ++j) {
    if (!columns[j].chosen) continue;
    const QString typed = Trim_Str(columns[j].header);
    const QString name = series_writing::seriesNameFrom(typed);
    if (name.isEmpty()) {
      notWritten.append(typed.isEmpty() ? columns[j].title : typed);
      continue;
    }
    if (store.seriesExists(name)) {
      if (series_writing::seriesInUse(store, name)) {
        if (!skipAllInUse)
          askColumnQuestion(
              QStringLiteral("Message :"),
              platform::quotedValue(name) +
                  QStringLiteral("\nBatch processing Series name is already in use with another "
                                 "sequence. Please change Batch Processing Series Name."),
              offerApplyAll, skipAllInUse);
        continue;
      }
      if (!replaceAll && askColumnQuestion(QStringLiteral("Batch Processing Series already exists :"),
                                           platform::quotedValue(name) + QStringLiteral("\n") +
                                               series_writing::kReplaceQuestion,
                                           offerApplyAll, replaceAll) != 1)
        continue;
    }
    const QStringList values = spreadsheet_columns::columnCells(rows, int(j), header);
    bool written = false;
    runWithProgress(this, [&](TaskProgress&) {
      written = store.writeSeries(name, values, SeriesWriteMode::Replace, SeriesFailureReport::Silent);
    });
    if (written)
      writtenAny = true;
    else
      notWritten.append(name);
  }
  if (writtenAny) series_writing::seriesChanged();
  if (file_name_Insert == 1) BatchWizard::defaultInstance().Fill_List();
  if (rows.isEmpty()) {
    Show_MessageBox(QStringLiteral(
        "There is no data in selected sheet.\nPlease select another Sheet/Excel File.\nEither file is "
        "corrupted or selected file contains invalid characters."));
  } else if (!notWritten.isEmpty()) {
    Show_MessageBox(DataSeriesStore::kFileAccessError + QStringLiteral("\n\nNot written: ") +
                    platform::quotedValueList(notWritten));
  }
  done(1);
}

void Import_Excel_DataSheet::Insert_file_Func() {
  const DataSeriesStore store;
  const QString typed = fill_col_option == 0 ? list_name->text() : List_ComboBox->currentText();
  const QString name = series_writing::seriesNameFrom(typed);
  if (name.isEmpty()) {
    Show_MessageBox(DataSeriesStore::kFileAccessError);
    return;
  }
  if (fill_col_option == 0 && !series_writing::mayReplace(store, name)) return;
  const xlsx::SheetTable rows = readAllRows();
  if (rows.isEmpty()) {
    // An unreadable sheet leaves the series as it was.
    Show_MessageBox(QStringLiteral("Either file is corrupted or selected file contains invalid characters."));
    done(1);
    return;
  }
  SeriesValues values;
  spreadsheet_columns::chosenCells(rows, entries(), contains_header->isChecked(), true, values);
  if (series_writing::refuseOverLimit(values)) return;
  const SeriesWriteMode mode = fill_col_option == 2 ? SeriesWriteMode::Append : SeriesWriteMode::Replace;
  if (!series_writing::writeOnWorker(this, store, name, values, mode)) return;
  if (file_name_Insert == 1) BatchWizard::defaultInstance().Fill_List();
  done(1);
}
