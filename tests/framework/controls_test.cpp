// How controls look and take the keyboard: fonts and sizes, a disabled text
// field, focus order, pop-up menus, keys that press no button, and a
// picture of a furnished window for a person to look at.
#include <functional>
#include <string>
#include <vector>

#include "probe.h"

namespace {

using fw::ControlClass;
using probe::Probe;

class ControlsTest : public probe::FrameworkTest {};

// --- fonts ------------------------------------------------------------------

struct FontCase {
  const char* name;
  const char* font;
  const char* family;  // nullptr: the desktop's UI sans font
  friend void PrintTo(const FontCase& row, std::ostream* os) { *os << row.name; }
};

class FontProbe : public Probe {
 public:
  static inline const char* font = "System";
  void CreateControls() override {
    Add<fw::StaticText>(ControlClass::StaticText, "UiLabel",
                        {.left = 10, .top = 10, .width = 100, .height = 20, .text = "Ui"});
    Add<fw::StaticText>(ControlClass::StaticText, "Label",
                        {.left = 10, .top = 40, .width = 100, .height = 20, .text = "Probe", .font = font});
  }
};

class FontFamily : public probe::FrameworkTest, public ::testing::WithParamInterface<FontCase> {};

TEST_P(FontFamily, ResolvesToAnInstalledFamily) {
  FontProbe::font = GetParam().font;
  fw::Window* w = fw::ImplicitInstance<FontProbe>();
  const std::string ui = fw::testing::Look(w->Get<fw::Control>("UiLabel")).family;
  const std::string got = fw::testing::Look(w->Get<fw::Control>("Label")).family;
  EXPECT_NE(ui.find("Sans"), std::string::npos) << ui;
  EXPECT_EQ(got, GetParam().family ? GetParam().family : ui);
}

INSTANTIATE_TEST_SUITE_P(Table, FontFamily,
                         ::testing::Values(FontCase{"Arial", "Arial", "Liberation Sans"},
                                           FontCase{"Helvetica", "Helvetica", "Liberation Sans"},
                                           FontCase{"Times", "Times", "Liberation Serif"},
                                           FontCase{"System", "System", nullptr},
                                           FontCase{"Geneva", "Geneva", nullptr},
                                           FontCase{"Unknown", "No Such Family 42", nullptr}),
                         probe::RowName());

struct SizeCase {
  const char* name;
  ControlClass cls;
  float size;
  int pixels;
  friend void PrintTo(const SizeCase& row, std::ostream* os) { *os << row.name; }
};

class SizeProbe : public Probe {
 public:
  static inline SizeCase row{};
  void CreateControls() override {
    fw::Control& c = NewControl(row.cls, "Sized");
    c.SetTextSize(row.size);
    c.SetProperties({.left = 10, .top = 10, .width = 120, .height = 30, .text = "Sized", .font = "Arial"});
  }
};

class TextSize : public probe::FrameworkTest, public ::testing::WithParamInterface<SizeCase> {};

// Sizes are points at 72 dpi: N points are N pixels on any screen.
TEST_P(TextSize, IsThatManyPixels) {
  SizeProbe::row = GetParam();
  fw::Window* w = fw::ImplicitInstance<SizeProbe>();
  fw::Control& sized = w->Get<fw::Control>("Sized");
  EXPECT_EQ(fw::testing::Look(sized).pixelSize, GetParam().pixels);
  // The size stays when it is set after the description.
  sized.SetTextSize(GetParam().size + 3);
  EXPECT_EQ(fw::testing::Look(sized).pixelSize, GetParam().pixels + 3);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TextSize,
    ::testing::Values(SizeCase{"LabelNine", ControlClass::StaticText, 9, 9},
                      SizeCase{"LabelTwelve", ControlClass::StaticText, 12, 12},
                      SizeCase{"FieldTen", ControlClass::TextField, 10, 10},
                      SizeCase{"ButtonFourteen", ControlClass::PushButton, 14, 14},
                      SizeCase{"RadioEleven", ControlClass::RadioButton, 11, 11},
                      SizeCase{"PopupTwentyFour", ControlClass::PopupMenu, 24, 24}),
    probe::RowName());

// --- text fields ------------------------------------------------------------

struct FieldCase {
  const char* name;
  bool enabled;
  const char* typed;
  const char* text;
  friend void PrintTo(const FieldCase& row, std::ostream* os) { *os << row.name; }
};

class FieldProbe : public Probe {
 public:
  static inline bool enabled = true;
  void CreateControls() override {
    Add<fw::TextField>(ControlClass::TextField, "Field",
                       {.left = 10, .top = 10, .width = 100, .height = 24, .text = "888",
                        .font = "Arial", .enabled = enabled});
  }
};

class TextFieldTyping : public probe::FrameworkTest, public ::testing::WithParamInterface<FieldCase> {};

TEST_P(TextFieldTyping, DisabledShowsItsTextAndTakesNoTyping) {
  const FieldCase& row = GetParam();
  FieldProbe::enabled = row.enabled;
  fw::Window* w = fw::ImplicitInstance<FieldProbe>();
  fw::testing::ProcessEvents();
  auto& field = w->Get<fw::TextField>("Field");
  fw::testing::Type(field, row.typed);
  EXPECT_EQ(field.Text(), row.text);
  const fw::testing::ControlLook look = fw::testing::Look(field);
  EXPECT_EQ(look.enabled, row.enabled);
  EXPECT_EQ(look.text, row.text);
  // The digits are drawn dark enough to read, enabled or not.
  int dark = 0;
  for (int y = 12; y < 32; ++y)
    for (int x = 12; x < 60; ++x) {
      const fw::Color c = fw::testing::ShownPixel(*w, x, y);
      if (c.r + c.g + c.b < 3 * 110) ++dark;
    }
  EXPECT_GT(dark, 20);
}

INSTANTIATE_TEST_SUITE_P(Table, TextFieldTyping,
                         ::testing::Values(FieldCase{"Enabled", true, "12", "12888"},
                                           FieldCase{"Disabled", false, "12", "888"}),
                         probe::RowName());

// --- focus order --------------------------------------------------------------

class TabProbe : public Probe {
 public:
  void CreateControls() override {
    Field("F1", "", 10, 2);
    Add<fw::StaticText>(ControlClass::StaticText, "Label",
                        {.left = 120, .top = 10, .width = 60, .height = 20, .text = "No focus"});
    Field("F2", "", 40, 0);
    Add<fw::PushButton>(ControlClass::PushButton, "B1",
                        {.left = 10, .top = 70, .width = 80, .height = 24, .text = "B1", .tabIndex = 1});
    Add<fw::GroupBox>(ControlClass::GroupBox, "G",
                      {.left = 120, .top = 40, .width = 110, .height = 110, .text = "G", .tabIndex = 3});
    Field("G1", "G", 60, 1, 130);
    Field("G2", "G", 90, 0, 130);
    Field("G3", "G", 120, 0, 130);
  }

 private:
  void Field(const char* name, const char* parent, int top, int tab, int left = 10) {
    Add<fw::TextField>(ControlClass::TextField, name,
                       {.left = left, .top = top, .width = 90, .height = 22, .parent = parent,
                        .tabIndex = tab});
  }
};

TEST_F(ControlsTest, TabIndexOrdersFocusAmongTheControlsOfOneParent) {
  fw::Window* w = fw::ImplicitInstance<TabProbe>();
  // Top level by TabIndex; the group's controls right after the group, by
  // their own TabIndex and, when equal, in the order they were made.
  EXPECT_EQ(fw::testing::TabOrder(*w),
            (std::vector<std::string>{"F2", "B1", "F1", "G2", "G3", "G1"}));
  fw::testing::ProcessEvents();
  fw::testing::Focus(w->Get<fw::Control>("F2"));
  fw::testing::PressKey(*w, "Tab");
  EXPECT_EQ(fw::testing::FocusedControlName(*w), "B1");
}

// --- pop-up menus -------------------------------------------------------------

struct PopupCase {
  const char* name;
  const char* text;
  int listIndex;
  std::vector<std::string> items;
  int selected;
  friend void PrintTo(const PopupCase& row, std::ostream* os) { *os << row.name; }
};

class PopupProbe : public Probe {
 public:
  static inline PopupCase row{};
  void CreateControls() override {
    Add<fw::PopupMenu>(ControlClass::PopupMenu, "Popup",
                       {.left = 10, .top = 10, .width = 100, .height = 22, .text = row.text,
                        .listIndex = row.listIndex});
  }
};

class PopupItems : public probe::FrameworkTest, public ::testing::WithParamInterface<PopupCase> {};

TEST_P(PopupItems, ComeFromTheTextOnePerLine) {
  const PopupCase& row = GetParam();
  PopupProbe::row = row;
  auto& popup = fw::ImplicitInstance<PopupProbe>()->Get<fw::PopupMenu>("Popup");
  std::vector<std::string> items;
  for (int i = 0; i < popup.ListCount(); ++i) items.push_back(popup.List(i));
  EXPECT_EQ(items, row.items);
  EXPECT_EQ(popup.ListIndex(), row.selected);
  const std::string shown = row.selected >= 0 ? row.items[static_cast<size_t>(row.selected)] : "";
  EXPECT_EQ(popup.Text(), shown);
  EXPECT_EQ(fw::testing::Look(popup).text, shown);

  popup.SetListIndex(0);
  EXPECT_EQ(popup.Text(), row.items.front());
  popup.SetListIndex(static_cast<int>(row.items.size()));
  EXPECT_EQ(popup.ListIndex(), -1);
  EXPECT_EQ(popup.Text(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Table, PopupItems,
    ::testing::Values(PopupCase{"NewLines", "100\n90\n80", 1, {"100", "90", "80"}, 1},
                      PopupCase{"CarriageReturns", "100\r90\r80", 2, {"100", "90", "80"}, 2},
                      PopupCase{"CrLf", "100\r\n90\r\n80", 0, {"100", "90", "80"}, 0},
                      PopupCase{"TrailingNewLine", "m\nft\n", 1, {"m", "ft"}, 1},
                      PopupCase{"IndexPastTheEnd", "m\nft", 2, {"m", "ft"}, -1},
                      PopupCase{"IndexNegative", "m\nft", -1, {"m", "ft"}, -1},
                      PopupCase{"OneItem", "only", 0, {"only"}, 0}),
    probe::RowName());

// --- keys that press no button --------------------------------------------------

struct KeyCase {
  const char* name;
  const char* focus;
  const char* key;
  int pushes;
  friend void PrintTo(const KeyCase& row, std::ostream* os) { *os << row.name; }
};

class KeyProbe : public Probe {
 public:
  void CreateControls() override {
    Add<fw::TextField>(ControlClass::TextField, "Field",
                       {.left = 10, .top = 10, .width = 100, .height = 22, .text = "1"});
    Add<fw::PushButton>(ControlClass::PushButton, "Button",
                        {.left = 10, .top = 50, .width = 100, .height = 24, .text = "Calculate"})
        .InstallHandler(fw::kActionEvent, [this] { ++pushes; });
  }
  int pushes = 0;
};

class KeyPress : public probe::FrameworkTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(KeyPress, ReturnAndEscapePressNoButton) {
  const KeyCase& row = GetParam();
  KeyProbe* w = fw::ImplicitInstance<KeyProbe>();
  fw::testing::ProcessEvents();
  fw::testing::Focus(w->Get<fw::Control>(row.focus));
  ASSERT_EQ(fw::testing::FocusedControlName(*w), row.focus);
  fw::testing::PressKey(*w, row.key);
  fw::testing::ProcessEvents();
  EXPECT_EQ(w->pushes, row.pushes);
}

INSTANTIATE_TEST_SUITE_P(Table, KeyPress,
                         ::testing::Values(KeyCase{"ReturnInField", "Field", "Return", 0},
                                           KeyCase{"EscapeInField", "Field", "Escape", 0},
                                           KeyCase{"ReturnOnButton", "Button", "Return", 0},
                                           KeyCase{"EscapeOnButton", "Button", "Escape", 0},
                                           // The key does reach a focused button.
                                           KeyCase{"SpaceOnButton", "Button", "Space", 1}),
                         probe::RowName());

// --- a furnished window -------------------------------------------------------------

class ShowcaseProbe : public Probe {
 public:
  fw::WindowDescription Description() const override {
    return fw::WindowDescription{.width = 320, .height = 220, .hasBackColor = true,
                                 .backColor = probe::kBack, .title = "Probe"};
  }
  void CreateControls() override {
    Add<fw::StaticText>(ControlClass::StaticText, "Label",
                        {.left = 10, .top = 10, .width = 110, .height = 18, .text = "Tip speed m/s",
                         .font = "Arial"});
    Add<fw::TextField>(ControlClass::TextField, "Field",
                       {.left = 125, .top = 8, .width = 70, .height = 22, .text = "200", .font = "Arial"});
    Add<fw::PushButton>(ControlClass::PushButton, "Button",
                        {.left = 210, .top = 7, .width = 100, .height = 24, .text = "Calculate"});
    Add<fw::GroupBox>(ControlClass::GroupBox, "Units",
                      {.left = 10, .top = 40, .width = 120, .height = 70, .text = "Units"});
    Add<fw::RadioButton>(ControlClass::RadioButton, "Metric",
                         {.left = 20, .top = 60, .width = 100, .height = 20, .text = "Metric",
                          .parent = "Units", .value = true});
    Add<fw::RadioButton>(ControlClass::RadioButton, "US",
                         {.left = 20, .top = 82, .width = 100, .height = 20, .text = "US",
                          .parent = "Units"});
    Add<fw::CheckBox>(ControlClass::CheckBox, "Climb",
                      {.left = 10, .top = 118, .width = 120, .height = 20, .text = "Climb rate",
                       .value = true});
    Add<fw::PopupMenu>(ControlClass::PopupMenu, "Power",
                       {.left = 10, .top = 145, .width = 80, .height = 24, .text = "100\n90\n80",
                        .listIndex = 1});
    Add<fw::Rectangle>(ControlClass::Rectangle, "Frame",
                       {.left = 10, .top = 178, .width = 120, .height = 32, .borderWidth = 2,
                        .fillColor = fw::RGB(255, 255, 220), .topLeftColor = fw::RGB(90, 90, 90),
                        .bottomRightColor = fw::RGB(250, 250, 250)});
    Add<fw::Line>(ControlClass::Line, "Rule",
                  {.x1 = 140, .y1 = 40, .x2 = 140, .y2 = 210, .borderWidth = 1,
                   .lineColor = fw::RGB(60, 60, 60)});
    Add<fw::Canvas>(ControlClass::Canvas, "Plot",
                    {.left = 150, .top = 40, .width = 160, .height = 170});
    Get<fw::Canvas>("Plot").InstallPaintHandler([](fw::Graphics& g) {
      g.SetForeColor(fw::RGB(100, 100, 100));
      g.SetPenWidth(2);
      g.SetPenHeight(2);
      for (int x = 40; x < 160; x += 40) g.DrawLine(x, 0, x, 170);
      for (int y = 30; y < 170; y += 40) g.DrawLine(0, y, 160, y);
      g.SetForeColor(fw::RGB(200, 30, 40));
      g.SetPenWidth(3);
      g.SetPenHeight(3);
      for (int i = 0; i < 14; ++i) g.DrawOval(5 + i * 11, 150 - i * i, 7, 7);
    });
  }
};

TEST_F(ControlsTest, FurnishedWindowIsSavedForAPersonToLookAt) {
  fw::Window* w = fw::ImplicitInstance<ShowcaseProbe>();
  fw::testing::ProcessEvents();
  const std::string path = (TestOutputDir() / "framework-probe.png").string();
  ASSERT_TRUE(fw::testing::SaveImage(*w, path));
  const fw::PicturePtr saved = fw::FolderItem(path).OpenAsPicture();
  ASSERT_NE(saved, nullptr);
  EXPECT_EQ(saved->Width(), 320);
  EXPECT_EQ(saved->Height(), 220);
  // A dot of the plot, seen through the whole window.
  EXPECT_EQ(fw::testing::ShownPixel(*w, 150 + 6, 40 + 153), fw::RGB(200, 30, 40));
}

}  // namespace
