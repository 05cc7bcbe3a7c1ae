#pragma once
// The batch export run: one set of picture files per data row at the chosen
// resolution, rendered on a pool of worker threads from one snapshot and
// written in row order into the batch folder. The stop flag (Stop_SMS_Sending_Now) is honoured between two
// cards: the run ends after the last card written in order, so a run stopped
// after card k leaves exactly the cards 1 to k. It also ends the wait for
// another program's export that holds the folder (which may be paused).
// Progress goes through curr_barcode_count and list_count, which the
// progress panel reads.
//
// Memory stays flat whatever the row count: a worker holds the pictures of
// one card at a time, and the cards rendered ahead of the writer (the next
// group at most) wait as files in the run's folder.

#include <QString>
#include <functional>
#include <memory>

#include "production/CardFill.h"
#include "production/CardImageFile.h"
#include "production/CardImageFileRun.h"
#include "production/CutTexts.h"

namespace production {

struct BatchExportRequest {
  QString folder;                             // the batch folder, already made
  QString side = QStringLiteral("BOTH");      // "F", "B" or "BOTH"
  bool combined = false;                      // "BOTH" as one picture per card
  QString extension = QStringLiteral("PNG");  // the chosen file type; also the data format
  int workers = 0;                            // render threads; 0 for one per core
  int dpi = 72;                               // pixels per inch of the pictures (72: one per point)
};

struct BatchExportResult {
  int total = 0;
  int written = 0;
  int failed = 0;
  int skipped = 0;  // not made because the run was stopped
  bool stopped = false;
  bool stoppedWaiting = false;  // stopped while another program's export held the folder
  QString firstFailure;         // "<file>: <reason>" of the first failed card
  CutTexts cut;                 // bound texts the written cards do not show whole
  // What was put right before this run's first card of earlier exports into
  // the folder that did not finish, and what could not be and is still so
  // once this run has placed its cards.
  EarlierRuns earlier;
};

class BatchExport {
 public:
  // Renders from its own copy of the snapshot made ready for the request's
  // resolution (exportSnapshot).
  BatchExport(const std::shared_ptr<const RunSnapshot>& snapshot, BatchExportRequest request);

  // The whole run on the calling thread (the workers are its own). Clears
  // the stop flag first; sets list_count and curr_barcode_count. Before its
  // first card it puts right what a batch that died in the folder left
  // (CardImageFileRun); a folder that cannot take the run's own fails every card.
  BatchExportResult run();

  // The front file of card `row` (from 0): <folder>/Card_<row + 1>.<extension>.
  static QString cardFilePath(const QString& folder, int row, const QString& extension);

  // Called after each card written, from the run's thread (tests and benchmarks).
  std::function<void(int written)> onCardWritten;

 private:
  struct Card;
  class Line;
  // The card's files are prepared in `staging`, a folder of the run.
  Card renderCard(int row, const QString& staging) const;
  // How many workers the memory of their pictures allows.
  int workersForPictureMemory() const;

  std::shared_ptr<const RunSnapshot> snapshot_;
  BatchExportRequest request_;
  CardImageFormat format_;
};

// The closing text of a run: "Card has been exported successfully." when every
// card was written, else the counts of written, failed and skipped cards (and
// why it stopped); then what was put right of earlier exports that did not
// finish, or could not be; then the cards whose bound texts were cut, if any.
QString batchExportMessage(const BatchExportResult& result);

}  // namespace production
