#include "config/SettingsRules.h"

#include <SimpleIni.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "config/DeploymentDefaults.h"
#include "config/IniSyntax.h"
#include "config/SettingsDefaults.h"
#include "util/StringUtil.h"

namespace quarn {
namespace settings {
namespace {

namespace D = quarn::defaults;

const char kSection[] = "";

// An integer value of this many characters or more is not read: the INI
// library copies it into a buffer of 64 bytes, its end mark included.
const std::size_t kIntegerTextBuffer = 64;

constexpr Key Text(const char* name, const char* value) { return {name, Kind::kText, value, 0, 0, 0, false}; }
constexpr Key Integer(const char* name, int value, int lowest = INT_MIN, int highest = INT_MAX, bool first = false) {
  return {name, Kind::kInteger, "", value, lowest, highest, first};
}
constexpr Key Boolean(const char* name, bool value) { return {name, Kind::kBoolean, "", value ? 1 : 0, 0, 1, false}; }
constexpr Key List(const char* name, const char* value) { return {name, Kind::kList, value, 0, 0, 0, false}; }

// In KeyId's order.
const Key kKeys[kKeyCount] = {
    Text("current_version", D::kCurrentVersion),
    Text("defaultinstall", D::kInstallModule),
    Integer("loglevel", D::kLogLevel),
    Integer("logmaxsize", D::kLogMaxSize),
    Integer("max_cpuuse", D::kMaxCpuUse, 1, D::kHighestMaxCpuUse, true),
    Integer("max_memuse", D::kMaxMemUse, 1, D::kHighestMaxMemUse, true),
    Boolean("protectupdate", D::kProtectUpdate),
    Boolean("protectoruhids", D::kProtectOruHids),
    Boolean("sendfile", D::kSendFile),
    Boolean("updatelua", D::kUpdateLua),
    Boolean("connect_beta", D::kConnectBeta),
    Boolean("vm_crash_check", D::kVmCrashCheck),
    Boolean("velse_enable", D::kVelseEnable),
    Boolean("velse_waf_enable", D::kVelseWafEnable),
    Integer("velse_waf_rule_refresh", D::kWafRuleRefresh, 1),
    Integer("velse_waf_port_refresh", D::kWafPortRefresh, 1),
    Text("waf_cfg", D::kWafConfig),
    List("srv_domain", quarn::kDefaultServiceServers),
    List("update_srv_domain", quarn::kDefaultUpdateServers),
};

}  // namespace

bool KeyNameLess::operator()(const char* a, const char* b) const {
  const CSimpleIniA::Entry::KeyOrder less;
  return less(CSimpleIniA::Entry(a), CSimpleIniA::Entry(b));
}

bool SameKeyName(const char* a, const char* b) {
  const KeyNameLess less;
  return !less(a, b) && !less(b, a);
}

const char* OriginName(Origin origin) {
  switch (origin) {
    case Origin::kFile:
      return "file";
    case Origin::kMissing:
      return "missing";
    case Origin::kEmpty:
      return "empty";
    case Origin::kNotANumber:
      return "not_a_number";
    case Origin::kTrailingCharacters:
      return "trailing_characters";
    case Origin::kTooLong:
      return "too_long";
    case Origin::kOutOfBounds:
      return "out_of_bounds";
    case Origin::kNotABoolean:
      return "not_a_boolean";
  }
  return "unknown";
}

const Key& SettingsKey(KeyId id) { return kKeys[static_cast<std::size_t>(id)]; }

const Key* FindSettingsKey(const char* name) {
  for (const Key& key : kKeys)
    if (SameKeyName(key.name, name)) return &key;
  return nullptr;
}

bool IsOverrideKey(const char* name) {
  for (KeyId id : kOverrideKeys)
    if (SameKeyName(name, SettingsKey(id).name)) return true;
  return false;
}

IntegerReading InterpretInteger(const char* raw, int defaultValue) {
  if (!raw) return {defaultValue, Origin::kMissing, false};
  if (!*raw) return {defaultValue, Origin::kEmpty, false};
  if (std::strlen(raw) >= kIntegerTextBuffer) return {defaultValue, Origin::kTooLong, false};

  const char* digits = raw;
  int base = 10;
  if (raw[0] == '0' && (raw[1] == 'x' || raw[1] == 'X')) {
    if (!raw[2]) return {defaultValue, Origin::kNotANumber, false};
    digits = raw + 2;
    base = 16;
  }
  errno = 0;
  char* rest = nullptr;
  const long value = std::strtol(digits, &rest, base);
  const bool outOfRange = errno == ERANGE;
  if (rest == digits) return {defaultValue, Origin::kNotANumber, false};
  if (*rest) return {defaultValue, Origin::kTrailingCharacters, false};
  // A long is 64 bits wide on LP64 systems: saturate there as a 32-bit long
  // does on Windows, so "4294967297" reads as INT_MAX everywhere (not 1).
  if (value > INT_MAX) return {INT_MAX, Origin::kFile, true};
  if (value < INT_MIN) return {INT_MIN, Origin::kFile, true};
  return {static_cast<int>(value), Origin::kFile, outOfRange};
}

IntegerReading InterpretBoundedInteger(const char* raw, const Key& key) {
  IntegerReading reading = InterpretInteger(raw, key.numberDefault);
  if (reading.value < key.lowest || reading.value > key.highest) {
    reading.value = key.numberDefault;
    reading.origin = Origin::kOutOfBounds;
  }
  return reading;
}

BooleanReading InterpretBoolean(const char* raw, bool defaultValue) {
  if (!raw) return {defaultValue, Origin::kMissing};
  switch (raw[0]) {
    case '\0':
      return {defaultValue, Origin::kEmpty};
    case 't':
    case 'T':
    case 'y':
    case 'Y':
    case '1':
      return {true, Origin::kFile};
    case 'f':
    case 'F':
    case 'n':
    case 'N':
    case '0':
      return {false, Origin::kFile};
    case 'o':
    case 'O':
      if (raw[1] == 'n' || raw[1] == 'N') return {true, Origin::kFile};
      if (raw[1] == 'f' || raw[1] == 'F') return {false, Origin::kFile};
      break;
    default:
      break;
  }
  return {defaultValue, Origin::kNotABoolean};
}

std::vector<std::string> SplitList(const std::string& text) { return kqt::CStringUtil::stringSplit(text, "|", false); }

void MergeServerList(std::vector<std::string>& list, const char* overrideValue,
                     std::vector<std::string> settingsItems) {
  if (overrideValue && *overrideValue) list = SplitList(overrideValue);
  // Room for the items kept only, in one allocation: a value of separators
  // alone must not leave a list holding room for a million.
  const auto kept = settingsItems.size() -
                    static_cast<std::size_t>(std::count(settingsItems.begin(), settingsItems.end(), std::string()));
  list.reserve(list.size() + kept);
  for (std::string& item : settingsItems)
    if (!item.empty()) list.push_back(std::move(item));
}

struct SettingsIni::Ini {
  CSimpleIniA reader{false, false, false};
};

SettingsIni::SettingsIni() : m_ini(new Ini) {}
SettingsIni::~SettingsIni() = default;

bool SettingsIni::Load(const std::string& content) {
  // Only the unnamed section is ever read: the reader gets its keys alone,
  // which it holds exactly as it would from the whole file.
  const std::string keys = UnnamedSectionText(content);
  return m_ini->reader.LoadData(keys.data(), keys.size()) >= 0;
}

const char* SettingsIni::Raw(const char* key) const { return m_ini->reader.GetValue(kSection, key, nullptr); }

Reading SettingsIni::Read(KeyId id) const { return Read(SettingsKey(id)); }

Reading SettingsIni::Read(const Key& key) const {
  Reading reading;
  reading.key = &key;
  const char* raw = Raw(key.name);
  reading.present = raw != nullptr;
  if (raw) reading.raw = raw;
  switch (key.kind) {
    case Kind::kText:
    case Kind::kList:
      // A text given empty is the empty text, not the default.
      reading.origin = raw ? Origin::kFile : Origin::kMissing;
      reading.text = raw ? raw : key.textDefault;
      if (key.kind == Kind::kList) {
        reading.items = kqt::CStringUtil::stringSplit(reading.text, "|", true);
        reading.emptyItems = static_cast<std::size_t>(std::count(reading.text.begin(), reading.text.end(), '|')) + 1 -
                             reading.items.size();
      }
      break;
    case Kind::kInteger: {
      const IntegerReading number = InterpretBoundedInteger(raw, key);
      reading.origin = number.origin;
      reading.number = number.value;
      reading.saturated = number.saturated;
      break;
    }
    case Kind::kBoolean: {
      const BooleanReading flag = InterpretBoolean(raw, key.numberDefault != 0);
      reading.origin = flag.origin;
      reading.flag = flag.value;
      break;
    }
  }
  return reading;
}

}  // namespace settings
}  // namespace quarn
