#pragma once
// Data binding: which data sources a production run uses, how many cards it
// makes, and the value each bound card object takes for a row.
//
// A text, picture or barcode object (exactly those three kinds) is bound when
// its data_source_type is 1 (a data series, found by its name) or 2 (a column
// of the spreadsheet data-source table). The use checks run on the GUI thread
// and leave their answers in the program-wide flags; a run then takes the
// rows it needs as one immutable BindingRows, which its workers share.

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

#include "core/SKTGraphic.h"
#include "data/DataSeriesStore.h"
#include "data/DataSourceTable.h"

namespace production {

// The design as binding sees it; the main window provides it (GUI thread).
class BindingDesign {
 public:
  virtual ~BindingDesign() = default;
  // The live object lists of the front and the back.
  virtual SKTGraphicList Get_Front_Controls_Array() = 0;
  virtual SKTGraphicList Get_Back_Controls_Array() = 0;
  // "1" for a card with a front only, "2" for a card with a back as well.
  virtual QString cardSides() = 0;
};

// True for the three kinds that take data: texts, pictures and barcodes
// (a signature picture, a line or a shape never does).
bool isBindableKind(const SKTGraphic& graphic);

// The sources bound objects name that no longer exist: data series whose
// file is gone, and spreadsheet columns beyond the table's columns.
struct MissingSources {
  QStringList series;  // names, each once, in the order the objects name them
  QList<int> columns;  // column indexes, each once, in the same order
  bool isEmpty() const { return series.isEmpty() && columns.isEmpty(); }
};

// The rows of one run: fixed when the run starts, read by any thread.
class BindingRows {
 public:
  bool useSeries = false;
  bool useExcel = false;
  int seriesRows = 0;  // the longest loaded series
  int excelRows = 0;   // rows of the spreadsheet table
  // Lines of every loaded series, by name.
  QHash<QString, QStringList> series;
  // Rows of the spreadsheet table.
  QList<DataSourceRow> excel;
  // The missing sources the user chose to go on without: their objects are
  // empty on every card, and on a card made as designed too.
  MissingSources leftEmpty;

  // Cards of the run: the larger row count of the sources in use.
  int cardCount() const;
  // Line `row` of the named series; "" past its end or for a series not loaded.
  QString seriesValue(int row, const QString& name) const;
  // Cell of `row` in column `column` (0 is the row number "Extension"); ""
  // past the table's end and for a column the row lacks.
  QString excelValue(int row, int column) const;
  // The trimmed value the object takes on `row`, or nothing when the object
  // is not filled by this run (manual, or its source is not in use). A
  // negative row is the card as designed: only objects left empty are filled.
  std::optional<QString> valueFor(const SKTGraphic& graphic, int row) const;
};

// One slot of the series binding table: a series name, with its lines once read.
struct SeriesSlot {
  QString name;
  std::optional<QStringList> lines;
};

// A run's closing message followed, after a blank line, by the note of
// objects left empty (confirmMissingSources); the message alone when there is none.
QString withClosingNote(const QString& message, const QString& note);

class DataBinding {
 public:
  // The store and table default to the program's own.
  explicit DataBinding(BindingDesign& design);
  DataBinding(BindingDesign& design, DataSeriesStore store, DataSourceTable& table);

  // ---- Use checks and counts (GUI thread; they set the program-wide flags) ----
  // The two use checks and the card count. False when a bound series could not
  // be read (its name was shown in a message): no run may start then.
  bool Check_Series_Or_Excel_Use_or_not();
  bool Check_Data_Sheet_Value_Use_or_Not();
  void Check_Excel_Binding_Value_Use_or_Not();
  bool Check_Front_Side_Dataset_Is_Used();
  bool Check_Back_Side_Dataset_Is_Used();
  bool Check_Front_Side_Excel_Binding_Is_Used();
  bool Check_Back_Side_Excel_Binding_Is_Used();
  // Rebuilds the series table: one slot per series of the listing, and the
  // lines of every series a bound object names.
  bool Create_Dataset_binding_table();
  // Reads the named series into its slot; false (with a message naming the
  // series) when the file is not UTF-8 text or is too large. A missing file
  // leaves the slot as it is.
  bool Add_dataset_col_in_binding_table(const QString& name);
  void Calculate_data_table_rows();
  void Calculate_Excel_table_rows();
  void Get_total_Card_count();

  // ---- Lookups (the table as the last check left it) ----
  QString Get_sel_row_col_value_of_dataset(int row, const QString& name) const;
  QString Get_sel_row_col_value_of_Excel(int row, int column) const;

  // ---- Before a run (GUI thread, after the use checks) ----
  // The sources a run would fill from that no longer exist: missing series
  // when it fills series rows (`series`), missing columns when it fills
  // spreadsheet rows (`excel`), named by the objects of the sides the run
  // makes (`sides`: "F", "B" or "BOTH"; the back only for a card with one).
  // A source that bound objects use but that had no rows at the last use
  // check (every series it names gone, or no spreadsheet rows) is looked at
  // as well: the run would otherwise make the design as it stands, with
  // whatever those objects show. Series are as the last use check read them.
  MissingSources missingSources(bool series, bool excel, const QString& sides);
  // When missingSources is not empty, names them and asks whether the run
  // goes on with those objects empty ("No" is the default). False: the run
  // must not start. `closingNote` gets the line the run's closing message
  // adds when it goes on (empty when nothing is missing); the sources gone on
  // without are left empty in the rows of the run (rowsForRun).
  bool confirmMissingSources(bool series, bool excel, const QString& sides, QString* closingNote);

  // The rows a run uses, with the flags as they stand now.
  std::shared_ptr<const BindingRows> rowsForRun() const;

  const QList<SeriesSlot>& data_table_content() const { return table_; }
  int Data_table_rows = 0;
  int Excel_table_rows = 0;

 private:
  bool sideUses(const SKTGraphicList& graphics, int sourceType) const;
  // The bound objects of the sides a run makes (the back only for a card with one).
  SKTGraphicList boundObjectsOfRun(const QString& sides);
  bool backCounts();

  BindingDesign& design_;
  DataSeriesStore store_;
  DataSourceTable& excel_;
  QList<SeriesSlot> table_;
  // Bound sources without rows at the last use check.
  bool seriesWithoutRows_ = false;
  bool excelWithoutRows_ = false;
  // What the last confirmMissingSources went on without.
  MissingSources leftEmpty_;
};

// Card 1's value of a series, read and trimmed as a run fills it ("" when the
// series has none or cannot be read): what an object shows once bound to it.
QString Get_First_Value_Of_Dataset(const QString& name);
// The first row's value in a column of the spreadsheet table, trimmed as a run
// fills it ("" without rows): the preview of a spreadsheet binding.
QString Get_First_Value_Of_Excel_Binding(int column);

}  // namespace production
