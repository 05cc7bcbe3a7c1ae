// Picture, signature, fingerprint and barcode objects drawn onto a QImage (and
// a barcode into PDF): clamp, rotation sizes, whole processed picture on the
// bounds, flips, opacity, missing files, sample pictures.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <atomic>
#include <thread>
#include <vector>

#include "core/CardHost.h"
#include "core/PictureCompleteness.h"
#include "core/PictureFile.h"
#include "core/SKTBarcode.h"
#include "core/SKTImage.h"
#include "core/SKTSignature.h"
#include "core/image/ImageProcesser.h"
#include "core/image/PictureDrawing.h"
#include "platform/ChildProcess.h"
#include "support/FakeCardHost.h"
#include "support/PictureSamples.h"
#include "support/TestFiles.h"

namespace {

QString shippedResources() {
  return QStringLiteral(QUVO_SOURCE_DIR "/resources");
}

class PictureObjects : public ::testing::Test {
 protected:
  testing_support::FakeCardHost host;
  ScopedCardHost scope{host};
  PictureObjects() { host.resourcePath = shippedResources(); }
  QTemporaryDir dir;

  static constexpr char kDamaged[] =
      "The file \"%1\" could not be read: it is a damaged or incomplete picture.";
  QString write(const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    EXPECT_TRUE(testing_support::writeFile(path, bytes));
    return path;
  }
  QString writePicture(const QString& name, const QImage& img) {
    const QString path = dir.filePath(name);
    EXPECT_TRUE(img.save(path, "PNG"));
    return path;
  }
};

QImage solid(int w, int h, QRgb c) {
  QImage img(w, h, QImage::Format_ARGB32);
  img.fill(c);
  return img;
}

// Left half red, right half blue; top row of the left half green (a marker corner).
QImage halves(int w, int h) {
  QImage img = solid(w, h, qRgb(0, 0, 255));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w / 2; ++x) img.setPixel(x, y, y < h / 4 ? qRgb(0, 255, 0) : qRgb(255, 0, 0));
  return img;
}

QImage render(SKTGraphic& g, QSize size = QSize(300, 200)) {
  QImage canvas(size, QImage::Format_ARGB32);
  canvas.fill(Qt::white);
  QPainter painter(&canvas);
  g.drawContentsInView(painter, false);
  painter.end();
  // QUVO_DUMP_PICTURES=<folder> keeps every rendering for a look.
  static std::atomic<int> counter{0};
  if (const QByteArray folder = qgetenv("QUVO_DUMP_PICTURES"); !folder.isEmpty())
    canvas.save(QStringLiteral("%1/render-%2.png")
                    .arg(QString::fromLocal8Bit(folder))
                    .arg(++counter, 3, 10, QChar('0')));
  return canvas;
}

bool allWhite(const QImage& img) {
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (img.pixel(x, y) != qRgb(255, 255, 255)) return false;
  return true;
}

void expectNearAt(int line, QRgb p, QRgb q, int tol = 3) {
  SCOPED_TRACE(::testing::Message() << "checked at line " << line);
  EXPECT_NEAR(qRed(p), qRed(q), tol);
  EXPECT_NEAR(qGreen(p), qGreen(q), tol);
  EXPECT_NEAR(qBlue(p), qBlue(q), tol);
}
#define expectNear(...) expectNearAt(__LINE__, __VA_ARGS__)

std::shared_ptr<SKTImage> pictureAt(const QString& path, const QRectF& bounds) {
  auto img = std::make_shared<SKTImage>();
  img->setFilePath(path);
  img->_isDrawingStroke = false;
  img->setBounds(bounds);
  return img;
}

}  // namespace

TEST_F(PictureObjects, LargePictureIsClampedWhenLoaded) {
  const QString path = writePicture("big.png", solid(1000, 1000, qRgb(200, 0, 0)));
  auto img = SKTImage::initWithPath(QPointF(400, 300), path);
  EXPECT_EQ(img->bounds().size(), QSizeF(724, 468));
  img->_isDrawingStroke = false;
  const QImage out = render(*img, QSize(800, 600));
  const QRectF b = img->bounds();
  expectNear(out.pixel(int(b.left()) + 1, int(b.top()) + 1), qRgb(200, 0, 0));
  expectNear(out.pixel(int(b.right()) - 2, int(b.bottom()) - 2), qRgb(200, 0, 0));
  EXPECT_EQ(out.pixel(int(b.right()) + 2, int(b.center().y())), qRgb(255, 255, 255));
  img->setBounds(QRectF(0, 0, 10, 10));
  img->makeNaturalSize();
  EXPECT_EQ(img->bounds().size(), QSizeF(724, 468));
  // 800 x 300 keeps its height.
  auto wide = SKTImage::initWithPath(QPointF(0, 0), writePicture("wide.png", solid(800, 300, qRgb(1, 2, 3))));
  EXPECT_EQ(wide->bounds().size(), QSizeF(724, 300));
}

TEST_F(PictureObjects, RotatedPictureIsDrawnWholeOntoTheBounds) {
  auto img = pictureAt(writePicture("g.png", solid(100, 60, qRgb(0, 160, 0))), QRectF(20, 20, 100, 60));
  img->rotate_image = 45.0f;  // a 120 x 120 square with empty corners, squeezed into 100 x 60
  QImage out = render(*img);
  expectNear(out.pixel(70, 50), qRgb(0, 160, 0));
  EXPECT_EQ(out.pixel(21, 21), qRgb(255, 255, 255));
  EXPECT_EQ(out.pixel(118, 78), qRgb(255, 255, 255));
  // The turned picture spans nearly the whole bounds: its corners lie 56.6 of
  // 60 units from the square's centre, so its extent is the bounds inset by
  // 3.4 / 120 of their size on every side. A cropped drawing would stop short.
  QRect green;
  for (int y = 0; y < out.height(); ++y)
    for (int x = 0; x < out.width(); ++x)
      if (qGreen(out.pixel(x, y)) < 250 || qRed(out.pixel(x, y)) < 250) green |= QRect(x, y, 1, 1);
  EXPECT_NEAR(green.left(), 20 + 2.8, 1.5);
  EXPECT_NEAR(green.right(), 120 - 2.8, 1.5);
  EXPECT_NEAR(green.top(), 20 + 1.7, 1.5);
  EXPECT_NEAR(green.bottom(), 80 - 1.7, 1.5);
  // 450 degrees is a quarter turn: 60 x 100 stretched over the bounds, corners filled.
  img->rotate_image = 450.0f;
  out = render(*img);
  expectNear(out.pixel(21, 21), qRgb(0, 160, 0));
  expectNear(out.pixel(118, 78), qRgb(0, 160, 0));
  // -720 degrees draws the picture as it is.
  img->rotate_image = -720.0f;
  auto plain = pictureAt(img->FilePath(), img->bounds());
  EXPECT_EQ(render(*img), render(*plain));
  // A quarter turn of a marked picture: the green top-left corner goes to the bottom left.
  auto marked = pictureAt(writePicture("m.png", halves(100, 60)), QRectF(0, 0, 100, 60));
  marked->rotate_image = 90.9f;  // truncated to 90: a quarter turn, no empty corners
  out = render(*marked);
  expectNear(out.pixel(5, 55), qRgb(0, 255, 0), 60);
}

TEST_F(PictureObjects, FlipsMirrorWithinTheBounds) {
  auto img = pictureAt(writePicture("h.png", halves(80, 40)), QRectF(10, 10, 80, 40));
  QImage out = render(*img);
  expectNear(out.pixel(15, 45), qRgb(255, 0, 0));
  expectNear(out.pixel(85, 45), qRgb(0, 0, 255));
  img->setFlippedHorizontally(true);
  out = render(*img);
  expectNear(out.pixel(15, 45), qRgb(0, 0, 255));
  expectNear(out.pixel(85, 45), qRgb(255, 0, 0));
  expectNear(out.pixel(85, 11), qRgb(0, 255, 0));  // marker now top right
  img->setFlippedVertically(true);                 // both: turned by 180 degrees
  out = render(*img);
  expectNear(out.pixel(85, 48), qRgb(0, 255, 0));
  expectNear(out.pixel(15, 20), qRgb(0, 0, 255));
  img->setFlippedHorizontally(false);
  out = render(*img);
  expectNear(out.pixel(12, 48), qRgb(0, 255, 0));   // marker bottom left
  EXPECT_EQ(out.pixel(5, 5), qRgb(255, 255, 255));  // nothing outside the bounds
}

TEST_F(PictureObjects, OpacityBlendsAndFiltersApply) {
  auto img = pictureAt(writePicture("k.png", solid(40, 40, qRgb(0, 0, 0))), QRectF(0, 0, 40, 40));
  img->img_trnsp_val = 50.0f;
  expectNear(render(*img).pixel(20, 20), qRgb(128, 128, 128), 2);
  img->img_trnsp_val = 0.0f;
  EXPECT_TRUE(allWhite(render(*img)));
  img->img_trnsp_val = 100.0f;
  img->invert_clr = true;
  expectNear(render(*img).pixel(20, 20), qRgb(255, 255, 255), 0);
  auto red = pictureAt(writePicture("r.png", solid(40, 40, qRgb(255, 0, 0))), QRectF(0, 0, 40, 40));
  red->gray_Scale = true;
  expectNear(render(*red).pixel(20, 20), qRgb(54, 54, 54), 1);
  red->gray_Scale = false;
  red->ev_val = -1.0f;
  expectNear(render(*red).pixel(20, 20), qRgb(128, 0, 0), 1);
}

TEST_F(PictureObjects, MissingOrBrokenFilesDrawNoPicture) {
  auto img = pictureAt(dir.filePath("nothing-here.png"), QRectF(10, 10, 50, 50));
  EXPECT_TRUE(img->_contents.isNull());
  EXPECT_TRUE(allWhite(render(*img)));
  // With its border on, only the border shows.
  img->_isDrawingStroke = true;
  img->_strokeWidth = 2.0;
  QImage out = render(*img);
  EXPECT_NE(out.pixel(10, 30), qRgb(255, 255, 255));
  EXPECT_EQ(out.pixel(35, 35), qRgb(255, 255, 255));
  // An empty path draws nothing at all, not even the border.
  img->Set_Control_File_path(QString());
  EXPECT_TRUE(allWhite(render(*img)));
  // A file that is not a picture, and a truncated picture, load as nothing.
  QFile junk(dir.filePath("junk.png"));
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
  junk.write("\x89PNG\r\n\x1a\nthis is not really a picture");
  junk.close();
  auto broken = pictureAt(junk.fileName(), QRectF(0, 0, 30, 30));
  EXPECT_TRUE(broken->_contents.isNull());
  EXPECT_TRUE(allWhite(render(*broken)));
  // Choosing such files says what is wrong: nothing there, or something that
  // is there (a named pipe, a file of junk) but cannot be read as a picture.
  const QString pipe = dir.filePath("pipe.png");
  ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
  const QString said = "The file \"%1\" could not be read: %2.";
  EXPECT_EQ(pictureFileProblem(dir.filePath("nothing-here.png")),
            said.arg(dir.filePath("nothing-here.png"), "no such file or directory"));
  EXPECT_EQ(pictureFileProblem(pipe), said.arg(pipe, "it is a named pipe, not a file"));
  // A picture cut short after its header, and junk after a PNG's mark.
  QImage noise(64, 64, QImage::Format_RGB32);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) noise.setPixel(x, y, qRgb(x * 4, y * 4, (x * y) % 256));
  QFile cut(writePicture("cut.png", noise));
  ASSERT_TRUE(cut.resize(cut.size() / 2));
  for (const QString& damaged : {junk.fileName(), cut.fileName()})
    EXPECT_EQ(pictureFileProblem(damaged), said.arg(damaged, "it is a damaged or incomplete picture"));
  // A hidden picture draws nothing.
  auto hidden = pictureAt(writePicture("x.png", solid(10, 10, qRgb(0, 0, 0))), QRectF(0, 0, 10, 10));
  hidden->Set_Ctrl_Is_Visible(false);
  EXPECT_TRUE(allWhite(render(*hidden)));
}

// Every kind the program reads, cut short anywhere (a JPEG in the middle of
// its scan data too, which Qt's reader fills with grey without a word), is
// named by the check and loads as nothing; whole, it is not named, also with
// another program's data after the picture or an EXIF block before it.
TEST_F(PictureObjects, APictureCutShortIsNamedAndLoadsAsNothingOfEveryKind) {
  const QString said = kDamaged;
  for (const testing_support::PictureSample& whole : testing_support::wholePictureSamples()) {
    const QString path = write("whole." + whole.suffix, whole.bytes);
    EXPECT_EQ(pictureFileProblem(path), "") << path.toStdString();
    const CheckedPicture loaded = loadCheckedPictureFile(path);
    EXPECT_EQ(loaded.problem, "");
    EXPECT_EQ(loaded.image.size(), QSize(240, 160)) << path.toStdString();
    // Held by whoever checked it, the picture is not decoded again when placed.
    EXPECT_EQ(pictureAt(path, QRectF(0, 0, 24, 16))->_contents.cacheKey(), loaded.image.cacheKey());
    int n = 0;
    for (const QByteArray& cut : testing_support::cutPictureSamples(whole)) {
      const QString cutPath = write(QStringLiteral("cut-%1.%2").arg(++n).arg(whole.suffix), cut);
      EXPECT_EQ(pictureFileProblem(cutPath), said.arg(cutPath)) << cut.size();
      const CheckedPicture none = loadCheckedPictureFile(cutPath);
      EXPECT_TRUE(none.image.isNull()) << cutPath.toStdString();
      EXPECT_EQ(none.problem, said.arg(cutPath));
      EXPECT_TRUE(pictureAt(cutPath, QRectF(0, 0, 24, 16))->_contents.isNull());
    }
  }
  const QList<testing_support::PictureSample> samples = testing_support::wholePictureSamples();
  const QByteArray video = QByteArray(
                               "\0\0\0\x18"
                               "ftypmp42",
                               12) +
                           QByteArray(3000, '\x5A');
  for (const QString& path :
       {write("motion.jpg", samples[0].bytes + video), write("noted.png", samples[1].bytes + "note\n"),
        write("turned.jpg", testing_support::jpegWithOrientation(testing_support::samplePicture(), 6))}) {
    EXPECT_EQ(pictureFileProblem(path), "") << path.toStdString();
    EXPECT_FALSE(loadPictureFile(path).isNull()) << path.toStdString();
  }
  // Damage only decoding finds (a whole-looking PNG whose data are broken) is
  // named when the picture is loaded.
  QByteArray broken = samples[1].bytes;
  broken.replace(broken.indexOf("IDAT") + 8, 64, QByteArray(64, '\x55'));
  const QString brokenPath = write("broken.png", broken);
  EXPECT_EQ(loadCheckedPictureFile(brokenPath).problem, said.arg(brokenPath));
}

namespace {

QByteArray littleEndian(quint32 value, int bytes) {
  QByteArray out;
  for (int i = 0; i < bytes; ++i) out.append(char(value >> (8 * i)));
  return out;
}

// A TIFF whose 65,535 directory entries alternate strip offsets and strip
// byte counts of 2^20 numbers each. With `oneArray` all point at one 4 MB
// array; otherwise the first two have arrays of their own (strips of one
// byte at the file's start) and the others point at the first.
QByteArray tiffOfManyEntries(bool oneArray) {
  constexpr quint32 kEntries = 65535, kValues = 1 << 20;
  const quint32 arrays = 8 + 2 + kEntries * 12 + 4;
  QByteArray file = "II*" + QByteArray(1, '\0') + littleEndian(8, 4) + littleEndian(kEntries, 2);
  for (quint32 i = 0; i < kEntries; ++i) {
    const quint32 at = oneArray || i > 1 ? arrays : arrays + i * kValues * 4;
    file += littleEndian(i % 2 ? 279 : 273, 2) + littleEndian(4, 2) + littleEndian(kValues, 4) +
            littleEndian(at, 4);
  }
  file += littleEndian(0, 4);
  file += littleEndian(0, 4).repeated(kValues);
  if (!oneArray) file += littleEndian(1, 4).repeated(kValues);
  return file;
}

}  // namespace

// Headers that no file could hold are damage, however their sizes multiply;
// the check reads no more than the file holds whatever its directory says;
// and a JPEG whose other data (20 MB of it) lie between its frame header
// and its scan is whole, as it decodes whole.
TEST_F(PictureObjects, HeadersNoFileCouldHoldAreDamageAndTheCheckReadsNoMoreThanTheFile) {
  const QString said = kDamaged;
  auto examined = [](const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return examinePictureFile(file, file.size());
  };
  // 2^31 - 1 x 2^31 - 1 pixels at 65,535 bits, in 70 bytes.
  const QByteArray bmp = "BM" + littleEndian(70, 4) + littleEndian(0, 4) + littleEndian(54, 4) +
                         littleEndian(40, 4) + littleEndian(0x7FFFFFFF, 4) + littleEndian(0x7FFFFFFF, 4) +
                         littleEndian(1, 2) + littleEndian(65535, 2) + QByteArray(24, '\0') +
                         QByteArray(16, 'x');
  ASSERT_EQ(bmp.size(), 70);
  // 2^32 - 1 pixels square, with data after it.
  QByteArray png = testing_support::wholePictureSamples()[1].bytes + "note";
  for (const QString& path :
       {write("huge.bmp", bmp), write("huge.png", png.replace(16, 8, QByteArray(8, '\xFF')))})
    EXPECT_EQ(pictureFileProblem(path), said.arg(path));

  // 65,535 entries at one array: answered after reading the directory alone.
  const QString tiff = write("photo.jpg", tiffOfManyEntries(true));
  const PictureStructure one = examined(tiff);
  EXPECT_EQ(one.completeness, PictureCompleteness::Cut);
  EXPECT_LE(one.bytesRead, QFileInfo(tiff).size());
  EXPECT_EQ(pictureFileProblem(tiff), said.arg(tiff));
  // Arrays of their own: each read once (the first bytes, read for every
  // kind, are the directory's too).
  const QString twoArrays = write("two.tif", tiffOfManyEntries(false));
  const PictureStructure two = examined(twoArrays);
  EXPECT_EQ(two.completeness, PictureCompleteness::Whole);
  EXPECT_LE(two.bytesRead, QFileInfo(twoArrays).size() + 64);
  EXPECT_GE(two.bytesRead, 8 << 20);

  // 8 x 8 pixels with 20 MB of other data after the frame header, and a note after the picture.
  QBuffer jpegBuffer;
  ASSERT_TRUE(jpegBuffer.open(QIODevice::WriteOnly) && halves(8, 8).save(&jpegBuffer, "JPEG"));
  QByteArray jpeg = jpegBuffer.data();
  const qsizetype frame = jpeg.indexOf("\xFF\xC0");
  ASSERT_GT(frame, 0);
  const qsizetype afterFrame = frame + 2 + (uchar(jpeg[frame + 2]) << 8 | uchar(jpeg[frame + 3]));
  const QByteArray segment = "\xFF\xEA\xFF\xFF" + QByteArray(65533, 'a');
  jpeg.insert(afterFrame, segment.repeated(320));
  const QString notes = write("notes.jpg", jpeg + "note");
  EXPECT_EQ(pictureFileProblem(notes), "");
  EXPECT_EQ(loadPictureFile(notes).size(), QSize(8, 8));
  EXPECT_LE(examined(notes).bytesRead, QFileInfo(notes).size() + 64);
}

TEST_F(PictureObjects, DrawingAsksForARefreshAndLeavesThePictureAlone) {
  auto img = pictureAt(writePicture("s.png", solid(50, 30, qRgb(9, 9, 9))), QRectF(0, 0, 50, 30));
  img->rotate_image = 45.0f;
  img->blr_val = 3.0f;
  const qint64 key = img->_contents.cacheKey();
  const int before = host.refreshes;
  render(*img);
  EXPECT_EQ(host.refreshes, before + 1);
  EXPECT_EQ(img->_contents.cacheKey(), key);
  EXPECT_EQ(img->_contents.size(), QSize(50, 30));
}

TEST_F(PictureObjects, NewSignatureShowsItsSampleAndKeepsShowingIt) {
  const QString samplePath = QDir(shippedResources()).filePath("sign_sample.png");
  const QImage sample(samplePath);
  ASSERT_FALSE(sample.isNull());
  auto sig = SKTSignature::initWithPosition(QPointF(150, 100), sample, "S");
  EXPECT_EQ(sig->file_path, samplePath);
  EXPECT_EQ(sig->FilePath(), samplePath);  // what the design file saves shows the same picture again
  sig->_isDrawingStroke = false;
  const QImage out = render(*sig);
  EXPECT_EQ(sig->_contents_img.size(), sample.size());  // not replaced by "no.png"
  const QRectF b = sig->bounds();
  EXPECT_EQ(b.size(), QSizeF(sample.size()));
  int ink = 0;
  for (int y = 0; y < out.height(); ++y)
    for (int x = 0; x < out.width(); ++x)
      if (out.pixel(x, y) != qRgb(255, 255, 255)) {
        ++ink;
        EXPECT_TRUE(b.adjusted(-1, -1, 1, 1).contains(x, y)) << x << "," << y;
      }
  EXPECT_GT(ink, 100);
  // A fingerprint object whose path becomes "Default" shows the fingerprint sample.
  auto fp = SKTSignature::initWithPosition(QPointF(50, 50), sample, "F");
  EXPECT_EQ(fp->FilePath(), QDir(shippedResources()).filePath("fingerprints.png"));
  fp->Set_Control_File_path("Default");
  fp->file_path = "elsewhere";
  render(*fp);
  EXPECT_EQ(fp->file_path, QDir(shippedResources()).filePath("fingerprints.png"));
  EXPECT_EQ(fp->_contents_img.size(), QSize(120, 150));
}

TEST_F(PictureObjects, SignatureStretchesOverItsBoundsAndReloadsOnlyWhenThePathChanged) {
  const QString path = writePicture("sig.png", halves(20, 20));
  auto sig = std::make_shared<SKTSignature>();
  sig->setFilePath(path);
  sig->_isDrawingStroke = false;
  sig->setBounds(QRectF(10, 10, 100, 50));
  sig->hue_val = 2.0f;  // adjustments do not touch a signature
  sig->_isFlippedHorizontally = true;
  sig->img_trnsp_val = 10.0f;
  QImage out = render(*sig);
  expectNear(out.pixel(15, 50), qRgb(255, 0, 0));
  expectNear(out.pixel(105, 50), qRgb(0, 0, 255));
  EXPECT_EQ(out.pixel(115, 50), qRgb(255, 255, 255));
  // Same paths: the file is not read again (a changed file on disk is not noticed).
  writePicture("sig.png", solid(20, 20, qRgb(0, 0, 0)));
  out = render(*sig);
  expectNear(out.pixel(15, 50), qRgb(255, 0, 0));
  // A new path on the graphic is loaded at the next drawing, but not while hidden.
  const QString other = writePicture("other.png", solid(20, 20, qRgb(250, 250, 0)));
  sig->Set_Control_File_path(other);
  sig->Set_Ctrl_Is_Visible(false);
  EXPECT_TRUE(allWhite(render(*sig)));
  EXPECT_EQ(sig->file_path, path);
  sig->Set_Ctrl_Is_Visible(true);
  out = render(*sig);
  expectNear(out.pixel(15, 50), qRgb(250, 250, 0));
  // A missing file leaves only the border.
  sig->Set_Control_File_path(dir.filePath("gone.png"));
  sig->_isDrawingStroke = true;
  out = render(*sig);
  EXPECT_EQ(out.pixel(50, 30), qRgb(255, 255, 255));
  EXPECT_NE(out.pixel(10, 30), qRgb(255, 255, 255));
}

TEST_F(PictureObjects, BarcodeDrawsItsPictureAtItsOwnSizeFromTheOrigin) {
  QImage bars = solid(40, 20, qRgb(255, 255, 255));
  for (int x = 0; x < 40; x += 4)
    for (int y = 0; y < 20; ++y) {
      bars.setPixel(x, y, qRgb(0, 0, 0));
      bars.setPixel(x + 1, y, qRgb(0, 0, 0));
    }
  auto code = std::make_shared<SKTBarcode>();
  code->Set_Barcode_image(bars);
  code->setBounds(QRectF(30, 40, 200, 100));  // wider than the picture: bars are not stretched
  QImage out = render(*code);
  EXPECT_EQ(out.pixel(30, 40), qRgb(0, 0, 0));
  EXPECT_EQ(out.pixel(31, 59), qRgb(0, 0, 0));
  EXPECT_EQ(out.pixel(32, 50), qRgb(255, 255, 255));
  EXPECT_EQ(out.pixel(66, 50), qRgb(0, 0, 0));
  EXPECT_EQ(out.pixel(30, 61), qRgb(255, 255, 255));
  EXPECT_EQ(out.pixel(80, 50), qRgb(255, 255, 255));
  // A new picture on the graphic shows at the next drawing.
  code->Set_Barcode_image(solid(10, 10, qRgb(0, 0, 200)));
  out = render(*code);
  EXPECT_EQ(out.pixel(35, 45), qRgb(0, 0, 200));
  EXPECT_EQ(out.pixel(66, 50), qRgb(255, 255, 255));
  code->Set_Ctrl_Is_Visible(false);
  EXPECT_TRUE(allWhite(render(*code)));
}

TEST_F(PictureObjects, BarcodeWithoutPictureShowsTheSample) {
  // The shipped sample, 240 x 120 pixels, is shown 120 x 60 points large.
  auto code = SKTBarcode::initWithPosition(QPointF(150, 100), QImage());
  EXPECT_EQ(code->bounds(), QRectF(90, 70, 120, 60));
  const QImage out = render(*code);
  EXPECT_EQ(out.pixel(90 + 18, 70 + 20), qRgb(0, 0, 0));  // first bar of the sample
  EXPECT_EQ(out.pixel(90 + 17, 70 + 20), qRgb(255, 255, 255));
  EXPECT_EQ(out.pixel(40, 40), qRgb(255, 255, 255));
  EXPECT_EQ(out.pixel(215, 90), qRgb(255, 255, 255));
}

TEST_F(PictureObjects, BarcodeIntoPdfIsVectorRectangles) {
  QImage bars = solid(30, 10, qRgb(255, 255, 255));
  for (int x = 0; x < 30; x += 3)
    for (int y = 0; y < 10; ++y) bars.setPixel(x, y, qRgb(0, 0, 0));
  auto runs = picture_drawing::pixelRuns(bars);
  int black = 0;
  for (const auto& run : runs) {
    EXPECT_EQ(run.rect.height(), 10);  // equal rows merged
    if (run.colour == qRgb(0, 0, 0)) {
      ++black;
      EXPECT_EQ(run.rect.width(), 1);
    }
  }
  EXPECT_EQ(black, 10);

  auto code = std::make_shared<SKTBarcode>();
  code->Set_Barcode_image(bars);
  code->setBounds(QRectF(20, 20, 30, 10));
  const QString pdf = dir.filePath("code.pdf");
  {
    QPdfWriter writer(pdf);
    writer.setResolution(72);
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter(&writer);
    code->drawContentsInView(painter, false);
  }
  const auto tool = platform::runChild("pdfimages", {"-list", pdf});
  ASSERT_EQ(tool.exitCode, 0) << "pdfimages (poppler-utils) is needed";
  const QStringList lines = QString::fromUtf8(tool.out).split('\n', Qt::SkipEmptyParts);
  EXPECT_EQ(lines.size(), 2) << lines.join('\n').toStdString();  // header lines only: no raster image
  // The bars are in the page: rendered back, the first bar is black.
  ASSERT_EQ(
      platform::runChild("pdftoppm", {"-r", "72", "-png", "-singlefile", pdf, dir.filePath("code")}).exitCode,
      0);
  const QImage page(dir.filePath("code.png"));
  ASSERT_FALSE(page.isNull());
  expectNear(page.pixel(20, 25), qRgb(0, 0, 0), 30);
  expectNear(page.pixel(22, 25), qRgb(255, 255, 255), 30);
}

TEST_F(PictureObjects, WorkersRenderSnapshotsWhileTheCanvasDraws) {
  // Export and mail workers draw clones taken on the GUI thread while the
  // canvas keeps drawing the original; all of them must see the same result.
  auto img = pictureAt(writePicture("t.png", halves(300, 200)), QRectF(5, 5, 150, 100));
  img->Sepia = true;
  img->hue_val = 1.0f;
  img->srp_val = 1.0f;
  img->blr_val = 2.0f;
  img->rotate_image = 30.0f;
  img->img_trnsp_val = 80.0f;
  const QImage expected = render(*img, QSize(160, 110));
  std::vector<SKTGraphicPtr> snapshots;
  for (int i = 0; i < 4; ++i) snapshots.push_back(img->clone());
  std::vector<QImage> results(snapshots.size());
  std::vector<std::thread> workers;
  for (size_t i = 0; i < snapshots.size(); ++i)
    workers.emplace_back([&, i] {
      for (int k = 0; k < 3; ++k) results[i] = render(*snapshots[i], QSize(160, 110));
    });
  for (int k = 0; k < 3; ++k) EXPECT_EQ(render(*img, QSize(160, 110)), expected);
  for (auto& w : workers) w.join();
  for (const QImage& r : results) EXPECT_EQ(r, expected);
}

namespace {

// Writes the picture uncompressed (BMP content under the sample's name), so
// that two pictures of one size give files of the same length.
void writeSample(const QString& path, const QImage& picture) {
  ASSERT_TRUE(picture.save(path, "BMP"));
}

QImage draw(SKTGraphic& g) {
  QImage canvas(80, 60, QImage::Format_ARGB32);
  canvas.fill(Qt::white);
  QPainter painter(&canvas);
  g.drawContentsInView(painter, false);
  painter.end();
  return canvas;
}

}  // namespace

TEST(PictureSamples, BarcodeSampleIsDecodedOnceNotOnEveryDrawing) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  testing_support::FakeCardHost host;
  host.resourcePath = dir.path();
  ScopedCardHost scope(host);
  const QString sample = dir.filePath("barcode_sample.png");
  writeSample(sample, solid(20, 10, qRgb(200, 0, 0)));
  const QDateTime stamp = QFileInfo(sample).lastModified();
  const qint64 length = QFileInfo(sample).size();

  auto code = SKTBarcode::initWithPosition(QPointF(30, 20), QImage());
  EXPECT_EQ(code->bounds(), QRectF(20, 15, 20, 10));
  EXPECT_EQ(draw(*code).pixel(25, 20), qRgb(200, 0, 0));

  // Same length and time stamp, other pixels: a drawing that read the file
  // again would show blue.
  writeSample(sample, solid(20, 10, qRgb(0, 0, 200)));
  ASSERT_EQ(QFileInfo(sample).size(), length);
  {
    QFile f(sample);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(stamp, QFileDevice::FileModificationTime));
  }
  for (int i = 0; i < 3; ++i) EXPECT_EQ(draw(*code).pixel(25, 20), qRgb(200, 0, 0));

  // A replaced file (new time stamp) is noticed.
  {
    QFile f(sample);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(stamp.addSecs(5), QFileDevice::FileModificationTime));
  }
  EXPECT_EQ(draw(*code).pixel(25, 20), qRgb(0, 0, 200));

  // Workers draw clones of the object at the same time as the canvas draws it.
  std::vector<SKTGraphicPtr> clones;
  for (int i = 0; i < 4; ++i) clones.push_back(code->clone());
  std::vector<QRgb> seen(clones.size());
  std::vector<std::thread> workers;
  for (size_t i = 0; i < clones.size(); ++i)
    workers.emplace_back([&, i] {
      for (int k = 0; k < 5; ++k) seen[i] = draw(*clones[i]).pixel(25, 20);
    });
  for (int k = 0; k < 5; ++k) EXPECT_EQ(draw(*code).pixel(25, 20), qRgb(0, 0, 200));
  for (auto& w : workers) w.join();
  for (QRgb p : seen) EXPECT_EQ(p, qRgb(0, 0, 200));

  // Without the sample file nothing is drawn; a rendered barcode still shows.
  ASSERT_TRUE(QFile::remove(sample));
  EXPECT_EQ(draw(*code).pixel(25, 20), qRgb(255, 255, 255));
  code->Set_Barcode_image(solid(8, 8, qRgb(0, 150, 0)));
  EXPECT_EQ(draw(*code).pixel(23, 18), qRgb(0, 150, 0));
}

TEST(PictureSamples, BarcodeSampleFollowsTheResourceFolder) {
  QTemporaryDir first, second;
  writeSample(first.filePath("barcode_sample.png"), solid(10, 10, qRgb(10, 10, 10)));
  writeSample(second.filePath("barcode_sample.png"), solid(10, 10, qRgb(240, 240, 0)));
  auto code = std::make_shared<SKTBarcode>();
  code->setBounds(QRectF(0, 0, 10, 10));
  {
    testing_support::FakeCardHost host;
    host.resourcePath = first.path();
    ScopedCardHost scope(host);
    EXPECT_EQ(draw(*code).pixel(5, 5), qRgb(10, 10, 10));
  }
  {
    testing_support::FakeCardHost host;
    host.resourcePath = second.path();
    ScopedCardHost scope(host);
    EXPECT_EQ(draw(*code).pixel(5, 5), qRgb(240, 240, 0));
  }
}

TEST(PictureSamples, ArchivedPictureKeepsItsPixelsAndIsShownClamped) {
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  ASSERT_TRUE(solid(1000, 1000, qRgb(0, 90, 0)).save(&buffer, "PNG"));
  const SKTGraphicPtr g =
      SKTGraphic::graphicWithProperties(GraphicKind::Image, {{QStringLiteral("contents"), png}});
  ASSERT_TRUE(g);
  const auto& image = static_cast<const SKTImage&>(*g);
  EXPECT_EQ(image._contents.size(), QSize(1000, 1000));
  EXPECT_EQ(image.pictureSize(), QSizeF(724, 468));
  EXPECT_EQ(QColor(image._contents.pixel(999, 999)), QColor(0, 90, 0));
}

TEST(PictureSamples, HighResolutionFileNamesAreSizedByTheirPixels) {
  // Qt's reader marks "name@2x.png" as a picture for a 2x screen; a card sizes
  // pictures by their pixels, and a turned picture must still fill its bounds.
  QTemporaryDir dir;
  QImage marked = solid(40, 20, qRgb(0, 0, 220));
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x) marked.setPixel(x, y, qRgb(220, 0, 0));
  const QString path = dir.filePath("logo@2x.png");
  ASSERT_TRUE(marked.save(path, "PNG"));
  auto img = SKTImage::initWithPath(QPointF(40, 30), path);
  EXPECT_EQ(img->bounds(), QRectF(20, 20, 40, 20));
  img->_isDrawingStroke = false;
  img->rotate_image = 90.0f;  // red quarter from top left to bottom left; the whole bounds covered
  const QImage out = draw(*img);
  EXPECT_EQ(out.pixel(21, 38), qRgb(220, 0, 0));
  EXPECT_EQ(out.pixel(58, 38), qRgb(0, 0, 220));
  EXPECT_EQ(out.pixel(21, 21), qRgb(0, 0, 220));
  EXPECT_EQ(out.pixel(58, 21), qRgb(0, 0, 220));
  // The turn itself works on pixels whatever the picture says of its screen.
  QImage dense = marked;
  dense.setDevicePixelRatio(2.0);
  const QImage turned = ImageProcesser::imageRotated(dense, 90).convertToFormat(QImage::Format_ARGB32);
  ASSERT_EQ(turned.size(), QSize(20, 40));
  EXPECT_EQ(turned.pixel(2, 37), qRgb(220, 0, 0));
  EXPECT_EQ(turned.pixel(17, 2), qRgb(0, 0, 220));
}
