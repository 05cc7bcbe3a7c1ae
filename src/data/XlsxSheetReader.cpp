#include "data/XlsxSheetReader.h"

#include <expat.h>

#include <QHash>
#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

#include "data/CardZipArchive.h"
#include "data/Report.h"
#include "data/XlsxFormat.h"
#include "data/XlsxPackage.h"

namespace xlsx {
namespace {

// The name after its prefix, found in one pass (this runs for every element).
std::string_view localName(const char* name) {
  const char* local = name;
  const char* end = name;
  for (; *end; ++end)
    if (*end == ':') local = end + 1;
  return std::string_view(local, size_t(end - local));
}

const char* attribute(const char** atts, const char* wanted) {
  for (; *atts; atts += 2)
    if (std::strcmp(atts[0], wanted) == 0) return atts[1];
  return nullptr;
}

QString fromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// UTF-16 units of valid UTF-8 text: one for every byte that starts a
// character, one more for those of four bytes.
qint64 utf16Length(std::string_view text) {
  qint64 units = 0;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    units += (byte & 0xC0) != 0x80;
    units += byte >= 0xF0;
  }
  return units;
}

// The 1-based column whose letters start the reference ("AB7" -> 28): 0 when
// it starts with no letter, -1 beyond the last column.
int columnOf(const char* reference) {
  int number = 0;
  for (const char* p = reference;; ++p) {
    const char c = *p;
    int letter;
    if (c >= 'A' && c <= 'Z')
      letter = c - 'A' + 1;
    else if (c >= 'a' && c <= 'z')
      letter = c - 'a' + 1;
    else
      return number;
    number = number * 26 + letter;
    if (number > kMaxColumns) return -1;
  }
}

// Decimal digits at the start of the text (after blanks), or -1 when there are none.
qint64 leadingIndex(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r')) ++i;
  if (i == text.size() || text[i] < '0' || text[i] > '9') return -1;
  qint64 value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > (qint64{1} << 40)) return -1;
  }
  return value;
}

// The last column of a dimension ("A1:C20" -> 3, "B2" -> 2), 0 when unusable.
int dimensionColumns(const char* ref) {
  if (!ref) return 0;
  QString text = QString::fromUtf8(ref).trimmed();
  const qsizetype colon = text.indexOf(':');
  if (colon >= 0) text = text.mid(colon + 1);
  return std::max(0, columnNumber(text));
}

QString quoted(const char* text) {
  return data_report::excerpt(QString::fromUtf8(text ? text : ""));
}

// Text gathered from character data, up to a cap; what passes the cap is
// dropped and remembered, so that a hostile part cannot make it grow.
class CappedText {
 public:
  void reset(size_t cap) {
    bytes_.clear();
    cap_ = cap;
    overflow_ = false;
  }
  void append(const char* s, int len) {
    if (overflow_ || bytes_.size() + size_t(len) > cap_) {
      overflow_ = true;
      return;
    }
    bytes_.append(s, size_t(len));
  }
  bool overflow() const { return overflow_; }
  std::string& bytes() { return bytes_; }

 private:
  std::string bytes_;
  size_t cap_ = 0;
  bool overflow_ = false;
};

// Whether a cell text is over the character limit once its _xHHHH_ escapes
// are undone (when they apply); the text is left unescaped.
bool overLong(CappedText& text, bool escaped, qint64 maxCharacters) {
  if (text.overflow()) return true;
  std::string& bytes = text.bytes();
  if (escaped && bytes.find("_x") != std::string::npos)
    bytes = unescapeXmlText(fromUtf8(bytes)).toStdString();
  return qint64(bytes.size()) > maxCharacters && utf16Length(bytes) > maxCharacters;
}

// Raw bytes a cell of the most characters can take: no character, plain or
// written as an _xHHHH_ escape, takes more than seven bytes a UTF-16 unit.
size_t rawCap(const ReadLimits& limits) {
  return size_t(std::min<qint64>(limits.maxCellCharacters, kMaxTextBytes / 8) * 7);
}

// One XML part parsed as a stream by expat. Subclasses see the elements with
// their depth (the root is at depth 1) and the character data.
class XmlStream {
 public:
  XmlStream() : parser_(XML_ParserCreate(nullptr)) {
    if (!parser_) throw std::bad_alloc();
    XML_SetUserData(parser_, this);
    XML_SetElementHandler(parser_, &XmlStream::onStart, &XmlStream::onEnd);
    XML_SetCharacterDataHandler(parser_, &XmlStream::onText);
    XML_SetStartDoctypeDeclHandler(parser_, &XmlStream::onDoctype);
  }
  virtual ~XmlStream() { XML_ParserFree(parser_); }
  XmlStream(const XmlStream&) = delete;
  XmlStream& operator=(const XmlStream&) = delete;

  // Parses the next chunk; false once parsing is over (done or failed).
  bool feed(const char* data, qsizetype size) { return parse(data, size, false); }
  // The part has ended.
  void finish() { parse(nullptr, 0, true); }
  // Parses a whole part held in memory.
  void parseAll(QByteArrayView xml) {
    if (feed(xml.data(), xml.size())) finish();
  }
  const QString& error() const { return error_; }

 protected:
  virtual void start(int depth, std::string_view local, const char** atts) = 0;
  virtual void end(int depth) = 0;
  virtual void text(int depth, const char* s, int len) {}

  // The rest of the part is not needed.
  void stop() {
    over_ = true;
    XML_StopParser(parser_, XML_FALSE);
  }
  void fail(const QString& reason) {
    if (over_) return;
    error_ = reason;
    stop();
  }

 private:
  bool parse(const char* data, qsizetype size, bool last) {
    while (!over_) {
      const int piece = int(std::min<qsizetype>(size, kPieceBytes));
      const bool final = last && piece == size;
      if (XML_Parse(parser_, data, piece, final) == XML_STATUS_ERROR) {
        if (!over_) {
          const XML_Error code = XML_GetErrorCode(parser_);
          error_ = code == XML_ERROR_NO_MEMORY ? QStringLiteral("the part does not fit in memory")
                                               : QStringLiteral("%1 at line %2, column %3")
                                                     .arg(QString::fromUtf8(XML_ErrorString(code)))
                                                     .arg(XML_GetCurrentLineNumber(parser_))
                                                     .arg(XML_GetCurrentColumnNumber(parser_));
        }
        over_ = true;
        break;
      }
      data += piece;
      size -= piece;
      fed_ += piece;
      if (final) over_ = true;
      // The parser keeps an unfinished tag (with its attributes) or comment
      // whole until it ends: no spreadsheet has one this long.
      if (!over_ && fed_ - qint64(XML_GetCurrentByteIndex(parser_)) > kMaxPendingBytes) {
        error_ = QStringLiteral("the part holds markup longer than %1 MB").arg(kMaxPendingBytes >> 20);
        over_ = true;
      }
      if (size == 0 && !last) break;
    }
    return !over_;
  }

  // No exception may cross the parser: running out of memory ends the part.
  template <class Handler>
  static void guarded(void* self, Handler&& handler) {
    auto* stream = static_cast<XmlStream*>(self);
    if (stream->over_) return;
    try {
      handler(*stream);
    } catch (const std::bad_alloc&) {
      stream->fail(QStringLiteral("the part does not fit in memory"));
    }
  }
  static void onStart(void* self, const XML_Char* name, const XML_Char** atts) {
    guarded(self, [&](XmlStream& stream) {
      // Every open element costs the parser memory.
      if (++stream.depth_ > kMaxDepth)
        return stream.fail(QStringLiteral("the part nests elements more than %1 deep").arg(kMaxDepth));
      stream.start(stream.depth_, localName(name), atts);
    });
  }
  static void onEnd(void* self, const XML_Char*) {
    guarded(self, [](XmlStream& stream) { stream.end(stream.depth_--); });
  }
  static void onText(void* self, const XML_Char* s, int len) {
    guarded(self, [&](XmlStream& stream) { stream.text(stream.depth_, s, len); });
  }
  // Spreadsheet parts never declare a document type; one that does could
  // define entities that expand beyond every limit.
  static void onDoctype(void* self, const XML_Char*, const XML_Char*, const XML_Char*, int) {
    static_cast<XmlStream*>(self)->fail(QStringLiteral("the part declares a document type"));
  }

  // Input handed to the parser at once, so that the check below runs often.
  static constexpr qsizetype kPieceBytes = 1024 * 1024;
  static constexpr qint64 kMaxPendingBytes = 4 * 1024 * 1024;
  // Spreadsheet parts nest a dozen elements deep at the most.
  static constexpr int kMaxDepth = 1000;

  XML_Parser parser_;
  qint64 fed_ = 0;
  int depth_ = 0;
  bool over_ = false;
  QString error_;
};

// The text of a string item, a shared one or an inline one: its own "t"
// elements and the first "t" of every formatted run, joined; phonetic runs
// are not part of the text. Told of the elements below the item.
class StringItem {
 public:
  void begin(int itemDepth, size_t cap) {
    itemDepth_ = itemDepth;
    captureDepth_ = 0;
    inRun_ = false;
    text_.reset(cap);
  }
  void start(int depth, std::string_view local) {
    if (depth == itemDepth_ + 1) {
      if (local == "t") captureDepth_ = depth;
      inRun_ = local == "r";
      runText_ = false;
    } else if (depth == itemDepth_ + 2 && inRun_ && !runText_ && local == "t") {
      runText_ = true;
      captureDepth_ = depth;
    }
  }
  void end(int depth) {
    if (depth == captureDepth_) captureDepth_ = 0;
    if (depth == itemDepth_ + 1) inRun_ = false;
  }
  void text(int depth, const char* s, int len) {
    if (depth == captureDepth_) text_.append(s, len);
  }
  CappedText& collected() { return text_; }

 private:
  int itemDepth_ = 0;
  int captureDepth_ = 0;
  bool inRun_ = false;
  bool runText_ = false;
  CappedText text_;
};

// ---- shared strings ----

class SharedStringsStream : public XmlStream {
 public:
  explicit SharedStringsStream(const ReadLimits& limits) : limits_(limits) {}
  std::shared_ptr<StringTable> strings = std::make_shared<StringTable>();

 private:
  void start(int depth, std::string_view local, const char**) override {
    if (depth == 1) {
      isTable_ = local == "sst";
    } else if (depth == 2) {
      inItem_ = isTable_ && local == "si";
      if (!inItem_) return;
      if (strings->size() >= limits_.maxCells)
        return fail(
            QStringLiteral("the shared-string table holds more than %1 strings").arg(limits_.maxCells));
      item_.begin(depth, rawCap(limits_));
    } else if (inItem_) {
      item_.start(depth, local);
    }
  }
  void end(int depth) override {
    if (!inItem_) return;
    if (depth > 2) return item_.end(depth);
    inItem_ = false;
    CappedText& text = item_.collected();
    if (overLong(text, true, limits_.maxCellCharacters)) return strings->appendOverLong();
    if (qint64(strings->byteSize() + text.bytes().size()) > limits_.maxTextBytes ||
        !strings->append(text.bytes()))
      fail(QStringLiteral("the shared strings hold more than %1 MB of text").arg(limits_.maxTextBytes >> 20));
  }
  void text(int depth, const char* s, int len) override {
    if (inItem_) item_.text(depth, s, len);
  }

  const ReadLimits limits_;
  bool isTable_ = false;
  bool inItem_ = false;
  StringItem item_;
};

// ---- worksheet ----

class SheetStream : public XmlStream {
 public:
  SheetStream(const std::shared_ptr<const StringTable>& shared, SheetRows which, const ReadLimits& limits)
      : shared_(shared ? shared : std::make_shared<const StringTable>()),
        which_(which),
        limits_(limits),
        builder_(shared_) {}

  SheetResult result();

 private:
  enum class CellType { Shared, Inline, Value };

  void start(int depth, std::string_view local, const char** atts) override {
    switch (depth) {
      case 1:
        if (local != "worksheet") fail(QStringLiteral("the part is no worksheet"));
        break;
      case 2:
        if (local == "sheetData" && !sheetDataSeen_) {
          sheetDataSeen_ = inSheetData_ = true;
        } else if (local == "dimension" && !dimensionSeen_) {
          dimensionSeen_ = true;
          dimensionColumns_ = dimensionColumns(attribute(atts, "ref"));
        }
        break;
      case 3:
        if (inSheetData_ && local == "row") beginRow(atts);
        break;
      case 4:
        if (inRow_ && local == "c") beginCell(atts);
        break;
      case 5:
        if (!inCell_) break;
        if (local == "v" && !valueSeen_) {
          valueSeen_ = capturingValue_ = true;
        } else if (local == "is" && !inlineSeen_) {
          inlineSeen_ = inInline_ = true;
          inline_.begin(depth, rawCap(limits_));
        }
        break;
      default:
        if (inInline_) inline_.start(depth, local);
    }
  }

  void end(int depth) override {
    switch (depth) {
      case 2:
        inSheetData_ = false;
        break;
      case 3:
        if (inRow_) endRow();
        break;
      case 4:
        if (inCell_) endCell();
        break;
      case 5:
        capturingValue_ = inInline_ = false;
        break;
      default:
        if (inInline_) inline_.end(depth);
    }
  }

  void text(int depth, const char* s, int len) override {
    if (capturingValue_ && depth == 5)
      value_.append(s, len);
    else if (inInline_)
      inline_.text(depth, s, len);
  }

  void beginRow(const char** atts) {
    if (builder_.rows() >= limits_.maxRows)
      return fail(QStringLiteral("the sheet has more than %1 rows").arg(limits_.maxRows));
    const char* r = attribute(atts, "r");
    const qint64 number = r ? leadingIndex(r) : -1;
    rowNumber_ = number > 0 ? number : builder_.rows() + 1;
    inRow_ = true;
    column_ = 0;
  }

  void endRow() {
    inRow_ = false;
    builder_.endRow();
    if (which_ == SheetRows::FirstOnly) stop();
  }

  void beginCell(const char** atts) {
    const char* ref = attribute(atts, "r");
    const int column = ref ? columnOf(ref) : (column_ + 1 <= kMaxColumns ? column_ + 1 : -1);
    if (column < 0)
      return fail(QStringLiteral("cell %1 lies beyond the last column")
                      .arg(ref ? quoted(ref) : cellName(kMaxColumns + 1)));
    if (column == 0) return fail(QStringLiteral("cell reference \"%1\" names no column").arg(quoted(ref)));
    column_ = column;
    lastColumn_ = std::max(lastColumn_, column);
    const char* type = attribute(atts, "t");
    cellType_ = !type                                 ? CellType::Value
                : std::strcmp(type, "s") == 0         ? CellType::Shared
                : std::strcmp(type, "inlineStr") == 0 ? CellType::Inline
                                                      : CellType::Value;
    value_.reset(rawCap(limits_));
    inCell_ = true;
    valueSeen_ = inlineSeen_ = false;
  }

  void endCell() {
    inCell_ = false;
    if (cellType_ == CellType::Shared) {
      const qint64 index = leadingIndex(value_.bytes());
      if (index < 0 || index >= shared_->size()) return;
      if (shared_->isOverLong(index)) return refuseOverLong();
      if (!shared_->utf8(index).empty() && roomFor(0)) builder_.addShared(column_ - 1, std::uint32_t(index));
      return;
    }
    CappedText& text = cellType_ == CellType::Inline ? inline_.collected() : value_;
    if (cellType_ == CellType::Value && !valueSeen_) return;
    if (cellType_ == CellType::Inline && !inlineSeen_) return;
    if (overLong(text, cellType_ == CellType::Inline, limits_.maxCellCharacters)) return refuseOverLong();
    const std::string& bytes = text.bytes();
    if (!bytes.empty() && roomFor(bytes.size()) && !builder_.addText(column_ - 1, bytes)) refuseText();
  }

  // Whether one more cell with that many own bytes may be held.
  bool roomFor(size_t bytes) {
    if (builder_.cells() >= limits_.maxCells) {
      fail(QStringLiteral("the sheet holds more than %1 cells (cell %2)")
               .arg(limits_.maxCells)
               .arg(cellName(column_)));
      return false;
    }
    if (qint64(builder_.ownBytes() + bytes) > limits_.maxTextBytes) {
      refuseText();
      return false;
    }
    return true;
  }
  void refuseText() {
    fail(QStringLiteral("the sheet holds more than %1 MB of text (cell %2)")
             .arg(limits_.maxTextBytes >> 20)
             .arg(cellName(column_)));
  }
  void refuseOverLong() {
    fail(QStringLiteral("cell %1 holds more than %2 characters")
             .arg(cellName(column_))
             .arg(limits_.maxCellCharacters));
  }
  QString cellName(int column) const { return columnName(column) + QString::number(rowNumber_); }

  std::shared_ptr<const StringTable> shared_;
  const SheetRows which_;
  const ReadLimits limits_;
  SheetTableBuilder builder_;

  bool sheetDataSeen_ = false, inSheetData_ = false;
  bool dimensionSeen_ = false;
  int dimensionColumns_ = 0;
  bool inRow_ = false;
  qint64 rowNumber_ = 0;
  int column_ = 0;      // of the current cell, 1-based
  int lastColumn_ = 0;  // of every cell so far
  bool inCell_ = false;
  CellType cellType_ = CellType::Value;
  bool valueSeen_ = false, capturingValue_ = false;
  bool inlineSeen_ = false, inInline_ = false;
  CappedText value_;
  StringItem inline_;
};

SheetResult SheetStream::result() {
  SheetResult result;
  if (!error().isEmpty()) {
    result.error = error();
    return result;
  }
  if (which_ == SheetRows::All) {
    result.rows = builder_.finish(lastColumn_ > 0 ? lastColumn_ : dimensionColumns_);
    return result;
  }
  const int columns = std::max(dimensionColumns_, lastColumn_);
  const SheetTable first = builder_.finish(columns);
  if (first.isEmpty()) {
    result.rows = first;
    return result;
  }
  SheetTableBuilder titles;
  for (int k = 0; k < columns; ++k) {
    const QString text = first.cell(0, k);
    titles.addText(k,
                   (text.isEmpty() ? QStringLiteral("Untitled Column %1").arg(k + 1) : text).toStdString());
  }
  titles.endRow();
  result.rows = titles.finish(columns);
  return result;
}

// ---- workbook ----

// The sheet elements of a workbook part: each sheet's name and the id of the
// relationship that leads to its part (an attribute "id" under any prefix).
class SheetListStream : public XmlStream {
 public:
  struct Entry {
    QString name;
    QString relationship;
  };
  QList<Entry> sheets;

 private:
  void start(int, std::string_view local, const char** atts) override {
    if (local != "sheet") return;
    if (sheets.size() >= UnzipLimits().maxEntries)
      return fail(QStringLiteral("the workbook names more than %1 sheets").arg(UnzipLimits().maxEntries));
    Entry entry;
    for (const char** a = atts; *a; a += 2) {
      const std::string_view key(a[0]);
      if (key == "name")
        entry.name = QString::fromUtf8(a[1]);
      else if (key.find(':') != std::string_view::npos && localName(a[0]) == "id")
        entry.relationship = QString::fromUtf8(a[1]);
    }
    sheets.append(entry);
  }
  void end(int) override {}
};

// The relationships of a part, by id: where each leads and whether it leads
// outside the package.
class RelationshipsStream : public XmlStream {
 public:
  struct Relationship {
    QString target;
    bool external = false;
  };
  QHash<QString, Relationship> byId;

 private:
  void start(int, std::string_view local, const char** atts) override {
    if (local != "Relationship") return;
    if (byId.size() >= UnzipLimits().maxEntries)
      return fail(QStringLiteral("the part has more than %1 relationships").arg(UnzipLimits().maxEntries));
    const char* id = attribute(atts, "Id");
    const char* target = attribute(atts, "Target");
    const char* mode = attribute(atts, "TargetMode");
    if (!id) return;
    byId.insert(QString::fromUtf8(id),
                {QString::fromUtf8(target ? target : ""), mode && std::strcmp(mode, "External") == 0});
  }
  void end(int) override {}
};

// Streams a part of the package into the parser; the reason when either fails.
QString streamPart(Package& package, const QString& part, XmlStream& stream) {
  QString error;
  if (!package.readPart(
          part, [&](const char* data, qsizetype size) { return stream.feed(data, size); }, &error))
    return error;
  stream.finish();
  return stream.error();
}

const QString kWorkbookRelationships = QStringLiteral("xl/_rels/workbook.xml.rels");

QStringList namesOf(const QList<SheetListStream::Entry>& sheets) {
  QStringList names;
  names.reserve(sheets.size());
  for (const SheetListStream::Entry& sheet : sheets) names.append(sheet.name);
  return names;
}

}  // namespace

SharedStringsResult readSharedStrings(QByteArrayView xml, const ReadLimits& limits) {
  SharedStringsStream stream(limits);
  stream.parseAll(xml);
  SharedStringsResult result;
  result.error = stream.error();
  if (result.error.isEmpty()) result.strings = std::move(stream.strings);
  return result;
}

SheetResult readSheet(QByteArrayView xml, const std::shared_ptr<const StringTable>& sharedStrings,
                      SheetRows which, const ReadLimits& limits) {
  SheetStream stream(sharedStrings, which, limits);
  stream.parseAll(xml);
  return stream.result();
}

QStringList readSheetNames(QByteArrayView xml, QString* error) {
  SheetListStream stream;
  stream.parseAll(xml);
  if (error) *error = stream.error();
  return stream.error().isEmpty() ? namesOf(stream.sheets) : QStringList();
}

SharedStringsResult readSharedStrings(Package& package, const QString& part, const ReadLimits& limits) {
  SharedStringsResult result;
  if (!package.hasPart(part)) return result;
  SharedStringsStream stream(limits);
  result.error = streamPart(package, part, stream);
  if (result.error.isEmpty()) result.strings = std::move(stream.strings);
  return result;
}

SheetResult readSheet(Package& package, const QString& part,
                      const std::shared_ptr<const StringTable>& sharedStrings, SheetRows which,
                      const ReadLimits& limits) {
  SheetStream stream(sharedStrings, which, limits);
  const QString error = streamPart(package, part, stream);
  if (!error.isEmpty()) {
    SheetResult result;
    result.error = error;
    return result;
  }
  return stream.result();
}

QStringList readSheetNames(Package& package, QString* error) {
  SheetListStream stream;
  const QString problem = streamPart(package, kWorkbookPart, stream);
  if (error) *error = problem;
  return problem.isEmpty() ? namesOf(stream.sheets) : QStringList();
}

QString relationshipTarget(const QString& sourcePart, const QString& target, QString* error) {
  // A target is a path relative to the source part's folder, or from the
  // package's root when it starts with "/".
  QStringList path;
  if (!target.startsWith(u'/')) path = sourcePart.split(u'/').mid(0, sourcePart.count(u'/'));
  for (const QString& step : target.split(u'/')) {
    if (step.isEmpty() || step == u".") continue;
    if (step != u"..") {
      path.append(step);
    } else if (path.isEmpty()) {
      if (error) *error = QStringLiteral("leads out of the workbook");
      return QString();
    } else {
      path.removeLast();
    }
  }
  if (path.isEmpty()) {
    if (error) *error = QStringLiteral("names no part");
    return QString();
  }
  return path.join(u'/');
}

QList<WorkbookSheet> readWorkbookSheets(Package& package, QString* error) {
  SheetListStream sheets;
  QString problem = streamPart(package, kWorkbookPart, sheets);
  RelationshipsStream relationships;
  if (problem.isEmpty() && package.hasPart(kWorkbookRelationships)) {
    problem = streamPart(package, kWorkbookRelationships, relationships);
    if (!problem.isEmpty()) problem = kWorkbookRelationships + ": " + problem;
  }
  if (error) *error = problem;
  if (!problem.isEmpty()) return {};

  QList<WorkbookSheet> list;
  list.reserve(sheets.sheets.size());
  for (const SheetListStream::Entry& entry : sheets.sheets) {
    WorkbookSheet sheet;
    sheet.name = entry.name;
    const QString quoted = "\"" + data_report::excerpt(entry.name) + "\"";
    const auto found = relationships.byId.constFind(entry.relationship);
    if (entry.relationship.isEmpty() || found == relationships.byId.cend()) {
      sheet.error = QStringLiteral("the workbook says nowhere which part holds sheet %1").arg(quoted);
    } else if (found->external) {
      sheet.error = QStringLiteral("sheet %1 refers to %2, which lies outside the workbook")
                        .arg(quoted, data_report::excerpt(found->target));
    } else {
      QString why;
      const QString part = relationshipTarget(kWorkbookPart, found->target, &why);
      if (part.isEmpty())
        sheet.error = QStringLiteral("sheet %1 refers to %2, which %3")
                          .arg(quoted, data_report::excerpt(found->target), why);
      else if (!package.hasPart(part))
        sheet.error = QStringLiteral("sheet %1 refers to the part %2, which the workbook does not hold")
                          .arg(quoted, data_report::excerpt(part));
      else
        sheet.part = part;
    }
    list.append(sheet);
  }
  return list;
}

QString worksheetPart(int number) {
  return QStringLiteral("xl/worksheets/sheet%1.xml").arg(number);
}

QStringList xlsxSheetNames(const QString& path, QString* error) {
  QString problem;
  std::unique_ptr<Package> package = Package::open(path, &problem);
  QStringList names = package ? readSheetNames(*package, &problem) : QStringList();
  if (error) *error = problem;
  return names;
}

}  // namespace xlsx
