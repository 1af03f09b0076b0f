#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "fw/controls.h"
#include "fw/exceptions.h"
#include "fw/graphics.h"

namespace fw {

class MenuBar;

// What a window is made from. Placement, Composite, LiveResize and
// MacProcID are kept and change nothing here.
struct WindowDescription {
  int placement = 0;
  int width = 300, height = 200;
  int minWidth = 64, minHeight = 64;
  int maxWidth = 32000, maxHeight = 32000;
  int frame = 0;  // 0 an ordinary window, 1 a dialog-style one
  bool composite = false;
  bool hasBackColor = false;
  Color backColor{255, 255, 255};
  std::string_view title = {};
  bool visible = true;
  bool fullScreen = false;
  bool menuBarVisible = true;
  bool closeButton = true;
  bool resizeable = false;
  bool liveResize = false;
  bool maximizeButton = false;
  bool minimizeButton = true;
  int macProcID = 0;
};

namespace detail {
struct WindowImpl;
struct Internals;
}

class Window {
 public:
  explicit Window(std::string fullClassName);
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // The default construction: raises Layout, CreateControls,
  // AddMenuHandlers and Open, in this order, then shows the window when its
  // description says Visible. Open goes first to each control, in the order
  // they were made, then to the window; a control that a control's Open
  // handler adds gets its own Open once, after those made before it.
  void Constructor();

  // Events, for subclasses to handle.
  virtual void Layout() {}
  virtual void CreateControls() {}
  virtual void AddMenuHandlers(Window&) {}
  virtual void Event_Open() {}
  virtual void Event_EnableMenuItems() {}
  // A press on the content outside any control that takes it.
  virtual bool Event_MouseDown(int /*x*/, int /*y*/) { return false; }

  const std::string& FullClassName() const;
  void SetProperties(const WindowDescription& d);
  int Width() const;
  int Height() const;
  Color BackColor() const;  // white unless HasBackColor

  void Show();
  // Takes the window off the screen and out of the framework's lists at
  // once, and from then on it takes no mouse or key input; the object
  // itself goes at the next turn of the event loop, so a handler may close
  // its own window.
  void Close();
  bool IsOpen() const;
  bool IsVisible() const;
  // Shows what was drawn through GetGraphics at once.
  void UpdateNow();

  fw::Graphics& GetGraphics();
  const PicturePtr& Backdrop() const;
  void SetBackdrop(PicturePtr picture);
  const std::shared_ptr<MenuBar>& GetMenuBar() const;
  // The bar it replaces leaves the window at once: it no longer shows nor
  // answers a shortcut. What the window built to show it, and the replaced
  // tree with it, lasts until the next turn of the event loop, so a handler
  // that runs in it, its enabling event among them, may give the window
  // another.
  void SetMenuBar(std::shared_ptr<MenuBar> bar);

  // Allocates a control of the class, constructs it and registers it under
  // its name, which must be unique in the window.
  Control& NewControl(ControlClass cls, std::string name);
  // The same, then the text size (0: the standard one), the points unit for
  // a class that carries text, and the description: a control as a layout
  // table lists it.
  Control& NewControl(ControlClass cls, std::string name, float textSize,
                      const ControlDescription& d);
  // The control registered under the name, or nullptr.
  Control* FindControl(std::string_view name) const;
  // The control of that name as the class the caller expects; a missing
  // name or another class raises NilObjectException.
  template <class T>
  T& Get(std::string_view name) const {
    T* typed = dynamic_cast<T*>(FindControl(name));
    if (typed == nullptr) ThrowNoSuchControl(name);
    return *typed;
  }
  const std::vector<std::unique_ptr<Control>>& Controls() const;

  // Menu handlers by item name; the result tells whether it was handled.
  void AddMenuHandler(std::string itemName, std::function<bool()> handler);
  bool HasMenuHandler(std::string_view itemName) const;

 private:
  friend struct detail::Internals;
  [[noreturn]] void ThrowNoSuchControl(std::string_view name) const;
  std::unique_ptr<detail::WindowImpl> impl_;
};

// The open window registered under a full class name ("Window1.Window1"),
// or nullptr. A closed window is gone from it at once.
Window* GetImplicitWindow(std::string_view fullClassName);

namespace detail {
// Hands the window to the framework's lists and registers it under its
// class name; returns it.
Window& AdoptWindow(std::unique_ptr<Window> window);
void DiscardWindow(Window& window);
}  // namespace detail

// The single-instance accessor every window class shares: the open window of
// class T, or a new one made with the default construction. T names its
// registration with a static kFullClassName.
template <class T>
T* ImplicitInstance() {
  if (Window* open = GetImplicitWindow(T::kFullClassName)) {
    return NotNil(dynamic_cast<T*>(open), "window of another class");
  }
  Window& made = detail::AdoptWindow(std::make_unique<T>());
  try {
    made.Constructor();
  } catch (...) {
    detail::DiscardWindow(made);
    throw;
  }
  return static_cast<T*>(&made);
}

}  // namespace fw
