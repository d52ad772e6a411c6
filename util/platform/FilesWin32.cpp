// File-system questions on Windows, asked through the wide API: a narrow
// path is converted from the ANSI code page once, never reinterpreted.
#include <algorithm>
#include <vector>

#include "util/StringUtil.h"
#include "util/platform/Files.h"
#include "util/platform/Win32File.h"

namespace kqt {
namespace sys {
namespace {

// Opens a file (not a directory) for `access`; INVALID_HANDLE_VALUE when
// that cannot be done.
HANDLE OpenFile(const std::string& path, DWORD access) {
  const std::wstring wide = WideFromAnsi(path);
  if (wide.empty()) return INVALID_HANDLE_VALUE;
  return ::CreateFileW(wide.c_str(), access, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

const path::Style& PathStyle() {
  static const path::Style style = [] {
    path::Style windows;
    windows.windows = true;
    for (unsigned byte = 0; byte < 256; ++byte)
      windows.leadBytes[byte] = ::IsDBCSLeadByte(static_cast<BYTE>(byte)) != FALSE;
    return windows;
  }();
  return style;
}

FileKind KindOf(const std::string& path) {
  const std::wstring wide = WideFromAnsi(path);
  if (wide.empty()) return FileKind::kMissing;
  const DWORD attributes = ::GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return FileKind::kMissing;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return FileKind::kDirectory;
  ScopedFileHandle file(
      ::CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
  return file.valid() && IsRegular(file.get()) ? FileKind::kRegular : FileKind::kOther;
}

bool RegularFileSize(const std::string& path, std::uint64_t& size) {
  ScopedFileHandle file(OpenFile(path, FILE_READ_ATTRIBUTES));
  LARGE_INTEGER bytes;
  if (!file.valid() || !IsRegular(file.get()) || !::GetFileSizeEx(file.get(), &bytes) || bytes.QuadPart < 0)
    return false;
  size = static_cast<std::uint64_t>(bytes.QuadPart);
  return true;
}

bool MakeDirectory(const std::string& path) {
  const std::wstring wide = WideFromAnsi(path);
  return !wide.empty() && ::CreateDirectoryW(wide.c_str(), nullptr) != FALSE;
}

std::string WorkingDirectory() {
  const DWORD needed = ::GetCurrentDirectoryW(0, nullptr);
  if (needed == 0) return std::string();
  std::wstring wide(needed, L'\0');
  const DWORD length = ::GetCurrentDirectoryW(needed, &wide[0]);
  if (length == 0 || length >= needed) return std::string();
  wide.resize(length);
  SlashWide(wide);
  return path::Normal(AnsiFromWide(wide), std::string(), PathStyle());
}

bool SameFileName(const std::string& a, const std::string& b) {
  // The ASCII letters' case, as the process list compares names.
  return a.size() == b.size() && CStringUtil::stringStartWith(a, b, true);
}

}  // namespace sys
}  // namespace kqt
