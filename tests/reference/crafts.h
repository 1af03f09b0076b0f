// Crafts that the tests and the benchmarks run through the calculation, and
// the way the main window's handler prepares the record for one of them.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "model/core.h"
#include "model/record.h"

namespace reference {

struct Craft {
  std::string name;
  model::InputValues in;  // metric unless `us`
  bool us = false;
  double cdho = 0;
  double duct = 1.0;
  double powerTail = 0;  // % lost
  double capacity = 0;   // battery, kWh
  double maxspeed = 0;
  double rateclimb = 0;
};

// Constants, scale, drag and the reading of the fields, in the order the
// Calculate button does them.
inline model::Record Prepare(const Craft& craft) {
  model::Record r;
  model::Vakiot(r);
  model::scale(r);
  r.cdho = craft.cdho;
  if (craft.us) {
    model::USunits(r, craft.in);
    model::ReconversionToMetric(r, craft.in);
  } else {
    model::MetricUnits(r, craft.in);
  }
  r.Duct = craft.duct;
  r.maxspeed = craft.maxspeed;
  r.rateclimb = craft.rateclimb;
  return r;
}

// weight, rotors, blades, diameter, chord, power, loss %, temperature, tip
// speed, capacity, drag, frontal area, duct; full power at sea level.
inline Craft MetricCraft(std::string name, double weight, double rotors, double blades,
                         double diameter, double chord, double power, double loss,
                         double temperature, double tip, double capacity, double drag,
                         double frontal, double duct) {
  Craft c;
  c.name = std::move(name);
  c.in.weight = weight;
  c.in.rotors = rotors;
  c.in.blades = blades;
  c.in.diameter = diameter;
  c.in.chord = chord;
  c.in.tipSpeed = tip;
  c.in.power = power;
  c.in.powerPct = 100;
  c.in.temperature = temperature;
  c.in.altitude = 0;
  c.in.frontal = frontal;
  c.cdho = drag;
  c.duct = duct;
  c.powerTail = loss;
  c.capacity = capacity;
  return c;
}

// The texts the window opens with.
inline Craft DesignCraft() {
  return MetricCraft("Design", 450, 4, 2, 1.6, 0.1, 25, 2, 20, 175, 17.5, 0.35, 1.5, 1.0);
}

inline std::vector<Craft> ExampleCrafts() {
  return {
      MetricCraft("Ehang", 340, 8, 2, 1.6, 0.1, 25, 3, 20, 175, 17, .35, 1.3, 1.0),
      MetricCraft("Volocopter", 450, 18, 2, 1.5, 0.1, 5.2, 1, 20, 155, 17.5, .7, 1.5, 1.3),
      MetricCraft("Kivo", 300, 8, 2, 1.5, 0.1, 13, 1, 20, 205, 10, .34, 0.7, 1.0),
      MetricCraft("AirBusPopup", 450, 4, 2, 2, 0.1, 25, 1, 20, 150, 17.5, 1.0, .7, 1.3),
      MetricCraft("RC", 2, 4, 2, .2, 0.02, 0.15, 1, 20, 155, 0.1, 1.0, .01, 1.0),
  };
}

}  // namespace reference
