#include "data/XlsxSheetTable.h"

#include <algorithm>

#include "data/XlsxFormat.h"

namespace xlsx {

// ---- StringTable ----

std::string_view StringTable::utf8(qsizetype index) const {
  if (index < 0 || index >= size()) return {};
  const std::uint32_t begin = index == 0 ? 0 : ends_[size_t(index - 1)];
  return std::string_view(bytes_).substr(begin, ends_[size_t(index)] - begin);
}

QString StringTable::at(qsizetype index) const {
  const std::string_view text = utf8(index);
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

bool StringTable::isOverLong(qsizetype index) const {
  return !overLong_.empty() && std::binary_search(overLong_.begin(), overLong_.end(), std::uint32_t(index));
}

bool StringTable::append(std::string_view utf8) {
  if (bytes_.size() + utf8.size() > kMaxBytes || ends_.size() >= kMaxBytes) return false;
  bytes_.append(utf8);
  ends_.push_back(std::uint32_t(bytes_.size()));
  return true;
}

void StringTable::appendOverLong() {
  overLong_.push_back(std::uint32_t(ends_.size()));
  ends_.push_back(std::uint32_t(bytes_.size()));
}

QStringList StringTable::toStringList() const {
  QStringList texts;
  texts.reserve(size());
  for (qsizetype i = 0; i < size(); ++i) texts.append(at(i));
  return texts;
}

StringTable StringTable::fromStringList(const QStringList& texts) {
  StringTable table;
  for (const QString& text : texts) table.append(text.toStdString());
  return table;
}

// ---- SheetTable ----

SheetTable::SheetTable(std::initializer_list<QStringList> rows) : SheetTable(QList<QStringList>(rows)) {}

SheetTable::SheetTable(const QList<QStringList>& rows) {
  SheetTableBuilder builder;
  qsizetype columns = 0;
  for (const QStringList& row : rows) {
    columns = std::max(columns, std::min<qsizetype>(row.size(), kMaxColumns));
    // Columns past the last one a sheet has are left out.
    for (qsizetype k = 0; k < std::min<qsizetype>(row.size(), kMaxColumns); ++k)
      if (!row[k].isEmpty()) builder.addText(int(k), row[k].toStdString());
    builder.endRow();
  }
  *this = builder.finish(int(columns));
}

qsizetype SheetTable::size() const {
  return d_ ? qsizetype(d_->rowEnds.size()) : 0;
}

int SheetTable::columns() const {
  return d_ ? d_->columns : 0;
}

qint64 SheetTable::cellCount() const {
  return d_ ? qint64(d_->cells.size()) : 0;
}

std::string_view SheetTable::utf8Of(const Cell& cell) const {
  if (!cell.shared) return d_->own.utf8(cell.text);
  return d_->shared ? d_->shared->utf8(cell.text) : std::string_view();
}

QString SheetTable::textOf(const Cell& cell) const {
  const std::string_view text = utf8Of(cell);
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QString SheetTable::cell(qsizetype row, int column) const {
  if (!d_ || row < 0 || row >= size() || column < 0) return QString();
  const auto begin = d_->cells.begin() + rowBegin(row);
  const auto end = d_->cells.begin() + d_->rowEnds[size_t(row)];
  const auto found =
      std::lower_bound(begin, end, column, [](const Cell& c, int col) { return c.column < col; });
  return found != end && found->column == column ? textOf(*found) : QString();
}

QStringList SheetTable::row(qsizetype row) const {
  if (!d_ || row < 0 || row >= size()) return QStringList();
  QStringList texts(d_->columns);
  forEachCell(row, [&](int column, const QString& text) {
    if (column < texts.size()) texts[column] = text;
  });
  return texts;
}

QList<QStringList> SheetTable::toLists() const {
  QList<QStringList> rows;
  rows.reserve(size());
  for (qsizetype r = 0; r < size(); ++r) rows.append(row(r));
  return rows;
}

bool SheetTable::operator==(const SheetTable& other) const {
  if (size() != other.size() || columns() != other.columns() || cellCount() != other.cellCount())
    return false;
  for (qsizetype r = 0; r < size(); ++r) {
    const std::uint32_t begin = rowBegin(r), end = d_->rowEnds[size_t(r)];
    if (end - begin != other.d_->rowEnds[size_t(r)] - other.rowBegin(r)) return false;
    for (std::uint32_t k = begin, j = other.rowBegin(r); k < end; ++k, ++j) {
      const Cell& a = d_->cells[k];
      const Cell& b = other.d_->cells[j];
      if (a.column != b.column || utf8Of(a) != other.utf8Of(b)) return false;
    }
  }
  return true;
}

// ---- SheetTableBuilder ----

SheetTableBuilder::SheetTableBuilder(std::shared_ptr<const StringTable> shared)
    : d_(std::make_shared<SheetTable::Data>()) {
  d_->shared = std::move(shared);
}

void SheetTableBuilder::add(int column, std::uint32_t text, bool shared) {
  if (column <= lastColumn_) ordered_ = false;
  lastColumn_ = column;
  d_->cells.push_back(SheetTable::Cell{text, std::uint16_t(column), std::uint16_t(shared ? 1 : 0)});
}

bool SheetTableBuilder::addText(int column, std::string_view utf8) {
  if (!d_->own.append(utf8)) return false;
  add(column, std::uint32_t(d_->own.size() - 1), false);
  return true;
}

void SheetTableBuilder::addShared(int column, std::uint32_t index) {
  add(column, index, true);
}

void SheetTableBuilder::endRow() {
  auto& cells = d_->cells;
  const size_t begin = d_->rowEnds.empty() ? 0 : d_->rowEnds.back();
  if (!ordered_) {
    // Rare: cells out of column order or repeated. Keep the last of each column.
    const auto first = cells.begin() + std::ptrdiff_t(begin);
    std::stable_sort(first, cells.end(), [](const auto& a, const auto& b) { return a.column < b.column; });
    auto out = first;
    for (auto it = first; it != cells.end(); ++it) {
      if (it + 1 != cells.end() && (it + 1)->column == it->column) continue;
      *out++ = *it;
    }
    cells.erase(out, cells.end());
  }
  d_->rowEnds.push_back(std::uint32_t(cells.size()));
  lastColumn_ = -1;
  ordered_ = true;
}

SheetTable SheetTableBuilder::finish(int columns) {
  d_->columns = columns;
  d_->cells.shrink_to_fit();
  d_->rowEnds.shrink_to_fit();
  SheetTable table;
  table.d_ = std::move(d_);
  d_ = std::make_shared<SheetTable::Data>();
  return table;
}

}  // namespace xlsx
