// The check's table of findings: one row a code, the names the library
// gives its fallbacks among them, and docs/check.md listing the same codes
// under the same severities.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "config/SettingsRules.h"
#include "lint/Findings.h"

namespace {

using quarn_tools::Check;
using quarn_tools::CheckAt;
using quarn_tools::CheckRow;
using quarn_tools::Severity;

TEST(CheckTable, EveryCodeIsOneRowAndFoundByName) {
  std::set<std::string> codes;
  for (std::size_t i = 0; i < quarn_tools::kCheckCount; ++i) {
    const CheckRow& row = CheckAt(i);
    EXPECT_TRUE(codes.insert(row.code).second) << "twice: " << row.code;
    EXPECT_TRUE(std::regex_match(row.code, std::regex("[a-z0-9]+(_[a-z0-9]+)*"))) << row.code;
    EXPECT_GE(row.milder, row.severity) << row.code;  // milder, or the same
    EXPECT_NE(std::string(row.description), "") << row.code;
    Check check;
    ASSERT_TRUE(quarn_tools::FindCheck(row.code, check)) << row.code;
    EXPECT_EQ(&quarn_tools::CheckOf(check), &row);
  }
  Check check;
  EXPECT_FALSE(quarn_tools::FindCheck("no_such_code", check));
  EXPECT_FALSE(quarn_tools::FindCheck("", check));
}

// The library names the ways a value falls back to its default, and says
// which settings must be given: each is a finding of its own, so that it
// can be left out with -e.
TEST(CheckTable, TheLibrarysFallbacksAndRequiredSettingsHaveRows) {
  namespace S = quarn::settings;
  Check check;
  for (S::Origin origin : {S::Origin::kNotANumber, S::Origin::kTrailingCharacters, S::Origin::kTooLong,
                           S::Origin::kOutOfBounds, S::Origin::kNotABoolean}) {
    ASSERT_TRUE(quarn_tools::FindCheck(S::OriginName(origin), check)) << S::OriginName(origin);
    EXPECT_EQ(quarn_tools::CheckOf(check).severity, Severity::kError) << S::OriginName(origin);
  }
  int required = 0;
  for (std::size_t r = 0; r < S::kSettingCount; ++r) {
    if (!S::Setting(r).Has(S::kRequired)) continue;
    ++required;
    EXPECT_TRUE(quarn_tools::FindCheck(std::string("empty_") + S::Setting(r).key, check)) << S::Setting(r).key;
    EXPECT_TRUE(quarn_tools::FindCheck(std::string("missing_") + S::Setting(r).key, check)) << S::Setting(r).key;
  }
  EXPECT_GT(required, 0);
}

// docs/check.md's table of codes: a line a severity, each code of that
// severity (or milder there) named in it, and no name that looks like a
// code but is none.
TEST(CheckTable, TheDocumentListsTheRows) {
  std::ifstream in(std::string(QUARN_SOURCE_DIR) + "/docs/check.md");
  ASSERT_TRUE(in) << "docs/check.md not found beside the sources";
  std::map<std::string, std::set<std::string>> documented;  // severity: codes
  const std::regex quoted("`([a-z0-9_]+)`");
  for (std::string line; std::getline(in, line);)
    for (Severity severity : {Severity::kError, Severity::kWarning, Severity::kNote}) {
      const std::string name = quarn_tools::SeverityName(severity);
      if (line.rfind("| " + name + " |", 0) != 0) continue;
      for (std::sregex_iterator it(line.begin(), line.end(), quoted), end; it != end; ++it)
        documented[name].insert((*it)[1]);
    }
  ASSERT_EQ(documented.size(), 3u);
  std::set<std::string> codes;
  for (std::size_t i = 0; i < quarn_tools::kCheckCount; ++i) {
    const CheckRow& row = CheckAt(i);
    codes.insert(row.code);
    EXPECT_EQ(documented[quarn_tools::SeverityName(row.severity)].count(row.code), 1u)
        << row.code << " is not listed as " << quarn_tools::SeverityName(row.severity);
    EXPECT_EQ(documented[quarn_tools::SeverityName(row.milder)].count(row.code), 1u)
        << row.code << " is not listed as " << quarn_tools::SeverityName(row.milder);
  }
  for (const auto& severity : documented)
    for (const std::string& word : severity.second)
      EXPECT_TRUE(word.find('_') == std::string::npos || codes.count(word) == 1) << "not a code: " << word;
}

}  // namespace
