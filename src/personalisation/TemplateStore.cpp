#include "personalisation/TemplateStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/PictureFile.h"
#include "personalisation/globals.h"
#include "platform/FileHelpers.h"
#include "platform/Messages.h"
#include "platform/RegularFile.h"
#include "platform/SavedFile.h"
#include "platform/StringHelpers.h"
#include "platform/globals.h"

namespace templates {

namespace {

const QString kDesignExtension = QStringLiteral("dcard");

QString withoutExtension(const QString& path) {
  const QFileInfo info(path);
  const QString suffix = info.suffix();
  return suffix.isEmpty() ? path : path.left(path.size() - suffix.size() - 1);
}

bool removeIfThere(const QString& path) {
  return !QFileInfo::exists(path) || QFile::remove(path);
}

// Whether something other than a folder is at the path (a dangling link too).
bool isFileOrLink(const QString& path) {
  const QFileInfo info(path);
  return info.isSymLink() || (info.exists() && !info.isDir());
}

// Copies one file; false when the source is missing or the target exists.
bool copyFile(const QString& from, const QString& to) {
  return platform::copyRegularFile(from, to);
}

}  // namespace

QString builtInFolder() {
  return Resource_Path() + QStringLiteral("/Templates");
}

QString userFolder() {
  return builtInFolder() + QStringLiteral("/User");
}

QStringList Picture_Files(const QString& folder) {
  QStringList out;
  const QDir dir(folder);
  if (!QFileInfo(folder).isDir()) return out;
  // Pipes, devices, dangling links and folders too, to be named.
  const QDir::Filters entries = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
  for (const QFileInfo& entry : dir.entryInfoList(entries, QDir::Name)) {
    const QString ext = entry.suffix().toLower();
    if (ext == QLatin1String("png") || ext == QLatin1String("jpg")) out << entry.absoluteFilePath();
  }
  return out;
}

QString Template_Problem(const QString& preview) {
  if (QString problem = pictureFileProblem(preview); !problem.isEmpty()) return problem;
  const QString design = Design_Path_For_Preview(preview);
  QString why;
  return platform::isReadableRegularFile(design, &why) ? QString()
                                                       : platform::unreadableFileMessage(design, why);
}

QString Design_Path_For_Preview(const QString& preview) {
  return withoutExtension(preview) + QLatin1Char('.') + kDesignExtension;
}

QString Clean_Template_Name(const QString& typed) {
  QString name = typed;
  for (;;) {
    const QString next = Remove_Reserve_Char_In_File_Name(Trim_Str(name));
    if (next == name) break;
    name = next;
  }
  if (!platform::isPlainFileName(name)) return QString();
  return name;
}

bool Is_User_Template(const QString& preview) {
  if (preview.isEmpty()) return false;
  const QFileInfo info(preview);
  return QDir::cleanPath(info.absolutePath()) ==
             QDir::cleanPath(QFileInfo(userFolder()).absoluteFilePath()) &&
         platform::isPlainFileName(info.fileName());
}

bool User_Template_Exists(const QString& name) {
  return QFileInfo::exists(userFolder() + QLatin1Char('/') + name + QLatin1Char('.') + kDesignExtension);
}

QString Create_New_File_Path(const QString& preview) {
  const QFileInfo info(preview);
  const QString base = withoutExtension(info.fileName());
  const QString ext = info.suffix();
  QString candidate = preview;
  for (int n = 1; n < 100000; ++n) {
    candidate =
        info.absolutePath() + QLatin1Char('/') + QStringLiteral("%1 (copy %2).%3").arg(base).arg(n).arg(ext);
    if (!QFileInfo::exists(candidate) && !QFileInfo::exists(Design_Path_For_Preview(candidate))) break;
  }
  return candidate;
}

Outcome Copy_Template(const QString& preview, QString* newPreview) {
  if (!Is_User_Template(preview) || !QFileInfo(preview).isFile()) return Outcome::Refused;
  const QString target = Create_New_File_Path(preview);
  if (!copyFile(preview, target)) return Outcome::Failed;
  const QString design = Design_Path_For_Preview(preview);
  if (QFileInfo::exists(design) && !copyFile(design, Design_Path_For_Preview(target))) {
    QFile::remove(target);
    return Outcome::Failed;
  }
  if (newPreview) *newPreview = target;
  return Outcome::Done;
}

Outcome Rename_Template(const QString& preview, const QString& name) {
  if (!Is_User_Template(preview) || !QFileInfo(preview).isFile()) return Outcome::Refused;
  const QString clean = Clean_Template_Name(name);
  if (clean.isEmpty()) return Outcome::Refused;
  const QString base = userFolder() + QLatin1Char('/') + clean;
  const QString newPreview = base + QStringLiteral(".png");
  const QString newDesign = base + QLatin1Char('.') + kDesignExtension;
  const QString oldDesign = Design_Path_For_Preview(preview);
  if (newPreview == preview) return Outcome::Unchanged;
  const bool designMoves = QFileInfo::exists(oldDesign) && oldDesign != newDesign;
  if (QFileInfo::exists(newPreview) || (designMoves && QFileInfo::exists(newDesign))) return Outcome::Refused;
  if (!copyFile(preview, newPreview)) return Outcome::Failed;
  if (designMoves && !copyFile(oldDesign, newDesign)) {
    QFile::remove(newPreview);
    return Outcome::Failed;
  }
  Delete_File(preview);
  if (designMoves) Delete_File(oldDesign);
  return Outcome::Done;
}

Outcome Delete_Template(const QString& preview) {
  // Also a template that cannot be read (a pipe or a link in a file's place)
  // can be deleted; a folder never is.
  if (!Is_User_Template(preview) || !isFileOrLink(preview)) return Outcome::Refused;
  Delete_File(preview);
  const QString design = Design_Path_For_Preview(preview);
  if (isFileOrLink(design)) Delete_File(design);
  return isFileOrLink(preview) ? Outcome::Failed : Outcome::Done;
}

Outcome Export_Template_Files(const QString& name, const std::function<bool(const QString&)>& writeDesign,
                              const std::function<bool(const QString&)>& writePicture) {
  const QString clean = Clean_Template_Name(name);
  if (clean.isEmpty() || clean != name) return Outcome::Refused;
  if (!platform::makeFolder(userFolder())) return Outcome::Failed;
  const QString base = userFolder() + QLatin1Char('/') + clean;
  const QString design = base + QLatin1Char('.') + kDesignExtension;
  const QString picture = base + QStringLiteral(".png");
  // New files under names the listing does not show (no picture extension).
  const QString newDesign = userFolder() + QStringLiteral("/.") + clean + QStringLiteral(".dcard.new");
  const QString newPicture = userFolder() + QStringLiteral("/.") + clean + QStringLiteral(".png.new");
  removeIfThere(newDesign);
  removeIfThere(newPicture);
  const bool written = writeDesign(newDesign) && QFileInfo(newDesign).size() > 0 &&
                       writePicture(newPicture) && QFileInfo(newPicture).size() > 0;
  if (!written) {
    removeIfThere(newDesign);
    removeIfThere(newPicture);
    return Outcome::Failed;
  }
  platform::FileReplacement replacement;
  if (!replacement.replace(newDesign, design) || !replacement.replace(newPicture, picture)) {
    removeIfThere(newDesign);
    removeIfThere(newPicture);
    return Outcome::Failed;  // the replacement puts back what it moved
  }
  replacement.commit();
  return Outcome::Done;
}

}  // namespace templates
