#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <atomic>
#include <cstdio>

#include "bundle/InstallationFiles.h"
#include "cli/FileSystem.h"
#include "util/platform/Win32.h"

namespace quarn_tools {

const char kPathSeparator = '\\';

std::vector<DirectoryEntry> ListDirectory(const std::string& dir, std::size_t most, bool* listed) {
  std::vector<DirectoryEntry> entries;
  WIN32_FIND_DATAA found;
  const kqt::sys::ScopedFindHandle search(::FindFirstFileA((dir + "\\*").c_str(), &found));
  if (listed) *listed = search.valid();
  if (!search.valid()) return entries;
  do {
    DirectoryEntry entry;
    entry.name = found.cFileName;
    if (entry.name == "." || entry.name == "..") continue;
    entry.isLink = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    entry.kind = FileKind(dir + "\\" + entry.name);
    if (entry.isLink && entry.kind == "missing") entry.kind = "a dangling link";
    entry.isDirectory = entry.kind == "a directory";
    entry.isRegular = entry.kind == "a regular file";
    entries.push_back(std::move(entry));
  } while (entries.size() < most && ::FindNextFileA(search.get(), &found));
  return entries;
}

bool IdentityOf(const std::string& path, FileIdentity& identity) {
  const kqt::sys::ScopedFileHandle file(::CreateFileW(kqt::sys::WideFromAnsi(path).c_str(), 0,
                                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info;
  if (!file.valid() || !::GetFileInformationByHandle(file.get(), &info)) return false;
  identity = {info.dwVolumeSerialNumber, (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
  return true;
}

namespace {

std::string WhyNot(DWORD error) {
  switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return "no space left on the device";
    case ERROR_WRITE_PROTECT:
      return "a read-only file system";
    case ERROR_ACCESS_DENIED:
      return "permission denied";
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return "something (a file or a link) is there already";
    default:
      return "Windows error " + std::to_string(error);
  }
}

}  // namespace

// CREATE_NEW: nothing may be there, a link included; written and flushed
// to the disk, or removed.
bool WriteNewFile(const std::string& path, const std::string& bytes, std::string& why) {
  const std::wstring wide = kqt::sys::WideFromAnsi(path);
  DWORD error = ERROR_SUCCESS;
  {
    const kqt::sys::ScopedFileHandle file(::CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file.valid()) {
      why = WhyNot(::GetLastError());
      return false;
    }
    for (std::size_t done = 0; done < bytes.size() && error == ERROR_SUCCESS;) {
      const DWORD most = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
      DWORD wrote = 0;
      if (!::WriteFile(file.get(), bytes.data() + done, most, &wrote, nullptr) || wrote == 0) error = ::GetLastError();
      done += wrote;
    }
    if (error == ERROR_SUCCESS && !::FlushFileBuffers(file.get())) error = ::GetLastError();
  }
  if (error == ERROR_SUCCESS) return true;
  ::DeleteFileW(wide.c_str());
  why = WhyNot(error);
  return false;
}

NewFolder::~NewFolder() {
  if (m_handle != -1) ::CloseHandle(reinterpret_cast<HANDLE>(m_handle));
}

// Held open without FILE_SHARE_DELETE: while it is, the folder can be
// neither moved nor removed, so no link takes its place.
bool NewFolder::Make(const std::string& path, std::string& why) {
  const std::wstring wide = kqt::sys::WideFromAnsi(path);
  const bool made = ::CreateDirectoryW(wide.c_str(), nullptr) != 0;
  const DWORD error = made ? ERROR_SUCCESS : ::GetLastError();
  if (!made && error != ERROR_ALREADY_EXISTS) {
    why = WhyNot(error);
    return false;
  }
  const HANDLE folder =
      ::CreateFileW(wide.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (folder == INVALID_HANDLE_VALUE) {
    why = WhyNot(::GetLastError());
    return false;
  }
  m_handle = reinterpret_cast<std::intptr_t>(folder);
  m_path = path;
  BY_HANDLE_FILE_INFORMATION info;
  if (!::GetFileInformationByHandle(folder, &info) || !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    why = "it is there already, and no folder (or a link)";
    return false;
  }
  bool listed = false;
  if (ListDirectory(path, 1, &listed).empty() && listed) return true;
  why = listed ? "the folder is not empty (name a new one: nothing of an earlier extract may stay)"
               : "the folder cannot be read";
  return false;
}

bool NewFolder::WriteNewFile(const std::string& name, const std::string& bytes, std::string& why) const {
  return quarn_tools::WriteNewFile(m_path + kPathSeparator + name, bytes, why);
}

bool ReplaceWholeFile(const std::string& path, const std::string& bytes, std::string& why) {
  static std::atomic<unsigned> made{0};
  const std::string temporary =
      path + ".tmp-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(made.fetch_add(1));
  if (!WriteNewFile(temporary, bytes, why)) return false;
  if (::MoveFileExW(kqt::sys::WideFromAnsi(temporary).c_str(), kqt::sys::WideFromAnsi(path).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  why = WhyNot(::GetLastError());
  ::DeleteFileW(kqt::sys::WideFromAnsi(temporary).c_str());
  return false;
}

void UseBinaryStandardInput() { _setmode(_fileno(stdin), _O_BINARY); }

}  // namespace quarn_tools
