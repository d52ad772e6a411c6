// How the settings file "cli_config.ini" and the override file
// "domaincfg.ini" are read. ReadSettings turns the two files' texts into a
// SettingsRecord, every setting's value with where it came from; the rows of
// Settings.def say everything else about each setting. The configuration
// object keeps the record its getters answer from, and the inspector's
// report, check and replay read the same record, so no two of them can
// disagree on a value or on how it is written.
#ifndef QUARN_CONFIG_SETTINGSRULES_H
#define QUARN_CONFIG_SETTINGSRULES_H

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace quarn {
namespace settings {

// The largest settings or override file read: far above any real one (a few
// hundred bytes), and small enough that a hostile file cannot make the read
// take long or much memory. A larger file counts as unreadable.
constexpr std::size_t kMostFileBytes = std::size_t{1} << 20;

// How a setting's text is read.
enum class Kind { kText, kInteger, kBoolean, kList };

// Where a setting's value comes from: the file, or the default and why.
enum class Origin {
  kFile,                // the file's value (for integers: as bounded below)
  kMissing,             // the key is not in the unnamed section
  kEmpty,               // an integer or switch given as nothing
  kNotANumber,          // an integer that does not begin with a number
  kTrailingCharacters,  // an integer followed by more ("12.5", "10%")
  kTooLong,             // an integer of 64 characters or more
  kOutOfBounds,         // a number outside the key's bounds
  kNotABoolean,         // a switch that is none of 1/0, true/false, yes/no, on/off
};

// A stable lower-case name ("file", "missing", "not_a_number", ...).
const char* OriginName(Origin origin);

// The rows of Settings.def, counted.
enum SettingRowOrder : std::size_t {
#define QUARN_SETTING(field, ...) kRowOf_##field,
#include "config/Settings.def"
  kRowCount
};
constexpr std::size_t kSettingCount = kRowCount;

// Every setting's value, and why it holds it.
struct SettingsRecord {
#define QUARN_SETTING(field, type, ...) type field{};
#include "config/Settings.def"
  Origin origin[kSettingCount] = {};  // by row
};

// A row of Settings.def.
enum RowFlag : unsigned { kFirstReadOnly = 1, kRequired = 2, kOverridable = 4, kClientVersion = 8, kSize = 16 };
struct SettingRow {
  const char* key;    // the INI key
  const char* name;   // the inspector's stable JSON name
  const char* label;  // the inspector's label, for people
  Kind kind;
  const char* textDefault;  // texts and lists ("|" between items)
  int numberDefault;        // integers; switches: 1 for true
  int lowest, highest;      // integers: a value outside becomes the default
  // Integers: values the library keeps but nothing works with lie outside
  // these; why, for people (null: every value kept works).
  int usefulLowest, usefulHighest;
  const char* usefulWhy;
  unsigned flags;
  // The record's field: the one of these that is set, by its type.
  std::string SettingsRecord::*text;
  int SettingsRecord::*number;
  long long SettingsRecord::*wide;
  double SettingsRecord::*real;
  bool SettingsRecord::*flag;
  std::vector<std::string> SettingsRecord::*list;

  bool Has(RowFlag rowFlag) const { return (flags & rowFlag) != 0; }
};

// The rows, in the order of Settings.def (the order a read takes them).
const SettingRow& Setting(std::size_t row);
// The row of the settings file's key of that name (letter case aside), or
// null.
const SettingRow* FindSetting(const std::string& key);
// The index of a row.
std::size_t RowIndex(const SettingRow& row);
// The client's own version as a record holds it (the text row flagged
// kClientVersion).
const std::string& ClientVersion(const SettingsRecord& record);

// A record of every default, with empty server lists: what an object holds
// before its first read.
SettingsRecord DefaultSettings();

// What a read found for one setting beyond its value, for the inspector.
struct KeyReading {
  bool present = false;    // given in the unnamed section
  std::string raw;         // as written, when present
  bool saturated = false;  // integers: beyond the 32-bit range, cut to it
  // Lists: the settings file's empty items (dropped); how many items the
  // list takes from the override file (first); what that file says, when it
  // gives the key.
  std::size_t emptyItems = 0;
  std::size_t fromOverride = 0;
  bool overrideGiven = false;
  std::string overrideRaw;
};

struct SettingsReading {
  SettingsRecord record;
  bool settingsLoaded = false;  // the settings file's text was given and read
  bool overrideLoaded = false;
  // What the read reports: the settings file was read and every required
  // setting has a value.
  bool complete = false;
  std::array<KeyReading, kSettingCount> keys;  // by row
};

// The read of the two files' texts (null: the file could not be read) over
// the record the object held before: lists take their items after the ones
// they hold (unless the override file replaces them), and a later read of
// the process keeps the first-read-only settings as they are.
SettingsReading ReadSettings(const std::string* settingsText, const std::string* overrideText, SettingsRecord before,
                             bool firstRead);

// Whether two key names are the same key, as the INI library compares them
// (on Windows, by the code page's case-insensitive comparison).
bool SameKeyName(const char* a, const char* b);
inline bool SameKeyName(const std::string& a, const std::string& b) { return SameKeyName(a.c_str(), b.c_str()); }
// The same comparison as an order, for maps of key names.
struct KeyNameLess {
  bool operator()(const char* a, const char* b) const;
  bool operator()(const std::string& a, const std::string& b) const { return (*this)(a.c_str(), b.c_str()); }
};

struct IntegerReading {
  int value;
  Origin origin;
  bool saturated;  // the number lay beyond the 32-bit range and was cut to it
};
// An integer value as written (nullptr: missing): decimal with sign, or
// hexadecimal after "0x"; values beyond the 32-bit range saturate.
IntegerReading InterpretInteger(const char* raw, int defaultValue);
// The same, then the row's bounds.
IntegerReading InterpretBoundedInteger(const char* raw, const SettingRow& row);

struct BooleanReading {
  bool value;
  Origin origin;
};
// A switch as written (nullptr: missing): its first character decides.
BooleanReading InterpretBoolean(const char* raw, bool defaultValue);

// A list value split on "|", items exactly as the split gives them.
std::vector<std::string> SplitList(const std::string& text);

// A server list as a read leaves it: when the override file gives the
// list's key a value that is not empty (`overrideValue`, null when it gives
// none), its items replace the list, exactly as split (an empty item stays
// a server without a name); then the settings file's items (or the
// default's), those that are not empty, are appended. Nothing is removed
// before: a second read appends again.
void MergeServerList(std::vector<std::string>& list, const char* overrideValue, std::vector<std::string> settingsItems);

// The INI library with the settings files' switches: not UTF-8, one value
// per key (the last one given wins), no multi-line values.
class SettingsIni {
 public:
  SettingsIni();
  ~SettingsIni();
  SettingsIni(const SettingsIni&) = delete;
  SettingsIni& operator=(const SettingsIni&) = delete;
  // Loads file content; false when the INI library refuses it.
  bool Load(const std::string& content);
  // A key's value in the unnamed section as written, or nullptr.
  const char* Raw(const char* key) const;

 private:
  struct Ini;  // the INI library's reader, kept out of this header
  std::unique_ptr<Ini> m_ini;
};

}  // namespace settings
}  // namespace quarn

#endif
