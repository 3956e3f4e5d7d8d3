// The program from its entry to its end, whatever device system it reads
// the drives through.
#pragma once

#include <windows.h>

// Takes the single-instance guard, sets up the process-wide state, runs the
// main window and cleans up. Returns 1 in every case.
int RunApplication(HINSTANCE instance);
