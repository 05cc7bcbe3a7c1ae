#include "mainwindow/SeriesBindings.h"

#include <QHash>
#include <QPointer>
#include <optional>

#include "core/SKTImage.h"
#include "core/SKTUndoRecorder.h"
#include "data/DataSourceTable.h"
#include "data/dialogs/SeriesWriting.h"
#include "mainwindow/BarcodeEditing.h"
#include "mainwindow/SKTWindowController.h"
#include "production/DataBinding.h"

namespace {

enum SourceKind { Series = 1, Spreadsheet = 2 };

QList<SeriesBinding> bindingsOf(const SKTGraphicList& graphics) {
  QList<SeriesBinding> bindings;
  for (const SKTGraphicPtr& graphic : graphics)
    if (graphic)
      bindings.append(
          {graphic->className(), graphic->data_source_type_val(), graphic->batch_list_name_val()});
  return bindings;
}

// Card 1's values of the sources, each series read once.
class CardOneValues {
 public:
  // The value the object takes on card 1, or nothing when it is not bound or its source is gone.
  std::optional<QString> of(const SKTGraphic& object) {
    if (!production::isBindableKind(object)) return std::nullopt;
    if (object.data_source_type == Series) return ofSeries(object.batch_list_name);
    if (object.data_source_type == Spreadsheet) return ofColumn(object.excel_col_indx);
    return std::nullopt;
  }

 private:
  std::optional<QString> ofSeries(const QString& name) {
    if (const auto known = series_.constFind(name); known != series_.constEnd()) return *known;
    std::optional<QString> value;
    if (store_.seriesExists(name)) value = store_.Get_First_Value_Of_Dataset(name);
    series_.insert(name, value);
    return value;
  }
  std::optional<QString> ofColumn(int column) const {
    if (!table_.hasRows() || column < 0 || column >= table_.tableColumnCount()) return std::nullopt;
    return DataSeriesStore::filledValue(table_.value(0, column));
  }

  const DataSeriesStore store_;
  const DataSourceTable& table_ = Data_From_Excel_Table();
  QHash<QString, std::optional<QString>> series_;
};

// Shows the value in the object; false when it showed it already.
bool showValue(SKTGraphic& object, const QString& value) {
  switch (object.kind()) {
    case GraphicKind::Text:
      if (object.Text_contents()->string == value) return false;
      object.Text_contents()->string = value;
      return true;
    case GraphicKind::Image:
      if (object._file_path == value) return false;
      static_cast<SKTImage&>(object).setFilePath(value);
      return true;
    case GraphicKind::Barcode:
      return barcode_editing::showBoundValue(object, value);
    default:
      return false;
  }
}

}  // namespace

void showCardOneValues(SKTWindowController& window) {
  SKTDocument* document = window.document();
  if (document == nullptr) return;
  CardOneValues values;
  bool changed = false;
  // The frame a barcode's new picture takes is no edit either: it neither
  // adds a step nor takes the redo steps away after an undo.
  const SKTUndoRegistrationOff unrecorded(document->undoRecorder());
  for (CardSide side : {CardSide::Front, CardSide::Back})
    for (const SKTGraphicPtr& object : document->graphicsOfSide(side))
      if (const std::optional<QString> value = object ? values.of(*object) : std::nullopt)
        changed |= showValue(*object, *value);
  if (!changed) return;
  // The temp side may show objects of the current side.
  for (SKTGraphicView* view : {window.graphicView(), window.graphicView_BACK(), window.graphicView_TEMP()})
    if (view) view->update();
  window.followShownObject();
}

std::optional<QString> cardOneValueOf(const SKTGraphic& object) {
  return CardOneValues().of(object);
}

void installSeriesBindings(SKTWindowController& window) {
  QPointer<SKTWindowController> target(&window);
  series_writing::setDesignBindingsProvider([target] {
    if (!target || !target->document()) return SeriesBindingList({}, {}, QStringLiteral("1"));
    const SKTDocument& document = *target->document();
    // Both sides count: a series bound on the back is never rewritten under it.
    return SeriesBindingList(bindingsOf(document.graphics()), bindingsOf(document.graphics_back()),
                             QStringLiteral("2"));
  });
  const auto showNewValues = [target] {
    if (target) showCardOneValues(*target);
  };
  series_writing::setSeriesChangeListener(showNewValues);
  // An undo or redo puts back the values its step held, which the sources
  // may since have changed.
  if (SKTDocument* document = window.document())
    QObject::connect(document, &SKTDocument::undoneOrRedone, &window, showNewValues);
  // The table changes when a cell is corrected in its window or a
  // spreadsheet is chosen in the profile window.
  const DataSourceTable* table = &Data_From_Excel_Table();
  QObject::connect(table, &QAbstractItemModel::dataChanged, &window, showNewValues);
  QObject::connect(table, &QAbstractItemModel::modelReset, &window, showNewValues);
  QObject::connect(table, &QAbstractItemModel::rowsInserted, &window, showNewValues);
  QObject::connect(table, &QAbstractItemModel::columnsInserted, &window, showNewValues);
}
