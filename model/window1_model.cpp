// The performance model's routines as methods of the main window: they fetch
// the controls by name, hand the numbers to the model core and write back
// the fields, the texts and the drawing.
#include "main_window/window1.h"
#include "model/core.h"

using fw::Canvas;
using fw::PopupMenu;
using fw::RadioButton;
using fw::StaticText;
using fw::TextField;
using fw::Val;

namespace {

enum class Altitude { None, Metres, Feet };

model::InputValues ReadInputs(const Window1& w, Altitude altitude) {
  auto field = [&w](const char* name) { return Val(w.Get<TextField>(name).Text()); };
  model::InputValues in;
  in.weight = field("EditFieldWeight");
  in.rotors = field("TextFieldRotors");
  in.blades = field("EditFieldBladesnumber");
  in.diameter = field("EditFieldRotorDia");
  in.chord = field("EditFieldBladeChord");
  in.tipSpeed = field("EditFieldTipSpeed");
  in.power = field("EditFieldPower");
  in.powerPct = Val(w.Get<PopupMenu>("PopupMenupowerpct").Text());
  in.temperature = field("EditFieldTemperature");
  if (altitude == Altitude::Metres) in.altitude = Val(w.Get<PopupMenu>("PopupMenum").Text());
  if (altitude == Altitude::Feet) in.altitude = Val(w.Get<PopupMenu>("PopupMenuft").Text());
  in.frontal = field("TextFieldFrontal");
  return in;
}

void WriteTexts(const Window1& w, const model::ConvertedTexts& t, bool toUS) {
  w.Get<TextField>("EditFieldWeight").SetText(t.weight);
  w.Get<TextField>("EditFieldBladesnumber").SetText(t.blades);
  w.Get<TextField>("EditFieldRotorDia").SetText(t.diameter);
  // The two directions write the tip speed and the chord in opposite order.
  if (toUS) {
    w.Get<TextField>("EditFieldTipSpeed").SetText(t.tipSpeed);
    w.Get<TextField>("EditFieldBladeChord").SetText(t.chord);
  } else {
    w.Get<TextField>("EditFieldBladeChord").SetText(t.chord);
    w.Get<TextField>("EditFieldTipSpeed").SetText(t.tipSpeed);
  }
  w.Get<TextField>("EditFieldTemperature").SetText(t.temperature);
  w.Get<TextField>("TextFieldFrontal").SetText(t.frontal);
}

struct UnitLabels {
  const char* weight;
  const char* diameter;
  const char* chord;
  const char* power;
  const char* altitude;
  const char* temperature;
  const char* frontal;
  const char* tipSpeed;
};
constexpr UnitLabels kUSLabels{"Gross Weight (lb)", "Rotor Diameter (ft)", "Blade Chord (in)",
                               "Power (Hp and %)",  "Altitude (ft)",       "Temperature (deg F)",
                               "sqr feet",          "Tip Speed fps"};
constexpr UnitLabels kMetricLabels{"Gross Weight (kg)", "Rotor Diameter (m)", "Blade Chord (m)",
                                   "Power (Hp and %)",  "Altitude (m)",       "Temperature (deg C)",
                                   "  m2",              "Tip Speed m/s"};

void WriteLabels(const Window1& w, const UnitLabels& l) {
  w.Get<StaticText>("StaticText12").SetText(l.weight);
  w.Get<StaticText>("StaticText3").SetText(l.diameter);
  w.Get<StaticText>("StaticText5").SetText(l.chord);
  w.Get<StaticText>("StaticText22").SetText(l.power);
  w.Get<StaticText>("StaticText34").SetText(l.altitude);
  w.Get<StaticText>("StaticText35").SetText(l.temperature);
  w.Get<StaticText>("StaticTextFrontal").SetText(l.frontal);
  w.Get<StaticText>("StaticTextTipSpeed").SetText(l.tipSpeed);
}

}  // namespace

void Window1::Vakiot() { model::Vakiot(*this); }
void Window1::scale() { model::scale(*this); }
void Window1::Paramet() { cdho = Val(Get<TextField>("TextFieldDrag").Text()); }

void Window1::MetricUnits() {
  Get<PopupMenu>("PopupMenum").SetVisible(true);
  Get<PopupMenu>("PopupMenuft").SetVisible(false);
  model::MetricUnits(*this, ReadInputs(*this, Altitude::Metres));
  Get<StaticText>("StaticTextFrontal").SetText("  m2");
}

void Window1::USunits() {
  Get<PopupMenu>("PopupMenum").SetVisible(false);
  Get<PopupMenu>("PopupMenuft").SetVisible(true);
  model::USunits(*this, ReadInputs(*this, Altitude::Feet));
  Get<StaticText>("StaticTextFrontal").SetText("sqr feet");
}

void Window1::ReconversionToMetric() {
  model::ReconversionToMetric(*this, ReadInputs(*this, Altitude::None));
}

void Window1::PushButtonCalculate_Action() {
  scale();
  Vakiot();
  Paramet();
  if (Get<RadioButton>("ButtonMetric").Value()) {
    MetricUnits();
  } else {
    USunits();
    ReconversionToMetric();
  }
  Calculation();
}

void Window1::PushButtonClear_Action() {
  implicit::Window1()->Get<Canvas>("Canvas1").Refresh(true);
}

void Window1::Calculation() {
  model::CalculationResult result;
  model::Calculation(*this, Val(Get<TextField>("EditFieldPowerTail").Text()),
                     Val(Get<TextField>("TextFieldCapacity").Text()), result);
  Get<TextField>("TextFieldRpm").SetText(fw::Str(result.rpm));
  for (const model::Dot& dot : result.dots) {
    fw::Graphics& g = implicit::Window1()->Get<Canvas>("Canvas1").GetGraphics();
    g.SetForeColor(fw::RGB(23, 26, 255));
    g.SetPenWidth(3);
    g.SetPenHeight(3);
    // A coordinate that is no number has no place on the graph.
    if (dot.drawn) g.DrawOval(dot.x, dot.y, 7, 7);
  }
  Get<TextField>("TextFieldEndurange").SetText(fw::Str(result.endurance));
  if (Get<fw::CheckBox>("CheckBoxSpecs").Value()) {
    fw::Graphics& g = implicit::Window1()->Get<Canvas>("Canvas1").GetGraphics();
    g.SetForeColor(fw::RGB(250, 100, 55));
    g.DrawLine(result.topSpeed.x1, result.topSpeed.y1, result.topSpeed.x2, result.topSpeed.y2);
    g.DrawLine(result.climbRate.x1, result.climbRate.y1, result.climbRate.x2, result.climbRate.y2);
  }
}

void Window1::ConversionToUS() {
  MetricUnits();
  WriteLabels(*this, kUSLabels);
  const double G = Val(Get<TextField>("EditFieldWeight").Text());
  const double A = Val(Get<TextField>("TextFieldFrontal").Text());
  WriteTexts(*this, model::ConversionToUSTexts(G, A, *this), true);
}

void Window1::ConversionToMetric() {
  WriteLabels(*this, kMetricLabels);
  WriteTexts(*this, model::ConversionToMetric(*this, ReadInputs(*this, Altitude::None)), false);
}

void Window1::ButtonMetric_Action() {
  ConversionToMetric();
  Get<RadioButton>("ButtonMetric").SetEnabled(false);
  Get<RadioButton>("ButtonUS").SetEnabled(true);
  Get<PopupMenu>("PopupMenum").SetVisible(true);
  Get<PopupMenu>("PopupMenuft").SetVisible(false);
}

void Window1::ButtonUS_Action() {
  ConversionToUS();
  ReconversionToMetric();
  Get<RadioButton>("ButtonUS").SetEnabled(false);
  Get<RadioButton>("ButtonMetric").SetEnabled(true);
  Get<PopupMenu>("PopupMenum").SetVisible(false);
  Get<PopupMenu>("PopupMenuft").SetVisible(true);
}
