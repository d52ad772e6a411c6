// The real machines' dumps given to quarncfg --smbios-dump in the forms the
// usual tools write them (dmidecode --dump-bin, the kernel's two files,
// Windows' RSMB block): the Hardware section the inspector works out from
// each agrees with what the library answers when the firmware gives the
// same table.
#include "bundle/SmbiosDump.h"

#include <gtest/gtest.h>

#include "bundle/Replay.h"
#include "config/QuarnConfig.h"
#include "report/Sections.h"
#include "support/Machines.h"
#include "support/SmbiosCorpus.h"
#include "support/SmbiosTables.h"
#include "support/TempInstallation.h"

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

namespace {

using Json = nlohmann::ordered_json;
using quarn_test::Dump;

const char kCorpus[] = QUARN_SMBIOS_TESTDATA;

std::string Hex(unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", value);
  return text;
}

Json HardwareOf(const quarn_tools::FirmwareRecord& firmware) {
  quarn_tools::MachineRecord record;
  record.firmware = firmware;
  quarn_tools::RecordAnswers answers(record);
  quarn_tools::Report report;
  quarn_tools::AddSections(report, answers, "Hardware");
  return report.ToJson()["hardware"];
}

// The dump in the form its source wrote it: a dmidecode file made of the
// entry point (its table address already 32) and the table after it, the
// kernel's folder, or the RSMB block.
std::string DumpPath(const Dump& dump, const quarn_test::TempDir& scratch) {
  std::string dir = std::string(kCorpus) + "/" + dump.name;
  if (dump.sourceFormat == "rsmb") return dir + "/RSMB";
  if (dump.sourceFormat != "dumpbin") return dir;
  std::vector<unsigned char> bytes = quarn_test::FileBytes(dir + "/smbios_entry_point");
  bytes.resize(32, 0);
  const std::vector<unsigned char> table = quarn_test::FileBytes(dir + "/DMI");
  bytes.insert(bytes.end(), table.begin(), table.end());
  std::string path = scratch.path() + "/" + dump.name + ".bin";
  quarn_test::WriteBytes(path, std::string(bytes.begin(), bytes.end()));
  return path;
}

class SmbiosDumpOf : public ::testing::TestWithParam<Dump> {};

#if !defined(_WIN32)
// dmidecode where the system has it ("" elsewhere).
std::string Dmidecode() {
  for (const char* path : {"/usr/sbin/dmidecode", "/sbin/dmidecode", "/usr/bin/dmidecode"}) {
    struct stat info;
    if (::stat(path, &info) == 0) return path;
  }
  return std::string();
}

// What `dmidecode --from-dump FILE -s system-uuid` prints, its line end cut.
std::string DmidecodeUuid(const std::string& dmidecode, const std::string& dumpFile, const std::string& scratch) {
  const std::string output = scratch + "/dmidecode.txt";
  const std::string command =
      "'" + dmidecode + "' --from-dump '" + dumpFile + "' -s system-uuid > '" + output + "' 2>/dev/null";
  if (std::system(command.c_str()) != 0) return "(dmidecode failed)";
  const std::vector<unsigned char> bytes = quarn_test::FileBytes(output);
  std::string text(bytes.begin(), bytes.end());
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}
#endif

TEST_P(SmbiosDumpOf, GivesTheLibrarysAnswersOnTheSameTable) {
  const Dump& dump = GetParam();
  quarn_test::TempDir scratch;
  quarn_tools::FirmwareRecord firmware;
  std::string form, error;
  // A table alone has no version to go by: refused, and read with the one
  // given (3.0: the agent swaps the UUID's fields there, not at 0.0).
  const bool tableAlone = dump.entryPoint == "none" && dump.sourceFormat != "rsmb";
  quarn_tools::GivenTableVersion given;
  if (tableAlone) {
    for (const std::string& path : {DumpPath(dump, scratch), DumpPath(dump, scratch) + "/DMI"}) {
      EXPECT_FALSE(quarn_tools::FirmwareOfDump(path, firmware, form, error)) << path << " taken as " << form;
      EXPECT_NE(error.find("a table alone has no version"), std::string::npos) << error;
    }
    ASSERT_TRUE(quarn_tools::ParseTableVersion("3.0", given));
  }
  ASSERT_TRUE(quarn_tools::FirmwareOfDump(DumpPath(dump, scratch), firmware, form, error, given)) << error;
  const Json hardware = HardwareOf(firmware);

  // The library, given the table by the firmware with the version the
  // manifest names (the RSMB dumps: their own block), and no hypervisor.
  quarn_test::TempInstallation installation;
  const std::string version = tableAlone ? "3.0" : dump.version;
  unsigned major = 0, minor = 0;
  std::sscanf(version.c_str(), "%u.%u", &major, &minor);
  const std::vector<unsigned char> rsmb = quarn_test::FileBytes(std::string(kCorpus) + "/" + dump.name + "/RSMB");
  const std::vector<unsigned char> block =
      !rsmb.empty()
          ? rsmb
          : quarn_test::FirmwareBlockBytes(static_cast<unsigned char>(major), static_cast<unsigned char>(minor),
                                           quarn_test::FileBytes(std::string(kCorpus) + "/" + dump.name + "/DMI"));
  installation.platform.firmwareTableService = 1;
  installation.platform.firmwareBlock = [&] {
    quarn::sys::FirmwareBlock given;
    given.status = quarn::sys::FirmwareBlock::kOk;
    given.bytes = block;
    return given;
  };
  quarn_test::UseHypervisor(installation.platform, nullptr);
  CQuarnConfig* config = CSingleton<CQuarnConfig>::NewInstance();
  EXPECT_EQ(hardware["bios_uuid"], config->GetBiosUuid()) << form;
  EXPECT_EQ(hardware["table_checksum"], Hex(config->GetBiosHash())) << form;
  CSingleton<CQuarnConfig>::RemoveInstance();
  EXPECT_EQ(hardware["smbios_version"], version);

  // Extracted from a bundle, the table is a dmidecode dump: quarncfg reads
  // it back to the same answers, and dmidecode prints the UUID it printed
  // for the machine's own dump.
  std::string extracted;
  ASSERT_TRUE(quarn_tools::DmidecodeDumpOf(firmware, extracted, error)) << error;
  const std::string extractedPath = scratch.path() + "/smbios.bin";
  quarn_test::WriteBytes(extractedPath, extracted);
  quarn_tools::FirmwareRecord again;
  ASSERT_TRUE(quarn_tools::FirmwareOfDump(extractedPath, again, form, error)) << error;
  EXPECT_EQ(form.rfind("dmidecode", 0), 0u) << form;
  EXPECT_EQ(HardwareOf(again), hardware);
#if !defined(_WIN32)
  const std::string dmidecode = Dmidecode();
  if (dmidecode.empty()) GTEST_SKIP() << "no dmidecode here to read the extracted dump (scripts/setup-debian.sh)";
  EXPECT_EQ(DmidecodeUuid(dmidecode, extractedPath, scratch.path()), dump.dmidecodeUuid);
#endif
}

std::string TestName(const ::testing::TestParamInfo<Dump>& info) {
  std::string name = info.param.name;
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Machines, SmbiosDumpOf, ::testing::ValuesIn(quarn_test::Manifest(kCorpus)), TestName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(SmbiosDumpOf);

TEST(SmbiosDump, SaysWhatAFileIsNot) {
  quarn_test::TempDir scratch;
  const std::string text = scratch.path() + "/notes.txt";
  quarn_test::WriteBytes(text, "hello, these are notes\n");
  quarn_tools::FirmwareRecord firmware;
  std::string form, error;
  EXPECT_FALSE(quarn_tools::FirmwareOfDump(text, firmware, form, error));
  EXPECT_NE(error.find("neither a dmidecode --dump-bin file"), std::string::npos) << error;
  EXPECT_FALSE(quarn_tools::FirmwareOfDump(scratch.path() + "/absent", firmware, form, error));
  EXPECT_NE(error.find("no such file"), std::string::npos) << error;
  // An entry point whose table lies past the file's end.
  std::string cut(31, '\0');
  cut.replace(0, 4, "_SM_");
  cut[5] = 31;
  cut[6] = 2, cut[7] = 7;
  cut.replace(16, 5, "_DMI_");
  cut[22] = 16;  // table length
  cut[24] = 64;  // table address: beyond the 31 bytes
  unsigned char sum = 0;
  for (int i = 0; i < 31; ++i) sum = static_cast<unsigned char>(sum + static_cast<unsigned char>(cut[i]));
  cut[4] = static_cast<char>(0x100 - sum);
  const std::string path = scratch.path() + "/cut.bin";
  quarn_test::WriteBytes(path, cut);
  EXPECT_FALSE(quarn_tools::FirmwareOfDump(path, firmware, form, error));
  EXPECT_NE(error.find("not in the file"), std::string::npos) << error;

  // A version given: for a table alone only, and one that looks like one.
  quarn_tools::GivenTableVersion given;
  ASSERT_TRUE(quarn_tools::ParseTableVersion("2.7", given));
  EXPECT_FALSE(quarn_tools::FirmwareOfDump(path, firmware, form, error, given));
  EXPECT_NE(error.find("carries its own version"), std::string::npos) << error;
  EXPECT_FALSE(quarn_tools::FirmwareOfDump(text, firmware, form, error, given));
  EXPECT_NE(error.find("not an SMBIOS table"), std::string::npos) << error;

  // An entry point whose length byte is 0 sums to 0 over nothing: refused.
  std::string empty = cut;
  empty[5] = 0;
  empty[4] = 0;
  quarn_test::WriteBytes(path, empty);
  EXPECT_FALSE(quarn_tools::FirmwareOfDump(path, firmware, form, error));
  EXPECT_NE(error.find("entry point is broken"), std::string::npos) << error;

#if !defined(_WIN32)
  // A FIFO is said to be one, at once: nothing waits for a writer.
  const std::string fifo = scratch.path() + "/fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(quarn_tools::FirmwareOfDump(fifo, firmware, form, error));
  EXPECT_EQ(error, fifo + ": a FIFO, not a dump");
#endif
}

// The legacy DMI entry point alone, as dmidecode dumps a table older than
// SMBIOS: its 15 bytes checked, its BCD version read.
TEST(SmbiosDump, ReadsALegacyDmiDump) {
  const std::vector<unsigned char> table =
      quarn_test::Concat({quarn_test::SystemInformation(quarn_test::CountingUuid()), quarn_test::EndOfTable()});
  std::string dump = {'_', 'D', 'M', 'I', '_', 0, static_cast<char>(table.size()), 0, 32, 0, 0, 0, 2, 0, 0x20};
  unsigned char sum = 0;
  for (char byte : dump) sum = static_cast<unsigned char>(sum + static_cast<unsigned char>(byte));
  dump[5] = static_cast<char>(0x100 - sum);
  dump.resize(32, '\0');
  dump.append(table.begin(), table.end());
  quarn_test::TempDir scratch;
  quarn_test::WriteBytes(scratch.path() + "/legacy.bin", dump);
  quarn_tools::FirmwareRecord firmware;
  std::string form, error;
  ASSERT_TRUE(quarn_tools::FirmwareOfDump(scratch.path() + "/legacy.bin", firmware, form, error)) << error;
  const Json hardware = HardwareOf(firmware);
  EXPECT_EQ(hardware["smbios_version"], "2.0");
  // 2.0 is below the agent's threshold: the UUID is printed as stored.
  EXPECT_EQ(hardware["bios_uuid"], "00112233-4455-6677-8899-aabbccddeeff");
}

TEST(SmbiosDump, ReadsAVersionAsDmidecodePrintsIt) {
  struct Row {
    const char* text;
    bool valid;
    unsigned major, minor;
  };
  const Row rows[] = {{"3.0", true, 3, 0},    {"2.31", true, 2, 31}, {"255.255", true, 255, 255},
                      {"", false, 0, 0},      {"3", false, 0, 0},    {"3.", false, 0, 0},
                      {".1", false, 0, 0},    {"0.9", false, 0, 0},  {"256.0", false, 0, 0},
                      {"3.0.1", false, 0, 0}, {"3,0", false, 0, 0},  {"+3.0", false, 0, 0}};
  for (const Row& row : rows) {
    quarn_tools::GivenTableVersion version;
    EXPECT_EQ(quarn_tools::ParseTableVersion(row.text, version), row.valid) << row.text;
    if (!row.valid) continue;
    EXPECT_EQ(version.major, row.major) << row.text;
    EXPECT_EQ(version.minor, row.minor) << row.text;
  }
}

}  // namespace
