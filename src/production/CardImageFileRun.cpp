#include "production/CardImageFileRun.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

#include "platform/RegularFile.h"
#include "production/CardImageFile.h"
#include "production/globals.h"

namespace production {

namespace {

const QString kRunFolderPrefix = QStringLiteral(".Card_files_");
const QString kLockName = QStringLiteral("lock");
const QString kNotePattern = QStringLiteral("card-*.json");
constexpr qint64 kLargestNote = 1024 * 1024;

QString errorText(int error) {
  return QString::fromLocal8Bit(std::strerror(error));
}

QByteArray native(const QString& path) {
  return QFile::encodeName(path);
}

std::function<void()>& placedObserver() {
  static std::function<void()> observer;
  return observer;
}

void filePlaced() {
  if (placedObserver()) placedObserver()();
}

// What the note of a card says of one of its files: the place (a name in
// the cards' folder), the old file kept aside in the run's folder (empty
// when there was none) and the new file by its device and inode, so that
// only a place that holds the new file is undone.
struct NotedFile {
  QString place;
  QString kept;
  dev_t device = 0;
  ino_t inode = 0;
};

bool plainName(const QString& name) {
  return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
         !name.contains(QLatin1Char('/'));
}

// Forces a folder's entries to disk.
bool syncFolder(const QString& folder) {
  const int fd = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  ::close(fd);
  return synced;
}

std::vector<NotedFile> readNote(const QString& path) {
  const std::optional<QByteArray> data = platform::readRegularFile(path, kLargestNote);
  if (!data) return {};
  // A note cut short by the end of its run is no note: nothing was moved yet.
  const QJsonArray files = QJsonDocument::fromJson(*data).object().value(QLatin1String("files")).toArray();
  std::vector<NotedFile> noted;
  for (const QJsonValue& value : files) {
    const QJsonObject file = value.toObject();
    NotedFile entry;
    entry.place = file.value(QLatin1String("place")).toString();
    entry.kept = file.value(QLatin1String("kept")).toString();
    bool deviceRead = false, inodeRead = false;
    entry.device =
        static_cast<dev_t>(file.value(QLatin1String("device")).toString().toULongLong(&deviceRead));
    entry.inode = static_cast<ino_t>(file.value(QLatin1String("inode")).toString().toULongLong(&inodeRead));
    if (!plainName(entry.place) || (!entry.kept.isEmpty() && !plainName(entry.kept)) || !deviceRead ||
        !inodeRead)
      return {};
    noted.push_back(entry);
  }
  return noted;
}

// Puts back the old state of each noted place that holds the new file: the
// kept old file, or no file where there was none. False when a place could
// not be put back.
bool undoCard(const QString& cards, const QString& run, const std::vector<NotedFile>& noted) {
  bool undone = true;
  for (auto file = noted.rbegin(); file != noted.rend(); ++file) {
    const QByteArray place = native(cards + QLatin1Char('/') + file->place);
    struct stat now = {};
    if (::lstat(place.constData(), &now) != 0 || now.st_dev != file->device || now.st_ino != file->inode)
      continue;
    const bool putBack =
        file->kept.isEmpty()
            ? ::unlink(place.constData()) == 0
            : std::rename(native(run + QLatin1Char('/') + file->kept).constData(), place.constData()) == 0;
    if (!putBack) {
      qCWarning(lcProduction).noquote()
          << QStringLiteral("%1 could not be put back: %2").arg(file->place, errorText(errno));
      undone = false;
      continue;
    }
    filePlaced();
  }
  return undone;
}

// Forces a file to disk (where the file system offers it).
void syncFile(const QString& path) {
  const int fd = ::open(native(path).constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  ::fdatasync(fd);
  ::close(fd);
}

// Writes the whole of `data` to a new file and forces it to disk.
bool writeSynced(const QString& path, const QByteArray& data, QString* reason) {
  const int fd = ::open(native(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) {
    *reason = errorText(errno);
    return false;
  }
  qsizetype done = 0;
  int error = 0;
  while (done < data.size() && error == 0) {
    const ssize_t n = ::write(fd, data.constData() + done, static_cast<size_t>(data.size() - done));
    if (n > 0)
      done += n;
    else if (n == 0 || errno != EINTR)
      error = n == 0 ? ENOSPC : errno;
  }
  if (error == 0) ::fdatasync(fd);
  ::close(fd);
  if (error == 0) return true;
  *reason = errorText(error);
  return false;
}

// The old file at a place kept aside: a second link to it (no room taken,
// so it works on a full disk too), else a copy forced to disk.
bool keepAside(const QString& place, const QString& kept, QString* reason) {
  if (::link(native(place).constData(), native(kept).constData()) == 0) return true;
  const int linkError = errno;
  if (platform::copyRegularFile(place, kept)) {
    syncFile(kept);
    return true;
  }
  *reason = errorText(linkError);
  return false;
}

// The note of one card of several files while they take their places,
// with the old files kept for it.
class CardNote {
 public:
  // Keeps the old files of the places aside in the run's folder and writes
  // the note, forced to disk; false with the reason, and nothing kept.
  bool write(const QString& cards, const QString& run, int number, const CardFilePlaces& files,
             QString* reason);
  // Puts back each place that holds its new file; false when one could not be.
  bool undo() const { return undoCard(cards_, run_, files_); }
  // The card is whole, new or old: the note and the old files go.
  void remove();

 private:
  QString cards_, run_, path_;
  std::vector<NotedFile> files_;
};

bool CardNote::write(const QString& cards, const QString& run, int number, const CardFilePlaces& files,
                     QString* reason) {
  cards_ = cards;
  run_ = run;
  const auto fail = [&](const QString& why) {
    *reason = why;
    remove();
    return false;
  };
  const QString folder = QDir::cleanPath(QFileInfo(cards).absoluteFilePath());
  QJsonArray noted;
  for (size_t i = 0; i < files.size(); ++i) {
    const auto& [place, prepared] = files[i];
    const QFileInfo info(place);
    if (QDir::cleanPath(info.absolutePath()) != folder)
      return fail(QStringLiteral("not in the folder of the cards"));
    struct stat made = {};
    struct stat old = {};
    if (::stat(native(prepared).constData(), &made) != 0) return fail(errorText(errno));
    NotedFile file{info.fileName(), QString(), made.st_dev, made.st_ino};
    if (::lstat(native(place).constData(), &old) == 0 && !S_ISDIR(old.st_mode)) {
      const QString kept = QStringLiteral("card-%1-%2").arg(number).arg(i);
      QString why;
      if (!keepAside(place, run + QLatin1Char('/') + kept, &why)) return fail(why);
      file.kept = kept;
    }
    files_.push_back(file);
    noted.append(QJsonObject{{QStringLiteral("place"), file.place},
                             {QStringLiteral("kept"), file.kept},
                             {QStringLiteral("device"), QString::number(file.device)},
                             {QStringLiteral("inode"), QString::number(file.inode)}});
  }
  path_ = run + QStringLiteral("/card-%1.json").arg(number);
  QString why;
  if (!writeSynced(
          path_, QJsonDocument(QJsonObject{{QStringLiteral("files"), noted}}).toJson(QJsonDocument::Compact),
          &why))
    return fail(why);
  // The note and the kept files are on disk before any new file moves.
  syncFolder(run);
  return true;
}

void CardNote::remove() {
  if (!path_.isEmpty()) ::unlink(native(path_).constData());
  for (const NotedFile& file : files_)
    if (!file.kept.isEmpty()) ::unlink(native(run_ + QLatin1Char('/') + file.kept).constData());
  path_.clear();
  files_.clear();
}

}  // namespace

// The lock of a run's folder (a file in it), tried without waiting and held
// while the object lives.
class CardImageFileRun::Lock {
 public:
  enum State { Taken, Busy, NotOffered };

  explicit Lock(const QString& folder) {
    const QByteArray path = native(folder + QLatin1Char('/') + kLockName);
    fd_ = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd_ < 0 || ::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
      state_ = fd_ >= 0 && errno == EWOULDBLOCK ? Busy : NotOffered;
      return;
    }
    // A run that puts right a dead one removes its folder, lock included,
    // while holding it: the lock is only good while the path names this file.
    struct stat held = {};
    struct stat named = {};
    if (::fstat(fd_, &held) != 0 || ::stat(path.constData(), &named) != 0 || held.st_dev != named.st_dev ||
        held.st_ino != named.st_ino)
      state_ = Busy;
  }
  ~Lock() {
    if (fd_ >= 0) ::close(fd_);
  }
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;

  State state() const { return state_; }

 private:
  int fd_ = -1;
  State state_ = Taken;
};

void setCardFilePlacedObserver(std::function<void()> observer) {
  placedObserver() = std::move(observer);
}

void recoverCardImageFiles(const QString& folder) {
  const QDir cards(folder);
  const QStringList runs =
      cards.entryList({kRunFolderPrefix + QLatin1Char('*')},
                      QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks);
  for (const QString& name : runs) {
    const QString run = cards.filePath(name);
    // A run still alive holds its lock; where locks are not offered, whose
    // run it is cannot be told, and it is left alone.
    const CardImageFileRun::Lock lock(run);
    if (lock.state() != CardImageFileRun::Lock::Taken) continue;
    bool undone = true;
    for (const QString& note : QDir(run).entryList({kNotePattern}, QDir::Files | QDir::Hidden, QDir::Name))
      undone = undoCard(folder, run, readNote(run + QLatin1Char('/') + note)) && undone;
    if (undone)
      QDir(run).removeRecursively();
    else
      qCWarning(lcProduction).noquote()
          << QStringLiteral("Kept %1 to finish putting back its cards").arg(run);
  }
}

std::unique_ptr<CardImageFileRun> CardImageFileRun::open(const QString& folder, QString* reason) {
  recoverCardImageFiles(folder);
  for (int attempt = 0; attempt < 10; ++attempt) {
    QByteArray name = native(folder + QLatin1Char('/') + kRunFolderPrefix + QStringLiteral("XXXXXX"));
    if (!::mkdtemp(name.data())) {
      if (reason) *reason = errorText(errno);
      return nullptr;
    }
    const QString run = QFile::decodeName(name);
    // Busy: another program found the new folder before it was locked and
    // took it for a dead run's; that program removes it.
    auto lock = std::make_unique<Lock>(run);
    if (lock->state() == Lock::Busy) continue;
    syncFolder(folder);
    return std::unique_ptr<CardImageFileRun>(new CardImageFileRun(folder, run, std::move(lock)));
  }
  if (reason) *reason = QStringLiteral("no folder of its own could be locked for the new files");
  return nullptr;
}

CardImageFileRun::CardImageFileRun(QString cards, QString folder, std::unique_ptr<Lock> lock)
    : cards_(std::move(cards)), folder_(std::move(folder)), lock_(std::move(lock)) {}

CardImageFileRun::~CardImageFileRun() {
  if (!keepFolder_) QDir(folder_).removeRecursively();
}

QString CardImageFileRun::threadFolder(int thread) const {
  const QString folder = folder_ + QStringLiteral("/%1").arg(thread);
  return ::mkdir(native(folder).constData(), 0777) == 0 ? folder : folder_;
}

bool CardImageFileRun::place(CardFilePlaces& files, QString* failedPath, QString* reason) {
  const auto finish = [&files](bool placed) {
    for (const auto& file : files) discardCardImageFile(file.second);
    files.clear();
    return placed;
  };
  const auto fail = [&](const QString& path, const QString& why) {
    if (failedPath) *failedPath = path;
    if (reason) *reason = why;
    return finish(false);
  };
  // One file takes its place in one step; the files of a card of several
  // are noted first.
  CardNote note;
  QString why;
  if (files.size() > 1 && !note.write(cards_, folder_, ++notes_, files, &why))
    return fail(files.front().first, why);
  for (auto& [place, prepared] : files) {
    if (std::rename(native(prepared).constData(), native(place).constData()) != 0) {
      why = errorText(errno);
      if (note.undo())
        note.remove();
      else
        keepFolder_ = true;
      return fail(place, why);
    }
    prepared.clear();
    filePlaced();
  }
  note.remove();
  return finish(true);
}

}  // namespace production
