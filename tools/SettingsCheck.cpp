#include "SettingsCheck.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <map>

#include "IniLineScan.h"
#include "config/SettingsRules.h"
#include "util/platform/ReadFile.h"

namespace quarn_tools {
namespace {

namespace S = quarn::settings;
using Json = nlohmann::ordered_json;

const char kSettingsLabel[] = "cli_config.ini";
const char kOverrideLabel[] = "domaincfg.ini";

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
      return "not one of 1/0, true/false, yes/no, on/off: " + theDefault;
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

class Checker {
 public:
  explicit Checker(CheckResult& result) : m_result(result) {}

  void Add(Severity severity, const std::string& code, const std::string& file, int line, const std::string& key,
           const std::string& message) {
    Tally& tally = m_tallies[{file, code}];
    tally.severity = severity;
    if (++tally.count > kMostListedPerCode) return;
    m_result.findings.push_back({severity, code, file, line, key, message});
  }

  // One finding more for each code whose findings were not all listed.
  void AddUnlisted() {
    for (const auto& entry : m_tallies) {
      const Tally& tally = entry.second;
      if (tally.count <= kMostListedPerCode) continue;
      const int more = tally.count - kMostListedPerCode;
      m_result.findings.push_back({tally.severity, entry.first.second, entry.first.first, 0, "",
                                   std::to_string(more) + " more finding(s) like these, not listed one by one"});
      m_result.unlisted[static_cast<int>(tally.severity)] += more - 1;
    }
  }

  // What applies to both files: their bytes and lines, and the keys a file
  // gives more than once.
  void CheckLines(const IniScan& scan, const NameGroups& names, const std::string& label) {
    if (scan.byteOrderMark)
      Add(Severity::kWarning, "byte_order_mark", label, 1, "",
          "starts with a UTF-8 byte-order mark: the reader skips it, but reads the texts as bytes of the system's "
          "code page, so UTF-8 texts beyond ASCII come out wrong");
    if (scan.nulLine) {
      std::vector<const ScannedKey*> lost;
      for (const ScannedKey& key : scan.keys)
        if (key.lost) lost.push_back(&key);
      Add(Severity::kError, "nul_byte", label, scan.nulLine, "",
          "a NUL byte: the reader stops there" +
              (lost.empty() ? std::string() : "; keys lost: " + BoundedList(lost, [&](const ScannedKey* key) {
                                                return Excerpt(std::string(scan.Key(*key)));
                                              })));
    }
    if (!scan.loneCrLines.empty())
      Add(Severity::kWarning, "lone_cr", label, scan.loneCrLines.front(), "",
          "CR without LF on line(s) " + LineList(scan.loneCrLines) +
              ": the reader ends a line at each, editors may show one line");
    for (const ScannedLine& line : scan.brokenHeaders)
      Add(Severity::kError, "broken_section_header", label, line.line, "",
          Cited(scan.Data(line.text), line.text.size()) + " is " + line.why +
              ": the keys after it, up to the next header, are not read");
    for (const ScannedLine& line : scan.ignored)
      Add(Severity::kWarning, "ignored_line", label, line.line, "",
          Cited(scan.Data(line.text), line.text.size()) + " has " + line.why + ": the reader passes over it");

    // Keys given more than once in the unnamed section: the last one wins.
    for (const std::vector<std::size_t>& group : names.groups) {
      if (group.size() < 2) continue;
      std::vector<int> lines;
      for (std::size_t i = 0; i < group.size() && i < kMostListedItems; ++i) lines.push_back(scan.keys[group[i]].line);
      const ScannedKey& last = scan.keys[group.back()];
      const std::string name = scan.Key(scan.keys[group.front()]);
      std::string given = LineList(lines);
      if (group.size() > lines.size()) given += " and " + std::to_string(group.size() - lines.size()) + " more";
      Add(Severity::kWarning, "duplicate_key", label, last.line, name,
          Cited(name) + " is given on lines " + given + ": the last one (" + Cited(scan.Value(last)) + ") is used");
    }
  }

  // Keys the file gives that its reader does not read.
  void CheckKeyNames(const IniScan& scan, const NameGroups& names, const std::string& label, bool isOverride) {
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
        Add(isKnown ? Severity::kError : Severity::kWarning, "key_under_section", label, key.line, name,
            Cited(name) + " is under the section header [" + Excerpt(scan.Data(key.section), key.section.size()) +
                "]: only keys before the first header are read" + (isKnown ? ", so it keeps its default" : ""));
        continue;
      }
      if (isKnown || !names.firstOfName[i]) continue;
      std::string message = Cited(name) + " is not a key of " + label;
      const std::string nearest = NearestKnownKey(name, known);
      if (!nearest.empty())
        message += "; did you mean " + Quote(nearest) + "?";
      else if (isOverride && S::FindSettingsKey(name))
        message += "; it belongs in cli_config.ini (this file reads only " + known[0] + " and " + known[1] + ")";
      Add(Severity::kWarning, "unknown_key", label, key.line, name, message);
    }
  }

  void CheckValue(const S::Reading& reading, int line) {
    const std::string name = reading.key->name;
    const std::string said = Quote(name) + " = " + Cited(reading.raw) + ": " + WhyDefault(reading);
    switch (reading.origin) {
      case S::Origin::kFile:
        if (reading.saturated) Add(Severity::kWarning, "saturated", kSettingsLabel, line, name, said);
        break;
      case S::Origin::kMissing:
        break;  // a key left out has its default: the normal case
      case S::Origin::kEmpty:
        Add(Severity::kWarning, "empty_value", kSettingsLabel, line, name, said);
        break;
      default:
        Add(Severity::kError, S::OriginName(reading.origin), kSettingsLabel, line, name, said);
        break;
    }
  }

  // Empty items of a list value: dropped from the settings file, kept (as
  // an empty server name) from the override file.
  void CheckListItems(const std::string& label, int line, const std::string& name, std::ptrdiff_t empty, bool kept) {
    if (empty == 0) return;
    if (kept)
      Add(Severity::kError, "empty_list_item", label, line, name,
          Quote(name) + " has " + std::to_string(empty) + " empty item(s): they are kept as servers without a name");
    else
      Add(Severity::kWarning, "empty_list_item", label, line, name,
          Quote(name) + " has " + std::to_string(empty) + " empty item(s): the reader drops them");
  }

  // Items the list holds more than once, each said once, in the order of
  // their first place. Sorting places, not copies: a list of a million
  // items costs a few bytes more per item.
  void CheckRepeats(const std::string& listName, const std::vector<std::string>& list) {
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
    for (const auto& item : repeated)
      Add(Severity::kWarning, "repeated_list_item", "", 0, listName,
          Cited(list[item.first]) + " is " + std::to_string(item.second) + " times in the " + listName +
              " list the read makes: it is tried as often");
  }

 private:
  struct Tally {
    Severity severity = Severity::kNote;
    int count = 0;
  };
  CheckResult& m_result;
  std::map<std::pair<std::string, std::string>, Tally> m_tallies;  // by file and code
};

}  // namespace

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

CheckedFile ReadCheckedFile(const std::string& path, const std::string& label) {
  CheckedFile file;
  file.path = path;
  file.label = label;
  switch (kqt::sys::ReadRegularFile(path, S::kMostFileBytes, file.content)) {
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
  return unlisted[static_cast<int>(severity)] +
         static_cast<int>(std::count_if(findings.begin(), findings.end(),
                                        [severity](const Finding& finding) { return finding.severity == severity; }));
}

int CheckResult::ExitStatus() const { return Count(Severity::kError) + Count(Severity::kWarning) ? 1 : 0; }

namespace {

CheckedFile WithoutContent(const CheckedFile& file) {
  CheckedFile copy;
  copy.path = file.path;
  copy.label = file.label;
  copy.status = file.status;
  return copy;
}

}  // namespace

CheckResult CheckSettings(const CheckedFile& settings, const CheckedFile& overrides) {
  CheckResult result;
  result.files = {WithoutContent(settings), WithoutContent(overrides)};
  Checker checker(result);

  // The settings file.
  S::SettingsIni ini;
  bool loaded = false;
  if (settings.status == CheckedFile::Status::kRead) loaded = ini.Load(settings.content);
  const IniScan scan = loaded ? ScanIniLines(settings.content) : IniScan();
  const NameGroups names(scan);
  if (loaded) {
    checker.CheckLines(scan, names, kSettingsLabel);
    checker.CheckKeyNames(scan, names, kSettingsLabel, false);
  } else {
    const std::string why = settings.status == CheckedFile::Status::kTooLarge
                                ? "larger than " + std::to_string(S::kMostFileBytes) + " bytes"
                                : StatusName(settings.status);
    checker.Add(Severity::kError, "settings_not_read", kSettingsLabel, 0, "",
                settings.path + " cannot be read (" + why +
                    "): the library logs \"load config error\", every key takes its default and the read reports "
                    "false");
  }
  std::vector<S::Reading> lists;
  for (std::size_t i = 0; i < S::kKeyCount; ++i) {
    S::Reading reading = ini.Read(static_cast<S::KeyId>(i));
    KeyVerdict verdict;
    verdict.name = reading.key->name;
    verdict.present = reading.present;
    verdict.raw = reading.raw;
    verdict.value = ValueText(reading);
    verdict.isText = reading.key->kind == S::Kind::kText || reading.key->kind == S::Kind::kList;
    verdict.origin = S::OriginName(reading.origin);
    verdict.note = WhyDefault(reading);
    if (reading.key->firstReadOnly)
      verdict.note += std::string(verdict.note.empty() ? "" : "; ") + "first read of the process only";
    result.keys.push_back(verdict);
    if (loaded) checker.CheckValue(reading, names.LineOf(scan, reading.key->name));
    // In the order of kOverrideKeys, which is the table's.
    if (reading.key->kind == S::Kind::kList) lists.push_back(std::move(reading));
  }
  const KeyVerdict& install = result.keys[static_cast<std::size_t>(S::KeyId::kInstallModule)];
  if (loaded && install.value.empty())
    checker.Add(
        Severity::kError, install.present ? "empty_defaultinstall" : "missing_defaultinstall", kSettingsLabel,
        names.LineOf(scan, install.name.c_str()), install.name,
        Quote(install.name) + " is " + (install.present ? "empty" : "not given") + ": the settings read reports false");

  // The override file, then the lists as the read puts them together.
  std::vector<std::string> services, updates;
  S::SettingsIni overrideIni;
  const char* overrideValues[2] = {nullptr, nullptr};  // kOverrideKeys' values, as held
  if (overrides.status == CheckedFile::Status::kRead) {
    if (overrideIni.Load(overrides.content)) {
      const IniScan overrideScan = ScanIniLines(overrides.content);
      const NameGroups overrideNames(overrideScan);
      checker.CheckLines(overrideScan, overrideNames, kOverrideLabel);
      checker.CheckKeyNames(overrideScan, overrideNames, kOverrideLabel, true);
      for (std::size_t k = 0; k < 2; ++k) {
        const char* name = S::SettingsKey(S::kOverrideKeys[k]).name;
        const char* raw = overrideValues[k] = overrideIni.Raw(name);
        if (!raw || !*raw) continue;
        const ItemCount count = CountItems(raw);
        const int line = overrideNames.LineOf(overrideScan, name);
        checker.Add(Severity::kNote, "override_replaces_list", kOverrideLabel, line, name,
                    std::string("\"") + name + "\" puts its " + std::to_string(count.items) +
                        " item(s) first; cli_config.ini's items follow");
        checker.CheckListItems(kOverrideLabel, line, name, count.empty, true);
      }
    }
  } else if (overrides.status != CheckedFile::Status::kMissing && overrides.status != CheckedFile::Status::kNotGiven) {
    checker.Add(Severity::kWarning, "override_not_read", kOverrideLabel, 0, "",
                overrides.path + " cannot be read (" + StatusName(overrides.status) + "): the library passes over it");
  }
  for (std::size_t k = 0; k < 2; ++k) {
    S::Reading& reading = lists[k];
    if (reading.present)
      checker.CheckListItems(kSettingsLabel, names.LineOf(scan, reading.key->name), reading.key->name,
                             std::count(reading.items.begin(), reading.items.end(), std::string()), false);
    S::MergeServerList(k == 0 ? services : updates, overrideValues[k], std::move(reading.items));
  }
  checker.CheckRepeats("service server", services);
  checker.CheckRepeats("update server", updates);
  checker.AddUnlisted();
  result.serviceServers = std::move(services);
  result.updateServers = std::move(updates);
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

void AddCheckSections(Report& report, CheckResult result) {
  report.Section("Files");
  for (const CheckedFile& file : result.files) {
    const std::string key = file.label == kSettingsLabel ? "settings_file" : "override_file";
    report.Field(
        key, file.label,
        Json{{"path", file.path.empty() ? Json(nullptr) : Json(file.path)}, {"status", StatusName(file.status)}},
        file.path.empty() ? std::string("(not given)") : file.path + " (" + StatusName(file.status) + ")");
  }

  report.Section("Keys");
  for (const KeyVerdict& key : result.keys) {
    Json value{{"present", key.present},
               {"raw", key.present ? Json(key.raw) : Json(nullptr)},
               {"value", key.value},
               {"origin", key.origin}};
    std::string shown = (key.present ? Quote(key.raw) : std::string("(not given)")) + " -> " +
                        (key.isText ? Quote(key.value) : key.value);
    if (!key.note.empty()) shown += "  (" + key.note + ")";
    report.Field(key.name, key.name, value, shown);
  }

  report.Section("Lists");
  report.TextsField("service_servers", "Service servers", std::move(result.serviceServers));
  report.TextsField("update_servers", "Update servers", std::move(result.updateServers));

  report.Section("Findings");
  Json findings = Json::array();
  std::string shown;
  for (const Finding& finding : result.findings) {
    findings.push_back({{"severity", SeverityName(finding.severity)},
                        {"code", finding.code},
                        {"file", finding.file.empty() ? Json(nullptr) : Json(finding.file)},
                        {"line", finding.line ? Json(finding.line) : Json(nullptr)},
                        {"key", finding.key.empty() ? Json(nullptr) : Json(finding.key)},
                        {"message", finding.message}});
    std::string where = finding.file;
    if (finding.line) where += ":" + std::to_string(finding.line);
    shown += (shown.empty() ? "" : "\n") + std::string(SeverityName(finding.severity)) + " " +
             (where.empty() ? "" : where + ": ") + finding.message + " [" + finding.code + "]";
  }
  report.Field("findings", "Findings", findings, shown.empty() ? std::string("(none)") : shown);
  report.Field("errors", "Errors", result.Count(Severity::kError));
  report.Field("warnings", "Warnings", result.Count(Severity::kWarning));
  report.Field("notes", "Notes", result.Count(Severity::kNote));
}

}  // namespace quarn_tools
