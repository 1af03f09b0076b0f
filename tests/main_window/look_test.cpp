#include "gui/fixture.h"

TEST_F(MainWindowTest, ScreenshotAfterCalculate) {
  Click("PushButtonCalculate");
  fw::testing::ProcessEvents();
  EXPECT_TRUE(fw::testing::SaveImage(*w, (TestOutputDir() / "main-window.png").string()));
}
