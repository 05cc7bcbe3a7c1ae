#include "data/dialogs/ColumnChoiceModel.h"

ColumnChoiceModel::ColumnChoiceModel(bool withHeader, QObject* parent)
    : QAbstractTableModel(parent), withHeader_(withHeader) {}

void ColumnChoiceModel::setEntries(QList<spreadsheet_columns::ColumnEntry> entries) {
  beginResetModel();
  entries_ = std::move(entries);
  endResetModel();
}

void ColumnChoiceModel::chooseAll(bool chosen) {
  for (auto& entry : entries_) entry.chosen = chosen;
  if (!entries_.isEmpty()) emit dataChanged(index(0, State), index(int(entries_.size()) - 1, State));
}

void ColumnChoiceModel::setChosen(int row, bool chosen) {
  setData(index(row, State), chosen ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
}

void ColumnChoiceModel::setHeader(int row, const QString& header) {
  setData(index(row, Header), header, Qt::EditRole);
}

int ColumnChoiceModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(entries_.size());
}

int ColumnChoiceModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : (withHeader_ ? 3 : 2);
}

QVariant ColumnChoiceModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= entries_.size()) return QVariant();
  const auto& entry = entries_[index.row()];
  switch (index.column()) {
    case State:
      if (role == Qt::CheckStateRole) return entry.chosen ? Qt::Checked : Qt::Unchecked;
      break;
    case Extension:
      if (role == Qt::DisplayRole) return entry.title;
      break;
    case Header:
      if (role == Qt::DisplayRole || role == Qt::EditRole) return entry.header;
      break;
  }
  return QVariant();
}

bool ColumnChoiceModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || index.row() >= entries_.size()) return false;
  auto& entry = entries_[index.row()];
  if (index.column() == State && role == Qt::CheckStateRole) {
    entry.chosen = value.toInt() == Qt::Checked;
  } else if (index.column() == Header && role == Qt::EditRole) {
    entry.header = value.toString();
  } else {
    return false;
  }
  emit dataChanged(index, index);
  return true;
}

QVariant ColumnChoiceModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return QVariant();
  switch (section) {
    case State:
      return QStringLiteral("Select");
    case Extension:
      return QStringLiteral("Column");
    case Header:
      return QStringLiteral("Series Name");
  }
  return QVariant();
}

Qt::ItemFlags ColumnChoiceModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (index.column() == State) flags |= Qt::ItemIsUserCheckable;
  if (index.column() == Header) flags |= Qt::ItemIsEditable;
  return flags;
}
