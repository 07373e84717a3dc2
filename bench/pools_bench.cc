// The page pools: storing, rewriting and freeing strings and cell attributes.
#include <benchmark/benchmark.h>

#include <string>

#include "common/model/cell_attr_pool.h"
#include "common/model/string_pool.h"

namespace {

void BM_StringPoolFill(benchmark::State& state) {
  const std::string text(size_t(state.range(0)), 'x');
  for (auto _ : state) {
    qs::StringPool pool;
    for (int i = 0; i < qs::StringPool::kMaxId; ++i) {
      uint16_t id = 0;
      pool.Put(&id, text);
    }
    benchmark::DoNotOptimize(pool.count());
  }
  state.SetItemsProcessed(state.iterations() * qs::StringPool::kMaxId);
}
BENCHMARK(BM_StringPoolFill)->Arg(8)->Arg(255);

// Once the counter is at its limit every new id is a scan for a free slot.
void BM_StringPoolReuseAtLimit(benchmark::State& state) {
  qs::StringPool pool;
  for (int i = 0; i < qs::StringPool::kMaxId; ++i) {
    uint16_t id = 0;
    pool.Put(&id, "s");
  }
  uint16_t victim = uint16_t(state.range(0));
  for (auto _ : state) {
    pool.Free(&victim);
    pool.Put(&victim, "again");
  }
}
BENCHMARK(BM_StringPoolReuseAtLimit)->Arg(1)->Arg(qs::StringPool::kMaxId);

void BM_CellAttrPoolFill(benchmark::State& state) {
  qs::CellAttr rec{};
  for (auto _ : state) {
    qs::CellAttrPool pool;
    for (int i = 0; i < qs::CellAttrPool::kMaxId; ++i) {
      uint16_t id = 0;
      pool.Put(&id, rec);
    }
    benchmark::DoNotOptimize(pool.count());
  }
  state.SetItemsProcessed(state.iterations() * qs::CellAttrPool::kMaxId);
}
BENCHMARK(BM_CellAttrPoolFill);

}  // namespace
