// A window's life: the construction events in order, the single-instance
// registry, closing from inside the window's own handlers, typed lookups and
// the presses that reach the window itself, and what reaches a window once
// it is closed.
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "probe.h"

namespace {

using fw::ControlClass;
using probe::Probe;

// Writes every construction event into one log that outlives the window.
class LifeProbe : public Probe {
 public:
  static inline std::vector<std::string> log;
  static inline int built = 0;

  LifeProbe() { ++built; }
  void Layout() override {
    log.push_back("Layout");
    Probe::Layout();
  }
  void CreateControls() override {
    log.push_back("CreateControls");
    Add<fw::Canvas>(ControlClass::Canvas, "C", {.left = 10, .top = 10, .width = 50, .height = 40});
    Get<fw::Canvas>("C").InstallPaintHandler([](fw::Graphics&) { log.push_back("Paint"); });
  }
  void AddMenuHandlers(fw::Window&) override { log.push_back("AddMenuHandlers"); }
  void Event_Open() override {
    log.push_back(IsVisible() ? "Open (shown)" : "Open (not shown yet)");
  }
};

class HiddenLifeProbe : public LifeProbe {
 public:
  fw::WindowDescription Description() const override {
    fw::WindowDescription d = LifeProbe::Description();
    d.visible = false;
    return d;
  }
};

class WindowTest : public probe::FrameworkTest {
 protected:
  void SetUp() override {
    LifeProbe::log.clear();
    LifeProbe::built = 0;
  }
};

struct ShowCase {
  const char* name;
  std::function<fw::Window*()> make;
  bool shownAtOnce;
  friend void PrintTo(const ShowCase& row, std::ostream* os) { *os << row.name; }
};

class WindowConstruction : public WindowTest, public ::testing::WithParamInterface<ShowCase> {};

TEST_P(WindowConstruction, RaisesItsEventsInOrderThenShowsAsDescribed) {
  const ShowCase& row = GetParam();
  fw::Window* w = row.make();
  fw::testing::ProcessEvents();
  std::vector<std::string> expected{"Layout", "CreateControls", "AddMenuHandlers",
                                    "Open (not shown yet)"};
  if (row.shownAtOnce) expected.push_back("Paint");
  EXPECT_EQ(LifeProbe::log, expected);
  EXPECT_EQ(w->IsVisible(), row.shownAtOnce);

  // Showing later paints the canvas for the first time; showing again
  // doesn't paint it again.
  w->Show();
  fw::testing::ProcessEvents();
  w->Show();
  fw::testing::ProcessEvents();
  EXPECT_TRUE(w->IsVisible());
  EXPECT_EQ(std::count(LifeProbe::log.begin(), LifeProbe::log.end(), "Paint"), 1);
  EXPECT_EQ(fw::testing::PaintCount(w->Get<fw::Canvas>("C")), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Table, WindowConstruction,
    ::testing::Values(ShowCase{"Visible", [] { return fw::ImplicitInstance<LifeProbe>(); }, true},
                      ShowCase{"NotVisible", [] { return fw::ImplicitInstance<HiddenLifeProbe>(); },
                               false}),
    probe::RowName());

TEST_F(WindowTest, ImplicitInstanceFindsTheOpenWindowAndBuildsAfterClose) {
  LifeProbe* first = fw::ImplicitInstance<LifeProbe>();
  EXPECT_EQ(fw::ImplicitInstance<LifeProbe>(), first);
  EXPECT_EQ(fw::GetImplicitWindow(Probe::kFullClassName), first);
  EXPECT_EQ(LifeProbe::built, 1);

  first->Close();
  // Gone from the registry at once, before the event loop turns.
  EXPECT_FALSE(first->IsOpen());
  EXPECT_EQ(fw::GetImplicitWindow(Probe::kFullClassName), nullptr);

  LifeProbe* second = fw::ImplicitInstance<LifeProbe>();
  EXPECT_EQ(LifeProbe::built, 2);
  EXPECT_NE(second, first);
  EXPECT_TRUE(second->IsOpen());
  EXPECT_EQ(fw::GetImplicitWindow(Probe::kFullClassName), second);
  fw::testing::ProcessEvents();
  EXPECT_EQ(fw::ImplicitInstance<LifeProbe>(), second);
}

class FailingProbe : public Probe {
 public:
  void CreateControls() override { throw fw::NilObjectException("no controls today"); }
};

TEST_F(WindowTest, ConstructionThatThrowsLeavesNoWindowBehind) {
  EXPECT_THROW(fw::ImplicitInstance<FailingProbe>(), fw::NilObjectException);
  EXPECT_EQ(fw::GetImplicitWindow(Probe::kFullClassName), nullptr);
  fw::testing::ProcessEvents();
  EXPECT_TRUE(fw::ImplicitInstance<LifeProbe>()->IsOpen());
}

// A control's Open handler may furnish the window further. A adds so many
// controls that the window's list must grow while Open walks it.
class GrowingProbe : public Probe {
 public:
  static inline std::vector<std::string> opened;
  static constexpr int kAdded = 40;
  static std::string Added(int i) {
    std::string name = "A";
    return name += std::to_string(i);
  }

  void CreateControls() override {
    for (const char* name : {"A", "B"}) Furnish(name);
  }
  void Event_Open() override { opened.push_back("window"); }

 private:
  void Furnish(const std::string& name) {
    NewControl(ControlClass::StaticText, name).InstallHandler(fw::kOpenEvent, [this, name] {
      opened.push_back(name);
      if (name == "A")
        for (int i = 1; i <= kAdded; ++i) Furnish(Added(i));
    });
  }
};

TEST_F(WindowTest, ControlsAddedByAnOpenHandlerGetTheirOwnOpenOnce) {
  GrowingProbe::opened.clear();
  GrowingProbe* w = fw::ImplicitInstance<GrowingProbe>();
  std::vector<std::string> expected = {"A", "B"};
  for (int i = 1; i <= GrowingProbe::kAdded; ++i) expected.push_back(GrowingProbe::Added(i));
  expected.push_back("window");
  EXPECT_EQ(GrowingProbe::opened, expected);
  EXPECT_EQ(w->Controls().size(), std::size_t{2 + GrowingProbe::kAdded});
  EXPECT_TRUE(w->IsOpen());
}

// --- closing from inside ------------------------------------------------------

// Every way in closes the window from one of its own handlers.
class CloserProbe : public Probe {
 public:
  void Layout() override {
    auto bar = std::make_shared<fw::MenuBar>();
    auto file = std::make_shared<fw::MenuItem>();
    file->SetName("FileMenu");
    file->SetText("File");
    auto close = std::make_shared<fw::MenuItem>();
    close->SetName("FileClose");
    close->SetText("Close");
    close->SetKeyboardShortcut("Cmd+W");
    file->Append(close);
    bar->Append(file);
    SetMenuBar(bar);
    Probe::Layout();
  }
  void CreateControls() override {
    auto shut = [this] { Close(); };
    Add<fw::PushButton>(ControlClass::PushButton, "Button",
                        {.left = 10, .top = 10, .width = 80, .height = 24, .text = "Close"})
        .InstallHandler(fw::kActionEvent, shut);
    Add<fw::RadioButton>(ControlClass::RadioButton, "Radio",
                         {.left = 10, .top = 40, .width = 80, .height = 20, .text = "Close"})
        .InstallHandler(fw::kActionEvent, shut);
    Add<fw::Timer>(ControlClass::Timer, "Tick", {.mode = 0}).InstallHandler(fw::kActionEvent, shut);
  }
  void AddMenuHandlers(fw::Window&) override {
    AddMenuHandler("FileClose", [this] {
      Close();
      return true;
    });
  }
  bool Event_MouseDown(int, int) override {
    Close();
    return true;
  }
};

struct CloseCase {
  const char* name;
  std::function<void(CloserProbe&)> trigger;
  friend void PrintTo(const CloseCase& row, std::ostream* os) { *os << row.name; }
};

class ClosingFromAHandler : public WindowTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(ClosingFromAHandler, TakesTheWindowAwayWithoutHarm) {
  CloserProbe* w = fw::ImplicitInstance<CloserProbe>();
  fw::testing::ProcessEvents();
  GetParam().trigger(*w);
  EXPECT_FALSE(w->IsOpen());
  EXPECT_FALSE(w->IsVisible());
  EXPECT_EQ(fw::GetImplicitWindow(Probe::kFullClassName), nullptr);
  fw::testing::ProcessEvents();  // the window object goes here
  CloserProbe* next = fw::ImplicitInstance<CloserProbe>();
  EXPECT_TRUE(next->IsOpen());
}

INSTANTIATE_TEST_SUITE_P(
    Table, ClosingFromAHandler,
    ::testing::Values(
        CloseCase{"MouseDown", [](CloserProbe& w) { fw::testing::PressMouse(w, 200, 120); }},
        CloseCase{"ButtonClick", [](CloserProbe& w) { fw::testing::Click(w.Get<fw::Control>("Button")); }},
        CloseCase{"ButtonPressedWithMouse", [](CloserProbe& w) { fw::testing::PressMouse(w, 30, 20); }},
        CloseCase{"RadioClick", [](CloserProbe& w) { fw::testing::Click(w.Get<fw::Control>("Radio")); }},
        CloseCase{"MenuItemChosen", [](CloserProbe& w) { fw::testing::ChooseMenuItem(w, "FileClose"); }},
        CloseCase{"MenuShortcut", [](CloserProbe& w) { fw::testing::PressShortcut(w, "Cmd+W"); }},
        CloseCase{"TimerTick", [](CloserProbe& w) { w.Get<fw::Timer>("Tick").Fire(); }}),
    probe::RowName());

// --- lookups ----------------------------------------------------------------

class LookupProbe : public Probe {
 public:
  void CreateControls() override {
    Add<fw::StaticText>(ControlClass::StaticText, "Label",
                        {.left = 10, .top = 10, .width = 80, .height = 20, .text = "Label"});
    Add<fw::TextField>(ControlClass::TextField, "Field",
                       {.left = 10, .top = 40, .width = 80, .height = 22, .text = "12"});
  }
};

struct LookupCase {
  const char* name;
  std::function<void(fw::Window&)> lookup;
  bool throws;
  friend void PrintTo(const LookupCase& row, std::ostream* os) { *os << row.name; }
};

class TypedLookup : public WindowTest, public ::testing::WithParamInterface<LookupCase> {};

TEST_P(TypedLookup, RaisesNilObjectForAMissingNameOrAnotherClass) {
  fw::Window* w = fw::ImplicitInstance<LookupProbe>();
  if (GetParam().throws) EXPECT_THROW(GetParam().lookup(*w), fw::NilObjectException);
  else EXPECT_NO_THROW(GetParam().lookup(*w));
}

INSTANTIATE_TEST_SUITE_P(
    Table, TypedLookup,
    ::testing::Values(
        LookupCase{"MissingName", [](fw::Window& w) { w.Get<fw::TextField>("Nope"); }, true},
        LookupCase{"MissingNameAsAnyControl", [](fw::Window& w) { w.Get<fw::Control>("Nope"); }, true},
        LookupCase{"AnotherClass", [](fw::Window& w) { w.Get<fw::TextField>("Label"); }, true},
        LookupCase{"NameDiffersInCase", [](fw::Window& w) { w.Get<fw::TextField>("field"); }, true},
        LookupCase{"RightClass", [](fw::Window& w) { w.Get<fw::StaticText>("Label"); }, false},
        LookupCase{"AnyControl", [](fw::Window& w) { w.Get<fw::Control>("Field"); }, false},
        LookupCase{"SecondControlOfAName",
                   [](fw::Window& w) { w.NewControl(ControlClass::PushButton, "Label"); }, true}),
    probe::RowName());

TEST_F(WindowTest, FindControlGivesNullForAMissingName) {
  fw::Window* w = fw::ImplicitInstance<LookupProbe>();
  EXPECT_EQ(w->FindControl("Nope"), nullptr);
  EXPECT_EQ(w->FindControl("Field"), &w->Get<fw::TextField>("Field"));
}

// --- presses on the window ----------------------------------------------------

class PressProbe : public Probe {
 public:
  void CreateControls() override {
    Add<fw::StaticText>(ControlClass::StaticText, "Label",
                        {.left = 100, .top = 10, .width = 60, .height = 20, .text = "Label"});
    Add<fw::TextField>(ControlClass::TextField, "Field",
                       {.left = 100, .top = 40, .width = 80, .height = 22});
    Add<fw::PushButton>(ControlClass::PushButton, "Button",
                        {.left = 100, .top = 80, .width = 80, .height = 24, .text = "Push"})
        .InstallHandler(fw::kActionEvent, [this] { ++pushes; });
  }
  bool Event_MouseDown(int x, int y) override {
    downs.emplace_back(x, y);
    return true;
  }
  std::vector<std::pair<int, int>> downs;
  int pushes = 0;
};

struct PressCase {
  const char* name;
  int x, y;
  bool reachesWindow;
  int pushes;
  friend void PrintTo(const PressCase& row, std::ostream* os) { *os << row.name; }
};

class MouseDown : public WindowTest, public ::testing::WithParamInterface<PressCase> {};

TEST_P(MouseDown, ReachesTheWindowOutsideControlsThatTakeThePress) {
  const PressCase& row = GetParam();
  PressProbe* w = fw::ImplicitInstance<PressProbe>();
  fw::testing::ProcessEvents();
  fw::testing::PressMouse(*w, row.x, row.y);
  std::vector<std::pair<int, int>> expected;
  if (row.reachesWindow) expected.emplace_back(row.x, row.y);  // content coordinates
  EXPECT_EQ(w->downs, expected);
  EXPECT_EQ(w->pushes, row.pushes);
}

INSTANTIATE_TEST_SUITE_P(Table, MouseDown,
                         ::testing::Values(PressCase{"EmptyContent", 5, 7, true, 0},
                                           PressCase{"FarCorner", 239, 159, true, 0},
                                           PressCase{"OnStaticText", 110, 15, true, 0},
                                           PressCase{"OnTextField", 120, 50, false, 0},
                                           PressCase{"OnPushButton", 140, 92, false, 1}),
                         probe::RowName());

// --- input after the close ------------------------------------------------------

// Until it goes at the next turn of the loop a closed window still gets what
// the window system delivers to it: input it had queued before the close,
// say, which comes in through the platform window as all input does. The
// same input reaches a handler of the open window; of the closed one, none.
struct LateInputCase {
  const char* name;
  const char* focus;  // the control with the keyboard focus, or ""
  bool (*deliver)(fw::Window&);
  friend void PrintTo(const LateInputCase& row, std::ostream* os) { *os << row.name; }
};

class InputAfterClose : public WindowTest, public ::testing::WithParamInterface<LateInputCase> {};

// The window's press handler, the button's action and the field's text all
// count what they took.
std::size_t Heard(PressProbe& w) {
  return w.downs.size() + static_cast<std::size_t>(w.pushes) + w.Get<fw::TextField>("Field").Text().size();
}

TEST_P(InputAfterClose, ReachesNoHandler) {
  const LateInputCase& row = GetParam();
  PressProbe* w = fw::ImplicitInstance<PressProbe>();
  fw::testing::ProcessEvents();
  const auto focus = [&] {
    if (*row.focus) fw::testing::Focus(w->Get<fw::Control>(row.focus));
  };
  focus();
  ASSERT_TRUE(row.deliver(*w));
  ASSERT_EQ(Heard(*w), 1u) << "the open window takes the input";
  focus();
  w->Close();
  ASSERT_TRUE(row.deliver(*w));
  EXPECT_EQ(Heard(*w), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, InputAfterClose,
    ::testing::Values(
        LateInputCase{"PressOnTheContent", "",
                      [](fw::Window& w) { return fw::testing::PressMouseOnPlatformWindow(w, 5, 7); }},
        LateInputCase{"PressOnAButton", "",
                      [](fw::Window& w) { return fw::testing::PressMouseOnPlatformWindow(w, 140, 92); }},
        LateInputCase{"KeyIntoAField", "Field",
                      [](fw::Window& w) { return fw::testing::TypeOnPlatformWindow(w, "7"); }},
        LateInputCase{"SpaceOnAButton", "Button",
                      [](fw::Window& w) { return fw::testing::TypeOnPlatformWindow(w, " "); }}),
    probe::RowName());

}  // namespace
