// Whatever a field holds, Calculate, Clear, a repaint and a unit switch run
// to the end, and the window recovers once the field is put right. The
// sanitizer build runs the same table for undefined behaviour.
#include <string>
#include <vector>

#include "window_support.h"

namespace {

struct BadText {
  const char* name;
  const char* text;
};

const BadText kBadTexts[] = {
    {"Empty", ""},
    {"Word", "abc"},
    {"Zero", "0"},
    {"Negative", "-1"},
    {"LonePoint", "."},
    {"Huge", "1e308"},
    {"Overflowing", "1e999"},
    {"LoneMinus", "-"},
    {"Junk", "12.5.6e+-3x!@#$%^&*()_+{}|:<>?~`1234abcd"},
};

struct BadInputCase {
  bool us;
  const char* field;
};

std::vector<BadInputCase> AllCases() {
  std::vector<BadInputCase> cases;
  for (const bool us : {false, true})
    for (const char* field : mwtest::kTextFields) cases.push_back({us, field});
  return cases;
}

class BadInputTest : public MainWindowTest, public ::testing::WithParamInterface<BadInputCase> {};

TEST_P(BadInputTest, WindowSurvivesAndRecovers) {
  const BadInputCase& c = GetParam();
  if (c.us) Click("ButtonUS");
  const mwtest::CraftTexts good = c.us ? mwtest::DesignCraftInUS() : mwtest::DesignCraft();
  const mwtest::CoreRun expected = mwtest::RunCore(good);
  mwtest::CraftTexts texts = good;
  const std::string goodText = mwtest::FieldText(texts, c.field);
  ASSERT_EQ(Text(c.field), goodText);
  auto& canvas = Get<fw::Canvas>("Canvas1");

  for (const BadText& bad : kBadTexts) {
    SCOPED_TRACE(bad.name);
    Field(c.field).SetText(bad.text);
    Click("PushButtonCalculate");
    Click("PushButtonClear");
    canvas.Refresh(true);
    fw::testing::ProcessEvents();
    ASSERT_TRUE(w->IsOpen());
    EXPECT_EQ(Text(c.field), bad.text);
    EXPECT_TRUE(mwtest::SamePixels(Graph(), mwtest::ReferenceGraph().g()));

    Field(c.field).SetText(goodText);
    Click("PushButtonCalculate");
    EXPECT_EQ(Text("TextFieldRpm"), fw::Str(expected.result->rpm));
    EXPECT_EQ(Text("TextFieldEndurange"), "14");
    EXPECT_EQ(w->W, expected.record.W);
    EXPECT_EQ(w->R, expected.record.R);
    EXPECT_EQ(w->VTip, expected.record.VTip);
    EXPECT_EQ(w->Arunko, expected.record.Arunko);
    EXPECT_EQ(w->cdho, expected.record.cdho);
    EXPECT_EQ(w->Proot, expected.record.Proot);
    EXPECT_TRUE(mwtest::FirstDotAt(Graph(), expected.result->dots.front().y));
  }
  if (!c.us) {
    EXPECT_EQ(Text("TextFieldRpm"), "2088");
  }
}

INSTANTIATE_TEST_SUITE_P(Fields, BadInputTest, ::testing::ValuesIn(AllCases()),
                         [](const auto& info) {
                           return std::string(info.param.us ? "US_" : "Metric_") +
                                  info.param.field;
                         });

// The unit switch converts whatever the fields hold, out-of-range numbers
// included; the fields it never converts keep their texts.
TEST_F(MainWindowTest, UnitSwitchConvertsUnreadableTexts) {
  const char* const kept[] = {"TextFieldRotors", "EditFieldPower", "EditFieldPowerTail",
                              "TextFieldDrag", "TextFieldCapacity"};
  for (const BadText& bad : kBadTexts) {
    SCOPED_TRACE(bad.name);
    for (const char* field : mwtest::kTextFields) Field(field).SetText(bad.text);
    Click("ButtonUS");
    Click("PushButtonCalculate");
    Click("ButtonMetric");
    Click("PushButtonCalculate");
    fw::testing::ProcessEvents();
    ASSERT_TRUE(w->IsOpen());
    for (const char* field : kept) EXPECT_EQ(Text(field), bad.text) << field;
    EXPECT_TRUE(Get<fw::RadioButton>("ButtonMetric").Value());
    EXPECT_FALSE(Get<fw::RadioButton>("ButtonMetric").Enabled());
  }
}

}  // namespace
