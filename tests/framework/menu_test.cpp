// Menus: the item tree and its lookups, what the bar shows, the enabling
// steps before a menu opens, choosing, shortcuts, quitting, and a bar that
// is replaced, also from inside its own calls.
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "fw/application.h"
#include "internal.h"
#include "probe.h"

namespace {

using fw::MenuItem;
using probe::Probe;

std::shared_ptr<MenuItem> Item(const char* name, const char* text, const char* shortcut = "") {
  auto item = std::make_shared<MenuItem>();
  item->SetName(name);
  item->SetText(text);
  item->SetKeyboardShortcut(shortcut);
  return item;
}

// File: Open (handled), a separator, Revert (disabled by the window, not
// handled), Quit. Edit: Keep (disabled by the window but handled), Plain
// (left alone), and a submenu More with Deep (handled).
std::shared_ptr<fw::MenuBar> ProbeMenu() {
  auto bar = std::make_shared<fw::MenuBar>();
  auto file = Item("FileMenu", "File");
  file->Append(Item("FileOpen", "Open", "Cmd+O"));
  file->Append(Item("FileSep", "-"));
  file->Append(Item("FileRevert", "Revert", "Cmd+R"));
  auto quit = std::make_shared<fw::QuitMenuItem>();
  quit->SetName("FileQuit");
  quit->SetText("Quit");
  quit->SetKeyboardShortcut("Cmd+Q");
  file->Append(quit);
  auto edit = Item("EditMenu", "Edit");
  edit->Append(Item("EditKeep", "Keep"));
  edit->Append(Item("EditPlain", "Plain"));
  auto more = Item("EditMore", "More");
  more->Append(Item("EditDeep", "Deep"));
  edit->Append(more);
  bar->Append(file);
  bar->Append(edit);
  return bar;
}

class MenuProbe : public Probe {
 public:
  void Layout() override {
    SetMenuBar(ProbeMenu());
    Probe::Layout();
  }
  void AddMenuHandlers(fw::Window&) override {
    for (const char* name : {"FileOpen", "EditKeep", "EditDeep"})
      AddMenuHandler(name, [this, name] {
        chosen.push_back(name);
        return true;
      });
  }
  void Event_EnableMenuItems() override {
    ++enablings;
    for (const char* name : {"FileRevert", "EditKeep"})
      if (MenuItem* item = GetMenuBar() ? GetMenuBar()->Lookup(name) : nullptr) item->SetEnabled(false);
  }
  std::vector<std::string> chosen;
  int enablings = 0;
};

class MenuTest : public probe::FrameworkTest {
 protected:
  void SetUp() override {
    w = fw::ImplicitInstance<MenuProbe>();
    fw::testing::ProcessEvents();
  }
  MenuProbe* w = nullptr;
};

// --- the tree ----------------------------------------------------------------

struct TreeCase {
  const char* name;
  const char* from;  // "" for the bar
  bool anyDepth;
  const char* sought;
  const char* found;  // nullptr: nil
  friend void PrintTo(const TreeCase& row, std::ostream* os) { *os << row.name; }
};

class MenuTree : public ::testing::TestWithParam<TreeCase> {};

TEST_P(MenuTree, ChildLooksOneLevelDownLookupAnyDepth) {
  const TreeCase& row = GetParam();
  const auto bar = ProbeMenu();
  const MenuItem* from = *row.from ? bar->Lookup(row.from) : bar.get();
  ASSERT_NE(from, nullptr);
  const MenuItem* got = row.anyDepth ? from->Lookup(row.sought) : from->Child(row.sought);
  if (row.found == nullptr) {
    EXPECT_EQ(got, nullptr);
  } else {
    ASSERT_NE(got, nullptr);
    EXPECT_EQ(got->Name(), row.found);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, MenuTree,
    ::testing::Values(TreeCase{"ChildOfTheBar", "", false, "EditMenu", "EditMenu"},
                      TreeCase{"ChildIsNotAGrandchild", "", false, "FileOpen", nullptr},
                      TreeCase{"ChildOfAMenu", "FileMenu", false, "FileQuit", "FileQuit"},
                      TreeCase{"ChildMissing", "FileMenu", false, "Nope", nullptr},
                      TreeCase{"LookupTwoLevelsDown", "", true, "FileRevert", "FileRevert"},
                      TreeCase{"LookupThreeLevelsDown", "", true, "EditDeep", "EditDeep"},
                      TreeCase{"LookupOnlyBelow", "FileMenu", true, "EditDeep", nullptr},
                      TreeCase{"LookupMissing", "", true, "Nope", nullptr},
                      TreeCase{"LookupDoesNotFindItself", "EditMore", true, "EditMore", nullptr}),
    probe::RowName());

// --- what the bar shows -----------------------------------------------------

TEST_F(MenuTest, BarShowsTitlesItemsSeparatorsAndCtrlShortcuts) {
  const auto menus = fw::testing::ShownMenus(*w);
  ASSERT_EQ(menus.size(), 2u);
  EXPECT_EQ(menus[0].title, "File");
  EXPECT_EQ(menus[1].title, "Edit");
  ASSERT_EQ(menus[0].items.size(), 4u);
  const auto& file = menus[0].items;
  EXPECT_EQ(file[0].text, "Open");
  EXPECT_EQ(file[0].shortcut, "Ctrl+O");
  EXPECT_FALSE(file[0].separator);
  EXPECT_TRUE(file[1].separator);
  EXPECT_EQ(file[2].shortcut, "Ctrl+R");
  EXPECT_EQ(file[3].text, "Quit");
  EXPECT_EQ(file[3].shortcut, "Ctrl+Q");
  EXPECT_FALSE(file[3].separator);
  ASSERT_EQ(menus[1].items.size(), 3u);
  EXPECT_EQ(menus[1].items[2].text, "More");
  EXPECT_TRUE(fw::testing::Look(*w).menuBar);
}

struct ShortcutCase {
  const char* name;
  const char* written;
  const char* portable;
  friend void PrintTo(const ShortcutCase& row, std::ostream* os) { *os << row.name; }
};

class PortableShortcut : public ::testing::TestWithParam<ShortcutCase> {};

TEST_P(PortableShortcut, BindsCmdToCtrl) {
  EXPECT_EQ(fw::PortableShortcut(GetParam().written), GetParam().portable);
}

INSTANTIATE_TEST_SUITE_P(Table, PortableShortcut,
                         ::testing::Values(ShortcutCase{"CmdQ", "Cmd+Q", "Ctrl+Q"},
                                           ShortcutCase{"CmdShiftZ", "Cmd+Shift+Z", "Ctrl+Shift+Z"},
                                           ShortcutCase{"AlreadyCtrl", "Ctrl+X", "Ctrl+X"},
                                           ShortcutCase{"Empty", "", ""}),
                         probe::RowName());

// --- enabling and choosing -------------------------------------------------

struct EnableCase {
  const char* name;
  const char* item;
  bool enabled;
  std::vector<std::string> chosen;  // after ChooseMenuItem
  friend void PrintTo(const EnableCase& row, std::ostream* os) { *os << row.name; }
};

class MenuEnabling : public MenuTest, public ::testing::WithParamInterface<EnableCase> {};

TEST_P(MenuEnabling, WindowEventFirstThenHandlersEnableTheirItems) {
  const EnableCase& row = GetParam();
  EXPECT_EQ(fw::testing::MenuItemEnabled(*w, row.item), row.enabled);
  EXPECT_EQ(w->enablings, 1);
  EXPECT_EQ(fw::testing::ChooseMenuItem(*w, row.item), row.enabled);
  EXPECT_EQ(w->enablings, 2) << "choosing runs the opening steps again";
  EXPECT_EQ(w->chosen, row.chosen);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MenuEnabling,
    ::testing::Values(EnableCase{"HandledItem", "FileOpen", true, {"FileOpen"}},
                      EnableCase{"DisabledByTheWindow", "FileRevert", false, {}},
                      EnableCase{"DisabledByTheWindowButHandled", "EditKeep", true, {"EditKeep"}},
                      EnableCase{"LeftAlone", "EditPlain", true, {}},
                      EnableCase{"HandledInASubmenu", "EditDeep", true, {"EditDeep"}},
                      EnableCase{"NoSuchItem", "EditNope", false, {}}),
    probe::RowName());

// --- what a handler's answer means ----------------------------------------

// An item whose own work can be counted.
class CountingItem : public MenuItem {
 public:
  void Action() override { ++acted; }
  int acted = 0;
};

// A handler that says it handled the command ends it there; one that says
// it didn't leaves it to what the item does by itself: its own Action, or
// an Edit command on the focused field.
struct AnswerCase {
  const char* name;
  const char* item;
  bool handled;
  int acted;         // how often the item's own Action ran
  const char* text;  // the field's text afterwards; "12" was typed
  friend void PrintTo(const AnswerCase& row, std::ostream* os) { *os << row.name; }
};

class HandlerAnswer : public probe::FrameworkTest, public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(HandlerAnswer, HandledEndsTheCommandUnhandledGoesOn) {
  const AnswerCase& row = GetParam();
  auto counted = std::make_shared<CountingItem>();
  counted->SetName("FileCount");
  counted->SetText("Count");
  auto file = Item("FileMenu", "File");
  file->Append(counted);
  auto edit = Item("EditMenu", "Edit");
  edit->Append(Item("EditUndo", "Undo"));
  auto bar = std::make_shared<fw::MenuBar>();
  bar->Append(file);
  bar->Append(edit);

  Probe* w = fw::ImplicitInstance<Probe>();
  w->SetMenuBar(bar);
  auto& field = w->Add<fw::TextField>(fw::ControlClass::TextField, "Field",
                                      {.left = 10, .top = 10, .width = 100, .height = 22});
  int asked = 0;
  w->AddMenuHandler(row.item, [&asked, &row] {
    ++asked;
    return row.handled;
  });
  fw::testing::ProcessEvents();
  fw::testing::Type(field, "12");
  ASSERT_EQ(field.Text(), "12");

  EXPECT_TRUE(fw::testing::ChooseMenuItem(*w, row.item));
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(counted->acted, row.acted);
  EXPECT_EQ(field.Text(), row.text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, HandlerAnswer,
    ::testing::Values(AnswerCase{"HandledItem", "FileCount", true, 0, "12"},
                      AnswerCase{"UnhandledItem", "FileCount", false, 1, "12"},
                      AnswerCase{"HandledEditCommand", "EditUndo", true, 0, "12"},
                      AnswerCase{"UnhandledEditCommand", "EditUndo", false, 0, ""}),
    probe::RowName());

// A view owns the toolkit's bar it shows; a copy would free it twice.
static_assert(!std::is_copy_constructible_v<fw::detail::MenuView>);
static_assert(!std::is_copy_assignable_v<fw::detail::MenuView>);

TEST_F(MenuTest, ShortcutRunsTheHandler) {
  EXPECT_TRUE(fw::testing::PressShortcut(*w, "Cmd+O"));
  EXPECT_EQ(w->chosen, std::vector<std::string>{"FileOpen"});
}

// --- quitting ---------------------------------------------------------------

struct QuitCase {
  const char* name;
  void (*quit)(fw::Window&);
  friend void PrintTo(const QuitCase& row, std::ostream* os) { *os << row.name; }
};

class QuitItem : public MenuTest, public ::testing::WithParamInterface<QuitCase> {};

TEST_P(QuitItem, EndsTheEventLoop) {
  auto quit = GetParam().quit;
  fw::Window* window = w;
  fw::testing::CallSoon([quit, window] { quit(*window); });
  EXPECT_TRUE(probe::RunUntilQuit(*w));
  // The application goes on: windows work and the loop runs again.
  EXPECT_TRUE(w->IsOpen());
  EXPECT_TRUE(fw::testing::ChooseMenuItem(*w, "FileOpen"));
  fw::testing::CallSoon([] { fw::Quit(); });
  EXPECT_TRUE(probe::RunUntilQuit(*w));
}

INSTANTIATE_TEST_SUITE_P(
    Table, QuitItem,
    ::testing::Values(
        QuitCase{"ChosenFromTheMenu",
                 [](fw::Window& w) { EXPECT_TRUE(fw::testing::ChooseMenuItem(w, "FileQuit")); }},
        QuitCase{"CtrlQ", [](fw::Window& w) { EXPECT_TRUE(fw::testing::PressShortcut(w, "Ctrl+Q")); }}),
    probe::RowName());

// --- replacing the bar ------------------------------------------------------

TEST_F(MenuTest, ReplacedBarLeavesNothingOfTheOldOneBehind) {
  const std::string before = (Scratch() / "before.png").string();
  ASSERT_TRUE(fw::testing::SaveImage(*w, before));
  auto other = std::make_shared<fw::MenuBar>();
  auto view = Item("ViewMenu", "View");
  view->Append(Item("ViewOpen", "Open too", "Cmd+O"));
  other->Append(view);
  w->AddMenuHandler("ViewOpen", [this] {
    w->chosen.push_back("ViewOpen");
    return true;
  });
  w->SetMenuBar(other);
  fw::testing::ProcessEvents();

  const auto menus = fw::testing::ShownMenus(*w);
  ASSERT_EQ(menus.size(), 1u);
  EXPECT_EQ(menus[0].title, "View");
  EXPECT_FALSE(fw::testing::MenuItemEnabled(*w, "FileOpen"));
  // One item holds Ctrl+O now; the old bar's Open must not compete for it.
  EXPECT_TRUE(fw::testing::PressShortcut(*w, "Cmd+O"));
  EXPECT_EQ(w->chosen, std::vector<std::string>{"ViewOpen"});

  // The new bar is on show where the old one was.
  const std::string after = (Scratch() / "after.png").string();
  ASSERT_TRUE(fw::testing::SaveImage(*w, after));
  const fw::PicturePtr was = fw::FolderItem(before).OpenAsPicture();
  const fw::PicturePtr is = fw::FolderItem(after).OpenAsPicture();
  ASSERT_TRUE(was && is);
  EXPECT_GT(is->Height(), 160);
  EXPECT_EQ(is->Height(), was->Height());
  EXPECT_EQ(is->Pixel(2, 2), was->Pixel(2, 2));
  EXPECT_NE(is->Pixel(2, 2), probe::kBack);
}

struct SwapCase {
  const char* name;
  bool (*choose)(fw::Window&);
  friend void PrintTo(const SwapCase& row, std::ostream* os) { *os << row.name; }
};

class BarSwappedByItsOwnItem : public MenuTest, public ::testing::WithParamInterface<SwapCase> {};

TEST_P(BarSwappedByItsOwnItem, GoesQuietly) {
  int swaps = 0;
  w->AddMenuHandler("FileOpen", [this, &swaps] {
    ++swaps;
    w->SetMenuBar(ProbeMenu());
    return true;
  });
  EXPECT_TRUE(GetParam().choose(*w));
  fw::testing::ProcessEvents();
  EXPECT_TRUE(GetParam().choose(*w));
  fw::testing::ProcessEvents();
  EXPECT_EQ(swaps, 2);
  EXPECT_EQ(fw::testing::ShownMenus(*w).size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BarSwappedByItsOwnItem,
    ::testing::Values(
        SwapCase{"Chosen", [](fw::Window& w) { return fw::testing::ChooseMenuItem(w, "FileOpen"); }},
        SwapCase{"Shortcut", [](fw::Window& w) { return fw::testing::PressShortcut(w, "Cmd+O"); }}),
    probe::RowName());

// An item whose bar its own handler replaced, and which nothing else holds,
// still does its own work when the handler leaves the command unhandled.
class SharedCountItem : public MenuItem {
 public:
  explicit SharedCountItem(std::shared_ptr<int> acted) : acted_(std::move(acted)) {}
  void Action() override { ++*acted_; }

 private:
  std::shared_ptr<int> acted_;
};

TEST_F(MenuTest, UnhandledCommandOfAReplacedBarStillReachesItsItem) {
  const auto acted = std::make_shared<int>(0);
  {
    auto bar = std::make_shared<fw::MenuBar>();
    auto file = Item("SwapMenu", "Swap");
    auto item = std::make_shared<SharedCountItem>(acted);
    item->SetName("SwapNow");
    item->SetText("Now");
    file->Append(item);
    bar->Append(file);
    w->SetMenuBar(bar);
  }
  w->AddMenuHandler("SwapNow", [this] {
    w->SetMenuBar(ProbeMenu());
    return false;
  });
  fw::testing::ProcessEvents();
  EXPECT_TRUE(fw::testing::ChooseMenuItem(*w, "SwapNow"));
  fw::testing::ProcessEvents();
  EXPECT_EQ(*acted, 1);
  EXPECT_EQ(fw::testing::ShownMenus(*w).size(), 2u);
}

TEST_F(MenuTest, RemovedBarIsOffTheWindow) {
  w->SetMenuBar(nullptr);
  fw::testing::ProcessEvents();
  EXPECT_FALSE(fw::testing::Look(*w).menuBar);
  EXPECT_TRUE(fw::testing::ShownMenus(*w).empty());
  EXPECT_FALSE(fw::testing::PressShortcut(*w, "Cmd+O"));
  EXPECT_TRUE(w->chosen.empty());
  // The window's top row shows the content, not a leftover bar.
  const std::string shot = (Scratch() / "no-bar.png").string();
  ASSERT_TRUE(fw::testing::SaveImage(*w, shot));
  const fw::PicturePtr picture = fw::FolderItem(shot).OpenAsPicture();
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->Height(), 160);
  EXPECT_EQ(picture->Pixel(5, 5), probe::kBack);
}

// --- a bar replaced while it is being enabled --------------------------------

// The window's enabling event gives it another bar every time, while the
// view it replaces is still running that event: answering a shortcut, or
// opening a menu the toolkit is popping up from that view's bar.
class SwappingProbe : public MenuProbe {
 public:
  void Event_EnableMenuItems() override {
    MenuProbe::Event_EnableMenuItems();
    SetMenuBar(ProbeMenu());
  }
};

struct EnableSwapCase {
  const char* name;
  // Without a bar of its own the window answers the application bar's
  // shortcuts, through a view of that bar.
  bool ownBar;
  bool (*input)(fw::Window&);
  // Chosen by each round's input; then Cmd+O, pressed while the replaced
  // view waits to go, is answered by the new bar alone and chooses once.
  std::vector<std::string> chosen;
  friend void PrintTo(const EnableSwapCase& row, std::ostream* os) { *os << row.name; }
};

class BarReplacedWhileEnabling : public probe::FrameworkTest,
                                 public ::testing::WithParamInterface<EnableSwapCase> {
 protected:
  // The application object, once made, stays for the program's run; its bar
  // is put back as it was.
  void SetUp() override {
    probe::FrameworkTest::SetUp();
    if (fw::TheApplication() == nullptr) fw::RegisterAppObject(std::make_unique<fw::Application>());
    appBar_ = fw::TheApplication()->GetMenuBar();
    fw::TheApplication()->SetMenuBar(ProbeMenu());
  }
  void TearDown() override {
    probe::FrameworkTest::TearDown();
    fw::TheApplication()->SetMenuBar(appBar_);
  }

 private:
  std::shared_ptr<fw::MenuBar> appBar_;
};

TEST_P(BarReplacedWhileEnabling, OldViewLastsOutTheCallAndTheNewOneWorks) {
  const EnableSwapCase& row = GetParam();
  SwappingProbe* w = fw::ImplicitInstance<SwappingProbe>();
  if (!row.ownBar) w->SetMenuBar(nullptr);
  fw::testing::ProcessEvents();
  std::vector<std::string> chosen;
  for (int round = 1; round <= 2; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    EXPECT_TRUE(row.input(*w));
    EXPECT_EQ(w->enablings, 2 * round - 1);
    chosen.insert(chosen.end(), row.chosen.begin(), row.chosen.end());
    EXPECT_EQ(w->chosen, chosen);
    EXPECT_TRUE(fw::testing::PressShortcut(*w, "Cmd+O"));
    EXPECT_EQ(w->enablings, 2 * round);
    chosen.push_back("FileOpen");
    EXPECT_EQ(w->chosen, chosen);
    fw::testing::ProcessEvents();  // the replaced views go here
    EXPECT_EQ(fw::testing::ToolkitMenuBars(*w), 1);
    EXPECT_EQ(fw::testing::ShownMenus(*w).size(), 2u);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, BarReplacedWhileEnabling,
    ::testing::Values(
        EnableSwapCase{"Shortcut", true,
                       [](fw::Window& w) { return fw::testing::PressShortcut(w, "Cmd+O"); },
                       {"FileOpen"}},
        EnableSwapCase{"MenuOpenedByAClick", true,
                       [](fw::Window& w) { return fw::testing::ClickMenuTitle(w, "FileMenu"); },
                       {}},
        EnableSwapCase{"ApplicationShortcut", false,
                       [](fw::Window& w) { return fw::testing::PressShortcut(w, "Cmd+O"); },
                       {"FileOpen"}}),
    probe::RowName());

}  // namespace
