#include "data/dialogs/Data_From_Excel.h"

#include <QAbstractItemView>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <exception>

#include "data/DataSourceTable.h"
#include "data/dialogs/DialogParts.h"
#include "platform/MessageHost.h"
#include "platform/Messages.h"

Data_From_Excel& Data_From_Excel::defaultInstance() {
  return dialog_parts::singleton<Data_From_Excel>([] { return new Data_From_Excel(); });
}

Data_From_Excel::Data_From_Excel(QWidget* parent) : QDialog(parent) {
  dialog_parts::setUpDialog(*this, QStringLiteral("Spreadsheet Data"));
  ColList = dialog_parts::tableView(this, &Data_From_Excel_Table(), QStringLiteral("Spreadsheet rows"));
  ColList->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed);
  ColList->setSelectionBehavior(QAbstractItemView::SelectItems);
  ColList->horizontalHeader()->setStretchLastSection(false);
  ColList->verticalHeader()->hide();  // the first column numbers the rows
  rows_count = dialog_parts::label(this, QString());
  column_count = dialog_parts::label(this, QString());
  QPushButton* ok = dialog_parts::button(this, QStringLiteral("OK"));
  ok->setDefault(true);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(dialog_parts::label(this, QStringLiteral("Rows :")));
  bottom->addWidget(rows_count);
  bottom->addSpacing(16);
  bottom->addWidget(dialog_parts::label(this, QStringLiteral("Columns :")));
  bottom->addWidget(column_count);
  bottom->addStretch(1);
  bottom->addWidget(ok);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(ColList, 1);
  layout->addLayout(bottom);
  resize(620, 420);

  connect(ok, &QPushButton::clicked, this, &Data_From_Excel::OK_Click);
}

int Data_From_Excel::Open_Wnd() {
  try {
    const DataSourceTable& table = Data_From_Excel_Table();
    rows_count->setText(QString::number(table.tableRowCount()));
    column_count->setText(QString::number(table.tableColumnCount()));
    rows_count->setAccessibleName(QStringLiteral("Rows ") + rows_count->text());
    column_count->setAccessibleName(QStringLiteral("Columns ") + column_count->text());
    const QList<DataSourceColumn> columns = table.ColList();
    for (int i = 0; i < columns.size(); ++i) ColList->setColumnWidth(i, columns[i].width);
    const int code = platform::messageHost().runModal(*this);
    hide();
    return code;
  } catch (const std::exception& e) {
    Show_NSLog_Message(QString::fromUtf8(e.what()));
    hide();
    return 0;
  }
}

void Data_From_Excel::OK_Click() {
  done(1);
}
