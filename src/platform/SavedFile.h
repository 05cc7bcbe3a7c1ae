#pragma once
// Writing a whole file so that it either holds all of the new bytes or stays
// as it was: the bytes go to a temporary file beside it, written unbuffered
// so that a short write (disk full, a size limit) is seen, and only a
// complete file takes the old one's place.

#include <QByteArray>
#include <QString>
#include <vector>

// True when the file at path holds exactly the bytes; otherwise false, with
// the reason in *why, and a file that was at path is left as it was.
bool saveWholeFile(const QString& path, const QByteArray& bytes, QString* why = nullptr);

namespace platform {

// Moves new files into the places of old ones, all of them or none: each old
// file is first kept aside (a hard link beside it, a copy where the file
// system has no links), and whatever was moved in is undone, the old files
// put back, when a later move fails or the replacement ends without commit().
//
//   FileReplacement replacement;
//   if (!replacement.replace(newFront, front, &why) || !replacement.replace(newBack, back, &why))
//     return false;  // both places as they were
//   replacement.commit();
class FileReplacement {
 public:
  FileReplacement() = default;
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // Moves `from` to `place` in one step (a file at `place` is replaced). False
  // with the reason when it could not; `from` is then left where it is.
  bool replace(const QString& from, const QString& place, QString* why = nullptr);
  // Keeps what was moved in and lets go of the old files.
  void commit();

 private:
  struct Step {
    QString place, kept;  // kept: the old file aside, empty when there was none
  };
  std::vector<Step> done_;
};

}  // namespace platform
