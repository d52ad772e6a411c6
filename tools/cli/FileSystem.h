// What the inspector's commands ask of the file system beyond reading a
// file: a directory's entries, making one, writing files safely, standard
// input as bytes.
// (tools/platform/FileSystem*.cpp)
#ifndef QUARN_TOOLS_CLI_FILESYSTEM_H
#define QUARN_TOOLS_CLI_FILESYSTEM_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace quarn_tools {

struct DirectoryEntry {
  std::string name;
  bool isDirectory = false;
  bool isRegular = false;  // a regular file (links followed)
  bool isLink = false;     // a symbolic link (or another reparse point)
  std::string kind;        // FileKind's words for what it leads to, "a dangling link" for nothing
};

// The entries of `dir` but "." and "..", in no order; at most `most`.
// Empty when it cannot be listed (`listed` false then, when given).
std::vector<DirectoryEntry> ListDirectory(const std::string& dir, std::size_t most, bool* listed = nullptr);

// What tells one file or folder from every other on the machine, links
// followed: its device and inode (volume and file index on Windows).
using FileIdentity = std::pair<std::uint64_t, std::uint64_t>;
bool IdentityOf(const std::string& path, FileIdentity& identity);

// A folder for new files, held open while they are made: a link put in its
// place after it was checked changes nothing of where they go.
class NewFolder {
 public:
  NewFolder() = default;
  ~NewFolder();
  NewFolder(const NewFolder&) = delete;
  NewFolder& operator=(const NewFolder&) = delete;

  // Makes the directory `path` (its parent must exist), or takes an empty
  // one that is no link. False, with why in words, otherwise.
  bool Make(const std::string& path, std::string& why);
  // Creates `name` in it, which must not exist (not even as a link), and
  // writes `bytes`. False, with why in words.
  bool WriteNewFile(const std::string& name, const std::string& bytes, std::string& why) const;

 private:
  std::string m_path;
  // A descriptor of the folder; on Windows a handle that keeps it from
  // being moved or removed.
  std::intptr_t m_handle = -1;
};

// Writes `bytes` as `path` whole or not at all: into a new file beside it,
// flushed, then renamed over it (a link there is replaced, not followed).
// False, with why in words ("no space left on the device", "a read-only
// file system", "permission denied"), leaving what was there.
bool ReplaceWholeFile(const std::string& path, const std::string& bytes, std::string& why);

// Creates `path`, which must not exist (not even as a link), and writes
// `bytes`. False, with why in words.
bool WriteNewFile(const std::string& path, const std::string& bytes, std::string& why);

// Standard input as bytes: no line-end translation.
void UseBinaryStandardInput();

// The separator the system writes between a directory and a name.
extern const char kPathSeparator;

}  // namespace quarn_tools

#endif
