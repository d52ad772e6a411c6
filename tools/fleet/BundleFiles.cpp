#include "fleet/BundleFiles.h"

#include <algorithm>

#include "bundle/InstallationFiles.h"
#include "cli/FileSystem.h"

namespace quarn_tools {
namespace {

// Folders are searched this deep: a link that loops ends there.
const int kDeepestFolder = 16;
// Entries read of one folder: far beyond a fleet's, and a bound all the same.
const std::size_t kMostEntries = std::size_t{1} << 22;

bool EndsWithJson(const std::string& name) {
  if (name.size() < 5) return false;
  std::string end = name.substr(name.size() - 5);
  for (char& c : end) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return end == ".json";
}

void Search(const std::string& dir, int depth, std::vector<std::string>& files) {
  if (depth > kDeepestFolder) return;
  std::vector<DirectoryEntry> entries = ListDirectory(dir, kMostEntries);
  std::sort(entries.begin(), entries.end(),
            [](const DirectoryEntry& a, const DirectoryEntry& b) { return a.name < b.name; });
  for (const DirectoryEntry& entry : entries) {
    const std::string path = dir + kPathSeparator + entry.name;
    if (entry.isDirectory)
      Search(path, depth + 1, files);
    else if (entry.isRegular && EndsWithJson(entry.name))
      files.push_back(path);
  }
}

}  // namespace

BundleFiles FindBundleFiles(const std::vector<std::string>& paths) {
  BundleFiles found;
  for (const std::string& path : paths) {
    const std::string kind = FileKind(path);
    if (kind == "a directory")
      Search(path, 0, found.files);
    else if (kind == "a regular file")
      found.files.push_back(path);
    else
      found.missing.emplace_back(path, kind == "missing" ? "no such file or folder" : "not a bundle: " + kind);
  }
  return found;
}

}  // namespace quarn_tools
