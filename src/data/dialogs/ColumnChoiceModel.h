#pragma once
// The column list of the spreadsheet dialogs as a table: a check box per
// column ("State"), its title ("Extension") and, where the dialog makes one
// series per column, the series name, which the user may edit ("Header").

#include <QAbstractTableModel>

#include "data/dialogs/SpreadsheetColumns.h"

class ColumnChoiceModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { State = 0, Extension = 1, Header = 2 };

  ColumnChoiceModel(bool withHeader, QObject* parent = nullptr);

  const QList<spreadsheet_columns::ColumnEntry>& entries() const { return entries_; }
  void setEntries(QList<spreadsheet_columns::ColumnEntry> entries);
  // Ticks or clears every column.
  void chooseAll(bool chosen);
  void setChosen(int row, bool chosen);
  void setHeader(int row, const QString& header);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  bool withHeader_;
  QList<spreadsheet_columns::ColumnEntry> entries_;
};
