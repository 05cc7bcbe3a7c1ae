#include "production/DataBinding.h"

#include <algorithm>
#include <exception>

#include "platform/Messages.h"
#include "platform/QuotedValue.h"
#include "production/globals.h"

namespace production {

namespace {

constexpr int kSeriesSource = 1;
constexpr int kExcelSource = 2;

void showReason(const std::exception& e) {
  Show_MessageBox(QString::fromUtf8(e.what()));
}

// One line per missing source, as the question before a run names them.
QStringList missingSourceLines(const MissingSources& missing, int tableColumns) {
  QStringList lines;
  for (const QString& name : missing.series)
    lines << (name.isEmpty() ? QStringLiteral("An object is bound to a data series without a name.")
                             : QStringLiteral("The data series \"%1\" no longer exists.")
                                   .arg(platform::quotedValue(name)));
  for (int column : missing.columns)
    lines << QStringLiteral(
                 "The spreadsheet column %1 no longer exists (the spreadsheet data has %2 columns).")
                 .arg(column)
                 .arg(std::max(0, tableColumns - 1));
  return lines;
}

// What the closing message of a run that went on adds.
QString emptiedObjectsNote(const MissingSources& missing) {
  QStringList sources;
  for (const QString& name : missing.series)
    sources << (name.isEmpty() ? QStringLiteral("a data series without a name")
                               : QStringLiteral("the data series \"%1\"").arg(platform::quotedValue(name)));
  for (int column : missing.columns) sources << QStringLiteral("spreadsheet column %1").arg(column);
  return QStringLiteral("The objects bound to data that no longer exists were left empty (%1).")
      .arg(sources.join(QStringLiteral(", ")));
}

}  // namespace

QString withClosingNote(const QString& message, const QString& note) {
  return note.isEmpty() ? message : message + QStringLiteral("\n\n") + note;
}

bool isBindableKind(const SKTGraphic& graphic) {
  const GraphicKind kind = graphic.kind();
  return kind == GraphicKind::Text || kind == GraphicKind::Image || kind == GraphicKind::Barcode;
}

// ---------------------------------------------------------------- BindingRows

int BindingRows::cardCount() const {
  return std::max(useSeries ? seriesRows : 0, useExcel ? excelRows : 0);
}

QString BindingRows::seriesValue(int row, const QString& name) const {
  const auto it = series.constFind(name);
  if (row < 0 || it == series.constEnd() || row >= it->size()) return QStringLiteral("");
  return it->at(row);
}

QString BindingRows::excelValue(int row, int column) const {
  if (row < 0 || row >= excelRows || row >= excel.size() || column < 0) return QStringLiteral("");
  return excel.at(row).value(DataSourceTable::keyForIndex(column), QStringLiteral(""));
}

std::optional<QString> BindingRows::valueFor(const SKTGraphic& graphic, int row) const {
  if (!isBindableKind(graphic)) return std::nullopt;
  if ((graphic.data_source_type == kSeriesSource && leftEmpty.series.contains(graphic.batch_list_name)) ||
      (graphic.data_source_type == kExcelSource && leftEmpty.columns.contains(graphic.excel_col_indx)))
    return QStringLiteral("");
  if (row < 0) return std::nullopt;
  if (graphic.data_source_type == kSeriesSource && useSeries)
    return DataSeriesStore::filledValue(seriesValue(row, graphic.batch_list_name));
  if (graphic.data_source_type == kExcelSource && useExcel)
    return DataSeriesStore::filledValue(excelValue(row, graphic.excel_col_indx));
  return std::nullopt;
}

// ---------------------------------------------------------------- DataBinding

DataBinding::DataBinding(BindingDesign& design)
    : DataBinding(design, DataSeriesStore(), Data_From_Excel_Table()) {}

DataBinding::DataBinding(BindingDesign& design, DataSeriesStore store, DataSourceTable& table)
    : design_(design), store_(std::move(store)), excel_(table) {}

bool DataBinding::sideUses(const SKTGraphicList& graphics, int sourceType) const {
  return std::any_of(graphics.begin(), graphics.end(), [sourceType](const SKTGraphicPtr& g) {
    return g && isBindableKind(*g) && g->data_source_type == sourceType;
  });
}

bool DataBinding::backCounts() {
  return design_.cardSides() == QLatin1String("2");
}

bool DataBinding::Check_Front_Side_Dataset_Is_Used() {
  return sideUses(design_.Get_Front_Controls_Array(), kSeriesSource);
}
bool DataBinding::Check_Back_Side_Dataset_Is_Used() {
  return sideUses(design_.Get_Back_Controls_Array(), kSeriesSource);
}
bool DataBinding::Check_Front_Side_Excel_Binding_Is_Used() {
  return sideUses(design_.Get_Front_Controls_Array(), kExcelSource);
}
bool DataBinding::Check_Back_Side_Excel_Binding_Is_Used() {
  return sideUses(design_.Get_Back_Controls_Array(), kExcelSource);
}

bool DataBinding::Check_Series_Or_Excel_Use_or_not() {
  leftEmpty_ = {};
  const bool seriesReadable = Check_Data_Sheet_Value_Use_or_Not();
  Check_Excel_Binding_Value_Use_or_Not();
  Get_total_Card_count();
  return seriesReadable;
}

bool DataBinding::Check_Data_Sheet_Value_Use_or_Not() {
  bool readable = true;
  try {
    table_.clear();
    seriesWithoutRows_ = false;
    Use_Data_Sheet_Values.store(false);
    bool used = Check_Front_Side_Dataset_Is_Used();
    if (!used && backCounts()) used = Check_Back_Side_Dataset_Is_Used();
    Use_Data_Sheet_Values.store(used);
    if (!used) return true;
    readable = Create_Dataset_binding_table();
    Calculate_data_table_rows();
    seriesWithoutRows_ = Data_table_rows == 0;
    if (seriesWithoutRows_) Use_Data_Sheet_Values.store(false);
  } catch (const std::exception& e) {
    showReason(e);
  }
  return readable;
}

void DataBinding::Check_Excel_Binding_Value_Use_or_Not() {
  try {
    excelWithoutRows_ = false;
    Use_Excel_Binding_Values.store(false);
    bool used = Check_Front_Side_Excel_Binding_Is_Used();
    if (!used && backCounts()) used = Check_Back_Side_Excel_Binding_Is_Used();
    Use_Excel_Binding_Values.store(used);
    if (!used) return;
    Calculate_Excel_table_rows();
    excelWithoutRows_ = Excel_table_rows == 0;
    if (excelWithoutRows_) Use_Excel_Binding_Values.store(false);
  } catch (const std::exception& e) {
    showReason(e);
  }
}

bool DataBinding::Create_Dataset_binding_table() {
  bool readable = true;
  try {
    table_.clear();
    for (const QString& name : store_.Get_datasheet_File_Name_Array()) table_.append(SeriesSlot{name, {}});
    QStringList loaded;
    const auto loadSide = [&](const SKTGraphicList& graphics) {
      for (const SKTGraphicPtr& g : graphics) {
        if (!g || !isBindableKind(*g) || g->data_source_type != kSeriesSource) continue;
        // Each series is read once, however many objects show it.
        if (loaded.contains(g->batch_list_name)) continue;
        loaded.append(g->batch_list_name);
        if (!Add_dataset_col_in_binding_table(g->batch_list_name)) readable = false;
      }
    };
    loadSide(design_.Get_Front_Controls_Array());
    if (backCounts()) loadSide(design_.Get_Back_Controls_Array());
  } catch (const std::exception& e) {
    qCWarning(lcProduction).noquote() << QString::fromUtf8(e.what());
  }
  return readable;
}

bool DataBinding::Add_dataset_col_in_binding_table(const QString& name) {
  const auto slot =
      std::find_if(table_.begin(), table_.end(), [&](const SeriesSlot& s) { return s.name == name; });
  if (slot == table_.end()) return true;  // no such series file: its objects stay empty
  bool refused = false;
  std::optional<QStringList> lines = DataSeriesStore::readSeriesLines(store_.seriesFilePath(name), &refused);
  if (refused) {
    qCWarning(lcProduction).noquote() << DataSeriesStore::refusedSeriesMessage(name);
    Show_MessageBox(DataSeriesStore::refusedSeriesMessage(name));
    return false;
  }
  if (lines) slot->lines = std::move(lines);
  return true;
}

void DataBinding::Calculate_data_table_rows() {
  int rows = 0;
  for (const SeriesSlot& slot : table_)
    if (slot.lines) rows = std::max(rows, static_cast<int>(slot.lines->size()));
  Data_table_rows = rows;
}

void DataBinding::Calculate_Excel_table_rows() {
  Excel_table_rows = excel_.tableRowCount();
}

void DataBinding::Get_total_Card_count() {
  try {
    if (Use_Data_Sheet_Values.load())
      Calculate_data_table_rows();
    else
      Data_table_rows = 0;
    if (Use_Excel_Binding_Values.load())
      Calculate_Excel_table_rows();
    else
      Excel_table_rows = 0;
    Total_Batch_Excel_Card.store(std::max(Data_table_rows, Excel_table_rows));
  } catch (const std::exception& e) {
    showReason(e);
  }
}

QString DataBinding::Get_sel_row_col_value_of_dataset(int row, const QString& name) const {
  for (const SeriesSlot& slot : table_) {
    if (slot.name != name) continue;
    if (!slot.lines || row < 0 || row >= slot.lines->size()) return QStringLiteral("");
    return slot.lines->at(row);
  }
  return QStringLiteral("");
}

QString DataBinding::Get_sel_row_col_value_of_Excel(int row, int column) const {
  if (row < 0 || row >= Excel_table_rows) return QStringLiteral("");
  return excel_.value(row, column);
}

SKTGraphicList DataBinding::boundObjectsOfRun(const QString& sides) {
  SKTGraphicList objects;
  const auto take = [&objects](const SKTGraphicList& side) {
    for (const SKTGraphicPtr& g : side)
      if (g && isBindableKind(*g)) objects.push_back(g);
  };
  const bool both = sides == QLatin1String("BOTH");
  if (both || sides == QLatin1String("F")) take(design_.Get_Front_Controls_Array());
  if (sides != QLatin1String("F") && backCounts()) take(design_.Get_Back_Controls_Array());
  return objects;
}

MissingSources DataBinding::missingSources(bool series, bool excel, const QString& sides) {
  MissingSources missing;
  series = series || seriesWithoutRows_;
  excel = excel || excelWithoutRows_;
  if (!series && !excel) return missing;
  const int tableColumns = excel_.tableColumnCount();
  for (const SKTGraphicPtr& g : boundObjectsOfRun(sides)) {
    if (series && g->data_source_type == kSeriesSource) {
      const QString& name = g->batch_list_name;
      const bool loaded = std::any_of(table_.cbegin(), table_.cend(), [&name](const SeriesSlot& slot) {
        return slot.name == name && slot.lines.has_value();
      });
      if (!loaded && !missing.series.contains(name)) missing.series << name;
    } else if (excel && g->data_source_type == kExcelSource) {
      const int column = g->excel_col_indx;
      const bool exists = column >= 0 && column < tableColumns;
      if (!exists && !missing.columns.contains(column)) missing.columns << column;
    }
  }
  return missing;
}

bool DataBinding::confirmMissingSources(bool series, bool excel, const QString& sides, QString* closingNote) {
  if (closingNote) closingNote->clear();
  leftEmpty_ = {};
  const MissingSources missing = missingSources(series, excel, sides);
  if (missing.isEmpty()) return true;
  const QString question =
      QStringLiteral(
          "Some objects of the card take their values from data that no longer exists:\n%1\n\n"
          "Do you want to go on with those objects left empty on every card?")
          .arg(missingSourceLines(missing, excel_.tableColumnCount()).join(QLatin1Char('\n')));
  if (!Show_YES_NO_MessageBox_Default_No(question)) return false;
  if (closingNote) *closingNote = emptiedObjectsNote(missing);
  leftEmpty_ = missing;
  return true;
}

std::shared_ptr<const BindingRows> DataBinding::rowsForRun() const {
  auto rows = std::make_shared<BindingRows>();
  rows->useSeries = Use_Data_Sheet_Values.load();
  rows->useExcel = Use_Excel_Binding_Values.load();
  rows->leftEmpty = leftEmpty_;
  if (rows->useSeries) {
    rows->seriesRows = Data_table_rows;
    for (const SeriesSlot& slot : table_)
      if (slot.lines) rows->series.insert(slot.name, *slot.lines);
  }
  if (rows->useExcel) {
    rows->excel = excel_.ListData();
    rows->excelRows = std::min(Excel_table_rows, static_cast<int>(rows->excel.size()));
  }
  return rows;
}

// ---------------------------------------------------------------- previews

QString Get_First_Value_Of_Dataset(const QString& name) {
  try {
    return DataSeriesStore().Get_First_Value_Of_Dataset(name);
  } catch (const std::exception& e) {
    qCWarning(lcProduction).noquote() << QString::fromUtf8(e.what());
  }
  return QStringLiteral("");
}

QString Get_First_Value_Of_Excel_Binding(int column) {
  try {
    const DataSourceTable& table = Data_From_Excel_Table();
    if (!table.hasRows()) return QStringLiteral("");
    return DataSeriesStore::filledValue(table.value(0, column));
  } catch (const std::exception& e) {
    qCWarning(lcProduction).noquote() << QString::fromUtf8(e.what());
  }
  return QStringLiteral("");
}

}  // namespace production
