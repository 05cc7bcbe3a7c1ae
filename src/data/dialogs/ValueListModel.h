#pragma once
// A one-column, read-only table model over a list of texts: the series
// names of the manager, the values of its editor and of the viewer.

#include <QAbstractTableModel>
#include <QStringList>

class ValueListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit ValueListModel(QString title, QObject* parent = nullptr);

  const QStringList& values() const { return values_; }
  qsizetype size() const { return values_.size(); }
  bool isEmpty() const { return values_.isEmpty(); }
  QString at(qsizetype row) const { return values_.value(row); }

  void setValues(QStringList values);
  void append(const QStringList& values);
  void clear() { setValues({}); }
  void replace(qsizetype row, const QString& value);
  // Removes the rows (in any order, a row named twice counts once).
  void removeRowsAt(QList<int> rows);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

 private:
  QString title_;
  QStringList values_;
};
