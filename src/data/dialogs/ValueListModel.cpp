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
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  rows.erase(
      std::remove_if(rows.begin(), rows.end(), [this](int row) { return row < 0 || row >= values_.size(); }),
      rows.end());
  // Runs of neighbouring rows, last first, so that earlier rows keep their places.
  QList<std::pair<int, int>> runs;  // first row, count
  for (int row : rows) {
    if (!runs.isEmpty() && runs.back().first + runs.back().second == row) {
      ++runs.back().second;
    } else {
      runs.append({row, 1});
    }
  }
  if (runs.size() > 32) {
    // Many scattered rows: one pass over the list instead of one move per run.
    QStringList kept;
    kept.reserve(values_.size() - rows.size());
    qsizetype next = 0;
    for (qsizetype i = 0; i < values_.size(); ++i) {
      if (next < rows.size() && rows[next] == i) {
        ++next;
      } else {
        kept.append(values_[i]);
      }
    }
    setValues(std::move(kept));
    return;
  }
  for (auto run = runs.crbegin(); run != runs.crend(); ++run) {
    beginRemoveRows(QModelIndex(), run->first, run->first + run->second - 1);
    values_.remove(run->first, run->second);
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
