// The one door into <windows.h>: every Windows source of the project comes
// in here, so that all of them see the system's headers the same way.
//
// - The target version is Windows 7, for the declarations of what later
//   systems added (slim locks, the firmware-table service); the DLLs still
//   load on Windows XP and Server 2003, because what those lack is looked
//   up at run time (LoadedRoutine below), never imported. The build passes
//   the same three settings to every source (cmake/QuarnOptions.cmake), so
//   that a header of the C runtime read before this one sees them too;
//   they are set here for a source built any other way.
// - Lean headers, no min and max macros, and Windows Sockets 2 before
//   <windows.h>.
// - A handle that closes itself, the run-time lookup, and the conversions
//   between the library's narrow texts (the ANSI code page) and the UTF-16
//   of the wide API.
//
// Headers of the system for one purpose (<winternl.h>, <tlhelp32.h>) come
// after this one, in the file that needs them.
#ifndef KQT_UTIL_PLATFORM_WIN32_H
#define KQT_UTIL_PLATFORM_WIN32_H

#if !defined(_WIN32)
#error "util/platform/Win32.h is for Windows builds only"
#endif

#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif

// clang-format off
#include <winsock2.h>  // before windows.h, which would bring in the old sockets header
#include <ws2tcpip.h>
#include <windows.h>
// clang-format on

#include <string>

namespace kqt {
namespace sys {

// A handle released at the end of its scope. `Traits` gives the handle's
// type, the value that stands for none, and how it is released:
//   using Handle = ...; static Handle Invalid(); static void Close(Handle);
template <class Traits>
class ScopedHandle {
 public:
  using Handle = typename Traits::Handle;
  explicit ScopedHandle(Handle handle = Traits::Invalid()) : m_handle(handle) {}
  ~ScopedHandle() {
    if (valid()) Traits::Close(m_handle);
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;

  Handle get() const { return m_handle; }
  bool valid() const { return m_handle != Traits::Invalid(); }
  // Hands the handle over to the caller, who releases it.
  Handle release() {
    const Handle handle = m_handle;
    m_handle = Traits::Invalid();
    return handle;
  }

 private:
  Handle m_handle;
};

// Files, snapshots and other handles that CreateFile and its kind return:
// INVALID_HANDLE_VALUE for none.
struct FileHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle handle) { ::CloseHandle(handle); }
};
using ScopedFileHandle = ScopedHandle<FileHandleTraits>;

// Sections, processes, threads, jobs: null for none.
struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle handle) { ::CloseHandle(handle); }
};
using ScopedKernelHandle = ScopedHandle<KernelHandleTraits>;

// A directory search of FindFirstFile.
struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle handle) { ::FindClose(handle); }
};
using ScopedFindHandle = ScopedHandle<FindHandleTraits>;

// A routine of an already loaded system module, looked up by name at run
// time: null when the module or the routine is missing.
template <class Function>
Function LoadedRoutine(const char* module, const char* name) {
  const HMODULE handle = ::GetModuleHandleA(module);
  return handle ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(handle, name))) : nullptr;
}

// The UTF-16 text of a narrow text of `codePage` (the ANSI code page unless
// told); empty when it does not convert.
inline std::wstring WideFromAnsi(const std::string& text, UINT codePage = CP_ACP) {
  if (text.empty()) return std::wstring();
  const int length = static_cast<int>(text.size());
  const int needed = ::MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
  if (needed <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(needed), L'\0');
  ::MultiByteToWideChar(codePage, 0, text.data(), length, &wide[0], needed);
  return wide;
}

// The narrow text of `codePage` (the ANSI code page unless told) of a
// UTF-16 text; empty when it does not convert.
inline std::string AnsiFromWide(const wchar_t* text, size_t length, UINT codePage = CP_ACP) {
  if (length == 0) return std::string();
  const int wideLength = static_cast<int>(length);
  const int needed = ::WideCharToMultiByte(codePage, 0, text, wideLength, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return std::string();
  std::string narrow(static_cast<size_t>(needed), '\0');
  ::WideCharToMultiByte(codePage, 0, text, wideLength, &narrow[0], needed, nullptr, nullptr);
  return narrow;
}

inline std::string AnsiFromWide(const std::wstring& text, UINT codePage = CP_ACP) {
  return AnsiFromWide(text.data(), text.size(), codePage);
}

// "/" for every "\" of a wide path: in UTF-16 a backslash is always one.
inline void SlashWide(std::wstring& text) {
  for (wchar_t& c : text)
    if (c == L'\\') c = L'/';
}

}  // namespace sys
}  // namespace kqt

#endif
