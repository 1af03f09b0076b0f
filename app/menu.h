#pragma once

#include <memory>

#include "fw/menu.h"

// The program's one menu bar, shared by the application object and the main
// window.
class Menu : public fw::MenuBar {
 public:
  void Constructor();
  void Untitled1();  // the File menu
  void Untitled2();  // the Edit menu
  // Set only once the bar is complete, so a failed build leaves it nil.
  static std::shared_ptr<Menu> implicitInstance;
};

namespace implicit {
std::shared_ptr<::Menu> Menu();
}
