// Calculate and Clear through the buttons, and the graph they leave: the
// dots of the model core's run, the marks of the published figures, the grid, and the
// rotor speed that every repaint writes.
#include <string>
#include <vector>

#include "window_support.h"

namespace {

using mwtest::CountPixels;
using mwtest::FirstDotAt;
using mwtest::kDot;
using mwtest::kGrid;
using mwtest::kMark;
using mwtest::Rect;
using mwtest::ReferenceGraph;
using mwtest::RowsInColumn;
using mwtest::SamePixels;

using CalculateTest = MainWindowTest;

TEST_F(CalculateTest, DesignCraftGivesTheCoresRunAndItsDots) {
  Click("PushButtonCalculate");
  fw::testing::ProcessEvents();
  EXPECT_EQ(Text("TextFieldRpm"), "2088");
  EXPECT_EQ(Text("TextFieldEndurange"), "14");
  EXPECT_NEAR(w->Po, 23.1058, 5e-5);
  EXPECT_NEAR(w->Proot, 22.6437, 5e-5);
  EXPECT_NEAR(w->omega, 2088.64, 5e-3);
  EXPECT_EQ(w->scy, 300.0);
  EXPECT_EQ(w->sck, 10.0);
  EXPECT_EQ(w->cdho, 0.35);

  const mwtest::CoreRun core = mwtest::RunCore(mwtest::DesignCraft());
  EXPECT_EQ(w->Po, core.record.Po);
  EXPECT_EQ(w->Proot, core.record.Proot);
  EXPECT_EQ(w->omega, core.record.omega);
  EXPECT_EQ(w->Dp, core.record.Dp);

  // The first dot's box at (0, 132); the last one, at mu 0.499, lies far
  // right of the canvas and shows nothing.
  EXPECT_EQ(core.result->dots.front().x, 0);
  EXPECT_EQ(core.result->dots.front().y, 132);
  EXPECT_TRUE(FirstDotAt(Graph(), 132));
  EXPECT_EQ(core.result->dots.back().x, 873);
  EXPECT_EQ(Graph().Pixel(559, 150), mwtest::kBack);

  ReferenceGraph expected;
  expected.Dots(*core.result);
  EXPECT_TRUE(SamePixels(Graph(), expected.g()));
  EXPECT_GT(CountPixels(Graph(), kDot), 0);
  EXPECT_EQ(CountPixels(Graph(), kMark), 0);
}

// With a slow rotor the sweep ends inside the canvas, so the last of the
// 500 dots shows: the graph ends exactly at its box.
TEST_F(CalculateTest, LastDotOfASlowRotorEndsTheGraph) {
  mwtest::CraftTexts slow = mwtest::DesignCraft();
  slow.weight = "700";
  slow.tip = "100";
  slow.drag = "0";
  mwtest::EnterCraft(*w, slow);
  Click("PushButtonCalculate");
  const mwtest::CoreRun core = mwtest::RunCore(slow);
  const model::Dot last = core.result->dots.back();
  ASSERT_EQ(last.x, 499);
  ASSERT_TRUE(last.y >= 0 && last.y <= 293) << last.y;
  int rightmost = -1;
  for (int x = 0; x < mwtest::kGraphWidth; ++x)
    if (!RowsInColumn(Graph(), x, kDot).empty()) rightmost = x;
  EXPECT_EQ(rightmost, last.x + 6);
  for (int y : RowsInColumn(Graph(), rightmost, kDot)) {
    EXPECT_GE(y, last.y);
    EXPECT_LE(y, last.y + 6);
  }
  ReferenceGraph expected;
  expected.Dots(*core.result);
  EXPECT_TRUE(SamePixels(Graph(), expected.g()));
}

// Before any preset the published figures are 0: the top-speed mark stands on
// the left edge, the climb-rate mark lies on the bottom edge, where its 3 px
// fall just below the canvas.
TEST_F(CalculateTest, MarksBeforeAnyPresetStandOnTheCanvasEdges) {
  Click("CheckBoxSpecs");
  ASSERT_TRUE(Get<fw::CheckBox>("CheckBoxSpecs").Value());
  Click("PushButtonCalculate");
  fw::testing::ProcessEvents();
  EXPECT_TRUE(mwtest::ColourExactlyCovers(Graph(), kMark, {Rect{0, 250, 2, 299}}));
  for (int x = 50; x <= 202; ++x) EXPECT_NE(Graph().Pixel(x, 299), kMark) << x;

  const mwtest::CoreRun core = mwtest::RunCore(mwtest::DesignCraft());
  EXPECT_EQ(core.result->climbRate.y1, 300);
  ReferenceGraph expected;
  expected.Dots(*core.result);
  expected.Marks(*core.result);
  EXPECT_TRUE(SamePixels(Graph(), expected.g()));
}

// The endurance field takes typing; the next Calculate writes over it.
TEST_F(CalculateTest, CalculateOverwritesATypedEndurance) {
  fw::testing::Type(Field("TextFieldEndurange"), "99");
  ASSERT_EQ(Text("TextFieldEndurange"), "99");
  Click("PushButtonCalculate");
  EXPECT_EQ(Text("TextFieldEndurange"), "14");
}

TEST_F(CalculateTest, UntickedBoxDrawsNoMarks) {
  Click("CheckBoxSpecs");
  Click("CheckBoxSpecs");
  Click("PushButtonCalculate");
  EXPECT_EQ(CountPixels(Graph(), kMark), 0);
}

TEST_F(CalculateTest, CalculatesPileUpUntilClear) {
  Click("PushButtonCalculate");
  mwtest::CraftTexts heavier = mwtest::DesignCraft();
  heavier.weight = "500";
  Field("EditFieldWeight").SetText(heavier.weight);
  Click("PushButtonCalculate");
  fw::testing::ProcessEvents();

  const mwtest::CoreRun first = mwtest::RunCore(mwtest::DesignCraft());
  const mwtest::CoreRun second = mwtest::RunCore(heavier);
  const int y1 = first.result->dots.front().y, y2 = second.result->dots.front().y;
  ASSERT_GT(y2 - y1, 7) << "the two crafts' first dots must lie apart";
  ASSERT_LT(y2, 293) << "and both on the canvas";
  const std::vector<int> rows = RowsInColumn(Graph(), 0, kDot);
  ASSERT_FALSE(rows.empty());
  for (int y : rows) EXPECT_TRUE((y >= y1 && y <= y1 + 6) || (y >= y2 && y <= y2 + 6)) << y;
  EXPECT_TRUE(rows.front() >= y1 && rows.front() <= y1 + 6) << rows.front() << " " << y1;
  EXPECT_TRUE(rows.back() >= y2 && rows.back() <= y2 + 6) << rows.back() << " " << y2;
  ReferenceGraph both;
  both.Dots(*first.result);
  both.Dots(*second.result);
  EXPECT_TRUE(SamePixels(Graph(), both.g()));

  const std::string rpm = Text("TextFieldRpm"), endurance = Text("TextFieldEndurange");
  Click("PushButtonClear");
  fw::testing::ProcessEvents();
  EXPECT_EQ(CountPixels(Graph(), kDot), 0);
  EXPECT_GT(CountPixels(Graph(), kGrid), 0);
  EXPECT_TRUE(SamePixels(Graph(), ReferenceGraph().g()));
  EXPECT_EQ(Text("TextFieldRpm"), rpm);
  EXPECT_EQ(Text("TextFieldEndurange"), endurance);
  // Clear reads no field: the record keeps the last reading.
  EXPECT_EQ(w->W, 125.0);
}

TEST_F(CalculateTest, ClearRemovesTheMarksToo) {
  Click("CheckBoxSpecs");
  Click("PushButtonCalculate");
  ASSERT_GT(CountPixels(Graph(), kMark), 0);
  Click("PushButtonClear");
  EXPECT_EQ(CountPixels(Graph(), kMark), 0);
  EXPECT_TRUE(SamePixels(Graph(), ReferenceGraph().g()));
}

TEST_F(CalculateTest, NoRotorsCompletesWithoutAGraph) {
  mwtest::CraftTexts none = mwtest::DesignCraft();
  none.rotors = "0";
  Field("TextFieldRotors").SetText("0");
  Click("CheckBoxSpecs");
  Click("PushButtonCalculate");
  fw::testing::ProcessEvents();
  const mwtest::CoreRun core = mwtest::RunCore(none);
  EXPECT_EQ(Text("TextFieldEndurange"), fw::Str(core.result->endurance));
  EXPECT_EQ(Text("TextFieldEndurange"), "inf");
  EXPECT_EQ(Text("TextFieldRpm"), fw::Str(core.result->rpm));
  EXPECT_EQ(w->motors, 0);
  ReferenceGraph expected;
  expected.Dots(*core.result);
  expected.Marks(*core.result);
  EXPECT_TRUE(SamePixels(Graph(), expected.g()));
  Click("PushButtonClear");
  EXPECT_TRUE(w->IsOpen());
}

// The grid in canvas pixels: 2-px lines, verticals at x 140, 280, 420 from
// y 0 to 271, horizontals at y 58, 118, 178, 238 from x 30 to 561, where
// the last two columns fall beyond the 560-px canvas.
TEST_F(CalculateTest, GridIsThreeVerticalAndFourHorizontalGreyLines) {
  const fw::Graphics& g = Graph();
  const std::vector<Rect> lines = {
      {140, 0, 141, 271}, {280, 0, 281, 271}, {420, 0, 421, 271}, {30, 58, 561, 59},
      {30, 118, 561, 119}, {30, 178, 561, 179}, {30, 238, 561, 239}};
  EXPECT_TRUE(mwtest::ColourExactlyCovers(g, kGrid, lines));
  // 3 x 2 x 272 + 4 x 2 x 530, less the 12 crossings of 2 x 2.
  EXPECT_EQ(CountPixels(g, kGrid), 5824);
  // No vertical line at the right end: only the horizontals reach it. No
  // line at y 298, none below the verticals.
  for (int y = 0; y < 300; ++y) {
    const bool onHorizontal = (y >= 58 && y <= 239 && (y - 58) % 60 <= 1);
    EXPECT_EQ(g.Pixel(558, y) == kGrid, onHorizontal) << y;
    EXPECT_EQ(g.Pixel(559, y) == kGrid, onHorizontal) << y;
  }
  for (int x = 0; x < 560; ++x) {
    EXPECT_NE(g.Pixel(x, 298), kGrid) << x;
    EXPECT_NE(g.Pixel(x, 272), kGrid) << x;
  }
  // Every repaint draws the same grid again.
  Click("PushButtonClear");
  EXPECT_TRUE(mwtest::ColourExactlyCovers(g, kGrid, lines));
}

// The rotor speed that a repaint writes: tip speed over the radius of the
// last reading.
struct RepaintCase {
  const char* name;
  bool us;
  const char* tip;  // typed before the repaint; nullptr leaves the field
  double vtip;      // what the repaint takes the tip speed for, m/s
  const char* rpm;
};

const RepaintCase kRepaintCases[] = {
    {"FirstPaint", false, nullptr, 175, "2088"},
    {"EmptyTip", false, "", 0, "0"},
    {"UnreadableTip", false, "fast", 0, "0"},
    {"FasterTip", false, "200", 200, "2387"},
    {"TypedFraction", false, "175.5", 175.5, "2094"},
    {"USTip573", true, "573", 174, nullptr},
    {"USTip600", true, "600", 183, nullptr},
};

class RepaintRpmTest : public MainWindowTest, public ::testing::WithParamInterface<RepaintCase> {};

TEST_P(RepaintRpmTest, RepaintWritesTheRpmOfTheTipField) {
  const RepaintCase& c = GetParam();
  if (c.us) Click("ButtonUS");
  if (c.tip != nullptr) {
    Field("EditFieldTipSpeed").SetText(c.tip);
    Click("PushButtonClear");
    fw::testing::ProcessEvents();
  }
  EXPECT_EQ(w->VTip, c.vtip);
  // The radius is the one of the last reading: 0.8 m at start-up, and the
  // US reading of "5.25" ft after the switch.
  const double radius = c.us ? 5.25 / 2 * 0.305 : 0.8;
  EXPECT_EQ(w->R, radius);
  const std::string rpm = c.rpm ? c.rpm : fw::Str(fw::whole(c.vtip / radius * 60 / 2 / 3.142));
  EXPECT_EQ(Text("TextFieldRpm"), rpm);
  EXPECT_EQ(w->omega, fw::Val(rpm));
}

INSTANTIATE_TEST_SUITE_P(Cases, RepaintRpmTest, ::testing::ValuesIn(kRepaintCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A repaint right after a Calculate shows the rpm the Calculate wrote, in
// either unit system.
TEST_F(CalculateTest, RepaintAfterCalculateKeepsItsRpm) {
  for (const bool us : {false, true}) {
    SCOPED_TRACE(us ? "US" : "metric");
    if (us) Click("ButtonUS");
    Click("PushButtonCalculate");
    const std::string rpm = Text("TextFieldRpm");
    Click("PushButtonClear");
    EXPECT_EQ(Text("TextFieldRpm"), rpm);
  }
}

}  // namespace
