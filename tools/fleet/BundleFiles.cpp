#include "fleet/BundleFiles.h"

#include <algorithm>
#include <map>
#include <set>

#include "bundle/InstallationFiles.h"
#include "cli/FileSystem.h"
#include "report/Utf8Text.h"

namespace quarn_tools {
namespace {

// Folders are searched this deep.
const int kDeepestFolder = 16;
// Entries read of one folder: far beyond a fleet's, and a bound all the same.
const std::size_t kMostEntries = std::size_t{1} << 22;
// Folders above a named one, looked for: deeper than any path is.
const int kMostAbove = 256;

bool EndsWithJson(const std::string& name) {
  return name.size() >= 5 && AsciiLower(name.substr(name.size() - 5)) == ".json";
}

class Walk {
 public:
  explicit Walk(BundleFiles& found) : m_found(found) {}

  // A file named or found: read once, by its identity.
  void AddFile(const std::string& path) {
    FileIdentity identity;
    if (!IdentityOf(path, identity)) return Skip(path, "its identity cannot be read");
    const auto first = m_files.emplace(identity, path);
    if (first.second)
      m_found.files.push_back(path);
    else
      Skip(path, "the same file as " + first.first->second + ", read once");
  }

  // The folders that hold `dir` (to the root): a link to one leads back
  // around the walk.
  void NoteFoldersAbove(const std::string& dir) {
    std::string above = dir;
    FileIdentity identity;
    for (int i = 0; i < kMostAbove && IdentityOf(above, identity) && m_above.insert(identity).second; ++i)
      above += std::string(1, kPathSeparator) + "..";
  }

  void Search(const std::string& dir, int depth) {
    FileIdentity identity;
    if (!IdentityOf(dir, identity)) return Skip(dir, "unreadable folder");
    if (!m_entered.insert(identity).second) return Skip(dir, "a folder already searched (a link leads to it again)");
    bool listed = false;
    std::vector<DirectoryEntry> entries = ListDirectory(dir, kMostEntries, &listed);
    if (!listed) return Skip(dir, "unreadable folder");
    std::sort(entries.begin(), entries.end(),
              [](const DirectoryEntry& a, const DirectoryEntry& b) { return a.name < b.name; });
    for (const DirectoryEntry& entry : entries) {
      const std::string path = dir + kPathSeparator + entry.name;
      if (entry.isDirectory)
        Enter(path, entry, depth + 1);
      else if (!EndsWithJson(entry.name))
        continue;
      else if (entry.isRegular)
        AddFile(path);
      else
        Skip(path, "not a bundle: " + std::string(entry.isLink ? "a link to " : "") +
                       (entry.kind == "a dangling link" ? "nothing" : entry.kind));
    }
  }

 private:
  void Skip(const std::string& path, const std::string& why) { m_found.skipped.emplace_back(path, why); }

  void Enter(const std::string& path, const DirectoryEntry& entry, int depth) {
    FileIdentity identity;
    if (depth > kDeepestFolder)
      Skip(path, "too deep: folders are searched " + std::to_string(kDeepestFolder) + " levels down");
    else if (entry.isLink && IdentityOf(path, identity) && m_above.count(identity))
      Skip(path, "a link to a folder that holds the fleet's: not followed");
    else
      Search(path, depth);
  }

  BundleFiles& m_found;
  std::set<FileIdentity> m_entered, m_above;
  std::map<FileIdentity, std::string> m_files;
};

}  // namespace

BundleFiles FindBundleFiles(const std::vector<std::string>& paths) {
  BundleFiles found;
  Walk walk(found);
  for (const std::string& path : paths)
    if (FileKind(path) == "a directory") walk.NoteFoldersAbove(path + kPathSeparator + "..");
  for (const std::string& path : paths) {
    const std::string kind = FileKind(path);
    if (kind == "a directory")
      walk.Search(path, 0);
    else if (kind == "a regular file")
      walk.AddFile(path);
    else if (kind == "missing")
      found.missing.emplace_back(path, "no such file or folder");
    else
      found.refused.emplace_back(path, "not a bundle: " + kind);
  }
  return found;
}

}  // namespace quarn_tools
