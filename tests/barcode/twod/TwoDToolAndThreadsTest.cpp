// The barcode_render_2d tool (PNG read by zxing, SVG drawn as vector shapes),
// and encoders running on several threads at once.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <random>
#include <sstream>
#include <thread>

#include "TwoDDecode.h"
#include "barcode/twod/DataMatrixEcc200.h"
#include "barcode/twod/DataMatrixRoute.h"
#include "barcode/twod/Pdf417View.h"
#include "barcode/twod/QREncoder.h"
#include "barcode/twod/QrEncode.h"
#include "platform/ChildProcess.h"
#include "support/HangGuard.h"
#include "support/WorkGrowth.h"

using namespace barcode::twod;

namespace {

QString toolPath() {
  return QStringLiteral(QUVO_BINARY_DIR "/tests/barcode_render_2d");
}

int runTool(const QStringList& args, QByteArray* err = nullptr) {
  const auto process = platform::runChild(toolPath(), args, {}, testing_support::kHangGuardMs);
  if (err) *err = process.err;
  return process.exitCode;
}

}  // namespace

TEST(TwoDRenderTool, WritesDecodablePngAndVectorSvg) {
  ASSERT_TRUE(QFileInfo(toolPath()).isExecutable()) << "build the target barcode_render_2d first";
  QTemporaryDir dir;
  struct Case {
    const char* kind;
    const char* value;
    ZXing::BarcodeFormat format;
    QStringList options;
  };
  const std::vector<Case> cases = {
      {"qr",
       "Gr\xC3\xBC\xC3\x9F"
       "e aus Berlin",
       ZXing::BarcodeFormat::QRCode,
       {"--level", "H", "--dpi", "150"}},
      {"datamatrix",
       "DM 2026-12-07",
       ZXing::BarcodeFormat::DataMatrix,
       {"--format", "C16X16", "--dpi", "300"}},
      {"pdf417",
       "PDF417 value 1234567890123",
       ZXing::BarcodeFormat::PDF417,
       {"--level", "4", "--dpi", "144"}},
  };
  for (const Case& c : cases) {
    const QString png = dir.filePath(QString::fromLatin1(c.kind) + ".png");
    const QString svg = dir.filePath(QString::fromLatin1(c.kind) + ".svg");
    QStringList args{QString::fromLatin1(c.kind), QString::fromUtf8(c.value), png, "--svg", svg};
    args += c.options;
    ASSERT_EQ(runTool(args), 0) << c.kind;
    QImage image(png);
    ASSERT_FALSE(image.isNull()) << c.kind;
    EXPECT_EQ(twodtest::decode(image, c.format), std::string(c.value)) << c.kind;
    QFile file(svg);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("<rect") || text.contains("<path")) << c.kind;
    EXPECT_FALSE(text.contains("<image")) << c.kind;
  }
  QByteArray err;
  EXPECT_EQ(runTool({"qr", QString(3000, QLatin1Char('x')), dir.filePath("big.png")}, &err), 1);
  EXPECT_EQ(runTool({"aztec", "x", dir.filePath("a.png")}), 2);
  EXPECT_EQ(
      runTool({"datamatrix", QString(40, QLatin1Char('x')), dir.filePath("d.png"), "--format", "C10X10"},
              &err),
      1);
  EXPECT_TRUE(err.contains("No barcode produced"));
}

TEST(TwoDThreads, EncodersRunSideBySide) {
  auto work = [](int seed, std::vector<std::string>* out) {
    for (int i = 0; i < 20; ++i) {
      const QString value =
          QStringLiteral("thread %1 value %2 %3").arg(seed).arg(i).arg(QString(i * 3, QLatin1Char('z')));
      std::string line;
      if (auto qr = QREncoder::encodeWithECLevel(i % 4, 0, value)) line += qr->description().toStdString();
      std::ostringstream sink;
      const std::string data = value.toStdString();
      if (auto dm = datamatrix_ecc200(0, 0, nullptr, reinterpret_cast<const uint8_t*>(data.data()),
                                      static_cast<int>(data.size()), sink))
        line += std::string(dm->grid.begin(), dm->grid.end());
      pdf417param p;
      pdf417init(p);
      p.text = data;
      p.options = PDF417_USE_ERROR_LEVEL;
      p.errorLevel = i % 9;
      paintCode(p);
      line += std::string(p.outBits.begin(), p.outBits.end());
      out->push_back(line);
    }
  };
  std::vector<std::string> serial, a, b;
  work(1, &serial);
  std::thread t1(work, 1, &a);
  std::thread t2(work, 1, &b);
  t1.join();
  t2.join();
  EXPECT_EQ(a, serial);
  EXPECT_EQ(b, serial);
}

TEST(TwoDLongValues, EachRouteFailsCleanlyAndQuickly) {
  const auto refuseAll = [](int length) {
    const QString huge(length, QLatin1Char('A'));
    {
      std::ostringstream out, err;
      const auto render =
          drawDataMatrixBarcode(huge, QStringLiteral("Auto"), QStringLiteral("Auto"), 2, 600, out, err);
      EXPECT_FALSE(render.picture);
      EXPECT_EQ(err.str(), "Cannot find suitable size, barcode too long\nNo barcode produced\n");
    }
    {
      std::ostringstream out, err;
      const auto render =
          drawDataMatrixBarcode(huge, QStringLiteral("C144X144"), QStringLiteral("Auto"), 2, 600, out, err);
      EXPECT_FALSE(render.picture);
      EXPECT_EQ(err.str(), "Cannot make barcode fit 144x144\nNo barcode produced\n");
    }
    for (const char* encoding : {"Ascii", "C40", "Text", "Base256"}) {
      std::ostringstream out, err;
      const auto render = drawDataMatrixBarcode(huge, QStringLiteral("Auto"), QString::fromLatin1(encoding),
                                                2, 600, out, err);
      EXPECT_FALSE(render.picture) << encoding;
      EXPECT_EQ(err.str(), "Cannot find suitable size, barcode too long\nNo barcode produced\n") << encoding;
    }
    for (int level = 0; level < 4; ++level) {
      EXPECT_FALSE(QREncoder::encodeWithECLevel(level, 0, huge));
      EXPECT_FALSE(QREncoder::encodeWithECLevel(level, 40, huge));
    }
    pdf417View view(QSizeF(200, 60));
    EXPECT_EQ(view.drawWithText(huge), pdf417View::kError);
    EXPECT_FALSE(view.getImage());
  };
  // Ten times the length (both far beyond the largest symbols): about ten
  // times the work at most, where a route that went over the value once for
  // each of its characters would take a hundred times.
  EXPECT_LT(testing_support::workGrowth(refuseAll, 20000, 200000), 40);

  // 5,420 bytes pass the length check but not the codeword limit.
  pdf417View view(QSizeF(200, 60));
  EXPECT_EQ(view.drawWithText(QString(5420, QChar(0xE9))), pdf417View::kError);
  EXPECT_EQ(view.drawWithText(QString(5420, QLatin1Char('9'))), pdf417View::kError);
}

TEST(TwoDThreads, RoutesRenderSideBySide) {
  auto work = [](int seed, std::vector<QImage>* out) {
    pdf417View view(QSizeF(120, 40));
    view.setDpi(144);
    for (int i = 0; i < 8; ++i) {
      const QString value = QStringLiteral("row %1 of batch %2").arg(i).arg(seed);
      std::ostringstream o, e;
      auto dm = drawDataMatrixBarcode(value, QStringLiteral("Auto"), QStringLiteral("Auto"), 2, 144, o, e);
      out->push_back(dm.picture ? dm.picture->toImage() : QImage());
      auto grid = QREncoder::encodeWithECLevel(i % 4, 0, value);
      auto qr = grid ? QREncoder::renderDataMatrix(*grid, 60, 144) : std::nullopt;
      out->push_back(qr ? qr->toImage() : QImage());
      view.drawWithText(value);
      auto pdf = view.getImage();
      out->push_back(pdf ? pdf->toImage() : QImage());
    }
  };
  std::vector<QImage> serial, a, b, c;
  work(3, &serial);
  std::thread t1(work, 3, &a), t2(work, 3, &b), t3(work, 3, &c);
  t1.join();
  t2.join();
  t3.join();
  ASSERT_EQ(serial.size(), 24u);
  for (size_t i = 0; i < serial.size(); ++i) {
    ASSERT_FALSE(serial[i].isNull()) << i;
    EXPECT_EQ(a[i], serial[i]) << i;
    EXPECT_EQ(b[i], serial[i]) << i;
    EXPECT_EQ(c[i], serial[i]) << i;
  }
}
