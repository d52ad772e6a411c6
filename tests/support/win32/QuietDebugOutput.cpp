// GoogleTest hands every failure and skip message to a debugger as well
// (OutputDebugStringA). Under emulated 32-bit Wine the exception that
// carries it there cuts the process off from the Wine server, and the test
// crashed instead of saying why it failed or skipped. Where the runner says
// it emulates (QUARN_WINE_EMULATED), the test programs' calls go nowhere;
// elsewhere on to the system's routine.
#include <cstdlib>

#include "util/platform/Win32.h"

namespace {

using DebugStringRoutine = void(WINAPI*)(LPCSTR);

void WINAPI DebugString(LPCSTR text) {
  const char* emulated = std::getenv("QUARN_WINE_EMULATED");
  if (emulated && *emulated) return;
  static const DebugStringRoutine system =
      kqt::sys::LoadedRoutine<DebugStringRoutine>("kernel32.dll", "OutputDebugStringA");
  if (system) system(text);
}

}  // namespace

// The import slot its callers jump through: defined in the program, it is
// taken instead of kernel32's.
#if defined(_WIN64)
#define QUARN_DEBUG_STRING_SLOT "__imp_OutputDebugStringA"
#else
#define QUARN_DEBUG_STRING_SLOT "__imp__OutputDebugStringA@4"
#endif
extern "C" {
extern DebugStringRoutine quarn_debug_string_slot __asm__(QUARN_DEBUG_STRING_SLOT);
DebugStringRoutine quarn_debug_string_slot = DebugString;
}
