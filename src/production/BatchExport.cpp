#include "production/BatchExport.h"

#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "platform/Messages.h"
#include "production/CardImageFileRun.h"
#include "production/globals.h"

namespace production {

namespace {

// Cards noted on disk and put in place together at most, and toward the end
// of a run at least (while there are as many to come).
constexpr int kCardsPlacedTogether = 256;
constexpr int kFewestPlacedTogether = 8;
// Cards the workers may render ahead of the group being put in place (each
// card only a file or two waiting in the run's folder): the next group.
constexpr int kCardsAhead = 2 * kCardsPlacedTogether;
// Memory the workers' pictures may take together: a large card at a high
// resolution is made by fewer workers at once.
constexpr double kPictureMemory = 2.0 * 1024 * 1024 * 1024;

}  // namespace

// One rendered card: its files, each prepared in the run's folder, with
// their sizes and checksums, or why it failed.
struct BatchExport::Card {
  CardFilePlaces files;  // (final path, prepared file) each
  std::vector<FileIdentity> identities;
  QString failure;
  bool noRoom = false;  // failed for want of room on the disk
  QStringList cut;      // its bound texts not shown whole, the front's first

  void discard() {
    for (const auto& file : files) discardCardImageFile(file.second);
    files.clear();
  }
};

// The cards of a run on their way from the workers that render them to the
// writer that puts them in place, a group at a time. The workers render at
// most two groups' worth of cards past those the writer has taken.
class BatchExport::Line {
 public:
  Line(int total, int workers) : total_(total), workers_(workers) {}
  ~Line() {
    for (auto& entry : ready_) entry.second.discard();
  }
  Line(const Line&) = delete;
  Line& operator=(const Line&) = delete;

  // For a worker: the next row to render, once there is room for it; none
  // when there is none left, the run is stopped or it ends.
  std::optional<int> nextRow() {
    std::unique_lock lock(mutex_);
    room_.wait(lock, [&] { return ended() || nextRow_ >= total_ || nextRow_ < taken_ + kCardsAhead; });
    if (ended() || nextRow_ >= total_) {
      if (--workers_ == 0) rendered_.notify_all();
      return std::nullopt;
    }
    return nextRow_++;
  }

  void rendered(int row, Card card) {
    {
      std::lock_guard lock(mutex_);
      if (finish_) return card.discard();
      ready_.emplace(row, std::move(card));
    }
    rendered_.notify_one();
  }

  // For the writer: the `count` cards from `row` on once all are rendered;
  // none when the run is stopped first. The workers go on with the next ones.
  std::deque<Card> take(int row, int count) {
    std::deque<Card> cards;
    {
      std::unique_lock lock(mutex_);
      // Every card waited for is being rendered or will be, unless the run
      // is stopped: a worker that renders a card or ends says so.
      int have = 0;
      rendered_.wait(lock, [&] {
        while (have < count && ready_.count(row + have) != 0) ++have;
        return have == count || ended() || workers_ == 0;
      });
      if (have < count || ended()) return cards;
      for (int r = row; r < row + count; ++r) {
        auto card = ready_.find(r);
        cards.push_back(std::move(card->second));
        ready_.erase(card);
      }
      taken_ = row + count;
    }
    room_.notify_all();
    return cards;
  }

  // The workers take no more rows, and once they have ended, the cards
  // rendered and not taken go with their files (a full disk needs their room).
  void dropTheRest() {
    finish();
    std::unique_lock lock(mutex_);
    rendered_.wait(lock, [&] { return workers_ == 0; });
    for (auto& entry : ready_) entry.second.discard();
    ready_.clear();
  }

  void finish() {
    {
      std::lock_guard lock(mutex_);
      finish_ = true;
    }
    room_.notify_all();
    rendered_.notify_all();
  }

 private:
  bool ended() const { return finish_ || Stop_SMS_Sending_Now.load(); }

  const int total_;
  std::mutex mutex_;
  std::condition_variable room_, rendered_;
  std::map<int, Card> ready_;  // rendered cards not yet taken
  int workers_;                // workers still taking rows
  int nextRow_ = 0;            // next row a worker takes
  int taken_ = 0;              // first row not yet taken by the writer
  bool finish_ = false;
};

BatchExport::BatchExport(const std::shared_ptr<const RunSnapshot>& snapshot, BatchExportRequest request)
    : snapshot_(exportSnapshot(*snapshot, request.dpi)),
      request_(std::move(request)),
      format_(cardImageFormatFor(request_.extension)) {}

QString BatchExport::cardFilePath(const QString& folder, int row, const QString& extension) {
  return QStringLiteral("%1/Card_%2.%3").arg(folder).arg(row + 1).arg(extension);
}

BatchExport::Card BatchExport::renderCard(int row, const QString& staging) const {
  Card card;
  const QString base = cardFilePath(request_.folder, row, request_.extension);
  const QString& side = request_.side;
  const bool both = side == QLatin1String("BOTH");
  const auto failWith = [&](const QString& path, const QString& reason) {
    card.discard();
    card.failure = QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(), reason);
    card.noRoom = reason == QString::fromLocal8Bit(std::strerror(ENOSPC));
    return card;
  };
  QString reason;
  // Encoded and written beside its place here, on the worker; the writer
  // only puts it in place, in row order.
  const auto prepare = [&](const QImage& picture, const QString& path, AlphaChannel alpha) {
    FileIdentity made;
    const QString prepared =
        prepareCardImageFile(encodeCardImage(picture, format_, alpha), path, staging, &reason, &made);
    if (prepared.isEmpty()) return false;
    card.files.emplace_back(path, prepared);
    card.identities.push_back(made);
    return true;
  };
  QImage back;
  QStringList backCut;
  if (both || side == QLatin1String("B")) {
    back = exportedSide(*snapshot_, row, CardSide::Back, request_.dpi, &reason, &backCut);
    const QString path = Create_Back_Card_Path(base);
    if (back.isNull()) return failWith(path, reason);
    if (!(both && request_.combined) && !prepare(back, path, AlphaChannel::DroppedWhenOpaque))
      return failWith(path, reason);
  }
  if (both || side == QLatin1String("F")) {
    const QImage front = exportedSide(*snapshot_, row, CardSide::Front, request_.dpi, &reason, &card.cut);
    if (front.isNull()) return failWith(base, reason);
    const bool combined = both && request_.combined;
    const QImage picture = combined ? combinedCardPicture(front, back) : front;
    if (picture.isNull()) return failWith(base, QStringLiteral("the picture could not be made"));
    if (!prepare(picture, base, combined ? AlphaChannel::Kept : AlphaChannel::DroppedWhenOpaque))
      return failWith(base, reason);
  }
  card.cut += backCut;
  return card;
}

int BatchExport::workersForPictureMemory() const {
  const double perPoint = request_.dpi / 72.0;
  const QSizeF side = snapshot_->card.frontContext.size.expandedTo(snapshot_->card.backContext.size);
  // Both sides, the combined picture and the encoder's rows: about six sides' worth of 32-bit pixels.
  const double perWorker = 6.0 * 4.0 * side.width() * perPoint * side.height() * perPoint;
  return perWorker > 0 ? static_cast<int>(std::clamp(kPictureMemory / perWorker, 1.0, 64.0)) : 64;
}

BatchExportResult BatchExport::run() {
  BatchExportResult result;
  Stop_SMS_Sending_Now.store(false);
  result.total = snapshot_->rows->cardCount();
  list_count.store(result.total);
  curr_barcode_count.store(0);

  const int threads =
      std::min(std::clamp(request_.workers > 0 ? request_.workers
                                               : static_cast<int>(std::thread::hardware_concurrency()),
                          1, 64),
               workersForPictureMemory());

  // Puts right what an earlier batch that died here left half done; this
  // run's files are prepared in a hidden folder of its own, one inside it
  // for each worker when there are several (threads that make new files in
  // one folder wait for each other in the file system, while renaming files
  // into it stays quick). It waits for another program's export into the
  // folder until it is stopped.
  QString why;
  const std::unique_ptr<CardImageFileRun> files =
      CardImageFileRun::open(request_.folder, &why, &result.earlier, {&Stop_SMS_Sending_Now, -1});
  if (!files && why == QLatin1String(kFolderBusy)) {
    result.stopped = result.stoppedWaiting = true;
    result.skipped = result.total;
    return result;
  }
  if (!files) {
    qCWarning(lcProduction).noquote() << QStringLiteral("%1: %2").arg(request_.folder, why);
    result.failed = result.total;
    result.firstFailure = QStringLiteral("%1: %2").arg(QFileInfo(request_.folder).fileName(), why);
    return result;
  }
  const int workers = std::min(threads, std::max(result.total, 1));
  // Cards rendered after the last one written are dropped with their files
  // when the line goes (before the run's files).
  Line line(result.total, workers);
  std::vector<std::thread> pool;
  pool.reserve(static_cast<size_t>(workers));
  for (int t = 0; t < workers; ++t)
    pool.emplace_back(
        [&](const QString& folder) {
          while (const std::optional<int> row = line.nextRow()) line.rendered(*row, renderCard(*row, folder));
        },
        workers > 1 ? files->threadFolder(t) : files->folder());

  // The cards are put in place a group at a time, while the workers render
  // the next group. A card that finds no room on the disk makes the run go on
  // card by card on this thread from that card on, with nothing rendered
  // ahead and each card's old sides gone once it has taken its places, so
  // that it needs no more room than one card.
  const QString noRoom = QString::fromLocal8Bit(std::strerror(ENOSPC));
  bool fullDisk = false;
  int row = 0;
  while (row < result.total && !result.stopped) {
    const int toCome = result.total - row;
    curr_barcode_count.store(row + 1);
    std::deque<Card> cards;
    if (fullDisk)
      cards.push_back(renderCard(row, files->folder()));
    else
      cards = line.take(
          row, std::min({kCardsPlacedTogether, std::max(kFewestPlacedTogether, (toCome + 1) / 2), toCome}));
    if (cards.empty()) {  // stopped while waiting
      result.stopped = true;
      break;
    }
    std::vector<CardFilePlaces> placing;
    std::vector<std::vector<FileIdentity>> identities;
    for (Card& card : cards) {
      placing.push_back(std::move(card.files));
      identities.push_back(std::move(card.identities));
    }
    // The group goes (with the old sides its cards replaced) before a full disk is seen to.
    bool again = false;
    {
      CardImageFileRun::Group group(*files, placing, &identities);
      for (size_t i = 0; i < cards.size(); ++i, ++row) {
        if (Stop_SMS_Sending_Now.load()) {
          result.stopped = true;
          break;
        }
        curr_barcode_count.store(row + 1);
        // The files of a card take their places all or none.
        QString failure = cards[i].failure;
        QString failedPath, reason;
        if (failure.isEmpty() && !group.place(i, &failedPath, &reason))
          failure = QStringLiteral("%1: %2").arg(QFileInfo(failedPath).fileName(), reason);
        if (reason == QLatin1String(kFolderBusy)) {  // stopped while waiting for the folder
          result.stopped = result.stoppedWaiting = true;
          break;
        }
        if (!fullDisk && (cards[i].noRoom || reason == noRoom)) {
          again = true;  // made again, card by card
          break;
        }
        if (failure.isEmpty()) {
          ++result.written;
          result.cut.add(row, cards[i].cut);
          if (onCardWritten) onCardWritten(result.written);
        } else {
          ++result.failed;
          qCWarning(lcProduction).noquote() << failure;
          if (result.firstFailure.isEmpty()) result.firstFailure = failure;
        }
      }
    }
    if (!again) continue;
    fullDisk = true;
    line.dropTheRest();
    files->removeOldSidesAtOnce();
  }

  line.finish();
  for (std::thread& t : pool) t.join();
  result.skipped = result.total - result.written - result.failed;
  files->reviewEarlier(result.earlier);
  return result;
}

QString batchExportMessage(const BatchExportResult& result) {
  const QString earlier = earlierExportsNote(result.earlier);
  if (result.written == result.total && result.failed == 0)
    return withClosingNote(withClosingNote(QStringLiteral("Card has been exported successfully."), earlier),
                           result.cut.note());
  QString text = QStringLiteral("%1 of %2 cards have been exported: %3 failed, %4 skipped.")
                     .arg(result.written)
                     .arg(result.total)
                     .arg(result.failed)
                     .arg(result.skipped);
  if (result.stoppedWaiting)
    text += QStringLiteral("\nThe export was stopped while another export was placing cards in the folder.");
  else if (result.stopped)
    text += QStringLiteral("\nThe export was stopped.");
  if (!result.firstFailure.isEmpty()) text += QStringLiteral("\nFirst failure: %1").arg(result.firstFailure);
  return withClosingNote(withClosingNote(text, earlier), result.cut.note());
}

}  // namespace production
