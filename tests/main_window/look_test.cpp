// Pictures of the main window for a person to look at, in the states that
// fill it most: a calculated design craft, an example with its published
// published figures marked, and the US labels and texts.
#include <string>

#include "window_support.h"

namespace {

using LookTest = MainWindowTest;

void Save(Window1& w, const std::string& file) {
  fw::testing::ProcessEvents();
  const std::string path = (TestOutputDir() / file).string();
  EXPECT_TRUE(fw::testing::SaveImage(w, path)) << path;
  // What was saved is what the window shows: the graph as it was drawn.
  EXPECT_EQ(fw::testing::ShownPixel(w, 271 + 141, 85 + 10), mwtest::kGrid);
}

TEST_F(LookTest, ScreenshotAfterCalculate) {
  Click("PushButtonCalculate");
  Save(*w, "main-window.png");
  EXPECT_EQ(fw::testing::ShownPixel(*w, 271 + 3, 85 + 132 + 3 - 1), mwtest::kDot);
}

TEST_F(LookTest, ScreenshotOfVolocopterWithItsMarks) {
  Click("RadioButtonVolo");
  Click("CheckBoxSpecs");
  Click("PushButtonCalculate");
  Save(*w, "main-window-volocopter-marks.png");
  EXPECT_EQ(fw::testing::ShownPixel(*w, 271 + 514, 85 + 280), mwtest::kMark);
}

TEST_F(LookTest, ScreenshotInUSUnits) {
  Click("ButtonUS");
  Click("PushButtonCalculate");
  Save(*w, "main-window-us.png");
}

}  // namespace
