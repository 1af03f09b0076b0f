// Pictures of the main window for a person to look at, in the states that
// fill it most: a calculated design craft, an example with its published
// figures marked, and the US labels and texts.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "main_window/controls_table.h"
#include "support/saved_picture.h"
#include "window_support.h"

namespace {

using LookTest = MainWindowTest;

fw::PicturePtr Save(Window1& w, const std::string& file) {
  fw::testing::ProcessEvents();
  fw::PicturePtr picture = saved::SaveAndReadBack(w, file);
  // What was saved is what the window shows: the graph as it was drawn.
  EXPECT_EQ(fw::testing::ShownPixel(w, 271 + 141, 85 + 10), mwtest::kGrid);
  return picture;
}

// Where a control stands in the content: its box, and below a single line
// of text in a box too short for it, what the line's descenders reach. A
// line is as tall as its font's line, and no font's line is twice as tall
// as the font's pixel size.
saved::Box Covers(fw::Control& c) {
  saved::Box box = saved::BoxOf(c);
  if (c.Class() != fw::ControlClass::StaticText) return box;
  const fw::testing::ControlLook look = fw::testing::Look(c);
  if (!look.wraps) box.height = std::max(box.height, 2 * look.pixelSize);
  return box;
}

// The control as the layout lists it.
const main_window::ControlRow* LayoutRow(std::string_view name) {
  for (const main_window::ControlRow& row : main_window::ControlRows())
    if (row.name == name) return &row;
  ADD_FAILURE() << "the layout lists no " << name;
  return nullptr;
}

saved::Box BoxOf(const main_window::ControlRow& row) {
  return {row.d.left, row.d.top, row.d.width, row.d.height};
}

// The layout's control alone, saying `text`, on a window with the main
// one's back colour, as a saved picture of that window's content: what the
// control looks like with that text, for comparing with what it shows.
fw::PicturePtr AloneSaying(const main_window::ControlRow& row, std::string_view text) {
  if (!row.d.parent.empty()) {
    ADD_FAILURE() << row.name << " stands in " << row.d.parent << ", not on the window itself";
    return nullptr;
  }
  fw::Window alone("Reference.Control");
  alone.SetProperties(fw::WindowDescription{.width = row.d.left + row.d.width,
                                            .height = row.d.top + row.d.height,
                                            .hasBackColor = true,
                                            .backColor = mwtest::kBack,
                                            .visible = false});
  fw::ControlDescription d = row.d;
  d.text = text;
  alone.NewControl(row.cls, row.name, row.textSize, d);
  fw::testing::ProcessEvents();
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("vantorel-alone-" + std::to_string(::getpid()) + ".png"))
                               .string();
  fw::PicturePtr picture;
  if (fw::testing::SaveImage(alone, path)) picture = fw::FolderItem(path).OpenAsPicture();
  std::filesystem::remove(path);
  if (picture == nullptr) ADD_FAILURE() << "no picture of " << row.name << " alone";
  return picture;
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

// In US units the saved picture shows a label only they show, and the dots
// of the craft's curve, as the switch wrote the craft, in the graph's area.
TEST_F(LookTest, ScreenshotInUSUnits) {
  Click("ButtonUS");
  Click("PushButtonCalculate");
  const fw::PicturePtr picture = Save(*w, "main-window-us.png");
  ASSERT_NE(picture, nullptr);
  ASSERT_EQ(picture->Width(), w->Width());
  // The menu bar sits above the content.
  const int top = saved::ContentTop(*picture, *w);
  ASSERT_GT(top, 0);

  const main_window::ControlRow* weight = LayoutRow("StaticText12");
  ASSERT_NE(weight, nullptr);
  EXPECT_EQ(fw::testing::Look(w->Get<fw::Control>(weight->name)).text, "Gross Weight (lb)");
  const fw::PicturePtr alone = AloneSaying(*weight, "Gross Weight (lb)");
  ASSERT_NE(alone, nullptr);
  saved::Box label = BoxOf(*weight);
  label.top += top;
  EXPECT_TRUE(saved::Shows(*picture, label, saved::Copy(*alone, 0, top)));

  // The graph as it must look for the craft, where no other control stands
  // over the canvas.
  const mwtest::CoreRun core = mwtest::RunCore(mwtest::DesignCraftInUS());
  mwtest::ReferenceGraph expected;
  expected.Dots(*core.result);
  const main_window::ControlRow* canvas = LayoutRow("Canvas1");
  ASSERT_NE(canvas, nullptr);
  saved::Box graph = BoxOf(*canvas);
  graph.top += top;
  std::vector<saved::Box> over;
  for (const auto& c : w->Controls()) {
    if (c->Name() == canvas->name) continue;
    saved::Box box = Covers(*c);
    box.top += top;
    over.push_back(box);
  }
  EXPECT_GT(saved::CountIn(*picture, graph, mwtest::kDot), 0);
  const saved::Expectation drawn = saved::Copy(expected.g(), graph.left, graph.top);
  EXPECT_TRUE(saved::Shows(*picture, graph, [&](int x, int y) -> std::optional<fw::Color> {
    for (const saved::Box& b : over)
      if (b.Contains(x, y)) return std::nullopt;
    return drawn(x, y);
  }));
}

}  // namespace
