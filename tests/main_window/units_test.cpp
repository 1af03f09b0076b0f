// The unit switch through its two buttons: converted texts, labels, the
// altitude pop-ups, the button states, and what a Calculate reads after it.
#include <string>
#include <vector>

#include "window_support.h"

namespace {

using fw::testing::Look;

using UnitsTest = MainWindowTest;

struct Labels {
  const char* weight;
  const char* diameter;
  const char* chord;
  const char* power;
  const char* altitude;
  const char* temperature;
  const char* frontal;
  const char* tipSpeed;
};

const Labels kUSLabels{"Gross Weight (lb)",   "Rotor Diameter (ft)", "Blade Chord (in)",
                       "Power (Hp and %)",    "Altitude (ft)",       "Temperature (deg F)",
                       "sqr feet",            "Tip Speed fps"};
// Four of them are spelled otherwise at start-up.
const Labels kMetricLabels{"Gross Weight (kg)",   "Rotor Diameter (m)", "Blade Chord (m)",
                           "Power (Hp and %)",    "Altitude (m)",       "Temperature (deg C)",
                           "  m2",                "Tip Speed m/s"};
const Labels kDesignLabels{"Gross Weight (kg)",   "Rotor diameter (m)", "Blade chord  (m)",
                           "Power (Hp and %)",    "Altitude  (m)",      "Temperature (deg C)",
                           "  m2",                "Tip speed m/s"};

void ExpectLabels(Window1& w, const Labels& l) {
  const std::pair<const char*, const char*> shown[] = {
      {"StaticText12", l.weight},       {"StaticText3", l.diameter},
      {"StaticText5", l.chord},         {"StaticText22", l.power},
      {"StaticText34", l.altitude},     {"StaticText35", l.temperature},
      {"StaticTextFrontal", l.frontal}, {"StaticTextTipSpeed", l.tipSpeed}};
  for (const auto& [name, text] : shown) {
    EXPECT_EQ(w.Get<fw::StaticText>(name).Text(), text) << name;
    EXPECT_EQ(Look(w.Get<fw::Control>(name)).text, text) << name;
  }
}

// The fields no switch converts, with their design texts.
const std::pair<const char*, const char*> kNeverConverted[] = {
    {"TextFieldRotors", "4"},  {"EditFieldPower", "25"},    {"EditFieldPowerTail", "2"},
    {"TextFieldDrag", "0.35"}, {"TextFieldCapacity", "17.5"}};

void ExpectUnconverted(Window1& w) {
  for (const auto& [name, text] : kNeverConverted)
    EXPECT_EQ(w.Get<fw::TextField>(name).Text(), text) << name;
  EXPECT_EQ(w.Get<fw::PopupMenu>("PopupMenupowerpct").Text(), "100");
}

void ExpectSystem(Window1& w, bool us) {
  auto& metric = w.Get<fw::RadioButton>("ButtonMetric");
  auto& usButton = w.Get<fw::RadioButton>("ButtonUS");
  EXPECT_EQ(metric.Value(), !us);
  EXPECT_EQ(usButton.Value(), us);
  // The button of the system in force can't be pressed again.
  EXPECT_EQ(metric.Enabled(), us);
  EXPECT_EQ(usButton.Enabled(), !us);
  EXPECT_EQ(Look(metric).enabled, us);
  EXPECT_EQ(Look(usButton).enabled, !us);
  EXPECT_EQ(Look(w.Get<fw::Control>("PopupMenuft")).visible, us);
  EXPECT_EQ(Look(w.Get<fw::Control>("PopupMenum")).visible, !us);
}

TEST_F(UnitsTest, DesignTextsToUSAndBack) {
  ExpectLabels(*w, kDesignLabels);
  Click("ButtonUS");
  const std::pair<const char*, const char*> us[] = {
      {"EditFieldWeight", "991.2"},  {"EditFieldBladesnumber", "2"}, {"EditFieldRotorDia", "5.25"},
      {"EditFieldTipSpeed", "573"},  {"EditFieldBladeChord", "3.94"},
      {"EditFieldTemperature", "68"}, {"TextFieldFrontal", "16.1"}};
  for (const auto& [name, text] : us) EXPECT_EQ(Text(name), text) << name;
  ExpectLabels(*w, kUSLabels);
  ExpectSystem(*w, true);
  ExpectUnconverted(*w);

  Click("ButtonMetric");
  const std::pair<const char*, const char*> metric[] = {
      {"EditFieldWeight", "450"},   {"EditFieldBladesnumber", "2"}, {"EditFieldRotorDia", "1.6"},
      {"EditFieldTipSpeed", "175"}, {"EditFieldBladeChord", "0.1"},
      {"EditFieldTemperature", "20"}, {"TextFieldFrontal", "1.5"}};
  for (const auto& [name, text] : metric) EXPECT_EQ(Text(name), text) << name;
  ExpectLabels(*w, kMetricLabels);
  ExpectSystem(*w, false);
  ExpectUnconverted(*w);

  // A second round gives the same texts again.
  Click("ButtonUS");
  EXPECT_EQ(Text("EditFieldWeight"), "991.2");
  Click("ButtonMetric");
  EXPECT_EQ(Text("EditFieldWeight"), "450");
}

// The switch touches nothing but labels, fields, pop-ups and buttons: the
// graph, the outputs and the other options keep their state.
TEST_F(UnitsTest, SwitchLeavesGraphOutputsAndOptions) {
  Click("PushButtonCalculate");
  mwtest::ReferenceGraph drawn;
  drawn.Dots(*mwtest::RunCore(mwtest::DesignCraft()).result);
  for (const char* button : {"ButtonUS", "ButtonMetric"}) {
    SCOPED_TRACE(button);
    Click(button);
    fw::testing::ProcessEvents();
    EXPECT_TRUE(mwtest::SamePixels(Graph(), drawn.g()));
    EXPECT_EQ(Text("TextFieldRpm"), "2088");
    EXPECT_EQ(Text("TextFieldEndurange"), "14");
    EXPECT_TRUE(Get<fw::RadioButton>("ButtonPlain").Value());
    EXPECT_TRUE(Get<fw::RadioButton>("ButtonStreamlined").Value());
    EXPECT_TRUE(Get<fw::RadioButton>("ButtonSbyS").Value());
    EXPECT_EQ(Get<fw::Canvas>("CanvasGyro").Backdrop(), nullptr);
  }
}

TEST_F(UnitsTest, EachAltitudePopUpKeepsItsSelection) {
  Get<fw::PopupMenu>("PopupMenum").SetListIndex(2);
  ASSERT_EQ(Get<fw::PopupMenu>("PopupMenum").Text(), "1000");
  Click("ButtonUS");
  EXPECT_EQ(Look(Get<fw::Control>("PopupMenuft")).text, "0");
  EXPECT_TRUE(Look(Get<fw::Control>("PopupMenuft")).visible);
  Get<fw::PopupMenu>("PopupMenuft").SetListIndex(1);
  Click("PushButtonCalculate");
  EXPECT_EQ(w->alt, 2000 * 0.305);
  Click("ButtonMetric");
  EXPECT_EQ(Look(Get<fw::Control>("PopupMenum")).text, "1000");
  EXPECT_TRUE(Look(Get<fw::Control>("PopupMenum")).visible);
  Click("PushButtonCalculate");
  EXPECT_EQ(w->alt, 1000.0);
  Click("ButtonUS");
  EXPECT_EQ(Look(Get<fw::Control>("PopupMenuft")).text, "2000");
}

// Converted texts for typed values, each switch from the system it names.
struct ConversionCase {
  const char* name;
  bool toUS;
  // weight, rotors, blades, diameter, chord, tip, temperature, frontal
  std::vector<std::string> from, to;
};

const ConversionCase kConversions[] = {
    {"ToUSRoundFigures", true,
     {"454", "4", "2", "3.05", "0.254", "183", "25", "0.93"},
     {"1000.1", "4", "2", "10.01", "10.01", "600", "77", "10"}},
    {"ToUSAnyRotorCount", true,
     {"454", "7", "2", "3.05", "0.254", "183", "25", "0.93"},
     {"1000.1", "7", "2", "10.01", "10.01", "600", "77", "10"}},
    {"ToUSHundredPounds", true,
     {"45.4", "4", "3.0", "1.6", "0.1", "175", "-40", "1.5"},
     {"100.1", "4", "3", "5.25", "3.94", "573", "-40", "16.1"}},
    {"ToMetricRoundFigures", false,
     {"1000", "4", "3.0", "20", "10", "600", "77", "10"},
     {"454", "4", "3", "6.1", "0.25", "184", "25", "1"}},
};

class ConversionTest : public MainWindowTest,
                       public ::testing::WithParamInterface<ConversionCase> {};

TEST_P(ConversionTest, SwitchWritesTheConvertedTexts) {
  const ConversionCase& c = GetParam();
  const char* const fields[] = {"EditFieldWeight",     "TextFieldRotors",   "EditFieldBladesnumber",
                                "EditFieldRotorDia",   "EditFieldBladeChord", "EditFieldTipSpeed",
                                "EditFieldTemperature", "TextFieldFrontal"};
  if (!c.toUS) Click("ButtonUS");
  for (std::size_t i = 0; i < std::size(fields); ++i) Field(fields[i]).SetText(c.from[i]);
  Click(c.toUS ? "ButtonUS" : "ButtonMetric");
  for (std::size_t i = 0; i < std::size(fields); ++i)
    EXPECT_EQ(Text(fields[i]), c.to[i]) << fields[i];
  ExpectSystem(*w, c.toUS);
}

INSTANTIATE_TEST_SUITE_P(Cases, ConversionTest, ::testing::ValuesIn(kConversions),
                         [](const auto& info) { return std::string(info.param.name); });

// A Calculate in US units reads the converted texts through the US readers;
// the switch itself has already read them back into the record.
TEST_F(UnitsTest, CalculateInUSReadsTheUSTexts) {
  Click("ButtonUS");
  const mwtest::CoreRun core = mwtest::RunCore(mwtest::DesignCraftInUS());
  // The reading after the switch: the record as a US Calculate will see it.
  EXPECT_EQ(w->W, core.record.W);
  EXPECT_EQ(w->R, core.record.R);
  EXPECT_EQ(w->VTip, 174.0);
  EXPECT_EQ(w->c, core.record.c);
  EXPECT_EQ(w->Arunko, core.record.Arunko);

  Click("PushButtonCalculate");
  fw::testing::ProcessEvents();
  // The round trip through whole ft/s loses most of a metre per second of
  // tip speed, so the rotor turns slower than the metric 2088.
  EXPECT_EQ(Text("TextFieldRpm"), fw::Str(core.result->rpm));
  EXPECT_EQ(Text("TextFieldRpm"), "2075");
  EXPECT_EQ(Text("TextFieldEndurange"), fw::Str(core.result->endurance));
  EXPECT_EQ(w->Proot, core.record.Proot);
  EXPECT_EQ(w->temp, core.record.temp);
  EXPECT_EQ(w->motors, 4);
  EXPECT_EQ(Get<fw::StaticText>("StaticTextFrontal").Text(), "sqr feet");
  mwtest::ReferenceGraph expected;
  expected.Dots(*core.result);
  EXPECT_TRUE(mwtest::SamePixels(Graph(), expected.g()));

  // Back in metric the design craft is exactly what it was.
  Click("PushButtonClear");
  Click("ButtonMetric");
  Click("PushButtonCalculate");
  EXPECT_EQ(Text("TextFieldRpm"), "2088");
  mwtest::ReferenceGraph metric;
  metric.Dots(*mwtest::RunCore(mwtest::DesignCraft()).result);
  EXPECT_TRUE(mwtest::SamePixels(Graph(), metric.g()));
}

// A rotor count typed under US units counts at the next Calculate for the
// weight and the frontal area alike.
TEST_F(UnitsTest, RotorCountTypedInUSCounts) {
  Click("ButtonUS");
  Field("TextFieldRotors").SetText("8");
  Click("PushButtonCalculate");
  EXPECT_EQ(w->motors, 8);
  EXPECT_EQ(w->W, 991.2 * 0.454 / 8);
  EXPECT_EQ(w->Arunko, 16.1 * 0.093 / 8);
  EXPECT_EQ(Text("TextFieldEndurange"), fw::Str(17.5 / ((25.0 * 8) * 0.75) * 60));
}

// Seating options write the frontal area of the system in force.
TEST_F(UnitsTest, SeatingWritesTheAreaOfTheSystemInForce) {
  Click("ButtonUS");
  Click("ButtonOnePlace");
  EXPECT_EQ(Text("TextFieldFrontal"), "7.5");
  Click("ButtonMetric");
  EXPECT_EQ(Text("TextFieldFrontal"), "0.7");
  Click("ButtonTandem");
  EXPECT_EQ(Text("TextFieldFrontal"), "1");
}

}  // namespace
