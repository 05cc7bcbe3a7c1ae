#include "production/CutTexts.h"

#include "core/SKTText.h"
#include "data/DataSourceTable.h"
#include "platform/QuotedValue.h"

namespace production {

namespace {

constexpr int kSeriesSource = 1;
constexpr int kExcelSource = 2;
// Characters of a text a note quotes.
constexpr qsizetype kQuoted = 24;

QString shortened(const QString& text) {
  return text.size() > kQuoted ? text.left(kQuoted) + QChar(0x2026) : text;
}

// The source as the window names it: a column by the title the data-source
// tab and the table window show, by its number only when it has none.
QString sourceOf(const SKTGraphic& text) {
  if (text.data_source_type == kSeriesSource)
    return QStringLiteral("data series \"%1\"").arg(platform::quotedValue(text.batch_list_name));
  const QString title = Data_From_Excel_Table().columnTitles().value(text.excel_col_indx).trimmed();
  if (title.isEmpty()) return QStringLiteral("spreadsheet column %1").arg(text.excel_col_indx);
  return QStringLiteral("spreadsheet column \"%1\"").arg(platform::quotedValue(title));
}

}  // namespace

QStringList cutBoundTexts(const SKTGraphicList& side, CardSide which) {
  QStringList cut;
  const QString sideName = which == CardSide::Back ? QStringLiteral("back") : QStringLiteral("front");
  for (const SKTGraphicPtr& object : side) {
    if (!object || object->kind() != GraphicKind::Text) continue;
    if (object->data_source_type != kSeriesSource && object->data_source_type != kExcelSource) continue;
    if (object->print_object != 0 || !object->ctrl_is_visible) continue;
    const auto& text = static_cast<const SKTText&>(*object);
    if (!text.isContentsCut()) continue;
    cut << QStringLiteral("%1 text \"%2\" (%3)")
               .arg(sideName, shortened(text.drawnCharacters().simplified()), sourceOf(text));
  }
  return cut;
}

void CutTexts::add(int row, const QStringList& texts) {
  if (texts.isEmpty()) return;
  if (cards_ == 0 || row != lastRow_) ++cards_;
  lastRow_ = row;
  for (const QString& text : texts) {
    if (named_.size() < kNamed)
      named_ << QStringLiteral("card %1: %2").arg(row + 1).arg(text);
    else
      ++more_;
  }
}

QString CutTexts::note() const {
  if (cards_ == 0) return {};
  QString text = (cards_ == 1 ? QStringLiteral("1 card lost") : QStringLiteral("%1 cards lost").arg(cards_)) +
                 QStringLiteral(" part of a bound text that does not fit its box:\n") +
                 named_.join(QLatin1Char('\n'));
  if (more_ > 0) text += QStringLiteral("\nand %1 more.").arg(more_);
  return text;
}

}  // namespace production
