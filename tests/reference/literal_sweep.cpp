#include "tests/reference/literal_sweep.h"

#include <cmath>

#include "fw/numbers.h"

namespace reference {

using fw::Abs;
using fw::Pow;
using fw::whole;

int Calculation(model::Record& r, double powerTail, double capacity,
                model::CalculationResult& out) {
  // Entered like the core, so that the two are timed alike.
  fw::ClearUpperVectorState();
  const double rho = ((r.roo - r.alt * 0.0001) * 273) / (273 + r.temp);
  r.Po = r.Pmoot * (((1.11 * rho) / r.roo) - 0.11);
  r.Pt = (powerTail * r.Po) / 100;
  r.Proot = r.Po - r.Pt;
  const double sigma = ((static_cast<double>(r.b) * r.c) / r.pi) / r.R;
  r.omega = (((r.VTip / r.R) * 60) / 2) / r.pi;
  out.rpm = whole(r.omega);
  double CT = (r.W * r.g) / (((rho * Pow(r.R, 2)) * r.pi) * Pow(r.VTip, 2));
  const double lambdah = Pow(CT / 2, 0.5);
  const double vh = lambdah * r.VTip;
  out.rho = rho;
  out.sigma = sigma;
  out.CT = CT;
  out.lambdah = lambdah;
  out.vh = vh;

  int passes = 0;
  double mu = 0;
  for (;;) {
    if (0.5 < mu) break;
    const double V = mu * r.VTip;
    double vi = 0;
    for (;;) {
      if (10 < vi) break;
      const double balance = Pow(vi / vh, 4) + (Pow(V / vh, 2) * Pow(vi / vh, 2));
      if (Abs(balance) > 1) break;
      vi = vi + 0.001;
    }
    const double lambdai = vi / r.VTip;
    r.Dp = (((0.5 * rho) * r.cdho) * r.Arunko) * Pow(V, 2);
    CT = (r.W * r.g) / (((rho * Pow(r.R, 2)) * r.pi) * Pow(r.VTip, 2));
    const double CPreq =
        (((0.8 * lambdai) * CT) + (((sigma / 8) * r.Cdo) * (1 + (4.65 * Pow(mu, 2))))) +
        ((((mu * r.Dp) / r.W) / r.g) * CT);
    const double Preq = (((((CPreq * rho) * r.pi) * Pow(r.R, 2)) * Pow(r.VTip, 3)) / r.g) / 75;
    const double climb = ((((0.9 * r.Duct) * r.Proot) - Preq) * 75) / r.W;
    const double x = r.scx + V * r.sck;
    const double y = r.scy - climb * 30;

    if (passes < model::kPasses) {
      const auto i = static_cast<std::size_t>(passes);
      out.mu[i] = mu;
      out.V[i] = V;
      out.vi[i] = vi;
      out.climb[i] = climb;
      out.dots[i] = model::Dot{whole(x), whole(y), std::isfinite(x) && std::isfinite(y)};
    }
    ++passes;
    mu = mu + 0.001;
  }

  out.endurance = (capacity / ((r.Pmoot * static_cast<double>(r.motors)) * 0.75)) * 60;
  const std::int32_t xs = whole(r.scx + r.maxspeed * r.sck);
  out.topSpeed = model::Mark{xs, whole(r.scy), xs, whole(r.scy - 50)};
  const std::int32_t yc = whole(r.scy - r.rateclimb * 30);
  out.climbRate = model::Mark{whole(r.scx + 50), yc, whole(r.scx + 200), yc};
  return passes;
}

}  // namespace reference
