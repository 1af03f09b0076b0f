#pragma once

#include <span>

#include "fw/controls.h"

class Window1;

namespace main_window {

// One control of the main window as the layout lists it: its place in the
// creation order, class, name, text size (0: the standard size) and the
// rest of its description.
struct ControlRow {
  int no;
  fw::ControlClass cls;
  const char* name;
  float textSize;
  fw::ControlDescription d;
};

std::span<const ControlRow> ControlRows();

struct ActionBinding {
  const char* control;
  void (Window1::*handler)();
};
// The "Action" bindings in the order they are made; Canvas1's "Paint" comes
// before all of them.
std::span<const ActionBinding> ActionBindings();

}  // namespace main_window
