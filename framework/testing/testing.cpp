#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEventLoop>
#include <QFontInfo>
#include <QGroupBox>
#include <QImage>
#include <QKeySequence>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleHints>
#include <QTest>
#include <QTimer>

#include <chrono>

#include "fw/testing.h"
#include "internal.h"

namespace fw::testing {

using detail::FromQ;
using detail::Internals;
using detail::ToQ;

void ProcessEvents() {
  for (int i = 0; i < 3; ++i) QApplication::processEvents(QEventLoop::AllEvents);
}

int PaintCount(Canvas& canvas) { return Internals::Of(canvas).paintCount; }
int PlayCount(const Sound& sound) { return Internals::Of(sound).plays; }
SoundSamples Samples(const Sound& sound) {
  const detail::SoundData& data = Internals::Of(sound);
  return SoundSamples{data.format.sampleRate(), data.format.channelCount(),
                      data.format.bytesPerSample(),
                      std::string(data.samples.constData(), static_cast<std::size_t>(data.samples.size()))};
}

void KeepRunningWithoutWindows() { QApplication::setQuitOnLastWindowClosed(false); }

void CallSoon(std::function<void()> fn) {
  QMetaObject::invokeMethod(
      qApp, [fn = std::move(fn)] { detail::Dispatch(fn); }, Qt::QueuedConnection);
}

bool RunEventsUntil(const std::function<bool()>& done) {
  bool expired = false;
  QTimer watchdog;
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, [&expired] { expired = true; });
  watchdog.start(std::chrono::minutes(2));
  while (!done()) {
    if (expired) return false;
    QApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  return true;
}

bool RunClockTicks(int period, int ticks) {
  int ticked = 0;
  QTimer clock;
  clock.setTimerType(Qt::PreciseTimer);
  QObject::connect(&clock, &QTimer::timeout, [&ticked] { ++ticked; });
  clock.start(period);
  return RunEventsUntil([&] { return ticked >= ticks; });
}

void SetExecutablePath(std::string path) { detail::ExecutablePathOverride() = std::move(path); }

void Click(Control& control) {
  if (auto* button = qobject_cast<QAbstractButton*>(Internals::Of(control).widget.data())) button->click();
}

void PressMouse(Window& window, int x, int y) {
  QWidget* content = Internals::Of(window).content;
  QWidget* target = content->childAt(x, y);
  if (target == nullptr) target = content;
  const QPointF local = target->mapFrom(content, QPointF(x, y));
  const QPointF global = content->mapToGlobal(QPointF(x, y));
  QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(target, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  // The press may have closed the window; only a live target gets the release.
  if (window.IsOpen() && target) QApplication::sendEvent(target, &release);
}

namespace {
QWindow* PlatformWindow(Window& window) { return Internals::Of(window).top->windowHandle(); }

// Where a point of a widget lies in its window's platform window.
QPoint OnPlatformWindow(Window& window, QWidget& widget, QPoint at) {
  return widget.mapTo(Internals::Of(window).top, at);
}

// The window system's own way in, through the entry points QtTest uses,
// but without its turn of the event loop after each event: what it
// delivers meets the windows as they are, closed ones not yet gone among
// them. Each click is timed well apart from the last, so that no two make
// a double click.
void ClickOnPlatformWindow(QWindow* platform, QPoint at) {
  static int clock = 0;
  clock += 10 * QGuiApplication::styleHints()->mouseDoubleClickInterval();
  const QPointF local(at), global = platform->mapToGlobal(local);
  qt_handleMouseEvent(platform, local, global, Qt::LeftButton, Qt::LeftButton,
                      QEvent::MouseButtonPress, Qt::NoModifier, clock);
  qt_handleMouseEvent(platform, local, global, Qt::NoButton, Qt::LeftButton,
                      QEvent::MouseButtonRelease, Qt::NoModifier, clock + 1);
}
}  // namespace

bool PressMouseOnPlatformWindow(Window& window, int x, int y) {
  QWindow* platform = PlatformWindow(window);
  if (platform == nullptr) return false;
  ClickOnPlatformWindow(platform, OnPlatformWindow(window, *Internals::Of(window).content, QPoint(x, y)));
  return true;
}

bool TypeOnPlatformWindow(Window& window, std::string_view text) {
  QWindow* platform = PlatformWindow(window);
  if (platform == nullptr) return false;
  for (const char ch : text) {
    const Qt::Key key = QTest::asciiToKey(ch);
    const QString typed(QChar::fromLatin1(ch));
    qt_handleKeyEvent(platform, QEvent::KeyPress, key, Qt::NoModifier, typed);
    qt_handleKeyEvent(platform, QEvent::KeyRelease, key, Qt::NoModifier, typed);
  }
  return true;
}

int ToolkitMenuBars(Window& window) {
  return static_cast<int>(Internals::Of(window).top->findChildren<QMenuBar*>().size());
}

int WindowsHeld() {
  const detail::Runtime* rt = detail::TheRuntime();
  return rt ? static_cast<int>(rt->windows.open.size() + rt->windows.closing.size()) : 0;
}

void Focus(Control& control) {
  if (QWidget* w = Internals::Of(control).widget) {
    w->window()->activateWindow();
    w->setFocus(Qt::OtherFocusReason);
  }
}

void Type(TextField& field, std::string_view text) {
  Focus(field);
  auto* edit = qobject_cast<QLineEdit*>(Internals::Of(field).widget.data());
  if (edit == nullptr) return;
  for (QChar ch : ToQ(text)) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(edit, &press);
    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(edit, &release);
  }
}

void PressKey(Window& window, std::string_view key) {
  const int code = key == "Return" ? Qt::Key_Return
                   : key == "Escape" ? Qt::Key_Escape
                   : key == "Tab"    ? Qt::Key_Tab
                   : key == "Space"  ? Qt::Key_Space
                                     : 0;
  QWidget* target = QApplication::focusWidget();
  if (target == nullptr || target->window() != Internals::Of(window).top) target = Internals::Of(window).content;
  QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier);
  QApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier);
  QApplication::sendEvent(target, &release);
}

bool PressShortcut(Window& window, std::string_view keys) {
  const QKeySequence sequence(ToQ(PortableShortcut(keys)));
  if (sequence.isEmpty()) return false;
  const QKeyCombination combo = sequence[0];
  // Window shortcuts answer only in the active window.
  Internals::Of(window).top->activateWindow();
  QWidget* target = QApplication::focusWidget();
  if (target == nullptr || target->window() != Internals::Of(window).top) target = Internals::Of(window).top;
  // The toolkit's shortcut-override entry point, as QtTest declares it: it
  // runs the shortcut map as a key from the window system would.
  const bool taken = qt_sendShortcutOverrideEvent(target, 0, combo.key(), combo.keyboardModifiers());
  // The call leaves its modifiers as the application's idea of the keyboard;
  // a bare modifier key matches no shortcut and lets them go again.
  qt_sendShortcutOverrideEvent(qApp, 0, Qt::Key_Shift, Qt::NoModifier);
  return taken;
}

std::string FocusedControlName(Window& window) {
  QWidget* focus = QApplication::focusWidget();
  for (const auto& c : window.Controls())
    if (Internals::Of(*c).widget == focus && focus != nullptr) return c->Name();
  return std::string();
}

std::vector<std::string> TabOrder(Window& window) {
  std::vector<std::string> names;
  std::map<QWidget*, std::string> byWidget;
  for (const auto& c : window.Controls()) {
    QWidget* w = Internals::Of(*c).widget;
    if (w == nullptr || w->focusPolicy() == Qt::NoFocus) continue;
    byWidget[w] = c->Name();
  }
  // The focus chain is circular; walk it once from the content widget.
  QWidget* w = Internals::Of(window).content->nextInFocusChain();
  while (w && w != Internals::Of(window).content && names.size() < byWidget.size() + 64) {
    if (auto it = byWidget.find(w); it != byWidget.end()) names.push_back(it->second);
    w = w->nextInFocusChain();
  }
  return names;
}

namespace {
detail::MenuView* ViewOf(Window& window) { return Internals::Of(window).menuView.get(); }
}  // namespace

bool ClickMenuTitle(Window& window, std::string_view menuName) {
  detail::MenuView* view = ViewOf(window);
  QWindow* platform = PlatformWindow(window);
  if (view == nullptr || platform == nullptr) return false;
  QAction* title = view->ActionFor(menuName);
  if (title == nullptr || title->menu() == nullptr) return false;
  ClickOnPlatformWindow(platform, OnPlatformWindow(window, *view->Bar(), view->Bar()->actionGeometry(title).center()));
  return true;
}

bool ChooseMenuItem(Window& window, std::string_view itemName) {
  detail::MenuView* view = ViewOf(window);
  if (view == nullptr) return false;
  view->Open();
  QAction* action = view->ActionFor(itemName);
  if (action == nullptr || !action->isEnabled()) return false;
  action->trigger();
  return true;
}

bool MenuItemEnabled(Window& window, std::string_view itemName) {
  detail::MenuView* view = ViewOf(window);
  if (view == nullptr) return false;
  view->Enable();
  QAction* action = view->ActionFor(itemName);
  return action != nullptr && action->isEnabled();
}

std::vector<ShownMenu> ShownMenus(Window& window) {
  std::vector<ShownMenu> menus;
  detail::MenuView* view = ViewOf(window);
  if (view == nullptr) return menus;
  for (QAction* top : view->Bar()->actions()) {
    ShownMenu menu;
    menu.title = FromQ(top->text());
    if (QMenu* m = top->menu()) {
      for (QAction* a : m->actions())
        menu.items.push_back(ShownMenuItem{FromQ(a->text()),
                                           FromQ(a->shortcut().toString(QKeySequence::PortableText)),
                                           a->isSeparator()});
    }
    menus.push_back(std::move(menu));
  }
  return menus;
}

bool SaveImage(Window& window, const std::string& path) {
  QWidget* top = Internals::Of(window).top;
  return top->grab().save(ToQ(path), "PNG");
}

namespace {
bool WriteFilled(const std::string& path, int width, int height, Color color, const char* format) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(ToQ(color));
  return image.save(ToQ(path), format);
}
}  // namespace

bool WritePng(const std::string& path, int width, int height, Color color) {
  return WriteFilled(path, width, height, color, "PNG");
}

bool WriteJpeg(const std::string& path, int width, int height, Color color) {
  return WriteFilled(path, width, height, color, "JPEG");
}

WindowLook Look(Window& window) {
  QWidget* top = Internals::Of(window).top;
  const Qt::WindowFlags f = top->windowFlags();
  WindowLook look;
  look.contentWidth = Internals::Of(window).content->width();
  look.contentHeight = Internals::Of(window).content->height();
  look.title = FromQ(top->windowTitle());
  look.fixedSize = top->minimumSize() == top->maximumSize();
  look.closeButton = f.testFlag(Qt::WindowCloseButtonHint);
  look.minimizeButton = f.testFlag(Qt::WindowMinimizeButtonHint);
  look.maximizeButton = f.testFlag(Qt::WindowMaximizeButtonHint);
  look.dialog = (f & Qt::WindowType_Mask) == Qt::Dialog;
  look.menuBar = Internals::Of(window).menuView != nullptr;
  return look;
}

ControlLook Look(Control& control) {
  ControlLook look;
  QWidget* w = Internals::Of(control).widget;
  look.left = control.Left(), look.top = control.Top();
  look.width = control.Width(), look.height = control.Height();
  if (w == nullptr) return look;
  const QFontInfo info(w->font());
  look.family = FromQ(info.family());
  look.pixelSize = info.pixelSize();
  look.bold = info.bold();
  look.underline = w->font().underline();
  look.visible = w->isVisibleTo(w->parentWidget());
  look.enabled = w->isEnabled();
  look.takesFocus = w->focusPolicy() != Qt::NoFocus;
  if (auto* label = qobject_cast<QLabel*>(w)) {
    look.text = FromQ(label->text());
    look.wraps = label->wordWrap();
    const QColor c = label->palette().color(QPalette::WindowText);
    look.textColor = Color{static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
                           static_cast<std::uint8_t>(c.blue())};
  } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
    look.text = FromQ(edit->text());
    look.frame = edit->hasFrame();
  } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
    look.text = FromQ(button->text());
    look.checked = button->isChecked();
  } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
    look.text = FromQ(box->title());
  } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
    look.text = FromQ(combo->currentText());
  }
  return look;
}

Color ShownPixel(Window& window, int x, int y) {
  const QImage shot = Internals::Of(window).content->grab().toImage();
  if (!shot.valid(x, y)) return Color{};
  const QColor c = shot.pixelColor(x, y);
  return Color{static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
               static_cast<std::uint8_t>(c.blue())};
}

}  // namespace fw::testing
