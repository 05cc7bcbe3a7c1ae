// Property lists of many keys: a binary dictionary of 10,000 to 160,000 keys
// read, and written. The work grows as the keys, so the items per second stay
// level from size to size; a check of each key against the keys before it
// would bring them down to a quarter at each step.
#include <benchmark/benchmark.h>

#include "platform/PropertyList.h"

using platform::PlistDict;
using platform::PlistValue;

namespace {

PlistValue dictionary(int keys) {
  PlistDict d;
  for (int i = 0; i < keys; ++i) d.insert(QStringLiteral("k%1").arg(i), PlistValue::integer(i));
  return PlistValue(std::move(d));
}

void BM_ReadDictionary(benchmark::State& state) {
  const int keys = static_cast<int>(state.range(0));
  const QByteArray bytes = platform::toBinaryPropertyList(dictionary(keys));
  for (auto _ : state) {
    const auto back = platform::parsePropertyList(bytes);
    if (!back || back->dict()->size() != keys) state.SkipWithError("not read back");
  }
  state.SetItemsProcessed(state.iterations() * keys);
}
BENCHMARK(BM_ReadDictionary)->Arg(10000)->Arg(40000)->Arg(160000)->Unit(benchmark::kMillisecond);

void BM_WriteDictionary(benchmark::State& state) {
  const int keys = static_cast<int>(state.range(0));
  const PlistValue value = dictionary(keys);
  for (auto _ : state) benchmark::DoNotOptimize(platform::toBinaryPropertyList(value));
  state.SetItemsProcessed(state.iterations() * keys);
}
BENCHMARK(BM_WriteDictionary)->Arg(10000)->Arg(40000)->Arg(160000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
