#include "production/BatchExport.h"

#include <QFileInfo>
#include <algorithm>
#include <chrono>
#include <condition_variable>
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

// How long the writer waits for a card or a group before looking at the stop
// flag again.
constexpr auto kStopPoll = std::chrono::milliseconds(50);
// Cards the workers may render ahead of the writer, each worker and at
// least twice a group (each card only a file or two waiting in the run's
// folder).
constexpr int kCardsAheadPerWorker = 64;
// Cards put in place together at most, and toward the end of a run at least
// (while there are as many to come).
constexpr size_t kCardsPlacedTogether = 256;
constexpr size_t kFewestPlacedTogether = 8;
// Groups noted on disk ahead of the one taking its places.
constexpr size_t kGroupsNotedAhead = 16;
// How long the writer waits for more cards to put in place together after
// the next one is ready: the note that covers them is forced to disk once.
constexpr auto kGathering = std::chrono::milliseconds(200);
// Memory the workers' pictures may take together: a large card at a high
// resolution is made by fewer workers at once.
constexpr double kPictureMemory = 2.0 * 1024 * 1024 * 1024;

}  // namespace

// One rendered card: its files, each prepared in the run's folder, or why it failed.
struct BatchExport::Card {
  CardFilePlaces files;  // (final path, prepared file) each
  QString failure;
  QStringList cut;  // its bound texts not shown whole, the front's first

  void discard() {
    for (const auto& file : files) discardCardImageFile(file.second);
    files.clear();
  }
};

// Rendered cards noted on disk together, to be put in place one by one: their
// files (taken out of the cards as they are noted) and their note.
struct BatchExport::Group {
  std::vector<Card> cards;
  std::vector<CardFilePlaces> placing;
  std::unique_ptr<CardImageFileRun::Group> together;
};

// The cards of a run on their way from the workers that render them, through
// the noter that notes them on disk in groups, to the writer that puts them
// in place, and the groups placed, to be cleared away. Each thread waits on
// a condition of its own: a card rendered (the noter), cards taken into a
// group (the workers), a group noted (the writer), a group taken to its
// places or placed (the noter). All of them are told when the run ends.
class BatchExport::Line {
 public:
  // `total` cards; the workers render at most `window` ahead of the cards
  // taken into groups.
  Line(int total, int window) : total_(total), window_(window) {}
  ~Line() {
    placed_.clear();
    noted_.clear();
    for (auto& entry : ready_) entry.second.discard();
  }
  Line(const Line&) = delete;
  Line& operator=(const Line&) = delete;

  // For a worker: the next row to render, once the window allows it; none
  // when there is none left or the run ends.
  std::optional<int> nextRow() {
    std::unique_lock lock(mutex_);
    taken_.wait(lock, [&] { return finish_ || nextRow_ >= total_ || nextRow_ < writing_ + window_; });
    if (finish_ || nextRow_ >= total_) return std::nullopt;
    return nextRow_++;
  }

  void rendered(int row, Card card) {
    {
      std::lock_guard lock(mutex_);
      ready_.emplace(row, std::move(card));
    }
    renderedOne_.notify_one();
  }

  // For the noter: card `row` and those rendered right after it, once there
  // is room for another group; none when stopped or the run ends.
  std::unique_ptr<Group> takeGroup(int row) {
    auto group = std::make_unique<Group>();
    {
      std::unique_lock lock(mutex_);
      placing_.wait(lock, [&] { return finish_ || noted_.size() < kGroupsNotedAhead; });
      while (!ended() && ready_.find(row) == ready_.end()) renderedOne_.wait_for(lock, kStopPoll);
      // The cards that follow it are waited for a short time: half as many
      // as the workers may render ahead (they go on with the other half
      // meanwhile), and toward the end half of those still to come, so that
      // the last cards take their places soon after they are rendered.
      const size_t toCome = static_cast<size_t>(total_ - row);
      const size_t wanted = std::min({kCardsPlacedTogether, static_cast<size_t>(window_) / 2,
                                      std::max(kFewestPlacedTogether, (toCome + 1) / 2), toCome});
      // Counted on from where the last count ended: cards are only added.
      size_t inOrder = 0;
      const auto readyInOrder = [&] {
        while (ready_.count(row + static_cast<int>(inOrder)) != 0) ++inOrder;
        return inOrder;
      };
      const auto until = std::chrono::steady_clock::now() + kGathering;
      while (!ended() && readyInOrder() < wanted && std::chrono::steady_clock::now() < until)
        renderedOne_.wait_until(lock, std::min(until, std::chrono::steady_clock::now() + kStopPoll));
      if (ended()) return nullptr;
      for (auto next = ready_.find(row);
           next != ready_.end() && next->first == row + static_cast<int>(group->cards.size()) &&
           group->cards.size() < wanted;
           next = ready_.erase(next))
        group->cards.push_back(std::move(next->second));
      writing_ = row + static_cast<int>(group->cards.size());
    }
    taken_.notify_all();
    return group;
  }

  // For the noter: a group noted on disk, or the last one noted.
  void noted(std::unique_ptr<Group> group) {
    {
      std::lock_guard lock(mutex_);
      noted_.push_back(std::move(group));
    }
    notedOne_.notify_one();
  }
  void notingEnded() {
    {
      std::lock_guard lock(mutex_);
      notingEnded_ = true;
    }
    notedOne_.notify_one();
  }

  // For the writer: the next group noted on disk; none when stopped, or
  // when the noter has ended.
  std::unique_ptr<Group> nextNoted() {
    std::unique_ptr<Group> group;
    {
      std::unique_lock lock(mutex_);
      while (noted_.empty() && !notingEnded_ && !Stop_SMS_Sending_Now.load())
        notedOne_.wait_for(lock, kStopPoll);
      if (noted_.empty() || Stop_SMS_Sending_Now.load()) return nullptr;
      group = std::move(noted_.front());
      noted_.pop_front();
    }
    placing_.notify_one();
    return group;
  }

  // For the writer: a group that has taken its places, to be cleared away.
  void placed(std::unique_ptr<Group> group) {
    {
      std::lock_guard lock(mutex_);
      placed_.push_back(std::move(group));
    }
    placing_.notify_one();
  }

  // For the noter: clears away the groups placed so far (the old files
  // kept aside while they took their places, and their notes: that takes a
  // while too). With `untilTheEnd`, waits for them until the run ends.
  void clearPlaced(bool untilTheEnd = false) {
    for (bool ended = false; !ended;) {
      std::vector<std::unique_ptr<Group>> cleared;
      {
        std::unique_lock lock(mutex_);
        if (untilTheEnd) placing_.wait(lock, [&] { return finish_ || !placed_.empty(); });
        ended = !untilTheEnd || finish_;
        cleared.swap(placed_);
      }
    }
  }

  void finish() {
    {
      std::lock_guard lock(mutex_);
      finish_ = true;
    }
    for (std::condition_variable* told : {&renderedOne_, &taken_, &notedOne_, &placing_}) told->notify_all();
  }

 private:
  bool ended() const { return finish_ || Stop_SMS_Sending_Now.load(); }

  const int total_;
  const int window_;
  std::mutex mutex_;
  std::condition_variable renderedOne_, taken_, notedOne_, placing_;
  std::map<int, Card> ready_;                   // rendered cards not yet taken into a group
  std::deque<std::unique_ptr<Group>> noted_;    // groups noted on disk, waiting to take their places
  std::vector<std::unique_ptr<Group>> placed_;  // groups that have taken their places, to be cleared away
  int nextRow_ = 0;                             // next row a worker takes
  int writing_ = 0;                             // next row to be taken into a group
  bool finish_ = false;
  bool notingEnded_ = false;
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
    return card;
  };
  QString reason;
  // Encoded and written beside its place here, on the worker; the writer
  // only puts it in place, in row order.
  const auto prepare = [&](const QImage& picture, const QString& path, AlphaChannel alpha) {
    const QString prepared =
        prepareCardImageFile(encodeCardImage(picture, format_, alpha), path, staging, &reason);
    if (prepared.isEmpty()) return false;
    card.files.emplace_back(path, prepared);
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
  const int window = std::max(threads * kCardsAheadPerWorker, 2 * static_cast<int>(kCardsPlacedTogether));

  // Puts right what an earlier batch that died here left half done; this
  // run's files are prepared in a hidden folder of its own, one inside it
  // for each worker when there are several (threads that make new files in
  // one folder wait for each other in the file system, while renaming files
  // into it stays quick).
  QString why;
  const std::unique_ptr<CardImageFileRun> files = CardImageFileRun::open(request_.folder, &why);
  if (!files) {
    qCWarning(lcProduction).noquote() << QStringLiteral("%1: %2").arg(request_.folder, why);
    result.failed = result.total;
    result.firstFailure = QStringLiteral("%1: %2").arg(QFileInfo(request_.folder).fileName(), why);
    return result;
  }
  result.cardsPutRight = files->earlier().cardsPutRight;
  result.unsettled = files->earlier().unsettled;
  if (result.total > 1) files->noteAhead();
  // Cards rendered after the last one written are dropped with their files,
  // and the notes of groups that did not take their places go, when the
  // line goes (before the run's files).
  Line line(result.total, window);

  const auto worker = [&](const QString& folder) {
    while (const std::optional<int> row = line.nextRow()) line.rendered(*row, renderCard(*row, folder));
  };
  // The noter takes the rendered cards in row order, in groups, and notes
  // each group on disk (forcing a note to disk takes a while; meanwhile the
  // writer below puts the groups before it in place). It also clears away
  // what the groups placed leave behind.
  const auto noter = [&] {
    for (int row = 0; row < result.total;) {
      line.clearPlaced();
      std::unique_ptr<Group> group = line.takeGroup(row);
      if (!group) break;
      row += static_cast<int>(group->cards.size());
      for (Card& card : group->cards) group->placing.push_back(std::move(card.files));
      group->together = std::make_unique<CardImageFileRun::Group>(*files, group->placing);
      line.noted(std::move(group));
    }
    line.notingEnded();
    line.clearPlaced(true);
  };

  const int workers = std::min(threads, std::max(result.total, 1));
  std::vector<std::thread> pool;
  pool.reserve(static_cast<size_t>(workers) + 1);
  for (int t = 0; t < workers; ++t)
    pool.emplace_back(worker, workers > 1 ? files->threadFolder(t) : files->folder());
  pool.emplace_back(noter);

  for (int row = 0; row < result.total && !result.stopped;) {
    // The next group, noted on disk.
    curr_barcode_count.store(row + 1);
    std::unique_ptr<Group> group = line.nextNoted();
    if (!group) {  // stopped while waiting
      result.stopped = true;
      break;
    }
    for (size_t i = 0; i < group->cards.size(); ++i, ++row) {
      if (Stop_SMS_Sending_Now.load()) {
        result.stopped = true;
        break;
      }
      curr_barcode_count.store(row + 1);
      // The files of a card take their places all or none.
      QString failure = group->cards[i].failure;
      QString failedPath, reason;
      if (failure.isEmpty() && !group->together->place(i, &failedPath, &reason))
        failure = QStringLiteral("%1: %2").arg(QFileInfo(failedPath).fileName(), reason);
      if (failure.isEmpty()) {
        ++result.written;
        result.cut.add(row, group->cards[i].cut);
        if (onCardWritten) onCardWritten(result.written);
      } else {
        ++result.failed;
        qCWarning(lcProduction).noquote() << failure;
        if (result.firstFailure.isEmpty()) result.firstFailure = failure;
      }
    }
    line.placed(std::move(group));
  }

  line.finish();
  for (std::thread& t : pool) t.join();
  result.skipped = result.total - result.written - result.failed;
  return result;
}

namespace {

// What the run says of earlier exports into its folder that did not finish.
QString earlierExportsNote(const BatchExportResult& result) {
  QStringList lines;
  if (result.cardsPutRight == 1)
    lines << QStringLiteral(
        "1 card left half replaced by an earlier export that did not finish has been put right.");
  else if (result.cardsPutRight > 1)
    lines << QStringLiteral(
                 "%1 cards left half replaced by an earlier export that did not finish have been put right.")
                 .arg(result.cardsPutRight);
  for (const QString& folder : result.unsettled)
    lines << QStringLiteral(
                 "An earlier export that did not finish could not be put right: what it left is kept "
                 "in \"%1\", and some cards may have sides from two exports.")
                 .arg(folder);
  return lines.join(QLatin1Char('\n'));
}

}  // namespace

QString batchExportMessage(const BatchExportResult& result) {
  const QString earlier = earlierExportsNote(result);
  if (result.written == result.total && result.failed == 0)
    return withClosingNote(withClosingNote(QStringLiteral("Card has been exported successfully."), earlier),
                           result.cut.note());
  QString text = QStringLiteral("%1 of %2 cards have been exported: %3 failed, %4 skipped.")
                     .arg(result.written)
                     .arg(result.total)
                     .arg(result.failed)
                     .arg(result.skipped);
  if (result.stopped) text += QStringLiteral("\nThe export was stopped.");
  if (!result.firstFailure.isEmpty()) text += QStringLiteral("\nFirst failure: %1").arg(result.firstFailure);
  return withClosingNote(withClosingNote(text, earlier), result.cut.note());
}

}  // namespace production
