#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>

#include "internal.h"

namespace fw {
namespace detail {
namespace {

// The lists live as long as the runtime; before it and after it there are
// none, and no window either.
WindowLists* TheLists() {
  Runtime* rt = TheRuntime();
  return rt ? &rt->windows : nullptr;
}

void Unregister(Window& w) {
  WindowLists* lists = TheLists();
  if (lists == nullptr) return;
  auto it = lists->implicit.find(w.FullClassName());
  if (it != lists->implicit.end() && it->second == &w) lists->implicit.erase(it);
}

void DestroyClosed() {
  WindowLists* lists = TheLists();
  // A window going may close another; each is taken off the list before it goes.
  while (lists != nullptr && !lists->closing.empty()) {
    auto closing = std::move(lists->closing);
    lists->closing.clear();
    closing.clear();
  }
}

void RetireWindow(Window& w) {
  // Until it goes the window still gets what the window system delivers to
  // it, a press it had queued before the close among them: none of that may
  // reach a handler of a window that is closed.
  Internals::Of(w).top->setEnabled(false);
  Unregister(w);
  // A closed window's clock must not tick into the time before it is gone.
  for (const auto& c : w.Controls())
    if (c->Class() == ControlClass::Timer) static_cast<Timer&>(*c).SetMode(0);
  WindowLists* lists = TheLists();
  if (lists == nullptr) return;
  auto& open = lists->open;
  auto it = std::find_if(open.begin(), open.end(), [&](const auto& p) { return p.get() == &w; });
  if (it == open.end()) return;
  lists->closing.push_back(std::move(*it));
  open.erase(it);
  QMetaObject::invokeMethod(qApp, [] { DestroyClosed(); }, Qt::QueuedConnection);
}

class TopWidget : public QWidget {
 public:
  explicit TopWidget(Window& w) : window_(w) {}

 protected:
  void closeEvent(QCloseEvent* e) override {
    e->accept();
    if (Internals::Of(window_).open) {
      Internals::Of(window_).open = false;
      RetireWindow(window_);
    }
  }

 private:
  Window& window_;
};

class ContentWidget : public QWidget {
 public:
  explicit ContentWidget(Window& w) : window_(w) { setAttribute(Qt::WA_OpaquePaintEvent); }

 protected:
  void paintEvent(QPaintEvent* e) override { Internals::Of(window_).surface.PaintOn(*this, e->rect()); }
  void mousePressEvent(QMouseEvent* e) override {
    e->accept();
    const QPoint at = e->position().toPoint();
    Window* w = &window_;
    Dispatch([w, at] { w->Event_MouseDown(at.x(), at.y()); });
  }

 private:
  Window& window_;
};

}  // namespace

void Dispatch(std::function<void()> handler) {
  try {
    handler();
  } catch (...) {
    ReportUnhandled(std::current_exception());
  }
}

void WindowImpl::RedrawSurface() {
  surface.Fill(description.hasBackColor ? ToQ(description.backColor) : QColor(Qt::white));
  if (graphics) graphics->DrawPicture(backdrop, 0, 0);
}

// The menu bar is the application's, so its commands reach every window: one
// that has no bar of its own, or no longer has one, takes the application
// bar's shortcuts, Quit's above all. Its own bar's take their place.
void WindowImpl::AnswerApplicationShortcuts(Window& self) {
  RetireMenuView(applicationShortcuts);
  if (menuBar) return;
  const Application* app = TheApplication();
  if (app != nullptr && app->GetMenuBar())
    applicationShortcuts = std::make_unique<MenuView>(self, top, app->GetMenuBar(),
                                                      MenuView::Shown::ShortcutsOnly);
}

// A view may be replaced from inside a call that runs in it: a menu opening,
// a shortcut being answered, where the toolkit's own code holds the bar too.
// It leaves the window at once, and is freed at the next turn of the loop,
// when that call and the toolkit's code around it are done with it.
void WindowImpl::RetireMenuView(std::unique_ptr<MenuView>& view) {
  if (!view) return;
  view->Retire();
  retiredViews.push_back(std::move(view));
  QMetaObject::invokeMethod(
      top,
      [this] {
        auto going = std::move(retiredViews);
        retiredViews.clear();
      },
      Qt::QueuedConnection);
}

// Keyboard focus walks the controls as a tree: each parent's children by
// TabIndex (creation order among equals), a container's children right
// after the container.
void WindowImpl::ApplyTabOrder() {
  std::vector<Control*> order;
  std::function<void(const std::string&)> visit = [&](const std::string& parent) {
    std::vector<Control*> kids;
    for (const auto& c : controls)
      if (c->Parent() == parent && c->Name() != parent) kids.push_back(c.get());
    std::stable_sort(kids.begin(), kids.end(),
                     [](Control* a, Control* b) { return a->TabIndex() < b->TabIndex(); });
    for (Control* k : kids) {
      order.push_back(k);
      visit(k->Name());
    }
  };
  visit(std::string());
  // Controls whose parent names no control of the window come last.
  for (const auto& c : controls)
    if (std::find(order.begin(), order.end(), c.get()) == order.end()) order.push_back(c.get());
  QWidget* previous = nullptr;
  for (Control* c : order) {
    QWidget* w = Internals::Of(*c).widget;
    if (w == nullptr || w->focusPolicy() == Qt::NoFocus) continue;
    if (previous) QWidget::setTabOrder(previous, w);
    previous = w;
  }
}

std::string& ExecutablePathOverride() {
  static std::string path;
  return path;
}

Window& AdoptWindow(std::unique_ptr<Window> window) {
  WindowLists* lists = TheLists();
  if (lists == nullptr) throw NilObjectException("no runtime to hold the window");
  Window& w = *window;
  lists->implicit[w.FullClassName()] = &w;
  lists->open.push_back(std::move(window));
  return w;
}

void DiscardWindow(Window& window) {
  Internals::Of(window).open = false;
  Internals::Of(window).top->hide();
  RetireWindow(window);
}

}  // namespace detail

// Nothing finds a window by its class any more once this starts; every
// window is then marked closed before any of them goes, so that one going
// never reaches for another.
void ReleaseWindowLists() {
  detail::WindowLists* lists = detail::TheLists();
  if (lists == nullptr) return;
  lists->implicit.clear();
  auto open = std::move(lists->open);
  lists->open.clear();
  for (auto& w : open) detail::Internals::Of(*w).open = false;
  open.clear();
  detail::DestroyClosed();
}

Window* GetImplicitWindow(std::string_view fullClassName) {
  const detail::WindowLists* lists = detail::TheLists();
  if (lists == nullptr) return nullptr;
  auto it = lists->implicit.find(fullClassName);
  return it == lists->implicit.end() ? nullptr : it->second;
}

using detail::ToQ;

Window::Window(std::string fullClassName) : impl_(std::make_unique<detail::WindowImpl>()) {
  impl_->fullClassName = std::move(fullClassName);
  impl_->top = new detail::TopWidget(*this);
  impl_->top->setAttribute(Qt::WA_DeleteOnClose, false);
  auto* layout = new QVBoxLayout(impl_->top);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  impl_->content = new detail::ContentWidget(*this);
  layout->addWidget(impl_->content);
  impl_->graphics = std::make_unique<Graphics>(impl_->surface);
  QWidget* content = impl_->content;
  impl_->surface.onChange = [content] { content->update(); };
  SetProperties(WindowDescription{});
}

Window::~Window() {
  impl_->open = false;
  detail::Unregister(*this);
  impl_->controls.clear();
  impl_->byName.clear();
  impl_->menuView.reset();
  impl_->applicationShortcuts.reset();
  impl_->retiredViews.clear();
  delete impl_->top;
}

void Window::Constructor() {
  Layout();
  impl_->AnswerApplicationShortcuts(*this);
  CreateControls();
  impl_->ApplyTabOrder();
  AddMenuHandlers(*this);
  // By index, and up to the count as it stands at each step: an Open handler
  // may add controls, which grows the list under the walk, and each control
  // it adds gets its own Open in turn.
  for (std::size_t i = 0; i < impl_->controls.size(); ++i) {
    // A copy: the handler may replace itself.
    if (auto open = detail::Internals::Of(*impl_->controls[i]).open) open();
  }
  Event_Open();
  if (impl_->open && impl_->description.visible) Show();
}

const std::string& Window::FullClassName() const { return impl_->fullClassName; }

void Window::SetProperties(const WindowDescription& d) {
  impl_->description = d;
  // The caller's text need not outlive the call.
  impl_->description.title = {};
  QWidget* top = impl_->top;
  top->setWindowTitle(ToQ(d.title));
  Qt::WindowFlags flags = (d.frame == 1 ? Qt::Dialog : Qt::Window) | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint;
  if (d.closeButton) flags |= Qt::WindowCloseButtonHint;
  if (d.minimizeButton) flags |= Qt::WindowMinimizeButtonHint;
  if (d.maximizeButton && d.resizeable) flags |= Qt::WindowMaximizeButtonHint;
  const bool wasVisible = top->isVisible();
  top->setWindowFlags(flags);
  if (wasVisible) top->show();
  const int w = std::clamp(d.width, 1, 32000), h = std::clamp(d.height, 1, 32000);
  impl_->content->setFixedSize(w, h);
  impl_->surface.Resize(w, h, Qt::white);
  impl_->RedrawSurface();
}

int Window::Width() const { return impl_->content->width(); }
int Window::Height() const { return impl_->content->height(); }
Color Window::BackColor() const {
  return impl_->description.hasBackColor ? impl_->description.backColor : Color{255, 255, 255};
}

void Window::Show() {
  if (!impl_->open) return;
  impl_->top->show();
  impl_->top->raise();
  impl_->top->activateWindow();
}

void Window::Close() {
  if (!impl_->open) return;
  impl_->open = false;
  impl_->top->close();
  detail::RetireWindow(*this);
}

bool Window::IsOpen() const { return impl_->open; }
bool Window::IsVisible() const { return impl_->top->isVisible(); }

void Window::UpdateNow() {
  if (impl_->top->isVisible()) impl_->content->repaint();
}

fw::Graphics& Window::GetGraphics() { return *impl_->graphics; }
const PicturePtr& Window::Backdrop() const { return impl_->backdrop; }
void Window::SetBackdrop(PicturePtr picture) {
  impl_->backdrop = std::move(picture);
  impl_->RedrawSurface();
}

const std::shared_ptr<MenuBar>& Window::GetMenuBar() const { return impl_->menuBar; }
void Window::SetMenuBar(std::shared_ptr<MenuBar> bar) {
  impl_->menuBar = std::move(bar);
  impl_->top->layout()->setMenuBar(nullptr);
  impl_->RetireMenuView(impl_->menuView);
  impl_->AnswerApplicationShortcuts(*this);
  if (impl_->menuBar) {
    impl_->menuView = std::make_unique<detail::MenuView>(*this, impl_->top, impl_->menuBar);
    impl_->top->layout()->setMenuBar(impl_->menuView->Bar());
    if (impl_->top->isVisible()) impl_->menuView->Bar()->show();
  }
  // Setting a layout's menu bar doesn't lay it out again by itself.
  impl_->top->layout()->invalidate();
  impl_->top->layout()->activate();
}

Control& Window::NewControl(ControlClass cls, std::string name) {
  if (impl_->byName.count(name) != 0)
    throw NilObjectException("a control named " + name + " exists already");
  std::unique_ptr<Control> control;
  switch (cls) {
    case ControlClass::Canvas: control = std::make_unique<Canvas>(*this, name); break;
    case ControlClass::Line: control = std::make_unique<fw::Line>(*this, name); break;
    case ControlClass::StaticText: control = std::make_unique<StaticText>(*this, name); break;
    case ControlClass::TextField: control = std::make_unique<TextField>(*this, name); break;
    case ControlClass::PushButton: control = std::make_unique<PushButton>(*this, name); break;
    case ControlClass::RadioButton: control = std::make_unique<RadioButton>(*this, name); break;
    case ControlClass::CheckBox: control = std::make_unique<CheckBox>(*this, name); break;
    case ControlClass::PopupMenu: control = std::make_unique<PopupMenu>(*this, name); break;
    case ControlClass::GroupBox: control = std::make_unique<GroupBox>(*this, name); break;
    case ControlClass::Rectangle: control = std::make_unique<fw::Rectangle>(*this, name); break;
    case ControlClass::Timer: control = std::make_unique<Timer>(*this, name); break;
  }
  Control& ref = *control;
  impl_->byName.emplace(std::move(name), control.get());
  impl_->controls.push_back(std::move(control));
  return ref;
}

Control& Window::NewControl(ControlClass cls, std::string name, float textSize,
                            const ControlDescription& d) {
  Control& control = NewControl(cls, std::move(name));
  if (textSize > 0) control.SetTextSize(textSize);
  if (cls != ControlClass::Canvas && cls != ControlClass::Line) control.SetTextUnit(0);
  control.SetProperties(d);
  return control;
}

Control* Window::FindControl(std::string_view name) const {
  auto it = impl_->byName.find(name);
  return it == impl_->byName.end() ? nullptr : it->second;
}

const std::vector<std::unique_ptr<Control>>& Window::Controls() const { return impl_->controls; }

void Window::ThrowNoSuchControl(std::string_view name) const {
  throw NilObjectException(FindControl(name) ? "control " + std::string(name) + " is of another class"
                                             : "no control named " + std::string(name));
}

void Window::AddMenuHandler(std::string itemName, std::function<bool()> handler) {
  impl_->menuHandlers[std::move(itemName)] = std::move(handler);
}

bool Window::HasMenuHandler(std::string_view itemName) const {
  return impl_->menuHandlers.find(itemName) != impl_->menuHandlers.end();
}

}  // namespace fw
