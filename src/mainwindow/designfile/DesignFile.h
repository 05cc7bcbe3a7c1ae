#pragma once
// Saving and opening design files for the main window.
//
// The writer and reader work on a DesignHost: the current design (both page
// settings, the document with the front and back lists, the spreadsheet
// binding and data-source table) and the few main-window reactions around
// loading (reset, canvas size, combo of data sources, window title ...). The
// main window controller implements it with its own state; tests and tools use
// PlainDesignHost.
//
//   Save_project_file(host, /*save_as=*/false, /*show_msg=*/true);
//   int loaded = Read_and_load_design_Log(host, path, "L");
//
// Sound behaviour beyond the plain file layout:
//   - a save writes a whole new file beside the old one, unbuffered so that
//     a short write (disk full, a file-size limit) is seen, and only a
//     complete file replaces the old one: a failed write leaves the previous
//     file as it was, and is reported as "fail: "<path>": <reason>", never
//     as saved; the design keeps the file it had (a Save As that failed
//     leaves it untitled, and a later Save asks for a path again);
//   - a design the reader would refuse is not written at all: the bytes
//     about to be written are read back by the reader first. A message says
//     why: beyond Design_File_Byte_Limit or Design_File_Value_Limit it names
//     the design's largest parts, otherwise the part the reader refuses and
//     the reason (an object beyond the limits of GraphicLimits.h ...). The
//     previous file and path stay;
//   - the extension added to a name typed without it never replaces an
//     existing file unasked (the panel only asked about the name as typed);
//   - opening parses the whole file into a staging design first; only a file
//     that parsed completely replaces the current design. A file that cannot
//     be read (missing, no regular file, beyond the size limit, a read error)
//     is named with the reason (platform::unreadableFileMessage); one that
//     holds no design shows "File is corrupt and cannot be opened." with the
//     reader's reason; one whose pictures would take more memory than one
//     reading may (PictureBudget) is named with that; either way nothing
//     changes;
//   - after opening, the card outline (Card_Shape) follows the front side;
//   - every column title of the data-source table is restored, the first one too;
//   - picture files named by a design are loaded only when they are regular
//     files, under the picture allocation limit.

#include <QImage>
#include <QSizeF>
#include <QString>

#include "core/Card_Property.h"
#include "core/SKTDocument.h"
#include "data/DataSourceTable.h"
#include "mainwindow/designfile/DesignFileFormat.h"

namespace designfile {

inline const QString kCorruptMessage = QStringLiteral("File is corrupt and cannot be opened.");
// kCorruptMessage and, after a blank line, why: the part of the design the
// reader refused and its reason ("Front object 2: keyed archive refers to a
// missing object.").
QString corruptMessage(const DesignFileFault& fault);
// A design whose pictures would take more memory than one reading may: the
// file named, and the budget.
QString tooManyPicturesMessage(const QString& path, const DesignFileFault& fault);
inline const QString kSavedMessage = QStringLiteral("Greeting Card Design Log has been saved successfully.");
inline const QString kFailedMessage = QStringLiteral("fail");
// "fail: <reason>", the reason as it follows a colon.
QString failedMessage(const QString& why);
// "fail: "<path>": <reason>": the file that could not be written, and why.
QString failedMessage(const QString& path, const QString& why);
inline const QString kReplaceQuestion = QStringLiteral("\"%1\" already exists. Do you want to replace it?");

class DesignHost {
 public:
  virtual ~DesignHost() = default;

  // ---- The current design -------------------------------------------------------
  virtual Card_Property& frontCardProperty() = 0;
  virtual Card_Property& backCardProperty() = 0;
  virtual SKTDocument& document() = 0;
  virtual DataSourceTable& dataSourceTable() = 0;
  virtual bool excelBindingUse() const = 0;
  virtual QString excelSourcePath() const = 0;

  // ---- Reactions while a design is loaded (in this order) ---------------------------
  // New_Project_Setting_Reset and Remove_All_Tab_Items; the reader then empties
  // the front and back lists itself.
  virtual void resetForLoading() = 0;
  // Set_Document_Size, SetDocumentCanvasSize and Set_Card_Size_In_Control with
  // the front size (only called with a size whose sides are both above zero).
  virtual void setCardSize(QSizeF size) = 0;
  // Stores Excel_Binding_Use and adds or removes "Excel" in the data-source combo.
  virtual void setExcelBinding(bool use) = 0;
  virtual void setExcelSourcePath(const QString& path) = 0;
  // Show_RHS_Properties with no selection.
  virtual void showCardProperties() {}
  // set_Back_BG_Image / set_Front_BG_Image with the side's picture path.
  virtual void setBackgroundImage(CardSide side, const QString& path) = 0;
  // selectArrowTool and Refresh_Canvas.
  virtual void finishLoading() {}

  // ---- Window ------------------------------------------------------------------------
  virtual QString App_Name() const { return QStringLiteral("QUVO Gratulo"); }
  virtual void setWindowTitle(const QString& title) = 0;
  // Brings the main window to the front after a save panel.
  virtual void bringToFront() {}
};

// The title text for a design path: "<App_Name> ( <file name> )" when a file
// exists there, else App_Name alone.
QString designWindowTitle(const QString& appName, const QString& projectFileName);

// Sets the window title from App_Name and Project_File_Name.
void Set_Log_Name_In_Title(DesignHost& host);

// The current design of the host (the live page settings lose a background
// path whose fill style is not "I", as the file does).
Design currentDesign(DesignHost& host);

// Writes a design file whole (saveWholeFile); throws as designFileBytes does,
// before anything is written. False with the reason when the
// file could not be written; the previous file is then unchanged.
bool writeDesignFile(const QString& path, const Design& design, QString* why = nullptr);
bool writeDesignBytes(const QString& path, const QByteArray& bytes, QString* why = nullptr);

// Save / Save As: asks for a path when the design is untitled or save_as is
// set, then writes. A design that cannot be written is always reported, once;
// with show_msg the success is announced too and the window title set. True
// when the file was written.
bool Save_project_file(DesignHost& host, bool save_as, bool show_msg);

// Replaces the host's design with the file's: 1 loaded, 0 not loaded (the
// current design unchanged). Mode "L" makes the file the current design file;
// any other mode (a template) leaves the design untitled.
int Read_and_load_design_Log(DesignHost& host, const QString& path, const QString& log_or_template);

// Open panel for one "dcard" file, then the reader in mode "L"; 0 when cancelled.
int Open_Log_File(DesignHost& host);

// Reads a design file from disk: only a regular file no larger than the
// design file limit. Nothing otherwise, with the reason; *unreadable tells a
// file that could not be read from one that was read but holds no design,
// whose fault the reader gives in *fault.
std::optional<Design> readDesignFile(const QString& path, QString* why = nullptr, bool* unreadable = nullptr,
                                     DesignFileFault* fault = nullptr);

// Puts a staged design in place of the host's (steps of a successful open).
void applyDesign(DesignHost& host, Design design, const QString& path, const QString& log_or_template);

// The picture of a path named by a design file: loaded only from a regular
// file, under the picture allocation limit; a null picture otherwise.
QImage loadRegularPictureFile(const QString& path);
bool isRegularPictureFile(const QString& path);

// The pictures the host's design names and shows none of, one line each
// (production::missingPictureLines): the front's, then the back's.
QStringList missingPictures(DesignHost& host);

// Card_Shape value of a card outline code: "RR" 1, "E" 2, anything else 0.
int cardShapeCode(const QString& outline);
// The card outline code of a Card_Shape value: 0 "R", 1 "RR", any other "E".
QString cardOutlineCode(int shape);

}  // namespace designfile
