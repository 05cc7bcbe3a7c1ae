#include "data/DataSeriesStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>
#include <exception>

#include "data/Report.h"
#include "data/globals.h"
#include "platform/QuotedValue.h"
#include "platform/RegularFile.h"
#include "platform/SavedFile.h"
#include "platform/StringHelpers.h"
#include "platform/globals.h"

namespace {

const QStringList kBindableKinds = {QStringLiteral("SKTImage"), QStringLiteral("SKTText"),
                                    QStringLiteral("SKTBarcode")};

bool boundTo(const QList<SeriesBinding>& graphics, const QString& name) {
  return std::any_of(graphics.begin(), graphics.end(), [&](const SeriesBinding& g) {
    return kBindableKinds.contains(g.kind) && g.data_source_type == 1 && g.batch_list_name == name;
  });
}

}  // namespace

DataSeriesStore::DataSeriesStore() : folder_(Data_Folder_Path()) {}

DataSeriesStore::DataSeriesStore(QString folder) : folder_(std::move(folder)) {}

bool DataSeriesStore::isPlainName(const QString& name) {
  return platform::isPlainFileName(name);
}

QString DataSeriesStore::seriesFilePath(const QString& name) const {
  if (!isPlainName(name)) return QString();
  return folder_ + "/" + name + "." + batch_file_EXT;
}

bool DataSeriesStore::seriesExists(const QString& name) const {
  const QString path = seriesFilePath(name);
  return !path.isEmpty() && QFileInfo(path).isFile();
}

QStringList DataSeriesStore::Get_datasheet_File_Name_Array() const {
  QStringList names;
  const QFileInfo info(folder_);
  if (!info.exists() || !info.isDir()) return names;
  const QFileInfoList entries =
      QDir(folder_).entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  for (const QFileInfo& file : entries) {
    // A link that leads nowhere is listed by the folder but holds no series.
    if (!file.exists()) continue;
    const QString entry = file.fileName();
    const qsizetype dot = entry.lastIndexOf('.');
    // A leading dot starts a name, not an extension.
    const QString name = dot > 0 ? entry.left(dot) : entry;
    // "..txt" would list as ".", a name no reader or writer of series accepts.
    if (isPlainName(name)) names.append(name);
  }
  // The same order on every machine: by name, character by character.
  std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) { return a.compare(b) < 0; });
  return names;
}

bool DataSeriesStore::Check_Batch_File_In_Use_Validation(const QString& name,
                                                         const SeriesBindingSource& design) const {
  if (!seriesExists(name)) return false;
  try {
    if (boundTo(design.frontBindings(), name)) return true;
    if (design.cardSides() == "2") {
      const QList<SeriesBinding> back = design.backBindings();
      if (back.isEmpty()) return false;
      if (boundTo(back, name)) return true;
    }
  } catch (const std::exception& e) {
    data_report::alert(QString::fromUtf8(e.what()));
  }
  return false;
}

namespace {

enum class SeriesFileRead { Read, Missing, Unreadable, TooLarge };

// The bytes of a series file: nothing larger than the limit is read (nor is
// memory taken for it), also when the file grows while it is read.
SeriesFileRead readSeriesFile(const QString& path, QByteArray* bytes) {
  const QFileInfo info(path);
  if (path.isEmpty() || !info.isFile()) return SeriesFileRead::Missing;
  if (info.size() > DataSeriesStore::kMaxSeriesBytes) return SeriesFileRead::TooLarge;
  QFile file;
  if (!platform::openRegularFile(file, path)) return SeriesFileRead::Unreadable;
  *bytes = file.read(DataSeriesStore::kMaxSeriesBytes + 1);
  if (file.error() != QFileDevice::NoError) return SeriesFileRead::Unreadable;
  if (bytes->size() > DataSeriesStore::kMaxSeriesBytes) {
    *bytes = QByteArray();
    return SeriesFileRead::TooLarge;
  }
  return SeriesFileRead::Read;
}

std::optional<QString> utf8Text(const QByteArray& bytes) {
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = decoder(bytes);
  if (decoder.hasError()) return std::nullopt;
  return text;
}

}  // namespace

QString DataSeriesStore::refusedSeriesMessage(const QString& name) {
  return QStringLiteral(
             "The data series \"%1\" cannot be used: its file is not a UTF-8 text file or is too large.")
      .arg(platform::quotedValue(name));
}

std::optional<QString> DataSeriesStore::readText(const QString& name, bool* tooLarge) const {
  QByteArray bytes;
  const SeriesFileRead read = readSeriesFile(seriesFilePath(name), &bytes);
  if (tooLarge) *tooLarge = read == SeriesFileRead::TooLarge;
  if (read != SeriesFileRead::Read) return std::nullopt;
  return utf8Text(bytes);
}

QStringList DataSeriesStore::cardValuesFromText(const QString& text) {
  QStringList values = productionValuesFromText(text);
  for (QString& value : values) value = Trim_Str(value);
  return values;
}

QStringList DataSeriesStore::productionValuesFromText(const QString& text) {
  if (text.isEmpty()) return QStringList();
  QString body = text;
  if (body.endsWith('\n')) body.chop(1);
  return body.split('\n');
}

QStringList DataSeriesStore::readCardValues(const QString& name, bool* tooLarge) const {
  const std::optional<QString> text = readText(name, tooLarge);
  return text ? cardValuesFromText(*text) : QStringList();
}

QString DataSeriesStore::Get_First_Value_Of_Dataset(const QString& name) const {
  // No blanks around it, nor a CR LF file's carriage return; an empty first
  // value stays card 1's value, whatever follows it.
  const std::optional<QStringList> lines = readSeriesLines(seriesFilePath(name), nullptr);
  return lines ? filledValue(lines->value(0)) : QString();
}

std::optional<QStringList> DataSeriesStore::readSeriesLines(const QString& path, bool* refused) {
  if (refused) *refused = false;
  QByteArray bytes;
  const SeriesFileRead read = readSeriesFile(path, &bytes);
  if (read == SeriesFileRead::Missing) return std::nullopt;
  const std::optional<QString> text = read == SeriesFileRead::Read ? utf8Text(bytes) : std::nullopt;
  if (!text) {
    if (refused) *refused = true;
    return std::nullopt;
  }
  // Line i is card i's value, also where it is empty at either end of the
  // file; an empty file still makes one card, with nothing on it.
  QStringList lines = productionValuesFromText(*text);
  if (lines.isEmpty()) lines.append(QStringLiteral(""));
  return lines;
}

QString DataSeriesStore::filledValue(const QString& value) {
  return Trim_Str(value);
}

bool DataSeriesStore::writeSeries(const QString& name, const QStringList& values, SeriesWriteMode mode,
                                  SeriesFailureReport report, QString* failure) const {
  return writeSeriesValues(name, SeriesValues::fromList(values), mode, report, failure);
}

bool DataSeriesStore::writeSeriesValues(const QString& name, const SeriesValues& values, SeriesWriteMode mode,
                                        SeriesFailureReport report, QString* failure) const {
  const auto fail = [&](const QString& message) {
    if (failure) *failure = message;
    if (report == SeriesFailureReport::Message) data_report::alert(message);
    return false;
  };
  const auto failedAccess = [&] { return fail(QString::fromLatin1(kFileAccessError)); };
  const QString path = seriesFilePath(name);
  if (path.isEmpty()) return failedAccess();

  if (mode == SeriesWriteMode::Replace || !QFileInfo::exists(path))
    return saveWholeFile(path, values.fileBytes()) || failedAccess();
  // Appending reads the old file whole, as every reader does, so it refuses
  // one that a run would refuse, and never makes one.
  QByteArray bytes;
  switch (readSeriesFile(path, &bytes)) {
    case SeriesFileRead::Read:
      break;
    case SeriesFileRead::TooLarge:
      return fail(refusedSeriesMessage(name));
    default:
      return failedAccess();
  }
  // New lines start after the last line feed, also when the old file lacks one.
  if (!bytes.isEmpty() && !bytes.endsWith('\n')) bytes.append('\n');
  if (bytes.size() + values.fileBytes().size() > kMaxSeriesBytes) return fail(refusedSeriesMessage(name));
  bytes.append(values.fileBytes());
  return saveWholeFile(path, bytes) || failedAccess();
}

bool DataSeriesStore::deleteSeries(const QString& name) const {
  const QString path = seriesFilePath(name);
  if (path.isEmpty()) return false;
  const QFileInfo info(path);
  if (!info.exists() && !info.isSymLink()) return true;
  return !info.isDir() && QFile::remove(path);
}
