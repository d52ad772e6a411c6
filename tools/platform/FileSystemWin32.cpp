#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "cli/FileSystem.h"
#include "util/platform/Win32.h"

namespace quarn_tools {

const char kPathSeparator = '\\';

std::vector<DirectoryEntry> ListDirectory(const std::string& dir, std::size_t most) {
  std::vector<DirectoryEntry> entries;
  WIN32_FIND_DATAA found;
  const kqt::sys::ScopedFindHandle search(::FindFirstFileA((dir + "\\*").c_str(), &found));
  if (!search.valid()) return entries;
  do {
    DirectoryEntry entry;
    entry.name = found.cFileName;
    if (entry.name == "." || entry.name == "..") continue;
    entry.isDirectory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.isRegular = !entry.isDirectory && (found.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) == 0;
    entries.push_back(std::move(entry));
  } while (entries.size() < most && ::FindNextFileA(search.get(), &found));
  return entries;
}

bool MakeDirectory(const std::string& path) {
  ::CreateDirectoryA(path.c_str(), nullptr);
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void UseBinaryStandardInput() { _setmode(_fileno(stdin), _O_BINARY); }

}  // namespace quarn_tools
