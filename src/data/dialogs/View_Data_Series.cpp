#include "data/dialogs/View_Data_Series.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "data/DataSeriesStore.h"
#include "data/dialogs/DialogParts.h"
#include "data/dialogs/ProgressSheet.h"
#include "data/dialogs/ValueListModel.h"
#include "platform/MessageHost.h"
#include "platform/Messages.h"
#include "platform/StringHelpers.h"

View_Data_Series& View_Data_Series::defaultInstance() {
  return dialog_parts::singleton<View_Data_Series>([] { return new View_Data_Series(); });
}

View_Data_Series::View_Data_Series(QWidget* parent) : QDialog(parent) {
  dialog_parts::setUpDialog(*this, QStringLiteral("View Batch Processing Series"));

  series_name = dialog_parts::lineEdit(this, QStringLiteral("Series name"));
  series_name->setReadOnly(true);
  ListData = new ValueListModel(QStringLiteral("Values"), this);
  List = dialog_parts::tableView(this, ListData, QStringLiteral("Series values"));
  List->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_count = dialog_parts::label(this, QString());
  auto* ok = dialog_parts::button(this, QStringLiteral("OK"));
  ok->setDefault(true);

  auto* nameRow = new QHBoxLayout;
  nameRow->addWidget(dialog_parts::label(this, QStringLiteral("Series name:")));
  nameRow->addWidget(series_name, 1);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(list_count);
  bottom->addStretch(1);
  bottom->addWidget(ok);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(nameRow);
  layout->addWidget(List, 1);
  layout->addLayout(bottom);
  resize(380, 460);

  connect(ok, &QPushButton::clicked, this, &View_Data_Series::OK_Btn_Clicked);
  Update_batch_List_Count();
}

void View_Data_Series::Open_Wnd(const QString& chosenName) {
  const QString name = Trim_Str(chosenName);
  if (name.isEmpty()) {
    Show_MessageBox(QStringLiteral("Please select the series."));
    return;
  }
  file_name = name;
  Open_Wnd();
}

void View_Data_Series::Open_Wnd() {
  try {
    series_name->setText(file_name);
    ListData->clear();
    QStringList values;
    const QString name = file_name;
    bool tooLarge = false;
    // Row i is what card i shows, an empty value too.
    runWithProgress(this, [&](TaskProgress&) { values = DataSeriesStore().readCardValues(name, &tooLarge); });
    if (tooLarge) {
      Show_MessageBox(DataSeriesStore::refusedSeriesMessage(name));
      return;
    }
    ListData->setValues(values);
    Update_batch_List_Count();
    platform::messageHost().runModal(*this);
    hide();
  } catch (const std::exception& e) {
    Show_NSLog_Message(QString::fromUtf8(e.what()));
  }
}

void View_Data_Series::OK_Btn_Clicked() {
  done(1);
}

void View_Data_Series::Update_batch_List_Count() {
  list_count->setText(QStringLiteral("Total Rows : %1").arg(ListData->size()));
  list_count->setAccessibleName(list_count->text());
}
