#include "platform/FileHelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <algorithm>
#include <exception>

#include "platform/MessageHost.h"
#include "platform/Messages.h"
#include "platform/globals.h"

namespace platform {

void openOrTell(const QUrl& url) {
  messageHost().openUrlThen(url, [url](bool opened) {
    if (opened) return;
    const QString what = url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile()) : url.toString();
    Show_MessageBox(QStringLiteral("No application could open \"%1\".").arg(what));
  });
}

bool makeFolder(const QString& path) {
  if (path.isEmpty()) return false;
  const QString clean = QDir::cleanPath(QDir(path).absolutePath());
  QStringList created;
  for (QString p = clean; !p.isEmpty() && !QFileInfo::exists(p); p = QFileInfo(p).path()) {
    created.prepend(p);
    if (QFileInfo(p).path() == p) break;
  }
  if (!QDir().mkpath(clean)) return false;
  for (const QString& p : created) {
    const QFile::Permissions perms = QFile::permissions(p);
    if (perms & QFile::WriteOther) QFile::setPermissions(p, perms & ~QFile::WriteOther);
  }
  return QFileInfo(clean).isDir();
}

}  // namespace platform

void Delete_File(const QString& path) {
  try {
    if (path.isEmpty()) return;
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) return;
    if (!QFileInfo(info.absolutePath()).isWritable()) return;
    if (info.isDir() && !info.isSymLink())
      QDir(path).removeRecursively();
    else
      QFile::remove(path);
  } catch (const std::exception& e) {
    Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
  }
}

void Open_Help_File() {
  const QString path = Resource_Path() + "/Help.pdf";
  if (!Resource_Path().isEmpty() && QFileInfo(path).isFile())
    platform::openOrTell(QUrl::fromLocalFile(path));
  else
    Show_MessageBox("Help file does not exist!");
}

void Check_Path_And_Create_Files() {
  try {
    const QString root = Resource_Path();
    if (root.isEmpty()) {
      Show_NSLog_Message("Check_Path_And_Create_Files: the resource folder is not set");
      return;
    }
    for (const QString& folder : {Data_Folder_Path(), root + "/Background", root + "/Fill_Style_Image",
                                  root + "/LibraryImage", root + "/Templates", root + "/Templates/User"}) {
      if (!QFileInfo(folder).isDir()) platform::makeFolder(folder);
    }
  } catch (const std::exception& e) {
    Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
  }
}

QStringList Get_Files_Array_At_Path(const QString& folder) {
  QStringList names;
  if (folder.isEmpty() || !QFileInfo(folder).isDir()) return names;
  const QFileInfoList entries = QDir(folder).entryInfoList(
      QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
  for (const QFileInfo& entry : entries) {
    if (!entry.exists() || entry.isDir()) continue;
    QString name = entry.fileName();
    const qsizetype dot = name.lastIndexOf('.');
    if (dot > 0) name.truncate(dot);
    names << name;
  }
  std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) { return a.compare(b) < 0; });
  return names;
}
