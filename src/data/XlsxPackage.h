#pragma once
// An xlsx workbook file opened for reading its parts where they lie: nothing
// is unpacked to disk. Opening checks the whole package first: the path must
// name a regular file holding a zip archive, and every entry name must be a
// safe relative path, or the package is refused whole.
//
// A part is handed to its reader in chunks as it is inflated; for large parts
// inflating runs on a thread of its own, a few chunks ahead of the reader.

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace xlsx {

// The reason given for a package that holds no worksheet to read.
inline constexpr char kNoWorksheet[] = "it holds no worksheet";

class Package {
 public:
  ~Package();
  Package(const Package&) = delete;
  Package& operator=(const Package&) = delete;

  // The opened package, or null with what the program tells the person in
  // *error: it names the file and says why it could not be read as a
  // workbook (platform::unreadableFileMessage): it cannot be read at all, it
  // is empty, no zip archive, cut short or damaged, or it holds a part whose
  // name is refused or more parts than allowed.
  static std::unique_ptr<Package> open(const QString& path, QString* error);

  const QString& path() const { return path_; }
  // Whether the package holds a part (a file entry, not a folder) of that name.
  bool hasPart(const QString& name) const;
  // The worksheet parts ("xl/worksheets/*.xml") without folder and extension,
  // ordered by their number: sheet1, sheet2, ..., sheet10.
  QStringList worksheetParts() const;

  // Receives the next chunk of a part; returns false when it needs no more.
  using Consumer = std::function<bool(const char* data, qsizetype size)>;
  // Hands the part to the consumer, chunk by chunk. True when the part was
  // read whole (or the consumer stopped early); false with the reason in
  // *error when it is missing, damaged or cannot be inflated.
  bool readPart(const QString& name, const Consumer& consume, QString* error);

 private:
  struct Archive;
  Package(const QString& path, std::unique_ptr<Archive> archive);

  QString path_;
  std::unique_ptr<Archive> archive_;
};

}  // namespace xlsx
