#include "lint/SettingsCheck.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <map>

#include "config/LayoutRules.h"
#include "lint/IniLineScan.h"
#include "lint/NearestKey.h"
#include "lint/ServerItems.h"
#include "report/Utf8Text.h"

namespace quarn_tools {
namespace {

namespace S = quarn::settings;
using S::SettingRow;

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

// Where in a file a finding is: a line (0 for the whole file) and a byte of
// it (0 for the whole line).
struct Where {
  int line, column;
  Where(int atLine, int atColumn = 0) : line(atLine), column(atColumn) {}  // NOLINT(google-explicit-constructor)
};

// The forms people mean a switch by, in any case. The library decides by
// the first character alone, so "ture" is true and "nope" false: a switch
// written in another form is worth a look.
bool IsPlainSwitch(const std::string& text) {
  for (const char* form : {"1", "0", "true", "false", "yes", "no", "on", "off"})
    if (S::SameKeyName(text.c_str(), form)) return true;
  return false;
}

// Whether a value is wrapped in quotes, which the library keeps.
bool IsQuoted(const std::string& value) {
  return value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
}

// Whether a value ends in what looks like a comment: ";" or "#" with white
// space before it and white space or the end after it ("rule #5" is no
// comment). The library keeps it in the value.
bool HasTrailingComment(const std::string& value) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  for (std::size_t at = 1; at < value.size(); ++at)
    if ((value[at] == ';' || value[at] == '#') && blank(value[at - 1]) &&
        (at + 1 == value.size() || blank(value[at + 1])))
      return true;
  return false;
}

// Whether an integer's text is written in hexadecimal ("0x10").
bool IsHexadecimal(const std::string& raw) {
  const std::size_t at = raw.find_first_not_of(" \t");
  return at != std::string::npos && at + 1 < raw.size() && raw[at] == '0' && (raw[at + 1] == 'x' || raw[at + 1] == 'X');
}

// An integer setting's value as the record holds it.
long long IntegerValue(const S::SettingsRecord& record, const SettingRow& row) {
  if (row.number) return record.*row.number;
  if (row.wide) return record.*row.wide;
  if (row.real) return static_cast<long long>(record.*row.real);
  return 0;
}

// The text, cut to its first bytes and "..." where it is longer. Only
// what is kept is copied: a section's name is quoted once per key under it.
std::string Excerpt(const char* text, std::size_t size) {
  if (size <= kMostQuotedBytes) return std::string(text, size);
  // Cut between characters, not inside one.
  const std::string head(text, std::min(size, kMostQuotedBytes + 3));
  std::size_t cut = 0;
  while (cut < kMostQuotedBytes) {
    const std::size_t length = std::max<std::size_t>(Utf8SequenceLength(head, cut), 1);
    if (cut + length > kMostQuotedBytes) break;
    cut += length;
  }
  return head.substr(0, cut) + "...";
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

std::string DefaultText(const SettingRow& row) {
  switch (row.kind) {
    case S::Kind::kInteger:
      return std::to_string(row.numberDefault);
    case S::Kind::kBoolean:
      return row.numberDefault ? "true" : "false";
    default:
      return Quote(row.textDefault);
  }
}

// The keys of the unnamed section that the reader sees, grouped by name as
// the reader compares names: each group in file order, the groups in the
// order of their first key. Sorting places costs n log n however many keys
// share a name, and so does finding a name's line.
class NameGroups {
 public:
  explicit NameGroups(const IniScan& scan) : m_scan(scan), m_firstOfName(scan.keys.size(), false) {
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < scan.keys.size(); ++i)
      if (!scan.keys[i].lost && scan.keys[i].section.empty()) order.push_back(i);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return m_less(Name(a), Name(b)); });
    for (std::size_t i = 0; i < order.size(); ++i) {
      if (i == 0 || m_less(Name(order[i - 1]), Name(order[i]))) {
        m_byName.emplace_back();
        m_firstOfName[order[i]] = true;
      }
      m_byName.back().push_back(order[i]);
    }
  }

  // In the order of each name's first key.
  std::vector<const std::vector<std::size_t>*> InFileOrder() const {
    std::vector<const std::vector<std::size_t>*> groups;
    for (const std::vector<std::size_t>& group : m_byName) groups.push_back(&group);
    std::sort(groups.begin(), groups.end(), [](const std::vector<std::size_t>* a, const std::vector<std::size_t>* b) {
      return a->front() < b->front();
    });
    return groups;
  }

  bool FirstOfName(std::size_t key) const { return m_firstOfName[key]; }

  // The last key of that name (the one the reader keeps), null for none.
  const ScannedKey* LastOf(const char* name) const {
    const auto found = std::lower_bound(
        m_byName.begin(), m_byName.end(), name,
        [&](const std::vector<std::size_t>& group, const char* wanted) { return m_less(Name(group.front()), wanted); });
    if (found == m_byName.end() || m_less(name, Name(found->front()))) return nullptr;
    return &m_scan.keys[found->back()];
  }

 private:
  const char* Name(std::size_t key) const { return m_scan.Key(m_scan.keys[key]); }

  const IniScan& m_scan;
  S::KeyNameLess m_less;
  std::vector<std::vector<std::size_t>> m_byName;  // places in IniScan::keys, sorted by name
  std::vector<bool> m_firstOfName;                 // per key: the first of its name
};

// One file of the check: its path and label, and its scan.
struct FileOfCheck {
  const CheckedFile& file;
  bool scanned;  // read, and text: its lines and values are checked
  IniScan scan;
  NameGroups names;
  FileOfCheck(const CheckedFile& given, bool isText)
      : file(given), scanned(isText), scan(isText ? ScanIniLines(given.content) : IniScan()), names(scan) {}
  int LineOf(const char* name) const { return ValueOf(name).line; }
  // Where the value of the key the reader keeps begins; line 0 for none.
  Where ValueOf(const char* name) const {
    const ScannedKey* key = names.LastOf(name);
    return key ? Where(key->line, key->valueColumn) : Where(0);
  }
};

// Where each item of a list value begins, "|" splitting it; `withEmpty`:
// the empty items too (the override file keeps them).
std::vector<std::uint32_t> ItemStarts(const std::string& value, bool withEmpty) {
  std::vector<std::uint32_t> starts;
  std::size_t start = 0;
  for (std::size_t at = 0; at <= value.size(); ++at) {
    if (at < value.size() && value[at] != '|') continue;
    if (withEmpty || at > start) starts.push_back(static_cast<std::uint32_t>(start));
    start = at + 1;
  }
  return starts;
}

// Where each item of a list the read makes was written: the override
// file's items first, then the settings file's (its empty items dropped).
// A value's items are found once, not per finding.
class ListPlaces {
 public:
  ListPlaces(const FileOfCheck& settings, const FileOfCheck& overrides, const char* name, const S::KeyReading& key)
      : m_settings(settings), m_overrides(overrides) {
    if (key.present) Find(settings, name, key.raw, false, m_fromSettings);
    if (!key.overrideRaw.empty()) Find(overrides, name, key.overrideRaw, true, m_fromOverride);
  }

  const FileOfCheck& FileOf(std::size_t item, std::size_t fromOverride) const {
    return item < fromOverride ? m_overrides : m_settings;
  }
  Where Of(std::size_t item, std::size_t fromOverride) const {
    return item < fromOverride ? m_fromOverride.Of(item) : m_fromSettings.Of(item - fromOverride);
  }

 private:
  struct Items {
    Where value{0};
    std::vector<std::uint32_t> offsets;
    Where Of(std::size_t item) const {
      if (value.line == 0 || item >= offsets.size()) return value;
      return Where(value.line, value.column + static_cast<int>(offsets[item]));
    }
  };
  static void Find(const FileOfCheck& file, const char* name, const std::string& value, bool withEmpty, Items& items) {
    items.value = file.ValueOf(name);
    items.offsets = ItemStarts(value, withEmpty);
  }

  const FileOfCheck& m_settings;
  const FileOfCheck& m_overrides;
  Items m_fromSettings, m_fromOverride;
};

class Checker {
 public:
  explicit Checker(CheckResult& result) : m_result(result) {}

  // Whether a finding of this code in this file would still be listed: past
  // the cap it is only counted, and its message need not be made.
  bool Counts(const std::string& path, Check check) {
    Tally& tally = m_tallies[{path, check}];
    return ++tally.count <= kMostListedPerCode;
  }

  // `milder`: in the case the row's description names.
  void Add(Check check, const std::string& path, Where where, const std::string& key, const std::string& message,
           bool milder = false) {
    if (Counts(path, check)) List(check, path, where, key, message, milder);
  }

  // A finding already counted by Counts.
  void List(Check check, const std::string& path, Where where, const std::string& key, const std::string& message,
            bool milder = false) {
    const CheckRow& row = CheckOf(check);
    const Severity severity = milder ? row.milder : row.severity;
    m_tallies[{path, check}].severity = severity;
    m_result.findings.push_back({severity, row.code, path, where.line, where.column, key, message, 0});
  }

  // One finding more for each code whose findings were not all listed; it
  // counts for them.
  void AddUnlisted() {
    for (const auto& entry : m_tallies) {
      const Tally& tally = entry.second;
      if (tally.count <= kMostListedPerCode) continue;
      const int more = tally.count - kMostListedPerCode;
      m_result.findings.push_back({tally.severity, CheckOf(entry.first.second).code, entry.first.first, 0, 0, "",
                                   std::to_string(more) + " more finding(s) like these, not listed one by one",
                                   more - 1});
    }
  }

  // A file written in UTF-16 or UTF-32: the reader stops at its first zero
  // byte. Said once, instead of what its zero bytes and line ends would
  // make of every line. A file that is no text at all (an executable, an
  // archive) the same: one error, none of its bytes quoted.
  bool CheckIsText(const CheckedFile& file, bool isOverride) {
    const char* encoding = WideEncodingOf(file.content);
    if (encoding) {
      Add(Check::kWideEncoding, file.path, 0, "",
          std::string("is written in ") + encoding +
              ": the reader takes bytes of the system's code page and stops at the first zero byte, so it finds no "
              "key at all; save the file as ANSI or UTF-8");
      return false;
    }
    const std::string kind = NotTextKind(file.content);
    if (kind.empty()) return true;
    Add(Check::kNotText, file.path, 0, "",
        "is not a text file but " + kind + ": the reader takes its bytes up to the first NUL byte as lines" +
            (isOverride ? ", and no server list comes of it" : ", and the settings read finds no setting it means"));
    return false;
  }

  // The bytes and lines of a file that the reader treats otherwise than an
  // editor shows them.
  void CheckBytes(const FileOfCheck& f) {
    const IniScan& scan = f.scan;
    const std::string& path = f.file.path;
    if (scan.byteOrderMark) {
      const bool ascii = std::all_of(f.file.content.begin() + 3, f.file.content.end(),
                                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
      Add(Check::kByteOrderMark, path, Where(1, 1), "",
          ascii ? "starts with a UTF-8 byte-order mark: the reader skips it, and the file is ASCII, read the same "
                  "either way"
                : "starts with a UTF-8 byte-order mark: the reader skips it, but reads the texts as bytes of the "
                  "system's code page, so UTF-8 texts beyond ASCII come out wrong",
          ascii);
    }
    if (scan.nulLine) {
      std::vector<const ScannedKey*> lost;
      for (const ScannedKey& key : scan.keys)
        if (key.lost) lost.push_back(&key);
      Add(Check::kNulByte, path, scan.nulLine, "",
          "a NUL byte: the reader stops there" +
              (lost.empty() ? std::string() : "; keys lost: " + BoundedList(lost, [&](const ScannedKey* key) {
                                                return Excerpt(std::string(scan.Key(*key)));
                                              })));
    }
    if (!scan.loneCrLines.empty())
      Add(Check::kLoneCr, path, scan.loneCrLines.front(), "",
          "CR without LF on line(s) " + LineList(scan.loneCrLines) +
              ": the reader ends a line at each, editors may show one line");
    for (const ScannedLine& line : scan.brokenHeaders)
      if (Counts(path, Check::kBrokenSectionHeader))
        List(Check::kBrokenSectionHeader, path, Where(line.line, 1), "",
             Cited(scan.Data(line.text), line.text.size()) + " is " + line.why +
                 ": the keys after it, up to the next header, are not read");
    for (const ScannedLine& line : scan.ignored)
      if (Counts(path, Check::kIgnoredLine))
        List(Check::kIgnoredLine, path, Where(line.line, 1), "",
             Cited(scan.Data(line.text), line.text.size()) + " has " + line.why + ": the reader passes over it");
  }

  // Keys given more than once in the unnamed section: the last one wins.
  void CheckDuplicates(const FileOfCheck& f) {
    const IniScan& scan = f.scan;
    for (const std::vector<std::size_t>* group : f.names.InFileOrder()) {
      if (group->size() < 2 || !Counts(f.file.path, Check::kDuplicateKey)) continue;
      std::vector<int> lines;
      for (std::size_t i = 0; i < group->size() && i < kMostListedItems; ++i)
        lines.push_back(scan.keys[(*group)[i]].line);
      const ScannedKey& last = scan.keys[group->back()];
      const std::string name = scan.Key(scan.keys[group->front()]);
      std::string given = LineList(lines);
      if (group->size() > lines.size()) given += " and " + std::to_string(group->size() - lines.size()) + " more";
      List(Check::kDuplicateKey, f.file.path, Where(last.line, last.keyColumn), name,
           Cited(name) + " is given on lines " + given + ": the last one (" + Cited(scan.Value(last)) + ") is used");
    }
  }

  // Keys the file gives that its reader does not read.
  void CheckKeyNames(const FileOfCheck& f, bool isOverride) {
    const IniScan& scan = f.scan;
    std::vector<std::string> known;
    for (std::size_t r = 0; r < S::kSettingCount; ++r)
      if (!isOverride || S::Setting(r).Has(S::kOverridable)) known.push_back(S::Setting(r).key);
    for (std::size_t i = 0; i < scan.keys.size(); ++i) {
      const ScannedKey& key = scan.keys[i];
      if (key.lost) continue;
      const char* name = scan.Key(key);
      const SettingRow* row = S::FindSetting(name);
      const bool isKnown = row && (!isOverride || row->Has(S::kOverridable));
      if (!key.section.empty()) {
        if (Counts(f.file.path, Check::kKeyUnderSection))
          List(Check::kKeyUnderSection, f.file.path, Where(key.line, key.keyColumn), name,
               Cited(name) + " is under the section header [" + Excerpt(scan.Data(key.section), key.section.size()) +
                   "]: only keys before the first header are read" + (isKnown ? ", so it keeps its default" : ""),
               !isKnown);
        continue;
      }
      if (isKnown || !f.names.FirstOfName(i) || !Counts(f.file.path, Check::kUnknownKey)) continue;
      List(Check::kUnknownKey, f.file.path, Where(key.line, key.keyColumn), name,
           UnknownKeyMessage(name, f.file.label, known, isOverride && row));
    }
  }

  // A value the library takes other than the writer likely meant, or does
  // not take at all.
  void CheckValue(const S::SettingsReading& reading, const SettingRow& row, const std::string& path, Where line) {
    const S::KeyReading& key = reading.keys[S::RowIndex(row)];
    const S::Origin origin = reading.record.origin[S::RowIndex(row)];
    const std::string said = Quote(row.key) + " = " + Cited(key.raw) + ": ";
    switch (origin) {
      case S::Origin::kFile:
        if (key.saturated) Add(Check::kSaturated, path, line, row.key, said + WhyDefault(reading, row));
        break;
      case S::Origin::kMissing:
        return;  // a key left out has its default: the normal case
      case S::Origin::kEmpty:
        Add(Check::kEmptyValue, path, line, row.key, said + WhyDefault(reading, row));
        return;
      default:
        Check check;
        if (FindCheck(S::OriginName(origin), check)) Add(check, path, line, row.key, said + WhyDefault(reading, row));
        return;
    }
    if (row.kind == S::Kind::kBoolean && !IsPlainSwitch(key.raw))
      Add(Check::kLooseBoolean, path, line, row.key,
          said + "not one of 1/0, true/false, yes/no, on/off; the library takes it as " +
              SettingValueText(reading, row) + ", by its first character" + (key.raw.size() > 1 ? "s" : ""));
    if (row.kind == S::Kind::kInteger) CheckNumber(reading, row, path, line, said);
    if (row.kind == S::Kind::kText || row.kind == S::Kind::kList) {
      if (IsQuoted(key.raw))
        Add(Check::kQuotedValue, path, line, row.key,
            said + "the quotes are part of the value: the library uses it with them");
      else if (HasTrailingComment(key.raw))
        Add(Check::kCommentInValue, path, line, row.key,
            said + "what follows \";\" or \"#\" is part of the value: comments are whole lines only");
    }
  }

  // A number the library takes, though maybe not as meant: written in
  // hexadecimal, a negative size, a value nothing works with.
  void CheckNumber(const S::SettingsReading& reading, const SettingRow& row, const std::string& path, Where line,
                   const std::string& said) {
    const long long value = IntegerValue(reading.record, row);
    const std::string kept = std::to_string(value);
    if (IsHexadecimal(reading.keys[S::RowIndex(row)].raw))
      Add(Check::kHexadecimalNumber, path, line, row.key,
          said + "written in hexadecimal: the library reads it as " + kept);
    if (row.Has(S::kSize) && value < 0)
      Add(Check::kNegativeSize, path, line, row.key,
          said + "a size below 0 bytes: the library keeps " + kept + " and hands it on as it is");
    else if (row.usefulWhy && (value < row.usefulLowest || value > row.usefulHighest))
      Add(Check::kUselessValue, path, line, row.key,
          said + "the library keeps " + kept + ", though nothing works with a value outside " +
              std::to_string(row.usefulLowest) + " to " + std::to_string(row.usefulHighest) + ": " + row.usefulWhy);
  }

  // Empty items of a list value: dropped from the settings file, kept (as
  // an empty server name) from the override file.
  void CheckListItems(const std::string& path, Where line, const std::string& name, std::size_t empty, bool kept) {
    if (empty == 0) return;
    if (kept)
      Add(Check::kEmptyListItem, path, line, name,
          Quote(name) + " has " + std::to_string(empty) + " empty item(s): they are kept as servers without a name");
    else
      Add(Check::kEmptyListItem, path, line, name,
          Quote(name) + " has " + std::to_string(empty) + " empty item(s): the reader drops them", true);
  }

  // The servers of the list the read makes: each that cannot be what was
  // meant, where it was written. The first `fromOverride` items are the
  // override file's.
  void CheckServers(const std::string& name, const std::vector<std::string>& list, std::size_t fromOverride,
                    const ListPlaces& places) {
    for (std::size_t i = 0; i < list.size(); ++i) {
      const ServerItemProblem problem = DiagnoseServerItem(list[i]);
      if (!problem.found) continue;
      const FileOfCheck& from = places.FileOf(i, fromOverride);
      if (!from.scanned || !Counts(from.file.path, problem.check)) continue;
      List(problem.check, from.file.path, places.Of(i, fromOverride), name,
           Quote(name) + " item " + Cited(list[i]) + " " + problem.why);
    }
  }

  // Items the list holds more than once, in any letter case (names are
  // looked up so), each said once, in the order of their first place (and
  // in the file that gives it). Sorting places, not copies: a list of a
  // million items costs a few bytes more per item.
  void CheckRepeats(const std::string& name, const std::string& listName, const std::vector<std::string>& list,
                    std::size_t fromOverride, const ListPlaces& places) {
    const S::KeyNameLess less;
    const auto itemLess = [&](std::uint32_t a, std::uint32_t b) { return less(list[a].c_str(), list[b].c_str()); };
    std::vector<std::uint32_t> order;
    for (std::size_t i = 0; i < list.size(); ++i)
      if (!list[i].empty()) order.push_back(static_cast<std::uint32_t>(i));
    std::stable_sort(order.begin(), order.end(), itemLess);
    std::vector<std::pair<std::uint32_t, std::size_t>> repeated;  // first place, times
    for (std::size_t i = 0; i < order.size();) {
      std::size_t j = i + 1;
      while (j < order.size() && !itemLess(order[i], order[j])) ++j;
      if (j - i > 1) repeated.emplace_back(order[i], j - i);
      i = j;
    }
    std::sort(repeated.begin(), repeated.end());
    for (const auto& item : repeated) {
      const FileOfCheck& from = places.FileOf(item.first, fromOverride);
      if (!from.scanned || !Counts(from.file.path, Check::kRepeatedListItem)) continue;
      List(Check::kRepeatedListItem, from.file.path, places.Of(item.first, fromOverride), name,
           Cited(list[item.first]) + " is " + std::to_string(item.second) + " times in the " + listName +
               " list the read makes: it is tried as often");
    }
  }

 private:
  struct Tally {
    Severity severity = Severity::kNote;
    int count = 0;
  };

  static std::string UnknownKeyMessage(const char* name, const std::string& label,
                                       const std::vector<std::string>& known, bool belongsInSettings) {
    std::string message = Cited(name) + " is not a key of " + label;
    const std::string nearest = NearestKnownKey(name, known);
    if (!nearest.empty()) return message + "; did you mean " + Quote(nearest) + "?";
    if (belongsInSettings)
      message += "; it belongs in " + std::string(quarn::layout::kSettingsFileName) + " (this file reads only " +
                 known[0] + " and " + known[1] + ")";
    return message;
  }

  CheckResult& m_result;
  std::map<std::pair<std::string, Check>, Tally> m_tallies;  // by file and code
};

CheckedFile WithoutContent(const CheckedFile& file) {
  return CheckedFile{file.path, file.label, file.status, std::string(), file.optional};
}

// The settings file: its lines, its keys and every value the library reads.
void CheckSettingsFile(Checker& checker, const FileOfCheck& file, const S::SettingsReading& reading, bool scanned,
                       CheckResult& result) {
  const CheckedFile& settings = file.file;
  if (settings.status == CheckedFile::Status::kNotGiven) return;  // an override file checked alone
  if (!reading.settingsLoaded) {
    result.unreadable = true;
    checker.Add(Check::kSettingsNotRead, settings.path, 0, "",
                "cannot be read (" + UnreadReason(settings) +
                    "): the library logs \"load config error\", every key takes its default and the read reports "
                    "false");
    return;
  }
  if (!scanned) return;
  if (IsBlankText(settings.content)) {
    checker.Add(Check::kEmptyFile, settings.path, 0, "",
                "is empty: every setting takes its default, and without \"defaultinstall\" the settings read reports "
                "false");
    return;
  }
  checker.CheckBytes(file);
  checker.CheckDuplicates(file);
  checker.CheckKeyNames(file, false);
  for (std::size_t r = 0; r < S::kSettingCount; ++r) {
    const SettingRow& row = S::Setting(r);
    checker.CheckValue(reading, row, settings.path, file.ValueOf(row.key));
    if (!row.Has(S::kRequired) || !(reading.record.*row.text).empty()) continue;
    const bool present = reading.keys[r].present;
    Check check;
    if (FindCheck((present ? "empty_" : "missing_") + std::string(row.key), check))
      checker.Add(check, settings.path, file.ValueOf(row.key), row.key,
                  Quote(row.key) + " is " + (present ? "empty" : "not given") + ": the settings read reports false");
  }
}

// The override file: its lines and keys, and what it puts in each list.
void CheckOverrideFile(Checker& checker, const FileOfCheck& file, const S::SettingsReading& reading, bool scanned,
                       CheckResult& result) {
  const CheckedFile& overrides = file.file;
  if (!reading.overrideLoaded) {
    // The installation's own may well be missing: the library passes over it.
    if (overrides.status == CheckedFile::Status::kNotGiven ||
        (overrides.status == CheckedFile::Status::kMissing && overrides.optional))
      return;
    result.unreadable = true;
    checker.Add(Check::kOverrideNotRead, overrides.path, 0, "",
                "cannot be read (" + UnreadReason(overrides) + "): the library passes over it");
    return;
  }
  if (!scanned) return;
  if (IsBlankText(overrides.content)) {
    checker.Add(Check::kEmptyFile, overrides.path, 0, "", "is empty: it changes no server list", true);
    return;
  }
  checker.CheckBytes(file);
  checker.CheckDuplicates(file);
  checker.CheckKeyNames(file, true);
  for (std::size_t r = 0; r < S::kSettingCount; ++r) {
    const S::KeyReading& key = reading.keys[r];
    if (!S::Setting(r).Has(S::kOverridable) || key.overrideRaw.empty()) continue;
    const char* name = S::Setting(r).key;
    const std::size_t items = ItemStarts(key.overrideRaw, true).size();
    const Where line = file.ValueOf(name);
    checker.Add(Check::kOverrideReplacesList, overrides.path, line, name,
                Quote(name) + " puts its " + std::to_string(items) + " item(s) first; " +
                    quarn::layout::kSettingsFileName + "'s items follow");
    checker.CheckListItems(overrides.path, line, name, items - ItemStarts(key.overrideRaw, false).size(), true);
  }
}

// The lists as the read puts them together.
void CheckLists(Checker& checker, const FileOfCheck& settings, const FileOfCheck& overrides,
                const S::SettingsReading& reading, bool settingsScanned) {
  for (std::size_t r = 0; r < S::kSettingCount; ++r) {
    const SettingRow& row = S::Setting(r);
    if (!row.list) continue;
    const S::KeyReading& key = reading.keys[r];
    const std::vector<std::string>& list = reading.record.*row.list;
    // An empty list is said as such, not as its empty items.
    if (key.present && settingsScanned && !list.empty())
      checker.CheckListItems(settings.file.path, settings.ValueOf(row.key), row.key, key.emptyItems, false);
    // "Service servers" names "the service server list".
    std::string listName = row.label;
    listName[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(listName[0])));
    if (!listName.empty() && listName.back() == 's') listName.pop_back();
    if (list.empty() && settingsScanned)
      checker.Add(Check::kNoServer, settings.file.path, settings.ValueOf(row.key), row.key,
                  Quote(row.key) + " leaves the " + listName + " list empty: the agent has no " +
                      (listName + " at all (left out, the key gives the default list)"));
    const ListPlaces places(settings, overrides, row.key, key);
    checker.CheckServers(row.key, list, key.fromOverride, places);
    checker.CheckRepeats(row.key, listName, list, key.fromOverride, places);
  }
}

}  // namespace

std::string SettingValueText(const S::SettingsReading& reading, const SettingRow& row) {
  const S::SettingsRecord& record = reading.record;
  if (row.text) return record.*row.text;
  if (row.number) return std::to_string(record.*row.number);
  if (row.wide) return std::to_string(record.*row.wide);
  if (row.flag) return record.*row.flag ? "true" : "false";
  if (row.real) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", record.*row.real);
    return text;
  }
  const S::KeyReading& key = reading.keys[S::RowIndex(row)];
  return key.present ? key.raw : row.textDefault;  // a list: the text its items come from
}

std::string WhyDefault(const S::SettingsReading& reading, const SettingRow& row) {
  const std::string theDefault = "the default " + DefaultText(row);
  switch (reading.record.origin[S::RowIndex(row)]) {
    case S::Origin::kFile:
      return reading.keys[S::RowIndex(row)].saturated
                 ? "beyond the 32-bit range: cut to " + SettingValueText(reading, row)
                 : "";
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
      return "outside " + std::to_string(row.lowest) +
             (row.highest == INT_MAX ? std::string(" and up") : " to " + std::to_string(row.highest)) + ": " +
             theDefault;
    case S::Origin::kNotABoolean:
      return "by its first characters neither true (1, t, y, on) nor false (0, f, n, of): " + theDefault;
  }
  return "";
}

CheckResult CheckSettings(const CheckedFile& settings, const CheckedFile& overrides) {
  CheckResult result;
  result.files = {WithoutContent(settings), WithoutContent(overrides)};
  result.reading = ReadSettingsFiles(settings, overrides);
  Checker checker(result);
  // Read, and narrow text: then its lines and keys are checked.
  const bool settingsScanned = result.reading.settingsLoaded && checker.CheckIsText(settings, false);
  const bool overrideScanned = result.reading.overrideLoaded && checker.CheckIsText(overrides, true);
  const FileOfCheck settingsFile(settings, settingsScanned), overrideFile(overrides, overrideScanned);
  CheckSettingsFile(checker, settingsFile, result.reading, settingsScanned, result);
  CheckOverrideFile(checker, overrideFile, result.reading, overrideScanned, result);
  CheckLists(checker, settingsFile, overrideFile, result.reading, settingsScanned);
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

}  // namespace quarn_tools
