// How the settings file "cli_config.ini" and the override file
// "domaincfg.ini" are read: which keys there are, what each holds when the
// file gives no usable value, and why. The reader of the configuration
// object and the inspector's check both read through these functions, so
// the check can never tell of a value the library does not use.
#ifndef QUARN_CONFIG_SETTINGSRULES_H
#define QUARN_CONFIG_SETTINGSRULES_H

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

enum class Kind { kText, kInteger, kBoolean, kList };

// Where a key's value comes from: the file, or the default and why.
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

// The keys of "cli_config.ini", in the order the reader reads them.
enum class KeyId {
  kCurrentVersion,
  kInstallModule,
  kLogLevel,
  kLogMaxSize,
  kMaxCpuUse,
  kMaxMemUse,
  kProtectUpdate,
  kProtectOruHids,
  kSendFile,
  kUpdateLua,
  kConnectBeta,
  kVmCrashCheck,
  kVelseEnable,
  kVelseWafEnable,
  kWafRuleRefresh,
  kWafPortRefresh,
  kWafConfig,
  kServiceServers,
  kUpdateServers,
};
constexpr std::size_t kKeyCount = static_cast<std::size_t>(KeyId::kUpdateServers) + 1;

struct Key {
  const char* name;
  Kind kind;
  const char* textDefault;  // text and list keys
  int numberDefault;        // integers; switches: 1 for true
  int lowest, highest;      // integers: a value outside becomes the default
  bool firstReadOnly;       // read by the first read of the process only
};

const Key& SettingsKey(KeyId id);
// The settings file's key of that name (letter case aside), or nullptr.
const Key* FindSettingsKey(const char* name);
inline const Key* FindSettingsKey(const std::string& name) { return FindSettingsKey(name.c_str()); }
// Whether two key names are the same key, as the INI library compares them
// (on Windows, by the code page's case-insensitive comparison).
bool SameKeyName(const char* a, const char* b);
inline bool SameKeyName(const std::string& a, const std::string& b) { return SameKeyName(a.c_str(), b.c_str()); }
// The same comparison as an order, for maps of key names.
struct KeyNameLess {
  bool operator()(const char* a, const char* b) const;
  bool operator()(const std::string& a, const std::string& b) const { return (*this)(a.c_str(), b.c_str()); }
};
// The keys the override file reads: the two server lists, by the settings
// file's names.
constexpr KeyId kOverrideKeys[] = {KeyId::kServiceServers, KeyId::kUpdateServers};
// Whether the override file reads a key of that name.
bool IsOverrideKey(const char* name);
inline bool IsOverrideKey(const std::string& name) { return IsOverrideKey(name.c_str()); }

struct IntegerReading {
  int value;
  Origin origin;
  bool saturated;  // the number lay beyond the 32-bit range and was cut to it
};
// An integer value as written (nullptr: missing): decimal with sign, or
// hexadecimal after "0x"; values beyond the 32-bit range saturate.
IntegerReading InterpretInteger(const char* raw, int defaultValue);
// The same, then the key's bounds.
IntegerReading InterpretBoundedInteger(const char* raw, const Key& key);

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

// What one key of a loaded file holds.
struct Reading {
  const Key* key = nullptr;
  bool present = false;  // given in the unnamed section
  std::string raw;       // as written, when present
  Origin origin = Origin::kMissing;
  std::string text;        // text and list keys: the value used
  int number = 0;          // integers
  bool saturated = false;  // integers
  bool flag = false;       // switches
  // Lists: the items of `text` that are not empty (the settings file's
  // empty items are dropped, and a million of them must not be made to be
  // dropped), and how many empty ones there were.
  std::vector<std::string> items;
  std::size_t emptyItems = 0;
};

// A reader with the settings files' switches: not UTF-8, one value per key
// (the last one given wins), no multi-line values.
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
  Reading Read(KeyId id) const;
  Reading Read(const Key& key) const;

 private:
  struct Ini;  // the INI library's reader, kept out of this header
  std::unique_ptr<Ini> m_ini;
};

}  // namespace settings
}  // namespace quarn

#endif
