// Symbols per second of the 2D encoders: QR Code version 10 level M,
// Data Matrix 32x32 and PDF417 with 300 codewords.
#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

#include "barcode/twod/DataMatrixEcc200.h"
#include "barcode/twod/Pdf417Encoder.h"
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

BENCHMARK_MAIN();
