#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

// A node of a menu tree: a bar, a menu or an item. "-" as Text is a
// separator. Shortcuts are written "Cmd+" and a key; on Linux they bind to
// Ctrl.
class MenuItem {
 public:
  MenuItem() = default;
  virtual ~MenuItem();
  MenuItem(const MenuItem&) = delete;
  MenuItem& operator=(const MenuItem&) = delete;

  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  const std::string& Text() const { return text_; }
  void SetText(std::string text) { text_ = std::move(text); }
  const std::string& KeyboardShortcut() const { return shortcut_; }
  void SetKeyboardShortcut(std::string shortcut) { shortcut_ = std::move(shortcut); }
  bool AutoEnable() const { return autoEnable_; }
  void SetAutoEnable(bool on) { autoEnable_ = on; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool on) { enabled_ = on; }
  bool IsSeparator() const { return text_ == "-"; }

  // Adds the item as the last child.
  void Append(std::shared_ptr<MenuItem> item);
  int Count() const { return static_cast<int>(children_.size()); }
  MenuItem* Item(int index) const;
  // The direct child of that name, or nullptr.
  MenuItem* Child(std::string_view name) const;
  // The item of that name at any depth below this one, or nullptr.
  MenuItem* Lookup(std::string_view name) const;
  MenuItem* ParentItem() const { return parent_; }

  // What choosing the item does when no window handles it.
  virtual void Action() {}

 private:
  std::string name_, text_, shortcut_;
  bool autoEnable_ = false;
  bool enabled_ = true;
  MenuItem* parent_ = nullptr;
  std::vector<std::shared_ptr<MenuItem>> children_;
};

class MenuBar : public MenuItem {};

// Quits the application when chosen.
class QuitMenuItem : public MenuItem {
 public:
  void Action() override;
};

// macOS would move it to the application menu; elsewhere it stays where it
// was appended.
class AppleMenuItem : public MenuItem {};

// "Cmd+X" as a portable key sequence text ("Ctrl+X"); empty stays empty.
std::string PortableShortcut(std::string_view shortcut);

}  // namespace fw
