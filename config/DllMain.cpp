// Loading the library does nothing but turn off the per-thread attach and
// detach notifications; the configuration object is made on request.
#include "util/platform/Win32.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) ::DisableThreadLibraryCalls(instance);
  return TRUE;
}
