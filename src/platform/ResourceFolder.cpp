#include "platform/ResourceFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "platform/FileHelpers.h"
#include "platform/Messages.h"
#include "platform/RegularFile.h"
#include "platform/SavedFile.h"
#include "platform/globals.h"

namespace platform {

QString shippedResourcesFolder() {
  QStringList candidates;
  const QString env = qEnvironmentVariable("QUVO_RESOURCES");
  if (!env.isEmpty()) candidates << env;
  if (QCoreApplication::instance() != nullptr) {
    const QString exeDir = QCoreApplication::applicationDirPath();
    candidates << exeDir + "/../share/quvo-gratulo/resources" << exeDir + "/resources";
  }
#ifdef QUVO_SHIPPED_RESOURCES
  candidates << QStringLiteral(QUVO_SHIPPED_RESOURCES);
#endif
  for (const QString& c : candidates)
    if (QFileInfo(c).isDir()) return QDir::cleanPath(QFileInfo(c).absoluteFilePath());
  return {};
}

bool seedFolder(const QString& from, const QString& to, QString* error) {
  auto fail = [error](const QString& why) {
    if (error != nullptr) *error = why;
    return false;
  };
  if (!makeFolder(to)) return fail("Cannot create the folder " + to);
  const QDir source(from);
  QDirIterator it(from, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    it.next();
    const QFileInfo info = it.fileInfo();
    if (info.isSymLink()) continue;
    const QString target = to + "/" + source.relativeFilePath(info.filePath());
    if (info.isDir()) {
      if (!QFileInfo(target).isDir() && !makeFolder(target))
        return fail("Cannot create the folder " + target);
      continue;
    }
    if (!info.isFile() || QFileInfo::exists(target) || QFileInfo(target).isSymLink()) continue;
    if (!makeFolder(QFileInfo(target).path()))
      return fail("Cannot create the folder " + QFileInfo(target).path());
    if (!copyRegularFile(info.filePath(), target))
      return fail("Cannot copy " + info.filePath() + " to " + target);
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser |
                                      QFile::ReadGroup | QFile::ReadOther);
  }
  return true;
}

namespace {

// The user guide is the program's, not the person's: the copy in the data
// folder follows the guide shipped with this version of the program.
void followShippedGuide(const QString& shipped, const QString& folder) {
  constexpr qint64 kMaxGuideBytes = 64 * 1024 * 1024;
  const std::optional<QByteArray> bytes = readRegularFile(shipped + "/Help.pdf", kMaxGuideBytes);
  if (!bytes) return;
  const QString current = folder + "/Help.pdf";
  if (readRegularFile(current, bytes->size()) == bytes) return;
  QString why;
  if (!saveWholeFile(current, *bytes, &why))
    Show_NSLog_Message("The user guide could not be brought up to date: " + why);
}

}  // namespace

bool initResourceFolder(QString* error) {
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  if (folder.isEmpty()) {
    if (error != nullptr) *error = "No folder for the program's data is known on this system.";
    return false;
  }
  if (!makeFolder(folder)) {
    if (error != nullptr) *error = "Cannot create the folder " + folder;
    return false;
  }
  Set_Resource_Path(folder);
  const QString shipped = shippedResourcesFolder();
  if (!shipped.isEmpty() && !seedFolder(shipped, folder, error)) return false;
  if (!shipped.isEmpty()) followShippedGuide(shipped, folder);
  Check_Path_And_Create_Files();
  return true;
}

}  // namespace platform
