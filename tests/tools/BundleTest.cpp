// The bundle's form: base64, a record written and read back whole, and
// bundles that are not whole or not honest refused with the field at fault.
#include "bundle/Bundle.h"

#include <gtest/gtest.h>

#include <functional>

#include "bundle/Base64.h"

namespace {

using quarn_tools::MachineRecord;

TEST(Base64, EncodesAndDecodesTheStandardsVectorsAndNothingElse) {
  const std::pair<const char*, const char*> vectors[] = {{"", ""},
                                                         {"f", "Zg=="},
                                                         {"fo", "Zm8="},
                                                         {"foo", "Zm9v"},
                                                         {"foob", "Zm9vYg=="},
                                                         {"fooba", "Zm9vYmE="},
                                                         {"foobar", "Zm9vYmFy"}};
  for (const auto& vector : vectors) {
    EXPECT_EQ(quarn_tools::Base64Encode(vector.first), vector.second);
    std::string bytes;
    EXPECT_TRUE(quarn_tools::Base64Decode(vector.second, bytes)) << vector.second;
    EXPECT_EQ(bytes, vector.first);
  }
  const std::string all = [] {
    std::string every;
    for (int byte = 0; byte < 256; ++byte) every += static_cast<char>(byte);
    return every;
  }();
  std::string back;
  EXPECT_TRUE(quarn_tools::Base64Decode(quarn_tools::Base64Encode(all), back));
  EXPECT_EQ(back, all);
  for (const char* bad : {"Zg=", "Zh==", "Zm9v\n", "====", "Zg==Zg==", "Zm9-", "Z===", "Zm=v"}) {
    std::string bytes = "unchanged";
    EXPECT_FALSE(quarn_tools::Base64Decode(bad, bytes)) << bad;
  }
}

// Every field filled, texts that are not UTF-8 and bytes of every value
// among them.
MachineRecord Filled() {
  MachineRecord record;
  record.madeBy = "quarncfg 1.0.0";
  record.libraryVersion = "1.0.0";
  record.madeAt = "2026-12-09T08:00:00Z";
  record.executableDir = "C:/Program Files/Quarn \x95\x5c/client/bin";  // 0x95 0x5C: one character of code page 932
  record.pathStyle.windows = true;
  record.pathStyle.leadBytes = "\x81\x82\x9f\xe0\xfc";
  record.installationFromRules = true;
  record.globalCfgState = "would_be_created";
  record.notMadeBecause = "making it would create C:/globalcfg (--no-create)";
  record.settingsFile = {"C:/x/conf/cli_config.ini", quarn_tools::CheckedFile::Status::kRead,
                         std::string("loglevel=3\r\nwaf_cfg=caf\xe9\0tail", 29)};
  record.overrideFile = {"C:/x/globalcfg/domaincfg.ini", quarn_tools::CheckedFile::Status::kMissing, ""};
  record.updaterVersionRecord = {"C:/x/quarn_update/cur_version.txt", quarn_tools::CheckedFile::Status::kRead,
                                 "update_01_07\n"};
  record.updaterDirExists = true;
  record.updaterExecutableSize = 0x1'0000'0001ULL;
  record.callingProgramSize = 17544720;
  record.updaterPid = 4242;
  record.machineNameKnown = true;
  record.machineName = "PC-\xe9t\xe9";
  record.windowsVersion.platformId = 2;
  record.windowsVersion.major = 6;
  record.windowsVersion.minor = 2;
  record.windowsVersion.build = 9200;
  for (int i = 0; i < 128; ++i) record.windowsVersion.servicePack[i] = static_cast<char>(255 - i);
  record.windowsVersion.productType = 3;
  record.windowsVersion.suiteMask = 0x0112;
  record.windowsVersion.processorArchitecture = 9;
  record.windowsVersion.serverR2 = 1;
  record.windowsVersion.productCode = 0x30;
  record.trueWindowsVersion = {true, 10, 0, 19045};
  record.system64Bit = true;
  record.localAddresses = {"10.1.2.3", "169.254.0.9", "\xff"};
  record.firmware.firmwareService = false;
  record.firmware.memoryReads.push_back({0xF0000, 4, true, std::string("_SM_", 4), ""});
  record.firmware.memoryReads.push_back({0x100000, 8, false, "", "Could not map: denied\n"});
  record.firmware.cpuid[0x40000000] = {0x40000001, 1, 2, 3};
  record.firmware.cpuid[1] = {4, 5, 0x80000000, 6};
  record.report.members["schema_version"] = "1";
  record.report.sections["host"]["machine_name"] = "\"PC\"";
  return record;
}

TEST(Bundle, ARecordComesBackAsItWasWritten) {
  const MachineRecord record = Filled();
  MachineRecord read;
  std::string error;
  ASSERT_TRUE(quarn_tools::ReadBundle(quarn_tools::WriteBundle(record), read, error)) << error;
  EXPECT_EQ(read.madeAt, record.madeAt);
  EXPECT_EQ(read.executableDir, record.executableDir);
  EXPECT_EQ(read.pathStyle.leadBytes, record.pathStyle.leadBytes);
  EXPECT_EQ(read.notMadeBecause, record.notMadeBecause);
  EXPECT_EQ(read.settingsFile.content, record.settingsFile.content);
  EXPECT_EQ(read.overrideFile.status, quarn_tools::CheckedFile::Status::kMissing);
  EXPECT_EQ(read.updaterExecutableSize, record.updaterExecutableSize);
  EXPECT_EQ(read.updaterPid, 4242);
  EXPECT_EQ(read.machineName, record.machineName);
  EXPECT_EQ(std::string(read.windowsVersion.servicePack, 128), std::string(record.windowsVersion.servicePack, 128));
  EXPECT_EQ(read.windowsVersion.suiteMask, 0x0112);
  EXPECT_EQ(read.trueWindowsVersion.build, 19045u);
  EXPECT_EQ(read.localAddresses, record.localAddresses);
  ASSERT_EQ(read.firmware.memoryReads.size(), 2u);
  EXPECT_EQ(read.firmware.memoryReads[0].bytes, "_SM_");
  EXPECT_EQ(read.firmware.memoryReads[1].diagnostics, "Could not map: denied\n");
  EXPECT_EQ(read.firmware.cpuid.at(1).ecx, 0x80000000u);
  EXPECT_EQ(read.report, record.report);
}

// What a broken or dishonest bundle gives: a refusal naming the field.
TEST(Bundle, BundlesThatAreNotWholeOrLieAreRefusedWithTheFieldAtFault) {
  const std::string good = quarn_tools::WriteBundle(Filled());
  const auto changed = [&](const std::string& from, const std::string& to) {
    std::string text = good;
    const std::string::size_type at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
  };
  struct Case {
    std::string text, error;
  };
  const Case cases[] = {
      {good.substr(0, good.size() / 2), "not JSON"},
      {"[1, 2]", "not a bundle"},
      {changed("\"bundle_version\": 1", "\"bundle_version\": 2"), "/bundle_version: 2 is not a version"},
      {changed("\"made_at\"", "\"made_when\""), "/made_when: not a member of a bundle"},
      {changed("\"made_at\": \"2026-12-09T08:00:00Z\",", ""), "/made_at: missing"},
      {changed("\"made_by\"", "\"bundle_version\": 1,\n \"made_by\""), "/bundle_version: given twice"},
      {changed("\"machine_name\":\"PC\"", "\"machine_name\":\"PC\",\"machine_name\":\"PD\""),
       "/report/host/machine_name: given twice"},
      {changed("\"machine_name\":\"PC\"", "\"machine_name\":\"PC\",\"owner\":\"jane\""),
       "/report/host/owner: not a field of the report's host"},
      {changed("\"schema_version\":1", "\"schema_version\":1,\"extra\":{}"), "/report/extra: not a member of a report"},
      {changed("\"updater_pid\": 4242", "\"updater_pid\": \"4242\""), "/process/updater_pid: not an integer"},
      {changed("\"updater_pid\": 4242", "\"updater_pid\": 99999999999"), "/process/updater_pid: out of range"},
      {changed("\"size\": 29", "\"size\": 30"), "/installation/settings_file/size: 30 does not match the 29"},
      {changed("\"status\": \"read\"", "\"status\": \"eaten\""), "/installation/settings_file/status"},
      {changed("\"size\": 29", "\"size\": 16777216"), "/installation/settings_file/size: beyond the bound"},
      {changed("\"global_config_directory_state\": \"would_be_created\"",
               "\"global_config_directory_state\": \"gone\""),
       "/installation/global_config_directory_state"},
      {changed("\"leaf\": 1,", "\"leaf\": 1073741824,"), "/firmware/cpuid/1/leaf: given twice"},
      {changed("\"copied\": false", "\"copied\": true"), "/firmware/memory_reads/1/bytes"},
      {changed("\"machine_name\":\"PC\"", "\"machine_name\":" + std::string(100000, '[') + std::string(100000, ']')),
       "nested more than 12 deep"},  // in the recorded report, which is copied and compared whole
  };
  for (const Case& c : cases) {
    MachineRecord record;
    std::string error;
    EXPECT_FALSE(quarn_tools::ReadBundle(c.text, record, error)) << c.error;
    EXPECT_NE(error.find(c.error), std::string::npos) << "said: " << error;
  }
  // A block claimed beyond the firmware's 16 MiB is refused before its
  // bytes are decoded.
  MachineRecord record;
  std::string error;
  EXPECT_FALSE(quarn_tools::ReadBundle(std::string(quarn_tools::kMostBundleBytes + 1, ' '), record, error));
  EXPECT_NE(error.find("larger than"), std::string::npos) << error;
}

// Values of every shape outside the recorded report, where the reader makes
// a document of them: refused by their count before one is made, in byte
// order of the names or not (each costs tens of bytes as a document).
TEST(Bundle, ManyValuesOutsideTheReportAreRefusedBeforeTheyAreBuilt) {
  const std::string good = quarn_tools::WriteBundle(Filled());
  for (const char* shape : {"{}", "[]", "[[[[[[[[]]]]]]]]", "\"a\"", "1"}) {
    std::string list;
    for (std::size_t i = 0; i <= quarn_tools::kMostMemberValues; ++i) list += (i ? "," : "") + std::string(shape);
    for (const char* name : {"a_first", "z_last"}) {  // before the members' names, and after: out of order
      std::string text = good;
      text.insert(text.find("\"network\": {") + 12, "\"" + std::string(name) + "\": [" + list + "],");
      MachineRecord record;
      std::string error;
      EXPECT_FALSE(quarn_tools::ReadBundle(text, record, error)) << shape;
      EXPECT_NE(error.find("/network: more values than a bundle of its size holds"), std::string::npos) << error;
    }
  }
  // As many addresses as a machine may have, each as short as one is: read.
  MachineRecord many = Filled(), read;
  many.localAddresses.assign(quarn_tools::kMostLocalAddresses, "1.1.1.1");
  std::string error;
  EXPECT_TRUE(quarn_tools::ReadBundle(quarn_tools::WriteBundle(many), read, error)) << error;
  EXPECT_EQ(read.localAddresses.size(), quarn_tools::kMostLocalAddresses);
}

// The digest says whether the content changed after the bundle was made:
// not for its layout (a bundle pretty-printed again is the same bundle),
// but for any value.
TEST(Bundle, TheDigestTellsAChangedContentFromAReformattedOne) {
  const std::string text = quarn_tools::WriteBundle(Filled());
  MachineRecord read;
  std::string error;
  ASSERT_TRUE(quarn_tools::ReadBundle(text, read, error)) << error;
  EXPECT_TRUE(read.digestRecorded);
  EXPECT_TRUE(read.digestMatches);

  const std::string pretty = nlohmann::json::parse(text).dump(4);
  ASSERT_TRUE(quarn_tools::ReadBundle(pretty, read, error)) << error;
  EXPECT_TRUE(read.digestMatches);
  // Every object's members in the reverse order: the same content.
  const std::function<nlohmann::ordered_json(const nlohmann::ordered_json&)> reversed =
      [&reversed](const nlohmann::ordered_json& value) {
        if (value.is_array()) {
          nlohmann::ordered_json items = nlohmann::ordered_json::array();
          for (const auto& item : value) items.push_back(reversed(item));
          return items;
        }
        if (!value.is_object()) return value;
        nlohmann::ordered_json members = nlohmann::ordered_json::object();
        std::vector<std::string> names;
        for (const auto& item : value.items()) names.push_back(item.key());
        for (auto name = names.rbegin(); name != names.rend(); ++name) members[*name] = reversed(value.at(*name));
        return members;
      };
  ASSERT_TRUE(quarn_tools::ReadBundle(reversed(nlohmann::ordered_json::parse(text)).dump(), read, error)) << error;
  EXPECT_TRUE(read.digestMatches);
  EXPECT_EQ(read.report, Filled().report);

  std::string edited = text;
  edited.replace(edited.find("\"updater_pid\": 4242"), 19, "\"updater_pid\": 4243");
  ASSERT_TRUE(quarn_tools::ReadBundle(edited, read, error)) << error;
  EXPECT_TRUE(read.digestRecorded);
  EXPECT_FALSE(read.digestMatches);

  nlohmann::json withoutDigest = nlohmann::json::parse(text);
  withoutDigest.erase(quarn_tools::kDigestKey);
  ASSERT_TRUE(quarn_tools::ReadBundle(withoutDigest.dump(), read, error)) << error;
  EXPECT_FALSE(read.digestRecorded);
}

}  // namespace
