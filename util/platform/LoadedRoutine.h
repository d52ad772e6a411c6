// A routine of an already loaded system module, looked up by name at run
// time (null when absent): for what later Windows versions added, so that
// the DLLs still load on older ones. Windows only.
#ifndef KQT_UTIL_PLATFORM_LOADEDROUTINE_H
#define KQT_UTIL_PLATFORM_LOADEDROUTINE_H

#include <windows.h>

namespace kqt {
namespace sys {

template <class Function>
Function LoadedRoutine(const char* module, const char* name) {
  HMODULE handle = ::GetModuleHandleA(module);
  return handle ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(handle, name))) : nullptr;
}

}  // namespace sys
}  // namespace kqt

#endif
