// Values per second for encoding and drawing linear barcodes (Code 128 and
// EAN-13), as batch production renders one barcode per card.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <string>
#include <vector>

#include "GuiBenchMain.h"
#include "barcode/BarcodeDrawingState.h"
#include "barcode/linear/LinearSymbologies.h"
#include "barcode/linear/QVBBarcodeOffscreenView.h"

namespace {

std::vector<QString> values(const char* symbology, int count) {
  std::vector<QString> out;
  for (int i = 0; i < count; ++i) {
    if (std::string(symbology) == "EAN-13")
      out.push_back(QStringLiteral("40063813%1").arg(i % 10000, 4, 10, QLatin1Char('0')));
    else
      out.push_back(QStringLiteral("Card %1 / Row-%2").arg(i).arg(i * 7 % 1000));
  }
  return out;
}

// Sizes the object as the designer does before it draws.
void layOut(barcode::QVBBarcode& b, const barcode::BarcodeDrawingState& s) {
  b.setPrintsCaption(true);
  b.setBarWidth(1.44f);
  b.setCaptionFontSize(10, s);
  b.setHeaderFontSize(10, s);
  b.setFooterFontSize(10, s);
  b.setHeight(17.0f + b.captionHeight() * 72.0f + s.value_margin + 2 * s.TB_margin);
  b.calculateWidth();
  b.setWidth(b.width() + 2 * s.LR_margin + 15);
}

void encode(benchmark::State& state, const char* symbology) {
  const auto input = values(symbology, 1024);
  const QString name = QString::fromLatin1(symbology);
  size_t i = 0;
  for (auto _ : state) {
    auto code = barcode::createLinearBarcode(name, input[i++ % input.size()]);
    benchmark::DoNotOptimize(code->isContentValid());
    benchmark::DoNotOptimize(code->completeBarcode());
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
  state.SetLabel("values");
}

void drawPicture(benchmark::State& state, const char* symbology) {
  const auto input = values(symbology, 1024);
  const QString name = QString::fromLatin1(symbology);
  const barcode::BarcodeDrawingState s;
  size_t i = 0;
  for (auto _ : state) {
    auto code = barcode::createLinearBarcode(name, input[i++ % input.size()]);
    layOut(*code, s);
    const barcode::BarcodePicture picture = barcode::imageFromBarcode(*code, s);
    benchmark::DoNotOptimize(picture.size);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
  state.SetLabel("values");
}

void drawRaster300(benchmark::State& state, const char* symbology) {
  const auto input = values(symbology, 1024);
  const QString name = QString::fromLatin1(symbology);
  const barcode::BarcodeDrawingState s;
  size_t i = 0;
  for (auto _ : state) {
    auto code = barcode::createLinearBarcode(name, input[i++ % input.size()]);
    layOut(*code, s);
    const QImage image = barcode::imageFromBarcode(*code, s).toImage(300);
    benchmark::DoNotOptimize(image.constBits());
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
  state.SetLabel("values");
}

}  // namespace

BENCHMARK_CAPTURE(encode, Code128, "Code 128");
BENCHMARK_CAPTURE(encode, EAN13, "EAN-13");
BENCHMARK_CAPTURE(drawPicture, Code128, "Code 128");
BENCHMARK_CAPTURE(drawPicture, EAN13, "EAN-13");
BENCHMARK_CAPTURE(drawRaster300, Code128, "Code 128");
BENCHMARK_CAPTURE(drawRaster300, EAN13, "EAN-13");

int main(int argc, char** argv) {
  return runGuiBenchmarks(argc, argv);
}
