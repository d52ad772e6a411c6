#include "config/IniSyntax.h"

#include <cstring>

namespace quarn {
namespace settings {
namespace {

const char kByteOrderMark[] = "\xEF\xBB\xBF";

// The reader's white space takes in line ends: a blank line is skipped
// with the spaces around it.
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }
bool IsComment(char c) { return c == ';' || c == '#'; }

// The reader's parse, from `at` to `end` (where its data ends). Each step
// below is one step of the reader's loop; where the reader writes an end
// mark into its copy of the data, a span ends here.
void Walk(const char* data, std::size_t at, std::size_t end, const IniVisitor& visit) {
  IniSpan section;  // the unnamed section to begin with
  auto skipSpace = [&] {
    while (at < end && IsSpace(data[at])) ++at;
  };
  auto toLineEnd = [&] {
    while (at < end && !IsLineEnd(data[at])) ++at;
  };
  auto trimmedEnd = [&](std::size_t begin, std::size_t stop) {
    while (stop > begin && IsSpace(data[stop - 1])) --stop;
    return stop;
  };
  for (;;) {
    skipSpace();
    if (at == end) return;
    const std::size_t first = at;
    IniItem item;

    if (IsComment(data[at])) {
      // A comment runs to its line's end; the comments that follow it, blank
      // lines between them or not, are each such a line.
      toLineEnd();
      continue;
    }

    if (data[at] == '[') {
      ++at;
      skipSpace();  // over line ends too: the name may stand on a later line
      const std::size_t nameBegin = at;
      while (at < end && data[at] != ']' && !IsLineEnd(data[at])) ++at;
      if (at == end || data[at] != ']') {
        // The reader keeps the text after "[" as the name of what follows;
        // it is empty only where the data ends right there.
        section = {nameBegin, at};
        item.kind = IniItem::Kind::kBrokenSectionHeader;
        item.text = {first, at};
        item.section = section;
        visit(item);
        continue;
      }
      section = {nameBegin, trimmedEnd(nameBegin, at)};
      ++at;
      toLineEnd();  // what follows "]" on its line is passed over
      item.kind = IniItem::Kind::kSectionHeader;
      item.text = {first, at};
      item.section = section;
      visit(item);
      continue;
    }

    while (at < end && data[at] != '=' && !IsLineEnd(data[at])) ++at;
    if (at == end || data[at] != '=') {
      item.kind = IniItem::Kind::kNoEquals;
      item.text = {first, at};
      visit(item);
      continue;
    }
    if (at == first) {
      toLineEnd();
      item.kind = IniItem::Kind::kNothingBeforeEquals;
      item.text = {first, at};
      visit(item);
      continue;
    }
    item.key = {first, trimmedEnd(first, at)};
    ++at;
    while (at < end && (data[at] == ' ' || data[at] == '\t')) ++at;
    const std::size_t valueBegin = at;
    toLineEnd();
    item.value = {valueBegin, trimmedEnd(valueBegin, at)};
    item.kind = IniItem::Kind::kKey;
    item.text = {first, at};
    item.section = section;
    visit(item);
  }
}

IniWalk WalkBetween(const std::string& content, std::size_t start, bool lookForMark, const IniVisitor& visit) {
  IniWalk walk;
  if (lookForMark && content.size() >= start + 3 && content.compare(start, 3, kByteOrderMark) == 0) {
    walk.byteOrderMark = true;
    start += 3;
  }
  const std::size_t nul = content.find('\0', start);
  walk.end = nul == std::string::npos ? content.size() : nul;
  Walk(content.data(), start, walk.end, visit);
  return walk;
}

}  // namespace

IniWalk WalkIni(const std::string& content, const IniVisitor& visit) { return WalkBetween(content, 0, true, visit); }

IniWalk WalkIniFrom(const std::string& content, std::size_t start, const IniVisitor& visit) {
  return WalkBetween(content, start, false, visit);
}

std::string UnnamedSectionText(const std::string& content) {
  // Led by a line end, so that a key that begins with the bytes of a
  // byte-order mark (after the one the file began with) is not taken for
  // one again.
  std::string text = "\n";
  text.reserve(content.size() + 2);
  WalkIni(content, [&](const IniItem& item) {
    if (item.kind != IniItem::Kind::kKey || !item.section.empty()) return;
    text.append(content, item.key.begin, item.key.size());
    text += '=';
    text.append(content, item.value.begin, item.value.size());
    text += '\n';
  });
  return text;
}

}  // namespace settings
}  // namespace quarn
