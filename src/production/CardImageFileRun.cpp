#include "production/CardImageFileRun.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

#include "platform/GuiCalls.h"
#include "platform/RegularFile.h"
#include "platform/globals.h"
#include "production/CardImageFile.h"
#include "production/globals.h"

namespace production {

namespace {

// Names of the run folders, the folders put out of reach, and what is in them.
constexpr char kRunPrefix[] = ".Card_files_";
constexpr char kOutOfReachPrefix[] = ".Cards_not_put_right_";
constexpr char kLockName[] = "lock";
constexpr char kPlacesName[] = "places.json";
constexpr char kUnfinishedExports[] = "Unfinished exports";
constexpr qint64 kLargestNote = 1024 * 1024;
constexpr qint64 kLargestCardFile = qint64(2) << 30;
constexpr int kNoteVersion = 4;
// The start says what its settling found once every folder has answered, or
// this long after it began.
constexpr int kStartSaysWithinMs = 2000;

QString errorText(int error) {
  return QString::fromLocal8Bit(std::strerror(error));
}

QByteArray native(const QString& path) {
  return QFile::encodeName(path);
}

QString inFolder(const QString& folder, const QString& name) {
  return folder + QLatin1Char('/') + name;
}

// What a settling left running when the program ends may reach of the
// program (its log, the observer of placed files, the way to the window)
// only while this is open. The end of the application object closes it,
// waiting for no more than a line being logged or a message being handed
// over, never for a disk; such a settling then goes on with the files
// alone until the process ends. Never destroyed.
class ProgramGate {
 public:
  // Made on the application's thread, while there is an application object.
  static ProgramGate& instance() {
    static ProgramGate* const gate = new ProgramGate;
    return *gate;
  }
  // Does `reach` unless the gate is closed.
  void ifOpen(const std::function<void()>& reach) {
    std::lock_guard lock(mutex_);
    if (!closed_) reach();
  }
  // Has `call` made on the application's thread, from its event loop,
  // unless the gate is closed (or closes first). The call waits in a list
  // under a lock that the application's thread takes too (GuiCalls), so the
  // thread checker sees the hand-over ordered.
  void callOnApplicationThread(std::function<void()> call) {
    ifOpen([&] { calls_->post(std::move(call)); });
  }
  // What lives on the application's thread as long as the gate is open
  // (objects made there as its children go when it closes).
  QObject* applicationSide() const { return calls_; }

 private:
  ProgramGate() : calls_(new platform::GuiCalls) {
    qAddPostRoutine([] {
      ProgramGate& gate = instance();
      std::lock_guard lock(gate.mutex_);
      gate.closed_ = true;
      delete std::exchange(gate.calls_, nullptr);  // with the calls still waiting
    });
  }
  std::mutex mutex_;
  bool closed_ = false;
  platform::GuiCalls* calls_;
};

// Set on the thread of the settling at the start, which reaches the program through the gate.
thread_local bool tBehindGate = false;

void reachProgram(const std::function<void()>& reach) {
  if (tBehindGate)
    ProgramGate::instance().ifOpen(reach);
  else
    reach();
}

void warn(const QString& line) {
  reachProgram([&line] { qCWarning(lcProduction).noquote() << line; });
}

// Never destroyed: a settling left running at the end may read it.
std::function<void()>& placedObserver() {
  static auto* const observer = new std::function<void()>;
  return *observer;
}

void filePlaced() {
  reachProgram([] {
    if (placedObserver()) placedObserver()();
  });
}

bool exists(const QString& path) {
  struct stat info = {};
  return ::lstat(native(path).constData(), &info) == 0;
}

bool plainName(const QString& name) {
  return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
         !name.contains(QLatin1Char('/'));
}

// A prepared file's name in its run's folder: a plain name, or one in a
// thread's folder ("<number>/<name>").
bool keptName(const QString& name) {
  const qsizetype slash = name.indexOf(QLatin1Char('/'));
  if (slash < 0) return plainName(name);
  bool number = false;
  name.left(slash).toUInt(&number);
  return number && plainName(name.mid(slash + 1));
}

// Forces a folder's entries to disk (where the file system offers it).
void syncFolder(const QString& folder) {
  const int fd = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// The size and checksum of the regular file at `path`; size -1 when there is none.
FileIdentity identityOfFile(const QString& path) {
  const std::optional<QByteArray> data = platform::readRegularFile(path, kLargestCardFile);
  return data ? identityOf(*data) : FileIdentity{};
}

// Whether the file at `path` is the one of that size and checksum (read only
// when the size is right).
bool holds(const QString& path, const FileIdentity& identity) {
  struct stat info = {};
  return ::lstat(native(path).constData(), &info) == 0 && S_ISREG(info.st_mode) &&
         info.st_size == identity.size && identityOfFile(path) == identity;
}

// The number of the file at `path` on its disk; -1 when there is none.
qint64 inodeOf(const QString& path) {
  struct stat info = {};
  return ::lstat(native(path).constData(), &info) == 0 ? qint64(info.st_ino) : -1;
}

// Writes `data` whole to a new file under a passing name, forced to disk
// with `forced`, and only then names it `path`: a file of that name is always
// whole. The reason when it cannot (nothing is left then).
QString writeNamedWhole(const QString& path, const QByteArray& data, bool forced = true) {
  const QFileInfo target(path);
  const QByteArray passing = native(inFolder(target.path(), QStringLiteral("writing-") + target.fileName()));
  const int fd = ::open(passing.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return errorText(errno);
  int error = 0;
  for (qsizetype done = 0; done < data.size() && error == 0;) {
    const ssize_t n = ::write(fd, data.constData() + done, static_cast<size_t>(data.size() - done));
    if (n > 0)
      done += n;
    else if (n == 0 || errno != EINTR)
      error = n == 0 ? ENOSPC : errno;
  }
  if (error == 0 && forced && ::fdatasync(fd) != 0 && errno != EINVAL) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && std::rename(passing.constData(), native(path).constData()) != 0) error = errno;
  if (error == 0) return {};
  ::unlink(passing.constData());
  return errorText(error);
}

// What a note says of one file of a card: its place (a name in the cards'
// folder), the prepared file's name in the run's folder (which holds the
// old side once the new one has taken its place, or where the disk swaps no
// files, that name with ".old" does), the new file, and whether the place
// held no file, and the new file's number on its disk (-1 when not known).
struct NotedFile {
  QString place;
  QString kept;
  FileIdentity made;
  bool empty = false;
  qint64 inode = -1;
};
using NotedCard = std::vector<NotedFile>;

// The note of a group's cards, as readNote reads it.
QByteArray noteOf(const std::vector<NotedCard>& cards) {
  QJsonArray noted;
  for (const NotedCard& card : cards) {
    if (card.empty()) continue;
    QJsonArray files;
    for (const NotedFile& file : card)
      files.append(QJsonObject{{QStringLiteral("place"), file.place},
                               {QStringLiteral("kept"), file.kept},
                               {QStringLiteral("size"), QString::number(file.made.size)},
                               {QStringLiteral("checksum"), QString::number(file.made.checksum)},
                               {QStringLiteral("empty"), file.empty},
                               {QStringLiteral("inode"), QString::number(file.inode)}});
    noted.append(files);
  }
  return QJsonDocument(
             QJsonObject{{QStringLiteral("version"), kNoteVersion}, {QStringLiteral("cards"), noted}})
      .toJson(QJsonDocument::Compact);
}

qint64 numberIn(const QJsonObject& object, const char* key, bool* read) {
  bool ok = false;
  const qint64 number = object.value(QLatin1String(key)).toString().toLongLong(&ok);
  *read = *read && ok;
  return number;
}

// The cards of a note; nothing when it cannot be read whole (a note takes its
// name only once whole: one that is cut, grown, garbled or not a file at all
// was damaged after its run wrote it) or names anything but plain names.
std::optional<std::vector<NotedCard>> readNote(const QString& path) {
  const std::optional<QByteArray> data = platform::readRegularFile(path, kLargestNote);
  if (!data) return std::nullopt;
  QJsonParseError error{};
  const QJsonObject note = QJsonDocument::fromJson(*data, &error).object();
  if (error.error != QJsonParseError::NoError ||
      note.value(QLatin1String("version")).toInt() != kNoteVersion ||
      !note.value(QLatin1String("cards")).isArray())
    return std::nullopt;
  std::vector<NotedCard> cards;
  for (const QJsonValue& card : note.value(QLatin1String("cards")).toArray()) {
    if (!card.isArray() || card.toArray().isEmpty()) return std::nullopt;
    NotedCard& noted = cards.emplace_back();
    for (const QJsonValue& value : card.toArray()) {
      const QJsonObject file = value.toObject();
      NotedFile& entry = noted.emplace_back();
      bool read = true;
      entry.place = file.value(QLatin1String("place")).toString();
      entry.kept = file.value(QLatin1String("kept")).toString();
      entry.made.size = numberIn(file, "size", &read);
      entry.made.checksum = static_cast<quint32>(numberIn(file, "checksum", &read));
      entry.empty = file.value(QLatin1String("empty")).toBool();
      entry.inode = numberIn(file, "inode", &read);
      if (!read || entry.made.size < 0 || !plainName(entry.place) || !keptName(entry.kept))
        return std::nullopt;
    }
  }
  return cards;
}

// Settles a card of a run that ended. A prepared file that its note names
// is there with its new bytes until it takes its place (those that take
// none go after the note), when the old side takes its name or moves beside
// it: a card whose new files are all in place is left, and so is one whose
// files the run all placed (what came there since is not its to undo).
// Otherwise each place whose bytes the run changed gets back what was there
// before (`moved`): its old side, or no file where it held none, and so does
// a place left without a file when its old side moved aside. A place whose
// old side has the new bytes was not changed, and neither was one that holds
// the new bytes under another number than the run's file where the disk kept
// the numbers of the run's files (a prepared file that took no place still
// has its noted number): another export wrote them there since. False when a
// place could not be put back.
bool settleCard(const QString& cards, const QString& run, const NotedCard& card, bool* moved) {
  const bool numbersKept = std::any_of(card.begin(), card.end(), [&](const NotedFile& file) {
    const QString kept = inFolder(run, file.kept);
    return file.inode >= 0 && inodeOf(kept) == file.inode && holds(kept, file.made);
  });
  std::vector<std::pair<QString, QString>> changed;  // (place, old side or none), the last first
  bool whole = true, finished = true;
  for (const NotedFile& file : card) {
    const QString place = inFolder(cards, file.place), kept = inFolder(run, file.kept);
    const bool placed = !holds(kept, file.made);  // the prepared file is no longer there
    const QString aside = kept + QStringLiteral(".old");
    const QString old = exists(aside) ? aside : placed && exists(kept) ? kept : QString();
    finished = finished && placed;
    if (!holds(place, file.made)) {
      whole = false;
      if (!exists(place) && !old.isEmpty()) changed.emplace(changed.begin(), place, old);  // moved aside
    } else if (placed && (!numbersKept || inodeOf(place) == file.inode) &&
               (old.isEmpty() ? file.empty : !holds(old, file.made))) {
      // the new bytes over other ones, or where there were none
      changed.emplace(changed.begin(), place, old);
    }
  }
  if (whole || finished) return true;
  bool undone = true;
  for (const auto& [place, old] : changed) {
    if (old.isEmpty() ? ::unlink(native(place).constData()) != 0
                      : std::rename(native(old).constData(), native(place).constData()) != 0) {
      warn(QStringLiteral("%1 could not be put back: %2").arg(place, errorText(errno)));
      undone = false;
      continue;
    }
    *moved = true;
    filePlaced();
  }
  return undone;
}

// Puts a prepared file in its place. With `keepOld` a place without a file
// is taken in one step that fails should a file have come there since, and
// the file at a place is kept in the run's folder (`kept`): the two swap
// places in one step, or, where the file system does not swap, the old one
// moves beside the prepared file first (its place without a file until the
// new one takes it). The error number when it cannot.
int placeFile(const QString& prepared, const QString& place, bool keepOld, QString* kept) {
  const QByteArray from = native(prepared);
  const QByteArray to = native(place);
  if (keepOld) {
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) return 0;
    if (errno == EEXIST &&
        ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_EXCHANGE) == 0) {
      *kept = prepared;
      return 0;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return errno;
    const QString old = prepared + QStringLiteral(".old");
    if (std::rename(to.constData(), native(old).constData()) == 0)
      *kept = old;
    else if (errno != ENOENT)
      return errno;
  }
  return std::rename(from.constData(), to.constData()) == 0 ? 0 : errno;
}

// The name of `place` in the folder `cards` (absolute and clean); empty when
// it is not a file of that folder.
QString nameInFolder(const QString& cards, const QString& place) {
  const QFileInfo info(place);
  return QDir::cleanPath(info.absolutePath()) == cards && plainName(info.fileName()) ? info.fileName()
                                                                                     : QString();
}

// The names in `folder` that begin with `prefix` and are folders, in order.
QStringList foldersNamed(const QString& folder, const char* prefix) {
  return QDir(folder).entryList({QLatin1String(prefix) + QLatin1Char('*')},
                                QDir::Dirs | QDir::Hidden | QDir::NoSymLinks, QDir::Name);
}

// The place a prepared file in a run's folder was made for (".<place>.<checksum, 8 hex digits>.part").
QString placeOfPrepared(const QString& name) {
  if (!name.startsWith(QLatin1Char('.')) || !name.endsWith(QLatin1String(".part")) || name.size() < 16)
    return {};
  return name.mid(1, name.size() - 1 - 5 - 9);
}

// Whether a prepared file still has the bytes its name says.
bool stillPrepared(const QString& path) {
  return path.right(13).left(8) ==
         QStringLiteral("%1").arg(identityOfFile(path).checksum, 8, 16, QLatin1Char('0'));
}

// The notes in a run's folder ("note-<number>.json"), whatever they are.
QStringList notesIn(const QString& run) {
  QStringList notes;
  for (const QString& name :
       QDir(run).entryList({QStringLiteral("note-*.json")}, QDir::AllEntries | QDir::System | QDir::Hidden))
    notes << inFolder(run, name);
  return notes;
}

// The other file of a card: "X_Back.ext" for "X.ext" and the other way round.
QString otherSideOf(const QString& place) {
  const qsizetype back = place.lastIndexOf(QLatin1String("_Back."));
  return back >= 0 ? place.left(back) + place.mid(back + 5) : Create_Back_Card_Path(place);
}

// The places of the cards' folder `cards` that the dead run in `run` may
// have replaced and that none of its notes (`noted`) tells of: those that
// hold a file made since the run began (`began`; every one where that is
// not known), of the card of an old side in its folder that no note names
// (moved aside, or one whose bytes are not those its name says: its note is
// gone or damaged). A prepared file that no note names took no place,
// unless a note that cannot be read is there (`damaged`).
QStringList placesNotNoted(const QString& cards, const QString& run, const std::vector<NotedCard>& noted,
                           bool damaged, std::optional<qint64> began) {
  QSet<QString> named, notedPlaces, replaced;
  for (const NotedCard& card : noted)
    for (const NotedFile& file : card) {
      named << file.kept;
      notedPlaces << file.place;
    }
  const auto madeSince = [&](const QString& place) {
    struct stat info = {};
    return plainName(place) && !notedPlaces.contains(place) &&
           ::lstat(native(inFolder(cards, place)).constData(), &info) == 0 &&
           (!began || qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec >= *began);
  };
  QDirIterator files(run, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
  while (files.hasNext()) {
    const QString path = files.next();
    QString name = path.mid(run.size() + 1);
    const bool aside = name.endsWith(QLatin1String(".old"));
    if (aside) name.chop(4);
    const QString place = placeOfPrepared(QFileInfo(name).fileName());
    if (!plainName(place) || named.contains(name)) continue;
    QStringList sides{place, otherSideOf(place)};
    sides.removeIf([&](const QString& side) { return !madeSince(side); });
    if (!sides.isEmpty() && (aside || damaged || !stillPrepared(path)))  // read only when it may matter
      replaced += QSet<QString>(sides.begin(), sides.end());
  }
  return QStringList(replaced.begin(), replaced.end());
}

// The file that names the cards' folder of the run `run` while it is under way.
QString unfinishedEntry(const QString& cards, const QString& run) {
  const QByteArray folder = QFile::encodeName(QDir::cleanPath(QFileInfo(cards).absoluteFilePath()));
  return QStringLiteral("%1/%2-%3")
      .arg(unfinishedExportsFolder(),
           QString::fromLatin1(QCryptographicHash::hash(folder, QCryptographicHash::Sha1).toHex().left(16)),
           QFileInfo(run).fileName().mid(int(std::strlen(kRunPrefix))));
}

// A file's size and time of change, which tell whether a later export replaced it.
QJsonObject placeNow(const QString& cards, const QString& place) {
  struct stat info = {};
  const bool there = ::lstat(native(inFolder(cards, place)).constData(), &info) == 0;
  return {{QStringLiteral("place"), place},
          {QStringLiteral("size"), QString::number(there ? static_cast<qint64>(info.st_size) : -1)},
          {QStringLiteral("modified"),
           QString::number(
               there ? static_cast<qint64>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec : -1)}};
}

// The cards' folder locked against other programs' runs while a card's files
// take their places, a run starts, or dead runs are settled. A folder where
// locks are not offered is not locked. One that another program holds is
// tried again after short pauses while `wait` lets it (never, without one):
// that program may be paused, and a blocking wait would not end on Stop.
class FolderLock {
 public:
  enum State { Held, Busy, NotOffered };
  FolderLock(int folder, const FolderWait* wait) {
    if (folder < 0) return;
    const auto start = std::chrono::steady_clock::now();
    for (std::chrono::milliseconds pause{1};; pause = std::min(2 * pause, std::chrono::milliseconds{16})) {
      if (::flock(folder, LOCK_EX | LOCK_NB) == 0) {
        fd_ = folder;
        state_ = Held;
        return;
      }
      if (errno == EINTR) continue;
      if (errno != EWOULDBLOCK) {
        state_ = NotOffered;
        return;
      }
      state_ = Busy;
      if (!wait || (wait->stop && wait->stop->load()) ||
          (wait->longestMs >= 0 &&
           std::chrono::steady_clock::now() - start >= std::chrono::milliseconds{wait->longestMs}))
        return;
      std::this_thread::sleep_for(pause);
    }
  }
  ~FolderLock() {
    if (fd_ >= 0) ::flock(fd_, LOCK_UN);
  }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  State state() const { return state_; }

 private:
  int fd_ = -1;
  State state_ = NotOffered;
};

}  // namespace

FileIdentity identityOf(const QByteArray& data) {
  const uLong crc = ::crc32(::crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(data.constData()),
                            static_cast<uInt>(data.size()));
  return {data.size(), static_cast<quint32>(crc)};
}

void setCardFilePlacedObserver(std::function<void()> observer) {
  placedObserver() = std::move(observer);
}

QString unfinishedExportsFolder() {
  QString state = qEnvironmentVariable("XDG_STATE_HOME");
  if (!QDir::isAbsolutePath(state)) state = QDir::homePath() + QStringLiteral("/.local/state");
  return state + QStringLiteral("/quvo-gratulo/") + QLatin1String(kUnfinishedExports);
}

// The lock of a run's folder (a file in it), tried without waiting and held
// while the object lives.
class RunFolderLock {
 public:
  // None: no file that can be opened as the lock is there (none, or a
  // folder, a link, one that may not be read).
  enum State { Taken, Busy, None, NotOffered };

  // The lock of a run found in `folder`, or made for a new run in it.
  RunFolderLock(const QString& folder, bool made)
      : path_(native(inFolder(folder, QLatin1String(kLockName)))) {
    fd_ = ::open(path_.constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | (made ? O_CREAT | O_EXCL : 0), 0666);
    if (fd_ < 0) {
      state_ = None;
      return;
    }
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
      state_ = errno == EWOULDBLOCK ? Busy : NotOffered;
      return;
    }
    // A lock is only good while its path names this file.
    struct stat held = {}, named = {};
    if (::fstat(fd_, &held) != 0 || ::stat(path_.constData(), &named) != 0 || held.st_ino != named.st_ino)
      state_ = Busy;
  }
  ~RunFolderLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  RunFolderLock(const RunFolderLock&) = delete;
  RunFolderLock& operator=(const RunFolderLock&) = delete;

  State state() const { return state_; }

  // When the run in `folder` began, in nanoseconds: when its folder was made
  // (just before the lock), or where the disk does not tell, when the lock
  // was last changed (a run never writes to it); none when neither is known.
  std::optional<qint64> madeAt(const QString& folder) const {
    struct statx made = {};
    if (::statx(AT_FDCWD, native(folder).constData(), 0, STATX_BTIME, &made) != 0 ||
        !(made.stx_mask & STATX_BTIME)) {
      if (fd_ < 0 || ::statx(fd_, "", AT_EMPTY_PATH, STATX_MTIME, &made) != 0) return std::nullopt;
      made.stx_btime = made.stx_mtime;
    }
    return static_cast<qint64>(made.stx_btime.tv_sec) * 1000000000 + made.stx_btime.tv_nsec;
  }

  // Removes the run's folder `folder` with all in it, the lock held last,
  // once let go: a file system that keeps a file removed while open under
  // another name (a network or user-space one) would leave it, and the
  // folder, behind.
  void removeFolder(const QString& folder) {
    QDir run(folder);
    for (const QFileInfo& entry :
         run.entryInfoList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot)) {
      if (fd_ >= 0 && entry.fileName() == QLatin1String(kLockName)) continue;
      if (entry.isDir() && !entry.isSymLink())
        QDir(entry.filePath()).removeRecursively();
      else
        ::unlink(native(entry.filePath()).constData());
    }
    if (fd_ >= 0) {
      ::close(fd_);
      ::unlink(path_.constData());
    }
    fd_ = -1;
    ::rmdir(native(folder).constData());
  }

 private:
  QByteArray path_;
  int fd_ = -1;
  State state_ = Taken;
};

namespace {

// Puts a run that could not be settled out of reach of every later
// settling, with the places it concerns and what is there now; the name it
// is kept under.
QString putOutOfReach(const QString& cards, const QString& run, QStringList places) {
  places.removeDuplicates();
  QJsonArray list;
  for (const QString& place : places) list.append(placeNow(cards, place));
  const QString why = writeNamedWhole(inFolder(run, QLatin1String(kPlacesName)),
                                      QJsonDocument(list).toJson(QJsonDocument::Compact));
  if (!why.isEmpty()) warn(QStringLiteral("%1: %2").arg(run, why));
  const QString kept = inFolder(
      cards, QLatin1String(kOutOfReachPrefix) + QFileInfo(run).fileName().mid(int(std::strlen(kRunPrefix))));
  if (std::rename(native(run).constData(), native(kept).constData()) != 0) {
    warn(QStringLiteral("%1 could not be renamed: %2").arg(run, errorText(errno)));
    return run;
  }
  syncFolder(cards);
  return kept;
}

// The folders put out of reach in `cards`: removed once a later export has
// replaced every file they concern, otherwise listed with those files.
std::vector<UnsettledExport> reviewOutOfReach(const QString& cards) {
  std::vector<UnsettledExport> unsettled;
  for (const QString& name : foldersNamed(cards, kOutOfReachPrefix)) {
    UnsettledExport kept{cards, inFolder(cards, name), {}};
    const std::optional<QByteArray> data =
        platform::readRegularFile(inFolder(kept.kept, QLatin1String(kPlacesName)), kLargestNote);
    const QJsonArray places = data ? QJsonDocument::fromJson(*data).array() : QJsonArray();
    for (const QJsonValue& place : places) {
      const QJsonObject then = place.toObject();
      const QString file = then.value(QLatin1String("place")).toString();
      if (plainName(file) && placeNow(cards, file) == then) kept.files << file;
    }
    if (data && !places.isEmpty() && kept.files.isEmpty()) {
      warn(QStringLiteral("Every card file of %1 has been exported again since: removed").arg(kept.kept));
      QDir(kept.kept).removeRecursively();
      continue;
    }
    unsettled.push_back(std::move(kept));
  }
  return unsettled;
}

// Settles the runs in `folder` that ended without finishing, with the
// folder locked, and removes their folders; runs alive are left alone.
EarlierRuns settleLocked(const QString& folder) {
  // A run that ended without finishing: its lock, its notes' cards, and the
  // places whose card may have sides of two runs that no note tells of.
  struct Ended {
    QString folder;
    std::unique_ptr<RunFolderLock> lock;
    std::vector<NotedCard> cards;
    QStringList atRisk;
  };
  std::vector<Ended> ended;
  for (const QString& name : foldersNamed(folder, kRunPrefix)) {
    const QString run = inFolder(folder, name);
    auto lock = std::make_unique<RunFolderLock>(run, false);
    // A run alive holds its lock. Whatever became of the lock file of one
    // that is not (a run killed as it started has none yet), it is settled
    // from its notes: while the cards' folder is locked, no run places cards.
    if (lock->state() == RunFolderLock::Busy) continue;
    Ended& dead = ended.emplace_back(Ended{run, std::move(lock), {}, {}});
    // A note takes its name only once whole: one that cannot be read was
    // damaged since, and the cards it names are told by the files it leaves
    // unnamed.
    bool damaged = false;
    for (const QString& note : notesIn(run)) {
      std::optional<std::vector<NotedCard>> cards = readNote(note);
      if (!cards) warn(QStringLiteral("%1 cannot be read").arg(note));
      damaged = damaged || !cards;
      for (NotedCard& card : cards.value_or(std::vector<NotedCard>{})) dead.cards.push_back(std::move(card));
    }
    dead.atRisk = placesNotNoted(folder, run, dead.cards, damaged, dead.lock->madeAt(run));
  }

  // A run that died halfway through a card another dead run had left half
  // replaced kept that half card's side: once its own new file is gone, the
  // half card is back and is settled in turn. So the cards are settled again
  // until nothing moves; each card counts once, whichever runs it went through.
  EarlierRuns earlier;
  QSet<QString> putRight;
  std::vector<QSet<QString>> failed(ended.size());
  for (bool moved = true; moved;) {
    moved = false;
    for (size_t r = 0; r < ended.size(); ++r)
      for (const NotedCard& card : ended[r].cards) {
        bool movedNow = false;
        if (!settleCard(folder, ended[r].folder, card, &movedNow))
          for (const NotedFile& file : card) failed[r].insert(file.place);
        if (movedNow) putRight.insert(card.front().place);
        moved = moved || movedNow;
      }
  }
  earlier.cardsPutRight = static_cast<int>(putRight.size());
  for (size_t r = 0; r < ended.size(); ++r) {
    Ended& run = ended[r];
    // Never removed unread (one gone meanwhile was that of a run finishing: it removes its own).
    const bool unread = ::access(native(run.folder).constData(), R_OK | X_OK) != 0 && errno != ENOENT;
    if (run.atRisk.isEmpty() && failed[r].isEmpty() && !unread) {
      run.lock->removeFolder(run.folder);
      ::unlink(native(unfinishedEntry(folder, run.folder)).constData());
      continue;
    }
    run.atRisk += QStringList(failed[r].begin(), failed[r].end());
    run.lock.reset();
    const QString kept = putOutOfReach(folder, run.folder, run.atRisk);
    warn(QStringLiteral("%1 could not be put right: kept in %2").arg(run.folder, kept));
    if (kept != run.folder) ::unlink(native(unfinishedEntry(folder, run.folder)).constData());
  }
  if (earlier.cardsPutRight > 0)
    warn(QStringLiteral("%1: cards left half replaced by an export that did not finish put right: %2")
             .arg(folder)
             .arg(earlier.cardsPutRight));
  earlier.unsettled = reviewOutOfReach(folder);
  return earlier;
}

}  // namespace

std::unique_ptr<CardImageFileRun> CardImageFileRun::open(const QString& folder, QString* reason,
                                                         EarlierRuns* settled, FolderWait wait) {
  const int cards = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  std::unique_ptr<CardImageFileRun> opened;
  QString why = QStringLiteral("no folder of its own could be locked for the new files");
  {
    const FolderLock locked(cards, &wait);
    // Only while no other program's run can place cards there.
    if (settled && locked.state() == FolderLock::Held) *settled = settleLocked(folder);
    // The run's folder and its lock are made with the cards' folder locked.
    QByteArray name = native(inFolder(folder, QLatin1String(kRunPrefix) + QStringLiteral("XXXXXX")));
    if (locked.state() == FolderLock::Busy) {
      why = QLatin1String(kFolderBusy);
    } else if (!::mkdtemp(name.data())) {
      why = errorText(errno);
    } else {
      const QString run = QFile::decodeName(name);
      auto lock = std::make_unique<RunFolderLock>(run, true);
      if (lock->state() == RunFolderLock::Taken || lock->state() == RunFolderLock::NotOffered) {
        opened.reset(new CardImageFileRun(folder, run, std::move(lock), wait));
      } else {
        lock->removeFolder(run);
      }
    }
  }
  if (!opened) {
    if (cards >= 0) ::close(cards);
    if (reason) *reason = why;
    return nullptr;
  }
  opened->cardsFolder_ = cards;
  // Noted until it has finished: should the program end before, its next
  // start puts right what the run left half done.
  opened->unfinished_ = unfinishedEntry(folder, opened->folder_);
  QDir().mkpath(QFileInfo(opened->unfinished_).path());
  QFile entry(opened->unfinished_);
  if (!entry.open(QIODevice::WriteOnly) || entry.write(native(QFileInfo(folder).absoluteFilePath())) < 0)
    opened->unfinished_.clear();
  return opened;
}

CardImageFileRun::CardImageFileRun(QString cards, QString folder, std::unique_ptr<RunFolderLock> lock,
                                   FolderWait wait)
    : cards_(std::move(cards)), folder_(std::move(folder)), lock_(std::move(lock)), wait_(wait) {}

CardImageFileRun::~CardImageFileRun() {
  if (removing_.valid()) removing_.get();
  if (!keepFolder_) {
    lock_->removeFolder(folder_);
    if (!unfinished_.isEmpty()) ::unlink(native(unfinished_).constData());
  }
  if (cardsFolder_ >= 0) ::close(cardsFolder_);
}

void CardImageFileRun::reviewEarlier(EarlierRuns& earlier) const {
  if (earlier.unsettled.empty()) return;
  const FolderLock locked(cardsFolder_, nullptr);
  if (locked.state() != FolderLock::Busy) earlier.unsettled = reviewOutOfReach(cards_);
}

QString CardImageFileRun::threadFolder(int thread) const {
  const QString folder = inFolder(folder_, QString::number(thread));
  return ::mkdir(native(folder).constData(), 0777) == 0 ? folder : folder_;
}

void CardImageFileRun::removeOldSidesAtOnce() {
  oldSidesAtOnce_ = true;
  if (removing_.valid()) removing_.get();
}

void CardImageFileRun::removeAfterGroup(std::vector<QString> oldSides, QString note,
                                        std::vector<QString> unplaced) {
  if (oldSides.empty() && note.isEmpty()) return;
  // The old sides go before the note (while they are there, it is), and the
  // prepared files that took no place after it.
  const auto remove = [oldSides = std::move(oldSides), note = std::move(note),
                       unplaced = std::move(unplaced)] {
    bool gone = true;
    for (const QString& old : oldSides) gone = ::unlink(native(old).constData()) == 0 && gone;
    if (!gone) return;
    if (!note.isEmpty()) ::unlink(native(note).constData());
    for (const QString& file : unplaced) ::unlink(native(file).constData());
  };
  if (removing_.valid()) removing_.get();
  if (oldSidesAtOnce_) return remove();
  try {
    removing_ = std::async(std::launch::async, remove);
  } catch (const std::system_error&) {
    remove();  // no thread to be had
  }
}

bool CardImageFileRun::place(CardFilePlaces& files, QString* failedPath, QString* reason) {
  std::vector<CardFilePlaces> card{std::exchange(files, {})};
  return Group(*this, card).place(0, failedPath, reason);
}

// The group's note and, for each card, what it says of the card (empty for
// a card of one file, which takes its place in one step) or why the card
// could not be noted; and the old sides its cards replaced.
struct CardImageFileRun::Group::Noted {
  QString note;
  std::vector<NotedCard> cards;
  std::vector<std::pair<QString, QString>> failures;  // (path, reason) of a card that fails
  std::vector<QString> oldSides;
  std::vector<QString> unplaced;  // prepared files of its cards that took no place

  // The cards the note names fail with `why`; the note is not there.
  void fail(const QString& why, const std::vector<CardFilePlaces>& files) {
    for (size_t i = 0; i < cards.size(); ++i)
      if (!cards[i].empty()) failures[i] = {files[i].front().first, why};
  }
};

CardImageFileRun::Group::Group(CardImageFileRun& run, std::vector<CardFilePlaces>& cards,
                               const std::vector<std::vector<FileIdentity>>* identities)
    : run_(run), cards_(cards), noted_(std::make_unique<Noted>()) {
  noted_->cards.resize(cards.size());
  noted_->failures.resize(cards.size());
  const QString folder = QDir::cleanPath(QFileInfo(run_.cards_).absoluteFilePath());
  const QString runPrefix = run_.folder_ + QLatin1Char('/');
  bool noted = false, replaces = false;
  for (size_t i = 0; i < cards.size(); ++i) {
    if (cards[i].size() < 2) continue;
    NotedCard& card = noted_->cards[i];
    for (size_t f = 0; f < cards[i].size(); ++f) {
      const auto& [place, prepared] = cards[i][f];
      NotedFile& file = card.emplace_back();
      file.place = nameInFolder(folder, place);
      file.kept = prepared.startsWith(runPrefix) ? prepared.mid(runPrefix.size()) : QString();
      file.made = identities && f < (*identities)[i].size() ? (*identities)[i][f] : identityOfFile(prepared);
      if (file.place.isEmpty() || !keptName(file.kept) || file.made.size < 0) {
        noted_->failures[i] = {place, file.place.isEmpty() ? QStringLiteral("not in the folder of the cards")
                                                           : errorText(ENOENT)};
        card.clear();
        break;
      }
      file.inode = inodeOf(prepared);
      // A place that holds a folder takes no file (set aside, the folder would go with the run's).
      struct stat there = {};
      if (::lstat(native(inFolder(folder, file.place)).constData(), &there) != 0) {
        file.empty = true;
        continue;
      }
      if (S_ISDIR(there.st_mode)) {
        noted_->failures[i] = {place, errorText(EISDIR)};
        card.clear();
        break;
      }
      replaces = true;
    }
    noted = noted || !card.empty();
  }
  if (!noted) return;
  // Given its number only once whole: a note that could not be written is
  // none. Forced to disk before any card takes its places when the cards
  // replace files (the one forcing of a group): one lost with the disk's
  // cache all the same leaves its old sides unnamed, so its run is one that
  // could not be put right, never one that mixes a card. Where no file is
  // replaced, a note lost leaves nothing that another export made.
  const QString path = inFolder(run_.folder_, QStringLiteral("note-%1.json").arg(run_.notes_ + 1));
  const QString why = writeNamedWhole(path, noteOf(noted_->cards), replaces);
  if (!why.isEmpty()) {
    noted_->fail(why, cards);
    return;
  }
  ++run_.notes_;
  noted_->note = path;
}

CardImageFileRun::Group::~Group() {
  for (size_t card = 0; card < cards_.size(); ++card) giveUp(card);
  // A card that could not be put back keeps the note and the old sides for the next run.
  if (!run_.keepFolder_)
    run_.removeAfterGroup(std::move(noted_->oldSides), noted_->note, std::move(noted_->unplaced));
}

void CardImageFileRun::Group::giveUp(size_t card) {
  // A noted card's prepared files stay as long as its note: while they are
  // there, its run did not place them.
  for (const auto& file : cards_[card])
    if (noted_->note.isEmpty() || noted_->cards[card].empty())
      discardCardImageFile(file.second);
    else if (!file.second.isEmpty())
      noted_->unplaced.push_back(file.second);
  cards_[card].clear();
}

bool CardImageFileRun::Group::place(size_t card, QString* failedPath, QString* reason) {
  CardFilePlaces& files = cards_[card];
  const NotedCard& noted = noted_->cards[card];
  const auto fail = [&](const QString& path, const QString& why) {
    if (failedPath) *failedPath = path;
    if (reason) *reason = why;
    giveUp(card);
    return false;
  };
  if (!noted_->failures[card].second.isEmpty())
    return fail(noted_->failures[card].first, noted_->failures[card].second);
  const FolderLock locked(run_.cardsFolder_, &run_.wait_);
  if (locked.state() == FolderLock::Busy)
    return fail(files.empty() ? QString() : files.front().first, QLatin1String(kFolderBusy));
  for (size_t f = 0; f < files.size(); ++f) {
    auto& [place, prepared] = files[f];
    QString kept;
    if (const int error = placeFile(prepared, place, !noted.empty(), &kept)) {
      bool moved = false;
      if (!noted.empty() && !settleCard(run_.cards_, run_.folder_, noted, &moved)) run_.keepFolder_ = true;
      return fail(place, errorText(error));
    }
    if (!kept.isEmpty()) noted_->oldSides.push_back(kept);
    prepared.clear();
    filePlaced();
  }
  files.clear();
  return true;
}

QString earlierExportsNote(const EarlierRuns& earlier, const QString& folder) {
  QStringList lines;
  const int n = earlier.cardsPutRight;
  if (n > 0)
    lines << QStringLiteral(
                 "%1 left half replaced by an earlier export%2 that did not finish %3 been put right.")
                 .arg(n == 1 ? QStringLiteral("1 card") : QStringLiteral("%1 cards").arg(n),
                      folder.isEmpty() ? QString() : QStringLiteral(" into \"%1\"").arg(folder),
                      n == 1 ? QStringLiteral("has") : QStringLiteral("have"));
  for (const UnsettledExport& kept : earlier.unsettled) {
    // A card named once, by its front where both sides are concerned, in the cards' order.
    QStringList cards;
    for (const QString& file : kept.files)
      if (!kept.files.contains(QString(file).replace(QLatin1String("_Back."), QLatin1String("."))) ||
          !file.contains(QLatin1String("_Back.")))
        cards << file;
    std::sort(cards.begin(), cards.end(), [](const QString& a, const QString& b) {
      return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    constexpr qsizetype kNamed = 6;
    QStringList named;
    for (qsizetype i = 0; i < std::min(kNamed, cards.size()); ++i)
      named << QStringLiteral("\"%1\"").arg(cards[i]);
    QString files = named.join(QStringLiteral(", "));
    if (cards.size() > kNamed) files += QStringLiteral(" and %1 more").arg(cards.size() - kNamed);
    lines
        << QStringLiteral(
               "An earlier export into \"%1\" that did not finish could not be put right: %2 may have sides "
               "from two exports. Export %3 again to make them whole. Until then, what the earlier export "
               "left is kept in \"%4\".")
               .arg(kept.cards,
                    kept.files.isEmpty() ? QStringLiteral("some of its cards")
                                         : QStringLiteral("the cards of the files ") + files,
                    kept.files.isEmpty() ? QStringLiteral("the cards") : QStringLiteral("those cards"),
                    kept.kept);
  }
  return lines.join(QLatin1Char('\n'));
}

namespace {

// Entries that versions before this one made in the resource folder
// `resources`: their runs' notes are not of a kind this one reads.
void removeEarlierEntries(const QString& resources) {
  const QString entries = inFolder(resources, QLatin1String(kUnfinishedExports));
  if (resources.isEmpty() || !QFileInfo(entries).isDir()) return;
  warn(QStringLiteral("%1: exports noted by an earlier version of the program are not settled").arg(entries));
  QDir(entries).removeRecursively();
}

// The cards' folders of the exports noted as under way, each with its entries.
std::map<QString, QStringList> notedFolders() {
  std::map<QString, QStringList> folders;
  const QDir entries(unfinishedExportsFolder());
  for (const QString& name : entries.entryList(QDir::Files | QDir::Hidden)) {
    const QString entry = entries.filePath(name);
    const std::optional<QByteArray> named = platform::readRegularFile(entry, 64 * 1024);
    const QString cards = named ? QFile::decodeName(*named) : QString();
    if (cards.isEmpty())
      ::unlink(native(entry).constData());
    else
      folders[cards] << entry;
  }
  return folders;
}

// Settles a folder noted at the start; what to say of it (empty: nothing).
QString settleNotedFolder(const QString& cards, const QStringList& entries) {
  const int folder = ::open(native(cards).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  std::optional<EarlierRuns> settled;
  {
    const FolderLock locked(folder, nullptr);
    if (locked.state() == FolderLock::Held) settled = settleLocked(cards);
  }
  if (folder >= 0) ::close(folder);
  // A folder that is not there now (a disk not plugged in), or that another
  // program has locked, stays noted, as does a run still alive there.
  if (!settled) {
    warn(QStringLiteral("%1, where an export did not finish, is not there or is locked: left for later")
             .arg(cards));
    return {};
  }
  for (const QString& entry : entries)
    if (!exists(inFolder(cards, QLatin1String(kRunPrefix) + QFileInfo(entry).fileName().section('-', 1))))
      ::unlink(native(entry).constData());
  return earlierExportsNote(*settled, cards);
}

// On the application's thread: what the folders settled at the start found,
// said once, when every folder has answered, or when something was found and
// the start has waited long enough for the rest.
class StartTeller : public QObject {
 public:
  StartTeller(std::function<void(const QString&)> tell, QObject* parent)
      : QObject(parent), tell_(std::move(tell)) {
    QTimer::singleShot(kStartSaysWithinMs, this, [this] {
      overdue_ = true;
      sayIfDue();
    });
  }
  // The folders there are to answer, once listed.
  void expect(int folders) {
    waiting_ = folders;
    sayIfDue();
  }
  void answered(const QString& found) {
    if (!found.isEmpty()) said_ << found;
    --waiting_;
    sayIfDue();
  }

 private:
  void sayIfDue() {
    if (told_ || (waiting_ != 0 && !(overdue_ && !said_.isEmpty()))) return;
    told_ = true;
    if (tell_) tell_(said_.join(QLatin1Char('\n')));
  }

  std::function<void(const QString&)> tell_;
  QStringList said_;  // findings not yet said
  int waiting_ = -1;  // folders not yet answered; -1 while they are being listed
  bool overdue_ = false;
  bool told_ = false;
};

}  // namespace

void settleUnfinishedExportsInTheBackground(std::function<void(const QString&)> tell) {
  ProgramGate& gate = ProgramGate::instance();
  auto* teller = new StartTeller(std::move(tell), gate.applicationSide());
  // None is waited for, at the start or at the end. They reach the program
  // only through the gate, and what they read of it is read here.
  const auto settleAll = [&gate, teller, resources = Resource_Path()] {
    tBehindGate = true;
    removeEarlierEntries(resources);
    const std::map<QString, QStringList> folders = notedFolders();
    const int count = static_cast<int>(folders.size());
    gate.callOnApplicationThread([teller, count] { teller->expect(count); });
    // A folder on a disk that does not answer holds up its own thread alone.
    for (const auto& folder : folders) {
      const auto settleOne = [&gate, teller, cards = folder.first, entries = folder.second] {
        tBehindGate = true;
        gate.callOnApplicationThread(
            [teller, found = settleNotedFolder(cards, entries)] { teller->answered(found); });
      };
      try {
        std::thread(settleOne).detach();
      } catch (const std::system_error&) {
        settleOne();  // no thread to be had
      }
    }
  };
  try {
    std::thread(settleAll).detach();
  } catch (const std::system_error&) {
    warn(QStringLiteral("Exports that did not finish are left for later: no thread"));
  }
}

}  // namespace production
