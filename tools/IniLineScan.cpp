#include "IniLineScan.h"

namespace quarn_tools {
namespace {

const char kByteOrderMark[] = "\xEF\xBB\xBF";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string TrimRight(const std::string& text) {
  std::string::size_type end = text.size();
  while (end > 0 && IsBlank(text[end - 1])) --end;
  return text.substr(0, end);
}

std::string Trim(const std::string& text) {
  std::string::size_type start = 0;
  while (start < text.size() && IsBlank(text[start])) ++start;
  return TrimRight(text.substr(start));
}

struct Scanner {
  IniScan& scan;
  std::string section;
  bool lost = false;

  // One line as the reader sees it (ended by LF, CR LF or a lone CR).
  void Line(const std::string& text, int line) {
    std::string::size_type at = 0;
    while (at < text.size() && IsBlank(text[at])) ++at;
    if (at == text.size()) return;
    if (text[at] == ';' || text[at] == '#') return;
    if (text[at] == '[') {
      const std::string::size_type close = text.find(']', at);
      if (close == std::string::npos) {
        // The reader keeps this text as the section name of what follows,
        // up to the next good header.
        scan.brokenHeaders.push_back({line, text, "a section header without \"]\""});
        section = Trim(text.substr(at + 1));
        if (section.empty()) section = "[";
        return;
      }
      section = Trim(text.substr(at + 1, close - at - 1));
      return;
    }
    const std::string::size_type equals = text.find('=', at);
    if (equals == std::string::npos) {
      if (!lost) scan.ignored.push_back({line, text, "no \"=\""});
      return;
    }
    if (equals == at) {
      if (!lost) scan.ignored.push_back({line, text, "nothing before \"=\""});
      return;
    }
    scan.keys.push_back({line, section, TrimRight(text.substr(at, equals - at)), Trim(text.substr(equals + 1)), lost});
  }
};

}  // namespace

IniScan ScanIniLines(const std::string& content) {
  IniScan scan;
  Scanner scanner{scan, "", false};
  std::string::size_type at = 0;
  if (content.compare(0, 3, kByteOrderMark) == 0) {
    scan.byteOrderMark = true;
    at = 3;
  }
  int line = 1;
  std::string text;
  while (at <= content.size()) {
    const char c = at < content.size() ? content[at] : '\n';
    if (c == '\n' || c == '\r') {
      scanner.Line(text, line);
      text.clear();
      if (at == content.size()) break;
      if (c == '\r' && at + 1 < content.size() && content[at + 1] == '\n') {
        ++at;
      } else if (c == '\r') {
        if (scan.loneCrLines.empty() || scan.loneCrLines.back() != line) scan.loneCrLines.push_back(line);
        ++at;
        continue;  // the same line for people, a new one for the reader
      }
      ++line;
      ++at;
      continue;
    }
    if (c == '\0' && !scanner.lost) {
      // The reader stops here; what follows is scanned only to say what is
      // lost.
      scanner.Line(text, line);
      text.clear();
      scan.nulLine = line;
      scanner.lost = true;
      scanner.section.clear();
      ++at;
      continue;
    }
    text += c;
    ++at;
  }
  return scan;
}

}  // namespace quarn_tools
