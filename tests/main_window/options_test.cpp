// The fuselage, propeller and seating options: the value each writes, the
// picture each shows, the propeller factor a Calculate uses, and what
// happens when a picture file is missing.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/loaders.h"
#include "window_support.h"

namespace {

using mwtest::kBack;

using OptionsTest = MainWindowTest;

// The canvas shows the picture at its top-left corner, unscaled.
::testing::AssertionResult ShowsPicture(fw::Canvas& canvas, const fw::PicturePtr& picture) {
  if (!picture) return ::testing::AssertionFailure() << "no picture to compare with";
  if (canvas.Backdrop() != picture) return ::testing::AssertionFailure() << "another backdrop";
  const fw::Graphics& g = canvas.GetGraphics();
  int differing = 0, plain = 0, compared = 0;
  for (int y = 0; y < std::min(g.Height(), picture->Height()); ++y) {
    for (int x = 0; x < std::min(g.Width(), picture->Width()); ++x) {
      ++compared;
      if (g.Pixel(x, y) != picture->Pixel(x, y)) ++differing;
      if (g.Pixel(x, y) == kBack) ++plain;
    }
  }
  if (compared == 0 || differing > 0 || plain == compared)
    return ::testing::AssertionFailure() << differing << " of " << compared
                                         << " pixels differ from the picture, " << plain
                                         << " show the plain back colour";
  return ::testing::AssertionSuccess();
}

struct OptionCase {
  const char* name;
  const char* button;
  const char* sibling;  // clicked first where the button starts selected
  const char* canvas;
  fw::PicturePtr (*picture)();
  const char* field;
  const char* metric;
  const char* us;
};

const OptionCase kOptions[] = {
    {"OpenFrame", "ButtonDrag", nullptr, "CanvasFuselage", Openframe, "TextFieldDrag", "1.0",
     "1.0"},
    {"Windshield", "ButtonPodBoom", nullptr, "CanvasFuselage", Windshield, "TextFieldDrag", ".6",
     ".6"},
    {"Streamlined", "ButtonStreamlined", "ButtonDrag", "CanvasFuselage", Streamlined,
     "TextFieldDrag", ".4", ".4"},
    {"SingleSeat", "ButtonOnePlace", nullptr, "CanvasGyro", Singleseat, "TextFieldFrontal", ".7",
     "7.5"},
    {"SideBySide", "ButtonSbyS", "ButtonTandem", "CanvasGyro", sbys, "TextFieldFrontal", "1.5",
     "16.13"},
    {"Tandem", "ButtonTandem", nullptr, "CanvasGyro", tandem, "TextFieldFrontal", "1", "10.8"},
};

struct OptionRun {
  OptionCase option;
  bool us;
};

std::vector<OptionRun> OptionRuns() {
  std::vector<OptionRun> runs;
  for (const bool us : {false, true})
    for (const OptionCase& o : kOptions) runs.push_back({o, us});
  return runs;
}

class OptionButtonTest : public MainWindowTest, public ::testing::WithParamInterface<OptionRun> {};

TEST_P(OptionButtonTest, WritesItsValueAndShowsItsPicture) {
  const OptionCase& o = GetParam().option;
  const bool us = GetParam().us;
  if (us) Click("ButtonUS");
  if (o.sibling) Click(o.sibling);
  // A value typed into the field gives way to the option's.
  Field(o.field).SetText("9.99");
  const double duct = w->Duct;
  Click(o.button);
  fw::testing::ProcessEvents();
  EXPECT_TRUE(Get<fw::RadioButton>(o.button).Value());
  EXPECT_EQ(Text(o.field), us ? o.us : o.metric);
  EXPECT_TRUE(ShowsPicture(Get<fw::Canvas>(o.canvas), o.picture()));
  // Nothing else: no reading, no drawing, no other option.
  EXPECT_EQ(w->Duct, duct);
  EXPECT_EQ(Get<fw::RadioButton>("ButtonMetric").Value(), !us);
  EXPECT_TRUE(Get<fw::RadioButton>("ButtonPlain").Value());
  EXPECT_TRUE(mwtest::SamePixels(Graph(), mwtest::ReferenceGraph().g()));
  EXPECT_EQ(Text("TextFieldEndurange"), "");
}

INSTANTIATE_TEST_SUITE_P(Options, OptionButtonTest, ::testing::ValuesIn(OptionRuns()),
                         [](const auto& info) {
                           return std::string(info.param.us ? "US_" : "Metric_") +
                                  info.param.option.name;
                         });

// Start-up shows "Streamlined" selected, yet its handler has not run; a
// click on it does nothing, since it is selected already.
TEST_F(OptionsTest, WindshieldThenStreamlinedFromStartUp) {
  auto& fuselage = Get<fw::Canvas>("CanvasFuselage");
  Click("ButtonStreamlined");
  EXPECT_EQ(Text("TextFieldDrag"), "0.35");
  EXPECT_EQ(fuselage.Backdrop(), nullptr);

  Click("ButtonPodBoom");
  EXPECT_EQ(Text("TextFieldDrag"), ".6");
  EXPECT_TRUE(ShowsPicture(fuselage, Windshield()));
  EXPECT_FALSE(Get<fw::RadioButton>("ButtonStreamlined").Value());

  Click("ButtonStreamlined");
  EXPECT_EQ(Text("TextFieldDrag"), ".4");
  EXPECT_TRUE(ShowsPicture(fuselage, Streamlined()));
  EXPECT_FALSE(Get<fw::RadioButton>("ButtonPodBoom").Value());
  // The other groups keep their selections.
  EXPECT_TRUE(Get<fw::RadioButton>("ButtonSbyS").Value());
  EXPECT_TRUE(Get<fw::RadioButton>("ButtonPlain").Value());
  EXPECT_TRUE(Get<fw::RadioButton>("ButtonMetric").Value());
}

// The propeller factor: no text, no picture, but the climb of every dot.
TEST_F(OptionsTest, DuctedFanLiftsTheClimbByItsFactor) {
  const auto fieldsBefore = [this] {
    std::vector<std::string> texts;
    for (const char* f : mwtest::kTextFields) texts.push_back(Text(f));
    return texts;
  }();
  Click("ButtonDucted");
  EXPECT_EQ(w->Duct, 1.3);
  std::vector<std::string> fieldsAfter;
  for (const char* f : mwtest::kTextFields) fieldsAfter.push_back(Text(f));
  EXPECT_EQ(fieldsAfter, fieldsBefore);
  EXPECT_EQ(Get<fw::Canvas>("CanvasFuselage").Backdrop(), nullptr);
  EXPECT_EQ(Get<fw::Canvas>("CanvasGyro").Backdrop(), nullptr);

  Click("PushButtonCalculate");
  mwtest::CraftTexts ducted = mwtest::DesignCraft();
  ducted.duct = 1.3;
  const mwtest::CoreRun withDuct = mwtest::RunCore(ducted);
  const mwtest::CoreRun plain = mwtest::RunCore(mwtest::DesignCraft());
  ASSERT_GT(plain.result->dots.front().y - withDuct.result->dots.front().y, 7);
  EXPECT_TRUE(mwtest::FirstDotAt(Graph(), withDuct.result->dots.front().y));
  mwtest::ReferenceGraph expected;
  expected.Dots(*withDuct.result);
  EXPECT_TRUE(mwtest::SamePixels(Graph(), expected.g()));

  Click("PushButtonClear");
  Click("ButtonPlain");
  EXPECT_EQ(w->Duct, 1.0);
  Click("PushButtonCalculate");
  EXPECT_TRUE(mwtest::FirstDotAt(Graph(), plain.result->dots.front().y));
  mwtest::ReferenceGraph back;
  back.Dots(*plain.result);
  EXPECT_TRUE(mwtest::SamePixels(Graph(), back.g()));
}

TEST_F(OptionsTest, TypedValuesStayUntilAnOptionWrites) {
  Field("TextFieldDrag").SetText("0.5");
  Field("TextFieldFrontal").SetText("2.2");
  Click("ButtonDucted");
  Click("ButtonTandem");
  EXPECT_EQ(Text("TextFieldDrag"), "0.5");
  EXPECT_EQ(Text("TextFieldFrontal"), "1");
  Click("PushButtonCalculate");
  EXPECT_EQ(w->cdho, 0.5);
  EXPECT_EQ(w->Arunko, 1.0 / 4);
  Click("ButtonDrag");
  EXPECT_EQ(Text("TextFieldDrag"), "1.0");
}

// A Resources folder that lacks some pictures, for an executable that
// pretends to live beside it.
class MissingPictureTest : public MainWindowTest {
 protected:
  void UseResourcesWithout(const std::vector<std::string>& missing) {
    namespace fs = std::filesystem;
    const fs::path real = fs::canonical("/proc/self/exe").parent_path().parent_path() / "Resources";
    ASSERT_TRUE(fs::is_directory(real)) << real;
    root_ = TestOutputDir() / ("missing-pictures-" + std::to_string(::getpid()) + "-" +
                               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_ / "bin");
    fs::create_directories(root_ / "Resources");
    for (const auto& entry : fs::directory_iterator(real)) {
      const std::string name = entry.path().filename().string();
      if (std::find(missing.begin(), missing.end(), name) != missing.end()) continue;
      fs::copy_file(entry.path(), root_ / "Resources" / name);
    }
    fw::testing::SetExecutablePath((root_ / "bin" / "vantorel").string());
    ResetLoadersForTesting();
  }
  void TearDown() override {
    MainWindowTest::TearDown();
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  std::filesystem::path root_;
};

TEST_F(MissingPictureTest, OptionsStillWriteTheirValues) {
  UseResourcesWithout({"Windshield.png", "tandem.png"});
  auto& fuselage = Get<fw::Canvas>("CanvasFuselage");
  auto& seating = Get<fw::Canvas>("CanvasGyro");

  Click("ButtonDrag");
  EXPECT_TRUE(ShowsPicture(fuselage, Openframe()));
  // The missing picture clears what the canvas showed.
  Click("ButtonPodBoom");
  EXPECT_EQ(fuselage.Backdrop(), nullptr);
  EXPECT_EQ(Text("TextFieldDrag"), ".6");
  EXPECT_EQ(mwtest::CountPixels(fuselage.GetGraphics(), kBack), 115 * 71);

  Click("ButtonOnePlace");
  EXPECT_TRUE(ShowsPicture(seating, Singleseat()));
  Click("ButtonTandem");
  EXPECT_EQ(seating.Backdrop(), nullptr);
  EXPECT_EQ(Text("TextFieldFrontal"), "1");
  EXPECT_EQ(mwtest::CountPixels(seating.GetGraphics(), kBack), 117 * 71);
}

TEST_F(MissingPictureTest, PresetStillFillsTheCraft) {
  UseResourcesWithout({"volocopter-two-1.jpg"});
  Click("Radiobuttonehang");
  EXPECT_NE(Get<fw::Canvas>("Canvas1").Backdrop(), nullptr);
  Click("RadioButtonVolo");
  EXPECT_EQ(Get<fw::Canvas>("Canvas1").Backdrop(), nullptr);
  EXPECT_TRUE(mwtest::SamePixels(Graph(), mwtest::ReferenceGraph().g()));
  EXPECT_EQ(Text("TextFieldRotors"), "18");
  EXPECT_EQ(Text("TextFieldDrag"), ".7");
  EXPECT_EQ(w->Duct, 1.3);
  EXPECT_EQ(w->rateclimb, 7.4);
  EXPECT_TRUE(ShowsPicture(Get<fw::Canvas>("CanvasFuselage"), Windshield()));
}

TEST_F(MissingPictureTest, NoResourcesFolderAtAll) {
  UseResourcesWithout({});
  std::filesystem::remove_all(root_ / "Resources");
  Click("ButtonPodBoom");
  Click("RadioKivopack");
  EXPECT_EQ(Get<fw::Canvas>("CanvasFuselage").Backdrop(), nullptr);
  EXPECT_EQ(Get<fw::Canvas>("CanvasGyro").Backdrop(), nullptr);
  EXPECT_EQ(Get<fw::Canvas>("Canvas1").Backdrop(), nullptr);
  EXPECT_EQ(Text("TextFieldDrag"), ".34");
  EXPECT_EQ(Text("TextFieldFrontal"), "0.7");
}

}  // namespace
