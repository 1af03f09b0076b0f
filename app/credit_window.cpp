#include "app/credit_window.h"

#include "app/loaders.h"

namespace implicit {
::CreditWindow* CreditWindow() { return fw::ImplicitInstance<::CreditWindow>(); }
}  // namespace implicit

void CreditWindow::Layout() {
  SetBackdrop(CreditsHeli());
  // Every other value of the description is a new window's default.
  SetProperties(fw::WindowDescription{
      .width = 190,
      .height = 270,
      .frame = 1,
      .hasBackColor = false,
      .backColor = fw::RGB(255, 255, 255),
      .title = "Credits",
      .closeButton = false,
  });
}

void CreditWindow::CreateControls() { CreateControls0(); }

void CreditWindow::CreateControls0() {
  fw::Control& timer = NewControl(fw::ControlClass::Timer, "Timer1");
  timer.SetProperties({.mode = 2, .period = 1});
  timer.InstallHandler(fw::kActionEvent, [this] { Timer1_Action(); });
  NewControl(fw::ControlClass::Rectangle, "Rectangle1")
      .SetProperties({.left = 0, .top = 240, .width = 190, .height = 30, .parent = "",
                      .enabled = true, .visible = true, .borderWidth = 1,
                      .fillColor = fw::HexColor(0xD2F0ED),
                      .topLeftColor = fw::HexColor(0x000000),
                      .bottomRightColor = fw::HexColor(0x000000)});
}

// The window works silently when the fanfare could not be loaded.
void CreditWindow::Event_Open() {
  if (fw::SoundPtr sound = finale()) sound->Play();
  n = 0;
}

void CreditWindow::Timer1_Action() {
  PropRun();
  n = n + 1;
}

void CreditWindow::PropRun() {
  fw::PicturePtr (*frame)() = nullptr;
  if (n == 0) frame = Prop;
  else if (n == 1 || n == 6) frame = Prop1;
  else if (n == 2 || n == 5) frame = Prop2;
  else if (n == 3) frame = Prop3;
  if (frame != nullptr) {
    implicit::CreditWindow()->GetGraphics().DrawPicture(frame(), 115, 76, -10000, -10000, 0, 0,
                                                        -10000, -10000);
  }
  if (n > 7) n = 0;
  implicit::CreditWindow()->UpdateNow();
}

bool CreditWindow::Event_MouseDown(int /*x*/, int /*y*/) {
  implicit::CreditWindow()->Close();
  return false;
}
