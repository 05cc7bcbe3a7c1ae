#include "production/CardImageFileRun.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <future>
#include <map>
#include <optional>
#include <set>
#include <string_view>
#include <utility>

#include "platform/RegularFile.h"
#include "platform/globals.h"
#include "production/CardImageFile.h"
#include "production/globals.h"

namespace production {

namespace {

const QString kRunFolderPrefix = QStringLiteral(".Card_files_");
// The folder in the resource folder where each run under way leaves a file
// naming its cards' folder, removed when it has finished.
const QString kUnfinishedExports = QStringLiteral("Unfinished exports");
const QString kLockName = QStringLiteral("lock");
constexpr qint64 kLargestNote = 1024 * 1024;
// Notes made ahead, blank, for the groups of cards to come: so many at a
// time, of so many bytes each (a larger note makes its file larger).
constexpr int kNotesMadeAhead = 16;
constexpr qsizetype kBlankNoteBytes = 128 * 1024;

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

// What a note says of one file of a card: the place (a name in the cards'
// folder), the name under which the old file at the place is kept aside in
// the run's folder while the new one takes its place, and the new file by
// its inode, size and time of change, which tell whether the place holds it.
// The device number is noted too (the previous version's notes have no
// more), but not compared: the place and the run's folder are on one file
// system, whose number changes when it is mounted again (after a restart,
// or a disk plugged in again).
struct NotedFile {
  QString place;
  QString kept;
  dev_t device = 0;
  ino_t inode = 0;
  qint64 size = -1;        // -1: not noted
  qint64 modified = -1;    // nanoseconds since 1970
  bool keptAside = false;  // by this run, as the new file took the place (not noted)
  bool held = false;       // the place held a file when the note was written (noted as "kept")
};

qint64 modifiedOf(const struct stat& info) {
  return static_cast<qint64>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
}

// Whether `now` is the file noted.
bool isNoted(const struct stat& now, const NotedFile& file) {
  if (now.st_ino != file.inode) return false;
  if (file.size < 0) return now.st_dev == file.device;
  return now.st_size == file.size && modifiedOf(now) == file.modified;
}
using NotedCard = std::vector<NotedFile>;

// Notes of this version name the kept file of every place (kept-<note>-<card>-<file>),
// made only when the place holds a file as the new one takes it; the note's
// "kept" says, as for the previous version, which places held a file when
// the note was written.
constexpr int kNoteVersion = 2;

QString keptName(int note, qsizetype card, size_t file) {
  return QStringLiteral("kept-%1-%2-%3").arg(note).arg(card).arg(file);
}

bool plainName(const QString& name) {
  return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
         !name.contains(QLatin1Char('/'));
}

bool exists(const QString& path) {
  struct stat info = {};
  return ::lstat(native(path).constData(), &info) == 0;
}

// Forces a folder's entries to disk (where the file system offers it).
void syncFolder(const QString& folder) {
  const int fd = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// Forces the entry of a run's folder in the cards' folder `cards` to disk,
// once for the run (`synced`): it holds the run's notes.
void syncRunFolderEntry(const QString& cards, std::atomic<bool>& synced) {
  if (synced.load()) return;
  syncFolder(cards);
  synced.store(true);
}

// Forces a file to disk (where the file system offers it).
void syncFile(const QString& path) {
  const int fd = ::open(native(path).constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  ::fdatasync(fd);
  ::close(fd);
}

// Writes the whole of `data` to a new file beside `path` under a passing
// name, and returns that name; empty with the reason when it cannot.
QString writePassing(const QString& path, const QByteArray& data, QString* reason) {
  const QFileInfo target(path);
  const QString writing = target.path() + QStringLiteral("/writing-") + target.fileName();
  const int fd = ::open(native(writing).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) {
    *reason = errorText(errno);
    return {};
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
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0) return writing;
  ::unlink(native(writing).constData());
  *reason = errorText(error);
  return {};
}

// Writes `note` into the blank note file `path` made ahead, its first
// character last, so that the note is blank until it is whole; the reason
// when it cannot.
QString writeIntoBlank(const QString& path, const std::string_view note) {
  if (note.empty()) return errorText(EINVAL);
  const int fd = ::open(native(path).constData(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return errorText(errno);
  int error = 0;
  for (size_t done = 1; done < note.size() && error == 0;) {
    const ssize_t n = ::pwrite(fd, note.data() + done, note.size() - done, static_cast<off_t>(done));
    if (n > 0)
      done += static_cast<size_t>(n);
    else if (n == 0 || errno != EINTR)
      error = n == 0 ? ENOSPC : errno;
  }
  while (error == 0 && ::pwrite(fd, note.data(), 1, 0) != 1)
    if (errno != EINTR) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  return error == 0 ? QString() : errorText(error);
}

// Forces the file `passing` to disk when `forced`, and only then gives it
// the name `path`: a file of that name is always whole. The file goes when
// it cannot; false with the reason.
bool nameWhole(const QString& passing, const QString& path, bool forced, QString* reason) {
  int error = 0;
  if (forced) {
    const int fd = ::open(native(passing).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || (::fdatasync(fd) != 0 && errno != EINVAL)) error = errno;
    if (fd >= 0) ::close(fd);
  }
  if (error == 0 && std::rename(native(passing).constData(), native(path).constData()) != 0) error = errno;
  if (error == 0) return true;
  ::unlink(native(passing).constData());
  *reason = errorText(error);
  return false;
}

// Appends `text` to `json` as a JSON string.
void appendJsonString(QByteArray& json, const QString& text) {
  json += '"';
  for (const char c : text.toUtf8()) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\')
      json.append('\\').append(c);
    else if (byte < 0x20)
      json.append("\\u00").append(QByteArray::number(byte, 16).rightJustified(2, '0'));
    else
      json += c;
  }
  json += '"';
}

// Appends what a note says of a card's files to `json`.
void appendNotedCard(QByteArray& json, const NotedCard& card) {
  json += '[';
  for (size_t i = 0; i < card.size(); ++i) {
    const NotedFile& file = card[i];
    json += i == 0 ? "{\"place\":" : ",{\"place\":";
    appendJsonString(json, file.place);
    json += ",\"kept\":";
    // The previous version's "kept": the places that held a file.
    appendJsonString(json, file.held ? file.kept : QString());
    json.append(",\"device\":\"")
        .append(QByteArray::number(static_cast<qulonglong>(file.device)))
        .append("\",\"inode\":\"")
        .append(QByteArray::number(static_cast<qulonglong>(file.inode)))
        .append("\",\"size\":\"")
        .append(QByteArray::number(file.size))
        .append("\",\"modified\":\"")
        .append(QByteArray::number(file.modified))
        .append("\"}");
  }
  json += ']';
}

// The number of a note's name, note-<number>.json; 0 for any other name.
int noteNumber(const QString& name) {
  if (!name.startsWith(QLatin1String("note-")) || !name.endsWith(QLatin1String(".json"))) return 0;
  return name.mid(5, name.size() - 10).toInt();
}

// Whether the text of a note file is that of a note made ahead and not yet
// written: blank, or begun (the first character of a note is written last);
// or one made ahead whose spaces the disk lost with its cache (zeros).
bool blankNote(const QByteArray& data) {
  return !data.isEmpty() && (data.front() == ' ' || data.front() == '\0');
}

// The cards of the note `name` in the run's folder (none for a blank note
// made ahead); nothing when it cannot be read whole (a note is written under
// another name and only then named so, or into a blank note made ahead, its
// first character last: one that is cut, grown, garbled or not a file at
// all was damaged after its run wrote it) or names anything but plain names.
std::optional<std::vector<NotedCard>> readNote(const QString& run, const QString& name) {
  const std::optional<QByteArray> data =
      platform::readRegularFile(run + QLatin1Char('/') + name, kLargestNote);
  if (!data) return std::nullopt;
  if (blankNote(*data)) return std::vector<NotedCard>{};
  QJsonParseError error{};
  const QJsonObject note = QJsonDocument::fromJson(*data, &error).object();
  if (error.error != QJsonParseError::NoError || !note.value(QLatin1String("cards")).isArray())
    return std::nullopt;
  const bool everyPlaceKept = note.value(QLatin1String("version")).toInt() >= kNoteVersion;
  const int number = noteNumber(name);
  std::vector<NotedCard> cards;
  for (const QJsonValue& card : note.value(QLatin1String("cards")).toArray()) {
    if (!card.isArray() || card.toArray().isEmpty()) return std::nullopt;
    NotedCard& noted = cards.emplace_back();
    for (const QJsonValue& value : card.toArray()) {
      const QJsonObject file = value.toObject();
      NotedFile entry;
      entry.place = file.value(QLatin1String("place")).toString();
      entry.kept = everyPlaceKept ? keptName(number, static_cast<qsizetype>(cards.size() - 1), noted.size())
                                  : file.value(QLatin1String("kept")).toString();
      bool deviceRead = false, inodeRead = false;
      entry.device =
          static_cast<dev_t>(file.value(QLatin1String("device")).toString().toULongLong(&deviceRead));
      entry.inode = static_cast<ino_t>(file.value(QLatin1String("inode")).toString().toULongLong(&inodeRead));
      if (!plainName(entry.place) || (!entry.kept.isEmpty() && !plainName(entry.kept)) || !deviceRead ||
          !inodeRead)
        return std::nullopt;
      if (file.contains(QLatin1String("size"))) {
        bool sizeRead = false, modifiedRead = false;
        entry.size = file.value(QLatin1String("size")).toString().toLongLong(&sizeRead);
        entry.modified = file.value(QLatin1String("modified")).toString().toLongLong(&modifiedRead);
        if (!sizeRead || !modifiedRead || entry.size < 0) return std::nullopt;
      }
      noted.push_back(entry);
    }
  }
  return cards;
}

// A card whose new files are all in place is whole and stays; otherwise
// each place that holds its new file gets its old state back (the kept old
// file, or no file where none was kept). False when a place could not be
// put back.
bool settleCard(const QString& cards, const QString& run, const NotedCard& card, int* putBack = nullptr) {
  std::vector<const NotedFile*> placed;
  for (const NotedFile& file : card) {
    struct stat now = {};
    if (::lstat(native(cards + QLatin1Char('/') + file.place).constData(), &now) == 0 && isNoted(now, file))
      placed.push_back(&file);
  }
  if (placed.size() == card.size()) return true;
  bool undone = true;
  for (auto file = placed.rbegin(); file != placed.rend(); ++file) {
    const QByteArray place = native(cards + QLatin1Char('/') + (*file)->place);
    const QString kept = run + QLatin1Char('/') + (*file)->kept;
    const bool restored = (*file)->kept.isEmpty() || !exists(kept)
                              ? ::unlink(place.constData()) == 0
                              : std::rename(native(kept).constData(), place.constData()) == 0;
    if (!restored) {
      const QString why = errorText(errno);
      qCWarning(lcProduction).noquote()
          << QStringLiteral("%1 could not be put back: %2").arg((*file)->place, why);
      undone = false;
      continue;
    }
    if (putBack) ++*putBack;
    filePlaced();
  }
  return undone;
}

// The file at a place kept aside, if there is one: a second link to it (no
// room taken, so it works on a full disk too), else a copy forced to disk.
// False with the reason when it cannot be kept.
bool keepAside(const QString& place, const QString& run, NotedFile& file, QString* reason) {
  const QByteArray kept = native(run + QLatin1Char('/') + file.kept);
  if (::link(native(place).constData(), kept.constData()) == 0) {
    file.keptAside = true;
    return true;
  }
  const int linkError = errno;
  struct stat old = {};
  // Nothing there, or a folder (which no file takes the place of).
  if (linkError == ENOENT || ::lstat(native(place).constData(), &old) != 0 || S_ISDIR(old.st_mode))
    return true;
  if (platform::copyRegularFile(place, QFile::decodeName(kept))) {
    syncFile(QFile::decodeName(kept));
    file.keptAside = true;
    return true;
  }
  *reason = errorText(linkError);
  return false;
}

// The files kept aside for a card by this run removed.
void removeKept(const QString& run, NotedCard& card) {
  for (NotedFile& file : card)
    if (std::exchange(file.keptAside, false))
      ::unlink(native(run + QLatin1Char('/') + file.kept).constData());
}

// The name of `place` in the folder `cards` (absolute and clean); empty when
// it is not a file of that folder.
QString nameInFolder(const QString& cards, const QString& place) {
  if (place.size() > cards.size() + 1 && place.startsWith(cards) &&
      place.at(cards.size()) == QLatin1Char('/')) {
    const QString name = place.mid(cards.size() + 1);
    if (plainName(name)) return name;
  }
  const QFileInfo info(place);
  return QDir::cleanPath(info.absolutePath()) == cards ? info.fileName() : QString();
}

// What a card's files are about to do; false with the reason. `cards` is
// the cards' folder, absolute and clean. `replaces` is set when a place
// holds a file now.
bool noteCard(const QString& cards, const CardFilePlaces& files, NotedCard& card, bool& replaces,
              QString* reason) {
  for (size_t i = 0; i < files.size(); ++i) {
    const auto& [place, prepared] = files[i];
    const QString name = nameInFolder(cards, place);
    struct stat made = {};
    if (name.isEmpty())
      *reason = QStringLiteral("not in the folder of the cards");
    else if (::stat(native(prepared).constData(), &made) != 0)
      *reason = errorText(errno);
    if (!reason->isEmpty()) {
      card.clear();
      return false;
    }
    NotedFile& file = card.emplace_back();
    file.place = name;
    file.device = made.st_dev;
    file.inode = made.st_ino;
    file.size = made.st_size;
    file.modified = modifiedOf(made);
    file.held = exists(cards + QLatin1Char('/') + name);
    replaces = replaces || file.held;
  }
  return true;
}

// Calls `each` with every entry of `folder` but "." and "..", until it
// returns false.
void forEachEntry(const QString& folder, const std::function<bool(const dirent&)>& each) {
  DIR* entries = ::opendir(native(folder).constData());
  if (!entries) return;
  while (const dirent* entry = ::readdir(entries))
    if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0 && !each(*entry)) break;
  ::closedir(entries);
}

bool isRunFolderName(const char* name) {
  static const QByteArray prefix = native(kRunFolderPrefix);
  return std::strncmp(name, prefix.constData(), static_cast<size_t>(prefix.size())) == 0;
}

// The names of the runs' folders in the cards' folder `cards`, in order. Told
// by their names alone where the folder says what its entries are (a folder
// of thousands of cards is read once, without looking at each).
QStringList runFolderNames(const QString& cards) {
  QStringList names;
  forEachEntry(cards, [&](const dirent& entry) {
    if (!isRunFolderName(entry.d_name)) return true;
    const QString name = QFile::decodeName(entry.d_name);
    struct stat info = {};
    if (entry.d_type == DT_DIR ||
        (entry.d_type == DT_UNKNOWN &&
         ::lstat(native(cards + QLatin1Char('/') + name).constData(), &info) == 0 && S_ISDIR(info.st_mode)))
      names << name;
    return true;
  });
  names.sort();
  return names;
}

// Whether the folder `cards` holds anything besides the runs' folders.
bool holdsFiles(const QString& cards) {
  bool holds = false;
  forEachEntry(cards, [&](const dirent& entry) { return !(holds = !isRunFolderName(entry.d_name)); });
  return holds;
}

// The file that names the cards' folder of the run `run` while it is under
// way; empty without a resource folder.
QString unfinishedEntry(const QString& cards, const QString& run) {
  if (Resource_Path().isEmpty()) return {};
  const QByteArray folder = QFile::encodeName(QDir::cleanPath(QFileInfo(cards).absoluteFilePath()));
  return QStringLiteral("%1/%2/%3-%4")
      .arg(Resource_Path(), kUnfinishedExports,
           QString::fromLatin1(QCryptographicHash::hash(folder, QCryptographicHash::Sha1).toHex().left(16)),
           QFileInfo(run).fileName().mid(kRunFolderPrefix.size()));
}

}  // namespace

// The lock of a run's folder (a file in it), tried without waiting and held
// while the object lives.
class CardImageFileRun::Lock {
 public:
  // Taken; held by a run alive; not there (yet); or not offered here.
  enum State { Taken, Busy, Missing, NotOffered };
  enum Kind { OfDeadRun, OfNewRun };

  // The lock of a run found in `folder`; or the lock of a new run that has
  // just made the folder: made under another name and taken before it is
  // named, so no other run ever finds it free.
  Lock(const QString& folder, Kind kind) {
    const QByteArray path = native(folder + QLatin1Char('/') + kLockName);
    const QByteArray made = kind == OfNewRun ? path + ".new" : path;
    fd_ = ::open(made.constData(),
                 O_RDWR | O_CLOEXEC | O_NOFOLLOW | (kind == OfNewRun ? O_CREAT | O_EXCL : 0), 0666);
    if (fd_ < 0) {
      state_ = errno == ENOENT ? Missing : NotOffered;
      return;
    }
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
      state_ = errno == EWOULDBLOCK ? Busy : NotOffered;
      return;
    }
    if (kind == OfNewRun) {
      if (std::rename(made.constData(), path.constData()) != 0) state_ = NotOffered;
      return;
    }
    // A run that settles a dead one removes its folder, lock included: the
    // lock is only good while the path names this file.
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

  // Removes the run's folder `folder` with all in it, the lock last, once let
  // go: a file system that keeps a file removed while open under another
  // name (a network or user-space one) would leave it, and the folder, behind.
  void removeFolder(const QString& folder) {
    QDir run(folder);
    for (const QFileInfo& entry :
         run.entryInfoList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot)) {
      if (entry.fileName() == kLockName) continue;
      if (entry.isDir() && !entry.isSymLink())
        QDir(entry.filePath()).removeRecursively();
      else
        ::unlink(native(entry.filePath()).constData());
    }
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    ::unlink(native(run.filePath(kLockName)).constData());
    ::unlink(native(run.filePath(kLockName + QStringLiteral(".new"))).constData());
    ::rmdir(native(folder).constData());
  }

 private:
  int fd_ = -1;
  State state_ = Taken;
};

// The cards' folder locked against other programs' runs while a card's
// files take their places or dead runs are settled, so that each card ends
// with the files of one run. Waits for the lock; a folder where locks are
// not offered is not locked.
class CardImageFileRun::FolderLock {
 public:
  explicit FolderLock(int folder) : fd_(folder) {
    if (fd_ < 0) return;
    while (::flock(fd_, LOCK_EX) != 0)
      if (errno != EINTR) {
        fd_ = -1;
        return;
      }
  }
  ~FolderLock() {
    if (fd_ >= 0) ::flock(fd_, LOCK_UN);
  }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

 private:
  int fd_;
};

// The group's note and, for each card, what it says of the card (empty for
// a card of one file, which takes its place in one step) or why the card
// could not be noted; and the note being forced to disk, which the cards
// wait for before they take their places.
struct CardImageFileRun::Group::Noted {
  QString note;
  std::vector<NotedCard> cards;
  std::vector<QString> failures;
  std::future<QString> onDisk;  // why the note could not be forced to disk; empty when it is

  // Waits until the note is on disk; the cards it notes fail when it cannot be.
  void waitUntilOnDisk() {
    if (onDisk.valid()) fail(onDisk.get());
  }

  // The cards the note names fail with `why`, if any; the note is not there.
  void fail(const QString& why) {
    if (why.isEmpty()) return;
    note.clear();
    for (size_t i = 0; i < cards.size(); ++i) {
      if (cards[i].empty()) continue;
      cards[i].clear();
      failures[i] = why;
    }
  }
};

// Note files made ahead of the groups that will write them, blank, and
// forced to disk with the run's folder: a note written into one is forced
// to disk without the file system recording a new file, which takes long
// while many cards are being written. Made on a thread of their own, a few
// at a time, ahead of the notes that take them.
class CardImageFileRun::BlankNotes {
 public:
  BlankNotes(QString run, QString cards, std::atomic<bool>* cardsSynced)
      : run_(std::move(run)), cards_(std::move(cards)), cardsSynced_(cardsSynced) {}
  ~BlankNotes() {
    if (making_.valid()) making_.wait();
  }
  BlankNotes(const BlankNotes&) = delete;
  BlankNotes& operator=(const BlankNotes&) = delete;

  // A blank note file made ahead, on disk, and its number in `number`;
  // empty when none is ready, `number` then being one that no note made
  // ahead has (it comes in as the next one after those of the notes
  // written). Begins the next few when those made run short.
  QString take(int& number) {
    if (making_.valid() && making_.wait_for(std::chrono::seconds(0)) == std::future_status::ready)
      for (auto& [made, path] : making_.get()) ready_.emplace(made, std::move(path));
    QString blank;
    if (!ready_.empty()) {
      number = ready_.begin()->first;
      blank = std::move(ready_.begin()->second);
      ready_.erase(ready_.begin());
    } else if (making_.valid() && number >= makingFrom_ && number < madeUpTo_) {
      number = madeUpTo_;
    }
    if (ready_.empty()) begin(number + 1);
    return blank;
  }

  // Begins making notes from `from` on, unless some are being made.
  void begin(int from) {
    if (making_.valid()) return;
    makingFrom_ = std::max(madeUpTo_, from);
    try {
      making_ = std::async(std::launch::async, make, run_, cards_, cardsSynced_, makingFrom_,
                           makingFrom_ + kNotesMadeAhead);
      madeUpTo_ = makingFrom_ + kNotesMadeAhead;
    } catch (const std::system_error&) {
      // No thread to be had: the notes are written as new files.
    }
  }

 private:
  // Notes `from` to `to` (not included), those that could be made.
  static std::vector<std::pair<int, QString>> make(const QString& run, const QString& cards,
                                                   std::atomic<bool>* cardsSynced, int from, int to) {
    std::vector<std::pair<int, QString>> made;
    std::vector<std::pair<int, int>> written;  // (number, open file)
    const QByteArray blank(kBlankNoteBytes, ' ');
    for (int number = from; number < to; ++number) {
      const QString path = run + QStringLiteral("/note-%1.json").arg(number);
      const int fd = ::open(native(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd < 0) continue;
      // Written out to the disk, not yet forced.
      if (::write(fd, blank.constData(), static_cast<size_t>(blank.size())) == blank.size() &&
          (::sync_file_range(
               fd, 0, 0, SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER) ==
               0 ||
           errno == ENOSYS || errno == EINVAL)) {
        written.emplace_back(number, fd);
        continue;
      }
      ::close(fd);
      ::unlink(native(path).constData());
    }
    // Forced to disk together: forcing the last one records them all on
    // most file systems. Where it does not, a note written into one is
    // still forced to disk whole (only more slowly), and a blank one lost
    // with the disk's cache names no card.
    const bool onDisk = written.empty() || ::fdatasync(written.back().second) == 0 || errno == EINVAL;
    for (const auto& [number, fd] : written) {
      const QString path = run + QStringLiteral("/note-%1.json").arg(number);
      if (::close(fd) == 0 && onDisk)
        made.emplace_back(number, path);
      else
        ::unlink(native(path).constData());
    }
    syncFolder(run);
    syncRunFolderEntry(cards, *cardsSynced);
    return made;
  }

  const QString run_;
  const QString cards_;
  std::atomic<bool>* cardsSynced_;
  std::map<int, QString> ready_;
  std::future<std::vector<std::pair<int, QString>>> making_;
  int makingFrom_ = 0;  // the first note being made
  int madeUpTo_ = 0;    // the notes before this one are made or being made
};

void setCardFilePlacedObserver(std::function<void()> observer) {
  placedObserver() = std::move(observer);
}

// A run that ended without finishing, found in the cards' folder: its lock,
// its notes' cards, and whether all of them could be read.
struct CardImageFileRun::EndedRun {
  QString folder;
  std::unique_ptr<Lock> lock;
  std::vector<NotedCard> cards;
  bool readable = true;
};

EarlierRuns CardImageFileRun::settleEndedRuns(const QString& folder) {
  const QDir cards(folder);
  std::vector<EndedRun> ended;
  for (const QString& name : runFolderNames(folder)) {
    // A run still alive holds its lock, and one that is starting has none
    // yet; where locks are not offered, whose run it is cannot be told. All
    // these are left alone.
    EndedRun run{cards.filePath(name), std::make_unique<Lock>(cards.filePath(name), Lock::OfDeadRun)};
    if (run.lock->state() != Lock::Taken) continue;
    // Every note must be read whole, and every old file kept aside named by
    // one: otherwise which cards the run left half replaced cannot be told.
    QSet<QString> kept;
    const QStringList entries =
        QDir(run.folder)
            .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& entry : entries) {
      if (!entry.startsWith(QLatin1String("note-"))) continue;
      std::optional<std::vector<NotedCard>> note = readNote(run.folder, entry);
      if (!note) {
        qCWarning(lcProduction).noquote() << QStringLiteral("%1/%2 cannot be read").arg(run.folder, entry);
        run.readable = false;
        continue;
      }
      for (NotedCard& card : *note) {
        for (const NotedFile& file : card) kept.insert(file.kept);
        run.cards.push_back(std::move(card));
      }
    }
    for (const QString& entry : entries)
      if (entry.startsWith(QLatin1String("kept-")) && !kept.contains(entry)) run.readable = false;
    ended.push_back(std::move(run));
  }

  // A run that died halfway through a card another dead run had left half
  // replaced kept that half card aside: once its own new files are gone, the
  // half card is back and is settled in turn. So the cards are settled
  // again until nothing moves.
  EarlierRuns earlier;
  std::set<std::pair<size_t, size_t>> putRight;  // (run, card)
  std::vector<bool> settled(ended.size());
  for (bool moved = true; moved;) {
    moved = false;
    for (size_t r = 0; r < ended.size(); ++r) {
      settled[r] = ended[r].readable;
      for (size_t c = 0; c < ended[r].cards.size(); ++c) {
        int putBack = 0;
        settled[r] = settleCard(folder, ended[r].folder, ended[r].cards[c], &putBack) && settled[r];
        if (putBack == 0) continue;
        moved = true;
        putRight.emplace(r, c);
      }
    }
  }
  earlier.cardsPutRight = static_cast<int>(putRight.size());
  for (size_t r = 0; r < ended.size(); ++r) {
    if (settled[r]) {
      ended[r].lock->removeFolder(ended[r].folder);
      const QString entry = unfinishedEntry(folder, ended[r].folder);
      if (!entry.isEmpty()) ::unlink(native(entry).constData());
      continue;
    }
    qCWarning(lcProduction).noquote()
        << QStringLiteral("Kept %1 to finish putting back its cards").arg(ended[r].folder);
    earlier.unsettled << ended[r].folder;
  }
  return earlier;
}

EarlierRuns CardImageFileRun::settle(const QString& folder) {
  const int cards = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  EarlierRuns earlier;
  {
    const FolderLock locked(cards);
    earlier = settleEndedRuns(folder);
  }
  if (cards >= 0) ::close(cards);
  return earlier;
}

EarlierRuns settleUnfinishedExports() {
  EarlierRuns earlier;
  if (Resource_Path().isEmpty()) return earlier;
  const QDir entries(Resource_Path() + QLatin1Char('/') + kUnfinishedExports);
  for (const QString& name : entries.entryList(QDir::Files | QDir::Hidden)) {
    const QString entry = entries.filePath(name);
    const std::optional<QByteArray> folder = platform::readRegularFile(entry, 64 * 1024);
    const QString cards = folder ? QFile::decodeName(*folder) : QString();
    const QString run = cards + QLatin1Char('/') + kRunFolderPrefix + name.section(QLatin1Char('-'), 1);
    if (!cards.isEmpty() && QFileInfo(cards).isDir()) {
      const EarlierRuns settled = CardImageFileRun::settle(cards);
      earlier.cardsPutRight += settled.cardsPutRight;
      earlier.unsettled += settled.unsettled;
      // A run still alive (another program's) or one that could not be settled stays noted.
      if (exists(run)) continue;
    }
    ::unlink(native(entry).constData());
  }
  return earlier;
}

std::unique_ptr<CardImageFileRun> CardImageFileRun::open(const QString& folder, QString* reason) {
  const int cards = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  EarlierRuns earlier;
  {
    const FolderLock locked(cards);
    earlier = settleEndedRuns(folder);
  }
  for (int attempt = 0; attempt < 10; ++attempt) {
    QByteArray name = native(folder + QLatin1Char('/') + kRunFolderPrefix + QStringLiteral("XXXXXX"));
    if (!::mkdtemp(name.data())) {
      if (reason) *reason = errorText(errno);
      if (cards >= 0) ::close(cards);
      return nullptr;
    }
    const QString run = QFile::decodeName(name);
    auto lock = std::make_unique<Lock>(run, Lock::OfNewRun);
    if (lock->state() != Lock::Taken && lock->state() != Lock::NotOffered) {
      lock->removeFolder(run);
      continue;
    }
    auto opened = std::unique_ptr<CardImageFileRun>(new CardImageFileRun(folder, run, std::move(lock)));
    opened->cardsFolder_ = cards;
    // Noted in the resource folder until it has finished: should the program
    // end before, its next start puts right what the run left half done.
    opened->unfinished_ = unfinishedEntry(folder, run);
    if (!opened->unfinished_.isEmpty()) {
      QDir().mkpath(QFileInfo(opened->unfinished_).path());
      QFile entry(opened->unfinished_);
      if (!entry.open(QIODevice::WriteOnly) || entry.write(native(folder)) < 0) opened->unfinished_.clear();
    }
    opened->earlier_ = std::move(earlier);
    return opened;
  }
  if (cards >= 0) ::close(cards);
  if (reason) *reason = QStringLiteral("no folder of its own could be locked for the new files");
  return nullptr;
}

CardImageFileRun::CardImageFileRun(QString cards, QString folder, std::unique_ptr<Lock> lock)
    : cards_(std::move(cards)), folder_(std::move(folder)), lock_(std::move(lock)) {}

CardImageFileRun::~CardImageFileRun() {
  blankNotes_.reset();
  if (!keepFolder_) lock_->removeFolder(folder_);
  if (!keepFolder_ && !unfinished_.isEmpty()) ::unlink(native(unfinished_).constData());
  if (cardsFolder_ >= 0) ::close(cardsFolder_);
}

void CardImageFileRun::noteAhead() {
  if (blankNotes_ || !holdsFiles(cards_)) return;
  blankNotes_ = std::make_unique<BlankNotes>(folder_, cards_, &folderSynced_);
  blankNotes_->begin(notes_ + 1);
}

QString CardImageFileRun::threadFolder(int thread) const {
  const QString folder = folder_ + QStringLiteral("/%1").arg(thread);
  return ::mkdir(native(folder).constData(), 0777) == 0 ? folder : folder_;
}

bool CardImageFileRun::place(CardFilePlaces& files, QString* failedPath, QString* reason) {
  std::vector<CardFilePlaces> card{std::exchange(files, {})};
  return Group(*this, card).place(0, failedPath, reason);
}

CardImageFileRun::Group::Group(CardImageFileRun& run, std::vector<CardFilePlaces>& cards)
    : run_(run), cards_(cards), noted_(std::make_unique<Noted>()) {
  noted_->cards.resize(cards.size());
  noted_->failures.resize(cards.size());
  bool replaces = false;
  bool noted = false;
  const QString folder = QDir::cleanPath(QFileInfo(run_.cards_).absoluteFilePath());
  for (size_t i = 0; i < cards.size(); ++i)
    if (cards[i].size() > 1)
      noted = noteCard(folder, cards[i], noted_->cards[i], replaces, &noted_->failures[i]) || noted;
  if (!noted) return;
  // A run whose notes are forced to disk more than once has them made ahead.
  if (replaces && !run_.blankNotes_ && ++run_.forcedNotes_ > 1)
    run_.blankNotes_ = std::make_unique<BlankNotes>(run_.folder_, run_.cards_, &run_.folderSynced_);
  int number = run_.notes_ + 1;
  const QString blank = run_.blankNotes_ ? run_.blankNotes_->take(number) : QString();
  run_.notes_ = std::max(run_.notes_, number);
  QByteArray note = QByteArrayLiteral("{\"version\":") + QByteArray::number(kNoteVersion) + ",\"cards\":[";
  qsizetype index = 0;
  for (NotedCard& card : noted_->cards) {
    if (card.empty()) continue;
    for (size_t file = 0; file < card.size(); ++file) card[file].kept = keptName(number, index, file);
    if (index++ > 0) note += ',';
    appendNotedCard(note, card);
  }
  note += "]}";
  noted_->note = run_.folder_ + QStringLiteral("/note-%1.json").arg(number);
  QString why;
  const QString passing = blank.isEmpty() ? writePassing(noted_->note, note, &why) : QString();
  if (!blank.isEmpty())
    why = writeIntoBlank(blank, std::string_view(note.constData(), static_cast<size_t>(note.size())));
  if (!why.isEmpty()) {
    noted_->fail(why);
    return;
  }
  // Forced to disk only when the cards replace files: where nothing is
  // replaced, a note lost with the disk's cache loses nothing old, and a
  // batch into a new folder costs no more than it did before the notes.
  if (!replaces) {
    if (!passing.isEmpty() && !nameWhole(passing, noted_->note, false, &why)) noted_->fail(why);
    return;
  }
  // The note is on disk before any old file is kept aside or new file
  // moves, and so is the run's folder (once). That takes a while, done on a
  // thread of its own: meanwhile the cards of the groups before take their
  // places, and the notes of the groups after are written.
  const auto onDisk = [passing, note = noted_->note, folder = run_.folder_, cards = run_.cards_,
                       synced = &run_.folderSynced_] {
    QString why;
    if (!passing.isEmpty()) {
      if (!nameWhole(passing, note, true, &why)) return why;
      syncFolder(folder);
      syncRunFolderEntry(cards, *synced);
      return why;
    }
    // A note made ahead: its entry is on disk already.
    const int fd = ::open(native(note).constData(), O_RDONLY | O_CLOEXEC);
    const int error = fd < 0 || (::fdatasync(fd) != 0 && errno != EINVAL) ? errno : 0;
    if (fd >= 0) ::close(fd);
    return error == 0 ? why : errorText(error);
  };
  try {
    noted_->onDisk = std::async(std::launch::async, onDisk);
  } catch (const std::system_error&) {
    noted_->fail(onDisk());  // no thread to be had: forced here
  }
}

CardImageFileRun::Group::~Group() {
  noted_->waitUntilOnDisk();
  for (CardFilePlaces& files : cards_) {
    for (const auto& file : files) discardCardImageFile(file.second);
    files.clear();
  }
  // A card that could not be put back keeps the note and the old files for the next run.
  if (run_.keepFolder_) return;
  // The old files go before the note: while they are there, it is.
  for (NotedCard& card : noted_->cards) removeKept(run_.folder_, card);
  if (!noted_->note.isEmpty()) ::unlink(native(noted_->note).constData());
}

bool CardImageFileRun::Group::place(size_t card, QString* failedPath, QString* reason) {
  CardFilePlaces& files = cards_[card];
  NotedCard& noted = noted_->cards[card];
  const auto fail = [&](const QString& path, const QString& why) {
    if (failedPath) *failedPath = path;
    if (reason) *reason = why;
    for (const auto& file : files) discardCardImageFile(file.second);
    files.clear();
    return false;
  };
  noted_->waitUntilOnDisk();
  if (!noted_->failures[card].isEmpty()) return fail(files.front().first, noted_->failures[card]);
  const FolderLock locked(run_.cardsFolder_);
  // The old files are kept aside as the card's files take their places:
  // what is there now, whichever run put it there.
  for (size_t i = 0; i < noted.size(); ++i) {
    QString why;
    if (!keepAside(files[i].first, run_.folder_, noted[i], &why)) {
      removeKept(run_.folder_, noted);
      return fail(files[i].first, why);
    }
  }
  for (auto& [place, prepared] : files) {
    if (std::rename(native(prepared).constData(), native(place).constData()) != 0) {
      const QString why = errorText(errno);
      if (!settleCard(run_.cards_, run_.folder_, noted)) run_.keepFolder_ = true;
      return fail(place, why);
    }
    prepared.clear();
    filePlaced();
  }
  files.clear();
  return true;
}

}  // namespace production
