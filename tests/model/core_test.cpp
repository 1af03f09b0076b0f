#include "model/core.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>

#include "fw/numbers.h"
#include "tests/reference/crafts.h"

namespace {

using model::ConvertedTexts;
using model::InputValues;
using model::Record;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr std::int32_t kIntMax = std::numeric_limits<std::int32_t>::max();

template <typename Info>
std::string RowName(const Info& info) {
  return std::string(info.param.name);
}

// --- constants, scale and the stepped sequences ----------------------------

TEST(Constants, VakiotSetsTheModelsConstants) {
  Record r;
  model::Vakiot(r);
  EXPECT_EQ(r.pi, 3.142);
  EXPECT_EQ(r.g, 9.81);
  EXPECT_EQ(r.roo, 1.25);
}

TEST(Constants, ScalePutsTheOriginAtTheBottomLeft) {
  Record r;
  model::scale(r);
  EXPECT_EQ(r.scx, 0);
  EXPECT_EQ(r.scy, 300);
  EXPECT_EQ(r.sck, 10);
}

TEST(SteppedSequences, HoldTheAccumulatedSums) {
  const auto& mu = model::MuSteps();
  EXPECT_EQ(mu.front(), 0);
  EXPECT_EQ(mu.back(), 0.4990000000000004);
  EXPECT_LT(0.5, mu.back() + 0.001) << "the sweep would not stop after the last step";

  const auto& vi = model::ViSteps();
  EXPECT_EQ(vi[0], 0);
  EXPECT_EQ(vi[1], 0.001);
  EXPECT_LE(vi[10000], 10) << "the last step the search tests";
  EXPECT_EQ(vi[10001], 10.000999999999896);
  for (std::size_t k = 1; k < vi.size(); ++k) ASSERT_LT(vi[k - 1], vi[k]) << k;
}

// --- unit readers --------------------------------------------------------

InputValues DesignMetricInput() { return reference::DesignCraft().in; }

TEST(MetricUnits, ReadsTheDesignTexts) {
  Record r;
  model::MetricUnits(r, DesignMetricInput());
  EXPECT_EQ(r.W, 112.5);
  EXPECT_EQ(r.R, 0.8);
  EXPECT_EQ(r.c, 0.1);
  EXPECT_EQ(r.motors, 4);
  EXPECT_EQ(r.b, 2);
  EXPECT_EQ(r.VTip, 175);
  EXPECT_EQ(r.alt, 0);
  EXPECT_EQ(r.temp, 20);
  EXPECT_EQ(r.Arunko, 0.375);
  EXPECT_EQ(r.Pmoot, 25);
}

TEST(MetricUnits, PowerPercentageScalesTheMotor) {
  InputValues in = DesignMetricInput();
  in.powerPct = 75;
  Record r;
  model::MetricUnits(r, in);
  EXPECT_EQ(r.Pmoot, 18.75);
}

InputValues UsInput() {
  InputValues in;
  in.weight = 1000;
  in.rotors = 4;
  in.blades = 2;
  in.diameter = 20;
  in.chord = 10;
  in.tipSpeed = 600;
  in.power = 25;
  in.powerPct = 100;
  in.temperature = 77;
  in.altitude = 2000;
  in.frontal = 10;
  return in;
}

using Reader = void (*)(Record&, const InputValues&);

struct UsReadingCase {
  const char* name;
  Reader read;
  InputValues in;
  double Record::*field;
  double expected;
};

InputValues With(InputValues in, double InputValues::*field, double value) {
  in.*field = value;
  return in;
}

class UsReading : public ::testing::TestWithParam<UsReadingCase> {};

TEST_P(UsReading, ConvertsToMetric) {
  const UsReadingCase& c = GetParam();
  Record r;
  r.motors = 4;  // ReconversionToMetric divides the area by the earlier count
  c.read(r, c.in);
  EXPECT_NEAR(r.*c.field, c.expected, 1e-12 * std::fabs(c.expected) + 1e-15);
}

INSTANTIATE_TEST_SUITE_P(
    Table, UsReading,
    ::testing::Values(
        UsReadingCase{"WeightPerRotor", model::USunits, UsInput(), &Record::W, 113.5},
        UsReadingCase{"RadiusFromFeet", model::USunits, UsInput(), &Record::R, 3.05},
        UsReadingCase{"ChordFromInches", model::USunits, UsInput(), &Record::c, 0.254},
        UsReadingCase{"Fahrenheit", model::USunits, UsInput(), &Record::temp, 25},
        UsReadingCase{"FahrenheitMinus40", model::USunits,
                      With(UsInput(), &InputValues::temperature, -40), &Record::temp, -40},
        UsReadingCase{"AltitudeFromFeet", model::USunits, UsInput(), &Record::alt, 610},
        UsReadingCase{"AreaPerRotor", model::USunits, UsInput(), &Record::Arunko, 0.2325},
        UsReadingCase{"FractionalRotorsDivideWeight", model::USunits,
                      With(UsInput(), &InputValues::rotors, 4.5), &Record::W, 1000 * 0.454 / 4.5},
        UsReadingCase{"FractionalRotorsAreaByWholeCount", model::USunits,
                      With(UsInput(), &InputValues::rotors, 4.5), &Record::Arunko,
                      10 * 0.093 / 4},
        UsReadingCase{"PowerPercentage", model::USunits,
                      With(UsInput(), &InputValues::powerPct, 75), &Record::Pmoot, 18.75},
        UsReadingCase{"TipSpeedTruncated", model::ReconversionToMetric, UsInput(),
                      &Record::VTip, 183},
        UsReadingCase{"DesignTipSpeedTruncated", model::ReconversionToMetric,
                      With(UsInput(), &InputValues::tipSpeed, 573), &Record::VTip, 174},
        UsReadingCase{"ReconversionWeight", model::ReconversionToMetric, UsInput(), &Record::W,
                      113.5},
        UsReadingCase{"ReconversionFahrenheit", model::ReconversionToMetric, UsInput(),
                      &Record::temp, 25}),
    RowName<::testing::TestParamInfo<UsReadingCase>>);

TEST(UsReading, FractionalRotorCountIsTruncated) {
  Record r;
  model::USunits(r, With(UsInput(), &InputValues::rotors, 4.5));
  EXPECT_EQ(r.motors, 4);
  EXPECT_EQ(r.b, 2);
}

TEST(UsReading, USunitsLeavesTheTipSpeedAlone) {
  Record r;
  r.VTip = 175;
  model::USunits(r, UsInput());
  EXPECT_EQ(r.VTip, 175);
}

TEST(UsReading, ReconversionKeepsAltitudeAndRotorCount) {
  Record r;
  r.motors = 5;
  r.alt = 123;
  model::ReconversionToMetric(r, UsInput());
  EXPECT_EQ(r.motors, 5);
  EXPECT_EQ(r.alt, 123);
  EXPECT_NEAR(r.Arunko, 10 * 0.093 / 5, 1e-15);
}

// --- unit-system switch ----------------------------------------------------

void ExpectTexts(const ConvertedTexts& actual, const ConvertedTexts& expected) {
  EXPECT_EQ(actual.weight, expected.weight);
  EXPECT_EQ(actual.blades, expected.blades);
  EXPECT_EQ(actual.diameter, expected.diameter);
  EXPECT_EQ(actual.tipSpeed, expected.tipSpeed);
  EXPECT_EQ(actual.chord, expected.chord);
  EXPECT_EQ(actual.temperature, expected.temperature);
  EXPECT_EQ(actual.frontal, expected.frontal);
}

struct ToUsCase {
  const char* name;
  InputValues in;  // metric fields, as MetricUnits reads them
  ConvertedTexts expected;
};

InputValues MetricInput(double weight, double rotors, double blades, double diameter,
                        double chord, double tip, double temperature, double frontal) {
  InputValues in;
  in.weight = weight;
  in.rotors = rotors;
  in.blades = blades;
  in.diameter = diameter;
  in.chord = chord;
  in.tipSpeed = tip;
  in.power = 25;
  in.powerPct = 100;
  in.temperature = temperature;
  in.frontal = frontal;
  return in;
}

const ConvertedTexts kUsOfReference{"1000.1", "2", "10.01", "600", "10.01", "77", "10"};

class ToUsTexts : public ::testing::TestWithParam<ToUsCase> {};

TEST_P(ToUsTexts, WritesTheConvertedFields) {
  const ToUsCase& c = GetParam();
  Record r;
  model::MetricUnits(r, c.in);
  ExpectTexts(model::ConversionToUSTexts(c.in.weight, c.in.frontal, r), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ToUsTexts,
    ::testing::Values(
        ToUsCase{"Reference", MetricInput(454, 4, 2, 3.05, 0.254, 183, 25, 0.93), kUsOfReference},
        ToUsCase{"OneRotor", MetricInput(454, 1, 2, 3.05, 0.254, 183, 25, 0.93), kUsOfReference},
        ToUsCase{"EighteenRotors", MetricInput(454, 18, 2, 3.05, 0.254, 183, 25, 0.93),
                 kUsOfReference},
        ToUsCase{"TenthOfTheWeight", MetricInput(45.4, 4, 2, 3.05, 0.254, 183, 25, 0.93),
                 {"100.1", "2", "10.01", "600", "10.01", "77", "10"}},
        ToUsCase{"BladeTextWithDecimals", MetricInput(454, 4, 3.0, 3.05, 0.254, 183, 25, 0.93),
                 {"1000.1", "3", "10.01", "600", "10.01", "77", "10"}},
        ToUsCase{"DesignTexts", MetricInput(450, 4, 2, 1.6, 0.1, 175, 20, 1.5),
                 {"991.2", "2", "5.25", "573", "3.94", "68", "16.1"}}),
    RowName<::testing::TestParamInfo<ToUsCase>>);

InputValues UsTextsToValues(const ConvertedTexts& t) {
  InputValues in;
  in.weight = fw::Val(t.weight);
  in.blades = fw::Val(t.blades);
  in.diameter = fw::Val(t.diameter);
  in.tipSpeed = fw::Val(t.tipSpeed);
  in.chord = fw::Val(t.chord);
  in.temperature = fw::Val(t.temperature);
  in.frontal = fw::Val(t.frontal);
  return in;
}

TEST(ToMetricTexts, WritesTheConvertedFieldsAndWorkingValues) {
  Record r;
  const ConvertedTexts t = model::ConversionToMetric(r, UsInput());
  ExpectTexts(t, {"454", "2", "6.1", "184", "0.25", "25", "1"});
  // Whole-craft quantities until the next reading.
  EXPECT_NEAR(r.W, 454, 1e-9);
  EXPECT_NEAR(r.Arunko, 1.03, 1e-12);
  EXPECT_EQ(r.VTip, 184);
  EXPECT_EQ(r.b, 2);
}

TEST(ToMetricTexts, RoundTripGivesBackTheDesignTexts) {
  Record r;
  const InputValues design = MetricInput(450, 4, 2, 1.6, 0.1, 175, 20, 1.5);
  model::MetricUnits(r, design);
  const ConvertedTexts us = model::ConversionToUSTexts(design.weight, design.frontal, r);
  ExpectTexts(us, {"991.2", "2", "5.25", "573", "3.94", "68", "16.1"});

  Record back;
  ExpectTexts(model::ConversionToMetric(back, UsTextsToValues(us)),
              {"450", "2", "1.6", "175", "0.1", "20", "1.5"});
}

// --- RepaintRpm --------------------------------------------------------------

struct RpmCase {
  const char* name;
  double R;
  double tipSpeed;
  bool metric;
  double VTip;
  double omega;
};

class RepaintRpm : public ::testing::TestWithParam<RpmCase> {};

TEST_P(RepaintRpm, SetsTipSpeedAndWholeRpm) {
  const RpmCase& c = GetParam();
  Record r;
  model::Vakiot(r);
  r.R = c.R;
  model::RepaintRpm(r, c.tipSpeed, c.metric);
  EXPECT_EQ(r.VTip, c.VTip);
  EXPECT_EQ(r.omega, c.omega);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RepaintRpm,
    ::testing::Values(RpmCase{"DesignMetric", 0.8, 175, true, 175, 2088},
                      RpmCase{"TipAtRest", 0.8, 0, true, 0, 0},
                      RpmCase{"DesignUs", 0.8, 573, false, 174, 2076},
                      RpmCase{"Volocopter", 0.8, 155, true, 155, 1849},
                      RpmCase{"NoRadiusSaturates", 0, 175, true, 175, kIntMax},
                      RpmCase{"NoRadiusAtRest", 0, 0, true, 0, 0}),
    RowName<::testing::TestParamInfo<RpmCase>>);

// --- the calculation -----------------------------------------------------

struct Calculated {
  Record r;
  std::unique_ptr<model::CalculationResult> out = std::make_unique<model::CalculationResult>();
};

Calculated Calculate(const reference::Craft& craft) {
  Calculated c;
  c.r = reference::Prepare(craft);
  model::Calculation(c.r, craft.powerTail, craft.capacity, *c.out);
  return c;
}

TEST(Calculation, DesignCraftGivesThePublishedFigures) {
  const Calculated c = Calculate(reference::DesignCraft());
  const model::CalculationResult& out = *c.out;
  EXPECT_NEAR(out.rho, 1.16468, 5e-6);
  EXPECT_NEAR(c.r.Po, 23.1058, 5e-5);
  EXPECT_NEAR(c.r.Pt, 23.1058 * 2 / 100, 5e-6);
  EXPECT_NEAR(c.r.Proot, 22.6437, 5e-5);
  EXPECT_NEAR(c.r.omega, 2088.64, 5e-3);
  EXPECT_EQ(out.rpm, 2088);
  EXPECT_NEAR(out.vh, 15.3497, 5e-5);
  EXPECT_EQ(fw::Str(out.endurance), "14");

  for (int pass = 0; pass < 122; ++pass) {
    ASSERT_EQ(out.vi[static_cast<std::size_t>(pass)], 10.000999999999896) << pass;
  }
  EXPECT_LT(out.vi[122], 10);

  EXPECT_NEAR(out.climb[0], 5.5854, 5e-5);
  EXPECT_TRUE(out.dots[0].drawn);
  EXPECT_EQ(out.dots[0].x, 0);
  EXPECT_EQ(out.dots[0].y, 132);

  EXPECT_EQ(out.mu[0], 0);
  EXPECT_EQ(out.mu[model::kPasses - 1], 0.4990000000000004);
  EXPECT_EQ(out.V[model::kPasses - 1], 0.4990000000000004 * 175);
  EXPECT_EQ(c.r.Dp, (((0.5 * out.rho) * 0.35) * 0.375) * std::pow(0.4990000000000004 * 175, 2))
      << "the record keeps the last pass's drag";
}

TEST(Calculation, InducedVelocityEndsTheBalanceSearch) {
  // Past the capped passes, each vi is the first step whose balance exceeds 1.
  const Calculated c = Calculate(reference::DesignCraft());
  const model::CalculationResult& out = *c.out;
  auto balance = [&](double vi, double V) {
    return std::pow(vi / out.vh, 4) + (std::pow(V / out.vh, 2) * std::pow(vi / out.vh, 2));
  };
  for (std::size_t pass = 122; pass < model::kPasses; ++pass) {
    const double vi = out.vi[pass];
    ASSERT_GT(balance(vi, out.V[pass]), 1) << pass;
    ASSERT_LE(balance(vi - 0.001, out.V[pass]), 1) << pass;
  }
}

struct MarkCase {
  const char* name;
  double maxspeed;
  double rateclimb;
  model::Mark topSpeed;
  model::Mark climbRate;
};

class Marks : public ::testing::TestWithParam<MarkCase> {};

void ExpectMark(const model::Mark& actual, const model::Mark& expected) {
  EXPECT_EQ(actual.x1, expected.x1);
  EXPECT_EQ(actual.y1, expected.y1);
  EXPECT_EQ(actual.x2, expected.x2);
  EXPECT_EQ(actual.y2, expected.y2);
}

TEST_P(Marks, PlacePublishedSpeedAndClimb) {
  reference::Craft craft = reference::DesignCraft();
  craft.maxspeed = GetParam().maxspeed;
  craft.rateclimb = GetParam().rateclimb;
  const Calculated c = Calculate(craft);
  ExpectMark(c.out->topSpeed, GetParam().topSpeed);
  ExpectMark(c.out->climbRate, GetParam().climbRate);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Marks,
    ::testing::Values(MarkCase{"NonePublished", 0, 0, {0, 300, 0, 250}, {50, 300, 200, 300}},
                      MarkCase{"Published", 30, 5, {300, 300, 300, 250}, {50, 150, 200, 150}},
                      MarkCase{"Unreadable", kNaN, kNaN, {0, 300, 0, 250}, {50, 0, 200, 0}}),
    RowName<::testing::TestParamInfo<MarkCase>>);

// The profile term is the solidity times a drag coefficient that is 0: any
// blade count and chord whose solidity is finite leave the curve exactly as
// it is; a solidity that is not finite makes the term NaN, and nothing is
// drawn.
struct SolidityCase {
  const char* name;
  double blades, chord;
  bool sameCurve;
};

class Solidity : public ::testing::TestWithParam<SolidityCase> {};

TEST_P(Solidity, ChangesThePlotOnlyWhenNotFinite) {
  const Calculated design = Calculate(reference::DesignCraft());
  reference::Craft craft = reference::DesignCraft();
  craft.in.blades = GetParam().blades;
  craft.in.chord = GetParam().chord;
  const Calculated c = Calculate(craft);
  EXPECT_EQ(std::isfinite(c.out->sigma), GetParam().sameCurve);
  for (std::size_t pass = 0; pass < model::kPasses; ++pass) {
    SCOPED_TRACE("pass " + std::to_string(pass));
    if (GetParam().sameCurve) {
      ASSERT_EQ(c.out->climb[pass], design.out->climb[pass]);
      ASSERT_EQ(c.out->dots[pass].y, design.out->dots[pass].y);
      ASSERT_TRUE(c.out->dots[pass].drawn);
    } else {
      ASSERT_TRUE(std::isnan(c.out->climb[pass]));
      ASSERT_FALSE(c.out->dots[pass].drawn);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, Solidity,
    ::testing::Values(SolidityCase{"NoBlades", 0, 0.1, true},
                      SolidityCase{"NoChord", 2, 0, true},
                      SolidityCase{"ManyWideBlades", 1e6, 1e3, true},
                      // Val("1e309") is infinite; the whole blade count saturates.
                      SolidityCase{"BladeCountReadAsInfinite", fw::Val("1e309"), 0.1, true},
                      SolidityCase{"ChordReadAsInfinite", 2, fw::Val("1e309"), false},
                      SolidityCase{"BladesTimesChordBeyondTheDoubleRange", 2, 1e308, false}),
    RowName<::testing::TestParamInfo<SolidityCase>>);

TEST(Calculation, DotsNeedBothCoordinatesFinite) {
  // An unusable horizontal scale with a perfectly good climb.
  Calculated c;
  const reference::Craft craft = reference::DesignCraft();
  c.r = reference::Prepare(craft);
  c.r.sck = std::numeric_limits<double>::infinity();
  model::Calculation(c.r, craft.powerTail, craft.capacity, *c.out);
  for (std::size_t pass = 0; pass < model::kPasses; ++pass) {
    ASSERT_TRUE(std::isfinite(c.out->climb[pass])) << pass;
    ASSERT_FALSE(c.out->dots[pass].drawn) << pass;
  }
}

TEST(Calculation, NoRotorsCompletesWithoutDrawing) {
  reference::Craft craft = reference::DesignCraft();
  craft.in.rotors = 0;
  const Calculated c = Calculate(craft);
  EXPECT_FALSE(std::isfinite(c.out->endurance));
  for (std::size_t pass = 0; pass < model::kPasses; ++pass) {
    ASSERT_FALSE(std::isfinite(c.out->climb[pass])) << pass;
    ASSERT_FALSE(c.out->dots[pass].drawn) << pass;
  }
}

}  // namespace
