#pragma once

#include <cstdint>

#include "fw/window.h"

// Plays the fanfare and turns the helicopter's rotor.
class CreditWindow : public fw::Window {
 public:
  static constexpr const char* kFullClassName = "CreditWindow.CreditWindow";
  CreditWindow() : fw::Window(kFullClassName) {}

  std::int32_t n = 0;  // the animation frame counter

  void Layout() override;
  void CreateControls() override;
  void CreateControls0();
  void Timer1_Action();
  bool Event_MouseDown(int x, int y) override;
  void Event_Open() override;
  void PropRun();
};

namespace implicit {
CreditWindow* CreditWindow();
}
