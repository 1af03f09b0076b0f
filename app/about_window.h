#pragma once

#include "fw/window.h"

// Credits the published method the calculation rests on.
class AboutWindow : public fw::Window {
 public:
  static constexpr const char* kFullClassName = "AboutWindow.AboutWindow";
  AboutWindow() : fw::Window(kFullClassName) {}

  void Layout() override;
  void CreateControls() override;
  void CreateControls0();
  void PushButton1_Action();
  bool Event_MouseDown(int x, int y) override;
};

namespace implicit {
AboutWindow* AboutWindow();
}
