#include "production/BatchExport.h"

#include <QFileInfo>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "platform/Messages.h"
#include "production/CardImageFileRun.h"
#include "production/globals.h"

namespace production {

namespace {

// How long the writer waits for a card before looking at the stop flag again.
constexpr auto kStopPoll = std::chrono::milliseconds(50);
// Cards a worker may render ahead of the writer (each only a file or two
// waiting in the run's folder).
constexpr int kCardsAheadPerWorker = 32;
// Cards put in place together at most.
constexpr size_t kCardsPlacedTogether = 256;
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
  const int window = threads * kCardsAheadPerWorker;

  std::mutex mutex;
  std::condition_variable changed;
  std::map<int, Card> ready;  // rendered cards not yet written
  int nextRow = 0;            // next row a worker takes
  int writing = 0;            // next row the writer writes
  bool finish = false;

  const auto worker = [&](const QString& folder) {
    for (;;) {
      int row = 0;
      {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return finish || nextRow >= result.total || nextRow < writing + window; });
        if (finish || nextRow >= result.total) return;
        row = nextRow++;
      }
      Card card = renderCard(row, folder);
      {
        std::lock_guard lock(mutex);
        ready.emplace(row, std::move(card));
      }
      changed.notify_all();
    }
  };

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
  const int workers = std::min(threads, std::max(result.total, 1));
  std::vector<std::thread> pool;
  pool.reserve(static_cast<size_t>(workers));
  for (int t = 0; t < workers; ++t)
    pool.emplace_back(worker, workers > 1 ? files->threadFolder(t) : files->folder());

  for (int row = 0; row < result.total && !result.stopped;) {
    // The next card, waited for, with the cards rendered right after it: put
    // in place together, they are noted on disk once for all.
    curr_barcode_count.store(row + 1);
    std::vector<Card> group;
    {
      std::unique_lock lock(mutex);
      while (ready.find(row) == ready.end() && !Stop_SMS_Sending_Now.load())
        changed.wait_for(lock, kStopPoll);
      // The cards that follow it are waited for a short time, as many as
      // the workers may render ahead.
      const size_t wanted = std::min(
          {kCardsPlacedTogether, static_cast<size_t>(window), static_cast<size_t>(result.total - row)});
      const auto readyInOrder = [&] {
        size_t count = 0;
        for (auto next = ready.find(row); next != ready.end() && next->first == row + static_cast<int>(count);
             ++next)
          ++count;
        return count;
      };
      const auto until = std::chrono::steady_clock::now() + kGathering;
      while (!Stop_SMS_Sending_Now.load() && readyInOrder() < wanted &&
             std::chrono::steady_clock::now() < until)
        changed.wait_until(lock, std::min(until, std::chrono::steady_clock::now() + kStopPoll));
      for (auto next = ready.find(row);
           next != ready.end() && next->first == row + static_cast<int>(group.size()) &&
           group.size() < kCardsPlacedTogether;
           next = ready.erase(next))
        group.push_back(std::move(next->second));
      writing = row + static_cast<int>(group.size());
    }
    changed.notify_all();
    if (group.empty()) {  // stopped while waiting
      result.stopped = true;
      break;
    }
    std::vector<CardFilePlaces> placing;
    for (Card& card : group) placing.push_back(std::move(card.files));
    CardImageFileRun::Group together(*files, placing);

    for (size_t i = 0; i < group.size(); ++i, ++row) {
      if (Stop_SMS_Sending_Now.load()) {
        result.stopped = true;
        break;
      }
      curr_barcode_count.store(row + 1);
      // The files of a card take their places all or none.
      QString failure = group[i].failure;
      QString failedPath, reason;
      if (failure.isEmpty() && !together.place(i, &failedPath, &reason))
        failure = QStringLiteral("%1: %2").arg(QFileInfo(failedPath).fileName(), reason);
      if (failure.isEmpty()) {
        ++result.written;
        result.cut.add(row, group[i].cut);
        if (onCardWritten) onCardWritten(result.written);
      } else {
        ++result.failed;
        qCWarning(lcProduction).noquote() << failure;
        if (result.firstFailure.isEmpty()) result.firstFailure = failure;
      }
    }
  }

  {
    std::lock_guard lock(mutex);
    finish = true;
  }
  changed.notify_all();
  for (std::thread& t : pool) t.join();
  // Cards rendered after the last one written are dropped with their files.
  for (auto& entry : ready) entry.second.discard();
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
