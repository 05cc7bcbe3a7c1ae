#include "data/XlsxPartWriter.h"

#include <pugixml.hpp>
#include <sstream>

#include "data/XlsxFormat.h"

namespace xlsx {
namespace {

const char* const kMainNamespace = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const char* const kRelationshipsNamespace =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const char* const kCompatibilityNamespace = "http://schemas.openxmlformats.org/markup-compatibility/2006";
const char* const kX14acNamespace = "http://schemas.microsoft.com/office/spreadsheetml/2009/9/ac";
const char* const kMacNamespace = "http://schemas.microsoft.com/office/mac/excel/2008/main";

std::string utf8(const QString& text) {
  return text.toStdString();
}

void addDeclaration(pugi::xml_document& doc) {
  pugi::xml_node decl = doc.prepend_child(pugi::node_declaration);
  decl.append_attribute("version") = "1.0";
  decl.append_attribute("encoding") = "UTF-8";
  decl.append_attribute("standalone") = "yes";
}

QByteArray serialize(const pugi::xml_document& doc) {
  std::ostringstream out;
  doc.save(out, "  ", pugi::format_indent, pugi::encoding_utf8);
  const std::string text = out.str();
  QByteArray bytes(text.data(), qsizetype(text.size()));
  // XML readers turn a raw carriage return into a line feed; as a character
  // reference it comes back as written. The layout itself uses line feeds
  // only, so every carriage return here belongs to a cell text.
  return bytes.replace('\r', "&#13;");
}

// Text for a "t" element; blanks at either end are kept only with xml:space.
void setText(pugi::xml_node t, const QString& text) {
  if (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace()))
    t.append_attribute("xml:space") = "preserve";
  t.text().set(utf8(escapeXmlText(text)).c_str());
}

}  // namespace

WorksheetPart worksheetXml(const QList<QStringList>& rows) {
  WorksheetPart part;
  qsizetype columns = 0;
  for (const QStringList& row : rows) columns = std::max(columns, row.size());
  const int lastColumn = int(std::max<qsizetype>(columns, 1));
  const qsizetype lastRow = std::max<qsizetype>(rows.size(), 1);
  const std::string lastCell = utf8(columnName(lastColumn)) + std::to_string(lastRow);

  pugi::xml_document doc;
  addDeclaration(doc);
  pugi::xml_node sheet = doc.append_child("worksheet");
  sheet.append_attribute("xmlns") = kMainNamespace;
  sheet.append_attribute("xmlns:r") = kRelationshipsNamespace;
  sheet.append_attribute("xmlns:mc") = kCompatibilityNamespace;
  sheet.append_attribute("xmlns:x14ac") = kX14acNamespace;
  sheet.append_attribute("mc:Ignorable") = "x14ac";

  sheet.append_child("dimension").append_attribute("ref") = ("A1:" + lastCell).c_str();

  pugi::xml_node view = sheet.append_child("sheetViews").append_child("sheetView");
  view.append_attribute("tabSelected") = "1";
  view.append_attribute("workbookViewId") = "0";
  pugi::xml_node selection = view.append_child("selection");
  selection.append_attribute("activeCell") = lastCell.c_str();
  selection.append_attribute("sqref") = lastCell.c_str();

  pugi::xml_node format = sheet.append_child("sheetFormatPr");
  format.append_attribute("baseColWidth") = "10";
  format.append_attribute("defaultRowHeight") = "15";
  format.append_attribute("x14ac:dyDescent") = "0";

  pugi::xml_node sheetData = sheet.append_child("sheetData");
  const std::string spans = "1:" + std::to_string(lastColumn);
  for (qsizetype i = 0; i < rows.size(); ++i) {
    const std::string rowNumber = std::to_string(i + 1);
    pugi::xml_node row = sheetData.append_child("row");
    row.append_attribute("r") = rowNumber.c_str();
    row.append_attribute("spans") = spans.c_str();
    const QStringList& cells = rows.at(i);
    for (qsizetype k = 0; k < cells.size(); ++k) {
      pugi::xml_node cell = row.append_child("c");
      cell.append_attribute("r") = (utf8(columnName(int(k + 1))) + rowNumber).c_str();
      const QString& text = cells.at(k);
      pugi::xml_node value = cell.append_child("v");
      if (isExactNumberText(text)) {
        value.text().set(utf8(text).c_str());
      } else {
        cell.insert_attribute_after("t", cell.attribute("r")) = "s";
        value.text().set(std::to_string(part.sharedStrings.size()).c_str());
        part.sharedStrings.append(text);
      }
    }
  }

  pugi::xml_node margins = sheet.append_child("pageMargins");
  margins.append_attribute("left") = "0.75";
  margins.append_attribute("right") = "0.75";
  margins.append_attribute("top") = "1";
  margins.append_attribute("bottom") = "0.5";
  margins.append_attribute("header") = "0.5";
  margins.append_attribute("footer") = "0.5";

  pugi::xml_node ext = sheet.append_child("extLst").append_child("ext");
  ext.append_attribute("xmlns:mx") = kMacNamespace;
  ext.append_attribute("uri") = "{64002731-A6B0-56B0-2670-7721B7C09600}";
  pugi::xml_node plv = ext.append_child("mx:PLV");
  plv.append_attribute("Mode") = "0";
  plv.append_attribute("OnePage") = "0";
  plv.append_attribute("WScale") = "0";

  part.xml = serialize(doc);
  return part;
}

QByteArray sharedStringsXml(const QStringList& strings) {
  pugi::xml_document doc;
  addDeclaration(doc);
  pugi::xml_node sst = doc.append_child("sst");
  sst.append_attribute("xmlns") = kMainNamespace;
  if (!strings.isEmpty()) {
    const std::string count = std::to_string(strings.size());
    sst.append_attribute("count") = count.c_str();
    sst.append_attribute("uniqueCount") = count.c_str();
  }
  for (const QString& text : strings) setText(sst.append_child("si").append_child("t"), text);
  return serialize(doc);
}

}  // namespace xlsx
