// Operations that drive the framework the way a person at the desktop does,
// for the headless tests.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "fw/files.h"
#include "fw/window.h"

namespace fw::testing {

void ProcessEvents();
// How often the canvas has raised Paint, and how often the sound was played.
int PaintCount(Canvas& canvas);
int PlayCount(const Sound& sound);
// What the sound hands to the audio output, read from its file when it
// was opened: whole frames of samples, each `bytesPerSample` wide.
struct SoundSamples {
  int rate = 0;
  int channels = 0;
  int bytesPerSample = 0;
  std::string bytes;
};
SoundSamples Samples(const Sound& sound);
// Tests open and close windows by the hundred: the last one closing must
// not end the application.
void KeepRunningWithoutWindows();
// Runs `fn` from the event loop at its next turn.
void CallSoon(std::function<void()> fn);
// Runs the event loop, waiting for events, until `done` holds; it is asked
// after every turn. A watchdog gives up after a long while, and false says
// so: a condition that never comes fails the test instead of hanging it.
bool RunEventsUntil(const std::function<bool()>& done);
// Runs the event loop until a clock started now has ticked `ticks` times,
// every `period` milliseconds. Timers fire in the order they fall due, so
// by then every timer that was running with that period or a shorter one
// has come due, however the machine is loaded.
bool RunClockTicks(int period, int ticks);
// Pretends the executable lives at `path` (empty: the real one).
void SetExecutablePath(std::string path);
// The user's click on a button, radio button or check box.
void Click(Control& control);
// A mouse press at content coordinates, delivered to whatever is there.
void PressMouse(Window& window, int x, int y);
// Input as the window system delivers it: to the window's own platform
// window, whatever the framework has made of the window since. A press and
// release at content coordinates, or keys typed to whatever has the
// window's focus. False when the window was never shown and has none.
bool PressMouseOnPlatformWindow(Window& window, int x, int y);
// Keys typed as ASCII text.
bool TypeOnPlatformWindow(Window& window, std::string_view text);
// A click on the title of one of the shown bar's menus (by its item name),
// through the platform window: the menu opens as the toolkit opens it.
// False when the bar has no such menu.
bool ClickMenuTitle(Window& window, std::string_view menuName);
// The toolkit menu bars the window holds, shown or only answering
// shortcuts, a replaced one that has not gone yet among them.
int ToolkitMenuBars(Window& window);
// The windows the framework holds: those open, and those closed that go at
// the next turn of the loop.
int WindowsHeld();
// Types into a text field as the keyboard would, after focusing it.
void Type(TextField& field, std::string_view text);
// A key press ("Return", "Escape", "Tab", "Space") to the focused control.
void PressKey(Window& window, std::string_view key);
// A key combination ("Cmd+Q", "Ctrl+K") offered to the window's shortcuts
// the way the window system does; true when a shortcut took it.
bool PressShortcut(Window& window, std::string_view keys);
void Focus(Control& control);
std::string FocusedControlName(Window& window);
// The controls in keyboard-focus order.
std::vector<std::string> TabOrder(Window& window);
// Runs the menu-opening steps (enabling), then chooses the item.
bool ChooseMenuItem(Window& window, std::string_view itemName);
// Runs the menu-opening steps and tells whether the item is enabled.
bool MenuItemEnabled(Window& window, std::string_view itemName);
// The texts of the shown menu bar: menus and their items, and shortcuts.
struct ShownMenuItem {
  std::string text, shortcut;
  bool separator = false;
};
struct ShownMenu {
  std::string title;
  std::vector<ShownMenuItem> items;
};
std::vector<ShownMenu> ShownMenus(Window& window);
bool SaveImage(Window& window, const std::string& path);
// Pictures of one colour, for the tests that load or draw them.
bool WritePng(const std::string& path, int width, int height, Color color);
bool WriteJpeg(const std::string& path, int width, int height, Color color);

struct WindowLook {
  int contentWidth = 0, contentHeight = 0;
  std::string title;
  bool fixedSize = false, closeButton = false, minimizeButton = false,
       maximizeButton = false, dialog = false, menuBar = false;
  bool operator==(const WindowLook&) const = default;
};
// Every field by name, so that a failed comparison says which one differs.
inline void PrintTo(const WindowLook& look, std::ostream* os) {
  const auto flag = [](bool b) { return b ? "true" : "false"; };
  *os << "{contentWidth: " << look.contentWidth << ", contentHeight: " << look.contentHeight
      << ", title: \"" << look.title << "\", fixedSize: " << flag(look.fixedSize)
      << ", closeButton: " << flag(look.closeButton) << ", minimizeButton: "
      << flag(look.minimizeButton) << ", maximizeButton: " << flag(look.maximizeButton)
      << ", dialog: " << flag(look.dialog) << ", menuBar: " << flag(look.menuBar) << "}";
}
WindowLook Look(Window& window);

struct ControlLook {
  int left = 0, top = 0, width = 0, height = 0;  // content coordinates
  std::string family;                            // the resolved font family
  int pixelSize = 0;
  bool bold = false, underline = false, visible = false, enabled = false,
       frame = false, wraps = false, takesFocus = false;
  bool checked = false;  // a radio button's or check box's shown state
  Color textColor{0, 0, 0};
  std::string text;  // what is shown
};
ControlLook Look(Control& control);
// The content pixel at (x, y) as the window shows it.
Color ShownPixel(Window& window, int x, int y);

}  // namespace fw::testing
