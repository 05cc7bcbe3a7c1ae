#include "production/CardImageFileRun.h"

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
#include <optional>
#include <set>
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
const QString kNotePattern = QStringLiteral("note-*.json");
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

// Forces a file to disk (where the file system offers it).
void syncFile(const QString& path) {
  const int fd = ::open(native(path).constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  ::fdatasync(fd);
  ::close(fd);
}

// Writes the whole of `data` to a new file under a passing name, forces it
// to disk when `forced`, and only then gives it the name `path`: a file of
// that name is always whole.
bool writeWhole(const QString& path, const QByteArray& data, bool forced, QString* reason) {
  const QFileInfo target(path);
  const QString writing = target.path() + QStringLiteral("/writing-") + target.fileName();
  const int fd = ::open(native(writing).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
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
  if (error == 0 && forced && ::fdatasync(fd) != 0 && errno != EINVAL) error = errno;
  ::close(fd);
  if (error == 0 && std::rename(native(writing).constData(), native(path).constData()) != 0) error = errno;
  if (error == 0) return true;
  ::unlink(native(writing).constData());
  *reason = errorText(error);
  return false;
}

QJsonArray noteOf(const NotedCard& card) {
  QJsonArray files;
  for (const NotedFile& file : card)
    files.append(QJsonObject{{QStringLiteral("place"), file.place},
                             {QStringLiteral("kept"), file.kept},
                             {QStringLiteral("device"), QString::number(file.device)},
                             {QStringLiteral("inode"), QString::number(file.inode)},
                             {QStringLiteral("size"), QString::number(file.size)},
                             {QStringLiteral("modified"), QString::number(file.modified)}});
  return files;
}

// The number of a note's name, note-<number>.json; 0 for any other name.
int noteNumber(const QString& name) {
  if (!name.startsWith(QLatin1String("note-")) || !name.endsWith(QLatin1String(".json"))) return 0;
  return name.mid(5, name.size() - 10).toInt();
}

// The cards of the note `name` in the run's folder; nothing when it cannot be
// read whole (a note is written under another name and only then named so:
// one that is cut, grown, garbled or not a file at all was damaged after
// its run wrote it) or names anything but plain names.
std::optional<std::vector<NotedCard>> readNote(const QString& run, const QString& name) {
  const std::optional<QByteArray> data =
      platform::readRegularFile(run + QLatin1Char('/') + name, kLargestNote);
  if (!data) return std::nullopt;
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

// What a card's files are about to do, the old files to be kept aside under
// names that `kept` gives; false with the reason. `cards` is the cards'
// folder, absolute and clean. `replaces` is set when a place holds a file now.
bool noteCard(const QString& cards, const std::function<QString(size_t)>& kept, const CardFilePlaces& files,
              NotedCard& card, QJsonArray& note, bool& replaces, QString* reason) {
  for (size_t i = 0; i < files.size(); ++i) {
    const auto& [place, prepared] = files[i];
    const QFileInfo info(place);
    struct stat made = {};
    if (QDir::cleanPath(info.absolutePath()) != cards)
      *reason = QStringLiteral("not in the folder of the cards");
    else if (::stat(native(prepared).constData(), &made) != 0)
      *reason = errorText(errno);
    if (!reason->isEmpty()) {
      card.clear();
      return false;
    }
    card.push_back({info.fileName(), kept(i), made.st_dev, made.st_ino, made.st_size, modifiedOf(made)});
  }
  QJsonArray entries = noteOf(card);
  // The previous version's "kept": the places that hold a file now.
  for (qsizetype i = 0; i < entries.size(); ++i)
    if (exists(cards + QLatin1Char('/') + card[static_cast<size_t>(i)].place)) {
      replaces = true;
    } else {
      QJsonObject entry = entries[i].toObject();
      entry[QStringLiteral("kept")] = QString();
      entries[i] = entry;
    }
  note.append(entries);
  return true;
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
// could not be noted.
struct CardImageFileRun::Group::Noted {
  QString note;
  std::vector<NotedCard> cards;
  std::vector<QString> failures;
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
  for (const QString& name :
       cards.entryList({kRunFolderPrefix + QLatin1Char('*')},
                       QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks)) {
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
    syncFolder(folder);
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
  if (!keepFolder_) lock_->removeFolder(folder_);
  if (!keepFolder_ && !unfinished_.isEmpty()) ::unlink(native(unfinished_).constData());
  if (cardsFolder_ >= 0) ::close(cardsFolder_);
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
  const int number = ++run_.notes_;
  QJsonArray note;
  bool replaces = false;
  const QString folder = QDir::cleanPath(QFileInfo(run_.cards_).absoluteFilePath());
  for (size_t i = 0; i < cards.size(); ++i) {
    if (cards[i].size() < 2) continue;
    const qsizetype index = note.size();
    const auto kept = [number, index](size_t file) { return keptName(number, index, file); };
    noteCard(folder, kept, cards[i], noted_->cards[i], note, replaces, &noted_->failures[i]);
  }
  if (note.isEmpty()) return;
  noted_->note = run_.folder_ + QStringLiteral("/note-%1.json").arg(number);
  QString why;
  const QJsonObject whole{{QStringLiteral("version"), kNoteVersion}, {QStringLiteral("cards"), note}};
  // Forced to disk only when the cards replace files: where nothing is
  // replaced, a note lost with the disk's cache loses nothing old, and a
  // batch into a new folder costs no more than it did before the notes.
  if (!writeWhole(noted_->note, QJsonDocument(whole).toJson(QJsonDocument::Compact), replaces, &why)) {
    noted_->note.clear();
    for (size_t i = 0; i < cards.size(); ++i) {
      if (noted_->cards[i].empty()) continue;
      noted_->cards[i].clear();
      noted_->failures[i] = why;
    }
    return;
  }
  // The note is on disk before any old file is kept aside or new file moves.
  if (replaces) syncFolder(run_.folder_);
}

CardImageFileRun::Group::~Group() {
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
