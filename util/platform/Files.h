// The file-system questions of the kqt utility library, answered by the
// operating system (platform/FilesPosix.cpp or platform/FilesWin32.cpp).
//
// Paths are narrow texts as the library hands them out: on Windows in the
// ANSI code page, converted to UTF-16 for every call, so that the bytes of
// a name are never reinterpreted; on POSIX, bytes.
#ifndef KQT_UTIL_PLATFORM_FILES_H
#define KQT_UTIL_PLATFORM_FILES_H

#include <cstddef>
#include <cstdint>
#include <string>

#include "util/PathText.h"
#include "util/platform/ReadFile.h"

namespace kqt {
namespace sys {

enum class FileKind { kMissing, kRegular, kDirectory, kOther };

// How this system writes paths.
const path::Style& PathStyle();

// What lies at `path` (links followed).
FileKind KindOf(const std::string& path);

// Size in bytes of the regular file at `path`; false when there is none.
bool RegularFileSize(const std::string& path, std::uint64_t& size);

// Creates the directory `path` (its parent must exist): true when it was
// created by this call.
bool MakeDirectory(const std::string& path);

// The working directory in normal form; empty when the system does not say.
std::string WorkingDirectory();

// Whether two file names are the same name on this system: letter case
// aside on Windows, byte for byte elsewhere.
bool SameFileName(const std::string& a, const std::string& b);

}  // namespace sys
}  // namespace kqt

#endif
