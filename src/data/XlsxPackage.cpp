#include "data/XlsxPackage.h"

#include <QFile>
#include <QRegularExpression>
#include <algorithm>
#include <array>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "data/CardZipArchive.h"
#include "data/Report.h"
#include "data/ZipInput.h"
#include "platform/RegularFile.h"

namespace xlsx {
namespace {

constexpr qsizetype kChunkBytes = 256 * 1024;
// Parts larger than this are inflated on a thread of their own.
constexpr ZPOS64_T kThreadedBytes = 2 * 1024 * 1024;
// Chunks inflated ahead of the reader.
constexpr size_t kChunksAhead = 4;

// Trailing number of a part name ("sheet12" -> 12), or -1.
qint64 sheetNumber(const QString& name) {
  static const QRegularExpression digits(QStringLiteral("(\\d+)$"));
  const QRegularExpressionMatch match = digits.match(name);
  if (!match.hasMatch()) return -1;
  bool ok = false;
  const qint64 number = match.captured(1).toLongLong(&ok);
  return ok ? number : -1;
}

// Chunk buffers passed round between the inflating thread and the reading
// one. All are made before the inflating thread starts, so that it never
// allocates: the inflater fills the next free buffer, the reader takes the
// oldest filled one and gives it back when it is done with it.
class ChunkRing {
 public:
  ChunkRing() : buffers_(kSlots, std::vector<char>(static_cast<size_t>(kChunkBytes))) {}

  // Inflating side: the next buffer to fill, once one is free; null when the reader has stopped.
  char* acquire() {
    std::unique_lock lock(mutex_);
    freeOrStop_.wait(lock, [&] { return stopped_ || filled_ < kSlots; });
    return stopped_ ? nullptr : buffers_[head_].data();
  }
  // Its size: 0 at the end of the part, negative on an inflate error.
  void commit(int size) {
    std::lock_guard lock(mutex_);
    sizes_[head_] = size;
    head_ = (head_ + 1) % kSlots;
    ++filled_;
    filledCondition_.notify_one();
  }
  // Reading side: the oldest filled buffer and its size.
  std::pair<const char*, int> next() {
    std::unique_lock lock(mutex_);
    filledCondition_.wait(lock, [&] { return filled_ > 0; });
    return {buffers_[tail_].data(), sizes_[tail_]};
  }
  void release() {
    std::lock_guard lock(mutex_);
    tail_ = (tail_ + 1) % kSlots;
    --filled_;
    freeOrStop_.notify_one();
  }
  void stop() {
    std::lock_guard lock(mutex_);
    stopped_ = true;
    freeOrStop_.notify_all();
  }

 private:
  static constexpr size_t kSlots = kChunksAhead + 1;
  std::vector<std::vector<char>> buffers_;
  std::array<int, kSlots> sizes_{};
  size_t head_ = 0, tail_ = 0, filled_ = 0;
  bool stopped_ = false;
  std::mutex mutex_;
  std::condition_variable freeOrStop_;
  std::condition_variable filledCondition_;
};

enum class Inflated { Whole, Stopped, Failed };

// Inflates the open entry on this thread.
Inflated inflateHere(unzFile zip, const Package::Consumer& consume, ZPOS64_T& total) {
  std::vector<char> buffer(static_cast<size_t>(kChunkBytes));
  for (;;) {
    const int got = unzReadCurrentFile(zip, buffer.data(), unsigned(buffer.size()));
    if (got < 0) return Inflated::Failed;
    if (got == 0) return Inflated::Whole;
    total += ZPOS64_T(got);
    if (!consume(buffer.data(), got)) return Inflated::Stopped;
  }
}

// Inflates the open entry on a second thread while this one consumes.
Inflated inflateAhead(unzFile zip, const Package::Consumer& consume, ZPOS64_T& total) {
  ChunkRing ring;
  std::thread inflater([&] {
    while (char* buffer = ring.acquire()) {
      const int got = unzReadCurrentFile(zip, buffer, unsigned(kChunkBytes));
      ring.commit(got);
      if (got <= 0) return;
    }
  });
  // Whatever way this function is left, the inflater is stopped and waited for.
  struct Join {
    ChunkRing& ring;
    std::thread& thread;
    ~Join() {
      ring.stop();
      thread.join();
    }
  } join{ring, inflater};
  for (;;) {
    const auto [bytes, size] = ring.next();
    if (size < 0) return Inflated::Failed;
    if (size == 0) return Inflated::Whole;
    total += ZPOS64_T(size);
    const bool more = consume(bytes, size);
    ring.release();
    if (!more) return Inflated::Stopped;
  }
}

constexpr char kDamaged[] = "it is a damaged workbook";

// Why a regular file is no zip archive at all, judged by its first bytes: a
// workbook's begin with the mark of a zip entry, and one cut short has lost
// the list of its parts at the end.
QString notAnArchiveReason(const QString& path) {
  QFile file;
  QString why;
  if (!platform::openRegularFile(file, path, &why)) return why;
  const QByteArray head = file.read(4);
  if (head.isEmpty() && file.error() == QFileDevice::NoError) return QStringLiteral("it is empty");
  if (head.startsWith("PK")) return QStringLiteral("it is an incomplete or damaged workbook");
  return QStringLiteral("it is not an xlsx workbook");
}

}  // namespace

struct Package::Archive {
  zip_input::UnzipHandle zip;
  QHash<QString, unz64_file_pos> parts;  // file entries by name
};

Package::Package(const QString& path, std::unique_ptr<Archive> archive)
    : path_(path), archive_(std::move(archive)) {}

Package::~Package() = default;

std::unique_ptr<Package> Package::open(const QString& path, QString* error) {
  auto refuse = [&](const QString& why) {
    *error = platform::unreadableFileMessage(path, why);
    return nullptr;
  };
  auto archive = std::make_unique<Archive>();
  QString cannotRead;
  archive->zip.file = zip_input::openArchive(path, &cannotRead);
  if (!archive->zip.file) {
    if (!cannotRead.isEmpty()) {
      *error = cannotRead;
      return nullptr;
    }
    return refuse(notAnArchiveReason(path));
  }
  int status = unzGoToFirstFile(archive->zip.file);
  if (status == UNZ_END_OF_LIST_OF_FILE) return refuse(QLatin1String(kNoWorksheet));
  if (status != UNZ_OK) return refuse(QLatin1String(kDamaged));
  const std::int64_t maxEntries = UnzipLimits().maxEntries;
  std::int64_t entries = 0;
  for (; status == UNZ_OK; status = unzGoToNextFile(archive->zip.file)) {
    unz_file_info64 info{};
    QByteArray raw;
    unz64_file_pos position{};
    if (!zip_input::readEntryInfo(archive->zip.file, info, raw) ||
        unzGetFilePos64(archive->zip.file, &position) != UNZ_OK)
      return refuse(QLatin1String(kDamaged));
    const zip_input::EntryName entry = zip_input::decodeName(raw);
    const QString reason = zip_input::unsafeNameReason(raw, entry);
    if (!reason.isEmpty())
      return refuse(QStringLiteral("it holds the part \"%1\", which is refused: %2")
                        .arg(data_report::excerpt(QString::fromUtf8(raw)), reason));
    if (++entries > maxEntries) return refuse(QStringLiteral("it holds more than %1 parts").arg(maxEntries));
    if (!entry.isFolder) archive->parts.insert(entry.name, position);
  }
  if (status != UNZ_END_OF_LIST_OF_FILE) return refuse(QLatin1String(kDamaged));
  return std::unique_ptr<Package>(new Package(path, std::move(archive)));
}

bool Package::hasPart(const QString& name) const {
  return archive_->parts.contains(name);
}

QStringList Package::worksheetParts() const {
  static const QString folder = QStringLiteral("xl/worksheets/");
  QStringList names;
  for (auto it = archive_->parts.cbegin(); it != archive_->parts.cend(); ++it) {
    const QString& name = it.key();
    if (!name.startsWith(folder) || name.indexOf('/', folder.size()) >= 0) continue;
    const QString file = name.mid(folder.size());
    const qsizetype dot = file.lastIndexOf('.');
    if (dot < 0 || file.mid(dot + 1).toLower() != "xml") continue;
    names.append(file.left(dot));
  }
  std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
    const qint64 na = sheetNumber(a), nb = sheetNumber(b);
    if (na != nb) return na < nb;
    return a.compare(b) < 0;
  });
  return names;
}

bool Package::readPart(const QString& name, const Consumer& consume, QString* error) {
  const QString quoted = data_report::excerpt(name);
  auto found = archive_->parts.find(name);
  if (found == archive_->parts.end()) {
    *error = QStringLiteral("the workbook has no part %1").arg(quoted);
    return false;
  }
  unzFile zip = archive_->zip.file;
  unz_file_info64 info{};
  QByteArray raw;
  if (unzGoToFilePos64(zip, &found.value()) != UNZ_OK || !zip_input::readEntryInfo(zip, info, raw) ||
      unzOpenCurrentFile(zip) != UNZ_OK) {
    *error = QStringLiteral("the part %1 cannot be opened").arg(quoted);
    return false;
  }
  ZPOS64_T total = 0;
  const Inflated inflated = info.uncompressed_size > kThreadedBytes ? inflateAhead(zip, consume, total)
                                                                    : inflateHere(zip, consume, total);
  // The library checks the part's checksum when it closes a part read whole.
  const int closed = unzCloseCurrentFile(zip);
  if (inflated == Inflated::Stopped) return true;
  if (inflated == Inflated::Failed || closed != UNZ_OK || total != info.uncompressed_size) {
    *error = QStringLiteral("the part %1 is damaged").arg(quoted);
    return false;
  }
  return true;
}

}  // namespace xlsx
