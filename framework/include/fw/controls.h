#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "fw/graphics.h"
#include "fw/numbers.h"

namespace fw {

class Window;

enum class ControlClass {
  Canvas,
  Line,
  StaticText,
  TextField,
  PushButton,
  RadioButton,
  CheckBox,
  PopupMenu,
  GroupBox,
  Rectangle,
  Timer,
};

// Every property a control description can carry. A control takes the ones
// that mean something for its class and ignores the rest. Positions are
// window content coordinates, whatever the parent.
struct ControlDescription {
  int left = 0, top = 0, width = 0, height = 0;
  std::string_view text = {};     // Text, Caption, or a pop-up's items one per line
  std::string_view font = "System";
  bool bold = false;
  bool underline = false;
  bool multiline = false;
  Color textColor{0, 0, 0};
  std::string_view parent = {};   // InitialParent: a control's name, empty for the window
  bool enabled = true;
  bool visible = true;
  int tabIndex = 0;
  bool value = false;             // RadioButton, CheckBox
  int listIndex = 0;              // PopupMenu
  bool border = true;             // TextField
  // Line: end points, pen width and colour.
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  int borderWidth = 1;
  Color lineColor{0, 0, 0};
  // Rectangle
  Color fillColor{255, 255, 255};
  Color topLeftColor{0, 0, 0};
  Color bottomRightColor{0, 0, 0};
  // Timer
  int mode = 0;
  int period = 0;
};

// Names of the events a window can bind on one of its controls.
inline constexpr std::string_view kActionEvent = "Action";
inline constexpr std::string_view kPaintEvent = "Paint";
inline constexpr std::string_view kOpenEvent = "Open";

namespace detail {
struct ControlImpl;
struct Internals;
}

class Control {
 public:
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& Name() const;
  ControlClass Class() const;
  Window& Owner() const;
  const std::string& Parent() const;
  int Left() const;
  int Top() const;
  int Width() const;
  int Height() const;
  int TabIndex() const;

  bool Visible() const;
  void SetVisible(bool visible);
  bool Enabled() const;
  void SetEnabled(bool enabled);

  // Points at 72 dpi: one point is one pixel. 0 means the standard size.
  float TextSize() const;
  void SetTextSize(float size);
  int TextUnit() const;
  void SetTextUnit(int unit);

  // Applies a description in one step.
  void SetProperties(const ControlDescription& d);

  // Binds "Action" or "Open" of this control to a handler.
  void InstallHandler(std::string_view event, std::function<void()> handler);

 protected:
  Control(Window& owner, ControlClass cls, std::string name);
  void RaiseAction();
  std::unique_ptr<detail::ControlImpl> impl_;
  friend class Window;
  friend struct detail::Internals;
};

class StaticText : public Control {
 public:
  StaticText(Window& owner, std::string name);
  const std::string& Text() const;
  void SetText(std::string_view text);
};

class TextField : public Control {
 public:
  TextField(Window& owner, std::string name);
  std::string Text() const;
  void SetText(std::string_view text);
};

class PushButton : public Control {
 public:
  PushButton(Window& owner, std::string name);
};

// Radio buttons whose parent is the same control form one exclusive group.
// Action runs exactly when the button becomes selected, by a click or by
// SetValue(true), inside the call before it returns; never when it was
// selected already.
class RadioButton : public Control {
 public:
  RadioButton(Window& owner, std::string name);
  bool Value() const;
  void SetValue(bool value);

  // The toolkit's report of a user's click.
  void Clicked();
};

class CheckBox : public Control {
 public:
  CheckBox(Window& owner, std::string name);
  bool Value() const;
  void SetValue(bool value);
};

class PopupMenu : public Control {
 public:
  PopupMenu(Window& owner, std::string name);
  int ListCount() const;
  std::string List(int index) const;
  int ListIndex() const;  // -1 when nothing is selected
  void SetListIndex(int index);
  std::string Text() const;  // the selected item's text, empty when none
};

class GroupBox : public Control {
 public:
  GroupBox(Window& owner, std::string name);
};

class Line : public Control {
 public:
  Line(Window& owner, std::string name);
  int X1() const;
  int Y1() const;
  int X2() const;
  int Y2() const;
  int BorderWidth() const;
  Color LineColor() const;
};

class Rectangle : public Control {
 public:
  Rectangle(Window& owner, std::string name);
  Color FillColor() const;
  int BorderWidth() const;
};

// A canvas owns a pixel buffer of its own size: what the buffer holds is what
// the screen shows. Drawing may happen at any time and shows at the next
// turn of the event loop.
class Canvas : public Control {
 public:
  Canvas(Window& owner, std::string name);
  ~Canvas() override;

  // The canvas's one drawing context: colour and pen set through it stay in
  // force for the next caller.
  fw::Graphics& GetGraphics();
  const PicturePtr& Backdrop() const;
  // A new backdrop repaints the canvas.
  void SetBackdrop(PicturePtr picture);
  // With erase: fill with the background, draw the backdrop at the top-left,
  // then raise Paint with the drawing context.
  void Refresh(bool eraseBackground);
  void InstallPaintHandler(std::function<void(fw::Graphics&)> handler);

  detail::Surface& Buffer();

  // The toolkit's report that the canvas is on screen for the first time.
  void FirstShow();

 private:
  void Erase();  // the background, then the backdrop at the top-left
};

class Timer : public Control {
 public:
  Timer(Window& owner, std::string name);
  int Mode() const;  // 0 off, 1 once, 2 repeating
  void SetMode(int mode);
  int Period() const;  // ms
  void SetPeriod(int period);
  // Runs one tick as the clock would.
  void Fire();
};

}  // namespace fw
