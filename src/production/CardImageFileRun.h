#pragma once
// The card image files that one export writes into one folder, put in place
// so that a program killed at any moment, or a second program exporting into
// the same folder, leaves nothing that cannot be put right: every card keeps
// both sides from one run.
//
// A run works in a hidden folder of its own inside the cards' folder
// (".Card_files_XXXXXX"), locked for as long as the run lives (an advisory
// lock that the system lets go when the process ends, however it ends; a
// folder whose lock is not there yet is that of a run just starting). The
// new files are prepared there. Before the files of cards with two sides
// take their places, the run writes down which places the new files take
// (one note for the cards put in place together, given its name only once
// whole, or written into a blank note made ahead, its first character
// last; forced to disk when the cards replace files, on a thread of its
// own while the cards before take their places). Each card then
// takes its places with the cards' folder locked against other programs'
// runs: the files at its places are kept aside in the run's folder (a second
// link) and the new ones take their places. Once the cards are in place the
// kept files go, then the note. A run that later finds the folder of a run
// nobody holds any more settles each card of its notes, with the cards'
// folder locked: a card whose new files are all in place is kept; one whose
// new files took only some of their places gets back what was there just
// before. It then removes the folder, its lock last. A folder whose notes
// cannot all be read is kept, and said to be. A run under way is also noted
// in the resource folder, so that the program's next start settles it.

#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace production {

// What a run found of the runs that ended in its folder before it.
struct EarlierRuns {
  int cardsPutRight = 0;  // cards left half replaced that got their old files back
  QStringList unsettled;  // folders of runs whose cards could not be told or put back; kept
};

// The files of one card: (place, prepared file) each, all in the run's cards' folder.
using CardFilePlaces = std::vector<std::pair<QString, QString>>;

class CardImageFileRun {
 public:
  // Puts right what dead runs left in `folder`, then opens this run's own
  // folder there. Null, with the reason, when that folder cannot be made.
  // A run under way is noted in the resource folder until it has finished
  // (settleUnfinishedExports).
  static std::unique_ptr<CardImageFileRun> open(const QString& folder, QString* reason = nullptr);
  // Puts right what dead runs left in `folder`.
  static EarlierRuns settle(const QString& folder);
  // Removes the run's folder with whatever is still in it.
  ~CardImageFileRun();
  CardImageFileRun(const CardImageFileRun&) = delete;
  CardImageFileRun& operator=(const CardImageFileRun&) = delete;

  // What the run put right of the runs that ended before it.
  const EarlierRuns& earlier() const { return earlier_; }

  // The run's folder, where its files are prepared.
  const QString& folder() const { return folder_; }
  // For a run of many cards into a folder that holds files already (its
  // cards may replace them): notes are made ahead from the start, while the
  // first cards are prepared, so that none waits for the file system to
  // record a new note file.
  void noteAhead();

  // A folder of the run for one of several threads that prepare files at
  // once (making files in one folder, they would wait for each other); the
  // run's folder when it cannot be made.
  QString threadFolder(int thread) const;

  // Puts the files of one card in their places, all or none: one that cannot
  // take its place puts back the files replaced before it. Every prepared
  // file is used or discarded, and `files` is emptied. False with the path of
  // the file that failed and the reason.
  bool place(CardFilePlaces& files, QString* failedPath = nullptr, QString* reason = nullptr);

  // Several cards put in place one after the other, noted on disk together
  // when the group is made (one forced write for all of them, which the
  // first card waits for). The prepared files of the cards not put in place
  // go with the group. Groups may be made on one thread and put in place on
  // another, one group at a time.
  class Group {
   public:
    Group(CardImageFileRun& run, std::vector<CardFilePlaces>& cards);
    ~Group();
    Group(const Group&) = delete;
    Group& operator=(const Group&) = delete;

    // Card `card` of the group in its places, as place() above.
    bool place(size_t card, QString* failedPath = nullptr, QString* reason = nullptr);

   private:
    struct Noted;
    CardImageFileRun& run_;
    std::vector<CardFilePlaces>& cards_;
    std::unique_ptr<Noted> noted_;
  };

 private:
  class Lock;
  class FolderLock;
  class BlankNotes;
  struct EndedRun;
  CardImageFileRun(QString cards, QString folder, std::unique_ptr<Lock> lock);
  // Settles the cards of each run in `folder` that has ended without
  // finishing (a card left half replaced gets its old files back) and
  // removes the run's folder; runs still alive are left alone. The folder
  // is locked (FolderLock) meanwhile.
  static EarlierRuns settleEndedRuns(const QString& folder);

  QString cards_;                           // the folder the cards go to
  QString folder_;                          // the run's own folder inside it
  std::unique_ptr<Lock> lock_;              // held for the run's life
  int cardsFolder_ = -1;                    // the cards' folder, open for its lock
  QString unfinished_;                      // the run's note in the resource folder
  int notes_ = 0;                           // notes written so far
  std::atomic<bool> folderSynced_ = false;  // the run's folder forced to disk in the cards' folder
  int forcedNotes_ = 0;                     // notes forced to disk before notes were made ahead
  std::unique_ptr<BlankNotes> blankNotes_;  // made once notes are forced to disk more than once
  EarlierRuns earlier_;
  // Set when a card could not be put back: the run's folder stays, so that
  // the next run finishes the job.
  std::atomic<bool> keepFolder_ = false;
};

// Start-up: puts right what runs of earlier starts of the program left in
// their folders when the program ended before they had finished, so that
// no card stays half replaced until the next export into its folder.
EarlierRuns settleUnfinishedExports();

// Called after each change to the files beside the cards (a new side takes
// its place, an old one is put back, or a new one is taken away where there
// was none); tests stop a run there. None by default; set it
// before a run starts.
void setCardFilePlacedObserver(std::function<void()> observer);

}  // namespace production
