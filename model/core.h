// The performance model's arithmetic, free of any GUI: plain functions over
// the model state record and the numbers read from the input fields. The
// main window's methods fetch the controls, call these and draw the results.
//
// Every formula is evaluated in double precision in the order written, left
// to right inside each pair of parentheses, and stepped loops add their step
// to the previous value: the published figures depend on those exact sums.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "model/record.h"

namespace model {

// --- constants and scale -------------------------------------------------
void Vakiot(Record& r);  // roo 1.25, g 9.81, pi 3.142
void scale(Record& r);   // scx 0, scy 300, sck 10

// --- unit readers --------------------------------------------------------
// The numbers that the readers take from the input fields, each the Val of
// its field (for a pop-up, of its selected item).
struct InputValues {
  double weight = 0;       // EditFieldWeight, kg or lb
  double rotors = 0;       // TextFieldRotors
  double blades = 0;       // EditFieldBladesnumber
  double diameter = 0;     // EditFieldRotorDia, m or ft
  double chord = 0;        // EditFieldBladeChord, m or in
  double tipSpeed = 0;     // EditFieldTipSpeed, m/s or ft/s
  double power = 0;        // EditFieldPower, hp
  double powerPct = 0;     // PopupMenupowerpct, %
  double temperature = 0;  // EditFieldTemperature, °C or °F
  double altitude = 0;     // PopupMenum (m) or PopupMenuft (ft)
  double frontal = 0;      // TextFieldFrontal, m² or sq ft
};

//   W = weight / rotors        R = diameter / 2      c = chord
//   motors = whole(rotors)     VTip = tipSpeed       b = whole(blades)
//   alt = altitude             temp = temperature
//   Arunko = frontal / motors  Pmoot = power × powerPct / 100
void MetricUnits(Record& r, const InputValues& in);

//   W = weight × 0.454 / rotors        b = whole(blades)
//   R = diameter / 2 × 0.305           c = chord × 2.54 / 100
//   alt = altitude × 0.305             temp = (temperature − 32) / 1.8
//   motors = whole(rotors)             Arunko = frontal × 0.093 / motors
//   Pmoot = power × powerPct / 100     (VTip is left alone)
void USunits(Record& r, const InputValues& in);

// As USunits without alt and motors (Arunko divides by the motors of the
// reading before it), plus VTip = whole(tipSpeed × 0.305).
void ReconversionToMetric(Record& r, const InputValues& in);

// --- unit-system switch ----------------------------------------------------
// The seven converted field texts, in the order the switch writes them.
struct ConvertedTexts {
  std::string weight, blades, diameter, tipSpeed, chord, temperature, frontal;
};

// Metric to US, from G (gross kg) and A (whole-craft m²) and the record that
// MetricUnits has just filled:
//   weight   Str(whole(G × 10 / 0.454) / 10 + 0.1)
//   blades   Str(b)
//   diameter Str(whole(2 × R / 0.305 × 100) / 100 + 0.01)
//   tipSpeed Str(whole(VTip / 0.305))
//   chord    Str(whole(c / 2.54 × 100 × 100) / 100 + 0.01)
//   temp     Str(whole(1.8 × temp + 32))
//   frontal  Str(whole(A / 0.093 × 10) / 10)
// The added 0.1 and 0.01 come after the truncation on purpose: they make a
// round trip through the other system give back the texts it started from.
ConvertedTexts ConversionToUSTexts(double G, double A, const Record& r);

// US to metric. Writes the working values into the record (W and Arunko as
// whole-craft quantities until the next reading):
//   W = weight × 0.454               b = whole(blades)
//   R = diameter / 2 × 0.305         VTip = whole(tipSpeed × 0.305 + 1)
//   c = chord × 2.54 / 100           temp = (temperature − 32) / 1.8
//   Arunko = frontal × 0.093 + 0.1
// and returns the texts
//   Str(whole(W × 10) / 10), Str(b), Str(whole(R × 2 × 10) / 10),
//   Str(VTip), Str(whole(c × 100) / 100), Str(whole(temp × 10) / 10),
//   Str(whole(Arunko × 10) / 10).
ConvertedTexts ConversionToMetric(Record& r, const InputValues& in);

// --- rotor speed shown by the graph's repaint ------------------------------
//   VTip = tipSpeed (metric) or whole(tipSpeed × 0.305) (US)
//   omega = whole(VTip / R × 60 / 2 / pi)
void RepaintRpm(Record& r, double tipSpeed, bool metric);

// --- the calculation -----------------------------------------------------
constexpr int kPasses = 500;

struct Dot {
  std::int32_t x = 0, y = 0;  // top-left of the dot's 7 × 7 box, canvas px
  bool drawn = false;         // false where either coordinate is not finite
};

struct Mark {
  std::int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

struct CalculationResult {
  double rho = 0, sigma = 0, CT = 0, lambdah = 0, vh = 0;
  std::int32_t rpm = 0;  // whole(omega), the text of TextFieldRpm
  std::array<double, kPasses> mu{}, V{}, vi{}, climb{};
  std::array<Dot, kPasses> dots{};
  double endurance = 0;  // minutes, the text of TextFieldEndurange
  Mark topSpeed, climbRate;  // the marks of the published top speed and climb rate
};

// Reads roo, alt, temp, Pmoot, b, c, R, pi, VTip, W, g, Cdo, cdho, Arunko,
// Duct, motors, scx, scy, sck, maxspeed, rateclimb; writes Po, Pt, Proot,
// omega and Dp. powerTail is Val(EditFieldPowerTail), capacity
// Val(TextFieldCapacity).
//
//   rho    = ((roo − alt × 0.0001) × 273) / (273 + temp)
//   Po     = Pmoot × (((1.11 × rho) / roo) − 0.11)
//   Pt     = (powerTail × Po) / 100          Proot = Po − Pt
//   sigma  = ((b × c) / pi) / R
//   omega  = (((VTip / R) × 60) / 2) / pi
//   CT     = (W × g) / (((rho × R²) × pi) × VTip²)
//   lambdah = (CT / 2)^0.5                   vh = lambdah × VTip
// then for mu = 0, 0.001, … (accumulated, 500 passes, the last
// 0.4990000000000004):
//   V  = mu × VTip
//   vi = first of 0, 0.001, … (accumulated) with |balance| > 1, where
//        balance = (vi / vh)⁴ + ((V / vh)² × (vi / vh)²); the search stops
//        past vi = 10, leaving vi = 10.000999999999896
//   lambdai = vi / VTip
//   Dp    = (((0.5 × rho) × cdho) × Arunko) × V²
//   CPreq = (((0.8 × lambdai) × CT) + (((sigma / 8) × Cdo) × (1 + (4.65 × mu²))))
//           + ((((mu × Dp) / W) / g) × CT)
//   Preq  = (((((CPreq × rho) × pi) × R²) × VTip³) / g) / 75
//   climb = ((0.9 × Duct × Proot) − Preq) × 75 / W
//   dot   = (whole(scx + V × sck), whole(scy − climb × 30))
//   endurance = (capacity / ((Pmoot × motors) × 0.75)) × 60
// and the marks: top speed from (xs, whole(scy)) to (xs, whole(scy − 50)),
// xs = whole(scx + maxspeed × sck); climb rate from (whole(scx + 50), yc) to
// (whole(scx + 200), yc), yc = whole(scy − rateclimb × 30).
void Calculation(Record& r, double powerTail, double capacity, CalculationResult& out);

// The sequence mu steps through, and the one vi steps through (index k is
// the sum of k steps of 0.001). Shared so that every user sees the same sums.
const std::array<double, kPasses>& MuSteps();
constexpr int kViSteps = 10002;  // 0 … 10.000999999999896
const std::array<double, kViSteps>& ViSteps();

}  // namespace model
