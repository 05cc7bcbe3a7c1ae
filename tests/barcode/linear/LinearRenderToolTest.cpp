// The barcode_render tool: PNG and SVG output that decoders read, the module
// string on its standard output, and refusal of values the symbology cannot hold.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QPainter>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include "LinearTestSupport.h"
#include "barcode/linear/LinearSymbologies.h"
#include "platform/ChildProcess.h"

using namespace barcode;
using namespace barcode::testing;

namespace {

QString tool() {
  const QString path = QStringLiteral(QUVO_BINARY_DIR "/tests/barcode_render");
  EXPECT_TRUE(QFileInfo(path).isExecutable())
      << "build the target barcode_render first: " << path.toStdString();
  return path;
}

}  // namespace

TEST(LinearRenderTool, WritesPngAndSvgThatDecode) {
  const QString program = tool();
  ASSERT_FALSE(program.isEmpty());
  QTemporaryDir dir;
  const QString png = dir.filePath(QStringLiteral("b.png"));
  const QString svg = dir.filePath(QStringLiteral("b.svg"));
  const QByteArray out = runProgram(program, {QStringLiteral("Code 128"), QStringLiteral("Tool 7"), png, svg,
                                              QStringLiteral("--dpi"), QStringLiteral("216")});
  auto code = createLinearBarcode(QStringLiteral("Code 128"), QStringLiteral("Tool 7"));
  EXPECT_EQ(out.trimmed().toStdString(), code->completeBarcode());
  EXPECT_EQ(zxingRead(QImage(png), "Code128"), std::optional<std::string>("Tool 7"));

  QSvgRenderer renderer(svg);
  ASSERT_TRUE(renderer.isValid());
  const QSizeF size = renderer.viewBoxF().size();
  QImage image((size * 3).toSize(), QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  renderer.render(&painter);
  painter.end();
  EXPECT_EQ(zxingRead(image, "Code128"), std::optional<std::string>("Tool 7"));
}

TEST(LinearRenderTool, RefusesValuesAndNamesItCannotDraw) {
  const QString program = tool();
  ASSERT_FALSE(program.isEmpty());
  QTemporaryDir dir;
  auto process = platform::runChild(
      program, {QStringLiteral("EAN-8"), QStringLiteral("96385075"), dir.filePath(QStringLiteral("x.png"))});
  EXPECT_EQ(process.exitCode, 1);
  EXPECT_TRUE(process.err.contains("Invalid barcode value"));
  EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("x.png"))));
  process = platform::runChild(
      program, {QStringLiteral("Code 93"), QStringLiteral("1"), dir.filePath(QStringLiteral("y.png"))});
  EXPECT_EQ(process.exitCode, 1);
}
