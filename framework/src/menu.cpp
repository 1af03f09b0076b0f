#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

#include "internal.h"

namespace fw {

MenuItem::~MenuItem() = default;

void MenuItem::Append(std::shared_ptr<MenuItem> item) {
  if (!item) throw NilObjectException("Append of a nil menu item");
  item->parent_ = this;
  children_.push_back(std::move(item));
}

MenuItem* MenuItem::Item(int index) const {
  return index >= 0 && index < Count() ? children_[static_cast<std::size_t>(index)].get() : nullptr;
}

MenuItem* MenuItem::Child(std::string_view name) const {
  for (const auto& c : children_)
    if (c->Name() == name) return c.get();
  return nullptr;
}

MenuItem* MenuItem::Lookup(std::string_view name) const {
  for (const auto& c : children_) {
    if (c->Name() == name) return c.get();
    if (MenuItem* below = c->Lookup(name)) return below;
  }
  return nullptr;
}

void QuitMenuItem::Action() { Quit(); }

std::string PortableShortcut(std::string_view shortcut) {
  std::string text(shortcut);
  for (std::string_view from : {"Cmd+", "Command+"}) {
    const std::size_t at = text.find(from);
    if (at != std::string::npos) text.replace(at, from.size(), "Ctrl+");
  }
  return text;
}

namespace detail {
namespace {

// The Edit items the framework serves itself, on the focused text field.
enum class EditCommand { None, Undo, Cut, Copy, Paste, Clear };

EditCommand EditCommandOf(std::string_view name) {
  if (name == "EditUndo") return EditCommand::Undo;
  if (name == "EditCut") return EditCommand::Cut;
  if (name == "EditCopy") return EditCommand::Copy;
  if (name == "EditPaste") return EditCommand::Paste;
  if (name == "EditClear") return EditCommand::Clear;
  return EditCommand::None;
}

QLineEdit* FocusedField() { return qobject_cast<QLineEdit*>(QApplication::focusWidget()); }

bool Applies(EditCommand cmd) {
  QLineEdit* f = FocusedField();
  if (f == nullptr || !f->isEnabled()) return false;
  switch (cmd) {
    case EditCommand::Undo: return f->isUndoAvailable();
    case EditCommand::Copy: return f->hasSelectedText();
    case EditCommand::Cut:
    case EditCommand::Clear: return f->hasSelectedText() && !f->isReadOnly();
    case EditCommand::Paste:
      return !f->isReadOnly() && !QApplication::clipboard()->text().isEmpty();
    case EditCommand::None: break;
  }
  return false;
}

void Perform(EditCommand cmd) {
  QLineEdit* f = FocusedField();
  if (f == nullptr) return;
  switch (cmd) {
    case EditCommand::Undo: f->undo(); break;
    case EditCommand::Cut: f->cut(); break;
    case EditCommand::Copy: f->copy(); break;
    case EditCommand::Paste: f->paste(); break;
    case EditCommand::Clear: f->del(); break;
    case EditCommand::None: break;
  }
}

void ForEachItem(MenuItem& item, const std::function<void(MenuItem&)>& fn) {
  for (int i = 0; i < item.Count(); ++i) {
    fn(*item.Item(i));
    ForEachItem(*item.Item(i), fn);
  }
}

}  // namespace

MenuView::MenuView(Window& window, QWidget* top, const std::shared_ptr<MenuBar>& bar, Shown shown)
    : window_(window), top_(top), tree_(bar), shown_(shown), bar_(new QMenuBar(top)) {
  bar_->setNativeMenuBar(false);
  if (shown_ == Shown::ShortcutsOnly) bar_->hide();
  Build(bar_, *tree_);
}

// A view goes before its window does, or the turn after the window got
// another bar: its Qt bar must go with it, or the old actions would keep
// their shortcuts and call back into a view that is no more.
MenuView::~MenuView() { delete bar_; }

void MenuView::Build(QWidget* parentMenu, MenuItem& item) {
  for (int i = 0; i < item.Count(); ++i) {
    MenuItem& child = *item.Item(i);
    if (child.IsSeparator()) {
      if (auto* menu = qobject_cast<QMenu*>(parentMenu)) {
        QAction* sep = menu->addSeparator();
        actions_[child.Name()] = sep;
        items_[sep] = &child;
      }
      continue;
    }
    if (child.Count() > 0 || parentMenu == bar_) {
      QMenu* menu = parentMenu == bar_ ? bar_->addMenu(ToQ(child.Text()))
                                       : static_cast<QMenu*>(parentMenu)->addMenu(ToQ(child.Text()));
      actions_[child.Name()] = menu->menuAction();
      items_[menu->menuAction()] = &child;
      QObject::connect(menu, &QMenu::aboutToShow, menu, [this] { Dispatch([this] { Open(); }); });
      // The menu hides before its item fires; only after that has had its
      // turn does a shortcut need enabling of its own again.
      QObject::connect(menu, &QMenu::aboutToHide, menu, [this] {
        QMetaObject::invokeMethod(bar_, [this] { openedForChoice_ = false; }, Qt::QueuedConnection);
      });
      Build(menu, child);
      continue;
    }
    auto* menu = static_cast<QMenu*>(parentMenu);
    QAction* action = menu->addAction(ToQ(child.Text()));
    action->setShortcut(QKeySequence(ToQ(PortableShortcut(child.KeyboardShortcut()))));
    action->setShortcutContext(Qt::WindowShortcut);
    MenuItem* target = &child;
    // A shortcut fires without the menu opening: enable first, as the menu would.
    QObject::connect(action, &QAction::triggered, action, [this, target] {
      Dispatch([this, target] {
        if (!openedForChoice_) Enable();
        openedForChoice_ = false;
        if (target->Enabled()) Choose(*target);
      });
    });
    // A hidden bar's shortcuts answer through the window itself.
    if (shown_ == Shown::ShortcutsOnly) top_->addAction(action);
    actions_[child.Name()] = action;
    items_[action] = &child;
  }
}

void MenuView::Enable() {
  ForEachItem(*tree_, [](MenuItem& item) {
    if (!item.AutoEnable()) return;
    const EditCommand cmd = EditCommandOf(item.Name());
    item.SetEnabled(cmd == EditCommand::None || Applies(cmd));
  });
  window_.Event_EnableMenuItems();
  ForEachItem(*tree_, [this](MenuItem& item) {
    if (window_.HasMenuHandler(item.Name())) item.SetEnabled(true);
  });
  // The window's event may have given it another bar; this one's actions
  // then stay off.
  if (retired_) return;
  for (auto& [action, item] : items_) action->setEnabled(item->Enabled());
}

void MenuView::Open() {
  Enable();
  openedForChoice_ = true;
}

// A handler may give the window another bar: the view, and the tree that
// holds the item, last until the next turn of the loop, past the command.
void MenuView::Choose(MenuItem& item) {
  auto& handlers = Internals::Of(window_).menuHandlers;
  if (auto it = handlers.find(item.Name()); it != handlers.end()) {
    auto handler = it->second;  // a copy: the handler may replace itself
    if (handler()) return;
  }
  if (const EditCommand cmd = EditCommandOf(item.Name()); cmd != EditCommand::None) {
    Perform(cmd);
    return;
  }
  item.Action();
}

void MenuView::Retire() {
  retired_ = true;
  bar_->hide();
  bar_->setEnabled(false);
  for (const auto& [action, item] : items_) {
    action->setEnabled(false);
    top_->removeAction(action);
  }
}

QAction* MenuView::ActionFor(std::string_view name) const {
  auto it = actions_.find(name);
  return it == actions_.end() ? nullptr : it->second;
}

}  // namespace detail
}  // namespace fw
