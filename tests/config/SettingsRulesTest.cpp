// The settings rules against the INI library's own conversions: the
// reader's values must stay those of GetLongValue and GetBoolValue, which
// the installed settings files were written for, and the reason given for a
// default must match what happened to the value.
#include "config/SettingsRules.h"

#include <SimpleIni.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <string>
#include <vector>

namespace S = quarn::settings;
using S::Origin;

namespace {

// What the INI library makes of `value` as the one key of a file.
struct LibraryView {
  long number;
  bool flag;
};
LibraryView LibraryRead(const std::string& value, long numberDefault, bool flagDefault) {
  CSimpleIniA ini(false, false, false);
  const std::string file = "key=" + value + "\n";
  ini.LoadData(file.data(), file.size());
  return {ini.GetLongValue("", "key", numberDefault), ini.GetBoolValue("", "key", flagDefault)};
}

std::string RawAsLoaded(const std::string& value) {
  S::SettingsIni ini;
  EXPECT_TRUE(ini.Load("key=" + value + "\n"));
  const char* raw = ini.Raw("key");
  return raw ? raw : "(missing)";
}

void ExpectSameAsLibrary(const std::string& value) {
  SCOPED_TRACE("value \"" + value + "\"");
  const std::string raw = RawAsLoaded(value);
  const LibraryView library = LibraryRead(value, 4, true);
  const S::IntegerReading number = S::InterpretInteger(raw.c_str(), 4);
  EXPECT_EQ(number.value, std::clamp<long>(library.number, INT_MIN, INT_MAX));
  // A reason for a default goes with the default, and a value other than
  // the default is the file's.
  if (number.origin != Origin::kFile) {
    EXPECT_EQ(number.value, 4);
  }
  if (library.number != 4) {
    EXPECT_EQ(number.origin, Origin::kFile);
  }
  EXPECT_EQ(S::InterpretBoolean(raw.c_str(), true).value, library.flag);
  EXPECT_EQ(S::InterpretBoolean(raw.c_str(), false).value, LibraryRead(value, 4, false).flag);
}

}  // namespace

TEST(SettingsRules, IntegersAndSwitchesAreReadAsTheIniLibraryReadsThem) {
  const std::vector<std::string> values = {"",
                                           "0",
                                           "7",
                                           "-7",
                                           "+7",
                                           "007",
                                           "0x1E000",
                                           "0X1e000",
                                           "0x",
                                           "0xg",
                                           "0x-5",
                                           "0x+5",
                                           "12.5",
                                           "10%",
                                           "5 MB",
                                           "-",
                                           "+",
                                           "--5",
                                           "2147483647",
                                           "2147483648",
                                           "-2147483648",
                                           "-2147483649",
                                           "4294967297",
                                           "99999999999999999999999",
                                           "0xFFFFFFFF",
                                           "0x7FFFFFFF",
                                           "0x80000000",
                                           std::string(63, '1'),
                                           std::string(64, '1'),
                                           std::string(62, '0') + "5",
                                           "t",
                                           "True",
                                           "yes",
                                           "Y",
                                           "f",
                                           "No",
                                           "on",
                                           "On",
                                           "ofF",
                                           "o",
                                           "ok",
                                           "maybe",
                                           "1x",
                                           "0x1",
                                           "\xe9",
                                           "1\t2",
                                           "t rue"};
  for (const std::string& value : values) ExpectSameAsLibrary(value);

  // And texts made of the characters that matter to either conversion.
  std::mt19937 random(20261208);
  const std::string alphabet = "0123456789xXabcdefABCDEF+-. \toOnNtTfFyY%";
  for (int round = 0; round < 4000; ++round) {
    std::string value(1 + random() % 12, ' ');
    for (char& c : value) c = alphabet[random() % alphabet.size()];
    ExpectSameAsLibrary(value);
  }
}

TEST(SettingsRules, EachDefaultTellsWhyTheValueWasNotUsed) {
  EXPECT_EQ(S::InterpretInteger(nullptr, 4).origin, Origin::kMissing);
  EXPECT_EQ(S::InterpretInteger("", 4).origin, Origin::kEmpty);
  EXPECT_EQ(S::InterpretInteger("abc", 4).origin, Origin::kNotANumber);
  EXPECT_EQ(S::InterpretInteger("0x", 4).origin, Origin::kNotANumber);
  EXPECT_EQ(S::InterpretInteger("-", 4).origin, Origin::kNotANumber);
  EXPECT_EQ(S::InterpretInteger("12.5", 4).origin, Origin::kTrailingCharacters);
  EXPECT_EQ(S::InterpretInteger("0x1Eg", 4).origin, Origin::kTrailingCharacters);
  EXPECT_EQ(S::InterpretInteger(std::string(64, '1').c_str(), 4).origin, Origin::kTooLong);
  const S::IntegerReading big = S::InterpretInteger("4294967297", 4);
  EXPECT_EQ(big.value, INT_MAX);
  EXPECT_EQ(big.origin, Origin::kFile);
  EXPECT_TRUE(big.saturated);
  EXPECT_FALSE(S::InterpretInteger("2147483647", 4).saturated);
  EXPECT_TRUE(S::InterpretInteger("-2147483649", 4).saturated);

  EXPECT_EQ(S::InterpretBoolean(nullptr, true).origin, Origin::kMissing);
  EXPECT_EQ(S::InterpretBoolean("", true).origin, Origin::kEmpty);
  EXPECT_EQ(S::InterpretBoolean("maybe", true).origin, Origin::kNotABoolean);
  EXPECT_EQ(S::InterpretBoolean("o", true).origin, Origin::kNotABoolean);
  EXPECT_EQ(S::InterpretBoolean("off", true).origin, Origin::kFile);
}

TEST(SettingsRules, BoundsReplaceAValueOutsideThemByTheDefault) {
  const S::Key& cpu = S::SettingsKey(S::KeyId::kMaxCpuUse);
  EXPECT_EQ(S::InterpretBoundedInteger("90", cpu).value, 90);
  for (const char* outside : {"91", "0", "-5"}) {
    const S::IntegerReading reading = S::InterpretBoundedInteger(outside, cpu);
    EXPECT_EQ(reading.value, 10) << outside;
    EXPECT_EQ(reading.origin, Origin::kOutOfBounds) << outside;
  }
  EXPECT_EQ(S::InterpretBoundedInteger("12.5", cpu).origin, Origin::kTrailingCharacters);
  const S::Key& memory = S::SettingsKey(S::KeyId::kMaxMemUse);
  EXPECT_EQ(S::InterpretBoundedInteger("0x1E000", memory).value, 122880);
  EXPECT_EQ(S::InterpretBoundedInteger("122881", memory).value, 51200);
  const S::Key& rules = S::SettingsKey(S::KeyId::kWafRuleRefresh);
  EXPECT_EQ(S::InterpretBoundedInteger("1", rules).value, 1);
  EXPECT_EQ(S::InterpretBoundedInteger("0", rules).origin, Origin::kOutOfBounds);
  // Keys without bounds take any 32-bit value.
  EXPECT_EQ(S::InterpretBoundedInteger("-2147483648", S::SettingsKey(S::KeyId::kLogLevel)).value, INT_MIN);
}

TEST(SettingsRules, KeysAreFoundAsTheReaderFindsThem) {
  S::SettingsIni ini;
  ASSERT_TRUE(ini.Load("LogLevel = 3 \nsrv_domain=a||b\ncurrent_version=\n[section]\nsendfile=no\n"));
  const S::Reading level = ini.Read(S::KeyId::kLogLevel);
  EXPECT_TRUE(level.present);
  EXPECT_EQ(level.raw, "3");
  EXPECT_EQ(level.number, 3);
  const S::Reading version = ini.Read(S::KeyId::kCurrentVersion);
  EXPECT_TRUE(version.present);
  EXPECT_EQ(version.text, "");  // given empty: the empty text, not the default
  EXPECT_EQ(ini.Read(S::KeyId::kServiceServers).items, (std::vector<std::string>{"a", "", "b"}));
  const S::Reading send = ini.Read(S::KeyId::kSendFile);
  EXPECT_FALSE(send.present);  // under a section header
  EXPECT_TRUE(send.flag);

  EXPECT_EQ(S::FindSettingsKey("LOGLEVEL"), &S::SettingsKey(S::KeyId::kLogLevel));
  EXPECT_EQ(S::FindSettingsKey("loglevl"), nullptr);
  EXPECT_TRUE(S::IsOverrideKey("Update_Srv_Domain"));
  EXPECT_FALSE(S::IsOverrideKey("loglevel"));
}
