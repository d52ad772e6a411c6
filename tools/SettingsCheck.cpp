#include "SettingsCheck.h"

#include <algorithm>
#include <climits>
#include <map>
#include <set>

#include "IniLineScan.h"
#include "config/SettingsRules.h"
#include "util/platform/ReadFile.h"

namespace quarn_tools {
namespace {

namespace S = quarn::settings;
using Json = nlohmann::ordered_json;

const char kSettingsLabel[] = "cli_config.ini";
const char kOverrideLabel[] = "domaincfg.ini";

std::string Quote(const std::string& text) { return "\"" + text + "\""; }

std::string LineList(const std::vector<int>& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) text += (i ? ", " : "") + std::to_string(lines[i]);
  return text;
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

class Checker {
 public:
  explicit Checker(CheckResult& result) : m_result(result) {}

  void Add(Severity severity, const std::string& code, const std::string& file, int line, const std::string& key,
           const std::string& message) {
    m_result.findings.push_back({severity, code, file, line, key, message});
  }

  // What applies to both files: their bytes and lines, and the keys a file
  // gives more than once. Returns the scan for the key checks.
  IniScan CheckLines(const CheckedFile& file) {
    IniScan scan = ScanIniLines(file.content);
    const std::string& label = file.label;
    if (scan.byteOrderMark)
      Add(Severity::kWarning, "byte_order_mark", label, 1, "",
          "starts with a UTF-8 byte-order mark: the reader skips it, but reads the texts as bytes of the system's "
          "code page, so UTF-8 texts beyond ASCII come out wrong");
    if (scan.nulLine) {
      std::string lost;
      for (const ScannedKey& key : scan.keys)
        if (key.lost) lost += (lost.empty() ? "" : ", ") + key.key;
      Add(Severity::kError, "nul_byte", label, scan.nulLine, "",
          "a NUL byte: the reader stops there" + (lost.empty() ? std::string() : "; keys lost: " + lost));
    }
    if (!scan.loneCrLines.empty())
      Add(Severity::kWarning, "lone_cr", label, scan.loneCrLines.front(), "",
          "CR without LF on line(s) " + LineList(scan.loneCrLines) +
              ": the reader ends a line at each, editors may show one line");
    for (const ScannedLine& line : scan.brokenHeaders)
      Add(Severity::kError, "broken_section_header", label, line.line, "",
          Quote(line.text) + " is " + line.why + ": the keys after it, up to the next header, are not read");
    for (const ScannedLine& line : scan.ignored)
      Add(Severity::kWarning, "ignored_line", label, line.line, "",
          Quote(line.text) + " has " + line.why + ": the reader passes over it");

    // Keys given more than once in the unnamed section: the last one wins.
    // Grouped by name in one pass, so that a file of many keys costs
    // n log n, reported in the order of each name's first line.
    std::map<std::string, std::vector<std::size_t>, S::KeyNameLess> given;
    for (std::size_t i = 0; i < scan.keys.size(); ++i)
      if (!scan.keys[i].lost && scan.keys[i].section.empty()) given[scan.keys[i].key].push_back(i);
    for (std::size_t i = 0; i < scan.keys.size(); ++i) {
      const ScannedKey& key = scan.keys[i];
      if (key.lost || !key.section.empty()) continue;
      const std::vector<std::size_t>& places = given[key.key];
      if (places.size() < 2 || places.front() != i) continue;
      std::vector<int> lines;
      lines.reserve(places.size());
      for (std::size_t at : places) lines.push_back(scan.keys[at].line);
      const ScannedKey& last = scan.keys[places.back()];
      Add(Severity::kWarning, "duplicate_key", label, last.line, key.key,
          Quote(key.key) + " is given on lines " + LineList(lines) + ": the last one (" + Quote(last.value) +
              ") is used");
    }
    return scan;
  }

  // Keys the file gives that its reader does not read.
  void CheckKeyNames(const IniScan& scan, const std::string& label, bool isOverride) {
    std::vector<std::string> known;
    if (isOverride) {
      known = {"srv_domain", "update_srv_domain"};
    } else {
      for (std::size_t i = 0; i < S::kKeyCount; ++i) known.push_back(S::SettingsKey(static_cast<S::KeyId>(i)).name);
    }
    std::set<std::string, S::KeyNameLess> reported;
    for (const ScannedKey& key : scan.keys) {
      if (key.lost) continue;
      const bool isKnown = isOverride ? S::IsOverrideKey(key.key) : S::FindSettingsKey(key.key) != nullptr;
      if (!key.section.empty()) {
        Add(isKnown ? Severity::kError : Severity::kWarning, "key_under_section", label, key.line, key.key,
            Quote(key.key) + " is under the section header [" + key.section +
                "]: only keys before the first header are read" + (isKnown ? ", so it keeps its default" : ""));
        continue;
      }
      if (isKnown) continue;
      if (!reported.insert(key.key).second) continue;
      std::string message = Quote(key.key) + " is not a key of " + label;
      const std::string nearest = NearestKnownKey(key.key, known);
      if (!nearest.empty())
        message += "; did you mean " + Quote(nearest) + "?";
      else if (isOverride && S::FindSettingsKey(key.key))
        message += "; it belongs in cli_config.ini (this file reads only srv_domain and update_srv_domain)";
      Add(Severity::kWarning, "unknown_key", label, key.line, key.key, message);
    }
  }

  static int LineOf(const IniScan& scan, const std::string& name) {
    int line = 0;
    for (const ScannedKey& key : scan.keys)
      if (!key.lost && key.section.empty() && S::SameKeyName(key.key, name)) line = key.line;
    return line;
  }

  void CheckValue(const S::Reading& reading, const IniScan& scan) {
    const std::string name = reading.key->name;
    const int line = LineOf(scan, name);
    const std::string said = Quote(name) + " = " + Quote(reading.raw) + ": " + WhyDefault(reading);
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
  void CheckListItems(const std::string& label, int line, const std::string& name,
                      const std::vector<std::string>& items, bool kept) {
    const auto empty = std::count(items.begin(), items.end(), std::string());
    if (empty == 0) return;
    if (kept)
      Add(Severity::kError, "empty_list_item", label, line, name,
          Quote(name) + " has " + std::to_string(empty) + " empty item(s): they are kept as servers without a name");
    else
      Add(Severity::kWarning, "empty_list_item", label, line, name,
          Quote(name) + " has " + std::to_string(empty) + " empty item(s): the reader drops them");
  }

  void CheckRepeats(const std::string& listName, const std::vector<std::string>& list) {
    std::map<std::string, int> counts;
    for (const std::string& item : list)
      if (!item.empty()) ++counts[item];
    for (const std::string& item : list) {
      auto found = counts.find(item);
      if (found == counts.end() || found->second < 2) continue;
      Add(Severity::kWarning, "repeated_list_item", "", 0, listName,
          Quote(item) + " is " + std::to_string(found->second) + " times in the " + listName +
              " list the read makes: it is tried as often");
      counts.erase(found);
    }
  }

 private:
  CheckResult& m_result;
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
  return static_cast<int>(std::count_if(findings.begin(), findings.end(),
                                        [severity](const Finding& finding) { return finding.severity == severity; }));
}

int CheckResult::ExitStatus() const { return Count(Severity::kError) + Count(Severity::kWarning) ? 1 : 0; }

CheckResult CheckSettings(const CheckedFile& settings, const CheckedFile& overrides) {
  CheckResult result;
  result.files = {settings, overrides};
  for (CheckedFile& file : result.files) file.content.clear();
  Checker checker(result);

  // The settings file.
  S::SettingsIni ini;
  IniScan scan;
  bool loaded = false;
  if (settings.status == CheckedFile::Status::kRead) {
    loaded = ini.Load(settings.content);
    scan = checker.CheckLines(settings);
    checker.CheckKeyNames(scan, kSettingsLabel, false);
  }
  if (!loaded) {
    const std::string why = settings.status == CheckedFile::Status::kTooLarge
                                ? "larger than " + std::to_string(S::kMostFileBytes) + " bytes"
                                : StatusName(settings.status);
    checker.Add(Severity::kError, "settings_not_read", kSettingsLabel, 0, "",
                settings.path + " cannot be read (" + why +
                    "): the library logs \"load config error\", every key takes its default and the read reports "
                    "false");
  }
  for (std::size_t i = 0; i < S::kKeyCount; ++i) {
    const S::Reading reading = ini.Read(static_cast<S::KeyId>(i));
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
    if (loaded) checker.CheckValue(reading, scan);
  }
  const S::Reading install = ini.Read(S::KeyId::kInstallModule);
  if (loaded && install.text.empty())
    checker.Add(Severity::kError, install.present ? "empty_defaultinstall" : "missing_defaultinstall", kSettingsLabel,
                Checker::LineOf(scan, "defaultinstall"), "defaultinstall",
                std::string("\"defaultinstall\" is ") + (install.present ? "empty" : "not given") +
                    ": the settings read reports false");

  // The override file, then the lists as the read puts them together.
  std::vector<std::string> services, updates;
  if (overrides.status == CheckedFile::Status::kRead) {
    S::SettingsIni overrideIni;
    if (overrideIni.Load(overrides.content)) {
      const IniScan overrideScan = checker.CheckLines(overrides);
      checker.CheckKeyNames(overrideScan, kOverrideLabel, true);
      for (const char* name : {"srv_domain", "update_srv_domain"}) {
        const char* raw = overrideIni.Raw(name);
        if (!raw || !*raw) continue;
        std::vector<std::string>& list = std::string(name) == "srv_domain" ? services : updates;
        list = S::SplitList(raw);
        const int line = Checker::LineOf(overrideScan, name);
        checker.Add(Severity::kNote, "override_replaces_list", kOverrideLabel, line, name,
                    std::string("\"") + name + "\" puts its " + std::to_string(list.size()) +
                        " item(s) first; cli_config.ini's items follow");
        checker.CheckListItems(kOverrideLabel, line, name, list, true);
      }
    }
  } else if (overrides.status != CheckedFile::Status::kMissing && overrides.status != CheckedFile::Status::kNotGiven) {
    checker.Add(Severity::kWarning, "override_not_read", kOverrideLabel, 0, "",
                overrides.path + " cannot be read (" + StatusName(overrides.status) + "): the library passes over it");
  }
  for (S::KeyId id : {S::KeyId::kServiceServers, S::KeyId::kUpdateServers}) {
    const S::Reading reading = ini.Read(id);
    std::vector<std::string>& list = id == S::KeyId::kServiceServers ? services : updates;
    if (reading.present)
      checker.CheckListItems(kSettingsLabel, Checker::LineOf(scan, reading.key->name), reading.key->name, reading.items,
                             false);
    for (const std::string& item : reading.items)
      if (!item.empty()) list.push_back(item);
  }
  checker.CheckRepeats("service server", services);
  checker.CheckRepeats("update server", updates);
  result.serviceServers = services;
  result.updateServers = updates;
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

void AddCheckSections(Report& report, const CheckResult& result) {
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
  report.Field("service_servers", "Service servers", result.serviceServers);
  report.Field("update_servers", "Update servers", result.updateServers);

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
