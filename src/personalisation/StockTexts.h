#pragma once
// The stock titles and messages ("Title.txt" and "Message.txt" in the
// resource folder) that the new-card wizard and the stock text picker offer
// one at a time, and the length limit of the wizard's text fields.

#include <QString>
#include <QStringList>
#include <optional>

// Reads a stock text file: the whole text trimmed at both ends, then one
// entry per line, in file order (an empty line is an empty entry, an empty
// file one empty entry). A line end may be "\n" or "\r\n"; neither stays in
// an entry. A file that is missing, unreadable, larger than 1 MiB or not
// valid UTF-8 gives no list; but for a missing file, *why then says what
// the program tells the person (platform::unreadableFileMessage).
std::optional<QStringList> Read_Stock_Text_File(const QString& path, QString* why = nullptr);

// One list of stock texts and the entry shown, cycling both ways.
class StockTextCycle {
 public:
  // Reads the file again and shows entry 0.
  void load(const QString& path);
  // Why the file last loaded gave no list, as the program says it; empty
  // when it was read or is missing (the person types the text then).
  const QString& unreadable() const { return unreadable_; }
  void setEntries(std::optional<QStringList> entries);
  // The entry shown, or "" when there is no list.
  QString current() const;
  // One entry on or back; past either end it wraps round.
  QString next();
  QString back();
  int count() const { return entries_ ? static_cast<int>(entries_->size()) : 0; }
  int index() const { return index_; }
  void reset() { index_ = 0; }

 private:
  std::optional<QStringList> entries_;
  int index_ = 0;
  QString unreadable_;
};

// The stock text files of the resource folder.
QString Stock_Title_File();    // <resource folder>/Title.txt
QString Stock_Message_File();  // <resource folder>/Message.txt

// The first `limit` UTF-16 units of the text, one fewer when the cut would
// split a surrogate pair; the text itself when it is not longer.
QString Limit_Text_Length(const QString& text, int limit);
