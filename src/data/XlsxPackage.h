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

class Package {
 public:
  ~Package();
  Package(const Package&) = delete;
  Package& operator=(const Package&) = delete;

  // The opened package, or null with the reason in *error. *unreadable tells
  // a file that could not be read (the reason then names it, as
  // platform::unreadableFileMessage does) from one that is no sound package.
  static std::unique_ptr<Package> open(const QString& path, QString* error, bool* unreadable = nullptr);

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
