// The GDI and USER objects this process holds, for tests that check that a
// resource is given back: GetGuiResources where it works; under Wine, whose
// GetGuiResources answers 0, by asking for every handle of the process's
// tables (Wine accepts a handle without its generation bits).
#pragma once

#include <windows.h>

struct GuiCounts {
    DWORD gdi;
    DWORD user;
    bool operator==(const GuiCounts& other) const { return gdi == other.gdi && user == other.user; }
};

GuiCounts CountGuiObjects();

// Rounds of the loops that check that nothing is kept: enough for one
// object a round to show. VELDAKOR_SOAK_ROUNDS asks for more (the long
// soak, docs/benchmarks.md).
int LeakRounds();
