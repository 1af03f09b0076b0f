// The model state that the main window carries as its fields. Every routine
// of the model hands values to the next one through these fields only.
#pragma once

#include <cstdint>

namespace model {

struct Record {
  double scx = 0;     // px, x of the graph origin on Canvas1
  double scy = 0;     // px, y of the graph origin (the canvas's bottom edge)
  double sck = 0;     // px per m/s of forward speed
  double Arunko = 0;  // m², frontal area carried by one rotor
  double Dp = 0;      // N, parasite drag at the current sweep step
  double Pmoot = 0;   // hp, one motor at the selected percentage
  double temp = 0;    // °C
  double W = 0;       // kg carried by one rotor
  std::int32_t b = 0; // blades per rotor
  double R = 0;       // m, rotor radius
  double c = 0;       // m, blade chord
  double alt = 0;     // m
  double cdho = 0;    // fuselage drag coefficient
  double pi = 0;      // the circle constant as the model uses it: 3.142
  double g = 0;       // m/s²
  double roo = 0;     // kg/m³ at sea level
  double Po = 0;      // hp, one motor at altitude
  double Pt = 0;      // hp lost to the efficiency loss
  double Proot = 0;   // hp available to one rotor
  double rateclimb = 0;  // m/s, published climb rate of the chosen example
  double maxspeed = 0;   // m/s, published top speed of the chosen example
  // Blade profile-drag coefficient. Nothing sets it, so the profile term of
  // the power required vanishes; the published figures assume exactly that.
  double Cdo = 0;
  double VTip = 0;    // m/s
  double omega = 0;   // rev/min
  double Duct = 1.0;  // 1.0 plain propeller, 1.3 ducted fan
  std::int32_t motors = 0;  // number of rotors
};

}  // namespace model
