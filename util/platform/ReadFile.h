// Reading a whole small file, safely: opened first, examined through the
// open handle, read with a bound. Shared by the kqt utility library and the
// configuration library (each builds the source into itself).
#ifndef KQT_UTIL_PLATFORM_READFILE_H
#define KQT_UTIL_PLATFORM_READFILE_H

#include <cstddef>
#include <string>

namespace kqt {
namespace sys {

enum class ReadStatus { kOk, kMissing, kNotRegular, kTooLarge, kFailed };

// Reads the whole file at `path` into `content` when it is a regular file of
// at most `limit` bytes. The file is opened first and then examined, never
// examined and then opened, so a FIFO or device put in its place never
// blocks the caller; nothing but a regular file is read.
ReadStatus ReadRegularFile(const std::string& path, std::size_t limit, std::string& content);

}  // namespace sys
}  // namespace kqt

#endif
