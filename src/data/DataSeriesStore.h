#pragma once
// The data series store: one UTF-8 text file per series, <folder>/<name>.txt,
// each value followed by exactly one line feed. Every writer and reader of
// series files goes through this class so that they all keep one contract.

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "data/SeriesValues.h"

// A card object's data binding as the in-use check sees it.
struct SeriesBinding {
  QString kind;  // the object's class: "SKTText", "SKTImage", "SKTBarcode", "SKTLine", ...
  int data_source_type = 0;
  QString batch_list_name;
};

// What the in-use check needs of the current design; the main window provides it.
class SeriesBindingSource {
 public:
  virtual ~SeriesBindingSource() = default;
  virtual QList<SeriesBinding> frontBindings() const = 0;
  virtual QList<SeriesBinding> backBindings() const = 0;
  // "1" when the card has a front side only, "2" with a back side.
  virtual QString cardSides() const = 0;
};

// A fixed set of bindings, for callers that already hold them.
class SeriesBindingList : public SeriesBindingSource {
 public:
  SeriesBindingList(QList<SeriesBinding> front, QList<SeriesBinding> back, QString sides)
      : front_(std::move(front)), back_(std::move(back)), sides_(std::move(sides)) {}
  QList<SeriesBinding> frontBindings() const override { return front_; }
  QList<SeriesBinding> backBindings() const override { return back_; }
  QString cardSides() const override { return sides_; }

 private:
  QList<SeriesBinding> front_, back_;
  QString sides_;
};

enum class SeriesWriteMode { Replace, Append };
enum class SeriesFailureReport { Message, Silent };

class DataSeriesStore {
 public:
  // Shown when a series file cannot be opened or written. A constant array,
  // not a QString: it is complete before any static object of the program is
  // made, whatever the order in which they are made.
  static constexpr char kFileAccessError[] = "Error in file accessing.";

  // The store over the program's series folder (Data_Folder_Path).
  DataSeriesStore();
  // The store over another series folder.
  explicit DataSeriesStore(QString folder);
  const QString& folder() const { return folder_; }

  // A name that can become a file name: not empty, not "." or "..", no "/", "\\" or NUL.
  static bool isPlainName(const QString& name);
  // <folder>/<name>.txt, or empty when the name is not plain.
  QString seriesFilePath(const QString& name) const;
  // Whether a plain file exists for the series.
  bool seriesExists(const QString& name) const;

  // Series names: the files of the folder (links that lead nowhere left out)
  // without their last extension, sorted by name; a name that is not plain
  // ("." of "..txt") is left out. Empty when the folder is missing.
  QStringList Get_datasheet_File_Name_Array() const;

  // True when the series file exists and a text, picture or barcode object of
  // the design (the back side only when the card has one) is bound to it. A
  // failure while walking the design is shown and answers false.
  bool Check_Batch_File_In_Use_Validation(const QString& name, const SeriesBindingSource& design) const;

  // Readers. A file that is missing, unreadable or not valid UTF-8 gives no
  // values; one larger than kMaxSeriesBytes, or of more lines than a series
  // holds (Series_Value_Limit), is read no further than the piece that shows
  // it, gives no values and sets *tooLarge (to be refused with
  // refusedSeriesMessage). Whatever its lines, a file costs no more than its
  // values: it is checked whole before they are made.
  // The viewer's and editor's values: value i is what card i shows, line i
  // trimmed, empty lines kept in their places (production's lines, trimmed).
  QStringList readCardValues(const QString& name, bool* tooLarge = nullptr) const;
  // Card 1's value, read and trimmed as a run fills an object with it ("" when
  // the series has none or cannot be read): what an object bound to the
  // series shows in the design and in every preview. Only that value is kept.
  QString Get_First_Value_Of_Dataset(const QString& name) const;

  // Series files larger than this, or of more lines than Series_Value_Limit,
  // are refused by every reader (the viewer, the editor, appending, a run)
  // with refusedSeriesMessage.
  static constexpr qint64 kMaxSeriesBytes = 256LL * 1024 * 1024;
  // "The data series "<name>" cannot be used: its file is not a UTF-8 text
  // file or is too large."
  static QString refusedSeriesMessage(const QString& name);
  // Reads a series file as a run does: line i is the value of card i, empty
  // lines at either end included; only the file's final line feed ends a
  // line without starting another (an empty file gives one empty line).
  // Nothing for a missing file; a text that is not UTF-8 or too large sets `refused`.
  static std::optional<QStringList> readSeriesLines(const QString& path, bool* refused);
  // What a bound object is filled with from its source's value (a series
  // line or a spreadsheet cell): the value trimmed.
  static QString filledValue(const QString& value);

  // Writes the values, each followed by one line feed. Replace builds the new
  // file completely before it takes the old one's place; Append keeps the old
  // lines and adds the new ones after them. A bad name or a failed write leaves
  // the old file as it was, answers false and, with Message, shows
  // kFileAccessError; an old file beyond kMaxSeriesBytes, or one that would
  // grow beyond it or beyond Series_Value_Limit lines, is refused so too,
  // with refusedSeriesMessage. *failure
  // receives the message of a failure.
  bool writeSeries(const QString& name, const QStringList& values,
                   SeriesWriteMode mode = SeriesWriteMode::Replace,
                   SeriesFailureReport report = SeriesFailureReport::Message,
                   QString* failure = nullptr) const;
  // The same for values already held as the file's bytes (no copy of them is made on Replace).
  bool writeSeriesValues(const QString& name, const SeriesValues& values,
                         SeriesWriteMode mode = SeriesWriteMode::Replace,
                         SeriesFailureReport report = SeriesFailureReport::Message,
                         QString* failure = nullptr) const;
  // Removes the series file; true when no file of that name is left. A name
  // that is not plain removes nothing.
  bool deleteSeries(const QString& name) const;

 private:
  QString folder_;
};
