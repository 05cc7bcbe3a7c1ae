#include "data/SpreadsheetWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <memory>
#include <optional>

#include "data/CardZipArchive.h"
#include "data/Report.h"
#include "data/SavedFile.h"
#include "data/WorkFolder.h"
#include "data/XlsxFormat.h"
#include "data/XlsxPartWriter.h"
#include "data/XlsxSheetReader.h"
#include "data/globals.h"
#include "platform/globals.h"

namespace {

std::unique_ptr<SpreadsheetWriter>& sharedSlot() {
  static std::unique_ptr<SpreadsheetWriter> instance;
  return instance;
}

// The whole file, or nothing with the reason in *error.
std::optional<QByteArray> readFile(const QString& path, QString* error) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    *error = QStringLiteral("The file \"%1\" couldn't be opened: %2")
                 .arg(QFileInfo(path).fileName(), file.errorString());
    return std::nullopt;
  }
  QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    *error = QStringLiteral("The file \"%1\" couldn't be read: %2")
                 .arg(QFileInfo(path).fileName(), file.errorString());
    return std::nullopt;
  }
  return bytes;
}

// Trailing number of a part name ("sheet12" -> 12), or -1.
qint64 sheetNumber(const QString& name) {
  static const QRegularExpression digits(QStringLiteral("(\\d+)$"));
  const QRegularExpressionMatch match = digits.match(name);
  if (!match.hasMatch()) return -1;
  bool ok = false;
  const qint64 number = match.captured(1).toLongLong(&ok);
  return ok ? number : -1;
}

}  // namespace

SpreadsheetWriter::SpreadsheetWriter() {
  tmpDir_ = Excel_Work_Folder();
  if (!tmpDir_.isEmpty()) {
    QDir(tmpDir_).removeRecursively();
    QDir().mkpath(tmpDir_);
  }
  data_report::log("Temp. directory initialized:\n " + tmpDir_);
}

SpreadsheetWriter& SpreadsheetWriter::shared() {
  std::unique_ptr<SpreadsheetWriter>& slot = sharedSlot();
  if (!slot) slot.reset(new SpreadsheetWriter());
  return *slot;
}

bool SpreadsheetWriter::hasShared() {
  return sharedSlot() != nullptr;
}

void SpreadsheetWriter::fail(const QString& text) {
  lastError_ = text;
  data_report::log(text);
}

QString SpreadsheetWriter::sheetPath() const {
  return tmpDir_ + QStringLiteral("/xl/worksheets/sheet%1.xml").arg(Excel_Sheet_Number.load());
}

bool SpreadsheetWriter::resetWorkFolder() {
  if (tmpDir_.isEmpty()) {
    fail(QStringLiteral("Error: there is no work folder"));
    return false;
  }
  QDir(tmpDir_).removeRecursively();
  if (!QDir().mkpath(tmpDir_)) {
    fail(QStringLiteral("Error: the work folder %1 cannot be created").arg(tmpDir_));
    return false;
  }
  return true;
}

SpreadsheetRows SpreadsheetWriter::ReadWorkbook(const QString& path, bool only_col) {
  if (!only_col) {
    if (!hasShared()) return SpreadsheetRows();
    SpreadsheetWriter& self = shared();
    self.lastError_.clear();
    self.ReadData(self.sheetPath());
    return self.data_;
  }
  Excel_Sheet_Columns = 1;
  SpreadsheetWriter& self = shared();
  self.lastError_.clear();
  self.sharedStrings_.clear();
  if (!self.resetWorkFolder()) return self.data_;
  CardZipArchiveError error;
  if (!CardZipArchive::unzipFileAtPath(path, self.tmpDir_, true, QString(), &error)) {
    // Nothing of a refused or broken package stays for the sheet listing.
    self.resetWorkFolder();
    self.fail("Error: " + error.localizedDescription);
    return self.data_;
  }
  const QString strings = self.tmpDir_ + "/xl/sharedStrings.xml";
  // A workbook without shared strings is normal: its cells hold numbers or inline text.
  if (QFileInfo::exists(strings)) self.ReadSharedStrings(strings);
  return self.data_;
}

bool SpreadsheetWriter::ReadSharedStrings(const QString& file) {
  sharedStrings_.clear();
  QString error;
  std::optional<QByteArray> bytes = readFile(file, &error);
  if (!bytes) {
    fail("Error: " + error);
    return false;
  }
  xlsx::SharedStringsResult result = xlsx::readSharedStrings(std::move(*bytes));
  if (!result.error.isEmpty()) {
    fail("Error: " + result.error);
    return false;
  }
  sharedStrings_ = std::move(result.strings);
  return true;
}

bool SpreadsheetWriter::readSheetInto(SpreadsheetRows& rows, bool firstRowOnly) {
  rows.clear();
  QString error;
  std::optional<QByteArray> bytes = readFile(sheetPath(), &error);
  if (!bytes) {
    fail("Error: " + error);
    return false;
  }
  // Each read takes the sheet's own column count, so the title row and the
  // full read of one sheet always agree, whatever sheet was read before.
  xlsx::SheetResult result = xlsx::readSheet(
      std::move(*bytes), sharedStrings_, firstRowOnly ? xlsx::SheetRows::FirstOnly : xlsx::SheetRows::All);
  if (!result.error.isEmpty()) {
    fail("Error: " + result.error);
    return false;
  }
  // Always the count of the rows returned, also 0 for a sheet with neither
  // cells nor a dimension: a count left from a wider sheet would send the
  // dialogs past the end of these rows.
  Excel_Sheet_Columns = result.columns;
  rows = std::move(result.rows);
  return true;
}

bool SpreadsheetWriter::ReadData(const QString& file) {
  // The sheet is always the one of Excel_Sheet_Number inside the work folder.
  Q_UNUSED(file);
  return readSheetInto(data_, false);
}

SpreadsheetRows SpreadsheetWriter::ReadData_only_column() {
  SpreadsheetWriter& self = shared();
  self.lastError_.clear();
  self.readSheetInto(self.data_, true);
  return self.data_;
}

QStringList SpreadsheetWriter::Read_Sheet_Name() {
  SpreadsheetWriter& self = shared();
  QString error;
  std::optional<QByteArray> bytes = readFile(self.tmpDir_ + "/xl/workbook.xml", &error);
  if (!bytes) {
    self.fail("Error: " + error);
    return QStringList();
  }
  QStringList names = xlsx::readSheetNames(std::move(*bytes), &error);
  if (!error.isEmpty()) self.fail("Error: " + error);
  return names;
}

QStringList SpreadsheetWriter::Worksheet_Part_Names() {
  if (!hasShared()) return QStringList();
  const QDir folder(shared().tmpDir_ + "/xl/worksheets");
  QStringList names;
  for (const QFileInfo& entry : folder.entryInfoList(QDir::Files | QDir::NoDotAndDotDot))
    if (entry.suffix().toLower() == "xml") names.append(entry.completeBaseName());
  std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
    const qint64 na = sheetNumber(a), nb = sheetNumber(b);
    if (na != nb) return na < nb;
    return a.compare(b) < 0;
  });
  return names;
}

QString SpreadsheetWriter::Default_Template_Path() {
  return Resource_Path() + "/Template.xlsx";
}

QString SpreadsheetWriter::ColumnNumber_To_Name(int number) {
  return xlsx::columnName(number);
}

bool SpreadsheetWriter::WriteWorksheetData(const QString& file) {
  xlsx::WorksheetPart part = xlsx::worksheetXml(data_);
  sharedStrings_ = std::move(part.sharedStrings);
  if (!saveWholeFile(file, part.xml)) {
    fail("Error when writing file " + file);
    return false;
  }
  return true;
}

bool SpreadsheetWriter::WriteSharedStringsXML(const QString& file) {
  if (!saveWholeFile(file, xlsx::sharedStringsXml(sharedStrings_))) {
    fail("Error when writing file " + file);
    return false;
  }
  return true;
}

bool SpreadsheetWriter::packWorkFolder(const QString& path) {
  const QDir folder(tmpDir_);
  if (!folder.exists()) {
    fail(QStringLiteral("The folder \"%1\" doesn't exist.").arg(tmpDir_));
    return false;
  }
  const QStringList entries =
      folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
  CardZipArchive archive(path);
  if (!archive.open()) {
    fail("Error when writing file " + path);
    return false;
  }
  for (const QString& entry : entries) {
    if (!archive.writeFile(entry, tmpDir_)) {
      fail("Error when writing file " + path);
      return false;  // the unfinished archive is discarded; a file at path stays as it was
    }
  }
  if (!archive.close()) {
    fail("Error when writing file " + path);
    return false;
  }
  return true;
}

bool SpreadsheetWriter::WriteWorkbook(const QString& path, const SpreadsheetRows& rows, bool hasTitleRow,
                                      const QString& templatePath) {
  Q_UNUSED(hasTitleRow);
  SpreadsheetWriter& self = shared();
  self.lastError_.clear();
  self.data_ = rows;
  const QString source = templatePath.isEmpty() ? Default_Template_Path() : templatePath;
  if (!QFileInfo(source).isFile()) {
    self.fail(QStringLiteral("Error: the template workbook \"%1\" is missing").arg(source));
    return false;
  }
  if (!self.resetWorkFolder() || !QDir().mkpath(self.tmpDir_ + "/xl/worksheets")) return false;
  CardZipArchiveError error;
  if (!CardZipArchive::unzipFileAtPath(source, self.tmpDir_, true, QString(), &error)) {
    self.fail(QStringLiteral("Error: the template workbook \"%1\" cannot be unpacked: %2")
                  .arg(source, error.localizedDescription));
    return false;
  }
  for (const char* required : {"[Content_Types].xml", "xl/workbook.xml"}) {
    if (!QFileInfo(self.tmpDir_ + "/" + required).isFile()) {
      self.fail(QStringLiteral("Error: the template workbook \"%1\" has no part %2").arg(source, required));
      return false;
    }
  }
  if (!self.WriteWorksheetData(self.tmpDir_ + "/xl/worksheets/sheet1.xml")) return false;
  if (!self.WriteSharedStringsXML(self.tmpDir_ + "/xl/sharedStrings.xml")) return false;
  return self.packWorkFolder(path);
}
