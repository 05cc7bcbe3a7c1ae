// Values per second through the one barcode renderer, as batch production
// uses it: a settings record and a row's value in, the card picture out, at 1
// pixel per point (72 dpi) and at 300 dpi, for Code 128, EAN-13 and QR Code.
// Also the time for long captions, which grows linearly with their length.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <vector>

#include "GuiBenchMain.h"
#include "barcode/designer/BarcodeRenderer.h"

namespace {

barcode::BarcodeSettings settingsFor(const char* symbology) {
  barcode::BarcodeSettings s;
  s.barcode_font_index = static_cast<int>(barcode::symbologyNames().indexOf(QString::fromLatin1(symbology)));
  s.linear_or_2d = s.isTwoD() ? 1 : 0;
  return s;
}

std::vector<QString> rowValues(const char* symbology, int count) {
  std::vector<QString> out;
  for (int i = 0; i < count; ++i) {
    if (QLatin1String(symbology) == QLatin1String("EAN-13"))
      out.push_back(QStringLiteral("40063813%1").arg(i % 10000, 4, 10, QLatin1Char('0')));
    else
      out.push_back(QStringLiteral("Card %1 / Row-%2").arg(i).arg(i * 7 % 1000));
  }
  return out;
}

void renderRows(benchmark::State& state, const char* symbology, int dpi) {
  const barcode::BarcodeSettings s = settingsFor(symbology);
  const auto values = rowValues(symbology, 1024);
  size_t i = 0;
  for (auto _ : state) {
    const barcode::BarcodeRender r =
        barcode::render(s, values[i++ % values.size()], s.header_val, s.footer_val);
    const QImage image = barcode::cardImage(r.picture, dpi);
    if (image.isNull()) state.SkipWithError("no picture");
    benchmark::DoNotOptimize(image.constBits());
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
  state.SetLabel("values");
}

// A Code 128 value of n digits (caption of n characters) at 1 pixel per point.
void longCaption(benchmark::State& state) {
  barcode::BarcodeSettings s = settingsFor("Code 128");
  s.linear_width_val = 1.0f;  // thin modules, so that long values fit the largest picture
  const QString value(static_cast<qsizetype>(state.range(0)), QLatin1Char('7'));
  for (auto _ : state) {
    const barcode::BarcodeRender r = barcode::render(s, value, s.header_val, s.footer_val);
    if (!r.ok()) state.SkipWithError("no picture");
    benchmark::DoNotOptimize(barcode::cardImage(r.picture, 72).constBits());
  }
  state.SetComplexityN(state.range(0));
}

}  // namespace

BENCHMARK_CAPTURE(renderRows, Code128_72dpi, "Code 128", 72);
BENCHMARK_CAPTURE(renderRows, Code128_300dpi, "Code 128", 300);
BENCHMARK_CAPTURE(renderRows, EAN13_72dpi, "EAN-13", 72);
BENCHMARK_CAPTURE(renderRows, EAN13_300dpi, "EAN-13", 300);
BENCHMARK_CAPTURE(renderRows, QRCode_72dpi, "QR Code", 72);
BENCHMARK_CAPTURE(renderRows, QRCode_300dpi, "QR Code", 300);
BENCHMARK(longCaption)->RangeMultiplier(2)->Range(1000, 8000)->Complexity();

int main(int argc, char** argv) {
  return runGuiBenchmarks(argc, argv);
}
