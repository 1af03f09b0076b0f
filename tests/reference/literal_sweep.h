// The calculation written out the plain way: every induced-velocity search
// steps through vi one 0.001 at a time, and mu and vi are accumulated by the
// loops themselves. Slow, and deliberately so: the model core's fast search
// is checked and timed against it.
#pragma once

#include "model/core.h"
#include "model/record.h"

namespace reference {

// Same inputs and outputs as model::Calculation (only its result types are
// borrowed). Returns the number of passes the sweep made; results are stored
// for the first model::kPasses of them.
int Calculation(model::Record& r, double powerTail, double capacity,
                model::CalculationResult& out);

}  // namespace reference
