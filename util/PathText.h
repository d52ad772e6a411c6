// Path arithmetic on narrow texts, without asking the file system.
//
// A path text is a byte string in the system's narrow encoding: UTF-8 or any
// bytes on POSIX, the ANSI code page on Windows (1252, 932, 936 ...). Texts
// are never converted: the bytes of every component are kept exactly. The
// only byte that needs care is the backslash, a separator on Windows but
// also the second byte of some double-byte characters (code pages 932, 936,
// 949, 950); a lead-byte test tells the two apart. "/" never occurs inside a
// character in those code pages.
//
// The normal form is absolute, "/"-separated, without ".", ".." or empty
// components and without a trailing separator, except for a bare root:
// "/" on POSIX; "C:/" or "//server/share" on Windows.
#ifndef KQT_UTIL_PATHTEXT_H
#define KQT_UTIL_PATHTEXT_H

#include <bitset>
#include <cstddef>
#include <string>

namespace kqt {
namespace path {

struct Style {
  bool windows = false;
  // The bytes that start a double-byte character: a value, so that styles
  // of several code pages may be used side by side.
  std::bitset<256> leadBytes;
};

// The text with every backslash that is a separator turned into "/"
// (Windows style); the text itself otherwise.
std::string Slashed(const std::string& text, const Style& style);

// The length of the root of a slashed text: 1 for "/x" (POSIX), 3 for
// "C:/x", the length of "//server/share" for a UNC path, 0 for a relative
// path. Windows texts such as "/x" (the current drive) and "C:x" (relative
// to drive C) are not absolute and give 0.
std::size_t RootLength(const std::string& slashed, const Style& style);

// The normal form of `text`; a relative text is taken relative to
// `workingDirectory`, itself in normal form (when that is empty, the result
// stays relative, though normal otherwise).
std::string Normal(const std::string& text, const std::string& workingDirectory, const Style& style);

// The parent of a normal path into `parent`; false (and `parent` untouched)
// at a root.
bool Parent(const std::string& normal, const Style& style, std::string& parent);

// `directory` (normal), "/", `name`; no second "/" after a bare root.
std::string Join(const std::string& directory, const std::string& name);

}  // namespace path
}  // namespace kqt

#endif
