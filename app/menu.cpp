#include "app/menu.h"

#include <span>

#include "fw/exceptions.h"

std::shared_ptr<Menu> Menu::implicitInstance;

namespace {

enum class Kind { Item, Quit, Apple };

struct Entry {
  Kind kind;
  const char* menu;  // the menu it goes in, by name; nullptr for a menu title
  const char* name;
  const char* text;
  const char* shortcut;  // nullptr: never assigned
};

constexpr Entry kFileMenu[] = {
    {Kind::Item, nullptr, "UntitledMenu2", "File", ""},
    {Kind::Quit, "UntitledMenu2", "FileQuit", "Quit", "Cmd+Q"},
};

constexpr Entry kEditMenu[] = {
    {Kind::Item, nullptr, "UntitledMenu0", "Edit", ""},
    {Kind::Item, "UntitledMenu0", "EditUndo", "Undo", "Cmd+Z"},
    {Kind::Item, "UntitledMenu0", "UntitledMenu1", "-", nullptr},
    {Kind::Item, "UntitledMenu0", "EditCut", "Cut", "Cmd+X"},
    {Kind::Item, "UntitledMenu0", "EditCopy", "Copy", "Cmd+C"},
    {Kind::Item, "UntitledMenu0", "EditPaste", "Paste", "Cmd+V"},
    {Kind::Item, "UntitledMenu0", "EditClear", "Clear", ""},
    {Kind::Apple, "UntitledMenu0", "AppleAbout", "About Brisvan", ""},
};

void Build(Menu& bar, std::span<const Entry> entries) {
  for (const Entry& e : entries) {
    std::shared_ptr<fw::MenuItem> item;
    switch (e.kind) {
      case Kind::Item: item = std::make_shared<fw::MenuItem>(); break;
      case Kind::Quit: item = std::make_shared<fw::QuitMenuItem>(); break;
      case Kind::Apple: item = std::make_shared<fw::AppleMenuItem>(); break;
    }
    item->SetName(e.name);
    item->SetAutoEnable(true);
    item->SetText(e.text);
    if (e.shortcut != nullptr) item->SetKeyboardShortcut(e.shortcut);
    if (e.menu == nullptr) {
      bar.Append(std::move(item));
    } else {
      fw::NotNil(bar.Child(e.menu), "no menu of that name")->Append(std::move(item));
    }
  }
}

}  // namespace

void Menu::Constructor() {
  Untitled1();
  Untitled2();
}

void Menu::Untitled1() { Build(*this, kFileMenu); }
void Menu::Untitled2() { Build(*this, kEditMenu); }

namespace implicit {
std::shared_ptr<::Menu> Menu() {
  if (::Menu::implicitInstance) return ::Menu::implicitInstance;
  auto bar = std::make_shared<::Menu>();
  bar->Constructor();
  ::Menu::implicitInstance = bar;
  return bar;
}
}  // namespace implicit
