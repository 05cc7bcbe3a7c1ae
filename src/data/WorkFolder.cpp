#include "data/WorkFolder.h"

#include <QDir>
#include <QFile>
#include <cstdlib>

#include "data/Report.h"

namespace {

// Owns the per-process private folder and removes it at exit.
class PrivateTempFolder {
 public:
  PrivateTempFolder() {
    QByteArray pattern = QFile::encodeName(QDir::tempPath() + "/quvo-gratulo-XXXXXX");
    // mkdtemp creates the folder with mode 0700, owned by us, under a fresh name.
    if (char* made = ::mkdtemp(pattern.data())) {
      path_ = QFile::decodeName(made);
    } else {
      data_report::log("Could not create a private temporary folder in " + QDir::tempPath());
    }
  }
  ~PrivateTempFolder() {
    if (!path_.isEmpty()) QDir(path_).removeRecursively();
  }
  const QString& path() const { return path_; }

 private:
  QString path_;
};

const PrivateTempFolder& privateFolder() {
  static PrivateTempFolder folder;
  return folder;
}

}  // namespace

QString Excel_Work_Folder() {
  const QString& base = privateFolder().path();
  if (base.isEmpty()) return QString();
  return base + "/ziptmp";
}

void Delete_Excel_File_Temp_Folder() {
  const QString folder = Excel_Work_Folder();
  if (!folder.isEmpty()) QDir(folder).removeRecursively();
}
