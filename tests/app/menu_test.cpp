// The one menu bar: its tree as built, and how the main window shows it.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/about_window.h"
#include "app/credit_window.h"
#include "app/menu.h"
#include "app/shell.h"
#include "fw/menu.h"
#include "gui/fixture.h"

namespace {

enum class Kind { Plain, Quit, Apple };

struct ItemRow {
  const char* name;
  const char* text;
  const char* shortcut;
  const char* shown;  // the shortcut as the Linux menu shows it
  Kind kind;
};

struct MenuRow {
  const char* name;
  const char* title;
  std::vector<ItemRow> items;
};

const std::vector<MenuRow>& Expected() {
  static const std::vector<MenuRow> menus = {
      {"UntitledMenu2", "File", {{"FileQuit", "Quit", "Cmd+Q", "Ctrl+Q", Kind::Quit}}},
      {"UntitledMenu0",
       "Edit",
       {
           {"EditUndo", "Undo", "Cmd+Z", "Ctrl+Z", Kind::Plain},
           {"UntitledMenu1", "-", "", "", Kind::Plain},
           {"EditCut", "Cut", "Cmd+X", "Ctrl+X", Kind::Plain},
           {"EditCopy", "Copy", "Cmd+C", "Ctrl+C", Kind::Plain},
           {"EditPaste", "Paste", "Cmd+V", "Ctrl+V", Kind::Plain},
           {"EditClear", "Clear", "", "", Kind::Plain},
           {"AppleAbout", "About Brisvan", "", "", Kind::Apple},
       }},
  };
  return menus;
}

Kind KindOf(const fw::MenuItem& item) {
  if (dynamic_cast<const fw::QuitMenuItem*>(&item)) return Kind::Quit;
  if (dynamic_cast<const fw::AppleMenuItem*>(&item)) return Kind::Apple;
  return Kind::Plain;
}

class MenuBarTest : public FreshApp {};

TEST_F(MenuBarTest, OneSharedInstanceUntilReset) {
  const std::shared_ptr<Menu> first = implicit::Menu();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(implicit::Menu().get(), first.get());
  EXPECT_EQ(Menu::implicitInstance.get(), first.get());
  Menu::implicitInstance.reset();
  const std::shared_ptr<Menu> second = implicit::Menu();
  EXPECT_NE(second.get(), first.get());
  // A fresh bar is built whole, not added to.
  EXPECT_EQ(second->Count(), 2);
}

TEST_F(MenuBarTest, TreeHasTheMenusAndItemsInOrder) {
  const std::shared_ptr<Menu> bar = implicit::Menu();
  const auto& menus = Expected();
  ASSERT_EQ(bar->Count(), static_cast<int>(menus.size()));
  for (int m = 0; m < bar->Count(); ++m) {
    const MenuRow& want = menus[static_cast<std::size_t>(m)];
    SCOPED_TRACE(want.name);
    const fw::MenuItem& menu = *bar->Item(m);
    EXPECT_EQ(menu.Name(), want.name);
    EXPECT_EQ(menu.Text(), want.title);
    EXPECT_EQ(menu.KeyboardShortcut(), "");
    EXPECT_TRUE(menu.AutoEnable());
    EXPECT_EQ(KindOf(menu), Kind::Plain);
    EXPECT_EQ(menu.ParentItem(), bar.get());
    ASSERT_EQ(menu.Count(), static_cast<int>(want.items.size()));
    for (int i = 0; i < menu.Count(); ++i) {
      const ItemRow& row = want.items[static_cast<std::size_t>(i)];
      SCOPED_TRACE(row.name);
      const fw::MenuItem& item = *menu.Item(i);
      EXPECT_EQ(item.Name(), row.name);
      EXPECT_EQ(item.Text(), row.text);
      EXPECT_EQ(item.KeyboardShortcut(), row.shortcut);
      EXPECT_TRUE(item.AutoEnable());
      EXPECT_EQ(KindOf(item), row.kind);
      EXPECT_EQ(item.Count(), 0);
      EXPECT_EQ(bar->Lookup(row.name), &item);
    }
  }
}

// What a person sees in the main window: shortcuts bound to Ctrl, the
// separator drawn as one.
TEST_F(MenuBarTest, MainWindowShowsTheBar) {
  Window1* w = implicit::Window1();
  EXPECT_EQ(w->GetMenuBar().get(), implicit::Menu().get());
  const std::vector<fw::testing::ShownMenu> shown = fw::testing::ShownMenus(*w);
  const auto& menus = Expected();
  ASSERT_EQ(shown.size(), menus.size());
  for (std::size_t m = 0; m < menus.size(); ++m) {
    SCOPED_TRACE(menus[m].name);
    EXPECT_EQ(shown[m].title, menus[m].title);
    ASSERT_EQ(shown[m].items.size(), menus[m].items.size());
    for (std::size_t i = 0; i < shown[m].items.size(); ++i) {
      const ItemRow& row = menus[m].items[i];
      SCOPED_TRACE(row.name);
      const bool separator = std::string(row.text) == "-";
      EXPECT_EQ(shown[m].items[i].separator, separator);
      if (separator) continue;
      EXPECT_EQ(shown[m].items[i].text, row.text);
      EXPECT_EQ(shown[m].items[i].shortcut, row.shown);
    }
  }
}

// The bar is the application's: Quit's shortcut ends the loop from whichever
// window of the program is in front, also one without a bar of its own.
struct QuitRow {
  const char* name;
  // Opens what the case needs and gives the window that is in front.
  std::function<fw::Window*(Window1&)> front;
  friend void PrintTo(const QuitRow& row, std::ostream* os) { *os << row.name; }
};

class QuitShortcut : public FreshApp, public ::testing::WithParamInterface<QuitRow> {};

TEST_P(QuitShortcut, EndsTheLoopFromTheWindowInFront) {
  shell::NewAppInstance();
  Window1* main = implicit::Window1();
  fw::Window* front = GetParam().front(*main);
  fw::testing::ProcessEvents();
  ASSERT_NE(front, nullptr);
  bool taken = false, loopWentOn = false;
  fw::testing::CallSoon([&] {
    taken = fw::testing::PressShortcut(*front, "Cmd+Q");
    // Runs only if the loop is still turning after the shortcut.
    fw::testing::CallSoon([&] {
      loopWentOn = true;
      fw::Quit();
    });
  });
  fw::RuntimeRun();
  EXPECT_TRUE(taken);
  EXPECT_FALSE(loopWentOn) << "Ctrl+Q left the loop running";
}

INSTANTIATE_TEST_SUITE_P(
    Windows, QuitShortcut,
    ::testing::Values(
        QuitRow{"MainWindow", [](Window1& main) -> fw::Window* { return &main; }},
        QuitRow{"AboutWindow",
                [](Window1& main) -> fw::Window* {
                  main.AppleAbout_Action();
                  return implicit::AboutWindow();
                }},
        QuitRow{"CreditWindow",
                [](Window1& main) -> fw::Window* {
                  main.AppleAbout_Action();
                  implicit::AboutWindow()->PushButton1_Action();
                  return implicit::CreditWindow();
                }},
        QuitRow{"AboutWindowThatHadABarOfItsOwn",
                [](Window1& main) -> fw::Window* {
                  main.AppleAbout_Action();
                  AboutWindow* about = implicit::AboutWindow();
                  about->SetMenuBar(implicit::Menu());
                  about->SetMenuBar(nullptr);
                  return about;
                }},
        QuitRow{"AboutWindowAfterTheMainWindowClosed",
                [](Window1& main) -> fw::Window* {
                  main.AppleAbout_Action();
                  main.Close();
                  return implicit::AboutWindow();
                }}),
    [](const ::testing::TestParamInfo<QuitRow>& info) { return std::string(info.param.name); });

// The Edit shortcuts stay with the focused field: in a window with no text
// field they do nothing, and they never quit.
TEST_F(MenuBarTest, EditShortcutsInTheAboutWindowDoNothing) {
  shell::NewAppInstance();
  implicit::Window1()->AppleAbout_Action();
  AboutWindow* about = implicit::AboutWindow();
  bool loopWentOn = false;
  fw::testing::CallSoon([&] {
    for (const char* keys : {"Cmd+Z", "Cmd+X", "Cmd+C", "Cmd+V"}) fw::testing::PressShortcut(*about, keys);
    fw::testing::CallSoon([&] {
      loopWentOn = true;
      fw::Quit();
    });
  });
  fw::RuntimeRun();
  EXPECT_TRUE(loopWentOn);
  EXPECT_TRUE(about->IsOpen());
}

}  // namespace
