#include "SettingsCheck.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <map>

#include "IniLineScan.h"
#include "ServerItems.h"
#include "config/SettingsRules.h"
#include "util/platform/ReadFile.h"

namespace quarn_tools {
namespace {

namespace S = quarn::settings;
using Json = nlohmann::ordered_json;

const char kSettingsLabel[] = "cli_config.ini";

// The forms people mean a switch by. The library decides by the first
// character alone, so "ture" is true and "nope" false: a switch written in
// another form is worth a look.
bool IsPlainSwitch(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  for (const char* form : {"1", "0", "true", "false", "yes", "no", "on", "off"})
    if (text == form) return true;
  return false;
}

// Whether a value is wrapped in quotes, which the library keeps.
bool IsQuoted(const std::string& value) {
  return value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
}

// Whether a value ends in what looks like a comment: ";" or "#" after white
// space. The library keeps it in the value.
bool HasTrailingComment(const std::string& value) {
  for (std::size_t at = 1; at < value.size(); ++at)
    if ((value[at] == ';' || value[at] == '#') && (value[at - 1] == ' ' || value[at - 1] == '\t')) return true;
  return false;
}

// At most this many findings of one code are listed for a file; the rest
// are counted in one more finding. A file of a hundred thousand keys under
// a section is one mistake, not a hundred thousand things to read.
const int kMostListedPerCode = 100;
// Texts quoted in a message (a key, a value, a section's name, a line) are
// cut to this many bytes: a message stays a line, whatever the file holds.
const std::size_t kMostQuotedBytes = 60;
// Lists of line numbers or names in a message: the first ones, and how
// many in all.
const std::size_t kMostListedItems = 10;

// The text, cut to its first bytes and "..." where it is longer. Only
// what is kept is copied: a section's name is quoted once per key under it.
std::string Excerpt(const char* text, std::size_t size) {
  if (size <= kMostQuotedBytes) return std::string(text, size);
  // Cut before a UTF-8 continuation byte rather than inside a character.
  std::size_t cut = kMostQuotedBytes;
  while (cut > kMostQuotedBytes - 4 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return std::string(text, cut) + "...";
}
std::string Excerpt(const std::string& text) { return Excerpt(text.data(), text.size()); }

std::string Quote(const std::string& text) { return "\"" + text + "\""; }

// A text of the file in a message: quoted by its first bytes, with its
// size where it is longer.
std::string Cited(const char* text, std::size_t size) {
  std::string quoted = "\"" + Excerpt(text, size) + "\"";
  if (size > kMostQuotedBytes) quoted += " (" + std::to_string(size) + " bytes)";
  return quoted;
}
std::string Cited(const std::string& text) { return Cited(text.data(), text.size()); }

// How many items a list value splits into, and how many of them are empty,
// without making them.
struct ItemCount {
  std::size_t items = 1;
  std::ptrdiff_t empty = 0;
};
ItemCount CountItems(const std::string& value) {
  ItemCount count;
  std::size_t start = 0;
  for (std::size_t at = 0; at <= value.size(); ++at) {
    if (at < value.size() && value[at] != '|') continue;
    if (at == start) ++count.empty;
    if (at < value.size()) ++count.items;
    start = at + 1;
  }
  return count;
}

template <typename Item, typename Show>
std::string BoundedList(const std::vector<Item>& items, Show show) {
  std::string text;
  for (std::size_t i = 0; i < items.size() && i < kMostListedItems; ++i) text += (i ? ", " : "") + show(items[i]);
  if (items.size() > kMostListedItems) text += " and " + std::to_string(items.size() - kMostListedItems) + " more";
  return text;
}

std::string LineList(const std::vector<int>& lines) {
  return BoundedList(lines, [](int line) { return std::to_string(line); });
}

std::string DefaultText(const S::Key& key) {
  switch (key.kind) {
    case S::Kind::kInteger:
      return std::to_string(key.numberDefault);
    case S::Kind::kBoolean:
      return key.numberDefault ? "true" : "false";
    default:
      return Quote(key.textDefault);
  }
}

std::string ValueText(const S::Reading& reading) {
  switch (reading.key->kind) {
    case S::Kind::kInteger:
      return std::to_string(reading.number);
    case S::Kind::kBoolean:
      return reading.flag ? "true" : "false";
    default:
      return reading.text;
  }
}

// Why a key holds its default, in words; "" when the file's value is used.
std::string WhyDefault(const S::Reading& reading) {
  const S::Key& key = *reading.key;
  const std::string theDefault = "the default " + DefaultText(key);
  switch (reading.origin) {
    case S::Origin::kFile:
      return reading.saturated ? "beyond the 32-bit range: cut to " + std::to_string(reading.number) : "";
    case S::Origin::kMissing:
      return "not given: " + theDefault;
    case S::Origin::kEmpty:
      return "empty: " + theDefault;
    case S::Origin::kNotANumber:
      return "not a number: " + theDefault;
    case S::Origin::kTrailingCharacters:
      return "characters after the number: " + theDefault;
    case S::Origin::kTooLong:
      return "64 characters or more: " + theDefault;
    case S::Origin::kOutOfBounds:
      return "outside " + std::to_string(key.lowest) +
             (key.highest == INT_MAX ? std::string(" and up") : " to " + std::to_string(key.highest)) + ": " +
             theDefault;
    case S::Origin::kNotABoolean:
      return "by its first characters neither true (1, t, y, on) nor false (0, f, n, of): " + theDefault;
  }
  return "";
}

// The keys of the unnamed section that the reader sees, grouped by name as
// the reader compares names: each group in file order, the groups in the
// order of their first key. Sorting places costs n log n however many keys
// share a name.
struct NameGroups {
  std::vector<std::vector<std::size_t>> groups;  // places in IniScan::keys
  std::vector<bool> firstOfName;                 // per key: the first of its name

  explicit NameGroups(const IniScan& scan) : firstOfName(scan.keys.size(), false) {
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < scan.keys.size(); ++i)
      if (!scan.keys[i].lost && scan.keys[i].section.empty()) order.push_back(i);
    const S::KeyNameLess less;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
      return less(scan.Key(scan.keys[a]), scan.Key(scan.keys[b]));
    });
    for (std::size_t i = 0; i < order.size(); ++i) {
      if (i == 0 || less(scan.Key(scan.keys[order[i - 1]]), scan.Key(scan.keys[order[i]]))) {
        groups.emplace_back();
        firstOfName[order[i]] = true;
      }
      groups.back().push_back(order[i]);
    }
    std::sort(groups.begin(), groups.end(), [](const std::vector<std::size_t>& a, const std::vector<std::size_t>& b) {
      return a.front() < b.front();
    });
  }

  // The line of the last key of that name (the one the reader keeps), 0
  // for none.
  int LineOf(const IniScan& scan, const char* name) const {
    for (const std::vector<std::size_t>& group : groups)
      if (S::SameKeyName(scan.Key(scan.keys[group.front()]), name)) return scan.keys[group.back()].line;
    return 0;
  }
};

// One file of the check: its path and label, and its scan.
struct FileOfCheck {
  const CheckedFile& file;
  IniScan scan;
  NameGroups names;
  explicit FileOfCheck(const CheckedFile& given, bool scanned)
      : file(given), scan(scanned ? ScanIniLines(given.content) : IniScan()), names(scan) {}
  int LineOf(const char* name) const { return names.LineOf(scan, name); }
};

class Checker {
 public:
  explicit Checker(CheckResult& result) : m_result(result) {}

  void Add(Severity severity, const std::string& code, const std::string& path, int line, const std::string& key,
           const std::string& message) {
    Tally& tally = m_tallies[{path, code}];
    tally.severity = severity;
    if (++tally.count > kMostListedPerCode) return;
    m_result.findings.push_back({severity, code, path, line, key, message, 0});
  }

  // One finding more for each code whose findings were not all listed; it
  // counts for them.
  void AddUnlisted() {
    for (const auto& entry : m_tallies) {
      const Tally& tally = entry.second;
      if (tally.count <= kMostListedPerCode) continue;
      const int more = tally.count - kMostListedPerCode;
      m_result.findings.push_back({tally.severity, entry.first.second, entry.first.first, 0, "",
                                   std::to_string(more) + " more finding(s) like these, not listed one by one",
                                   more - 1});
    }
  }

  // A file written in UTF-16 or UTF-32: the reader stops at its first zero
  // byte. Said once, instead of what its zero bytes and line ends would
  // make of every line.
  bool CheckEncoding(const CheckedFile& file) {
    const char* encoding = WideEncodingOf(file.content);
    if (!encoding) return false;
    Add(Severity::kError, "wide_encoding", file.path, 0, "",
        std::string("is written in ") + encoding +
            ": the reader takes bytes of the system's code page and stops at the first zero byte, so it finds no "
            "key at all; save the file as ANSI or UTF-8");
    return true;
  }

  // What applies to both files: their bytes and lines, and the keys a file
  // gives more than once.
  void CheckLines(const FileOfCheck& f) {
    const IniScan& scan = f.scan;
    const std::string& path = f.file.path;
    if (scan.byteOrderMark)
      Add(Severity::kWarning, "byte_order_mark", path, 1, "",
          "starts with a UTF-8 byte-order mark: the reader skips it, but reads the texts as bytes of the system's "
          "code page, so UTF-8 texts beyond ASCII come out wrong");
    if (scan.nulLine) {
      std::vector<const ScannedKey*> lost;
      for (const ScannedKey& key : scan.keys)
        if (key.lost) lost.push_back(&key);
      Add(Severity::kError, "nul_byte", path, scan.nulLine, "",
          "a NUL byte: the reader stops there" +
              (lost.empty() ? std::string() : "; keys lost: " + BoundedList(lost, [&](const ScannedKey* key) {
                                                return Excerpt(std::string(scan.Key(*key)));
                                              })));
    }
    if (!scan.loneCrLines.empty())
      Add(Severity::kWarning, "lone_cr", path, scan.loneCrLines.front(), "",
          "CR without LF on line(s) " + LineList(scan.loneCrLines) +
              ": the reader ends a line at each, editors may show one line");
    for (const ScannedLine& line : scan.brokenHeaders)
      Add(Severity::kError, "broken_section_header", path, line.line, "",
          Cited(scan.Data(line.text), line.text.size()) + " is " + line.why +
              ": the keys after it, up to the next header, are not read");
    for (const ScannedLine& line : scan.ignored)
      Add(Severity::kWarning, "ignored_line", path, line.line, "",
          Cited(scan.Data(line.text), line.text.size()) + " has " + line.why + ": the reader passes over it");

    // Keys given more than once in the unnamed section: the last one wins.
    for (const std::vector<std::size_t>& group : f.names.groups) {
      if (group.size() < 2) continue;
      std::vector<int> lines;
      for (std::size_t i = 0; i < group.size() && i < kMostListedItems; ++i) lines.push_back(scan.keys[group[i]].line);
      const ScannedKey& last = scan.keys[group.back()];
      const std::string name = scan.Key(scan.keys[group.front()]);
      std::string given = LineList(lines);
      if (group.size() > lines.size()) given += " and " + std::to_string(group.size() - lines.size()) + " more";
      Add(Severity::kWarning, "duplicate_key", path, last.line, name,
          Cited(name) + " is given on lines " + given + ": the last one (" + Cited(scan.Value(last)) + ") is used");
    }
  }

  // Keys the file gives that its reader does not read.
  void CheckKeyNames(const FileOfCheck& f, bool isOverride) {
    const IniScan& scan = f.scan;
    const std::string& path = f.file.path;
    const std::string& label = f.file.label;
    std::vector<std::string> known;
    if (isOverride) {
      for (S::KeyId id : S::kOverrideKeys) known.push_back(S::SettingsKey(id).name);
    } else {
      for (std::size_t i = 0; i < S::kKeyCount; ++i) known.push_back(S::SettingsKey(static_cast<S::KeyId>(i)).name);
    }
    for (std::size_t i = 0; i < scan.keys.size(); ++i) {
      const ScannedKey& key = scan.keys[i];
      if (key.lost) continue;
      const char* name = scan.Key(key);
      const bool isKnown = isOverride ? S::IsOverrideKey(name) : S::FindSettingsKey(name) != nullptr;
      if (!key.section.empty()) {
        Add(isKnown ? Severity::kError : Severity::kWarning, "key_under_section", path, key.line, name,
            Cited(name) + " is under the section header [" + Excerpt(scan.Data(key.section), key.section.size()) +
                "]: only keys before the first header are read" + (isKnown ? ", so it keeps its default" : ""));
        continue;
      }
      if (isKnown || !f.names.firstOfName[i]) continue;
      std::string message = Cited(name) + " is not a key of " + label;
      const std::string nearest = NearestKnownKey(name, known);
      if (!nearest.empty())
        message += "; did you mean " + Quote(nearest) + "?";
      else if (isOverride && S::FindSettingsKey(name))
        message += "; it belongs in " + std::string(kSettingsLabel) + " (this file reads only " + known[0] + " and " +
                   known[1] + ")";
      Add(Severity::kWarning, "unknown_key", path, key.line, name, message);
    }
  }

  // A value the library takes other than the writer likely meant, or does
  // not take at all.
  void CheckValue(const S::Reading& reading, const std::string& path, int line) {
    const std::string name = reading.key->name;
    const std::string said = Quote(name) + " = " + Cited(reading.raw) + ": ";
    switch (reading.origin) {
      case S::Origin::kFile:
        if (reading.saturated) Add(Severity::kWarning, "saturated", path, line, name, said + WhyDefault(reading));
        break;
      case S::Origin::kMissing:
        return;  // a key left out has its default: the normal case
      case S::Origin::kEmpty:
        Add(Severity::kWarning, "empty_value", path, line, name, said + WhyDefault(reading));
        return;
      default:
        Add(Severity::kError, S::OriginName(reading.origin), path, line, name, said + WhyDefault(reading));
        return;
    }
    if (reading.key->kind == S::Kind::kBoolean && !IsPlainSwitch(reading.raw))
      Add(Severity::kWarning, "loose_boolean", path, line, name,
          said + "not one of 1/0, true/false, yes/no, on/off; the library takes it as " +
              (reading.flag ? "true" : "false") + ", by its first character" + (reading.raw.size() > 1 ? "s" : ""));
    if (reading.key->kind == S::Kind::kText || reading.key->kind == S::Kind::kList) {
      if (IsQuoted(reading.raw))
        Add(Severity::kWarning, "quoted_value", path, line, name,
            said + "the quotes are part of the value: the library uses it with them");
      else if (HasTrailingComment(reading.raw))
        Add(Severity::kWarning, "comment_in_value", path, line, name,
            said + "what follows \";\" or \"#\" is part of the value: comments are whole lines only");
    }
  }

  // Empty items of a list value: dropped from the settings file, kept (as
  // an empty server name) from the override file.
  void CheckListItems(const std::string& path, int line, const std::string& name, std::ptrdiff_t empty, bool kept) {
    if (empty == 0) return;
    if (kept)
      Add(Severity::kError, "empty_list_item", path, line, name,
          Quote(name) + " has " + std::to_string(empty) + " empty item(s): they are kept as servers without a name");
    else
      Add(Severity::kWarning, "empty_list_item", path, line, name,
          Quote(name) + " has " + std::to_string(empty) + " empty item(s): the reader drops them");
  }

  // The servers of the list the read makes: each that cannot be what was
  // meant, where it was written. The first `fromOverride` items are the
  // override file's.
  void CheckServers(const std::string& name, const std::vector<std::string>& list, std::size_t fromOverride,
                    const FileOfCheck& settings, const FileOfCheck& overrides) {
    for (std::size_t i = 0; i < list.size(); ++i) {
      const ServerItemProblem problem = DiagnoseServerItem(list[i]);
      if (!problem.code) continue;
      const FileOfCheck& from = i < fromOverride ? overrides : settings;
      Add(Severity::kError, problem.code, from.file.path, from.LineOf(name.c_str()), name,
          Quote(name) + " item " + Cited(list[i]) + " " + problem.why);
    }
  }

  // Items the list holds more than once, each said once, in the order of
  // their first place (and in the file that gives it). Sorting places, not
  // copies: a list of a million items costs a few bytes more per item.
  void CheckRepeats(const std::string& name, const std::string& listName, const std::vector<std::string>& list,
                    std::size_t fromOverride, const FileOfCheck& settings, const FileOfCheck& overrides) {
    std::vector<std::uint32_t> order;
    for (std::size_t i = 0; i < list.size(); ++i)
      if (!list[i].empty()) order.push_back(static_cast<std::uint32_t>(i));
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) { return list[a] < list[b]; });
    std::vector<std::pair<std::uint32_t, std::size_t>> repeated;  // first place, times
    for (std::size_t i = 0; i < order.size();) {
      std::size_t j = i + 1;
      while (j < order.size() && list[order[j]] == list[order[i]]) ++j;
      if (j - i > 1) repeated.emplace_back(order[i], j - i);
      i = j;
    }
    std::sort(repeated.begin(), repeated.end());
    for (const auto& item : repeated) {
      const FileOfCheck& from = item.first < fromOverride ? overrides : settings;
      Add(Severity::kWarning, "repeated_list_item", from.file.path, from.LineOf(name.c_str()), name,
          Cited(list[item.first]) + " is " + std::to_string(item.second) + " times in the " + listName +
              " list the read makes: it is tried as often");
    }
  }

 private:
  struct Tally {
    Severity severity = Severity::kNote;
    int count = 0;
  };

  CheckResult& m_result;
  std::map<std::pair<std::string, std::string>, Tally> m_tallies;  // by file and code
};

CheckedFile WithoutContent(const CheckedFile& file) {
  CheckedFile copy;
  copy.path = file.path;
  copy.label = file.label;
  copy.status = file.status;
  return copy;
}

}  // namespace

nlohmann::ordered_json TypedValue(const S::Reading& reading) {
  switch (reading.key->kind) {
    case S::Kind::kInteger:
      return reading.number;
    case S::Kind::kBoolean:
      return reading.flag;
    case S::Kind::kList: {
      nlohmann::ordered_json items = nlohmann::ordered_json::array();
      for (const std::string& item : reading.items) items.push_back(item);
      return items;
    }
    case S::Kind::kText:
      break;
  }
  return reading.text;
}

const char* SeverityName(Severity severity) {
  switch (severity) {
    case Severity::kError:
      return "error";
    case Severity::kWarning:
      return "warning";
    case Severity::kNote:
      return "note";
  }
  return "note";
}

bool SeverityFromName(const std::string& name, Severity& severity) {
  for (Severity s : {Severity::kError, Severity::kWarning, Severity::kNote})
    if (name == SeverityName(s)) {
      severity = s;
      return true;
    }
  return false;
}

const std::set<std::string>& FindingCodes() {
  static const std::set<std::string> codes = {"settings_not_read",
                                              "override_not_read",
                                              "wide_encoding",
                                              "byte_order_mark",
                                              "nul_byte",
                                              "lone_cr",
                                              "broken_section_header",
                                              "ignored_line",
                                              "duplicate_key",
                                              "unknown_key",
                                              "key_under_section",
                                              "not_a_number",
                                              "trailing_characters",
                                              "too_long",
                                              "out_of_bounds",
                                              "not_a_boolean",
                                              "empty_value",
                                              "saturated",
                                              "loose_boolean",
                                              "quoted_value",
                                              "comment_in_value",
                                              "empty_defaultinstall",
                                              "missing_defaultinstall",
                                              "empty_list_item",
                                              "repeated_list_item",
                                              "override_replaces_list",
                                              "list_item_spaces",
                                              "list_item_url",
                                              "list_item_port",
                                              "list_item_not_a_host",
                                              "list_item_bad_ipv4"};
  return codes;
}

const char* StatusName(CheckedFile::Status status) {
  switch (status) {
    case CheckedFile::Status::kRead:
      return "read";
    case CheckedFile::Status::kMissing:
      return "missing";
    case CheckedFile::Status::kNotRegular:
      return "not_a_regular_file";
    case CheckedFile::Status::kTooLarge:
      return "too_large";
    case CheckedFile::Status::kUnreadable:
      return "unreadable";
    case CheckedFile::Status::kNotGiven:
      return "not_given";
  }
  return "unreadable";
}

bool StatusFromName(const std::string& name, CheckedFile::Status& status) {
  using Status = CheckedFile::Status;
  for (Status candidate : {Status::kRead, Status::kMissing, Status::kNotRegular, Status::kTooLarge, Status::kUnreadable,
                           Status::kNotGiven})
    if (name == StatusName(candidate)) {
      status = candidate;
      return true;
    }
  return false;
}

CheckedFile ReadCheckedFile(const std::string& path, const std::string& label, std::size_t limit) {
  CheckedFile file;
  file.path = path;
  file.label = label;
  switch (kqt::sys::ReadRegularFile(path, limit, file.content)) {
    case kqt::sys::ReadStatus::kOk:
      file.status = CheckedFile::Status::kRead;
      break;
    case kqt::sys::ReadStatus::kMissing:
      file.status = CheckedFile::Status::kMissing;
      break;
    case kqt::sys::ReadStatus::kNotRegular:
      file.status = CheckedFile::Status::kNotRegular;
      break;
    case kqt::sys::ReadStatus::kTooLarge:
      file.status = CheckedFile::Status::kTooLarge;
      break;
    case kqt::sys::ReadStatus::kFailed:
      file.status = CheckedFile::Status::kUnreadable;
      break;
  }
  if (file.status != CheckedFile::Status::kRead) file.content.clear();
  return file;
}

int CheckResult::Count(Severity severity) const {
  int count = 0;
  for (const Finding& finding : findings)
    if (finding.severity == severity) count += 1 + finding.more;
  return count;
}

int CheckResult::ExitStatus(Severity lowest) const {
  for (const Finding& finding : findings)
    if (finding.severity <= lowest) return 1;
  return 0;
}

void CheckResult::Keep(Severity lowest, const std::set<std::string>& disabled) {
  findings.erase(std::remove_if(findings.begin(), findings.end(),
                                [&](const Finding& finding) {
                                  return finding.severity > lowest || disabled.count(finding.code) != 0;
                                }),
                 findings.end());
}

CheckResult CheckSettings(const CheckedFile& settings, const CheckedFile& overrides) {
  CheckResult result;
  result.files = {WithoutContent(settings), WithoutContent(overrides)};
  Checker checker(result);

  // The settings file.
  S::SettingsIni ini;
  bool loaded = false;
  if (settings.status == CheckedFile::Status::kRead) loaded = ini.Load(settings.content);
  const bool settingsWide = loaded && checker.CheckEncoding(settings);
  const FileOfCheck settingsFile(settings, loaded && !settingsWide);
  if (loaded && !settingsWide) {
    checker.CheckLines(settingsFile);
    checker.CheckKeyNames(settingsFile, false);
  } else if (!loaded) {
    const std::string why = settings.status == CheckedFile::Status::kTooLarge
                                ? "larger than " + std::to_string(S::kMostFileBytes) + " bytes"
                                : StatusName(settings.status);
    checker.Add(Severity::kError, "settings_not_read", settings.path, 0, "",
                "cannot be read (" + why +
                    "): the library logs \"load config error\", every key takes its default and the read reports "
                    "false");
  }
  const bool valuesToCheck = loaded && !settingsWide;
  std::vector<S::Reading> lists;  // in the order of kOverrideKeys, which is the table's
  for (std::size_t i = 0; i < S::kKeyCount; ++i) {
    S::Reading reading = ini.Read(static_cast<S::KeyId>(i));
    KeyVerdict verdict;
    verdict.id = static_cast<S::KeyId>(i);
    verdict.present = reading.present;
    verdict.raw = reading.raw;
    verdict.reading = reading;
    verdict.valueText = ValueText(reading);
    verdict.isText = reading.key->kind == S::Kind::kText || reading.key->kind == S::Kind::kList;
    verdict.origin = S::OriginName(reading.origin);
    verdict.note = WhyDefault(reading);
    if (reading.key->firstReadOnly)
      verdict.note += std::string(verdict.note.empty() ? "" : "; ") + "first read of the process only";
    result.keys.push_back(verdict);
    if (valuesToCheck) checker.CheckValue(reading, settings.path, settingsFile.LineOf(reading.key->name));
    if (reading.key->kind == S::Kind::kList) lists.push_back(std::move(reading));
  }
  const KeyVerdict& install = result.keys[static_cast<std::size_t>(S::KeyId::kInstallModule)];
  const char* installKey = S::SettingsKey(S::KeyId::kInstallModule).name;
  if (valuesToCheck && install.valueText.empty())
    checker.Add(
        Severity::kError, install.present ? "empty_defaultinstall" : "missing_defaultinstall", settings.path,
        settingsFile.LineOf(installKey), installKey,
        Quote(installKey) + " is " + (install.present ? "empty" : "not given") + ": the settings read reports false");

  // The override file, then the lists as the read puts them together.
  S::SettingsIni overrideIni;
  bool overridden = false;
  if (overrides.status == CheckedFile::Status::kRead) overridden = overrideIni.Load(overrides.content);
  const bool overrideWide = overridden && checker.CheckEncoding(overrides);
  const FileOfCheck overrideFile(overrides, overridden && !overrideWide);
  const char* overrideValues[2] = {nullptr, nullptr};  // kOverrideKeys' values, as held
  std::size_t fromOverride[2] = {0, 0};                // items each list takes from it
  if (overridden && !overrideWide) {
    checker.CheckLines(overrideFile);
    checker.CheckKeyNames(overrideFile, true);
  }
  if (overridden) {
    for (std::size_t k = 0; k < 2; ++k) {
      const char* name = S::SettingsKey(S::kOverrideKeys[k]).name;
      const char* raw = overrideValues[k] = overrideIni.Raw(name);
      if (!raw || !*raw) continue;
      const ItemCount count = CountItems(raw);
      fromOverride[k] = count.items;
      const int line = overrideFile.LineOf(name);
      checker.Add(Severity::kNote, "override_replaces_list", overrides.path, line, name,
                  Quote(name) + " puts its " + std::to_string(count.items) + " item(s) first; " + kSettingsLabel +
                      "'s items follow");
      checker.CheckListItems(overrides.path, line, name, count.empty, true);
    }
  } else if (overrides.status != CheckedFile::Status::kMissing && overrides.status != CheckedFile::Status::kNotGiven) {
    checker.Add(Severity::kWarning, "override_not_read", overrides.path, 0, "",
                "cannot be read (" + std::string(StatusName(overrides.status)) + "): the library passes over it");
  }
  std::vector<std::string>* merged[2] = {&result.serviceServers, &result.updateServers};
  for (std::size_t k = 0; k < 2; ++k) {
    S::Reading& reading = lists[k];
    const std::string name = reading.key->name;
    if (reading.present && valuesToCheck)
      checker.CheckListItems(settings.path, settingsFile.LineOf(name.c_str()), name,
                             static_cast<std::ptrdiff_t>(reading.emptyItems), false);
    S::MergeServerList(*merged[k], overrideValues[k], std::move(reading.items));
    checker.CheckServers(name, *merged[k], fromOverride[k], settingsFile, overrideFile);
    checker.CheckRepeats(name, k == 0 ? "service server" : "update server", *merged[k], fromOverride[k], settingsFile,
                         overrideFile);
  }
  checker.AddUnlisted();
  // By file, the settings file first, then by line; in the order found
  // within a line.
  std::stable_sort(result.findings.begin(), result.findings.end(), [&](const Finding& a, const Finding& b) {
    const bool aSettings = a.path == settings.path, bSettings = b.path == settings.path;
    if (aSettings != bSettings) return aSettings;
    return a.line < b.line;
  });
  return result;
}

std::string NearestKnownKey(const std::string& name, const std::vector<std::string>& known) {
  auto lower = [](std::string text) {
    for (char& c : text)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
  };
  const std::string a = lower(name);
  std::string best;
  std::size_t bestDistance = 3;  // more edits than two: not a slip of the fingers
  for (const std::string& candidate : known) {
    // The distance is at least the difference of the lengths: a long name
    // costs nothing to rule out.
    const std::size_t apart = a.size() > candidate.size() ? a.size() - candidate.size() : candidate.size() - a.size();
    if (apart >= bestDistance) continue;
    const std::string b = lower(candidate);
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
      std::size_t diagonal = row[0];
      row[0] = i;
      for (std::size_t j = 1; j <= b.size(); ++j) {
        const std::size_t above = row[j];
        row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
        diagonal = above;
      }
    }
    if (row[b.size()] < bestDistance && row[b.size()] * 2 < b.size()) {
      bestDistance = row[b.size()];
      best = candidate;
    }
  }
  return best;
}

}  // namespace quarn_tools
