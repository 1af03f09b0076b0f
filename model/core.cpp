#include "model/core.h"

#include <cmath>
#include <limits>

#include "fw/numbers.h"

namespace model {

using fw::Abs;
using fw::Pow;
using fw::Str;
using fw::whole;

// --- constants and scale -------------------------------------------------

void Vakiot(Record& r) {
  r.roo = 1.25;
  r.g = 9.81;
  r.pi = 3.142;
}

void scale(Record& r) {
  r.scx = 0;
  r.scy = 300;
  r.sck = 10;
}

// --- unit readers --------------------------------------------------------

void MetricUnits(Record& r, const InputValues& in) {
  r.W = in.weight / in.rotors;
  r.R = in.diameter / 2;
  r.c = in.chord;
  r.motors = whole(in.rotors);
  r.VTip = in.tipSpeed;
  r.b = whole(in.blades);
  r.alt = in.altitude;
  r.temp = in.temperature;
  r.Arunko = in.frontal / static_cast<double>(r.motors);
  r.Pmoot = in.power * in.powerPct / 100;
}

void USunits(Record& r, const InputValues& in) {
  r.W = in.weight * 0.454 / in.rotors;
  r.b = whole(in.blades);
  r.R = in.diameter / 2 * 0.305;
  r.c = in.chord * 2.54 / 100;
  r.alt = in.altitude * 0.305;
  r.temp = (in.temperature - 32) / 1.8;
  r.motors = whole(in.rotors);
  r.Arunko = in.frontal * 0.093 / static_cast<double>(r.motors);
  r.Pmoot = in.power * in.powerPct / 100;
}

void ReconversionToMetric(Record& r, const InputValues& in) {
  r.W = in.weight * 0.454 / in.rotors;
  r.b = whole(in.blades);
  r.R = in.diameter / 2 * 0.305;
  r.c = in.chord * 2.54 / 100;
  r.temp = (in.temperature - 32) / 1.8;
  r.Arunko = in.frontal * 0.093 / static_cast<double>(r.motors);
  r.Pmoot = in.power * in.powerPct / 100;
  r.VTip = static_cast<double>(whole(in.tipSpeed * 0.305));
}

// --- unit-system switch ----------------------------------------------------

ConvertedTexts ConversionToUSTexts(double G, double A, const Record& r) {
  ConvertedTexts t;
  t.weight = Str(static_cast<double>(whole(G * 10 / 0.454)) / 10 + 0.1);
  t.blades = Str(r.b);
  t.diameter = Str(static_cast<double>(whole(2 * r.R / 0.305 * 100)) / 100 + 0.01);
  t.tipSpeed = Str(whole(r.VTip / 0.305));
  t.chord = Str(static_cast<double>(whole(r.c / 2.54 * 100 * 100)) / 100 + 0.01);
  t.temperature = Str(whole(1.8 * r.temp + 32));
  t.frontal = Str(static_cast<double>(whole(A / 0.093 * 10)) / 10);
  return t;
}

ConvertedTexts ConversionToMetric(Record& r, const InputValues& in) {
  r.W = in.weight * 0.454;
  r.b = whole(in.blades);
  r.R = in.diameter / 2 * 0.305;
  r.VTip = static_cast<double>(whole(in.tipSpeed * 0.305 + 1));
  r.c = in.chord * 2.54 / 100;
  r.temp = (in.temperature - 32) / 1.8;
  r.Arunko = in.frontal * 0.093 + 0.1;

  ConvertedTexts t;
  t.weight = Str(static_cast<double>(whole(r.W * 10)) / 10);
  t.blades = Str(r.b);
  t.diameter = Str(static_cast<double>(whole(r.R * 2 * 10)) / 10);
  t.tipSpeed = Str(r.VTip);
  t.chord = Str(static_cast<double>(whole(r.c * 100)) / 100);
  t.temperature = Str(static_cast<double>(whole(r.temp * 10)) / 10);
  t.frontal = Str(static_cast<double>(whole(r.Arunko * 10)) / 10);
  return t;
}

// --- rotor speed shown by the graph's repaint ------------------------------

void RepaintRpm(Record& r, double tipSpeed, bool metric) {
  r.VTip = metric ? tipSpeed : static_cast<double>(whole(tipSpeed * 0.305));
  r.omega = static_cast<double>(whole(r.VTip / r.R * 60 / 2 / r.pi));
}

// --- stepped sequences -----------------------------------------------------

namespace {

// Each entry is the previous one plus the step, exactly as a loop that keeps
// adding the step would hold it; index 0 is the starting 0.
template <std::size_t N>
std::array<double, N> Accumulated(double step) {
  std::array<double, N> steps{};
  double value = 0;
  for (double& s : steps) {
    s = value;
    value = value + step;
  }
  return steps;
}

}  // namespace

const std::array<double, kPasses>& MuSteps() {
  static const std::array<double, kPasses> steps = Accumulated<kPasses>(0.001);
  return steps;
}

const std::array<double, kViSteps>& ViSteps() {
  static const std::array<double, kViSteps> steps = Accumulated<kViSteps>(0.001);
  return steps;
}

// --- the induced-velocity search -------------------------------------------

namespace {

// The last index the search still tests: it gives up once vi is past 10, so
// the entry after this one is where an unsuccessful search leaves vi.
int LastTestedStep() {
  static const int last = [] {
    const auto& vi = ViSteps();
    int k = 0;
    while (k + 2 < kViSteps && !(10 < vi[k + 1])) ++k;
    return k;
  }();
  return last;
}

// The balance of the search, for one pass. (V / vh)² is the same for every
// vi of the pass, so it is worked out once; the value is the one the full
// expression would produce, since nothing about it depends on vi.
class Balance {
 public:
  Balance(double V, double vh) : vh_(vh), speedTerm_(Pow(V / vh, 2)) {}

  double At(int k) const {
    const double vi = ViSteps()[static_cast<std::size_t>(k)];
    return Pow(vi / vh_, 4) + (speedTerm_ * Pow(vi / vh_, 2));
  }

  static bool Ends(double balance) { return Abs(balance) > 1; }

 private:
  double vh_;
  double speedTerm_;
};

int LiteralSearch(const Balance& balance) {
  const int last = LastTestedStep();
  for (int k = 0; k <= last; ++k) {
    if (Balance::Ends(balance.At(k))) return k;
  }
  return last + 1;
}

// Index into ViSteps() of the vi the search settles on for forward speed V.
// `bound` is the previous pass's index: the balance grows with |V| and |V|
// grows from pass to pass, so no later pass can need a larger vi.
//
// With vh finite and non-zero and V finite, the balance is a sum and product
// of non-negative terms that each grow with vi (an even power of vi / vh), so
// over k >= 1 it is non-decreasing and the first k that ends the search can
// be bracketed and bisected. The neighbouring entries of ViSteps() differ by
// at least one part in 10^4, far more than any rounding of pow could undo.
// Anything that does not bear this out falls back on the step-by-step search.
int SearchStep(double V, double vh, int bound) {
  const int last = LastTestedStep();
  const int capped = last + 1;
  const Balance balance(V, vh);

  if (std::isnan(vh)) return capped;  // every balance is NaN
  // vi / ±inf is ±0 for every vi, so every balance is 0 or NaN.
  if (std::isinf(vh)) return capped;
  if (vh == 0) {
    // vi / ±0 is the same infinity for every vi past 0, and so is the
    // balance of every k >= 1: k = 1 decides for all of them.
    if (Balance::Ends(balance.At(0))) return 0;
    return Balance::Ends(balance.At(1)) ? 1 : capped;
  }
  if (!std::isfinite(V)) return LiteralSearch(balance);

  // At vi = 0 the balance is 0 (or NaN), but the search tests it like any
  // other step.
  if (Balance::Ends(balance.At(0))) return 0;

  int hi = bound < last ? bound : last;
  if (hi < 1) return LiteralSearch(balance);
  double atHi = balance.At(hi);
  if (!Balance::Ends(atHi)) {
    // Not even the last step ends it: the search runs out.
    if (hi == last) return capped;
    return LiteralSearch(balance);  // the bound from the last pass failed
  }

  // Gallop down from the bound to bracket the first step that ends it...
  int lo = 0;
  double atLo = std::numeric_limits<double>::quiet_NaN();
  for (int stride = 1;; stride *= 2) {
    const int probe = hi - stride;
    if (probe < 1) break;
    const double at = balance.At(probe);
    if (Balance::Ends(at)) {
      hi = probe;
      atHi = at;
    } else {
      lo = probe;
      atLo = at;
      break;
    }
  }
  // ...then bisect the bracket (lo, hi].
  while (hi - lo > 1) {
    const int mid = lo + (hi - lo) / 2;
    const double at = balance.At(mid);
    if (Balance::Ends(at)) {
      hi = mid;
      atHi = at;
    } else {
      lo = mid;
      atLo = at;
    }
  }

  if (Balance::Ends(atHi) && (hi == 1 || (lo == hi - 1 && atLo <= 1))) return hi;
  return LiteralSearch(balance);
}

}  // namespace

// --- the calculation -----------------------------------------------------

void Calculation(Record& r, double powerTail, double capacity, CalculationResult& out) {
  // A GUI toolkit's code (building its application object, filling or
  // painting an image) may return with the upper halves of the 256-bit
  // vector registers dirty, and until they are cleared every scalar
  // floating-point instruction in the older SSE encoding, ours and the C
  // library's pow wrapper's, stalls on them: the Calculate command cost ten
  // times this arithmetic. Clearing them only where control comes back from
  // the toolkit does not help, since the handler calls into it again right
  // up to this point.
  fw::ClearUpperVectorState();
  const double rho = ((r.roo - r.alt * 0.0001) * 273) / (273 + r.temp);
  r.Po = r.Pmoot * (((1.11 * rho) / r.roo) - 0.11);
  r.Pt = (powerTail * r.Po) / 100;
  r.Proot = r.Po - r.Pt;
  const double sigma = ((static_cast<double>(r.b) * r.c) / r.pi) / r.R;
  r.omega = (((r.VTip / r.R) * 60) / 2) / r.pi;
  out.rpm = whole(r.omega);
  // R², VTip² and VTip³ take the same value wherever the formulas use them,
  // so they are raised once.
  const double R2 = Pow(r.R, 2);
  const double VTip2 = Pow(r.VTip, 2);
  const double VTip3 = Pow(r.VTip, 3);
  const double CT = (r.W * r.g) / (((rho * R2) * r.pi) * VTip2);
  const double lambdah = Pow(CT / 2, 0.5);
  const double vh = lambdah * r.VTip;

  out.rho = rho;
  out.sigma = sigma;
  out.CT = CT;
  out.lambdah = lambdah;
  out.vh = vh;

  const auto& muSteps = MuSteps();
  const auto& viSteps = ViSteps();
  int step = LastTestedStep() + 1;
  for (std::size_t pass = 0; pass < muSteps.size(); ++pass) {
    const double mu = muSteps[pass];
    const double V = mu * r.VTip;
    step = SearchStep(V, vh, step);
    const double vi = viSteps[static_cast<std::size_t>(step)];
    const double lambdai = vi / r.VTip;
    const double Dp = (((0.5 * rho) * r.cdho) * r.Arunko) * Pow(V, 2);
    const double CPreq =
        (((0.8 * lambdai) * CT) + (((sigma / 8) * r.Cdo) * (1 + (4.65 * Pow(mu, 2))))) +
        ((((mu * Dp) / r.W) / r.g) * CT);
    const double Preq = (((((CPreq * rho) * r.pi) * R2) * VTip3) / r.g) / 75;
    const double climb = ((((0.9 * r.Duct) * r.Proot) - Preq) * 75) / r.W;
    r.Dp = Dp;

    out.mu[pass] = mu;
    out.V[pass] = V;
    out.vi[pass] = vi;
    out.climb[pass] = climb;
    const double x = r.scx + V * r.sck;
    const double y = r.scy - climb * 30;
    out.dots[pass] = Dot{whole(x), whole(y), std::isfinite(x) && std::isfinite(y)};
  }

  out.endurance = (capacity / ((r.Pmoot * static_cast<double>(r.motors)) * 0.75)) * 60;

  const std::int32_t xs = whole(r.scx + r.maxspeed * r.sck);
  out.topSpeed = Mark{xs, whole(r.scy), xs, whole(r.scy - 50)};
  const std::int32_t yc = whole(r.scy - r.rateclimb * 30);
  out.climbRate = Mark{whole(r.scx + 50), yc, whole(r.scx + 200), yc};
}

}  // namespace model
