// veldakor.exe: the drives through the kernel's own device I/O.
#include <windows.h>

#include "app/application.h"
#include "drive/kernel32devices.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    InstallDevices(&Kernel32Devices());
    return RunApplication(instance);
}
