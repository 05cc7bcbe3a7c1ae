#pragma once
// What reading a worksheet gives: its rows, held compactly and sparsely. Only
// cells with a text take memory: eight bytes each, and for a text of their
// own its UTF-8 bytes and four more (a shared string stays in the workbook's
// table). So a sheet of a million rows, or one with a single note in its last
// column, fits in a small part of what a list of string lists would take.
//
// Tables are values: copies share their contents, which never change once built.

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace xlsx {

// Texts held as UTF-8 bytes one after another. An entry may be marked as too
// long to hold: its text is not kept, and readers refuse the cells that use it.
class StringTable {
 public:
  // The most bytes one table holds.
  static constexpr std::uint64_t kMaxBytes = 0xFFFFFFFFu;

  qsizetype size() const { return qsizetype(ends_.size()); }
  bool isEmpty() const { return ends_.empty(); }
  std::uint64_t byteSize() const { return bytes_.size(); }

  // The entry's text; "" for an index out of range.
  QString at(qsizetype index) const;
  std::string_view utf8(qsizetype index) const;
  bool isOverLong(qsizetype index) const;

  // False (and nothing added) when the text would pass kMaxBytes.
  bool append(std::string_view utf8);
  void appendOverLong();

  QStringList toStringList() const;
  static StringTable fromStringList(const QStringList& texts);
  bool operator==(const StringTable&) const = default;

 private:
  std::string bytes_;
  std::vector<std::uint32_t> ends_;
  std::vector<std::uint32_t> overLong_;  // ascending
};

class SheetTable {
 public:
  SheetTable() = default;
  // A table of the given rows, as wide as the widest one (up to the last
  // column a sheet has); empty texts are no cells.
  SheetTable(std::initializer_list<QStringList> rows);
  explicit SheetTable(const QList<QStringList>& rows);

  qsizetype size() const;
  bool isEmpty() const { return size() == 0; }
  void clear() { d_.reset(); }
  // Every row is this many cells wide.
  int columns() const;
  // Cells that hold a text.
  qint64 cellCount() const;

  // The text at the 0-based row and column; "" where there is none.
  QString cell(qsizetype row, int column) const;
  // One row, columns() texts wide ("" where there is no cell); no row out of range.
  QStringList row(qsizetype row) const;
  QStringList operator[](qsizetype r) const { return row(r); }
  QList<QStringList> toLists() const;

  // Calls visit(column, text) for every cell of the row that holds a text,
  // left to right.
  template <class Visit>
  void forEachCell(qsizetype row, Visit&& visit) const {
    if (!d_ || row < 0 || row >= size()) return;
    for (std::uint32_t k = rowBegin(row); k < d_->rowEnds[size_t(row)]; ++k)
      visit(int(d_->cells[k].column), textOf(d_->cells[k]));
  }

  bool operator==(const SheetTable& other) const;

 private:
  friend class SheetTableBuilder;
  struct Cell {
    std::uint32_t text;    // index into the own or the shared texts
    std::uint16_t column;  // 0-based
    std::uint16_t shared;  // 1: text indexes the shared strings
  };
  struct Data {
    int columns = 0;
    std::vector<std::uint32_t> rowEnds;  // end of each row's cells
    std::vector<Cell> cells;
    StringTable own;
    std::shared_ptr<const StringTable> shared;
  };
  std::uint32_t rowBegin(qsizetype row) const { return row == 0 ? 0 : d_->rowEnds[size_t(row - 1)]; }
  std::string_view utf8Of(const Cell& cell) const;
  QString textOf(const Cell& cell) const;

  std::shared_ptr<const Data> d_;
};

// Builds a table row by row. Cells of a row may come in any column order; a
// later cell replaces an earlier one of the same column.
class SheetTableBuilder {
 public:
  explicit SheetTableBuilder(std::shared_ptr<const StringTable> shared = nullptr);

  // Adds a cell to the current row (0-based column). False when the own texts are full.
  bool addText(int column, std::string_view utf8);
  void addShared(int column, std::uint32_t index);
  // Ends the current row.
  void endRow();

  qsizetype rows() const { return qsizetype(d_->rowEnds.size()); }
  qint64 cells() const { return qint64(d_->cells.size()); }
  std::uint64_t ownBytes() const { return d_->own.byteSize(); }

  SheetTable finish(int columns);

 private:
  void add(int column, std::uint32_t text, bool shared);

  std::shared_ptr<SheetTable::Data> d_;
  int lastColumn_ = -1;
  bool ordered_ = true;
};

}  // namespace xlsx
