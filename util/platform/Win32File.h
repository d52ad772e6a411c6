// What the file sources share on Windows: what a regular file is, and the
// sharing every open allows. Windows only.
#ifndef KQT_UTIL_PLATFORM_WIN32FILE_H
#define KQT_UTIL_PLATFORM_WIN32FILE_H

#include "util/platform/Win32.h"

namespace kqt {
namespace sys {

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
