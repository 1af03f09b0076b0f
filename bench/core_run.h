// Times one calculation of the model core, or of the literal sweep, alone:
// the record is prepared once and copied afresh for every run, since the
// calculation writes into it.
#pragma once

#include <benchmark/benchmark.h>

#include <memory>

#include "model/core.h"
#include "model/record.h"

namespace bench {

template <typename Calculate>
void RunCalculation(benchmark::State& state, const model::Record& prepared, double powerTail,
                    double capacity, Calculate calculate) {
  auto out = std::make_unique<model::CalculationResult>();
  for (auto _ : state) {
    model::Record r = prepared;
    calculate(r, powerTail, capacity, *out);
    benchmark::DoNotOptimize(out->climb.data());
    benchmark::ClobberMemory();
  }
}

}  // namespace bench
