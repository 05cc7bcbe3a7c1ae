// Renders one value as QR Code, Data Matrix or PDF417 to PNG (and optionally
// SVG, drawn as vector rectangles), so that tests and reviewers can feed the
// pictures to decoders.
//
//   barcode_render_2d qr|datamatrix|pdf417 <value> out.png [--svg out.svg] [--dpi N]
//       qr:         [--level L|M|Q|H] [--version 0-40] [--size POINTS]
//       datamatrix: [--format Auto|C<rows>X<columns>] [--encoding Auto|Ascii|C40|Text|Base256]
//                   [--module N]
//       pdf417:     [--level 0-8] [--width POINTS] [--height POINTS]
//
// The PNG has a white quiet zone of --quiet pixels (16 by default) around the picture.

#include <QGuiApplication>
#include <QPainter>
#include <QSvgGenerator>
#include <cstdio>
#include <iostream>
#include <optional>

#include "barcode/twod/DataMatrixRoute.h"
#include "barcode/twod/Pdf417View.h"
#include "barcode/twod/QREncoder.h"

using namespace barcode::twod;

namespace {

int usage() {
  std::fprintf(
      stderr,
      "usage: barcode_render_2d qr|datamatrix|pdf417 <value> out.png [--svg out.svg] [--dpi N] [--quiet PX]\n"
      "         qr:         [--level L|M|Q|H] [--version 0-40] [--size POINTS]\n"
      "         datamatrix: [--format Auto|C<rows>X<cols>] [--encoding Auto|Ascii|C40|Text|Base256]"
      " [--module N]\n"
      "         pdf417:     [--level 0-8] [--width POINTS] [--height POINTS]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QStringList args = app.arguments().mid(1);
  QStringList positional;
  QString svgPath, level, format = QStringLiteral("Auto"), encoding = QStringLiteral("Auto");
  int dpi = 300, version = 0, size = 0, module = 4, quiet = 16;
  double width = 0, height = 0;
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    auto next = [&]() -> QString { return i + 1 < args.size() ? args[++i] : QString(); };
    if (a == QLatin1String("--svg"))
      svgPath = next();
    else if (a == QLatin1String("--dpi"))
      dpi = next().toInt();
    else if (a == QLatin1String("--level"))
      level = next();
    else if (a == QLatin1String("--version"))
      version = next().toInt();
    else if (a == QLatin1String("--size"))
      size = next().toInt();
    else if (a == QLatin1String("--format"))
      format = next();
    else if (a == QLatin1String("--encoding"))
      encoding = next();
    else if (a == QLatin1String("--module"))
      module = next().toInt();
    else if (a == QLatin1String("--width"))
      width = next().toDouble();
    else if (a == QLatin1String("--height"))
      height = next().toDouble();
    else if (a == QLatin1String("--quiet"))
      quiet = std::max(0, next().toInt());
    else if (a.startsWith(QLatin1String("--")))
      return usage();
    else
      positional << a;
  }
  if (positional.size() != 3) return usage();
  const QString kind = positional[0];
  const QString value = positional[1];
  std::optional<SymbolPicture> picture;
  if (kind == QLatin1String("qr")) {
    const QString levels = QStringLiteral("LMQH");
    const int lv = level.isEmpty() ? 1 : levels.indexOf(level.toUpper());
    if (lv < 0) return usage();
    auto grid = QREncoder::encodeWithECLevel(lv, version, value);
    if (!grid) {
      std::fprintf(stderr, "QR Code: the value does not fit\n");
      return 1;
    }
    picture = QREncoder::renderDataMatrix(*grid, size > 0 ? size : grid->dimension() * 2, dpi);
  } else if (kind == QLatin1String("datamatrix")) {
    DataMatrixRender render =
        drawDataMatrixBarcode(value, format, encoding, module, dpi, std::cout, std::cerr);
    picture = render.picture;
  } else if (kind == QLatin1String("pdf417")) {
    pdf417View view;
    view.setDpi(dpi);
    view.setErrorLevel(level.isEmpty() ? 2 : level.toInt());
    // Without a size: two points per module, rows three modules high.
    pdf417View probe;
    probe.setErrorLevel(view.getErrorLevel());
    if (probe.drawWithText(value) != pdf417View::kReady) {
      std::fprintf(stderr, "PDF417: the value cannot be encoded\n");
      return 1;
    }
    const double w = width > 0 ? width : probe.param().bitColumns * 2.0;
    const double h = height > 0 ? height : probe.param().codeRows * 6.0;
    view.setFrameSize(QSizeF(w, h));
    view.drawWithText(value);
    picture = view.getImage();
  } else {
    return usage();
  }
  if (!picture) {
    std::fprintf(stderr, "no picture\n");
    return 1;
  }
  const QImage symbol = picture->toImage();
  if (symbol.isNull()) {
    std::fprintf(stderr, "the picture is too large\n");
    return 1;
  }
  QImage image(symbol.width() + 2 * quiet, symbol.height() + 2 * quiet, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    painter.drawImage(quiet, quiet, symbol);
  }
  if (!image.save(positional[2])) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(positional[2]));
    return 1;
  }
  if (!svgPath.isEmpty()) {
    QSvgGenerator svg;
    svg.setFileName(svgPath);
    const QSizeF s = picture->size();
    svg.setSize(QSize(qCeil(s.width()), qCeil(s.height())));
    svg.setViewBox(QRectF(QPointF(0, 0), s));
    QPainter painter(&svg);
    picture->draw(painter);
  }
  return 0;
}
