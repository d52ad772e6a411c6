#include <algorithm>

#include "cli/InstallationChoice.h"
#include "util/platform/Win32.h"

namespace quarn_tools {

std::vector<std::string> Subdirectories(const std::string& dir) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  const kqt::sys::ScopedFindHandle search(::FindFirstFileA((dir + "\\*").c_str(), &found));
  if (!search.valid()) return names;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) names.push_back(name);
  } while (names.size() < kMostListed && ::FindNextFileA(search.get(), &found));
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace quarn_tools
