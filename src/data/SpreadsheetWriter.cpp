#include "data/SpreadsheetWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <memory>

#include "data/CardZipArchive.h"
#include "data/Report.h"
#include "data/WorkFolder.h"
#include "data/XlsxFormat.h"
#include "data/XlsxPackage.h"
#include "data/XlsxPartWriter.h"
#include "data/XlsxSheetReader.h"
#include "data/globals.h"
#include "platform/RegularFile.h"
#include "platform/SavedFile.h"
#include "platform/globals.h"

namespace {

const QString kSharedStringsPart = QStringLiteral("xl/sharedStrings.xml");

std::unique_ptr<SpreadsheetWriter>& sharedSlot() {
  static std::unique_ptr<SpreadsheetWriter> instance;
  return instance;
}

// A package that lists no sheet offers nothing to choose: it is named, with
// the reason (the workbook part's when it could not be read), as a file that
// could not be read.
QString noSheetMessage(const QString& path, const QString& workbookError) {
  return platform::unreadableFileMessage(
      path, workbookError.isEmpty() ? QLatin1String(xlsx::kNoWorksheet) : workbookError);
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

SpreadsheetWriter::~SpreadsheetWriter() = default;

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

QStringList SpreadsheetWriter::sharedStrings() const {
  return sharedStrings_ ? sharedStrings_->toStringList() : QStringList();
}

void SpreadsheetWriter::setSharedStrings(const QStringList& strings) {
  sharedStrings_ = std::make_shared<const xlsx::StringTable>(xlsx::StringTable::fromStringList(strings));
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

QString SpreadsheetWriter::Workbook_Problem(const QString& path) {
  QString error;
  const std::unique_ptr<xlsx::Package> package = xlsx::Package::open(path, &error);
  if (!package) return error;
  if (!package->hasPart(xlsx::kWorkbookPart))
    return package->worksheetParts().isEmpty() ? noSheetMessage(path, QString()) : QString();
  return xlsx::readWorkbookSheets(*package, &error).isEmpty() ? noSheetMessage(path, error) : QString();
}

xlsx::SheetTable SpreadsheetWriter::ReadWorkbook(const QString& path, bool only_col) {
  if (!only_col) {
    if (!hasShared()) return xlsx::SheetTable();
    SpreadsheetWriter& self = shared();
    self.lastError_.clear();
    self.ReadData(QString());
    return self.data_;
  }
  Excel_Sheet_Columns = 1;
  SpreadsheetWriter& self = shared();
  self.lastError_.clear();
  self.sharedStrings_.reset();
  // Nothing of an earlier workbook stays for the sheet listing.
  self.package_.reset();
  self.sheets_.clear();
  self.unreadable_.clear();
  self.unreadableSheet_.clear();
  self.loadedPath_ = path;
  QString error;
  self.package_ = xlsx::Package::open(path, &error);
  if (!self.package_) {
    self.fail("Error: " + error);
    self.unreadable_ = error;
    return self.data_;
  }
  self.byWorkbook_ = self.package_->hasPart(xlsx::kWorkbookPart);
  if (self.byWorkbook_) {
    self.sheets_ = xlsx::readWorkbookSheets(*self.package_, &error);
    if (!error.isEmpty()) self.fail("Error: " + error);
  }
  if (Read_Sheet_Name().isEmpty()) self.unreadable_ = noSheetMessage(path, error);
  // A workbook without shared strings is normal: its cells hold numbers or inline text.
  if (self.package_->hasPart(kSharedStringsPart)) self.ReadSharedStrings(kSharedStringsPart);
  return self.data_;
}

bool SpreadsheetWriter::ReadSharedStrings(const QString& part) {
  sharedStrings_.reset();
  if (!package_) {
    fail(QStringLiteral("Error: no workbook is loaded"));
    return false;
  }
  if (!package_->hasPart(part)) {
    fail(QStringLiteral("Error: the workbook has no part %1").arg(data_report::excerpt(part)));
    return false;
  }
  const xlsx::SharedStringsResult result = xlsx::readSharedStrings(*package_, part);
  if (!result.error.isEmpty()) {
    fail("Error: " + result.error);
    return false;
  }
  sharedStrings_ = result.strings;
  return true;
}

bool SpreadsheetWriter::readSheetInto(xlsx::SheetTable& rows, bool firstRowOnly) {
  rows = xlsx::SheetTable();
  unreadableSheet_.clear();
  if (!package_) {
    fail(QStringLiteral("Error: no workbook is loaded"));
    return false;
  }
  QString part;
  const int number = Excel_Sheet_Number.load();
  if (!byWorkbook_) {
    // A bare set of worksheet parts without a workbook: parts by number.
    part = xlsx::worksheetPart(number);
  } else if (number < 1 || number > sheets_.size()) {
    fail(QStringLiteral("Error: the workbook has no sheet number %1").arg(number));
    return false;
  } else if (!sheets_[number - 1].error.isEmpty()) {
    fail("Error: " + sheets_[number - 1].error);
    noteUnreadableSheet(number, sheets_[number - 1].error);
    return false;
  } else {
    part = sheets_[number - 1].part;
  }
  // Each read takes the sheet's own column count, so that a count left from
  // another sheet never shapes these rows.
  xlsx::SheetResult result = xlsx::readSheet(
      *package_, part, sharedStrings_, firstRowOnly ? xlsx::SheetRows::FirstOnly : xlsx::SheetRows::All);
  if (!result.error.isEmpty()) {
    fail("Error: " + result.error);
    noteUnreadableSheet(number, result.error);
    return false;
  }
  Excel_Sheet_Columns = result.rows.columns();
  rows = std::move(result.rows);
  return true;
}

void SpreadsheetWriter::noteUnreadableSheet(int number, const QString& why) {
  const QString sheet = Read_Sheet_Name().value(number - 1);
  unreadableSheet_ = platform::unreadableFileMessage(
      loadedPath_, QStringLiteral("its sheet \"%1\" cannot be read (%2)").arg(sheet, why));
}

bool SpreadsheetWriter::ReadData(const QString& file) {
  // The sheet is always the one of Excel_Sheet_Number of the loaded workbook.
  Q_UNUSED(file);
  return readSheetInto(data_, false);
}

xlsx::SheetTable SpreadsheetWriter::ReadData_only_column() {
  SpreadsheetWriter& self = shared();
  self.lastError_.clear();
  self.readSheetInto(self.data_, true);
  return self.data_;
}

QStringList SpreadsheetWriter::Read_Sheet_Name() {
  if (!hasShared() || !shared().package_) return QStringList();
  const SpreadsheetWriter& self = shared();
  if (!self.byWorkbook_) return self.package_->worksheetParts();
  QStringList names;
  for (const xlsx::WorkbookSheet& sheet : self.sheets_) names.append(sheet.name);
  return names;
}

QStringList SpreadsheetWriter::Worksheet_Part_Names() {
  if (!hasShared() || !shared().package_) return QStringList();
  return shared().package_->worksheetParts();
}

QString SpreadsheetWriter::Default_Template_Path() {
  return Resource_Path() + "/Template.xlsx";
}

QString SpreadsheetWriter::ColumnNumber_To_Name(int number) {
  return xlsx::columnName(number);
}

bool SpreadsheetWriter::WriteWorksheetData(const QString& file) {
  const xlsx::WorksheetPart part = xlsx::worksheetXml(rowsToWrite_);
  setSharedStrings(part.sharedStrings);
  if (!saveWholeFile(file, part.xml)) {
    fail("Error when writing file " + file);
    return false;
  }
  return true;
}

bool SpreadsheetWriter::WriteSharedStringsXML(const QString& file) {
  if (!saveWholeFile(file, xlsx::sharedStringsXml(sharedStrings()))) {
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
  self.rowsToWrite_ = rows;
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
