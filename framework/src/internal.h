// Framework internals: the Qt side of the public classes.
#pragma once

#include <QAudioFormat>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "fw/fw.h"

class QApplication;
class QAudioSink;
class QBuffer;
class QMenuBar;
class QAction;

namespace fw::detail {

inline QColor ToQ(Color c) { return QColor(c.r, c.g, c.b); }
inline QString ToQ(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
inline std::string FromQ(const QString& s) { return s.toStdString(); }

// Runs a handler at the boundary between Qt and the program: an exception
// never unwinds through Qt; it is reported and the loop goes on. The handler
// is taken by value: one may install another in its own place while it runs.
void Dispatch(std::function<void()> handler);
// The one line that names an exception no handler caught.
void ReportUnhandled(const std::exception_ptr& e);

struct SoundData {
  QAudioFormat format;
  QByteArray samples;  // whole frames in `format`
  // Made at the first Play; the output owns the reader of the samples.
  QAudioSink* output = nullptr;
  QBuffer* reader = nullptr;
  int plays = 0;
};

struct PictureData {
  QImage image;  // ARGB32 premultiplied
};

// A pixel buffer that Graphics draws on. Whoever shows it is told once per
// change so that a burst of drawing costs one repaint.
class Surface {
 public:
  void Resize(int width, int height, QColor fill);
  QImage& Image() { return image_; }
  const QImage& Image() const { return image_; }
  void Fill(QColor c);
  void Changed();
  // Blits the damaged part onto the widget that shows the buffer.
  void PaintOn(QWidget& widget, const QRect& damaged);
  std::function<void()> onChange;

 private:
  QImage image_;
  bool pending_ = false;
};

// Maps a family name of a description to one on this desktop.
QString ResolveFamily(std::string_view family);
QFont MakeFont(std::string_view family, float size, bool bold, bool underline);

struct ControlImpl {
  Window* owner = nullptr;
  ControlClass cls{};
  std::string name;
  std::string parent;
  std::string text;  // caption or label text as set
  std::string font = "System";
  float textSize = 0;
  int textUnit = 0;
  bool bold = false, underline = false;
  int left = 0, top = 0, width = 0, height = 0, tabIndex = 0;
  bool visible = true, enabled = true;
  bool value = false;
  ControlDescription line;  // the description kept for lines and rectangles
  QPointer<QWidget> widget;  // owned by the window's content widget
  std::function<void()> action;
  std::function<void()> open;
  std::function<void(Graphics&)> paint;
  // Canvas
  std::unique_ptr<Surface> surface;
  std::unique_ptr<Graphics> graphics;
  PicturePtr backdrop;
  bool shownOnce = false;
  int paintCount = 0;
  // Timer
  std::unique_ptr<QTimer> timer;
  int mode = 0, period = 0;

  void ApplyFont();
};

class MenuView;

struct WindowImpl {
  std::string fullClassName;
  WindowDescription description;
  QWidget* top = nullptr;      // the top-level widget
  QWidget* content = nullptr;  // the content area, controls' parent
  Surface surface;             // what the content shows under the controls
  std::unique_ptr<Graphics> graphics;
  PicturePtr backdrop;
  std::shared_ptr<MenuBar> menuBar;
  std::unique_ptr<MenuView> menuView;
  // A window without a bar of its own answers the application's shortcuts.
  std::unique_ptr<MenuView> applicationShortcuts;
  // Views replaced during this turn of the loop, freed at the next.
  std::vector<std::unique_ptr<MenuView>> retiredViews;
  std::vector<std::unique_ptr<Control>> controls;
  std::map<std::string, Control*, std::less<>> byName;
  std::map<std::string, std::function<bool()>, std::less<>> menuHandlers;
  bool open = true;
  bool described = false;

  void RedrawSurface();
  void ApplyTabOrder();
  void AnswerApplicationShortcuts(Window& self);
  void RetireMenuView(std::unique_ptr<MenuView>& view);
};

// The Qt menu bar built from a menu tree for one window. Unshown, the bar
// stays hidden and only its items' shortcuts work in the window.
class MenuView {
 public:
  enum class Shown { Bar, ShortcutsOnly };
  MenuView(Window& window, QWidget* top, const std::shared_ptr<MenuBar>& bar,
           Shown shown = Shown::Bar);
  ~MenuView();
  // It owns its Qt bar: a copy would delete it a second time.
  MenuView(const MenuView&) = delete;
  MenuView& operator=(const MenuView&) = delete;
  QMenuBar* Bar() const { return bar_; }
  // The steps before a menu opens: defaults, EnableMenuItems, handlers.
  void Enable();
  // A menu opening: enabling, and the item chosen from it needs no more.
  void Open();
  void Choose(MenuItem& item);
  // Takes the view off the window: its bar neither shows nor takes a press,
  // its shortcuts answer no more. A call running in it goes on to its end.
  void Retire();
  QAction* ActionFor(std::string_view name) const;

 private:
  void Build(QWidget* parentMenu, MenuItem& item);
  Window& window_;
  QWidget* top_;
  std::shared_ptr<MenuBar> tree_;
  Shown shown_;
  QMenuBar* bar_ = nullptr;
  std::map<std::string, QAction*, std::less<>> actions_;
  std::map<QAction*, MenuItem*> items_;
  bool openedForChoice_ = false;
  bool retired_ = false;
};

std::string& ExecutablePathOverride();

// Opens `path` for reading only if it is a regular file; `why` tells what
// was wrong otherwise, and is empty for a file that isn't there.
bool OpenRegularFile(const std::string& path, QFile& file, std::string& why);

// What a file was opened as. One file may be tried as both, and what is
// said of it as the one is no news of the other.
enum class FileUse { Picture, Sound };

// Says "<Picture|Sound> <path> <what>" on the error stream, unless that is
// what was last said of the file in that use.
void SayOnce(FileUse use, const std::string& path, const std::string& what);
// The file opened cleanly in that use, or went: what was said of it is
// said again should it break again.
void ForgetSaid(FileUse use, const std::string& path);

// The framework's lists: every open window, the ones registered under their
// class name, and the closed ones waiting to be destroyed.
struct WindowLists {
  std::vector<std::unique_ptr<Window>> open;
  std::map<std::string, Window*, std::less<>> implicit;
  std::vector<std::unique_ptr<Window>> closing;
};

// Everything the framework keeps for one run. It is made by RuntimeInit and
// taken down by RuntimeExit, or by the process's exit when the toolkit ends
// the process itself; never by a static destructor, whose order nobody
// chooses.
struct Runtime {
  std::unique_ptr<QApplication> qt;
  std::unique_ptr<Application> app;
  WindowLists windows;
  std::function<void()> programShutdown;
  int exitStatus = 0;
  // An exception ended the run before or instead of the event loop.
  bool failed = false;
  // What was last said of each file in each use, so that it is said once.
  std::map<std::pair<FileUse, std::string>, std::string> reportedFiles;
};

// nullptr before RuntimeInit and after the runtime is taken down.
Runtime* TheRuntime();

// What lies behind a window, a control or a sound, for the framework's own
// code and its test driver; the program's code has no way to it.
struct Internals {
  static WindowImpl& Of(const Window& w) { return *w.impl_; }
  static ControlImpl& Of(const Control& c) { return *c.impl_; }
  static const SoundData& Of(const Sound& s) { return *s.data_; }
};

}  // namespace fw::detail
