// The Windows entry point of VelSetup.exe.
#include <windows.h>

#include "app/win32/Win32Host.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  HardenDllSearch();  // before anything else can load a library
  TWin32StartupHost host;
  return RunVelSetup(host);
}
