// How the INI reader divides a settings file into comments, section
// headers, keys and lines it passes over, step for step as it parses, so
// that what is said here of a file is what the reader makes of it.
//
// The settings read uses it to hand the reader the keys of the unnamed
// section alone (the only section read): the reader looks a key's section
// up by name for every key, so a long section name followed by many keys
// would otherwise cost the product of the two. The inspector uses it to
// say where each thing lies and what the reader passes over.
#ifndef QUARN_CONFIG_INISYNTAX_H
#define QUARN_CONFIG_INISYNTAX_H

#include <cstddef>
#include <functional>
#include <string>

namespace quarn {
namespace settings {

// The bytes [begin, end) of the content walked.
struct IniSpan {
  std::size_t begin = 0, end = 0;
  std::size_t size() const { return end - begin; }
  bool empty() const { return begin == end; }
};

struct IniItem {
  enum class Kind {
    kKey,                  // "key = value"
    kSectionHeader,        // "[name]"; an empty or blank name is the unnamed section again
    kBrokenSectionHeader,  // "[" and no "]" before the line ends: a section of no usable name follows
    kNoEquals,             // a line without "=": passed over
    kNothingBeforeEquals,  // "=..." with no key: passed over
  };
  Kind kind = Kind::kKey;
  // From the item's first character other than white space to the end of
  // its line. A header's "[" may be followed by blank lines before its
  // name: then the item spans them.
  IniSpan text;
  IniSpan key, value;  // kKey: as the reader keeps them, outer white space dropped
  // kKey: the name of the section the key is under; headers: the name they
  // give (a broken header: the text after "["). Empty: the unnamed section.
  IniSpan section;
};

struct IniWalk {
  bool byteOrderMark = false;  // the content began with a UTF-8 byte-order mark, skipped
  std::size_t end = 0;         // where the reader stopped: the first NUL byte from the start, or the end
};

using IniVisitor = std::function<void(const IniItem&)>;

// Walks `content` as the INI reader does, calling `visit` for each item in
// file order. Time linear in the size of the content, whatever its shape.
IniWalk WalkIni(const std::string& content, const IniVisitor& visit);
// The same from `start`, without looking for a byte-order mark: what the
// reader would make of the bytes after a NUL byte, had it gone on.
IniWalk WalkIniFrom(const std::string& content, std::size_t start, const IniVisitor& visit);

// The keys that the reader files under the unnamed section, one line
// "key=value" each, in file order. Read by the INI reader, this text gives
// every key of the unnamed section the value the whole file gives it, and
// costs no more than the walk.
std::string UnnamedSectionText(const std::string& content);

}  // namespace settings
}  // namespace quarn

#endif
