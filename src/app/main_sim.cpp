// veldakor-sim.exe: the same program over simulated drives: the drive set
// in the folder "simdrives" of the current directory, else the built-in
// demonstration set.
#include <windows.h>

#include "app/application.h"
#include "sim/demoset.h"
#include "sim/simulator.h"

namespace {

class ForwardingSimulator : public Simulator {
public:
    // The probe's lines reach the debugger as they would from real drives.
    void DebugOutput(const char* text) override {
        Simulator::DebugOutput(text);
        OutputDebugStringA(text);
    }
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    static ForwardingSimulator simulator;
    simulator.SetLogLimit(1000);
    if (simulator.LoadFolder("simdrives").drives.empty()) AddDemoDrives(simulator);
    InstallDevices(&simulator);
    return RunApplication(instance);
}
