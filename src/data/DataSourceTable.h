#pragma once
// The spreadsheet data-source table: the chosen columns of one worksheet,
// copied into memory so that card objects can be bound to a column. The
// column picker fills it, the design file saves and replaces it, card
// production reads titles and cells, and the table window shows it (this
// class is the model behind that window's table view).
//
// Shape: column 0 is fixed and stands for the key "Extension" (the row number
// as text, counted from 1); columns 1..N carry the identifiers "Column1" ..
// "ColumnN" and the titles of the chosen spreadsheet columns. Every row is a
// dictionary of strings under those keys. A reader index c means the key
// "Extension" for c == 0 and "Column<c>" otherwise.
//
// The table lives on the GUI thread; production workers may read it, so the
// contents sit behind a mutex and the accessors hand out copies.

#include <QAbstractTableModel>
#include <QList>
#include <QMap>
#include <QMutex>
#include <QString>
#include <QStringList>

// One row of the table: key ("Extension", "Column1", ...) -> cell text.
using DataSourceRow = QMap<QString, QString>;

// One table column: the row key it shows and its header title.
struct DataSourceColumn {
  QString identifier;
  QString title;
  int width = 100;
  bool operator==(const DataSourceColumn&) const = default;
};

class DataSourceTable : public QAbstractTableModel {
  Q_OBJECT

 public:
  // Identifier of the fixed first column.
  static const QString kExtensionKey;
  // Title the fixed first column starts with.
  static const QString kDefaultFirstTitle;

  explicit DataSourceTable(QObject* parent = nullptr);

  // "Column<k>" for k >= 1, "Extension" for 0.
  static QString keyForIndex(int index);

  // --- columns (the table view's columns, ColList) ---
  QList<DataSourceColumn> ColList() const;
  // Header titles of every column, the first one included, in order.
  QStringList columnTitles() const;
  int tableColumnCount() const;
  // Removes every column but the first, from the last one down.
  void removeAddedColumns();
  // Appends a column "Column<k>" (k = number of added columns + 1) with the title.
  void addColumn(const QString& title);
  void setColumnTitle(int position, const QString& title);

  // --- rows (ListData) ---
  QList<DataSourceRow> ListData() const;
  void setListData(const QList<DataSourceRow>& rows);
  int tableRowCount() const;
  bool hasRows() const { return tableRowCount() > 0; }

  // The cell of row r for reader index c; "" when the row or key is missing
  // or c is negative.
  QString value(int row, int column) const;

  // Appends one row: "Extension" = row count + 1, then "Column1".."Column<n>"
  // from the first n values, trimmed. Fewer than n values: logged, nothing appended.
  bool Create_List_By_Array(const QStringList& values, int n);
  // Appends a row holding only "Extension" = the trimmed text (nothing when empty).
  void Create_Value_List(const QString& text);

  // Replaces titles and rows in one step: column 0 takes titles[0], columns
  // 1..count-1 are rebuilt from the other titles. An empty title list keeps
  // the columns as they are.
  void replaceContents(const QStringList& titles, const QList<DataSourceRow>& rows);

  // QAbstractTableModel
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  void setTitlesLocked(const QStringList& titles);

  mutable QMutex mutex_;
  QList<DataSourceColumn> columns_;
  QList<DataSourceRow> rows_;
};

// The program's one spreadsheet data-source table. It exists for the whole
// run (created on first use), so the design file may read it unconditionally.
// GUI thread for changes; readers on other threads get copies.
DataSourceTable& Data_From_Excel_Table();
