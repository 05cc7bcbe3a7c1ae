#include "data/XlsxSheetReader.h"

#include <cstring>
#include <pugixml.hpp>

#include "data/Report.h"
#include "data/XlsxFormat.h"

namespace xlsx {
namespace {

const char* localName(const pugi::xml_node& node) {
  const char* name = node.name();
  const char* colon = std::strrchr(name, ':');
  return colon ? colon + 1 : name;
}

bool named(const pugi::xml_node& node, const char* local) {
  return std::strcmp(localName(node), local) == 0;
}

pugi::xml_node child(const pugi::xml_node& parent, const char* local) {
  for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling())
    if (c.type() == pugi::node_element && named(c, local)) return c;
  return pugi::xml_node();
}

QString textOf(const pugi::xml_node& node) {
  return QString::fromUtf8(node.child_value());
}

// Parses the bytes in place. Whitespace-only text of an element (a cell holding
// a blank) is kept. A part whose tree would not fit the budget is not parsed.
QString parse(pugi::xml_document& doc, QByteArray& xml, qint64 maxTreeBytes) {
  if (estimatedTreeBytes(xml) > maxTreeBytes)
    return QStringLiteral("the part is too large to read (its tree would take more than %1 MB)")
        .arg(maxTreeBytes / (1024 * 1024));
  const unsigned options = pugi::parse_default | pugi::parse_ws_pcdata_single;
  const pugi::xml_parse_result result =
      doc.load_buffer_inplace(xml.data(), size_t(xml.size()), options, pugi::encoding_auto);
  if (!result)
    return QStringLiteral("%1 at offset %2").arg(QString::fromUtf8(result.description())).arg(result.offset);
  if (!doc.document_element()) return QStringLiteral("the document has no root element");
  return QString();
}

// The text of a string item (shared or inline): its own "t" and the "t" of
// every formatted run, joined; phonetic runs are not part of the text.
QString stringItemText(const pugi::xml_node& item) {
  QString text;
  for (pugi::xml_node c = item.first_child(); c; c = c.next_sibling()) {
    if (c.type() != pugi::node_element) continue;
    if (named(c, "t")) {
      text += textOf(c);
    } else if (named(c, "r")) {
      if (pugi::xml_node t = child(c, "t")) text += textOf(t);
    }
  }
  return unescapeXmlText(text);
}

// Decimal digits at the start of the text, or -1 when there are none.
qint64 leadingIndex(const char* text) {
  while (*text == ' ' || *text == '\t' || *text == '\n' || *text == '\r') ++text;
  if (*text < '0' || *text > '9') return -1;
  qint64 value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    value = value * 10 + (*text - '0');
    if (value > (qint64{1} << 40)) return -1;
  }
  return value;
}

QString cellValue(const pugi::xml_node& cell, const QStringList& shared) {
  const char* type = cell.attribute("t").value();
  if (std::strcmp(type, "s") == 0) {
    const qint64 index = leadingIndex(child(cell, "v").child_value());
    return index >= 0 && index < shared.size() ? shared.at(index) : QString();
  }
  if (std::strcmp(type, "inlineStr") == 0) return stringItemText(child(cell, "is"));
  return textOf(child(cell, "v"));
}

// The cell's 1-based column: from its reference, or the one after the previous
// cell when it has none. 0 for a reference without letters, -1 beyond the last column.
int cellColumn(const pugi::xml_node& cell, int previous) {
  const pugi::xml_attribute ref = cell.attribute("r");
  if (!ref) return previous + 1 <= kMaxColumns ? previous + 1 : -1;
  return columnNumber(QString::fromUtf8(ref.value()));
}

QString cellError(const pugi::xml_node& cell, int column) {
  const QString ref = data_report::excerpt(QString::fromUtf8(cell.attribute("r").value()));
  if (column < 0) return QStringLiteral("cell %1 lies beyond the last column").arg(ref);
  return QStringLiteral("cell reference \"%1\" names no column").arg(ref);
}

// The last column of the dimension ("A1:C20" -> 3, "B2" -> 2), 0 when unusable.
int dimensionColumns(const pugi::xml_node& worksheet) {
  const pugi::xml_node dimension = child(worksheet, "dimension");
  if (!dimension) return 0;
  QString ref = QString::fromUtf8(dimension.attribute("ref").value()).trimmed();
  const qsizetype colon = ref.indexOf(':');
  if (colon >= 0) ref = ref.mid(colon + 1);
  return std::max(0, columnNumber(ref));
}

}  // namespace

qint64 estimatedTreeBytes(const QByteArray& xml) {
  // The parser's node and attribute records on a 64-bit build.
  constexpr qint64 kNodeBytes = 64;
  constexpr qint64 kAttributeBytes = 40;
  qint64 nodes = 1;
  qint64 attributes = 0;
  for (const char c : xml) {
    nodes += c == '<';
    attributes += c == '=';
  }
  return nodes * kNodeBytes + attributes * kAttributeBytes;
}

SharedStringsResult readSharedStrings(QByteArray xml, qint64 maxTreeBytes) {
  SharedStringsResult result;
  pugi::xml_document doc;
  result.error = parse(doc, xml, maxTreeBytes);
  if (!result.error.isEmpty()) return result;
  const pugi::xpath_node_set items = doc.select_nodes("/*[local-name()='sst'][1]/*[local-name()='si']");
  result.strings.reserve(qsizetype(items.size()));
  for (const pugi::xpath_node& item : items) result.strings.append(stringItemText(item.node()));
  return result;
}

SheetResult readSheet(QByteArray xml, const QStringList& sharedStrings, SheetRows which,
                      qint64 maxTreeBytes) {
  SheetResult result;
  pugi::xml_document doc;
  result.error = parse(doc, xml, maxTreeBytes);
  if (!result.error.isEmpty()) return result;
  const pugi::xml_node worksheet = doc.document_element();
  if (!named(worksheet, "worksheet")) {
    result.error = QStringLiteral("the part is no worksheet");
    return result;
  }
  const pugi::xpath_node_set rowNodes = doc.select_nodes(
      "/*[local-name()='worksheet'][1]/*[local-name()='sheetData'][1]/*[local-name()='row']");

  // The column count: the cells decide; a sheet without cells takes its dimension.
  int lastCellColumn = 0;
  for (const pugi::xpath_node& row : rowNodes) {
    int column = 0;
    for (pugi::xml_node cell = row.node().first_child(); cell; cell = cell.next_sibling()) {
      if (cell.type() != pugi::node_element || !named(cell, "c")) continue;
      column = cellColumn(cell, column);
      if (column <= 0) {
        result.error = cellError(cell, column);
        return result;
      }
      lastCellColumn = std::max(lastCellColumn, column);
    }
  }
  const int columns = lastCellColumn > 0 ? lastCellColumn : dimensionColumns(worksheet);
  const qint64 rowCount =
      which == SheetRows::FirstOnly ? std::min<qint64>(1, qint64(rowNodes.size())) : qint64(rowNodes.size());
  // Rows without cells still cost memory: each counts at least as one cell.
  if (rowCount * std::max(columns, 1) > kMaxSheetCells) {
    result.error = QStringLiteral("the sheet holds more than %1 cells").arg(kMaxSheetCells);
    return result;
  }
  result.columns = columns;

  QStringList blank;
  for (int k = 1; k <= columns; ++k)
    blank.append(which == SheetRows::FirstOnly ? QStringLiteral("Untitled Column %1").arg(k) : QString());

  result.rows.reserve(rowCount);
  for (qint64 r = 0; r < rowCount; ++r) {
    QStringList cells = blank;
    int column = 0;
    for (pugi::xml_node cell = rowNodes[size_t(r)].node().first_child(); cell; cell = cell.next_sibling()) {
      if (cell.type() != pugi::node_element || !named(cell, "c")) continue;
      column = cellColumn(cell, column);
      const QString value = cellValue(cell, sharedStrings);
      if (!value.isEmpty()) cells[column - 1] = value;
    }
    result.rows.append(std::move(cells));
  }
  return result;
}

QStringList readSheetNames(QByteArray xml, QString* error, qint64 maxTreeBytes) {
  QStringList names;
  pugi::xml_document doc;
  const QString problem = parse(doc, xml, maxTreeBytes);
  if (error) *error = problem;
  if (!problem.isEmpty()) return names;
  for (const pugi::xpath_node& sheet : doc.select_nodes("//*[local-name()='sheet']"))
    names.append(QString::fromUtf8(sheet.node().attribute("name").value()));
  return names;
}

}  // namespace xlsx
