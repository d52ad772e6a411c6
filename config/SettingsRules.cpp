#include "config/SettingsRules.h"

#include <SimpleIni.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <type_traits>

#include "config/DeploymentDefaults.h"
#include "config/IniSyntax.h"
#include "util/LogMessage.h"
#include "util/StringUtil.h"

namespace quarn {
namespace settings {
namespace {

const char kSection[] = "";

// An integer value of this many characters or more is not read: the INI
// library copies it into a buffer of 64 bytes, its end mark included.
const std::size_t kIntegerTextBuffer = 64;

// What a row says of its integer's values: bounds, and which ones are of use.
struct IntegerRange {
  int lowest, highest, usefulLowest, usefulHighest;
  const char* usefulWhy;
};

// A row with the record's field set in the slot its type calls for.
template <typename T>
SettingRow Row(T SettingsRecord::*field, const char* key, const char* name, const char* label, Kind kind,
               const char* textDefault, int numberDefault, IntegerRange range, unsigned flags) {
  SettingRow row{key,
                 name,
                 label,
                 kind,
                 textDefault,
                 numberDefault,
                 range.lowest,
                 range.highest,
                 range.usefulLowest,
                 range.usefulHighest,
                 range.usefulWhy,
                 flags,
                 nullptr,
                 nullptr,
                 nullptr,
                 nullptr,
                 nullptr,
                 nullptr};
  if constexpr (std::is_same<T, std::string>::value) row.text = field;
  if constexpr (std::is_same<T, int>::value) row.number = field;
  if constexpr (std::is_same<T, long long>::value) row.wide = field;
  if constexpr (std::is_same<T, double>::value) row.real = field;
  if constexpr (std::is_same<T, bool>::value) row.flag = field;
  if constexpr (std::is_same<T, std::vector<std::string>>::value) row.list = field;
  return row;
}

const SettingRow kRows[kSettingCount] = {
#define QUARN_SETTING(field, type, key, name, label, kind, textDefault, numberDefault, lowest, highest, usefulLowest, \
                      usefulHighest, usefulWhy, flags)                                                                \
  Row(&SettingsRecord::field, key, name, label, Kind::kind, textDefault, numberDefault,                               \
      IntegerRange{lowest, highest, usefulLowest, usefulHighest, usefulWhy}, flags),
#include "config/Settings.def"
};

// Stores an integer in the field of the row, whatever its width.
void StoreNumber(SettingsRecord& record, const SettingRow& row, int value) {
  if (row.number) record.*row.number = value;
  if (row.wide) record.*row.wide = value;
  if (row.real) record.*row.real = value;
}

// One setting of the settings file, read into the record.
void ReadSetting(const SettingsIni& ini, const SettingsIni* overrides, const SettingRow& row, SettingsRecord& record,
                 KeyReading& reading) {
  const std::size_t index = RowIndex(row);
  const char* raw = ini.Raw(row.key);
  reading.present = raw != nullptr;
  if (raw) reading.raw = raw;
  Origin& origin = record.origin[index];
  switch (row.kind) {
    case Kind::kText:
      // A text given empty is the empty text, not the default.
      origin = raw ? Origin::kFile : Origin::kMissing;
      record.*row.text = raw ? raw : row.textDefault;
      break;
    case Kind::kInteger: {
      const IntegerReading number = InterpretBoundedInteger(raw, row);
      origin = number.origin;
      reading.saturated = number.saturated;
      StoreNumber(record, row, number.value);
      break;
    }
    case Kind::kBoolean: {
      const BooleanReading flag = InterpretBoolean(raw, row.numberDefault != 0);
      origin = flag.origin;
      record.*row.flag = flag.value;
      break;
    }
    case Kind::kList: {
      origin = raw ? Origin::kFile : Origin::kMissing;
      const std::string text = raw ? raw : row.textDefault;
      // The settings file's empty items are dropped: a million of them are
      // counted, not made.
      std::vector<std::string> items = kqt::CStringUtil::stringSplit(text, "|", true);
      reading.emptyItems = static_cast<std::size_t>(std::count(text.begin(), text.end(), '|')) + 1 - items.size();
      const char* overrideValue = overrides ? overrides->Raw(row.key) : nullptr;
      reading.overrideGiven = overrideValue != nullptr;
      if (overrideValue) reading.overrideRaw = overrideValue;
      std::vector<std::string>& list = record.*row.list;
      MergeServerList(list, overrideValue, std::move(items));
      if (overrideValue && *overrideValue)
        reading.fromOverride =
            static_cast<std::size_t>(std::count(overrideValue, overrideValue + std::strlen(overrideValue), '|')) + 1;
      break;
    }
  }
}

}  // namespace

const SettingRow& Setting(std::size_t row) { return kRows[row]; }

std::size_t RowIndex(const SettingRow& row) { return static_cast<std::size_t>(&row - kRows); }

const SettingRow* FindSetting(const std::string& key) {
  for (const SettingRow& row : kRows)
    if (SameKeyName(row.key, key.c_str())) return &row;
  return nullptr;
}

const std::string& ClientVersion(const SettingsRecord& record) {
  for (const SettingRow& row : kRows)
    if (row.Has(kClientVersion)) return record.*row.text;
  static const std::string kNone;
  return kNone;
}

SettingsRecord DefaultSettings() {
  SettingsRecord record;
  for (const SettingRow& row : kRows) {
    record.origin[RowIndex(row)] = Origin::kMissing;
    if (row.text) record.*row.text = row.textDefault;
    if (row.flag) record.*row.flag = row.numberDefault != 0;
    StoreNumber(record, row, row.numberDefault);
  }
  return record;  // the server lists start empty: a read appends the defaults
}

SettingsReading ReadSettings(const std::string* settingsText, const std::string* overrideText, SettingsRecord before,
                             bool firstRead) {
  SettingsReading reading;
  reading.record = std::move(before);
  SettingsIni settings, overrides;
  reading.settingsLoaded = settingsText && settings.Load(*settingsText);
  reading.overrideLoaded = overrideText && overrides.Load(*overrideText);
  reading.complete = reading.settingsLoaded;
  for (const SettingRow& row : kRows) {
    if (row.Has(kFirstReadOnly) && !firstRead) continue;
    KeyReading& key = reading.keys[RowIndex(row)];
    ReadSetting(settings, reading.overrideLoaded && row.Has(kOverridable) ? &overrides : nullptr, row, reading.record,
                key);
    if (row.Has(kRequired) && (reading.record.*row.text).empty()) reading.complete = false;
  }
  return reading;
}

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

IntegerReading InterpretBoundedInteger(const char* raw, const SettingRow& row) {
  IntegerReading reading = InterpretInteger(raw, row.numberDefault);
  if (reading.value < row.lowest || reading.value > row.highest) {
    reading.value = row.numberDefault;
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

}  // namespace settings
}  // namespace quarn
