// Card image export: single files of each side choice in each format, the
// batch of one card per row with barcodes read back by zxing-cpp, Stop, and
// a batch folder that cannot be made.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <functional>
#include <mutex>
#include <thread>

#include "ProductionTestSupport.h"
#include "core/globals.h"
#include "platform/ChildProcess.h"
#include "platform/globals.h"
#include "platform/widgets/Open_Export_Log.h"
#include "production/BatchExport.h"
#include "production/CardExport.h"
#include "production/CardImageFileRun.h"
#include "production/Send_Modeless.h"
#include "production/globals.h"
#include "support/HangGuard.h"
#include "support/ScriptedHost.h"

using namespace production;
using namespace production_testing;

namespace {

const QString kExported = "Card has been exported successfully.";
const QString kCardBatchRun = QUVO_BINARY_DIR "/tests/card_batch_run";

QRgb pixel(const QString& path, int x, int y) {
  const QImage image(path);
  return image.isNull() ? 0 : image.pixel(x, y) & 0xffffff;
}

// What other programs read in the headers of PNG, TIFF, JPEG and BMP files:
// "<width> <height> <bits a sample> <samples a pixel> <x dpi> <y dpi>" per file.
const char* const kPictureHeaders = R"(
import struct, sys, zlib
def png(d):
    w, h, bits, kind = struct.unpack('>IIBB', d[16:26])
    i, dpi, data = 8, (0, 0), b''
    while i < len(d):
        n, t = struct.unpack('>I4s', d[i:i + 8])
        if t == b'pHYs' and d[i + 16] == 1:
            dpi = [v * 0.0254 for v in struct.unpack('>II', d[i + 8:i + 16])]
        if t == b'IDAT': data += d[i + 8:i + 8 + n]
        i += 12 + n
    samples = {0: 1, 2: 3, 4: 2, 6: 4}[kind]
    assert len(zlib.decompress(data)) == h * (1 + w * samples)  # checksum and length
    return w, h, bits, samples, dpi
def tiff(d):
    e = '<' if d[:2] == b'II' else '>'
    at = struct.unpack(e + 'I', d[4:8])[0]
    tags = {}
    for k in range(struct.unpack(e + 'H', d[at:at + 2])[0]):
        tag, kind, count, value = struct.unpack(e + 'HHI4s', d[at + 2 + 12 * k:at + 14 + 12 * k])
        fmt = {3: 'H', 4: 'I', 5: 'II'}.get(kind)
        if not fmt: continue
        size = struct.calcsize(e + fmt) * count
        raw = value if size <= 4 else d[struct.unpack(e + 'I', value)[0]:][:size]
        tags[tag] = struct.unpack(e + fmt * count, raw[:size])
    per_inch = 1 if tags.get(296, (2,))[0] == 2 else 2.54
    dpi = [tags[t][0] / tags[t][1] * per_inch for t in (282, 283)]
    return tags[256][0], tags[257][0], tags[258][0], tags[277][0], dpi
def jpeg(d):
    i, dpi = 2, (0, 0)
    while True:
        marker, n = d[i + 1], struct.unpack('>H', d[i + 2:i + 4])[0]
        body = d[i + 4:i + 2 + n]
        if marker == 0xE0 and body[:5] == b'JFIF\0' and body[7] == 1:
            dpi = struct.unpack('>HH', body[8:12])
        if marker in (0xC0, 0xC1, 0xC2):
            bits, h, w, samples = struct.unpack('>BHHB', body[:6])
            return w, h, bits, samples, dpi
        i += 2 + n
def bmp(d):
    w, h, planes, count, packing, size, x, y = struct.unpack('<iiHHIIii', d[18:46])
    return w, abs(h), 8, count // 8, [v * 0.0254 for v in (x, y)]
for path in sys.argv[1:]:
    d = open(path, 'rb').read()
    kind = png if d[:4] == b'\x89PNG' else jpeg if d[:2] == b'\xff\xd8' else bmp if d[:2] == b'BM' else tiff
    w, h, bits, samples, dpi = kind(d)
    print('%d %d %d %d %.0f %.0f' % (w, h, bits, samples, dpi[0], dpi[1]))
)";

QStringList pictureHeaders(const QStringList& files) {
  return QString::fromUtf8(testing_support::runPython(kPictureHeaders, files))
      .split('\n', Qt::SkipEmptyParts);
}

// Both sides of the design with a text on the front bound to the series
// "Names" of these values, one card per value.
std::shared_ptr<RunSnapshot> namesSnapshot(FakeDesign& design, const QStringList& names) {
  auto snapshot = std::make_shared<RunSnapshot>();
  snapshot->card.front = {boundText(1, "Names", 0)};
  snapshot->card.frontContext = design.sidePaintContext(CardSide::Front);
  snapshot->card.backContext = design.sidePaintContext(CardSide::Back);
  auto rows = std::make_shared<BindingRows>();
  rows->useSeries = true;
  rows->series["Names"] = names;
  rows->seriesRows = static_cast<int>(names.size());
  snapshot->rows = rows;
  return snapshot;
}

ino_t inode(const QString& path) {
  struct stat info {};
  return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

TEST(CardExport, SingleExportWritesTheChosenSidesInTheChosenFormat) {
  testing_support::ScriptedHost host;
  QTemporaryDir dir;
  FakeDesign design;
  DataBinding binding(design);
  CardExport exporter(design, binding);
  Card_Front_Or_Back.store(1);

  // Front alone, PNG; the finished box names the file.
  const QString png = dir.path() + "/Card.png";
  export_card_side = "F";
  ASSERT_TRUE(exporter.Export_Single_File(png, true));
  EXPECT_TRUE(readFile(png).startsWith("\x89PNG\r\n\x1a\n"));
  EXPECT_EQ(QImage(png).size(), QSize(200, 100));
  EXPECT_EQ(pixel(png, 100, 50), 0xff0000u);
  EXPECT_EQ(design.finishedBoxes, QStringList({kExported + "|" + png}));

  // The back alone goes beside it under "_Back".
  export_card_side = "B";
  ASSERT_TRUE(exporter.Export_Single_File(dir.path() + "/Other.bmp", false));
  EXPECT_TRUE(readFile(dir.path() + "/Other_Back.bmp").startsWith("BM"));
  EXPECT_FALSE(QFileInfo::exists(dir.path() + "/Other.bmp"));
  EXPECT_EQ(pixel(dir.path() + "/Other_Back.bmp", 3, 3), 0x0000ffu);

  // Both sides as two JPEG files.
  export_card_side = "BOTH";
  exporter.combined = false;
  ASSERT_TRUE(exporter.Export_Single_File(dir.path() + "/Two.jpeg", false));
  EXPECT_TRUE(readFile(dir.path() + "/Two.jpeg").startsWith("\xff\xd8\xff"));
  EXPECT_TRUE(readFile(dir.path() + "/Two_Back.jpeg").startsWith("\xff\xd8\xff"));

  // Both in one TIFF picture: front in the upper half, back below.
  exporter.combined = true;
  const QString tiff = dir.path() + "/One.TIFF";
  ASSERT_TRUE(exporter.Export_Single_File(tiff, false));
  const QByteArray head = readFile(tiff).left(4);
  EXPECT_TRUE(head == QByteArray("II*\0", 4) || head == QByteArray("MM\0*", 4));
  EXPECT_EQ(QImage(tiff).size(), QSize(200, 200));
  EXPECT_EQ(pixel(tiff, 100, 50), 0xff0000u);
  EXPECT_EQ(pixel(tiff, 100, 150), 0x0000ffu);
  EXPECT_FALSE(QFileInfo::exists(dir.path() + "/One_Back.TIFF"));

  // A file is replaced by a new one, never rewritten in place: a link to the
  // old file keeps the old data.
  export_card_side = "F";
  exporter.combined = false;
  ASSERT_TRUE(QFile::link(png, dir.path() + "/old-link"));
  ASSERT_TRUE(QFile::copy(png, dir.path() + "/old-copy"));
  const ino_t before = inode(png);
  design.frontColour = Qt::green;
  ASSERT_TRUE(exporter.Export_Single_File(png, false));
  EXPECT_NE(inode(png), before);
  EXPECT_EQ(pixel(png, 100, 50), 0x00ff00u);

  // A write that cannot happen says where and why.
  host.clear();
  const QString blocked = png + "/Card.png";  // under a file
  EXPECT_FALSE(exporter.Export_Single_File(blocked, true));
  EXPECT_EQ(host.messages(),
            QStringList({"\nThe card file \"" + blocked + "\" could not be written: Not a directory"}));
  EXPECT_EQ(design.finishedBoxes.size(), 1);

  // The PNG data gives back every pixel, transparency included (read by Qt's own reader),
  // whatever the picture's format; premultiplied rows may be opaque or translucent.
  QImage varied(37, 23, QImage::Format_ARGB32);
  for (int y = 0; y < varied.height(); ++y)
    for (int x = 0; x < varied.width(); ++x)
      varied.setPixel(x, y, qRgba(x * 7, y * 11, (x * y) % 256, y % 3 ? 255 : (x + y) * 5));
  for (const QImage::Format format :
       {QImage::Format_ARGB32, QImage::Format_ARGB32_Premultiplied, QImage::Format_RGB32,
        QImage::Format_RGBA8888, QImage::Format_Grayscale8}) {
    const QImage picture = varied.convertToFormat(format);
    EXPECT_EQ(QImage::fromData(encodeCardImage(picture, CardImageFormat::Png))
                  .convertToFormat(QImage::Format_RGBA8888),
              picture.convertToFormat(QImage::Format_RGBA8888))
        << format;
  }
  // Runs of many lengths (past the longest copy too), rows that repeat the row
  // above, rows too long to be copied whole; opaque (RGB) and translucent.
  quint32 seed = 1;
  const auto next = [&seed](int most) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>(seed >> 16) % most;
  };
  for (const int width : {900, 11000}) {
    QImage runs(width, 16, QImage::Format_ARGB32);
    for (int y = 0; y < runs.height(); ++y) {
      QRgb colour = 0;
      for (int x = 0, left = 0; x < width; ++x, --left) {
        if (left <= 0) {
          left = 1 + next(400);
          colour = qRgba(next(4) * 60, next(2) * 200, 30, y < 8 ? 255 : next(256));
        }
        runs.setPixel(x, y, y % 4 == 1 ? runs.pixel(x, y - 1) : colour);
      }
    }
    for (const QImage& picture : {runs.copy(0, 0, width, 8), runs})
      EXPECT_EQ(QImage::fromData(encodeCardImage(picture, CardImageFormat::Png))
                    .convertToFormat(QImage::Format_RGBA8888),
                picture.convertToFormat(QImage::Format_RGBA8888))
          << width << " x " << picture.height();
  }

  EXPECT_EQ(Card_Front_Or_Back.load(), 1);
  Card_Front_Or_Back.store(0);
  export_card_side = "F";
}

// Both sides as two files are written both or neither, with one message
// naming the file and the reason: a disk that is full after the back (the
// process's file size limit between the sizes of the two files), or a front
// whose place is taken, leaves no new file and the old ones as they were. A
// card of a batch whose front cannot take its place is failed whole.
TEST(CardExport, BothSidesAreWrittenAsAPairOrNotAtAll) {
  testing_support::ScriptedHost host;
  QTemporaryDir dir;
  FakeDesign design;
  design.front = {boundText(0, "", 0, QRectF(5, 5, 190, 90))};  // text makes the front the larger file
  DataBinding binding(design);
  CardExport exporter(design, binding);
  export_card_side = "BOTH";
  exporter.combined = false;
  const auto everything = [&dir] {
    return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
  };

  ASSERT_TRUE(exporter.Export_Single_File(dir.path() + "/Size.png", false));
  const qint64 frontSize = QFileInfo(dir.path() + "/Size.png").size();
  const qint64 backSize = QFileInfo(dir.path() + "/Size_Back.png").size();
  ASSERT_GT(frontSize, backSize + 200);
  ASSERT_TRUE(QFile::remove(dir.path() + "/Size.png") && QFile::remove(dir.path() + "/Size_Back.png"));

  const QString card = dir.path() + "/Card.png";
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limited = saved;
  limited.rlim_cur = static_cast<rlim_t>((frontSize + backSize) / 2);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  const bool written = exporter.Export_Single_File(card, true);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previousHandler);
  EXPECT_FALSE(written);
  EXPECT_EQ(everything(), QStringList());
  EXPECT_EQ(host.messages(),
            QStringList({"\nThe card file \"" + card + "\" could not be written: File too large"}));
  EXPECT_TRUE(design.finishedBoxes.isEmpty());

  // The old back stays whole when the front's place is a folder.
  host.clear();
  ASSERT_TRUE(writeFile(dir.path() + "/Card_Back.png", "old back"));
  ASSERT_TRUE(QDir(dir.path()).mkdir("Card.png"));
  EXPECT_FALSE(exporter.Export_Single_File(card, true));
  EXPECT_EQ(readFile(dir.path() + "/Card_Back.png"), "old back");
  EXPECT_EQ(everything(), QStringList({"Card.png", "Card_Back.png"}));
  EXPECT_EQ(host.messages(),
            QStringList({"\nThe card file \"" + card + "\" could not be written: Is a directory"}));

  // A batch: card 2 has neither file, and its failure is one line of the closing message.
  QTemporaryDir batch;
  auto snapshot = namesSnapshot(design, {"Ann", "Bob", "Cy"});
  ASSERT_TRUE(QDir(batch.path()).mkdir("Card_2.png"));
  const BatchExportResult result = BatchExport(snapshot, {batch.path(), "BOTH", false, "png", 2}).run();
  EXPECT_EQ(result.written, 2);
  EXPECT_EQ(result.failed, 1);
  EXPECT_EQ(fileNames(batch.path()),
            QStringList({"Card_1.png", "Card_1_Back.png", "Card_3.png", "Card_3_Back.png"}));
  EXPECT_EQ(
      batchExportMessage(result),
      "2 of 3 cards have been exported: 1 failed, 0 skipped.\nFirst failure: Card_2.png: Is a directory");
  export_card_side = "F";
}

// The batch of both sides run by card_batch_run, a process of its own: run
// `run` paints the sides of its cards with its number. "die n" kills it
// (SIGKILL) just after the n-th file took its place in the folder.
// The run's closing message goes to `message`, what it logged to `log`.
int batchInItsOwnProcess(const QString& folder, int run, int cards, const QStringList& end = {},
                         QString* message = nullptr, QByteArray* log = nullptr) {
  const platform::ChildResult child = platform::runChild(
      kCardBatchRun, QStringList{folder, QString::number(run), QString::number(cards)} + end,
      {.output = log ? platform::ChildOutput::Captured : platform::ChildOutput::ErrorsForwarded});
  EXPECT_TRUE(child.started);
  if (message) *message = QString::fromLocal8Bit(child.out).trimmed();
  if (log) *log = child.err;
  return child.exitCode;  // -1 when killed
}

// The runs that made the front and the back of each card ("front/back", "-"
// for no file), one card after the other.
std::string cardRuns(const QString& folder, int cards) {
  const auto runOf = [](const QString& path) {
    const QImage picture(path);
    return picture.isNull() ? QString("-") : QString::number(qRed(picture.pixel(190, 90)));
  };
  QStringList runs;
  for (int card = 1; card <= cards; ++card) {
    const QString front = BatchExport::cardFilePath(folder, card - 1, "PNG");
    runs << runOf(front) + "/" + runOf(Create_Back_Card_Path(front));
  }
  return runs.join(' ').toStdString();
}

std::string hiddenEntries(const QString& folder) {
  return QDir(folder)
      .entryList({".*"}, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
      .join(' ')
      .toStdString();
}

// The hidden folders that runs left in `folder`, as paths.
QStringList runFolders(const QString& folder) {
  QStringList runs;
  for (const QString& name : QDir(folder).entryList({".Card_files_*"}, QDir::Dirs | QDir::Hidden))
    runs << folder + "/" + name;
  return runs;
}

// Every file in `folder` and the folders within it, hidden ones too.
QStringList filesWithin(const QString& folder) {
  QStringList files;
  QDirIterator each(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  while (each.hasNext()) files << each.next();
  return files;
}

// Sends `signal` to the process `pid` should the test still wait for it once
// the hang guard has passed: a wait that does not end then fails the test by
// itself instead of holding it until ctest's limit.
class SignalAfterGuard {
 public:
  SignalAfterGuard(pid_t pid, int signal)
      : thread_([this, pid, signal] {
          std::unique_lock lock(mutex_);
          if (!over_.wait_for(lock, std::chrono::milliseconds(testing_support::kHangGuardMs),
                              [this] { return done_; }))
            ::kill(pid, signal);
        }) {}
  ~SignalAfterGuard() {
    {
      std::lock_guard lock(mutex_);
      done_ = true;
    }
    over_.notify_all();
    thread_.join();
  }
  SignalAfterGuard(const SignalAfterGuard&) = delete;
  SignalAfterGuard& operator=(const SignalAfterGuard&) = delete;

 private:
  std::mutex mutex_;
  std::condition_variable over_;
  bool done_ = false;
  std::thread thread_;
};

// Collects what card_batch_run writes until it has said `what` (a line
// such as "paused" or "waiting") `times` times; false when it ended first.
bool hasSaid(platform::ChildProcess& child, const char* what, int times = 1) {
  const QDeadlineTimer guard(testing_support::kHangGuardMs);
  const auto said = [&] { return child.out().count(QByteArray(what) + '\n') >= times; };
  while (!said() && child.running() && !guard.hasExpired()) child.readFor(20);
  return said();
}

// A batch killed at any point, even while it puts back what an earlier killed
// batch left, leaves no card whose sides come from two runs once the next
// batch into the folder has begun (a half replaced card gets its old sides
// back, a whole one stays), and nothing of the dead runs; a batch that is
// still alive keeps its work. `disk` is what card_batch_run's disk refuses
// (CARD_BATCH_DISK): nothing, or swapping files and taking a place only while
// it is empty, or hard links too, when the old sides are moved aside before
// the new ones take their places. With `sameBack`, every run paints the back
// the same: a back that a dead run did not change is neither removed nor put
// back, nor is its card counted.
void batchesKilledAtAnyPoint(const char* disk, bool sameBack = false) {
  qputenv("CARD_BATCH_DISK", disk);
  qputenv("CARD_BATCH_BACK", sameBack ? "same" : "");
  // The runs of each card's sides as cardRuns() reads them: a back the same in every run reads 0.
  const auto sides = [sameBack](QString runs) {
    if (sameBack) runs.replace(QRegularExpression("/\\d+"), "/0");
    return runs.toStdString();
  };
  QTemporaryDir dir;
  const QString folder = dir.path();
  ASSERT_EQ(batchInItsOwnProcess(folder, 1, 6), 0);
  // Each card puts its back, then its front, in place: the 7th file is card 4's back.
  EXPECT_EQ(batchInItsOwnProcess(folder, 2, 6, {"die", "7"}), -1);
  EXPECT_EQ(cardRuns(folder, 6), sides("2/2 2/2 2/2 1/2 1/1 1/1"));
  // The old sides of the cards placed wait in the run's folder: swapped there
  // under the prepared files' names, or set aside beside them where the disk
  // swaps no files.
  EXPECT_EQ(filesWithin(folder).filter(QRegularExpression(R"(\.old$)")).size(), qstrlen(disk) > 0 ? 7 : 0);
  // Every file made anew (other inode numbers, as a disk that numbers its
  // files at each mount gives): the old back is still told apart from the new.
  for (const QString& path : filesWithin(folder)) {
    const QString copy = path + ".copy";
    ASSERT_TRUE(QFile::copy(path, copy) && QFile::remove(path) && QFile::rename(copy, path))
        << path.toStdString();
  }
  // Killed again just after putting back card 4's old back, before its own
  // first card (after its card 1's back where the back is the same).
  EXPECT_EQ(batchInItsOwnProcess(folder, 3, 6, {"die", "1"}), -1);
  EXPECT_EQ(cardRuns(folder, 6), sides("2/2 2/2 2/2 1/1 1/1 1/1"));
  ASSERT_EQ(batchInItsOwnProcess(folder, 4, 2), 0);
  EXPECT_EQ(cardRuns(folder, 6), sides("4/4 4/4 2/2 1/1 1/1 1/1"));
  EXPECT_EQ(hiddenEntries(folder), "");

  // Killed just after card 5's front: the cards it made whole stay.
  EXPECT_EQ(batchInItsOwnProcess(folder, 5, 6, {"die", "10"}), -1);
  ASSERT_EQ(batchInItsOwnProcess(folder, 6, 1), 0);
  EXPECT_EQ(cardRuns(folder, 6), sides("6/6 5/5 5/5 5/5 5/5 1/1"));
  EXPECT_EQ(hiddenEntries(folder), "");

  // A run held after card 2's back is alive: a second program's batch waits
  // for it, leaving its half card and its files alone, until it is killed;
  // then it puts the half card right.
  platform::ChildProcess alive(kCardBatchRun, {folder, "7", "6", "hold", "3"});
  ASSERT_TRUE(hasSaid(alive, "paused"));
  platform::ChildProcess second(kCardBatchRun, {folder, "8", "1"});
  EXPECT_TRUE(hasSaid(second, "waiting"));
  EXPECT_EQ(cardRuns(folder, 2), sides("7/7 5/7"));
  alive.signal(SIGKILL);
  alive.waitForExit(-1);
  ASSERT_TRUE(second.waitForExit(testing_support::kHangGuardMs));
  EXPECT_EQ(second.exitCode(), 0);
  EXPECT_EQ(cardRuns(folder, 6), sides("8/8 5/5 5/5 5/5 5/5 1/1"));
  EXPECT_EQ(hiddenEntries(folder), "");
  ASSERT_EQ(batchInItsOwnProcess(folder, 9, 1), 0);
  EXPECT_EQ(cardRuns(folder, 6), sides("9/9 5/5 5/5 5/5 5/5 1/1"));
  EXPECT_EQ(hiddenEntries(folder), "");

  // A run makes its folder and its lock with the cards' folder locked: a
  // run folder found without a lock is that of a run killed as it started.
  ASSERT_TRUE(QDir(folder).mkdir(".Card_files_start"));
  ASSERT_EQ(batchInItsOwnProcess(folder, 10, 1), 0);
  EXPECT_EQ(hiddenEntries(folder), "");

  // Killed just after each file took its place and just after each old side
  // was set aside, over two cards; the next run (of one card) finds each
  // card with both sides of the run before or both of the killed one, and
  // puts right the half card, or the card whose side had moved aside (not a
  // card whose back alone is new but the same).
  QTemporaryDir sweep;
  ASSERT_EQ(batchInItsOwnProcess(sweep.path(), 1, 2), 0);
  int runs[2] = {1, 1}, run = 1;
  for (const QString point : {"die", "dieaside"})
    for (int at = 1; at <= 4 && (qstrlen(disk) > 0 || point == "die"); ++at) {
      SCOPED_TRACE((point + " " + QString::number(at)).toStdString());
      EXPECT_EQ(batchInItsOwnProcess(sweep.path(), ++run, 2, {point, QString::number(at)}), -1);
      const int placed = point == "die" ? at : at - 1;
      for (int card = 0; card < placed / 2; ++card) runs[card] = run;
      const bool putRight = (placed % 2 == 1 && !sameBack) || point != "die";
      QString message;
      ASSERT_EQ(batchInItsOwnProcess(sweep.path(), runs[0] = ++run, 1, {}, &message), 0);
      EXPECT_EQ(message,
                kExported + (putRight ? "\n\n1 card left half replaced by an earlier export that did "
                                        "not finish has been put right."
                                      : ""));
      EXPECT_EQ(cardRuns(sweep.path(), 2), sides(QString("%1/%1 %2/%2").arg(runs[0]).arg(runs[1])));
      EXPECT_EQ(hiddenEntries(sweep.path()), "");
    }
  qunsetenv("CARD_BATCH_DISK");
  qunsetenv("CARD_BATCH_BACK");
}

TEST(CardExport, ABatchKilledAtAnyPointLeavesEveryCardOfOneRunToTheNext) {
  batchesKilledAtAnyPoint("");
}

TEST(CardExport, ABatchKilledAtAnyPointOnADiskThatSwapsNoFilesLeavesEveryCardOfOneRun) {
  batchesKilledAtAnyPoint("no-swaps");
}

TEST(CardExport, ABatchKilledAtAnyPointOnADiskWithoutHardLinksLeavesEveryCardOfOneRun) {
  batchesKilledAtAnyPoint("no-links");
}

TEST(CardExport, ABatchKilledAtAnyPointLosesNoBackThatIsTheSameInEveryRun) {
  batchesKilledAtAnyPoint("", true);
}

TEST(CardExport, ABatchKilledAtAnyPointOnADiskThatSwapsNoFilesLosesNoBackThatIsTheSame) {
  batchesKilledAtAnyPoint("no-swaps", true);
}

TEST(CardExport, ABatchKilledAtAnyPointOnADiskWithoutHardLinksLosesNoBackThatIsTheSame) {
  batchesKilledAtAnyPoint("no-links", true);
}

// A run killed while it writes a note leaves it under a passing name (no card
// took its places under it): it names no card and makes no warning, torn or
// empty, and nor do other files beside the notes; the next export puts the
// half card right. A card left half replaced through two dead runs, one after
// the other, is counted once. A note that could not be written makes no false
// alarm either, and a single export over a dead run's half card puts it right
// before its own files take their places, and says so even when they fail.
TEST(CardExport, NotesBeingWrittenWhenARunIsKilledNameNoCard) {
  QTemporaryDir dir;
  const QString folder = dir.path();
  ASSERT_EQ(batchInItsOwnProcess(folder, 1, 60), 0);
  // The 115th file is card 58's back.
  EXPECT_EQ(batchInItsOwnProcess(folder, 2, 60, {"die", "115"}), -1);
  const QStringList runs = runFolders(folder);
  ASSERT_EQ(runs.size(), 1);
  const QStringList notes = QDir(runs[0]).entryList({"note-*.json"}, QDir::Files, QDir::Name);
  ASSERT_FALSE(notes.isEmpty());
  const QByteArray note = readFile(runs[0] + "/" + notes.last());
  const int next = notes.last().section('-', 1).section('.', 0, 0).toInt() + 1;
  ASSERT_TRUE(writeFile(runs[0] + QString("/writing-note-%1.json").arg(next), ""));
  ASSERT_TRUE(
      writeFile(runs[0] + QString("/writing-note-%1.json").arg(next + 1), note.left(note.size() / 2)));
  ASSERT_TRUE(writeFile(runs[0] + QString("/new-%1.json").arg(next), note.left(note.size() / 2)));
  ASSERT_TRUE(writeFile(runs[0] + QString("/new-%1.json").arg(next + 1), QByteArray(4096, '\0')));

  QString message;
  ASSERT_EQ(batchInItsOwnProcess(folder, 3, 1, {}, &message), 0);
  EXPECT_EQ(message.toStdString(),
            "Card has been exported successfully.\n\n1 card left half replaced by an earlier export that did "
            "not finish has been put right.");
  std::string expected = "3/3";
  for (int card = 2; card <= 60; ++card) expected += card < 58 ? " 2/2" : " 1/1";
  EXPECT_EQ(cardRuns(folder, 60), expected);
  EXPECT_EQ(hiddenEntries(folder), "");

  // A whole run over those cards leaves its cards and nothing else.
  ASSERT_EQ(batchInItsOwnProcess(folder, 4, 60), 0);
  std::string whole = "4/4";
  for (int card = 2; card <= 60; ++card) whole += " 4/4";
  EXPECT_EQ(cardRuns(folder, 60), whole);
  EXPECT_EQ(hiddenEntries(folder), "");

  // Two runs at once, both killed in the middle of card 3: run 5 holds just
  // after its card 2 (the folder free) while run 6 begins and holds just
  // after card 1's back; run 5 then waits for the folder. Each dies just
  // after its card 3's back, whichever comes first (the later one keeps the
  // earlier one's back aside). Card 3 gets run 4's sides back, counted once.
  platform::ChildProcess five(kCardBatchRun, {folder, "5", "6", "holdcard", "2", "die", "5"});
  ASSERT_TRUE(hasSaid(five, "paused"));
  platform::ChildProcess six(kCardBatchRun, {folder, "6", "6", "hold", "1", "die", "5"});
  ASSERT_TRUE(hasSaid(six, "paused"));
  five.signal(SIGUSR1);
  EXPECT_TRUE(hasSaid(five, "waiting"));
  six.signal(SIGUSR1);
  ASSERT_TRUE(five.waitForExit(testing_support::kHangGuardMs));
  ASSERT_TRUE(six.waitForExit(testing_support::kHangGuardMs));
  EXPECT_EQ(runFolders(folder).size(), 2);
  ASSERT_EQ(batchInItsOwnProcess(folder, 7, 1, {}, &message), 0);
  EXPECT_EQ(message.toStdString(),
            "Card has been exported successfully.\n\n1 card left half replaced by an earlier export that did "
            "not finish has been put right.");
  EXPECT_EQ(cardRuns(folder, 4), "7/7 6/6 4/4 4/4");
  EXPECT_EQ(hiddenEntries(folder), "");

  // The note of the first group (cards 1 to 10 of groups of 10, 8 and 2)
  // cannot be written, so its cards fail; the run is killed just after card
  // 12's back took its place.
  QTemporaryDir groups;
  ASSERT_EQ(batchInItsOwnProcess(groups.path(), 1, 20), 0);
  EXPECT_EQ(batchInItsOwnProcess(groups.path(), 2, 20, {"nonote", "1", "die", "3"}), -1);
  ASSERT_EQ(batchInItsOwnProcess(groups.path(), 3, 1, {}, &message), 0);
  EXPECT_EQ(message.toStdString(),
            "Card has been exported successfully.\n\n1 card left half replaced by an earlier export that did "
            "not finish has been put right.");
  EXPECT_EQ(cardRuns(groups.path(), 13), "3/3 1/1 1/1 1/1 1/1 1/1 1/1 1/1 1/1 1/1 2/2 1/1 1/1");
  EXPECT_EQ(hiddenEntries(groups.path()), "");

  // A single export of card 2 whose back has the bytes of the back that the
  // dead run put in place (the run died just after it).
  QTemporaryDir single;
  ASSERT_EQ(batchInItsOwnProcess(single.path(), 1, 3), 0);
  EXPECT_EQ(batchInItsOwnProcess(single.path(), 2, 3, {"die", "3"}), -1);
  const QString front = single.path() + "/Card_2.PNG";
  const QByteArray back = readFile(Create_Back_Card_Path(front));
  const QByteArray newFront = readFile(single.path() + "/Card_3.PNG");
  EarlierRuns earlier;
  ASSERT_TRUE(writeCardImageFiles({{Create_Back_Card_Path(front), back}, {front, newFront}}, nullptr, nullptr,
                                  &earlier));
  EXPECT_EQ(earlier.cardsPutRight, 1);
  ASSERT_EQ(batchInItsOwnProcess(single.path(), 3, 1, {}, &message), 0);
  EXPECT_EQ(message.toStdString(), "Card has been exported successfully.");
  EXPECT_TRUE(readFile(front) == newFront && readFile(Create_Back_Card_Path(front)) == back);
  EXPECT_EQ(hiddenEntries(single.path()), "");
  // One whose own file fails (a folder where it goes) says what it put right all the same.
  EXPECT_EQ(batchInItsOwnProcess(single.path(), 4, 3, {"die", "3"}), -1);
  ASSERT_TRUE(QDir().mkpath(single.path() + "/Card_9.PNG"));
  testing_support::ScriptedHost host;
  FakeDesign design;
  DataBinding binding(design);
  EXPECT_FALSE(CardExport(design, binding).Export_Single_File(single.path() + "/Card_9.PNG", true));
  EXPECT_EQ(host.messages(),
            QStringList({"\nThe card file \"" + single.path() +
                         "/Card_9.PNG\" could not be written: Is a directory\n\n1 card left half "
                         "replaced by an earlier export that did not finish has been put right."}));
  EXPECT_EQ(cardRuns(single.path(), 3), "4/4 1/2 1/1");  // card 2 as the single export above wrote it
}

// A note names each place as it is, whatever characters the file's name
// holds, so that a run that dies can be put right from it.
TEST(CardExport, ANoteNamesPlacesWithAnyCharacters) {
  QTemporaryDir dir;
  const QString folder = dir.path();
  const QStringList names = {"Ann \"Bee\" \\ Zoë.png", "tab\tnew\nline\x01end_back.png"};
  for (const QString& name : names) ASSERT_TRUE(writeFile(folder + "/" + name, "old"));
  const std::unique_ptr<CardImageFileRun> run = CardImageFileRun::open(folder);
  ASSERT_TRUE(run);
  std::vector<CardFilePlaces> cards(1);
  for (const QString& name : names)
    cards[0].emplace_back(folder + "/" + name,
                          prepareCardImageFile("new", folder + "/" + name, run->folder()));
  CardImageFileRun::Group group(*run, cards);
  // Its note stays while the group lives.
  EXPECT_TRUE(group.place(0));
  for (const QString& name : names) EXPECT_EQ(readFile(folder + "/" + name), "new");
  const QStringList notes = QDir(run->folder()).entryList({"note-*.json"}, QDir::Files);
  ASSERT_EQ(notes.size(), 1);
  QJsonParseError error{};
  const QJsonDocument note = QJsonDocument::fromJson(readFile(run->folder() + "/" + notes[0]), &error);
  ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
  const QJsonArray files = note.object().value("cards").toArray().at(0).toArray();
  ASSERT_EQ(files.size(), 2);
  for (qsizetype i = 0; i < files.size(); ++i) {
    EXPECT_EQ(files[i].toObject().value("place").toString(), names[i]);
    EXPECT_FALSE(files[i].toObject().value("kept").toString().isEmpty());
  }
}

// A run's note damaged after its run died (cut, emptied, garbled, grown,
// replaced by a pipe or a link to a device, or gone): the next export cannot
// tell which cards it left half replaced, keeps its folder with the old sides
// and says where they are and which cards they concern (those whose files
// the dead run replaced and no export has replaced since). Whatever became
// of its lock file (counts of notes that earlier versions kept there: huge,
// negative, not numbers; a folder, a link, a file no one may read, or none),
// a dead run is settled from its notes and its folder removed.
TEST(CardExport, ARunWhoseNoteCannotBeReadIsKeptAndTheExportSaysWhere) {
  QTemporaryDir dir;
  const QString folder = dir.path();
  const auto eachNote = [](const std::function<bool(const QString&)>& damage) {
    return [damage](const QString& run) {
      const QStringList notes = QDir(run).entryList({"note-*.json"}, QDir::Files);
      bool damaged = !notes.isEmpty();
      for (const QString& note : notes) damaged = damage(run + "/" + note) && damaged;
      return damaged;
    };
  };
  const std::vector<std::function<bool(const QString&)>> damages = {
      eachNote([](const QString& note) { return QFile::resize(note, readFile(note).size() / 2); }),
      eachNote([](const QString& note) { return QFile::resize(note, 0); }),
      eachNote([](const QString& note) {
        return writeFile(note, readFile(note).replace("\"place\"", "\"plaice\""));
      }),
      eachNote([](const QString& note) { return writeFile(note, readFile(note).replace('{', '[')); }),
      eachNote(
          [](const QString& note) { return writeFile(note, readFile(note) + QByteArray(2 << 20, ' ')); }),
      eachNote([](const QString& note) {
        return QFile::remove(note) && ::mkfifo(QFile::encodeName(note), 0600) == 0;
      }),
      eachNote([](const QString& note) { return QFile::remove(note) && QFile::link("/dev/zero", note); }),
      eachNote([](const QString& note) { return QFile::remove(note); }),
  };
  for (size_t damage = 0; damage < damages.size(); ++damage) {
    ASSERT_EQ(batchInItsOwnProcess(folder, 1, 6), 0);
    // Killed just after card 4's back took its place.
    EXPECT_EQ(batchInItsOwnProcess(folder, 2, 6, {"die", "7"}), -1);
    const QStringList runs = runFolders(folder);
    ASSERT_EQ(runs.size(), 1);
    ASSERT_TRUE(damages[damage](runs[0])) << damage;

    // The folder is put out of reach of any later settling, and the message
    // names the cards whose sides may be of two exports and what to do: not
    // card 1, which this export replaced, nor those the dead run never reached.
    QString message;
    ASSERT_EQ(batchInItsOwnProcess(folder, 3, 1, {}, &message), 0);
    const QString kept = folder + "/.Cards_not_put_right_" + runs[0].section("/.Card_files_", 1);
    EXPECT_EQ(
        message.toStdString(),
        ("Card has been exported successfully.\n\nAn earlier export into \"" + folder +
         "\" that did not finish could not be put right: the cards of the files \"Card_2.PNG\", "
         "\"Card_3.PNG\", \"Card_4_Back.PNG\" may have sides from two exports. Export those cards again "
         "to make them whole. Until then, what the earlier export left is kept in \"" +
         kept + "\".")
            .toStdString())
        << damage;
    EXPECT_EQ(cardRuns(folder, 6), "3/3 2/2 2/2 1/2 1/1 1/1") << damage;
    EXPECT_EQ(runFolders(folder).join(" ").toStdString(), "") << damage;
    EXPECT_GE(filesWithin(kept).size(), 2) << damage;  // its old sides and its notes
  }

  const auto lockHolds = [](const char* counts) {
    return [counts](const QString& lock) { return writeFile(lock, counts); };
  };
  const std::vector<std::function<bool(const QString&)>> locks = {
      lockHolds("2000000000\n         0\n"),
      lockHolds("        -7\n         0\n"),
      lockHolds("noted\ncleared\n"),
      [](const QString& lock) { return QFile::remove(lock) && QDir().mkpath(lock + "/inside"); },
      [](const QString& lock) { return QFile::remove(lock) && QFile::link("/dev/null", lock); },
      [](const QString& lock) { return QFile::setPermissions(lock, {}); },
      [](const QString& lock) { return QFile::remove(lock); },
  };
  for (size_t damage = 0; damage < locks.size(); ++damage) {
    ASSERT_EQ(batchInItsOwnProcess(folder, 1, 6), 0);
    EXPECT_EQ(batchInItsOwnProcess(folder, 2, 6, {"die", "7"}), -1);
    ASSERT_TRUE(locks[damage](runFolders(folder).value(0) + "/lock")) << damage;
    QString message;
    QByteArray log;
    ASSERT_EQ(batchInItsOwnProcess(folder, 3, 1, {}, &message, &log), 0);
    EXPECT_EQ(
        message.toStdString(),
        "Card has been exported successfully.\n\n1 card left half replaced by an earlier export that did "
        "not finish has been put right.")
        << damage;
    EXPECT_LT(log.count('\n'), 10) << log.toStdString();
    EXPECT_EQ(cardRuns(folder, 6), "3/3 2/2 2/2 1/1 1/1 1/1") << damage;
    EXPECT_EQ(hiddenEntries(folder), "") << damage;
  }

  // Once an export has replaced every card file the folder concerns, the
  // folder and the warning go, from that export's own message on. Its notes
  // are never settled again: a later run killed halfway rolls no card back
  // to the sides it kept.
  QString message;
  ASSERT_EQ(batchInItsOwnProcess(folder, 4, 6, {}, &message), 0);
  EXPECT_EQ(message.toStdString(), "Card has been exported successfully.");
  EXPECT_EQ(hiddenEntries(folder), "");
  ASSERT_EQ(batchInItsOwnProcess(folder, 5, 6, {}, &message), 0);
  EXPECT_EQ(message.toStdString(), "Card has been exported successfully.");
  EXPECT_EQ(batchInItsOwnProcess(folder, 6, 6, {"die", "3"}), -1);
  ASSERT_EQ(batchInItsOwnProcess(folder, 7, 1, {}, &message), 0);
  EXPECT_EQ(
      message.toStdString(),
      "Card has been exported successfully.\n\n1 card left half replaced by an earlier export that did not "
      "finish has been put right.");
  EXPECT_EQ(cardRuns(folder, 6), "7/7 5/5 5/5 5/5 5/5 5/5");
  EXPECT_EQ(hiddenEntries(folder), "");
}

// A small disk of its own (a memory file system), unmounted at the end;
// none where this machine does not let the test mount one.
class SmallDisk {
 public:
  explicit SmallDisk(const char* size) {
    mounted_ =
        platform::runChild("mount", {"-t", "tmpfs", "-o", QString("size=") + size, "tmpfs", dir_.path()},
                           {.output = platform::ChildOutput::Captured})
            .exitCode == 0;
  }
  ~SmallDisk() {
    if (mounted_) platform::runChild("umount", {dir_.path()}, {.output = platform::ChildOutput::Captured});
  }
  bool mounted() const { return mounted_; }
  QString path() const { return dir_.path(); }
  // Fills the disk with a file of its own until `room` bytes are left.
  bool leave(qint64 room) {
    struct statvfs disk = {};
    if (::statvfs(QFile::encodeName(dir_.path()).constData(), &disk) != 0) return false;
    const qint64 free = static_cast<qint64>(disk.f_bavail) * static_cast<qint64>(disk.f_bsize);
    return free > room && writeFile(dir_.path() + "/filler", QByteArray(free - room, 'x'));
  }

 private:
  QTemporaryDir dir_;
  bool mounted_ = false;
};

// A run over the cards of an earlier export on a disk with room for one
// card and its note only writes every card, as an export that deleted each
// old file before writing the new one did: it goes on card by card, with
// nothing rendered ahead and each card's old sides gone once it has taken
// its places. Nothing is mixed and nothing left behind. So too on disks that
// swap no files (CARD_BATCH_DISK), where old sides are set aside, not copied.
TEST(CardExport, ARunOnANearlyFullDiskWritesEveryCardThatFits) {
  for (const char* kind : {"", "no-swaps", "no-links"}) {
    qputenv("CARD_BATCH_DISK", kind);
    SmallDisk disk("2m");
    if (!disk.mounted()) GTEST_SKIP() << "no memory file system can be mounted here";
    const QString folder = disk.path() + "/cards";
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_EQ(batchInItsOwnProcess(folder, 1, 40), 0);
    ASSERT_TRUE(disk.leave(4 * 4096));
    QString message;
    EXPECT_EQ(batchInItsOwnProcess(folder, 2, 40, {}, &message), 0) << kind << ": " << message.toStdString();
    std::string expected = "2/2";
    for (int card = 2; card <= 40; ++card) expected += " 2/2";
    EXPECT_EQ(cardRuns(folder, 40), expected) << kind;
    EXPECT_EQ(hiddenEntries(folder), "") << kind;
  }
  qunsetenv("CARD_BATCH_DISK");
}

// What became of a run folder's lock while it was watched: "closed" and
// "removed" in the order they happened.
class LockWatch {
 public:
  explicit LockWatch(const QString& run) : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    EXPECT_GE(inotify_add_watch(fd_, QFile::encodeName(run).constData(),
                                IN_CLOSE_WRITE | IN_CLOSE_NOWRITE | IN_DELETE),
              0);
  }
  ~LockWatch() { ::close(fd_); }
  std::string seen() {
    QStringList events;
    alignas(inotify_event) char buffer[65536];
    for (ssize_t n; (n = ::read(fd_, buffer, sizeof buffer)) > 0;)
      for (ssize_t at = 0; at < n;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        if (event->len > 0 && qstrcmp(event->name, "lock") == 0)
          events << ((event->mask & IN_DELETE) ? "removed" : "closed");
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    return events.join(' ').toStdString();
  }

 private:
  int fd_;
};

// A run removes its folder with the lock last, once it has let the lock go,
// and so does a run that settles a dead one: a network or user-space file
// system keeps a file removed while open under another name, in a folder
// that then cannot be removed.
TEST(CardExport, ARunLetsGoOfItsLockBeforeRemovingIt) {
  QTemporaryDir dir;
  const QString folder = dir.path();
  platform::ChildProcess held(kCardBatchRun, {folder, "1", "2", "hold", "4"});
  ASSERT_TRUE(hasSaid(held, "paused"));
  ASSERT_EQ(runFolders(folder).size(), 1);
  LockWatch ownRun(runFolders(folder)[0]);
  held.signal(SIGUSR1);
  ASSERT_TRUE(held.waitForExit(testing_support::kHangGuardMs));
  EXPECT_EQ(held.exitCode(), 0);
  EXPECT_EQ(ownRun.seen(), "closed removed");
  EXPECT_EQ(hiddenEntries(folder), "");

  EXPECT_EQ(batchInItsOwnProcess(folder, 2, 2, {"die", "1"}), -1);
  ASSERT_EQ(runFolders(folder).size(), 1);
  LockWatch deadRun(runFolders(folder)[0]);
  ASSERT_EQ(batchInItsOwnProcess(folder, 3, 2), 0);
  EXPECT_EQ(deadRun.seen(), "closed removed");
  EXPECT_EQ(hiddenEntries(folder), "");
  EXPECT_EQ(cardRuns(folder, 2), "3/3 3/3");
}

// Two programs exporting into one folder at once: each card ends with both
// sides of one run, whichever run put its sides in place last. A batch
// waiting for another that holds the folder (it may be paused), to begin or
// to place a card, ends on Stop; the window's own export waits a short while
// only, says so and writes nothing. A program paused for good makes no alarm.
TEST(CardExport, TwoProgramsExportingIntoOneFolderLeaveEveryCardOfOneRun) {
  QTemporaryDir dir;
  const QString folder = dir.path();
  ASSERT_EQ(batchInItsOwnProcess(folder, 1, 6), 0);
  // The first holds still just after card 2's back took its place; the
  // second runs meanwhile until it waits for the first.
  platform::ChildProcess first(kCardBatchRun, {folder, "2", "6", "hold", "3"});
  ASSERT_TRUE(hasSaid(first, "paused"));
  platform::ChildProcess second(kCardBatchRun, {folder, "3", "6"});
  EXPECT_TRUE(hasSaid(second, "waiting"));
  first.signal(SIGUSR1);
  ASSERT_TRUE(first.waitForExit(testing_support::kHangGuardMs));
  ASSERT_TRUE(second.waitForExit(testing_support::kHangGuardMs));
  EXPECT_EQ(first.exitCode(), 0);
  EXPECT_EQ(second.exitCode(), 0);
  const QStringList cards = QString::fromStdString(cardRuns(folder, 6)).split(' ');
  for (const QString& card : cards)
    EXPECT_EQ(card.section('/', 0, 0).toStdString(), card.section('/', 1, 1).toStdString())
        << cardRuns(folder, 6);
  EXPECT_EQ(hiddenEntries(folder), "");

  // The fourth holds still with the folder just after card 1's back, while
  // the third (paused after its card 1) waits to place card 2, the fifth
  // waits to begin and the window's export waits: Stop ends the two, and
  // neither they nor the window's export write anything more.
  platform::ChildProcess third(kCardBatchRun, {folder, "4", "6", "holdcard", "1"});
  ASSERT_TRUE(hasSaid(third, "paused"));
  platform::ChildProcess fourth(kCardBatchRun, {folder, "5", "6", "hold", "1"});
  ASSERT_TRUE(hasSaid(fourth, "paused"));
  third.signal(SIGUSR1);
  platform::ChildProcess fifth(kCardBatchRun, {folder, "6", "6"});
  ASSERT_TRUE(hasSaid(third, "waiting"));
  ASSERT_TRUE(hasSaid(fifth, "waiting"));
  const std::string before = cardRuns(folder, 6);
  testing_support::ScriptedHost host;
  FakeDesign design;
  DataBinding binding(design);
  CardExport exporter(design, binding);
  const QString single = folder + "/Single.png";
  {
    // A wait without end for the paused program would end with it let go
    // after the guard, and the file written.
    const SignalAfterGuard letGo(fourth.pid(), SIGUSR1);
    EXPECT_FALSE(exporter.Export_Single_File(single, true));
  }
  EXPECT_EQ(host.messages(), QStringList({"\nAnother export is placing cards in \"" + folder +
                                          "\"; try again when it has finished."}));
  for (platform::ChildProcess* stopped : {&third, &fifth}) {
    stopped->signal(SIGUSR2);
    ASSERT_TRUE(stopped->waitForExit(testing_support::kHangGuardMs));
  }
  EXPECT_EQ(
      third.out().toStdString(),
      "paused\nwaiting\n1 of 6 cards have been exported: 0 failed, 5 skipped.\nThe export was stopped while "
      "another export was placing cards in the folder.\n");
  EXPECT_EQ(
      fifth.out().toStdString(),
      "waiting\n0 of 6 cards have been exported: 0 failed, 6 skipped.\nThe export was stopped while another "
      "export was placing cards in the folder.\n");
  EXPECT_EQ(cardRuns(folder, 6), before);
  fourth.signal(SIGUSR1);
  ASSERT_TRUE(fourth.waitForExit(testing_support::kHangGuardMs));
  EXPECT_EQ(fourth.exitCode(), 0);
  EXPECT_EQ(cardRuns(folder, 6), "5/5 5/5 5/5 5/5 5/5 5/5");
  EXPECT_EQ(hiddenEntries(folder), "");
  EXPECT_FALSE(QFileInfo::exists(single));
  EXPECT_TRUE(exporter.Export_Single_File(single, true));
  EXPECT_EQ(design.finishedBoxes, QStringList({kExported + "|" + single}));

  // A program paused between two cards (a laptop's lid closed) while another
  // exports every card, then killed: the files it made ahead, which no note
  // names, took no place, and the next export says nothing of them. Nor does
  // it undo the cards the paused one had finished, though the other wrote
  // their new back with the same bytes (a back changed since the cards there).
  qputenv("CARD_BATCH_BACK", "same");
  platform::ChildProcess paused(kCardBatchRun, {folder, "7", "40", "holdcard", "5"});
  ASSERT_TRUE(hasSaid(paused, "paused"));
  ASSERT_EQ(batchInItsOwnProcess(folder, 8, 40), 0);
  paused.signal(SIGKILL);
  paused.waitForExit(-1);
  QString message;
  ASSERT_EQ(batchInItsOwnProcess(folder, 9, 1, {}, &message), 0);
  qunsetenv("CARD_BATCH_BACK");
  EXPECT_EQ(message.toStdString(), kExported.toStdString());
  EXPECT_EQ(cardRuns(folder, 6), "9/0 8/0 8/0 8/0 8/0 8/0");
  EXPECT_EQ(hiddenEntries(folder), "");

  // A program killed halfway through card 2 while another, begun before,
  // waits to place it: the other then writes card 2 whole, its back with
  // the very bytes the dead one had put there. That back is the other's
  // file, not the dead one's: settling leaves the card as the other made it.
  QTemporaryDir another;
  const QString halves = another.path();
  ASSERT_EQ(batchInItsOwnProcess(halves, 1, 4), 0);
  qputenv("CARD_BATCH_BACK", "same");
  platform::ChildProcess killed(kCardBatchRun, {halves, "2", "4", "holdcard", "1", "pause", "3"});
  ASSERT_TRUE(hasSaid(killed, "paused"));
  platform::ChildProcess other(kCardBatchRun, {halves, "3", "4", "holdcard", "1"});
  ASSERT_TRUE(hasSaid(other, "paused"));
  killed.signal(SIGUSR1);
  ASSERT_TRUE(hasSaid(killed, "paused", 2));
  other.signal(SIGUSR1);
  ASSERT_TRUE(hasSaid(other, "waiting"));
  killed.signal(SIGKILL);
  killed.waitForExit(-1);
  ASSERT_TRUE(other.waitForExit(testing_support::kHangGuardMs));
  EXPECT_EQ(other.exitCode(), 0);
  EXPECT_EQ(cardRuns(halves, 4), "3/0 3/0 3/0 3/0");
  ASSERT_EQ(batchInItsOwnProcess(halves, 4, 1, {}, &message), 0);
  qunsetenv("CARD_BATCH_BACK");
  EXPECT_EQ(message.toStdString(), kExported.toStdString());
  EXPECT_EQ(cardRuns(halves, 4), "4/0 3/0 3/0 3/0");
  EXPECT_EQ(hiddenEntries(halves), "");
}

// The program's start as card_batch_run plays it: it says "window" at once,
// then what the settling of exports that did not finish said.
QString startOfTheProgram() {
  const platform::ChildResult child =
      platform::runChild(kCardBatchRun, {"start"}, {.output = platform::ChildOutput::ErrorsForwarded});
  EXPECT_EQ(child.exitCode, 0);
  const QString out = QString::fromLocal8Bit(child.out);
  EXPECT_TRUE(out.startsWith("window\n")) << out.toStdString();
  return out.mid(7).trimmed();
}

// An export that did not finish is noted in the program's own state folder
// (entries that earlier versions made in the resource folder are removed:
// this one cannot read their notes), and the next start settles its folder
// without waiting: a folder that another program has locked, or that is not
// there, is left noted for a later start; otherwise the card left half
// replaced is put right, and said. An export into the folder puts right what
// a run left too, and says so. Each folder is settled on its own: one whose
// disk does not answer holds up neither the others nor what they found.
TEST(CardExport, AnExportThatDidNotFinishIsPutRightAtTheNextStart) {
  QTemporaryDir dir, resources;
  const QString folder = dir.path() + "/cards";
  ASSERT_TRUE(QDir().mkpath(folder));
  const QString unfinished = unfinishedExportsFolder();
  ASSERT_TRUE(unfinished.startsWith(qEnvironmentVariable("XDG_STATE_HOME") + "/"))
      << unfinished.toStdString();
  const QString earlierPlace = resources.path() + "/Unfinished exports";
  qputenv("CARD_BATCH_RESOURCES", QFile::encodeName(resources.path()));
  const auto entries = [&] { return QDir(unfinished).entryList(QDir::Files).size(); };
  const auto putRightIn = [](const QString& cards) {
    return "1 card left half replaced by an earlier export into \"" + cards +
           "\" that did not finish has been put right.";
  };

  ASSERT_EQ(batchInItsOwnProcess(folder, 1, 6), 0);
  EXPECT_EQ(entries(), 0);
  EXPECT_EQ(batchInItsOwnProcess(folder, 2, 6, {"die", "7"}), -1);
  ASSERT_EQ(entries(), 1);
  EXPECT_FALSE(QFileInfo::exists(earlierPlace));
  ASSERT_TRUE(QDir().mkpath(earlierPlace));
  const QString entry = QDir(unfinished).entryList(QDir::Files).first();
  ASSERT_TRUE(QFile::copy(unfinished + "/" + entry, earlierPlace + "/" + entry));

  // Locked by another program (this one) while the start settles: left. So
  // too by a batch stopped while it waits for the folder, and by a single
  // export that gives up waiting: none settles without the folder's lock.
  {
    const int cards = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_EQ(::flock(cards, LOCK_EX), 0);
    EXPECT_EQ(startOfTheProgram().toStdString(), "");
    platform::ChildProcess stopped(kCardBatchRun, {folder, "3", "6"});
    ASSERT_TRUE(hasSaid(stopped, "waiting"));
    stopped.signal(SIGUSR2);
    ASSERT_TRUE(stopped.waitForExit(testing_support::kHangGuardMs));
    QString why;
    EXPECT_FALSE(writeCardImageFiles({{folder + "/Card_4_Back.PNG", "new"}, {folder + "/Card_4.PNG", "new"}},
                                     nullptr, &why));
    EXPECT_EQ(why, kFolderBusy);
    ::close(cards);
  }
  EXPECT_EQ(entries(), 1);
  EXPECT_FALSE(QFileInfo::exists(earlierPlace));
  EXPECT_EQ(cardRuns(folder, 6), "2/2 2/2 2/2 1/2 1/1 1/1");
  // Not there (a disk not plugged in): left noted.
  ASSERT_TRUE(QDir().rename(folder, folder + "-away"));
  EXPECT_EQ(startOfTheProgram().toStdString(), "");
  EXPECT_EQ(entries(), 1);
  ASSERT_TRUE(QDir().rename(folder + "-away", folder));
  EXPECT_EQ(startOfTheProgram().toStdString(), putRightIn(folder).toStdString());
  EXPECT_EQ(cardRuns(folder, 6), "2/2 2/2 2/2 1/1 1/1 1/1");
  EXPECT_EQ(hiddenEntries(folder), "");
  EXPECT_EQ(entries(), 0);

  EXPECT_EQ(batchInItsOwnProcess(folder, 3, 6, {"die", "5"}), -1);
  QString message;
  ASSERT_EQ(batchInItsOwnProcess(folder, 4, 1, {}, &message), 0);
  EXPECT_EQ(
      message.toStdString(),
      "Card has been exported successfully.\n\n1 card left half replaced by an earlier export that did not "
      "finish has been put right.");
  EXPECT_EQ(cardRuns(folder, 6), "4/4 3/3 2/2 1/1 1/1 1/1");
  EXPECT_EQ(entries(), 0);
  EXPECT_EQ(startOfTheProgram().toStdString(), "");

  // Three folders left half done, the first of which does not answer (its
  // settling stops for good): the other two are settled, and what was put
  // right there is said, while the start holds its findings back (its
  // application's thread waits until they are settled).
  const QStringList folders = {dir.path() + "/hung", dir.path() + "/other", dir.path() + "/third"};
  for (const QString& cards : folders) {
    ASSERT_TRUE(QDir().mkpath(cards));
    ASSERT_EQ(batchInItsOwnProcess(cards, 1, 6), 0);
    EXPECT_EQ(batchInItsOwnProcess(cards, 2, 6, {"die", "7"}), -1);
  }
  ASSERT_EQ(entries(), 3);
  platform::ChildProcess start(kCardBatchRun, {"start", "hang", folders[0]});
  ASSERT_TRUE(hasSaid(start, "hung"));
  const QDeadlineTimer guard(testing_support::kHangGuardMs);
  while ((!runFolders(folders[1]).isEmpty() || !runFolders(folders[2]).isEmpty()) && !guard.hasExpired())
    start.readFor(20);
  start.signal(SIGUSR1);
  ASSERT_TRUE(start.waitForExit(testing_support::kHangGuardMs));
  QStringList said = QString::fromLocal8Bit(start.out()).split('\n', Qt::SkipEmptyParts);
  said.sort();
  EXPECT_EQ(said, QStringList({putRightIn(folders[1]), putRightIn(folders[2]), "hung", "window"}));
  EXPECT_EQ(cardRuns(folders[0], 6), "2/2 2/2 2/2 1/2 1/1 1/1");
  for (const QString& cards : folders.mid(1)) EXPECT_EQ(cardRuns(cards, 6), "2/2 2/2 2/2 1/1 1/1 1/1");
  EXPECT_EQ(entries(), 1);
  EXPECT_EQ(startOfTheProgram().toStdString(), putRightIn(folders[0]).toStdString());
  EXPECT_EQ(entries(), 0);
  qunsetenv("CARD_BATCH_RESOURCES");
}

TEST(CardExport, TheChosenResolutionScalesEveryFileTypeAndTheCombinedPictureKeepsItsAlpha) {
  testing_support::ScriptedHost host;
  QTemporaryDir dir;
  FakeDesign design;
  design.size = QSizeF(144, 72);
  DataBinding binding(design);
  CardExport exporter(design, binding);
  export_card_side = "BOTH";
  exporter.combined = true;
  exporter.dpi = 150;

  // Both sides in one picture at 150 dpi: 300 x 150 pixels a side (144 x 72
  // at 72 dpi), front above back, RGB with alpha (8 bits, 4 samples) in
  // PNG and TIFF; every type records the resolution.
  QStringList files;
  for (const char* type : {"png", "tiff", "jpeg", "bmp"}) {
    files << dir.path() + "/One." + type;
    ASSERT_TRUE(exporter.Export_Single_File(files.last(), false));
  }
  EXPECT_EQ(pictureHeaders(files), QStringList({"300 300 8 4 150 150", "300 300 8 4 150 150",
                                                "300 300 8 3 150 150", "300 300 8 3 150 150"}));
  for (const QString& file : files) {
    EXPECT_EQ(pixel(file, 150, 74) & 0xf0f0f0, 0xf00000u) << file.toStdString();
    EXPECT_EQ(pixel(file, 150, 225) & 0xf0f0f0, 0x0000f0u) << file.toStdString();
  }

  // A batch writes its combined pictures so too.
  auto snapshot = namesSnapshot(design, {"Ann"});
  EXPECT_EQ(BatchExport(snapshot, {dir.path(), "BOTH", true, "PNG", 1, 150}).run().written, 1);
  EXPECT_EQ(pictureHeaders({dir.path() + "/Card_1.PNG"}), QStringList({"300 300 8 4 150 150"}));
  export_card_side = "F";
}

TEST(CardExport, BatchWritesOneSetOfFilesPerRowInOrderWithReadableBarcodes) {
  testing_support::ScriptedHost host;
  QTemporaryDir dir;
  const QString series = dir.path() + "/DataSet";
  ASSERT_TRUE(QDir().mkpath(series));
  writeFile(series + "/Names.txt", "Ann\nBob\nCy\n");
  writeFile(series + "/Codes.txt", "C-001\nC-002\nC-003\n");

  FakeDesign design;
  design.size = QSizeF(300, 220);
  design.frontColour = design.backColour = Qt::white;
  const auto name = boundText(1, "Names", 0, QRectF(10, 10, 100, 20));
  design.front = {name, boundBarcode("Codes", false, QPointF(5, 110)),
                  boundBarcode("Codes", true, QPointF(200, 5))};
  design.back = {boundText(1, "Names", 0)};
  DataSeriesStore store(series);
  DataSourceTable table;
  DataBinding binding(design, store, table);
  CardExport exporter(design, binding);
  exporter.workers = 3;
  ASSERT_TRUE(binding.Check_Series_Or_Excel_Use_or_not());
  ASSERT_EQ(Total_Batch_Excel_Card.load(), 3);

  // A second batch into the same folder replaces cards of equal names only.
  const QString folder = dir.path() + "/" + kBatchFolderName;
  ASSERT_TRUE(QDir().mkpath(folder));
  writeFile(folder + "/Card_2.PNG", "old");
  writeFile(folder + "/notes.txt", "mine");

  Card_Front_Or_Back.store(1);
  export_card_side = "BOTH";
  exporter.combined = false;
  exporter.fileType = "PNG";
  ASSERT_TRUE(exporter.Export_Batch_File(dir.path()));
  EXPECT_TRUE(Send_Modeless::defaultInstance().isVisible());
  ASSERT_TRUE(exporter.waitForRun(testing_support::kHangGuardMs));
  EXPECT_FALSE(Send_Modeless::defaultInstance().isVisible());

  EXPECT_EQ(fileNames(folder), QStringList({"Card_1.PNG", "Card_1_Back.PNG", "Card_2.PNG", "Card_2_Back.PNG",
                                            "Card_3.PNG", "Card_3_Back.PNG", "notes.txt"}));
  for (int row = 1; row <= 3; ++row) {
    const QString code = QString("C-00%1").arg(row);
    const QImage front(QString("%1/Card_%2.PNG").arg(folder).arg(row));
    EXPECT_EQ(front.size(), QSize(300, 220));
    EXPECT_EQ(decodeBarcodes(front), QStringList({"Code128:" + code, "QRCode:" + code})) << row;
  }
  EXPECT_EQ(design.finishedBoxes, QStringList({kExported + "|" + folder}));
  EXPECT_EQ(host.messages(), QStringList());
  // Afterwards the design shows the first row, and the user is on the same side.
  EXPECT_EQ(name->Text_contents()->string, "Ann");
  EXPECT_GT(design.refreshes, 0);
  EXPECT_EQ(Card_Front_Or_Back.load(), 1);
  Card_Front_Or_Back.store(0);

  // A folder that cannot be made: the message, and no progress panel.
  QDir().mkpath(dir.path() + "/blocked");
  writeFile(dir.path() + "/blocked/" + kBatchFolderName, "a file");
  EXPECT_FALSE(exporter.Export_Batch_File(dir.path() + "/blocked"));
  EXPECT_EQ(host.messages(), QStringList({"\n" + unable_saving_Msg}));
  EXPECT_FALSE(Send_Modeless::defaultInstance().isVisible());
  EXPECT_FALSE(exporter.isRunning());
  export_card_side = "F";
}

TEST(CardExport, StopLeavesExactlyTheCardsWrittenAndFailedCardsAreCounted) {
  testing_support::ScriptedHost host;
  QTemporaryDir dir;
  auto snapshot = std::make_shared<RunSnapshot>();
  FakeDesign design;
  snapshot->card.front = {boundText(1, "Names", 0)};
  snapshot->card.frontContext = design.sidePaintContext(CardSide::Front);
  auto rows = std::make_shared<BindingRows>();
  rows->useSeries = true;
  for (int i = 0; i < 40; ++i) rows->series["Names"].append(QString::number(i));
  rows->seriesRows = 40;
  snapshot->rows = rows;

  // The panel's Stop asks whether to stop; only Yes stops.
  auto& panel = Send_Modeless::defaultInstance();
  BatchExportRequest request{dir.path(), "F", false, "png", 4};
  BatchExport run(snapshot, request);
  run.onCardWritten = [&](int written) {
    if (written == 3) {
      host.queueYesNo(false);
      panel.Stop_Sending_Pressed();
    }
    if (written == 5) {
      host.queueYesNo(true);
      panel.Stop_Sending_Pressed();
    }
  };
  const BatchExportResult result = run.run();
  EXPECT_TRUE(result.stopped);
  EXPECT_EQ(result.written, 5);
  EXPECT_EQ(result.failed, 0);
  EXPECT_EQ(result.skipped, 35);
  EXPECT_EQ(fileNames(dir.path()),
            QStringList({"Card_1.png", "Card_2.png", "Card_3.png", "Card_4.png", "Card_5.png"}));
  // Nothing of the workers' preparing is left: no hidden file, no folder.
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
            fileNames(dir.path()));
  EXPECT_EQ(host.questions(),
            QStringList({"Are you sure you want to stop?", "Are you sure you want to stop?"}));
  const QString message = batchExportMessage(result);
  EXPECT_TRUE(message.startsWith("5 of 40 cards have been exported: 0 failed, 35 skipped."))
      << message.toStdString();
  EXPECT_TRUE(message.contains("stopped"));

  // Both sides over the cards of an earlier export (their notes forced to
  // disk, and made ahead): stopped after card 5, every card keeps both sides
  // of one export, and nothing else is left.
  QTemporaryDir again;
  const auto paintedWith = [&](int red) {
    auto cards = std::make_shared<RunSnapshot>(*snapshot);
    cards->card.frontContext.cardBase = [red](QPainter& painter, const QRectF& rect) {
      painter.fillRect(rect, QColor(red, 200, 60));
    };
    cards->card.backContext = cards->card.frontContext;
    return cards;
  };
  ASSERT_EQ(BatchExport(paintedWith(1), {again.path(), "BOTH", false, "PNG", 4}).run().written, 40);
  BatchExport over(paintedWith(2), {again.path(), "BOTH", false, "PNG", 4});
  over.onCardWritten = [&](int written) {
    if (written != 5) return;
    host.queueYesNo(true);
    panel.Stop_Sending_Pressed();
  };
  const BatchExportResult stopped = over.run();
  EXPECT_TRUE(stopped.stopped);
  EXPECT_EQ(stopped.written, 5);
  for (int card = 0; card < 40; ++card) {
    const QString front = BatchExport::cardFilePath(again.path(), card, "PNG");
    const int run = card < 5 ? 2 : 1;
    EXPECT_EQ(qRed(pixel(front, 5, 5)), run) << card;
    EXPECT_EQ(qRed(pixel(Create_Back_Card_Path(front), 5, 5)), run) << card;
  }
  EXPECT_EQ(hiddenEntries(again.path()), "");

  // A card whose barcode cannot take its row's value is not written and is
  // counted; the run goes on, and no half-made file is left behind.
  QTemporaryDir second;
  auto withCode = std::make_shared<RunSnapshot>(*snapshot);
  withCode->card.front.push_back(boundBarcode("Names", false, QPointF(10, 40)));
  withCode->barcodes = [](const SKTGraphic&, const QString& value, QString* reason) {
    if (value.size() > 100) {
      *reason = "refused";
      return QImage();
    }
    QImage bars(20, 10, QImage::Format_RGB32);
    bars.fill(Qt::black);
    return bars;
  };
  auto fewRows = std::make_shared<BindingRows>(*rows);
  fewRows->seriesRows = 4;
  fewRows->series["Names"][2] = QString(5000, 'X');
  withCode->rows = fewRows;
  const BatchExportResult failed = BatchExport(withCode, {second.path(), "F", false, "PNG", 2}).run();
  EXPECT_EQ(failed.written, 3);
  EXPECT_EQ(failed.failed, 1);
  EXPECT_FALSE(failed.stopped);
  EXPECT_EQ(QDir(second.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
            QStringList({"Card_1.PNG", "Card_2.PNG", "Card_4.PNG"}));
  // The value is quoted cut short, and the finished box keeps its buttons on the screen.
  const QString failedMessage = batchExportMessage(failed);
  EXPECT_EQ(failedMessage,
            "3 of 4 cards have been exported: 1 failed, 0 skipped.\nFirst failure: Card_3.PNG: the "
            "barcode value \"" +
                QString(40, 'X') + "… (5000 characters)\": refused");
  Open_Export_Log box;
  box._open_log_message->setText(failedMessage + " " + QString(500, 'Y'));
  box._open_log_path->setText("/" + QString(500, 'Z'));
  EXPECT_LE(box.sizeHint().width(), 800);
}

}  // namespace
