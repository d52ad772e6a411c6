// Reading a whole small file on Windows, through the wide API.
#include <algorithm>
#include <cstdint>

#include "util/platform/ReadFile.h"
#include "util/platform/Win32File.h"

namespace kqt {
namespace sys {
namespace {

bool IsMissingError(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME ||
         error == ERROR_BAD_NETPATH;
}

}  // namespace

ReadStatus ReadRegularFile(const std::string& path, std::size_t limit, std::string& content) {
  const std::wstring wide = WideFromAnsi(path);
  if (wide.empty()) return ReadStatus::kMissing;
  ScopedFileHandle file(
      ::CreateFileW(wide.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    const DWORD error = ::GetLastError();
    if (IsMissingError(error)) return ReadStatus::kMissing;
    // A directory cannot be opened as a file.
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    const bool directory = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    return directory ? ReadStatus::kNotRegular : ReadStatus::kFailed;
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
