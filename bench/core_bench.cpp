#include <benchmark/benchmark.h>

#include <vector>

#include "bench/core_run.h"
#include "model/core.h"
#include "tests/reference/crafts.h"
#include "tests/reference/literal_sweep.h"

namespace {

using reference::Craft;

// Index 0 is the design craft, then the examples, then the design craft
// spread over 18 rotors.
std::vector<Craft> BenchCrafts() {
  std::vector<Craft> crafts{reference::DesignCraft()};
  for (const Craft& c : reference::ExampleCrafts()) crafts.push_back(c);
  Craft eighteen = reference::DesignCraft();
  eighteen.name = "Design18Rotors";
  eighteen.in.rotors = 18;
  crafts.push_back(eighteen);
  return crafts;
}

const Craft& CraftAt(benchmark::State& state) {
  static const std::vector<Craft> crafts = BenchCrafts();
  const Craft& craft = crafts.at(static_cast<std::size_t>(state.range(0)));
  state.SetLabel(craft.name);
  return craft;
}

template <typename Calculate>
void Run(benchmark::State& state, Calculate calculate) {
  const Craft& craft = CraftAt(state);
  bench::RunCalculation(state, reference::Prepare(craft), craft.powerTail, craft.capacity,
                        calculate);
}

void BM_CoreCalculation_Fast(benchmark::State& state) {
  Run(state, [](model::Record& r, double tail, double capacity, model::CalculationResult& out) {
    model::Calculation(r, tail, capacity, out);
  });
}

void BM_CoreCalculation_Literal(benchmark::State& state) {
  Run(state, [](model::Record& r, double tail, double capacity, model::CalculationResult& out) {
    reference::Calculation(r, tail, capacity, out);
  });
}

}  // namespace

BENCHMARK(BM_CoreCalculation_Fast)
    ->DenseRange(0, 6)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_CoreCalculation_Literal)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
