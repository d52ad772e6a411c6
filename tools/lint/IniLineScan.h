// Where things are in a settings file, with line numbers for people: the
// keys, section headers and passed-over lines exactly as the library's INI
// walk finds them (config/IniSyntax.h), and the bytes the reader treats in
// ways an editor does not show (a byte-order mark, a NUL byte, a CR
// without LF). The values themselves come from the library's reader, never
// from here.
#ifndef QUARN_TOOLS_LINT_INILINESCAN_H
#define QUARN_TOOLS_LINT_INILINESCAN_H

#include <cstdint>
#include <string>
#include <vector>

#include "config/IniSyntax.h"

namespace quarn_tools {

struct ScannedKey {
  int line;                          // counted by LF, from 1
  int keyColumn, valueColumn;        // bytes of the line, from 1
  std::uint32_t key, value;          // where the name and the value begin in IniScan::text
  quarn::settings::IniSpan section;  // its section's name in the content; empty: the unnamed section
  bool lost;                         // after a NUL byte: the reader never gets there
};

struct ScannedLine {
  int line;
  quarn::settings::IniSpan text;  // in the content
  const char* why;
};

struct IniScan {
  // The content, with an end mark after each key's name and value, so that
  // both can be used as C texts without a copy each.
  std::string text;
  bool byteOrderMark = false;
  int nulLine = 0;                         // the line of the first NUL byte, 0 for none
  std::vector<int> loneCrLines;            // lines holding a CR not followed by LF
  std::vector<ScannedKey> keys;            // in file order
  std::vector<ScannedLine> ignored;        // lines the reader passes over
  std::vector<ScannedLine> brokenHeaders;  // "[" without "]": what follows is under no usable section

  const char* Key(const ScannedKey& key) const { return text.c_str() + key.key; }
  const char* Value(const ScannedKey& key) const { return text.c_str() + key.value; }
  // Where a span of the content (a section's name, a line) begins; its bytes
  // are as written.
  const char* Data(quarn::settings::IniSpan span) const { return text.data() + span.begin; }
};

IniScan ScanIniLines(const std::string& content);

// The name of the wide encoding a file is written in ("UTF-16
// little-endian", ...): its byte-order mark says so, or, without one, its
// first characters have zero bytes where ASCII text in that encoding has
// them. Null for a file of narrow text. The reader takes such a file as
// bytes and stops at its first zero byte.
const char* WideEncodingOf(const std::string& content);

// What a file is when it is not text, in words ("an ELF executable",
// "binary data (a NUL byte at offset 12)"); empty for text. Known by its
// first bytes (executables, archives, images), or by a NUL byte and many
// control bytes among its first 8000. Ask after WideEncodingOf: wide text
// has NUL bytes too.
std::string NotTextKind(const std::string& content);

// Whether a file holds nothing but white space and line ends.
bool IsBlankText(const std::string& content);

}  // namespace quarn_tools

#endif
