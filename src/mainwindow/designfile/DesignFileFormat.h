#pragma once
// The design file ("dcard"): an XML property list whose root is an array of
// positional elements (no keys, no version, no length field):
//
//   0          "QUVOCARDDESIGNLOGFILE"
//   1-28       the 28 page-setting items of the front
//   29-56      the same 28 items of the back
//   57         spreadsheet binding in use, "Y" or "N"
//   58         path of the bound spreadsheet
//   59         column titles of the spreadsheet data-source table (array of strings)
//   60         rows of that table (array of dictionaries of strings)
//   61         front object count n ("%lu")
//   62..61+n   one graphic archive (data) per front object, in list order
//   62+n       back object count m
//   63+n..     one graphic archive per back object
//
// Elements after the back objects are ignored when reading.
//
// This module turns a Design into that array (and its XML bytes) and back. It
// never touches the main window: reading gives a complete staging Design or
// nothing, so a caller replaces its design only after everything parsed.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <stdexcept>

#include "core/Card_Property.h"
#include "core/GraphicLimits.h"
#include "core/SKTGraphic.h"
#include "data/DataSourceTable.h"
#include "platform/PropertyList.h"

namespace designfile {

inline const QString kMagic = QStringLiteral("QUVOCARDDESIGNLOGFILE");
inline constexpr int kPageSettingItems = 28;
// Index of the spreadsheet binding flag (the first element after both sides).
inline constexpr int kExcelBindingIndex = 1 + 2 * kPageSettingItems;  // 57
// Fewest elements a design file can have (no objects on either side).
inline constexpr int kMinimumElements = kExcelBindingIndex + 6;  // 63

// Largest card extent accepted from a file, in points (200 inches).
inline constexpr double kMaxCardExtent = 14400.0;
// Largest card origin offset accepted from a file, in points: as far as an object may lie.
inline constexpr double kMaxCardOffset = kMaxGraphicCoordinate;
// Largest border width accepted from a file, in points: the widest stroke of an object.
inline constexpr int kMaxBorderWidth = static_cast<int>(kMaxGraphicStrokeWidth);
// Largest content font size accepted from a file, in points.
inline constexpr double kMaxFontSize = kMaxGraphicFontSize;
// Largest design file, in bytes, and most values it may hold (every string,
// data block, array, row and key is one). The limits in force are
// Design_File_Byte_Limit and Design_File_Value_Limit: the reader refuses a
// file beyond them, and the writer never writes one.
inline constexpr qint64 kMaxDesignFileBytes = 256 * 1024 * 1024;
inline constexpr qint64 kMaxDesignFileValues = platform::kMaxPlistNodes;
// The limits in force, as the reader and the writer apply them.
platform::PlistLimits designFileLimits();

// Everything a design file holds.
struct Design {
  Card_Property front;
  Card_Property back;
  SKTGraphicList frontGraphics;
  SKTGraphicList backGraphics;
  bool excelBindingUse = false;
  QString excelSourcePath;
  QStringList columnTitles;
  QList<DataSourceRow> rows;
};

// Raised while building the element array; `elements` is the number of
// elements gathered before the failure.
class DesignBuildError : public std::runtime_error {
 public:
  DesignBuildError(int elements, const QString& reason)
      : std::runtime_error(reason.toStdString()), elements_(elements) {}
  int elements() const { return elements_; }

 private:
  int elements_;
};

// Raised instead of writing a design that the reader would refuse: nothing
// is written. The text says so for the user and names the reason and the
// part of the design it lies in (what makes a design too large, an object
// beyond the limits ...).
class DesignRefusedError : public std::runtime_error {
 public:
  explicit DesignRefusedError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

// The background picture path stored for a side: its own path when its fill
// style is "I", otherwise empty.
QString storedBackgroundPath(const Card_Property& side);

// The element array of a design. Throws DesignBuildError.
platform::PlistArray designElements(const Design& design);
// The file's bytes (XML property list), read back whole by parseDesignFile
// before they are answered. Throws DesignBuildError, or DesignRefusedError
// for a design the reader would refuse.
QByteArray designFileBytes(const Design& design);

// Why a file is not a design: the reason, the element being read (-1 when
// the file as a whole is refused) and the part of the design it holds ("the
// front page settings", "back object 2"; empty for the file as a whole).
// TooManyPictures: the pictures the file carries would take more memory once
// decoded than one reading may (PictureBudget); the file itself may be sound.
struct DesignFileFault {
  enum class Kind { Damaged, TooManyPictures };
  qsizetype element = -1;
  QString reason;
  QString place;
  Kind kind = Kind::Damaged;
};

// Reads a design from a file's bytes (XML or binary property list). Nothing
// (and the reason) for anything that is not a complete, sound design.
std::optional<Design> parseDesignFile(const QByteArray& bytes, DesignFileFault* fault);
// The reason as the log gives it, naming the element ("element 62: ...").
QString faultText(const DesignFileFault& fault);
// As above; the reason names the element ("element 62: ...").
std::optional<Design> parseDesignFile(const QByteArray& bytes, QString* why = nullptr);

// Keyed archives of one colour or one font, as the page-setting items store them.
QByteArray archivedColor(const QColor& color);
QByteArray archivedFont(const CardFont& font);
std::optional<QColor> colorFromArchive(const QByteArray& data);
std::optional<CardFont> fontFromArchive(const QByteArray& data);

}  // namespace designfile
