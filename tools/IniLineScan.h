// Where things are in a settings file: the lines the INI reader takes as
// keys, section headers, comments or nothing, with line numbers for people.
// The values themselves are taken from the library's reader, never from
// here; this scan follows the reader's line rules so that it can say which
// line a key came from and what was passed over.
#ifndef QUARN_TOOLS_INILINESCAN_H
#define QUARN_TOOLS_INILINESCAN_H

#include <string>
#include <vector>

namespace quarn_tools {

struct ScannedKey {
  int line;             // counted by LF, from 1
  std::string section;  // "" for the unnamed section
  std::string key, value;
  bool lost;  // after a NUL byte: the reader never gets there
};

struct ScannedLine {
  int line;
  std::string text;
  std::string why;
};

struct IniScan {
  bool byteOrderMark = false;
  int nulLine = 0;                         // the line of the first NUL byte, 0 for none
  std::vector<int> loneCrLines;            // lines holding a CR not followed by LF
  std::vector<ScannedKey> keys;            // in file order
  std::vector<ScannedLine> ignored;        // lines the reader passes over
  std::vector<ScannedLine> brokenHeaders;  // "[" without "]": what follows is under no usable section
};

IniScan ScanIniLines(const std::string& content);

}  // namespace quarn_tools

#endif
