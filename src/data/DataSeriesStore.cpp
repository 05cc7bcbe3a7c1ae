#include "data/DataSeriesStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstring>
#include <exception>
#include <functional>

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

enum class SeriesFileRead { Read, Missing, Unreadable, TooLarge, NotText };

// Each line of a series file as it is read: its bytes without the line feed.
using LineSink = std::function<void(QByteArrayView)>;

constexpr qsizetype kReadPiece = 1 << 20;
const QByteArrayView kByteOrderMark("\xEF\xBB\xBF");

// Where the last whole character of `bytes` ends: an unfinished one at the
// end (a lead byte and fewer continuation bytes than it needs) waits for the
// next piece of the file.
qsizetype wholeCharacters(QByteArrayView bytes) {
  qsizetype end = bytes.size();
  for (int back = 0; back < 4 && end > 0; ++back) {
    const uchar b = uchar(bytes[end - 1]);
    if (b < 0x80) return bytes.size();
    if (b >= 0xC0) {  // a lead byte: whole when its continuation bytes follow it
      const int length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
      return back + 1 >= length ? bytes.size() : end - 1;
    }
    --end;
  }
  return bytes.size();
}

// Opens the series file at `path` for reading; Read when it is open.
SeriesFileRead openSeriesFile(const QString& path, QFile& file) {
  const QFileInfo info(path);
  if (path.isEmpty() || !info.isFile()) return SeriesFileRead::Missing;
  if (info.size() > DataSeriesStore::kMaxSeriesBytes) return SeriesFileRead::TooLarge;
  if (!platform::openRegularFile(file, path)) return SeriesFileRead::Unreadable;
  return SeriesFileRead::Read;
}

// The bytes of a series file as they are, for appending `extra` bytes to
// them, and how many line feeds they hold. Nothing is read beyond
// kMaxSeriesBytes or Series_Value_Limit lines, also when the file grows while
// it is read.
SeriesFileRead readSeriesBytes(const QString& path, QByteArray* bytes, qsizetype extra, qint64* lineFeeds) {
  QFile file;
  if (const SeriesFileRead opened = openSeriesFile(path, file); opened != SeriesFileRead::Read) return opened;
  const qint64 maxLines = Series_Value_Limit.load();
  bytes->clear();
  bytes->reserve(file.size() + 1 + extra);  // a line feed where it lacks one, and what follows
  qint64& lines = *lineFeeds = 0;
  for (;;) {
    // Within the room taken, unless the file grew: a file of the largest
    // size is never copied to a larger place.
    const qsizetype before = bytes->size();
    const qsizetype piece = std::clamp<qsizetype>(bytes->capacity() - extra - 1 - before, 1, kReadPiece);
    bytes->resize(before + piece);
    const qint64 n = file.read(bytes->data() + before, piece);
    bytes->truncate(before + std::max<qint64>(n, 0));
    if (n < 0) return SeriesFileRead::Unreadable;
    if (n == 0) return SeriesFileRead::Read;
    for (qsizetype at = before; (at = bytes->indexOf('\n', at)) >= 0; ++at) ++lines;
    if (bytes->size() > DataSeriesStore::kMaxSeriesBytes || lines > maxLines) {
      *bytes = QByteArray();
      return SeriesFileRead::TooLarge;
    }
  }
}

// Reads a series file piece by piece and checks, as it goes, what every
// reader takes: UTF-8 text of at most kMaxSeriesBytes bytes and at most
// Series_Value_Limit lines. No more is read once a rule is broken, so a file
// that is refused costs no more memory than a piece of it. Each line goes to
// `sink` as soon as it is whole (the last one also without a line feed; a
// byte-order mark at the start of the file is no part of it). *lines: how
// many lines the file holds.
SeriesFileRead readSeriesFile(const QString& path, const LineSink& sink, qint64* lines) {
  QFile file;
  if (const SeriesFileRead opened = openSeriesFile(path, file); opened != SeriesFileRead::Read) return opened;
  const qint64 maxLines = Series_Value_Limit.load();
  QByteArray buffer(kReadPiece + 4, Qt::Uninitialized);
  qsizetype carried = 0;  // an unfinished character at the end of the last piece
  QByteArray lineStart;   // the part of a line that earlier pieces held
  qint64 total = 0, count = 0, sinceLineFeed = 0;
  for (bool first = true;; first = false) {
    const qint64 n = file.read(buffer.data() + carried, kReadPiece);
    if (n < 0) return SeriesFileRead::Unreadable;
    total += n;
    // Also a file that grows while it is read.
    if (total > DataSeriesStore::kMaxSeriesBytes) return SeriesFileRead::TooLarge;
    const QByteArrayView piece(buffer.constData(), carried + n);
    const QByteArrayView text = n == 0 ? piece : piece.first(wholeCharacters(piece));
    if (!text.isValidUtf8()) return SeriesFileRead::NotText;
    qsizetype from = first && text.startsWith(kByteOrderMark) ? kByteOrderMark.size() : 0;
    for (qsizetype feed; (feed = text.indexOf('\n', from)) >= 0; from = feed + 1) {
      if (++count > maxLines) return SeriesFileRead::TooLarge;
      sinceLineFeed = 0;
      if (!sink) continue;
      if (lineStart.isEmpty()) {
        sink(text.sliced(from, feed - from));
      } else {
        sink(lineStart.append(text.sliced(from, feed - from)));
        lineStart.clear();
      }
    }
    sinceLineFeed += text.size() - from;
    if (sink) lineStart.append(text.sliced(from));
    if (n == 0) break;
    carried = piece.size() - text.size();
    std::memmove(buffer.data(), piece.constData() + text.size(), size_t(carried));
  }
  if (file.error() != QFileDevice::NoError) return SeriesFileRead::Unreadable;
  if (sinceLineFeed > 0) {
    if (++count > maxLines) return SeriesFileRead::TooLarge;
    if (sink) sink(lineStart);
  }
  *lines = count;
  return SeriesFileRead::Read;
}

// A line of a series file as text: a byte-order mark that starts a line
// after the first one is part of its value.
QString lineText(QByteArrayView line, bool firstLine) {
  QString text = QString::fromUtf8(line);
  if (!firstLine && line.startsWith(kByteOrderMark)) text.prepend(QChar(0xFEFF));
  return text;
}

// The lines of a series file as texts, each made by `make`. The file is
// checked whole before any text is made, so that a file no reader takes
// costs no more than a piece of it.
SeriesFileRead readSeriesTexts(const QString& path, QStringList* texts,
                               const std::function<QString(const QString&)>& make) {
  qint64 lines = 0;
  const SeriesFileRead checked = readSeriesFile(path, {}, &lines);
  if (checked != SeriesFileRead::Read) return checked;
  texts->clear();
  texts->reserve(lines);
  return readSeriesFile(
      path, [&](QByteArrayView line) { texts->append(make(lineText(line, texts->isEmpty()))); }, &lines);
}

}  // namespace

QString DataSeriesStore::refusedSeriesMessage(const QString& name) {
  return QStringLiteral(
             "The data series \"%1\" cannot be used: its file is not a UTF-8 text file or is too large.")
      .arg(platform::quotedValue(name));
}

QStringList DataSeriesStore::readCardValues(const QString& name, bool* tooLarge) const {
  QStringList values;
  const SeriesFileRead read = readSeriesTexts(seriesFilePath(name), &values, Trim_Str);
  // A file that is not UTF-8 text shows no values, without a word.
  if (tooLarge) *tooLarge = read == SeriesFileRead::TooLarge;
  return read == SeriesFileRead::Read ? values : QStringList();
}

QString DataSeriesStore::Get_First_Value_Of_Dataset(const QString& name) const {
  // No blanks around it, nor a CR LF file's carriage return; an empty first
  // value stays card 1's value, whatever follows it. The whole file is
  // checked, as a run checks it, but only the first line is kept.
  std::optional<QString> first;
  qint64 lines = 0;
  const SeriesFileRead read = readSeriesFile(
      seriesFilePath(name),
      [&](QByteArrayView line) {
        if (!first) first = lineText(line, true);
      },
      &lines);
  return read == SeriesFileRead::Read ? filledValue(first.value_or(QString())) : QString();
}

std::optional<QStringList> DataSeriesStore::readSeriesLines(const QString& path, bool* refused) {
  if (refused) *refused = false;
  QStringList lines;
  const SeriesFileRead read = readSeriesTexts(path, &lines, [](const QString& line) { return line; });
  if (read == SeriesFileRead::Missing) return std::nullopt;
  if (read != SeriesFileRead::Read) {
    if (refused) *refused = true;
    return std::nullopt;
  }
  // Line i is card i's value, also where it is empty at either end of the
  // file; an empty file still makes one card, with nothing on it.
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
  // Appending refuses an old file that a run would refuse as too large (its
  // bytes or its lines), and never makes one.
  QByteArray bytes;
  qint64 lines = 0;
  switch (readSeriesBytes(path, &bytes, values.fileBytes().size(), &lines)) {
    case SeriesFileRead::Read:
      break;
    case SeriesFileRead::TooLarge:
      return fail(refusedSeriesMessage(name));
    default:
      return failedAccess();
  }
  // New lines start after the last line feed, also when the old file lacks one.
  if (!bytes.isEmpty() && !bytes.endsWith('\n')) {
    bytes.append('\n');
    ++lines;
  }
  if (bytes.size() + values.fileBytes().size() > kMaxSeriesBytes ||
      lines + values.size() > Series_Value_Limit.load())
    return fail(refusedSeriesMessage(name));
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
