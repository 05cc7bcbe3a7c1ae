// Renders one value in one linear symbology to PNG (and optionally SVG), laid
// out as the designer lays it out, so that tests and reviewers can feed the
// pictures to decoders.
//
//   barcode_render <symbology> <value> out.png [out.svg] [--dpi N] [--no-caption]
//                  [--header TEXT] [--footer TEXT] [--bar-width POINTS] [--margin POINTS]
//                  [--bar-height POINTS] [--tb-margin POINTS] [--font-size POINTS]
//                  [--caption-top] [--no-spread] [--align-header NAME] [--align-footer NAME]
//
// <symbology> is a designer name such as "Code 128" or "EAN-13"; --list prints them.

#include <QGuiApplication>
#include <QPainter>
#include <QSvgGenerator>
#include <cstdio>
#include <cstring>

#include "../linear/DesignerLayout.h"
#include "barcode/globals.h"

namespace {

int usage() {
  std::fprintf(stderr,
               "usage: barcode_render <symbology> <value> out.png [out.svg] [--dpi N] [--no-caption]\n"
               "                      [--header TEXT] [--footer TEXT] [--bar-width POINTS]\n"
               "                      [--margin POINTS]  (left/right margin, 12 by default)\n"
               "                      [--bar-height POINTS] [--tb-margin POINTS] [--font-size POINTS]\n"
               "                      [--caption-top] [--no-spread] [--align-header Left|Center|Right]\n"
               "                      [--align-footer Left|Center|Right]\n"
               "       barcode_render --list\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QStringList args = app.arguments().mid(1);
  if (args.size() == 1 && args[0] == QLatin1String("--list")) {
    for (const QString& name : barcode::linearSymbologyNames()) std::printf("%s\n", qPrintable(name));
    return 0;
  }
  QStringList positional;
  bool barWidthGiven = false;
  barcode::BarcodeDrawingState state = barcode::testing::decoderState();
  double dpi = 300;
  barcode::testing::LayoutOptions options;
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    auto next = [&]() -> QString { return i + 1 < args.size() ? args[++i] : QString(); };
    if (a == QLatin1String("--dpi"))
      dpi = next().toDouble();
    else if (a == QLatin1String("--margin"))
      state.LR_margin = next().toFloat();
    else if (a == QLatin1String("--no-caption"))
      options.caption = false;
    else if (a == QLatin1String("--bar-height"))
      options.barHeight = next().toFloat();
    else if (a == QLatin1String("--tb-margin"))
      state.TB_margin = next().toFloat();
    else if (a == QLatin1String("--font-size")) {
      const double size = next().toDouble();
      if (size > 0 && size < 200)
        for (QFont* font : {&state.value_font, &state.header_font, &state.footer_font})
          font->setPointSizeF(size);
    } else if (a == QLatin1String("--caption-top"))
      state.showinTop = 1;
    else if (a == QLatin1String("--no-spread"))
      Spread_Barcode_Value_Text.store(false);
    else if (a == QLatin1String("--align-header"))
      state.align_hdr = next();
    else if (a == QLatin1String("--align-footer"))
      state.align_ftr = next();
    else if (a == QLatin1String("--header"))
      options.header = next();
    else if (a == QLatin1String("--footer"))
      options.footer = next();
    else if (a == QLatin1String("--bar-width")) {
      options.barWidth = next().toFloat();
      barWidthGiven = true;
    } else
      positional << a;
  }
  if (positional.size() < 3 || positional.size() > 4 || !(dpi > 0) || dpi > 4800) return usage();

  // Postal symbols keep their own bar width unless one is asked for.
  static const QStringList postal{QStringLiteral("PostNet"), QStringLiteral("Planet"),
                                  QStringLiteral("Royal Mail Barcode (RM4SCC / CBC)"),
                                  QStringLiteral("Japan Post Barcode")};
  if (!barWidthGiven && postal.contains(positional.value(0))) options.barWidth = 0;
  auto code = barcode::createLinearBarcode(positional[0], positional[1], options.caption);
  if (!code) {
    std::fprintf(stderr, "unknown symbology: %s\n", qPrintable(positional[0]));
    return 1;
  }
  if (!code->isContentValid()) {
    std::fprintf(stderr, "Invalid barcode value\n");
    return 1;
  }
  barcode::testing::layOut(*code, state, options);
  const barcode::BarcodePicture picture = barcode::imageFromBarcode(*code, state);
  const QImage image = picture.toImage(dpi);
  if (image.isNull() || !image.save(positional[2], "PNG")) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(positional[2]));
    return 1;
  }
  if (positional.size() == 4) {
    QSvgGenerator svg;
    svg.setFileName(positional[3]);
    svg.setSize(picture.size.toSize());
    svg.setViewBox(QRectF(QPointF(0, 0), picture.size));
    svg.setResolution(72);
    svg.setTitle(positional[0] + QLatin1String(": ") + positional[1]);
    QPainter painter(&svg);
    picture.paint(painter, QRectF(QPointF(0, 0), picture.size));
    painter.end();
  }
  std::printf("%s\n", qPrintable(QString::fromStdString(code->completeBarcode())));
  return 0;
}
