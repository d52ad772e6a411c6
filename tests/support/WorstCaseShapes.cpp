#include "support/WorstCaseShapes.h"

#include <cstdio>

namespace quarn_test {
namespace {

// Appends `line` to `text` while the file stays within `bytes`.
void Fill(std::string& text, std::size_t bytes, const std::string& line) {
  if (line.empty()) return;
  const std::size_t room = bytes > text.size() ? bytes - text.size() : 0;
  text.reserve(text.size() + room);
  for (std::size_t n = room / line.size(); n > 0; --n) text += line;
}

std::string Plain(std::size_t bytes) {
  std::string text = "defaultinstall=standard\n";
  char line[32];
  for (int i = 0;; ++i) {
    const int n = std::snprintf(line, sizeof line, "k%06d=1\n", i % 1000000);
    if (text.size() + static_cast<std::size_t>(n) > bytes) break;
    text.append(line, static_cast<std::size_t>(n));
  }
  return text;
}

// Half the file one section name, the rest keys under it.
std::string LongSectionName(std::size_t bytes) {
  std::string text = "defaultinstall=standard\n[" + std::string(bytes / 2, 'S') + "]\n";
  Fill(text, bytes, "a=\n");
  return text;
}

// Names of a thousand bytes that differ only at their end.
std::string DistinctLongKeys(std::size_t bytes) {
  std::string text = "defaultinstall=standard\n";
  const std::string stem(1000, 'k');
  char tail[32];
  for (int i = 0;; ++i) {
    const int n = std::snprintf(tail, sizeof tail, "%06d=1\n", i);
    if (text.size() + stem.size() + static_cast<std::size_t>(n) > bytes) break;
    text += stem;
    text.append(tail, static_cast<std::size_t>(n));
  }
  return text;
}

std::string RepeatedKey(std::size_t bytes) {
  std::string text = "defaultinstall=standard\n";
  Fill(text, bytes, "loglevel=3\n");
  return text;
}

// One name of 16 KiB, given again and again.
std::string RepeatedLongKey(std::size_t bytes) {
  std::string text = "defaultinstall=standard\n";
  Fill(text, bytes, std::string(16384, 'k') + "=1\n");
  return text;
}

std::string HugeValue(std::size_t bytes) {
  std::string text = "defaultinstall=standard\nwaf_cfg=";
  Fill(text, bytes - 1, "v");
  return text + "\n";
}

// Both list keys, each half the file: `serviceItem` and `updateItem` again
// and again, "|" between.
std::string BothLists(std::size_t bytes, const std::string& serviceItem, const std::string& updateItem) {
  std::string text = "defaultinstall=standard\nsrv_domain=" + serviceItem;
  Fill(text, bytes / 2, "|" + serviceItem);
  text += "\nupdate_srv_domain=" + updateItem;
  Fill(text, bytes - 1, "|" + updateItem);
  return text + "\n";
}

// A million empty items.
std::string ListSeparators(std::size_t bytes) { return BothLists(bytes, "", ""); }

// Half a million one-letter servers.
std::string ListItems(std::size_t bytes) {
  std::string text = "defaultinstall=standard\nsrv_domain=a";
  Fill(text, bytes - 1, "|a");
  return text + "\n";
}

// Half a million servers whose names are no UTF-8: each is a text the
// JSON report must mark, with its bytes, under its own pointer.
std::string UndecodableListItems(std::size_t bytes) { return BothLists(bytes, "\xff", "\xfe"); }

std::string ManySectionHeaders(std::size_t bytes) {
  std::string text = "defaultinstall=standard\n";
  char line[32];
  for (int i = 0;; ++i) {
    const int n = std::snprintf(line, sizeof line, "[s%06d]\n", i % 1000000);
    if (text.size() + static_cast<std::size_t>(n) > bytes) break;
    text.append(line, static_cast<std::size_t>(n));
  }
  return text;
}

// A section and back to the unnamed one, again and again.
std::string SectionsAndBack(std::size_t bytes) {
  std::string text = "defaultinstall=standard\n";
  Fill(text, bytes, "[s]\nloglevel=1\n[]\nloglevel=2\n");
  return text;
}

std::string LinesWithoutEquals(std::size_t bytes) {
  std::string text = "defaultinstall=standard\n";
  Fill(text, bytes, "x\n");
  return text;
}

std::string BrokenHeaders(std::size_t bytes) {
  std::string text = "defaultinstall=standard\n";
  Fill(text, bytes, "[\n");
  return text;
}

// Distinct keys for half the file, then one server list of `item` again and
// again: every item a finding of the check, under a file of many names.
std::string KeysThenItems(std::size_t bytes, const std::string& item) {
  std::string text = Plain(bytes / 2) + "srv_domain=" + item;
  Fill(text, bytes - 1, "|" + item);
  return text + "\n";
}
std::string KeysThenRejectedItems(std::size_t bytes) { return KeysThenItems(bytes, "-"); }
std::string KeysThenRepeatedItems(std::size_t bytes) { return KeysThenItems(bytes, "a"); }

}  // namespace

const std::vector<SettingsShape>& SettingsShapes() {
  static const std::vector<SettingsShape> shapes = {
      {"plain", "distinct short keys, one a line", Plain},
      {"long_section_name", "a section name of half the file, then 'a=' lines", LongSectionName},
      {"distinct_long_keys", "keys of 1000 bytes differing at the end", DistinctLongKeys},
      {"repeated_key", "'loglevel=3' again and again", RepeatedKey},
      {"repeated_long_key", "one key of 16 KiB again and again", RepeatedLongKey},
      {"huge_value", "one value of the whole file", HugeValue},
      {"list_separators", "each list key half the file of '|'", ListSeparators},
      {"list_items", "one list of one-letter items", ListItems},
      {"undecodable_list_items", "both lists of one-byte items that are no UTF-8", UndecodableListItems},
      {"many_section_headers", "'[s000001]' lines", ManySectionHeaders},
      {"sections_and_back", "'[s]' and '[]' in turn, a key under each", SectionsAndBack},
      {"lines_without_equals", "'x' lines", LinesWithoutEquals},
      {"broken_headers", "'[' lines", BrokenHeaders},
      {"keys_then_rejected_items", "distinct keys, then a list of items no host name", KeysThenRejectedItems},
      {"keys_then_repeated_items", "distinct keys, then a list of one item repeated", KeysThenRepeatedItems},
  };
  return shapes;
}

}  // namespace quarn_test
