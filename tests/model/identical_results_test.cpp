// The core's fast induced-velocity search against the literal step-by-step
// sweep: every number either produces must be the same double.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "model/core.h"
#include "tests/reference/crafts.h"
#include "tests/reference/literal_sweep.h"

namespace {

using reference::Craft;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Equal as doubles down to the sign of zero, with any NaN equal to any NaN.
bool Same(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
  return a == b && std::signbit(a) == std::signbit(b);
}

class Differences {
 public:
  void Double(const std::string& what, double fast, double literal) {
    if (!Same(fast, literal)) Note(what, fast, literal);
  }
  void Int(const std::string& what, std::int64_t fast, std::int64_t literal) {
    if (fast != literal) Note(what, static_cast<double>(fast), static_cast<double>(literal));
  }
  bool None() const { return count_ == 0; }
  std::string Text() const { return text_.str() + "(" + std::to_string(count_) + " in all)"; }

 private:
  void Note(const std::string& what, double fast, double literal) {
    if (++count_ <= 10) {
      text_.precision(17);
      text_ << what << ": fast " << fast << ", literal " << literal << "\n";
    }
  }
  std::ostringstream text_;
  int count_ = 0;
};

void CompareMark(Differences& d, const std::string& what, const model::Mark& f,
                 const model::Mark& l) {
  d.Int(what + ".x1", f.x1, l.x1);
  d.Int(what + ".y1", f.y1, l.y1);
  d.Int(what + ".x2", f.x2, l.x2);
  d.Int(what + ".y2", f.y2, l.y2);
}

void CompareRecords(Differences& d, const model::Record& f, const model::Record& l) {
#define VANTOREL_SAME_FIELD(field) d.Double("record." #field, f.field, l.field)
  VANTOREL_SAME_FIELD(scx);
  VANTOREL_SAME_FIELD(scy);
  VANTOREL_SAME_FIELD(sck);
  VANTOREL_SAME_FIELD(Arunko);
  VANTOREL_SAME_FIELD(Dp);
  VANTOREL_SAME_FIELD(Pmoot);
  VANTOREL_SAME_FIELD(temp);
  VANTOREL_SAME_FIELD(W);
  VANTOREL_SAME_FIELD(R);
  VANTOREL_SAME_FIELD(c);
  VANTOREL_SAME_FIELD(alt);
  VANTOREL_SAME_FIELD(cdho);
  VANTOREL_SAME_FIELD(pi);
  VANTOREL_SAME_FIELD(g);
  VANTOREL_SAME_FIELD(roo);
  VANTOREL_SAME_FIELD(Po);
  VANTOREL_SAME_FIELD(Pt);
  VANTOREL_SAME_FIELD(Proot);
  VANTOREL_SAME_FIELD(rateclimb);
  VANTOREL_SAME_FIELD(maxspeed);
  VANTOREL_SAME_FIELD(Cdo);
  VANTOREL_SAME_FIELD(VTip);
  VANTOREL_SAME_FIELD(omega);
  VANTOREL_SAME_FIELD(Duct);
#undef VANTOREL_SAME_FIELD
  d.Int("record.b", f.b, l.b);
  d.Int("record.motors", f.motors, l.motors);
}

// Runs both calculations on the craft and lists every difference.
std::string Differ(const Craft& craft) {
  model::Record fastRecord = reference::Prepare(craft);
  model::Record literalRecord = fastRecord;
  auto fast = std::make_unique<model::CalculationResult>();
  auto literal = std::make_unique<model::CalculationResult>();
  model::Calculation(fastRecord, craft.powerTail, craft.capacity, *fast);
  const int passes =
      reference::Calculation(literalRecord, craft.powerTail, craft.capacity, *literal);

  Differences d;
  d.Int("passes", model::kPasses, passes);
  CompareRecords(d, fastRecord, literalRecord);
  d.Double("rho", fast->rho, literal->rho);
  d.Double("sigma", fast->sigma, literal->sigma);
  d.Double("CT", fast->CT, literal->CT);
  d.Double("lambdah", fast->lambdah, literal->lambdah);
  d.Double("vh", fast->vh, literal->vh);
  d.Int("rpm", fast->rpm, literal->rpm);
  d.Double("endurance", fast->endurance, literal->endurance);
  CompareMark(d, "topSpeed", fast->topSpeed, literal->topSpeed);
  CompareMark(d, "climbRate", fast->climbRate, literal->climbRate);
  for (std::size_t i = 0; i < model::kPasses; ++i) {
    const std::string pass = "pass " + std::to_string(i) + " ";
    d.Double(pass + "mu", fast->mu[i], literal->mu[i]);
    d.Double(pass + "V", fast->V[i], literal->V[i]);
    d.Double(pass + "vi", fast->vi[i], literal->vi[i]);
    d.Double(pass + "climb", fast->climb[i], literal->climb[i]);
    d.Int(pass + "dot.x", fast->dots[i].x, literal->dots[i].x);
    d.Int(pass + "dot.y", fast->dots[i].y, literal->dots[i].y);
    d.Int(pass + "dot.drawn", fast->dots[i].drawn, literal->dots[i].drawn);
  }
  return d.None() ? std::string() : d.Text();
}

// --- named crafts ------------------------------------------------------------

Craft Changed(std::string name, Craft craft, double model::InputValues::*field, double value) {
  craft.name = std::move(name);
  craft.in.*field = value;
  return craft;
}

// Per-rotor weight that puts the hover induced velocity of the design craft
// at `vh` (vh² = W g / (2 rho pi R²)).
Craft DesignWithHoverVelocity(std::string name, double vh) {
  Craft craft = reference::DesignCraft();
  const double rho = (1.25 * 273) / (273 + craft.in.temperature);
  const double R = craft.in.diameter / 2;
  craft.in.weight = craft.in.rotors * vh * vh * 2 * rho * 3.142 * R * R / 9.81;
  craft.name = std::move(name);
  return craft;
}

Craft UsReading() {
  Craft craft = reference::DesignCraft();
  craft.name = "UsReading";
  craft.us = true;
  craft.in.weight = 1000;
  craft.in.rotors = 4;
  craft.in.blades = 2;
  craft.in.diameter = 5.25;
  craft.in.chord = 3.94;
  craft.in.tipSpeed = 573;
  craft.in.temperature = 68;
  craft.in.frontal = 16.1;
  return craft;
}

std::vector<Craft> NamedCrafts() {
  using In = model::InputValues;
  const Craft design = reference::DesignCraft();
  std::vector<Craft> crafts{design};
  for (const Craft& c : reference::ExampleCrafts()) crafts.push_back(c);
  crafts.push_back(UsReading());
  crafts.push_back(Changed("EighteenRotors", design, &In::rotors, 18));
  crafts.push_back(Changed("ZeroWeight", design, &In::weight, 0));
  crafts.push_back(Changed("NegativeWeight", design, &In::weight, -450));
  crafts.push_back(Changed("ZeroRotors", design, &In::rotors, 0));
  crafts.push_back(Changed("NegativeRotors", design, &In::rotors, -4));
  crafts.push_back(Changed("ZeroDiameter", design, &In::diameter, 0));
  crafts.push_back(Changed("ZeroTipSpeed", design, &In::tipSpeed, 0));
  crafts.push_back(Changed("NegativeTipSpeed", design, &In::tipSpeed, -175));
  crafts.push_back(Changed("ZeroBlades", design, &In::blades, 0));
  crafts.push_back(Changed("ZeroPower", design, &In::power, 0));
  crafts.push_back(DesignWithHoverVelocity("HoverJustBelowTen", 9.99));
  crafts.push_back(DesignWithHoverVelocity("HoverJustAboveTen", 10.01));
  crafts.push_back(DesignWithHoverVelocity("HoverTiny", 0.01));
  crafts.push_back(Changed("HeavyOnTinyRotor", design, &In::diameter, 0.001));
  crafts.push_back(Changed("NaNWeight", design, &In::weight, kNaN));
  crafts.push_back(Changed("InfiniteWeight", design, &In::weight, kInf));
  crafts.push_back(Changed("NaNDiameter", design, &In::diameter, kNaN));
  crafts.push_back(Changed("InfiniteDiameter", design, &In::diameter, kInf));
  crafts.push_back(Changed("NaNTipSpeed", design, &In::tipSpeed, kNaN));
  crafts.push_back(Changed("InfiniteTipSpeed", design, &In::tipSpeed, kInf));
  crafts.push_back(Changed("InfiniteRotors", design, &In::rotors, kInf));
  crafts.push_back(Changed("NaNTemperature", design, &In::temperature, kNaN));
  crafts.push_back(Changed("AbsoluteZero", design, &In::temperature, -273));
  crafts.push_back(Changed("InfiniteAltitude", design, &In::altitude, kInf));
  crafts.push_back(Changed("NaNFrontal", design, &In::frontal, kNaN));
  crafts.push_back(Changed("NaNPower", design, &In::power, kNaN));
  Craft nanDrag = design;
  nanDrag.name = "NaNDrag";
  nanDrag.cdho = kNaN;
  crafts.push_back(nanDrag);
  Craft nanLoss = design;
  nanLoss.name = "NaNLossAndCapacity";
  nanLoss.powerTail = kNaN;
  nanLoss.capacity = kNaN;
  crafts.push_back(nanLoss);
  Craft marked = design;
  marked.name = "PublishedMarks";
  marked.maxspeed = 27.8;
  marked.rateclimb = 5.5;
  crafts.push_back(marked);
  return crafts;
}

class IdenticalResults : public ::testing::TestWithParam<Craft> {};

TEST_P(IdenticalResults, FastSearchMatchesLiteralSweep) {
  const std::string differences = Differ(GetParam());
  EXPECT_TRUE(differences.empty()) << differences;
}

INSTANTIATE_TEST_SUITE_P(Crafts, IdenticalResults, ::testing::ValuesIn(NamedCrafts()),
                         [](const auto& info) { return info.param.name; });

// Where the hover induced velocity is exactly one of the search's steps, the
// balance at that step in the first pass is exactly 1, which does not end
// the search.
TEST(IdenticalResultsBoundary, BalanceOfExactlyOneDoesNotEndTheSearch) {
  constexpr std::size_t kStep = 8000;
  const double target = model::ViSteps()[kStep];
  Craft craft = DesignWithHoverVelocity("BalanceExactlyOne", target);
  auto out = std::make_unique<model::CalculationResult>();
  bool found = false;
  for (int nudge = 0; nudge < 10000 && !found; ++nudge) {
    model::Record r = reference::Prepare(craft);
    model::Calculation(r, craft.powerTail, craft.capacity, *out);
    if (out->vh == target) {
      found = true;
    } else {
      craft.in.weight = std::nextafter(craft.in.weight, out->vh < target ? kInf : 0.0);
    }
  }
  ASSERT_TRUE(found) << "no weight puts vh exactly on step " << kStep;
  EXPECT_EQ(out->vi[0], model::ViSteps()[kStep + 1]);
  const std::string differences = Differ(craft);
  EXPECT_TRUE(differences.empty()) << differences;
}

// --- seeded random crafts ----------------------------------------------------

Craft RandomCraft(std::mt19937& gen, int index) {
  auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<>(lo, hi)(gen); };
  // Spread over orders of magnitude rather than crowding the top decade.
  auto logUniform = [&](double lo, double hi) {
    return std::exp(uniform(std::log(lo), std::log(hi)));
  };
  Craft c;
  c.name = "random " + std::to_string(index);
  c.in.weight = logUniform(0.1, 5000);
  c.in.rotors = std::uniform_int_distribution<>(1, 20)(gen);
  c.in.blades = std::uniform_int_distribution<>(2, 6)(gen);
  c.in.diameter = logUniform(0.1, 15);
  c.in.chord = c.in.diameter * uniform(0.02, 0.1);
  c.in.tipSpeed = uniform(10, 300);
  c.in.power = logUniform(0.1, 500);
  c.in.powerPct = uniform(25, 100);
  c.in.temperature = uniform(-40, 50);
  c.in.altitude = uniform(0, 5000);
  c.in.frontal = uniform(0, 20);
  c.cdho = uniform(0, 2);
  c.duct = std::bernoulli_distribution(0.5)(gen) ? 1.3 : 1.0;
  c.powerTail = uniform(0, 10);
  c.capacity = uniform(0.1, 100);
  c.maxspeed = uniform(0, 100);
  c.rateclimb = uniform(0, 20);
  return c;
}

std::string Describe(const Craft& c) {
  std::ostringstream s;
  s.precision(17);
  s << c.name << ": weight " << c.in.weight << ", rotors " << c.in.rotors << ", blades "
    << c.in.blades << ", diameter " << c.in.diameter << ", chord " << c.in.chord << ", tip "
    << c.in.tipSpeed << ", power " << c.in.power << " at " << c.in.powerPct << " %, temp "
    << c.in.temperature << ", alt " << c.in.altitude << ", frontal " << c.in.frontal
    << ", drag " << c.cdho << ", duct " << c.duct;
  return s.str();
}

TEST(IdenticalResultsRandom, FastSearchMatchesLiteralSweep) {
  constexpr int kCrafts = 300;
  std::mt19937 gen(20240611);
  for (int i = 0; i < kCrafts; ++i) {
    const Craft craft = RandomCraft(gen, i);
    const std::string differences = Differ(craft);
    ASSERT_TRUE(differences.empty()) << Describe(craft) << "\n" << differences;
  }
}

}  // namespace
