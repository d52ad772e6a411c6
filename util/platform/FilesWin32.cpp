// File-system questions on Windows, asked through the wide API: a narrow
// path is converted from the ANSI code page once, never reinterpreted.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "util/platform/AnsiText.h"
#include "util/platform/Files.h"

namespace kqt {
namespace sys {
namespace {

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

bool IsAnsiLeadByte(unsigned char byte) { return ::IsDBCSLeadByte(byte) != FALSE; }

const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Opens a file (not a directory) for `access`; INVALID_HANDLE_VALUE when
// that cannot be done.
HANDLE OpenFile(const std::string& path, DWORD access) {
  const std::wstring wide = WideFromAnsi(path);
  if (wide.empty()) return INVALID_HANDLE_VALUE;
  return ::CreateFileW(wide.c_str(), access, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// A disk file that is not a directory: no pipe, console or other device.
bool IsRegular(HANDLE file) {
  if (::GetFileType(file) != FILE_TYPE_DISK) return false;
  BY_HANDLE_FILE_INFORMATION info;
  return ::GetFileInformationByHandle(file, &info) && !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsMissingError(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME ||
         error == ERROR_BAD_NETPATH;
}

}  // namespace

const path::Style& PathStyle() {
  static const path::Style style = [] {
    path::Style windows;
    windows.windows = true;
    windows.isLeadByte = IsAnsiLeadByte;
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
  Handle file(::CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
  return file.valid() && IsRegular(file.get()) ? FileKind::kRegular : FileKind::kOther;
}

bool RegularFileSize(const std::string& path, std::uint64_t& size) {
  Handle file(OpenFile(path, FILE_READ_ATTRIBUTES));
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

ReadStatus ReadRegularFile(const std::string& path, std::size_t limit, std::string& content) {
  Handle file(OpenFile(path, GENERIC_READ));
  if (!file.valid()) {
    const DWORD error = ::GetLastError();
    if (IsMissingError(error)) return ReadStatus::kMissing;
    // A directory cannot be opened as a file.
    return KindOf(path) == FileKind::kDirectory ? ReadStatus::kNotRegular : ReadStatus::kFailed;
  }
  if (!IsRegular(file.get())) return ReadStatus::kNotRegular;
  LARGE_INTEGER size;
  if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return ReadStatus::kFailed;
  if (static_cast<std::uint64_t>(size.QuadPart) > limit) return ReadStatus::kTooLarge;

  // One byte more than the size, to notice a file that grew past the limit.
  std::string bytes(static_cast<std::size_t>(size.QuadPart) + 1, '\0');
  std::size_t have = 0;
  for (;;) {
    if (have == bytes.size()) {
      if (bytes.size() > limit) return ReadStatus::kTooLarge;
      bytes.resize(bytes.size() < limit / 2 ? bytes.size() * 2 : limit + 1);
    }
    DWORD chunk = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - have, 1u << 20));
    if (!::ReadFile(file.get(), &bytes[have], want, &chunk, nullptr)) return ReadStatus::kFailed;
    if (chunk == 0) break;
    have += chunk;
  }
  if (have > limit) return ReadStatus::kTooLarge;
  bytes.resize(have);
  content.swap(bytes);
  return ReadStatus::kOk;
}

}  // namespace sys
}  // namespace kqt
