// The demonstration drive set built into veldakor-sim.exe: a healthy SSD, a
// disk with reallocated sectors, one with pending sectors, and one whose
// temperature climbs past 45 degrees and back over the polls.
#pragma once

#include "sim/simulator.h"

void AddDemoDrives(Simulator& simulator);
