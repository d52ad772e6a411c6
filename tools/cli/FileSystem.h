// What the inspector's commands ask of the file system beyond reading a
// file: a directory's entries, making one, standard input as bytes.
// (tools/platform/FileSystem*.cpp)
#ifndef QUARN_TOOLS_CLI_FILESYSTEM_H
#define QUARN_TOOLS_CLI_FILESYSTEM_H

#include <cstddef>
#include <string>
#include <vector>

namespace quarn_tools {

struct DirectoryEntry {
  std::string name;
  bool isDirectory = false;
  bool isRegular = false;  // a regular file (links followed)
};

// The entries of `dir` but "." and "..", in no order; at most `most`.
// Empty when it cannot be listed.
std::vector<DirectoryEntry> ListDirectory(const std::string& dir, std::size_t most);

// Makes the directory `path` (its parent must exist). True when it is a
// directory afterwards.
bool MakeDirectory(const std::string& path);

// Standard input as bytes: no line-end translation.
void UseBinaryStandardInput();

// The separator the system writes between a directory and a name.
extern const char kPathSeparator;

}  // namespace quarn_tools

#endif
