#pragma once
// Reads xlsx workbooks for the spreadsheet dialogs and writes a series as an
// xlsx workbook. One shared object holds the loaded workbook, the rows of the
// last read, the shared strings of the loaded workbook, and the work folder
// in which the writer assembles a workbook.
//
// Reading: ReadWorkbook(path, true) opens the workbook (its parts are read
// where they lie in the file, never unpacked) and reads its shared strings;
// Read_Sheet_Name lists its sheets; ReadData_only_column reads the title
// row of sheet Excel_Sheet_Number (counted from 1 in that list) and sets
// Excel_Sheet_Columns; ReadWorkbook(path, false) reads all its rows.
// Each sheet is read from the part the workbook's relationships give it, so
// sheet N of the list is the workbook's N-th sheet, whatever its part's name.
// Writing: WriteWorkbook fills the template workbook with the rows.

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

#include "data/XlsxSheetReader.h"
#include "data/XlsxSheetTable.h"

namespace xlsx {
class Package;
}

// Rows to write: one list of cell texts a row, each as long as it is.
using SpreadsheetRows = QList<QStringList>;

class SpreadsheetWriter {
 public:
  // The shared object, created on first use (its work folder is emptied then).
  static SpreadsheetWriter& shared();
  // Whether the shared object exists yet.
  static bool hasShared();

  // Load (only_col true): opens the workbook in place of the one loaded before
  // (only a regular file holding a package whose entry names are all safe),
  // reads its shared strings and returns the rows of the previous read. Read
  // (only_col false): reads every row of sheet Excel_Sheet_Number of the loaded
  // workbook and sets Excel_Sheet_Columns; no rows before a load.
  static xlsx::SheetTable ReadWorkbook(const QString& path, bool only_col);
  // What a load of the file would leave in unreadable(): "" for a workbook
  // that lists a sheet, else the message naming the file and the reason. The
  // loaded workbook stays as it is.
  static QString Workbook_Problem(const QString& path);
  // The first row of sheet Excel_Sheet_Number ("Untitled Column %d" where it
  // holds nothing), or no row; sets Excel_Sheet_Columns.
  static xlsx::SheetTable ReadData_only_column();
  // The sheet names the loaded workbook gives itself, in order: item i is
  // sheet number i + 1. A package without a workbook part lists its
  // worksheet parts instead, as Worksheet_Part_Names does, and reads them by
  // their numbers.
  static QStringList Read_Sheet_Name();
  // The worksheet parts of the loaded workbook without extension, ordered by
  // sheet number (sheet1, sheet2, ... sheet10): item i is sheet number i + 1
  // as long as the package numbers its parts without gaps, as spreadsheet
  // programs do (a package holding only sheet1 and sheet3 lists sheet3 second).
  static QStringList Worksheet_Part_Names();

  // Writes the rows as an xlsx workbook at path, starting from the template
  // workbook (by default "Template.xlsx" of the resource folder). The title-row
  // flag has no effect. False, with the reason logged, when the template is
  // missing or broken or a part or the package cannot be written; a file at the
  // path is then left as it was.
  static bool WriteWorkbook(const QString& path, const SpreadsheetRows& rows, bool hasTitleRow,
                            const QString& templatePath = QString());
  static QString Default_Template_Path();

  // Column letters of a 1-based column number (1 A, 27 AA, 702 ZZ).
  static QString ColumnNumber_To_Name(int number);
  QString ColumnIndexToName(int number) const { return ColumnNumber_To_Name(number); }

  // The instance operations beneath the class operations. Each answers whether
  // it succeeded. ReadSharedStrings reads the named part of the loaded
  // workbook; ReadData reads sheet Excel_Sheet_Number whatever it is given;
  // WriteWorksheetData writes rowsToWrite().
  bool ReadSharedStrings(const QString& part);
  bool ReadData(const QString& file);
  bool WriteWorksheetData(const QString& file);
  bool WriteSharedStringsXML(const QString& file);

  // The rows of the last read.
  const xlsx::SheetTable& data() const { return data_; }
  void setData(const xlsx::SheetTable& rows) { data_ = rows; }
  const SpreadsheetRows& rowsToWrite() const { return rowsToWrite_; }
  void setRowsToWrite(const SpreadsheetRows& rows) { rowsToWrite_ = rows; }
  QStringList sharedStrings() const;
  void setSharedStrings(const QStringList& strings);
  const QString& tmpDir() const { return tmpDir_; }
  void setTmpDir(const QString& folder) { tmpDir_ = folder; }

  // The text of the last failure that was logged ("" after a success).
  const QString& lastError() const { return lastError_; }
  // What the program tells the person when the file of the last load could
  // not be read as a workbook (it names the file and says why: it cannot be
  // read at all, is no zip archive, is cut short or damaged, or lists no
  // sheet); "" when it lists at least one sheet.
  const QString& unreadable() const { return unreadable_; }
  // What the program tells the person when the last read of a sheet of the
  // loaded workbook failed (a damaged part, a sheet beyond the reader's
  // limits): it names the file, the sheet and the reason; "" after a read
  // that succeeded.
  const QString& unreadableSheet() const { return unreadableSheet_; }

  ~SpreadsheetWriter();

 private:
  SpreadsheetWriter();
  bool resetWorkFolder();
  void fail(const QString& text);
  bool readSheetInto(xlsx::SheetTable& rows, bool firstRowOnly);
  void noteUnreadableSheet(int number, const QString& why);
  bool packWorkFolder(const QString& path);

  QString tmpDir_;
  std::unique_ptr<xlsx::Package> package_;  // the loaded workbook
  bool byWorkbook_ = false;                 // it has a workbook part naming its sheets
  QList<xlsx::WorkbookSheet> sheets_;       // those sheets, each with its part
  xlsx::SheetTable data_;
  SpreadsheetRows rowsToWrite_;
  std::shared_ptr<const xlsx::StringTable> sharedStrings_;
  QString lastError_;
  QString unreadable_;
  QString loadedPath_;  // the file of the loaded workbook
  QString unreadableSheet_;
};
