#pragma once
// The card image files that one export writes into one folder, put in place
// so that a program killed at any moment, or a second program exporting into
// the same folder, never leaves a card with sides of two runs.
//
// A run works in a hidden folder of its own inside the cards' folder
// (".Card_files_XXXXXX") with a lock file that the run holds for its life
// (an advisory lock, let go by the system however the process ends). The
// folder and its lock are made while the cards' folder is locked, so a run
// folder found without a held lock, with that folder lock held, belongs to
// a run that has ended.
//
// The new files are prepared in the run's folder, each under a name that
// says the checksum of its bytes. Before the cards of a group take their
// places, one note says for each card with more than one file which places
// its files take, the prepared file's name, the new file's size and
// checksum (what a disk mounted again does not change), and whether the
// place held no file. The note is written under a passing name (forced to
// disk when the group replaces files), and only then given its name (with
// the next number). Each card then takes its places with the cards' folder
// locked: each new file swaps places with the old one in one step, so the
// old side lands in the run's folder under the prepared file's name (where
// the disk swaps no files, the old side moves aside first, beside it with
// ".old"). Once the group is placed, the old sides go, then the note, then
// the prepared files that took no place, off the path of the cards that
// follow: while a note is there, a prepared file it names with its new
// bytes has taken no place.
//
// Only with the cards' folder locked does a run settle the runs that have
// ended there: those whose lock no one holds, whatever became of the lock
// file. A card of their notes whose new files are all in place is whole,
// and one whose files its run all placed is left too (what came since is
// not its run's to undo). Otherwise each place whose bytes its run changed
// gets back what it held (a place where the new file has the bytes of the
// old side was not changed), and so does a place left without a file. The
// run's folder is then removed. An old side there that no note names (one
// moved aside, or whose bytes are not those its name says) is one whose
// note was damaged after its run ended (any file no note names, where a
// note is there that cannot be read; a prepared file is otherwise one that
// took no place): its place, or the other of its card's, holds a file newer
// than the run's start. A run that leaves such places, whose card cannot be
// put back, or whose folder cannot be read, is put out of reach of every
// later settling (renamed to ".Cards_not_put_right_XXXXXX"), so that no old
// side is ever put over a newer card, and said to be until an export has
// replaced every file it concerns. Settling reads no count from a file: its
// work is that of the files there are.
//
// Each run under way is noted in the program's own state folder, so that
// the next start settles a folder whose export did not finish.

#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <future>
#include <memory>
#include <utility>
#include <vector>

namespace production {

class RunFolderLock;

// A file told by what a disk mounted again does not change: its size and a
// checksum of its contents.
struct FileIdentity {
  qint64 size = -1;  // -1: no file
  quint32 checksum = 0;
  bool operator==(const FileIdentity&) const = default;
};
FileIdentity identityOf(const QByteArray& data);

// An export that did not finish and could not be put right.
struct UnsettledExport {
  QString cards;      // the cards' folder
  QString kept;       // what the export left, kept out of reach of any settling
  QStringList files;  // card files it replaced and no export has replaced since; empty when not known
};

// What was found of the runs that ended in a folder before.
struct EarlierRuns {
  int cardsPutRight = 0;  // cards left half replaced that got their old sides back
  std::vector<UnsettledExport> unsettled;
};

// What an export says of earlier exports into its folder: the cards put right
// and those that could not be, with what the user can do. Empty when nothing.
// With `folder`, as the start says it of a folder it settled.
QString earlierExportsNote(const EarlierRuns& earlier, const QString& folder = {});

// What ends a run's wait for the cards' folder while another program's
// export holds it (placing a card there, or settling what a dead run left):
// `stop` once set (a batch's Stop), and `longestMs` for each wait (an export
// on the window's thread); -1 for no limit but `stop`.
struct FolderWait {
  const std::atomic<bool>* stop = nullptr;
  int longestMs = 2000;
};

// The reason for a run not opened, or a card not placed, when the wait for
// the cards' folder ended first.
inline constexpr char kFolderBusy[] = "another export is placing cards in the folder";

// The files of one card: (place, prepared file) each, all in the run's cards' folder.
using CardFilePlaces = std::vector<std::pair<QString, QString>>;

class CardImageFileRun {
 public:
  // Opens a run in `folder`; with `settled`, what dead runs left there is
  // put right first (once the wait has the cards' folder locked; nothing
  // when it ended first) and said there, opened or not. Null, with the
  // reason, when its folder cannot be made. The run waits for the cards'
  // folder as `wait` says, here and for each card.
  static std::unique_ptr<CardImageFileRun> open(const QString& folder, QString* reason = nullptr,
                                                EarlierRuns* settled = nullptr, FolderWait wait = {});
  // Removes the run's folder with whatever is still in it.
  ~CardImageFileRun();
  CardImageFileRun(const CardImageFileRun&) = delete;
  CardImageFileRun& operator=(const CardImageFileRun&) = delete;

  // Looks again at the exports that could not be put right (`earlier`, as
  // open() said them), once this run has placed its cards: those whose
  // files it replaced are no longer said.
  void reviewEarlier(EarlierRuns& earlier) const;

  // The run's folder, where its files are prepared.
  const QString& folder() const { return folder_; }
  // A folder of the run for one of several threads that prepare files at
  // once (making files in one folder, they would wait for each other); the
  // run's folder when it cannot be made.
  QString threadFolder(int thread) const;

  // On a full disk: the old sides of each group go as soon as it has taken
  // its places, before the next group is noted, and those of groups placed
  // before are gone on return.
  void removeOldSidesAtOnce();

  // Puts the files of one card in their places, all or none: one that cannot
  // take its place puts back the files replaced before it. Every prepared
  // file is used or discarded, and `files` is emptied. False with the path of
  // the file that failed and the reason.
  bool place(CardFilePlaces& files, QString* failedPath = nullptr, QString* reason = nullptr);

  // Several cards noted on disk together when the group is made, then put in
  // place one by one. `identities`, when given, holds the new files' size
  // and checksum for each card (otherwise the files are read). The prepared
  // files of the cards not put in place go with the group, and so do the old
  // sides that those put in place replaced.
  class Group {
   public:
    Group(CardImageFileRun& run, std::vector<CardFilePlaces>& cards,
          const std::vector<std::vector<FileIdentity>>* identities = nullptr);
    ~Group();
    Group(const Group&) = delete;
    Group& operator=(const Group&) = delete;

    // Card `card` of the group in its places, as place() above; kFolderBusy
    // when the wait for the cards' folder ended first (nothing placed).
    bool place(size_t card, QString* failedPath = nullptr, QString* reason = nullptr);

   private:
    struct Noted;
    // The card's prepared files that took no place go: after the note when
    // it names them, else at once.
    void giveUp(size_t card);

    CardImageFileRun& run_;
    std::vector<CardFilePlaces>& cards_;
    std::unique_ptr<Noted> noted_;
  };

 private:
  CardImageFileRun(QString cards, QString folder, std::unique_ptr<RunFolderLock> lock, FolderWait wait);
  // Removes the old sides a group left, then its note and the prepared files
  // that took no place, on a thread of its own unless old sides go at once;
  // one group after the other.
  void removeAfterGroup(std::vector<QString> oldSides, QString note, std::vector<QString> unplaced);

  QString cards_;                        // the folder the cards go to
  QString folder_;                       // the run's own folder inside it
  std::unique_ptr<RunFolderLock> lock_;  // held for the run's life
  int cardsFolder_ = -1;                 // the cards' folder, open for its lock
  FolderWait wait_;                      // how long it waits for that lock
  QString unfinished_;                   // the run's entry among the unfinished exports
  int notes_ = 0;                        // notes written so far
  bool oldSidesAtOnce_ = false;
  std::future<void> removing_;  // the old sides of the last group placed going
  // Set when a card could not be put back: the run's folder stays for the
  // next run to settle.
  bool keepFolder_ = false;
};

// The folder where each export under way is noted until it has finished:
// "Unfinished exports" in the program's own state folder ($XDG_STATE_HOME,
// or ~/.local/state, then "quvo-gratulo").
QString unfinishedExportsFolder();

// Start-up (with an application object): settles the folders of exports
// that did not finish, each on a thread of its own, so that a disk that does
// not answer holds up only its own folder, and neither the start nor the
// end: the threads are never waited for, and once the application object
// has ended they reach nothing of the program (they go on with the files
// alone). A folder that another program has locked is not waited for, and
// is left for a later start, as is a folder that is not there now. Entries
// that earlier versions made in the resource folder's "Unfinished exports"
// are removed (this version cannot read their notes). What was put right,
// or could not be, is logged as soon as it is known, and `tell` gets it
// (maybe empty) once, on the application's thread, from its event loop:
// when every folder has answered, or, once something was found, two seconds
// after the start at the latest (what a folder that answers later finds is
// logged only).
void settleUnfinishedExportsInTheBackground(std::function<void(const QString&)> tell);

// Called after each change to the files beside the cards (a new side takes
// its place, an old one is put back, or a new one is taken away where there
// was none); tests stop a run there. None by default; set it before a run
// starts.
void setCardFilePlacedObserver(std::function<void()> observer);

}  // namespace production
