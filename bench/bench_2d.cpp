// Symbols per second of the 2D encoders: QR Code version 10 level M,
// Data Matrix 32x32 and PDF417 with 300 codewords; and how soon each refuses
// a value far too long for it.
#include <benchmark/benchmark.h>

#include <QLoggingCategory>
#include <array>
#include <sstream>
#include <string>

#include "GuiBenchMain.h"
#include "barcode/twod/DataMatrixEcc200.h"
#include "barcode/twod/DataMatrixRoute.h"
#include "barcode/twod/Pdf417Encoder.h"
#include "barcode/twod/Pdf417View.h"
#include "barcode/twod/QREncoder.h"
#include "barcode/twod/QrEncode.h"

using namespace barcode::twod;

static void BM_QrVersion10LevelM(benchmark::State& state) {
  // 200 bytes fill most of version 10-M (213 bytes).
  std::string text;
  for (int i = 0; i < 200; ++i) text += static_cast<char>('a' + i % 26);
  const QByteArray bytes = QByteArray::fromStdString(text);
  for (auto _ : state) {
    auto grid = QREncoder::encodeCStringWithECLevel(1, 10, bytes);
    if (!grid || grid->dimension() != 57) state.SkipWithError("wrong symbol");
    benchmark::DoNotOptimize(grid);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_QrVersion10LevelM);

static void BM_DataMatrix32x32(benchmark::State& state) {
  // 60 letters and digits in a 32x32 symbol (62 data codewords).
  std::string text;
  for (int i = 0; i < 90; ++i) text += static_cast<char>(i % 3 ? '0' + i % 10 : 'A' + i % 26);
  std::ostringstream err;
  for (auto _ : state) {
    auto symbol = datamatrix_ecc200(32, 32, nullptr, reinterpret_cast<const uint8_t*>(text.data()),
                                    static_cast<int>(text.size()), err);
    if (!symbol) state.SkipWithError("does not fit");
    benchmark::DoNotOptimize(symbol);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DataMatrix32x32);

static void BM_Pdf417With300Codewords(benchmark::State& state) {
  // Mixed text that makes a symbol of about 300 codewords (data, padding and checks).
  std::string text;
  for (int i = 0; i < 445; ++i) text += "Happy Birthday, Anna! 2026 "[i % 27];
  int codewords = 0;
  for (auto _ : state) {
    pdf417param p;
    pdf417init(p);
    p.text = text;
    p.options = PDF417_USE_ERROR_LEVEL | PDF417_INVERT_BITMAP;
    p.errorLevel = 2;
    p.aspectRatio = 1.0f;
    paintCode(p);
    if (p.error) state.SkipWithError("error");
    codewords = p.lenCodewords;
    benchmark::DoNotOptimize(p.outBits.data());
  }
  state.counters["codewords"] = codewords;
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Pdf417With300Codewords);

// A value far beyond the largest symbol of each encoder (200,000 letters):
// how soon each route refuses it.
static void BM_LongValueRefused(benchmark::State& state) {
  QLoggingCategory::setFilterRules(QStringLiteral("quvo.barcode.warning=false"));  // one line a refusal
  const QString huge(200000, QLatin1Char('A'));
  for (auto _ : state) {
    bool refused = true;
    switch (state.range(0)) {
      case 0: {
        std::ostringstream out, err;
        refused =
            !drawDataMatrixBarcode(huge, QStringLiteral("Auto"), QStringLiteral("Auto"), 2, 600, out, err)
                 .picture;
        break;
      }
      case 1:
        refused = !QREncoder::encodeWithECLevel(1, 0, huge);
        break;
      default: {
        pdf417View view(QSizeF(200, 60));
        refused = view.drawWithText(huge) == pdf417View::kError;
      }
    }
    if (!refused) state.SkipWithError("not refused");
  }
  state.SetLabel(std::array{"Data Matrix", "QR Code", "PDF417"}[state.range(0)]);
}
BENCHMARK(BM_LongValueRefused)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  return runGuiBenchmarks(argc, argv);
}
