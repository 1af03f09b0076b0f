// Fuselage, propeller and seating options, and the example aircraft. An
// option writes its typical value as text into the field of its group, so
// the designer can still overwrite it before pressing Calculate.
#include "app/loaders.h"
#include "main_window/window1.h"

using fw::Canvas;
using fw::PopupMenu;
using fw::RadioButton;
using fw::TextField;

namespace {

void Fuselage(Window1& w, fw::PicturePtr (*picture)(), const char* drag) {
  w.Get<Canvas>("CanvasFuselage").SetBackdrop(picture());
  w.Get<TextField>("TextFieldDrag").SetText(drag);
}

void Seating(Window1& w, fw::PicturePtr (*picture)(), const char* metric, const char* us) {
  w.Get<Canvas>("CanvasGyro").SetBackdrop(picture());
  w.Get<TextField>("TextFieldFrontal")
      .SetText(w.Get<RadioButton>("ButtonMetric").Value() ? metric : us);
}

// The preset steps, each one write or one selection.
void Select(Window1& w, const char* button) { w.Get<RadioButton>(button).SetValue(true); }
void Text(Window1& w, const char* field, const char* text) { w.Get<TextField>(field).SetText(text); }
void FullPower(Window1& w) { w.Get<PopupMenu>("PopupMenupowerpct").SetListIndex(0); }
void ShowBehindGraph(fw::PicturePtr (*picture)()) {
  implicit::Window1()->Get<Canvas>("Canvas1").SetBackdrop(picture());
}
void Repaint() { implicit::Window1()->Get<Canvas>("Canvas1").Refresh(true); }

}  // namespace

void Window1::ButtonDrag_Action() { Fuselage(*this, Openframe, "1.0"); }
void Window1::ButtonPodBoom_Action() { Fuselage(*this, Windshield, ".6"); }
void Window1::ButtonStreamlined_Action() { Fuselage(*this, Streamlined, ".4"); }

void Window1::ButtonPlain_Action() { Duct = 1.0; }
void Window1::ButtonDucted_Action() { Duct = 1.3; }

void Window1::ButtonOnePlace_Action() { Seating(*this, Singleseat, ".7", "7.5"); }
void Window1::ButtonSbyS_Action() { Seating(*this, sbys, "1.5", "16.13"); }
void Window1::ButtonTandem_Action() { Seating(*this, tandem, "1", "10.8"); }

void Window1::Radiobuttonehang_Action() {
  Select(*this, "ButtonMetric");
  Duct = 1.0;
  Select(*this, "ButtonPlain");
  Text(*this, "EditFieldWeight", "340");
  Text(*this, "EditFieldBladesnumber", "2");
  Text(*this, "EditFieldRotorDia", "1.6");
  Text(*this, "EditFieldBladeChord", "0.1");
  Text(*this, "EditFieldPower", "25");
  Text(*this, "EditFieldPowerTail", "3");
  Text(*this, "EditFieldTemperature", "20");
  Select(*this, "ButtonSbyS");
  Select(*this, "ButtonStreamlined");
  Text(*this, "EditFieldTipSpeed", "175");
  Text(*this, "TextFieldFrontal", "1.3");
  Text(*this, "TextFieldDrag", ".35");
  Text(*this, "TextFieldCapacity", "17");
  Text(*this, "TextFieldRotors", "8");
  rateclimb = 7.0;
  maxspeed = 200 / 3.6;
  ShowBehindGraph(ehang184);
  Repaint();
}

void Window1::RadioButtonVolo_Action() {
  Select(*this, "ButtonMetric");
  Text(*this, "EditFieldWeight", "450");
  Text(*this, "TextFieldRotors", "18");
  Text(*this, "EditFieldBladesnumber", "2");
  Text(*this, "EditFieldRotorDia", "1.5");
  Text(*this, "EditFieldBladeChord", "0.1");
  Text(*this, "EditFieldPower", "5.2");
  Text(*this, "EditFieldPowerTail", "1");
  Text(*this, "EditFieldTemperature", "20");
  Select(*this, "ButtonDucted");
  Select(*this, "ButtonPodBoom");
  Select(*this, "ButtonSbyS");
  Text(*this, "TextFieldDrag", ".7");
  Text(*this, "TextFieldFrontal", "1.5");
  Text(*this, "TextFieldCapacity", "17.5");
  Text(*this, "EditFieldTipSpeed", "155");
  rateclimb = 7.4;
  maxspeed = 185 / 3.6;
  FullPower(*this);
  ShowBehindGraph(volocoptertwo1);
  Repaint();
  Duct = 1.3;
}

void Window1::RadioKivopack_Action() {
  Select(*this, "ButtonMetric");
  Text(*this, "EditFieldWeight", "300");
  Text(*this, "EditFieldBladesnumber", "2");
  Text(*this, "EditFieldRotorDia", "1.5");
  Text(*this, "EditFieldBladeChord", "0.1");
  Text(*this, "EditFieldPower", "13");
  Text(*this, "TextFieldRotors", "8");
  Text(*this, "TextFieldCapacity", "10");
  Text(*this, "EditFieldPowerTail", "1");
  Text(*this, "EditFieldTemperature", "20");
  Select(*this, "ButtonPlain");
  Select(*this, "ButtonOnePlace");
  Select(*this, "ButtonStreamlined");
  Text(*this, "TextFieldDrag", ".34");
  Text(*this, "TextFieldFrontal", "0.7");
  Text(*this, "EditFieldTipSpeed", "205");
  rateclimb = 6.1;
  maxspeed = 52.5;
  FullPower(*this);
  ShowBehindGraph(Kivo15);
  Repaint();
}

void Window1::RadioButtonPopup_Action() {
  Select(*this, "ButtonMetric");
  Text(*this, "EditFieldWeight", "450");
  Text(*this, "EditFieldBladesnumber", "2");
  Text(*this, "EditFieldRotorDia", "2");
  Text(*this, "EditFieldBladeChord", "0.1");
  Text(*this, "EditFieldPower", "25");
  Text(*this, "EditFieldPowerTail", "1");
  Text(*this, "EditFieldTemperature", "20");
  Select(*this, "ButtonPlain");
  Select(*this, "ButtonOnePlace");
  Select(*this, "ButtonDrag");
  Text(*this, "EditFieldTipSpeed", "150");
  rateclimb = 5.8;
  maxspeed = 125 / 3.6;
  Text(*this, "TextFieldRotors", "4");
  FullPower(*this);
  ShowBehindGraph(Popup2);
  Repaint();
  Select(*this, "ButtonDucted");
}

void Window1::RadioButtonRC_Action() {
  ShowBehindGraph(Multidrone);
  Repaint();
  Select(*this, "ButtonMetric");
  Text(*this, "EditFieldWeight", "2");
  Text(*this, "EditFieldBladesnumber", "2");
  Text(*this, "EditFieldRotorDia", ".2");
  Text(*this, "EditFieldBladeChord", "0.02");
  Text(*this, "EditFieldPower", "0.15");
  Text(*this, "EditFieldPowerTail", "1");
  Text(*this, "EditFieldTemperature", "20");
  Select(*this, "ButtonOnePlace");
  Select(*this, "ButtonDrag");
  Select(*this, "ButtonPlain");
  Text(*this, "TextFieldFrontal", ".01");
  Text(*this, "TextFieldCapacity", "0.1");
  Text(*this, "EditFieldTipSpeed", "155");
  rateclimb = 3.5;
  maxspeed = 122 / 3.6;
  FullPower(*this);
}
