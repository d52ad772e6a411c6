#include "bundle/InstallationFiles.h"
#include "util/platform/Win32.h"

namespace quarn_tools {

std::string FileKind(const std::string& path) {
  std::wstring wide = kqt::sys::WideFromAnsi(path);
  const DWORD attributes = ::GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return "missing";
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return "a directory";
  if (attributes & FILE_ATTRIBUTE_DEVICE) return "a device";
  // A device name ("NUL", "CON") has no attributes of its own: ask its type.
  const kqt::sys::ScopedFileHandle file(
      ::CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
  if (file.valid()) {
    switch (::GetFileType(file.get())) {
      case FILE_TYPE_CHAR:
        return "a character device";
      case FILE_TYPE_PIPE:
        return "a pipe";
      case FILE_TYPE_DISK:
        return "a regular file";
      default:
        break;
    }
  }
  return "not a regular file";
}

}  // namespace quarn_tools
