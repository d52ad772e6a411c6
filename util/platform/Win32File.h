// Small helpers for file handles on Windows. Windows only.
#ifndef KQT_UTIL_PLATFORM_WIN32FILE_H
#define KQT_UTIL_PLATFORM_WIN32FILE_H

#include <windows.h>

namespace kqt {
namespace sys {

// Closes a handle at the end of a scope.
class Handle {
 public:
  explicit Handle(HANDLE handle) : m_handle(handle) {}
  ~Handle() {
    if (m_handle != INVALID_HANDLE_VALUE) ::CloseHandle(m_handle);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return m_handle; }
  bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }

 private:
  HANDLE m_handle;
};

// A disk file that is not a directory: no pipe, console or other device.
inline bool IsRegular(HANDLE file) {
  if (::GetFileType(file) != FILE_TYPE_DISK) return false;
  BY_HANDLE_FILE_INFORMATION info;
  return ::GetFileInformationByHandle(file, &info) && !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

}  // namespace sys
}  // namespace kqt

#endif
