// The placeholder and pattern pictures shipped in resources/ decode, have
// sensible sizes and are what the generator script draws.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "core/PictureFile.h"
#include "platform/ChildProcess.h"

namespace {
QString resourceFolder() {
  return QStringLiteral(QUVO_SOURCE_DIR "/resources");
}
}  // namespace

TEST(ShippedPictures, AllDecode) {
  const struct {
    const char* name;
    QSize size;
  } pictures[] = {
      {"no.png", {160, 120}},           {"sign_sample.png", {220, 90}},
      {"fingerprints.png", {120, 150}}, {"barcode_sample.png", {240, 120}},
      {"Cross.png", {16, 16}},          {"banner.png", {64, 64}},
      {"pattern_1.jpg", {48, 48}},      {"Wizard_pattern.jpg", {64, 64}},
  };
  for (const auto& p : pictures) {
    const QImage img = loadPictureFile(QDir(resourceFolder()).filePath(QLatin1String(p.name)));
    ASSERT_FALSE(img.isNull()) << p.name;
    EXPECT_EQ(img.size(), p.size) << p.name;
  }
  // The cross cursor's hot spot (its centre) is black.
  const QImage cross =
      loadPictureFile(resourceFolder() + "/Cross.png").convertToFormat(QImage::Format_ARGB32);
  EXPECT_EQ(cross.pixel(8, 8), qRgb(0, 0, 0));
  // The JPEG pattern keeps its colours: warm ground at a tile corner.
  const QImage pattern = loadPictureFile(resourceFolder() + "/pattern_1.jpg");
  const QRgb ground = pattern.pixel(0, 0);
  EXPECT_NEAR(qRed(ground), 250, 8);
  EXPECT_NEAR(qGreen(ground), 236, 8);
  EXPECT_NEAR(qBlue(ground), 214, 8);
}

TEST(ShippedPictures, GeneratorReproducesTheShippedFiles) {
  QTemporaryDir out;
  ASSERT_TRUE(out.isValid());
  const auto python = platform::runChild(
      QStringLiteral("/usr/bin/python3"),
      {QStringLiteral(QUVO_SOURCE_DIR "/scripts/make_placeholder_pictures.py"), out.path()});
  ASSERT_TRUE(python.started) << "python3 is needed to run the picture generator";
  ASSERT_EQ(python.exitCode, 0) << python.err.toStdString();
  // Pixels, not bytes: another zlib may pack the same picture differently.
  const QStringList made = QDir(out.path()).entryList(QDir::Files);
  EXPECT_EQ(made.size(), 11);
  for (const QString& name : made) {
    const QImage fresh = loadPictureFile(out.filePath(name)).convertToFormat(QImage::Format_ARGB32);
    const QImage shipped =
        loadPictureFile(QDir(resourceFolder()).filePath(name)).convertToFormat(QImage::Format_ARGB32);
    ASSERT_FALSE(shipped.isNull()) << name.toStdString();
    EXPECT_EQ(fresh, shipped) << name.toStdString();
  }
}
