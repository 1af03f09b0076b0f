#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include <algorithm>
#include <cmath>

#include "internal.h"

namespace fw {
namespace detail {

QString ResolveFamily(std::string_view family) {
  if (family == "Arial" || family == "Helvetica") return QStringLiteral("Liberation Sans");
  if (family == "Times") return QStringLiteral("Liberation Serif");
  // "System", "Geneva" and whatever this desktop doesn't know: the UI font.
  static const QString ui = [] {
    const QString general = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    return QFontDatabase::hasFamily(general) ? general : QStringLiteral("DejaVu Sans");
  }();
  const QString asked = ToQ(family);
  if (family != "System" && family != "Geneva" && QFontDatabase::hasFamily(asked)) return asked;
  return ui;
}

constexpr int kStandardPixelSize = 12;

QFont MakeFont(std::string_view family, float size, bool bold, bool underline) {
  QFont font(ResolveFamily(family));
  const long px = size > 0 && std::isfinite(size) ? std::lround(size) : kStandardPixelSize;
  font.setPixelSize(static_cast<int>(std::clamp<long>(px, 1, 512)));
  font.setBold(bold);
  font.setUnderline(underline);
  return font;
}

void FitLabel(ControlImpl& c);

void ControlImpl::ApplyFont() {
  if (cls == ControlClass::StaticText) {
    FitLabel(*this);
    return;
  }
  if (widget == nullptr || cls == ControlClass::Canvas || cls == ControlClass::Line ||
      cls == ControlClass::Rectangle || cls == ControlClass::Timer)
    return;
  widget->setFont(MakeFont(font, textSize, bold, underline));
}

namespace {

// Texts may end their lines the Mac way, with a carriage return.
QString ForDisplay(std::string_view text) {
  QString shown = ToQ(text);
  shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return shown;
}

}  // namespace

// A wrapped text that doesn't fit its box would lose its last lines, so it
// takes the largest size that fits; a single line keeps its descenders even
// in a box drawn a few pixels short of the font's line.
void FitLabel(ControlImpl& c) {
  auto* label = qobject_cast<QLabel*>(c.widget.data());
  if (label == nullptr) return;
  QFont font = MakeFont(c.font, c.textSize, c.bold, c.underline);
  int height = c.height;
  if (label->wordWrap()) {
    const QString text = ForDisplay(c.text);
    auto needed = [&](const QFont& f) {
      return QFontMetrics(f)
          .boundingRect(QRect(0, 0, std::max(c.width, 1), 1 << 20),
                        Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text)
          .height();
    };
    while (font.pixelSize() > 8 && needed(font) > c.height) font.setPixelSize(font.pixelSize() - 1);
  } else {
    height = std::max(height, QFontMetrics(font).height());
  }
  label->setFont(font);
  label->setGeometry(c.left, c.top, c.width, height);
}

namespace {

class CanvasWidget : public QWidget {
 public:
  CanvasWidget(QWidget* parent, Canvas& canvas) : QWidget(parent), canvas_(canvas) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
  }

 protected:
  void showEvent(QShowEvent*) override {
    Dispatch([this] { ShowFirst(); });
  }
  void paintEvent(QPaintEvent* e) override { canvas_.Buffer().PaintOn(*this, e->rect()); }
  void mousePressEvent(QMouseEvent* e) override { e->ignore(); }

 private:
  void ShowFirst();
  Canvas& canvas_;
};

class LineWidget : public QWidget {
 public:
  LineWidget(QWidget* parent, ControlImpl& impl) : QWidget(parent), impl_(impl) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    const ControlDescription& d = impl_.line;
    QPainter p(this);
    QPen pen(ToQ(d.lineColor));
    pen.setWidth(std::max(d.borderWidth, 1));
    pen.setCapStyle(Qt::SquareCap);
    p.setPen(pen);
    p.drawLine(QPoint(d.x1, d.y1) - pos(), QPoint(d.x2, d.y2) - pos());
  }

 private:
  ControlImpl& impl_;
};

class RectangleWidget : public QWidget {
 public:
  RectangleWidget(QWidget* parent, ControlImpl& impl) : QWidget(parent), impl_(impl) {
    setFocusPolicy(Qt::NoFocus);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    const ControlDescription& d = impl_.line;
    QPainter p(this);
    p.fillRect(rect(), ToQ(d.fillColor));
    const int bw = std::clamp(d.borderWidth, 0, std::min(width(), height()) / 2);
    if (bw <= 0) return;
    p.fillRect(QRect(0, 0, width(), bw), ToQ(d.topLeftColor));
    p.fillRect(QRect(0, 0, bw, height()), ToQ(d.topLeftColor));
    p.fillRect(QRect(0, height() - bw, width(), bw), ToQ(d.bottomRightColor));
    p.fillRect(QRect(width() - bw, 0, bw, height()), ToQ(d.bottomRightColor));
  }
  void mousePressEvent(QMouseEvent* e) override { e->ignore(); }

 private:
  ControlImpl& impl_;
};

void CanvasWidget::ShowFirst() { canvas_.FirstShow(); }

// A disabled option is often the one in force (the unit system): its
// caption must stay readable on a coloured window.
void KeepCaptionReadable(QWidget& w) {
  QPalette pal = w.palette();
  pal.setColor(QPalette::Disabled, QPalette::WindowText, QColor(70, 70, 70));
  pal.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(70, 70, 70));
  pal.setColor(QPalette::Disabled, QPalette::Text, QColor(70, 70, 70));
  w.setPalette(pal);
}

QWidget* MakeWidget(Control& control, ControlImpl& impl, QWidget* parent) {
  switch (impl.cls) {
    case ControlClass::Canvas:
      return new CanvasWidget(parent, static_cast<Canvas&>(control));
    case ControlClass::Line:
      return new LineWidget(parent, impl);
    case ControlClass::Rectangle:
      return new RectangleWidget(parent, impl);
    case ControlClass::StaticText: {
      auto* label = new QLabel(parent);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      label->setTextFormat(Qt::PlainText);
      label->setFocusPolicy(Qt::NoFocus);
      return label;
    }
    case ControlClass::TextField: {
      auto* edit = new QLineEdit(parent);
      edit->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      QPalette pal = edit->palette();
      pal.setColor(QPalette::Base, Qt::white);
      pal.setColor(QPalette::Text, Qt::black);
      edit->setPalette(pal);
      // The fields are drawn narrow; the toolkit's inner margins would cut
      // off the last digits of a number that fits the box itself.
      edit->setTextMargins(-2, 0, -2, 0);
      return edit;
    }
    case ControlClass::PushButton: {
      auto* button = new QPushButton(parent);
      // Return and Escape press no button.
      button->setAutoDefault(false);
      button->setDefault(false);
      QObject::connect(button, &QPushButton::clicked, button, [&impl] {
        if (impl.action) Dispatch(impl.action);
      });
      return button;
    }
    case ControlClass::RadioButton: {
      auto* radio = new QRadioButton(parent);
      KeepCaptionReadable(*radio);
      radio->setAutoExclusive(false);  // groups follow the parent control, see RadioButton
      auto& typed = static_cast<RadioButton&>(control);
      QObject::connect(radio, &QRadioButton::clicked, radio,
                       [&typed] { Dispatch([&typed] { typed.Clicked(); }); });
      return radio;
    }
    case ControlClass::CheckBox: {
      auto* check = new QCheckBox(parent);
      KeepCaptionReadable(*check);
      return check;
    }
    case ControlClass::PopupMenu: {
      auto* combo = new QComboBox(parent);
      combo->setEditable(false);
      return combo;
    }
    case ControlClass::GroupBox: {
      auto* box = new QGroupBox(parent);
      box->setFocusPolicy(Qt::NoFocus);
      return box;
    }
    case ControlClass::Timer:
      return nullptr;
  }
  return nullptr;
}

template <class W>
W* As(const ControlImpl& impl) {
  return qobject_cast<W*>(impl.widget.data());
}

}  // namespace
}  // namespace detail

using detail::ControlImpl;
using detail::FromQ;
using detail::ToQ;

Control::Control(Window& owner, ControlClass cls, std::string name)
    : impl_(std::make_unique<ControlImpl>()) {
  impl_->owner = &owner;
  impl_->cls = cls;
  impl_->name = std::move(name);
  impl_->widget = detail::MakeWidget(*this, *impl_, detail::Internals::Of(owner).content);
  if (impl_->widget) impl_->widget->show();
  if (cls == ControlClass::Canvas) {
    impl_->surface = std::make_unique<detail::Surface>();
    impl_->graphics = std::make_unique<Graphics>(*impl_->surface);
    QPointer<QWidget> w = impl_->widget;
    impl_->surface->onChange = [w] {
      if (w) w->update();
    };
  }
  if (cls == ControlClass::Timer) {
    impl_->timer = std::make_unique<QTimer>();
    QObject::connect(impl_->timer.get(), &QTimer::timeout, impl_->timer.get(), [this] {
      if (impl_->mode == 1) impl_->timer->stop();
      if (impl_->action) detail::Dispatch(impl_->action);
    });
  }
  impl_->ApplyFont();
}

Control::~Control() {
  if (impl_->timer) impl_->timer->stop();
  delete impl_->widget.data();
}

const std::string& Control::Name() const { return impl_->name; }
ControlClass Control::Class() const { return impl_->cls; }
Window& Control::Owner() const { return *impl_->owner; }
const std::string& Control::Parent() const { return impl_->parent; }
int Control::Left() const { return impl_->left; }
int Control::Top() const { return impl_->top; }
int Control::Width() const { return impl_->width; }
int Control::Height() const { return impl_->height; }
int Control::TabIndex() const { return impl_->tabIndex; }
bool Control::Visible() const { return impl_->visible; }
void Control::SetVisible(bool visible) {
  impl_->visible = visible;
  if (impl_->widget) impl_->widget->setVisible(visible);
}
bool Control::Enabled() const { return impl_->enabled; }
void Control::SetEnabled(bool enabled) {
  impl_->enabled = enabled;
  if (impl_->widget) impl_->widget->setEnabled(enabled);
}
float Control::TextSize() const { return impl_->textSize; }
void Control::SetTextSize(float size) {
  impl_->textSize = size;
  impl_->ApplyFont();
}
int Control::TextUnit() const { return impl_->textUnit; }
void Control::SetTextUnit(int unit) { impl_->textUnit = unit; }

void Control::InstallHandler(std::string_view event, std::function<void()> handler) {
  if (event == kActionEvent) impl_->action = std::move(handler);
  else if (event == kOpenEvent) impl_->open = std::move(handler);
  else throw NilObjectException("no event " + std::string(event) + " on " + impl_->name);
}

void Control::RaiseAction() {
  // A copy: the handler may install another in its own place.
  if (auto action = impl_->action) action();
}

void Control::SetProperties(const ControlDescription& d) {
  ControlImpl& c = *impl_;
  c.left = d.left, c.top = d.top, c.width = d.width, c.height = d.height;
  c.parent = std::string(d.parent);
  c.tabIndex = d.tabIndex;
  c.text = std::string(d.text);
  c.font = std::string(d.font);
  c.bold = d.bold;
  c.underline = d.underline;
  c.line = d;
  c.line.text = {}, c.line.font = {}, c.line.parent = {};  // views into the caller's table
  QWidget* w = c.widget;
  if (c.cls == ControlClass::Line) {
    // A line is the box around its end points, grown by its pen.
    const int pad = std::max(d.borderWidth, 1);
    const QRect box = QRect(QPoint(std::min(d.x1, d.x2), std::min(d.y1, d.y2)),
                            QPoint(std::max(d.x1, d.x2), std::max(d.y1, d.y2)))
                          .adjusted(-pad, -pad, pad, pad);
    c.left = box.left(), c.top = box.top(), c.width = box.width(), c.height = box.height();
  }
  if (w) w->setGeometry(c.left, c.top, c.width, c.height);
  c.ApplyFont();
  const QString text = ToQ(d.text);
  if (auto* label = detail::As<QLabel>(c)) {
    label->setText(detail::ForDisplay(d.text));
    label->setWordWrap(d.multiline);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, ToQ(d.textColor));
    label->setPalette(pal);
    detail::FitLabel(c);
  } else if (auto* edit = detail::As<QLineEdit>(c)) {
    edit->setText(text);
    edit->setCursorPosition(0);
    edit->setFrame(d.border);
  } else if (auto* radio = detail::As<QRadioButton>(c)) {
    radio->setText(text);
  } else if (auto* check = detail::As<QCheckBox>(c)) {
    check->setText(text);
    check->setChecked(d.value);
  } else if (auto* button = detail::As<QPushButton>(c)) {
    button->setText(text);
  } else if (auto* box = detail::As<QGroupBox>(c)) {
    box->setTitle(text);
  } else if (auto* combo = detail::As<QComboBox>(c)) {
    combo->clear();
    // One item a line, whichever way the lines end.
    for (const QString& item : detail::ForDisplay(d.text).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
      combo->addItem(item.trimmed());
    combo->setCurrentIndex(d.listIndex < combo->count() ? d.listIndex : -1);
  }
  if (c.cls == ControlClass::Timer) {
    auto& timer = static_cast<Timer&>(*this);
    timer.SetPeriod(d.period);
    timer.SetMode(d.mode);
  }
  SetEnabled(d.enabled);
  SetVisible(d.visible);
  if (c.cls == ControlClass::RadioButton && d.value) static_cast<RadioButton&>(*this).SetValue(true);
  if (c.cls == ControlClass::Canvas && c.surface) {
    c.surface->Resize(c.width, c.height, ToQ(c.owner->BackColor()));
  }
}

// --- text -----------------------------------------------------------------

StaticText::StaticText(Window& owner, std::string name)
    : Control(owner, ControlClass::StaticText, std::move(name)) {}
const std::string& StaticText::Text() const { return impl_->text; }
void StaticText::SetText(std::string_view text) {
  impl_->text = std::string(text);
  if (auto* label = detail::As<QLabel>(*impl_)) {
    label->setText(detail::ForDisplay(text));
    detail::FitLabel(*impl_);
  }
}

TextField::TextField(Window& owner, std::string name)
    : Control(owner, ControlClass::TextField, std::move(name)) {}
std::string TextField::Text() const {
  auto* edit = detail::As<QLineEdit>(*impl_);
  return edit ? FromQ(edit->text()) : std::string();
}
void TextField::SetText(std::string_view text) {
  if (auto* edit = detail::As<QLineEdit>(*impl_)) {
    edit->setText(ToQ(text));
    edit->setCursorPosition(0);
  }
}

// --- buttons --------------------------------------------------------------

PushButton::PushButton(Window& owner, std::string name)
    : Control(owner, ControlClass::PushButton, std::move(name)) {}

RadioButton::RadioButton(Window& owner, std::string name)
    : Control(owner, ControlClass::RadioButton, std::move(name)) {}
bool RadioButton::Value() const { return impl_->value; }

void RadioButton::SetValue(bool value) {
  auto* radio = detail::As<QRadioButton>(*impl_);
  if (!value) {
    impl_->value = false;
    if (radio) {
      const QSignalBlocker block(radio);
      radio->setChecked(false);
    }
    return;
  }
  if (impl_->value) return;  // already selected: nothing changes, no Action
  for (const auto& other : Owner().Controls()) {
    if (other.get() == this || other->Class() != ControlClass::RadioButton) continue;
    if (other->Parent() != impl_->parent) continue;
    auto& sibling = static_cast<RadioButton&>(*other);
    if (sibling.impl_->value) sibling.SetValue(false);
  }
  impl_->value = true;
  if (radio) {
    const QSignalBlocker block(radio);
    radio->setChecked(true);
  }
  RaiseAction();
}

void RadioButton::Clicked() {
  if (impl_->value) {
    // The toolkit has just unticked it; a selected button stays selected.
    if (auto* radio = detail::As<QRadioButton>(*impl_)) {
      const QSignalBlocker block(radio);
      radio->setChecked(true);
    }
    return;
  }
  SetValue(true);
}

CheckBox::CheckBox(Window& owner, std::string name)
    : Control(owner, ControlClass::CheckBox, std::move(name)) {}
bool CheckBox::Value() const {
  auto* check = detail::As<QCheckBox>(*impl_);
  return check && check->isChecked();
}
void CheckBox::SetValue(bool value) {
  if (auto* check = detail::As<QCheckBox>(*impl_)) check->setChecked(value);
}

// --- pop-up menus ---------------------------------------------------------

PopupMenu::PopupMenu(Window& owner, std::string name)
    : Control(owner, ControlClass::PopupMenu, std::move(name)) {}
int PopupMenu::ListCount() const {
  auto* combo = detail::As<QComboBox>(*impl_);
  return combo ? combo->count() : 0;
}
std::string PopupMenu::List(int index) const {
  auto* combo = detail::As<QComboBox>(*impl_);
  return combo && index >= 0 && index < combo->count() ? FromQ(combo->itemText(index))
                                                        : std::string();
}
int PopupMenu::ListIndex() const {
  auto* combo = detail::As<QComboBox>(*impl_);
  return combo ? combo->currentIndex() : -1;
}
void PopupMenu::SetListIndex(int index) {
  auto* combo = detail::As<QComboBox>(*impl_);
  if (combo == nullptr) return;
  combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}
std::string PopupMenu::Text() const { return List(ListIndex()); }

GroupBox::GroupBox(Window& owner, std::string name)
    : Control(owner, ControlClass::GroupBox, std::move(name)) {}

Line::Line(Window& owner, std::string name) : Control(owner, ControlClass::Line, std::move(name)) {}
int Line::X1() const { return impl_->line.x1; }
int Line::Y1() const { return impl_->line.y1; }
int Line::X2() const { return impl_->line.x2; }
int Line::Y2() const { return impl_->line.y2; }
int Line::BorderWidth() const { return impl_->line.borderWidth; }
Color Line::LineColor() const { return impl_->line.lineColor; }

Rectangle::Rectangle(Window& owner, std::string name)
    : Control(owner, ControlClass::Rectangle, std::move(name)) {}
Color Rectangle::FillColor() const { return impl_->line.fillColor; }
int Rectangle::BorderWidth() const { return impl_->line.borderWidth; }

// --- canvas ---------------------------------------------------------------

Canvas::Canvas(Window& owner, std::string name)
    : Control(owner, ControlClass::Canvas, std::move(name)) {}
Canvas::~Canvas() = default;

fw::Graphics& Canvas::GetGraphics() { return *impl_->graphics; }
detail::Surface& Canvas::Buffer() { return *impl_->surface; }
const PicturePtr& Canvas::Backdrop() const { return impl_->backdrop; }

// A new backdrop shows at once, over a cleared buffer; what the Paint
// handler draws comes with the next Refresh.
void Canvas::SetBackdrop(PicturePtr picture) {
  impl_->backdrop = std::move(picture);
  Erase();
}

void Canvas::Erase() {
  impl_->surface->Fill(ToQ(Owner().BackColor()));
  impl_->graphics->DrawPicture(impl_->backdrop, 0, 0);
}

void Canvas::Refresh(bool eraseBackground) {
  if (eraseBackground) Erase();
  ++impl_->paintCount;
  if (auto paint = impl_->paint) paint(*impl_->graphics);  // may replace itself
  impl_->surface->Changed();
}

void Canvas::InstallPaintHandler(std::function<void(fw::Graphics&)> handler) {
  impl_->paint = std::move(handler);
}

void Canvas::FirstShow() {
  if (impl_->shownOnce) return;
  impl_->shownOnce = true;
  Refresh(true);
}

// --- timer ----------------------------------------------------------------

Timer::Timer(Window& owner, std::string name)
    : Control(owner, ControlClass::Timer, std::move(name)) {}
int Timer::Mode() const { return impl_->mode; }
void Timer::SetMode(int mode) {
  impl_->mode = mode;
  if (mode == 0) impl_->timer->stop();
  else impl_->timer->start(std::max(impl_->period, 0));
}
int Timer::Period() const { return impl_->period; }
void Timer::SetPeriod(int period) {
  impl_->period = period;
  if (impl_->mode != 0) impl_->timer->start(std::max(period, 0));
}
void Timer::Fire() {
  if (impl_->action) detail::Dispatch(impl_->action);
}

}  // namespace fw
