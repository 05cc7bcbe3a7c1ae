#include "data/DataSourceTable.h"

#include <QMutexLocker>

#include "data/globals.h"
#include "platform/Messages.h"
#include "platform/StringHelpers.h"

const QString DataSourceTable::kExtensionKey = QStringLiteral("Extension");
const QString DataSourceTable::kDefaultFirstTitle = QStringLiteral("No.");

DataSourceTable::DataSourceTable(QObject* parent) : QAbstractTableModel(parent) {
  columns_.append(DataSourceColumn{kExtensionKey, kDefaultFirstTitle, 100});
}

QString DataSourceTable::keyForIndex(int index) {
  return index <= 0 ? kExtensionKey : QStringLiteral("Column%1").arg(index);
}

QList<DataSourceColumn> DataSourceTable::ColList() const {
  QMutexLocker lock(&mutex_);
  return columns_;
}

QStringList DataSourceTable::columnTitles() const {
  QMutexLocker lock(&mutex_);
  QStringList titles;
  titles.reserve(columns_.size());
  for (const auto& column : columns_) titles.append(column.title);
  return titles;
}

int DataSourceTable::tableColumnCount() const {
  QMutexLocker lock(&mutex_);
  return static_cast<int>(columns_.size());
}

void DataSourceTable::removeAddedColumns() {
  beginResetModel();
  {
    QMutexLocker lock(&mutex_);
    while (columns_.size() > 1) columns_.removeLast();
  }
  endResetModel();
}

void DataSourceTable::addColumn(const QString& title) {
  const int position = tableColumnCount();
  beginInsertColumns(QModelIndex(), position, position);
  {
    QMutexLocker lock(&mutex_);
    columns_.append(DataSourceColumn{keyForIndex(static_cast<int>(columns_.size())), title, 100});
  }
  endInsertColumns();
}

void DataSourceTable::setColumnTitle(int position, const QString& title) {
  {
    QMutexLocker lock(&mutex_);
    if (position < 0 || position >= columns_.size()) return;
    columns_[position].title = title;
  }
  emit headerDataChanged(Qt::Horizontal, position, position);
}

QList<DataSourceRow> DataSourceTable::ListData() const {
  QMutexLocker lock(&mutex_);
  return rows_;
}

void DataSourceTable::setListData(const QList<DataSourceRow>& rows) {
  beginResetModel();
  {
    QMutexLocker lock(&mutex_);
    rows_ = rows;
  }
  endResetModel();
}

int DataSourceTable::tableRowCount() const {
  QMutexLocker lock(&mutex_);
  return static_cast<int>(rows_.size());
}

QString DataSourceTable::value(int row, int column) const {
  QMutexLocker lock(&mutex_);
  // A negative column is no column (an object bound to nothing), never the row number.
  if (row < 0 || row >= rows_.size() || column < 0) return QString();
  return rows_[row].value(keyForIndex(column));
}

bool DataSourceTable::Create_List_By_Array(const QStringList& values, int n) {
  if (n < 0 || values.size() < n) {
    qCWarning(lcData).noquote()
        << (QStringLiteral("Create_List_By_Array: %1 values given for %2 columns").arg(values.size()).arg(n));
    return false;
  }
  DataSourceRow row;
  const int position = tableRowCount();
  row.insert(kExtensionKey, QString::number(position + 1));
  for (int k = 1; k <= n; ++k) row.insert(keyForIndex(k), Trim_Str(values[k - 1]));
  beginInsertRows(QModelIndex(), position, position);
  {
    QMutexLocker lock(&mutex_);
    rows_.append(row);
  }
  endInsertRows();
  return true;
}

void DataSourceTable::Create_Value_List(const QString& text) {
  const QString trimmed = Trim_Str(text);
  if (trimmed.isEmpty()) return;
  const int position = tableRowCount();
  beginInsertRows(QModelIndex(), position, position);
  {
    QMutexLocker lock(&mutex_);
    rows_.append(DataSourceRow{{kExtensionKey, trimmed}});
  }
  endInsertRows();
}

void DataSourceTable::setTitlesLocked(const QStringList& titles) {
  if (titles.isEmpty()) return;
  columns_.resize(1);
  columns_[0].title = titles[0];
  for (qsizetype i = 1; i < titles.size(); ++i)
    columns_.append(DataSourceColumn{keyForIndex(static_cast<int>(i)), titles[i], 100});
}

void DataSourceTable::replaceContents(const QStringList& titles, const QList<DataSourceRow>& rows) {
  beginResetModel();
  {
    QMutexLocker lock(&mutex_);
    setTitlesLocked(titles);
    rows_ = rows;
  }
  endResetModel();
}

int DataSourceTable::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : tableRowCount();
}

int DataSourceTable::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : tableColumnCount();
}

QVariant DataSourceTable::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return QVariant();
  QMutexLocker lock(&mutex_);
  if (index.row() >= rows_.size() || index.column() >= columns_.size()) return QVariant();
  return rows_[index.row()].value(columns_[index.column()].identifier);
}

bool DataSourceTable::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole) return false;
  {
    QMutexLocker lock(&mutex_);
    if (!index.isValid() || index.row() < 0 || index.row() >= rows_.size() || index.column() < 0 ||
        index.column() >= columns_.size()) {
      lock.unlock();
      qCWarning(lcData) << "a row or column outside the table was asked for";
      return false;
    }
    rows_[index.row()].insert(columns_[index.column()].identifier, value.toString());
  }
  emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
  return true;
}

QVariant DataSourceTable::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal) return QAbstractTableModel::headerData(section, orientation, role);
  QMutexLocker lock(&mutex_);
  if (section < 0 || section >= columns_.size()) return QVariant();
  if (role == Qt::DisplayRole) return columns_[section].title;
  if (role == Qt::TextAlignmentRole && section > 0)
    return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
  return QVariant();
}

Qt::ItemFlags DataSourceTable::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

DataSourceTable& Data_From_Excel_Table() {
  static DataSourceTable table;
  return table;
}
