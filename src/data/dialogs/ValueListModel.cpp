#include "data/dialogs/ValueListModel.h"

#include <algorithm>

ValueListModel::ValueListModel(QString title, QObject* parent)
    : QAbstractTableModel(parent), title_(std::move(title)) {}

void ValueListModel::setValues(QStringList values) {
  beginResetModel();
  values_ = std::move(values);
  endResetModel();
}

void ValueListModel::append(const QStringList& values) {
  if (values.isEmpty()) return;
  beginInsertRows(QModelIndex(), int(values_.size()), int(values_.size() + values.size() - 1));
  values_.append(values);
  endInsertRows();
}

void ValueListModel::replace(qsizetype row, const QString& value) {
  if (row < 0 || row >= values_.size()) return;
  values_[row] = value;
  emit dataChanged(index(int(row), 0), index(int(row), 0));
}

void ValueListModel::removeRowsAt(QList<int> rows) {
  std::sort(rows.begin(), rows.end(), std::greater<int>());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  for (int row : rows) {
    if (row < 0 || row >= values_.size()) continue;
    beginRemoveRows(QModelIndex(), row, row);
    values_.removeAt(row);
    endRemoveRows();
  }
}

int ValueListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(values_.size());
}

int ValueListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 1;
}

QVariant ValueListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= values_.size()) return QVariant();
  if (role == Qt::DisplayRole || role == Qt::ToolTipRole) return values_[index.row()];
  return QVariant();
}

QVariant ValueListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return QVariant();
  if (orientation == Qt::Horizontal) return section == 0 ? QVariant(title_) : QVariant();
  return section + 1;
}
