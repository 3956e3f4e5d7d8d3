// The demonstration drive set built into veldakor-sim.exe: a healthy SSD, a
// disk with reallocated sectors, one with pending sectors, one whose
// temperature climbs past 45 degrees and back over the polls, and a
// healthy NVMe drive.
#pragma once

#include "sim/simulator.h"

void AddDemoDrives(Simulator& simulator);
