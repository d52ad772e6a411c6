// The report's JSON as the JSON library itself would write it: the
// canonical form a bundle records, and a value given as text laid out as
// the rest of the document.
#include "report/Report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "hwinfo/SmbiosParsing.h"
#include "report/Sections.h"
#include "report/Utf8Text.h"

namespace {

using quarn_tools::Report;

// Every byte below 0x80, quotes and backslashes among them, and characters
// beyond ASCII.
std::vector<std::string> AwkwardTexts() {
  std::vector<std::string> texts = {"", "plain", "caf\xc3\xa9", "\xe8\xa1\xa8", "\xf0\x9f\x98\x80", "a\"b\\c/d"};
  for (int byte = 0; byte < 0x80; ++byte) texts.push_back(std::string("<") + static_cast<char>(byte) + ">");
  return texts;
}

TEST(Report, WritesTextsAsTheJsonLibraryWritesThem) {
  for (const std::string& text : AwkwardTexts()) {
    std::string written;
    quarn_tools::AppendJsonString(written, text);
    EXPECT_EQ(written, nlohmann::json(text).dump()) << written;
  }
  // The report's texts are the system's: ASCII alone is the same text in
  // UTF-8 and in a Windows code page.
  std::vector<std::string> ascii;
  for (const std::string& text : AwkwardTexts())
    if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
      ascii.push_back(text);
  Report report;
  report.Section("Servers");
  report.TextsField("service_servers", "Service servers", ascii);
  report.Field("count", "Count", 3);
  const quarn_tools::CanonicalReport canonical = report.Canonical();
  EXPECT_EQ(canonical.sections.at("servers").at("service_servers"), nlohmann::json(ascii).dump());
  EXPECT_EQ(nlohmann::json::parse(canonical.Text()), nlohmann::json::parse(report.ToJson().dump()));
}

// A value given as JSON text, laid out in the document as the JSON library
// lays out the values beside it.
TEST(Report, ATopLevelTextIsLaidOutAsTheRest) {
  const nlohmann::ordered_json value = {{"a", {1, 2, nlohmann::ordered_json::array()}},
                                        {"b", nlohmann::ordered_json::object()},
                                        {"c", "x,{y}:[z]\"q"},
                                        {"d", {{"e", nullptr}}}};
  Report asValue, asText;
  asValue.TopLevel("top", value, {});
  asText.TopLevelText("top", value.dump(), {});
  std::FILE* a = std::tmpfile();
  std::FILE* b = std::tmpfile();
  ASSERT_TRUE(a && b);
  asValue.WriteJson(a);
  asText.WriteJson(b);
  const auto read = [](std::FILE* file) {
    std::rewind(file);
    std::string text;
    char chunk[4096];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) text.append(chunk, n);
    std::fclose(file);
    return text;
  };
  EXPECT_EQ(read(b), read(a));
}

// How a version number is made, and where the shift wraps around.
TEST(Report, SaysHowAVersionNumberIsMade) {
  const struct {
    unsigned char major, minor;
    const char* shown;
  } rows[] = {
      {2, 4, "8192: 2 << (8 + 4), as the agent makes it; it swaps the UUID's fields from 518 on"},
      {3, 2, "3072: 3 << (8 + 2), as the agent makes it; it swaps the UUID's fields from 518 on"},
      {2, 31,
       "256: 2 << (8 + 31), as the agent makes it; it swaps the UUID's fields from 518 on; the shift wraps around (by "
       "39 mod 32 = 7), so the number is below 518 and the fields stay as stored"},
      {3, 24,
       "3: 3 << (8 + 24), as the agent makes it; it swaps the UUID's fields from 518 on; the shift wraps around (by "
       "32 mod 32 = 0), so the number is below 518 and the fields stay as stored"},
      {16, 20,
       "0: 16 << (8 + 20), as the agent makes it; it swaps the UUID's fields from 518 on; the shift wraps around "
       "(bits past 32 are lost), so the number is below 518 and the fields stay as stored"},
  };
  for (const auto& row : rows) {
    quarn::smbios::TableSource source;
    source.firmwareService = source.blockRead = true;
    source.major = row.major;
    source.minor = row.minor;
    source.versionNumber = quarn::smbios::VersionNumber(row.major, row.minor);
    EXPECT_EQ(quarn_tools::VersionNumberShown(source), row.shown);
  }
}

}  // namespace
