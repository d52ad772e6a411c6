#include "lint/IniLineScan.h"

#include <algorithm>

namespace quarn_tools {
namespace {

using quarn::settings::IniItem;

// Line numbers of offsets met in increasing order: one pass over the text
// for the whole file.
class LineCounter {
 public:
  explicit LineCounter(const std::string& text) : m_text(text) {}
  int LineAt(std::size_t offset) {
    for (; m_at < offset && m_at < m_text.size(); ++m_at)
      if (m_text[m_at] == '\n') {
        ++m_line;
        m_lineStart = m_at + 1;
      }
    return m_line;
  }
  // The byte of its line an offset of the last line asked for is, from 1.
  int ColumnOf(std::size_t offset) const { return static_cast<int>(offset - m_lineStart + 1); }

 private:
  const std::string& m_text;
  std::size_t m_at = 0, m_lineStart = 0;
  int m_line = 1;
};

struct Scanner {
  IniScan& scan;
  LineCounter lines;
  bool lost = false;

  void operator()(const IniItem& item) {
    const int line = lines.LineAt(item.text.begin);
    switch (item.kind) {
      case IniItem::Kind::kKey:
        // End marks where the reader writes its own: after the name and the
        // value.
        scan.text[item.key.end] = '\0';
        scan.text[item.value.end] = '\0';
        scan.keys.push_back({line, lines.ColumnOf(item.key.begin), lines.ColumnOf(item.value.begin),
                             static_cast<std::uint32_t>(item.key.begin), static_cast<std::uint32_t>(item.value.begin),
                             item.section, lost});
        break;
      case IniItem::Kind::kSectionHeader:
        break;
      case IniItem::Kind::kBrokenSectionHeader:
        if (!lost) scan.brokenHeaders.push_back({line, item.text, "a section header without \"]\""});
        break;
      case IniItem::Kind::kNoEquals:
        if (!lost) scan.ignored.push_back({line, item.text, "no \"=\""});
        break;
      case IniItem::Kind::kNothingBeforeEquals:
        if (!lost) scan.ignored.push_back({line, item.text, "nothing before \"=\""});
        break;
    }
  }
};

void FindLoneCarriageReturns(const std::string& content, std::size_t from, IniScan& scan) {
  int line = 1;
  for (std::size_t at = 0; at < content.size(); ++at) {
    if (content[at] == '\n') ++line;
    if (at < from || content[at] != '\r' || (at + 1 < content.size() && content[at + 1] == '\n')) continue;
    if (scan.loneCrLines.empty() || scan.loneCrLines.back() != line) scan.loneCrLines.push_back(line);
  }
}

// Whether the first `length` bytes (at least two characters of `width`)
// are zero in every place of a character but the one at `nonzero`.
bool ZeroesOfWideText(const std::string& content, std::size_t width, std::size_t nonzero) {
  const std::size_t length = std::min<std::size_t>(content.size(), 256) / width * width;
  if (length < 2 * width) return false;
  for (std::size_t at = 0; at < length; ++at) {
    const bool zero = content[at] == '\0';
    if ((at % width == nonzero) == zero) return false;
  }
  return true;
}

}  // namespace

const char* WideEncodingOf(const std::string& content) {
  static const char kUtf32Little[] = {'\xFF', '\xFE', '\0', '\0'};
  static const char kUtf32Big[] = {'\0', '\0', '\xFE', '\xFF'};
  const auto startsWith = [&](const char* mark, std::size_t size) { return content.compare(0, size, mark, size) == 0; };
  if (startsWith(kUtf32Little, sizeof kUtf32Little)) return "UTF-32 little-endian";
  if (startsWith(kUtf32Big, sizeof kUtf32Big)) return "UTF-32 big-endian";
  if (startsWith("\xFF\xFE", 2)) return "UTF-16 little-endian";
  if (startsWith("\xFE\xFF", 2)) return "UTF-16 big-endian";
  if (ZeroesOfWideText(content, 4, 0)) return "UTF-32 little-endian";
  if (ZeroesOfWideText(content, 4, 3)) return "UTF-32 big-endian";
  if (ZeroesOfWideText(content, 2, 0)) return "UTF-16 little-endian";
  if (ZeroesOfWideText(content, 2, 1)) return "UTF-16 big-endian";
  return nullptr;
}

std::string NotTextKind(const std::string& content) {
  static const struct {
    const char* magic;
    std::size_t size;
    const char* kind;
  } kMagic[] = {
      {"\x7f"
       "ELF",
       4, "an ELF executable"},
      {"\xfe\xed\xfa", 3, "a Mach-O executable"},
      {"\xcf\xfa\xed\xfe", 4, "a Mach-O executable"},
      {"PK\x03\x04", 4, "a ZIP archive"},
      {"\x1f\x8b", 2, "a gzip archive"},
      {"7z\xbc\xaf\x27\x1c", 6, "a 7-Zip archive"},
      {"\x89PNG", 4, "a PNG image"},
      {"%PDF-", 5, "a PDF document"},
  };
  for (const auto& known : kMagic)
    if (content.compare(0, known.size, known.magic, known.size) == 0) return known.kind;
  // "MZ" alone may begin a key; an executable's header has NUL bytes soon.
  const std::size_t nul = content.find('\0');
  if (content.compare(0, 2, "MZ") == 0 && nul < 64) return "a Windows executable";
  // Else by its first 8000 bytes: a NUL among them, and control bytes (NUL
  // included; tab, line ends, form feed and ESC aside) more than one in 16.
  // A text file with a stray NUL stays text, and is told what it loses.
  const std::size_t head = std::min<std::size_t>(content.size(), 8000);
  if (nul >= head) return std::string();
  std::size_t controls = 0;
  for (std::size_t at = 0; at < head; ++at) {
    const unsigned char c = static_cast<unsigned char>(content[at]);
    if (c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != 0x1b) ++controls;
  }
  if (controls * 16 > head) return "binary data (a NUL byte at offset " + std::to_string(nul) + ")";
  return std::string();
}

bool IsBlankText(const std::string& content) { return content.find_first_not_of(" \t\r\n") == std::string::npos; }

IniScan ScanIniLines(const std::string& content) {
  IniScan scan;
  // One byte more for the end mark of a value that ends the file.
  scan.text.reserve(content.size() + 1);
  scan.text = content;
  scan.text += '\0';
  Scanner scanner{scan, LineCounter(content), false};
  const quarn::settings::IniWalk walk = quarn::settings::WalkIni(content, std::ref(scanner));
  scan.byteOrderMark = walk.byteOrderMark;
  FindLoneCarriageReturns(content, walk.byteOrderMark ? 3 : 0, scan);
  if (walk.end < content.size()) {
    // The reader stops at a NUL byte: what follows is walked only to say
    // which keys are lost, one stretch between NUL bytes at a time.
    scan.nulLine = scanner.lines.LineAt(walk.end);
    scanner.lost = true;
    for (std::size_t at = walk.end; at < content.size();)
      at = quarn::settings::WalkIniFrom(content, at + 1, std::ref(scanner)).end;
  }
  return scan;
}

}  // namespace quarn_tools
