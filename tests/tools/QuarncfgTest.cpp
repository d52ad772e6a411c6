// The real quarncfg program, copied into a temporary installation and run
// there: nothing of its platform is substituted.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>

#include <nlohmann/json.hpp>

#include "support/TestSupport.h"
#include "util/ToolUtil.h"

#if !defined(_WIN32)
#include <sys/wait.h>
#endif

namespace fs = std::filesystem;
using quarn_test::ReadFile;
using quarn_test::TempDir;
using quarn_test::WriteFile;

namespace {

#if defined(_WIN32)
const char kExeSuffix[] = ".exe";
#else
const char kExeSuffix[] = "";
#endif

struct Installation {
  std::string root;
  std::string bin;
  std::string program;
};

// R/client/bin holding quarncfg and, on Windows, every DLL beside it.
Installation Install(const std::string& base) {
  Installation inst{base + "/R", base + "/R/client/bin", ""};
  fs::create_directories(fs::path(inst.bin + "/conf"));
  const std::string built = kqt::CToolUtil::GetApplicationDirPath();
  inst.program = inst.bin + "/quarncfg" + kExeSuffix;
  fs::copy_file(fs::path(built + "/quarncfg" + kExeSuffix), fs::path(inst.program));
#if defined(_WIN32)
  for (const auto& entry : fs::directory_iterator(fs::path(built)))
    if (entry.path().extension() == ".dll") fs::copy_file(entry.path(), fs::path(inst.bin) / entry.path().filename());
#endif
  return inst;
}

// Runs the program with its output sent to `output`; the exit code.
int RunProgram(const std::string& program, const std::string& args, const std::string& output) {
#if defined(_WIN32)
  const std::string errors = args.find("2>") == std::string::npos ? " 2>&1" : "";
  std::string command = "\"\"" + program + "\" " + args + " > \"" + output + "\"" + errors + "\"";
  for (char& c : command)
    if (c == '/') c = '\\';
  return std::system(command.c_str());
#else
  const std::string errors = args.find("2>") == std::string::npos ? " 2>&1" : "";
  const int status = std::system(("'" + program + "' " + args + " > '" + output + "'" + errors).c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

// "  Label  : value" lines of the report, by label (first line of a list).
std::map<std::string, std::string> Rows(const std::string& report) {
  std::map<std::string, std::string> rows;
  std::istringstream in(report);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string::size_type colon = line.find(" : ");
    if (line.rfind("  ", 0) != 0 || colon == std::string::npos) continue;
    std::string label = line.substr(2, colon - 2);
    label.erase(label.find_last_not_of(' ') + 1);
    if (!label.empty()) rows[label] = line.substr(colon + 3);
  }
  return rows;
}

}  // namespace

TEST(Inspector, ReportsTheInstallationItWasPlacedIn) {
  TempDir dir;
  const Installation inst = Install(dir.path());
  WriteFile(inst.bin + "/conf/cli_config.ini",
            "current_version=quarn_02_01\ndefaultinstall=full\nmax_cpuuse=25\nsrv_domain=svc.example.org\n");
  fs::create_directories(fs::path(inst.root + "/globalcfg"));
  WriteFile(inst.root + "/globalcfg/domaincfg.ini", "update_srv_domain=first.example.org\n");

  const std::string output = dir.path() + "/report.txt";
  ASSERT_EQ(RunProgram(inst.program, "--no-resolve", output), 0) << ReadFile(output);
  const std::map<std::string, std::string> rows = Rows(ReadFile(output));

  // The temporary path may be spelt differently by the child (drive letter,
  // case on Windows): compare the part below the temporary directory.
  const std::string reportedRoot = rows.count("Installation root") ? rows.at("Installation root") : "";
  const std::string tail = dir.path().substr(dir.path().find_last_of('/')) + "/R\"";
  ASSERT_GE(reportedRoot.size(), tail.size()) << ReadFile(output);
  EXPECT_EQ(reportedRoot.substr(reportedRoot.size() - tail.size()), tail);
  const std::string R = reportedRoot.substr(1, reportedRoot.size() - 2);
  EXPECT_EQ(rows.at("Executable directory"), "\"" + R + "/client/bin\"");
  EXPECT_EQ(rows.at("Settings file"), "\"" + R + "/client/bin/conf/cli_config.ini\"");
  EXPECT_EQ(rows.at("Updater version file"), "\"" + R + "/quarn_update/cur_version.txt\"");
  EXPECT_EQ(rows.at("Install module"), "\"full\"");
  EXPECT_EQ(rows.at("CPU use limit (%)"), "25");
  EXPECT_EQ(rows.at("Service servers"), "1. \"svc.example.org\"");
  EXPECT_EQ(rows.at("Update servers"), "1. \"first.example.org\"");
}

TEST(Inspector, CreatesTheGlobalConfigurationDirectoryAndPrintsOneSection) {
  TempDir dir;
  const Installation inst = Install(dir.path());
  const std::string output = dir.path() + "/report.txt";
  ASSERT_EQ(RunProgram(inst.program, "--section servers --no-resolve", output), 0) << ReadFile(output);
  EXPECT_TRUE(quarn_test::IsDirectory(inst.root + "/globalcfg"));
  const std::string report = ReadFile(output);
  EXPECT_EQ(report.find("Installation"), std::string::npos) << report;
  EXPECT_NE(report.find("Servers"), std::string::npos) << report;
  EXPECT_NE(report.find("not looked up (--no-resolve)"), std::string::npos) << report;
  EXPECT_NE(report.find("load config error"), std::string::npos) << "no settings file: the library says so";
}

TEST(Inspector, ABadArgumentExitsWithTwo) {
  TempDir dir;
  const Installation inst = Install(dir.path());
  const std::string output = dir.path() + "/report.txt";
  EXPECT_EQ(RunProgram(inst.program, "--bogus", output), 2);
  EXPECT_NE(ReadFile(output).find("--bogus"), std::string::npos) << ReadFile(output);
  EXPECT_EQ(RunProgram(inst.program, "--section nothing --no-resolve", output), 2);
  EXPECT_EQ(RunProgram(inst.program, "--help", output), 0);
  EXPECT_NE(ReadFile(output).find("Usage: quarncfg"), std::string::npos) << ReadFile(output);
}

TEST(Inspector, JsonHasStableKeysAndKeepsLibraryOutputApart) {
  TempDir dir;
  const Installation inst = Install(dir.path());
  WriteFile(inst.bin + "/conf/cli_config.ini", "defaultinstall=full\nloglevel=3\nsendfile=off\n");
  const std::string output = dir.path() + "/report.json";
  // Standard error (the library's log) goes elsewhere: the JSON is clean.
  ASSERT_EQ(RunProgram(inst.program, "--json --no-resolve 2>" + dir.path() + "/log.txt", output), 0);
  const nlohmann::json report = nlohmann::json::parse(ReadFile(output));
  EXPECT_EQ(report["settings"]["install_module"], "full");
  EXPECT_EQ(report["settings"]["log_level"], 3);
  EXPECT_EQ(report["settings"]["send_file"], false);
  EXPECT_TRUE(report["installation"]["installation_root"].get<std::string>().size() > 2);
  EXPECT_TRUE(report["servers"]["service_servers"].is_array());
  EXPECT_TRUE(report["network"]["local_addresses"].is_array());
  EXPECT_TRUE(report["host"].contains("platform_tag"));
  EXPECT_EQ(report["hardware"]["bios_uuid"].get<std::string>().size() % 36, 0u);  // 36 characters, or none
  EXPECT_EQ(report["versions"]["updater_version"], "update_00_00");
  EXPECT_TRUE(report["diagnostics"]["library_output"].is_array());
  ASSERT_EQ(RunProgram(inst.program, "--json --section Host --no-resolve 2>" + dir.path() + "/log.txt", output), 0);
  const nlohmann::json one = nlohmann::json::parse(ReadFile(output));
  // One section, beside the form's version and the undecodable texts.
  EXPECT_EQ(one.size(), 3u) << one.dump();
  EXPECT_TRUE(one.contains("host"));
  EXPECT_FALSE(one.contains("versions"));
}

// The JSON form's keys, every one present in every run on every platform.
TEST(Inspector, JsonKeysAreTheSameOnEveryPlatformAndEveryRun) {
  TempDir dir;
  const Installation inst = Install(dir.path());
  const std::string output = dir.path() + "/report.json";
  ASSERT_EQ(RunProgram(inst.program, "--json --no-resolve 2>" + dir.path() + "/log.txt", output), 0);
  const nlohmann::ordered_json report = nlohmann::ordered_json::parse(ReadFile(output));
  EXPECT_EQ(report["schema_version"], 1);
  EXPECT_TRUE(report["undecodable_texts"].is_object());
  const std::map<std::string, std::vector<std::string>> expected = {
      {"servers", {"service_servers", "update_servers", "service_server_addresses", "update_server_addresses"}},
      {"host",
       {"machine_name", "system", "platform_tag", "platform_id", "windows_version", "service_pack", "product_type",
        "suite_mask", "processor_architecture", "server_r2", "product_code", "system_64_bit"}},
      {"hardware",
       {"smbios_source", "smbios_version", "smbios_version_number", "table_size", "bios_uuid", "table_checksum",
        "hypervisor_signature", "xen_or_microsoft_hypervisor", "uuid_fields_swapped", "vm_id", "caller_uuid"}},
  };
  for (const auto& section : expected) {
    std::vector<std::string> keys;
    for (const auto& item : report[section.first].items()) keys.push_back(item.key());
    EXPECT_EQ(keys, section.second) << section.first;
  }
  EXPECT_TRUE(report["servers"]["service_server_addresses"].is_null()) << "not looked up";
  // A missing updater record is said to be missing, beside the library's answer.
  EXPECT_EQ(report["versions"]["updater_version"], "update_00_00");
  EXPECT_EQ(report["versions"]["updater_version_record_read"], false);
}

// Texts that are not UTF-8 (a setting in a single-byte code page) never
// break the JSON form.
TEST(Inspector, JsonStaysValidForTextsThatAreNotUtf8) {
  TempDir dir;
  const Installation inst = Install(dir.path());
  WriteFile(inst.bin + "/conf/cli_config.ini", "defaultinstall=full\nwaf_cfg=caf\xe9\n");
  const std::string output = dir.path() + "/report.json";
  ASSERT_EQ(RunProgram(inst.program, "--json --section settings 2>" + dir.path() + "/log.txt", output), 0)
      << ReadFile(output);
  const nlohmann::json report = nlohmann::json::parse(ReadFile(output));
  const std::string shown = report["settings"]["waf_config"].get<std::string>();
#if defined(_WIN32)
  // Converted from the ANSI code page where it has the byte (1252: "é"),
  // else replaced with its bytes given beside it.
  if (shown != "caf\xc3\xa9") {
    EXPECT_EQ(shown, "caf\xef\xbf\xbd");
    EXPECT_EQ(report["undecodable_texts"]["/settings/waf_config"], "636166e9");
  }
#else
  EXPECT_EQ(shown, "caf\xef\xbf\xbd");
  EXPECT_EQ(report["undecodable_texts"]["/settings/waf_config"], "636166e9");
  // The text form prints the bytes as they are.
  ASSERT_EQ(RunProgram(inst.program, "--section settings 2>" + dir.path() + "/log.txt", output), 0);
  EXPECT_NE(ReadFile(output).find("\"caf\xe9\""), std::string::npos) << ReadFile(output);
#endif
}

TEST(Inspector, PrintsItsVersion) {
  TempDir dir;
  const Installation inst = Install(dir.path());
  const std::string output = dir.path() + "/version.txt";
  ASSERT_EQ(RunProgram(inst.program, "--version", output), 0);
  EXPECT_EQ(ReadFile(output).rfind("quarncfg 1.", 0), 0u) << ReadFile(output);
}

#if !defined(_WIN32)
TEST(Inspector, WithoutACaptureFileTheLibraryOutputStaysOutOfTheJson) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  // The sanitizers' runtime opens files of its own (its type checks read
  // the process's memory map), which four descriptors do not allow.
  GTEST_SKIP() << "not with a sanitizer: its runtime needs more than four file descriptors";
#endif
  TempDir dir;
  const Installation inst = Install(dir.path());
  const std::string output = dir.path() + "/report.json", errors = dir.path() + "/errors.txt";
  // Four descriptors: the three standard ones and the saved standard
  // output (whatever else the test runner left open is closed first). No
  // capture file can be opened, nor the settings file: its "load config
  // error" goes to standard error, the JSON stays whole.
  const std::string command =
      "bash -c 'for fd in /proc/$$/fd/*; do fd=${fd##*/}; [ \"$fd\" -gt 2 ] && eval \"exec $fd>&-\"; done; "
      "ulimit -n 4; exec \"$0\" --json --no-resolve' '" +
      inst.program + "' > '" + output + "' 2> '" + errors + "'";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0) << ReadFile(errors);
  const nlohmann::json report = nlohmann::json::parse(ReadFile(output));
  EXPECT_EQ(report["diagnostics"]["library_output"], nlohmann::json::array());
  EXPECT_NE(ReadFile(errors).find("load config error"), std::string::npos) << ReadFile(errors);
}

TEST(Inspector, AReportThatCannotBeWrittenIsAFailure) {
  TempDir dir;
  const Installation inst = Install(dir.path());
  const std::string errors = dir.path() + "/errors.txt";
  EXPECT_EQ(RunProgram(inst.program, "--no-resolve 2>'" + errors + "'", "/dev/full"), 4);
  EXPECT_NE(ReadFile(errors).find("the report could not be written"), std::string::npos) << ReadFile(errors);
  // A reader that is gone before the report is written (the report takes
  // the updater record's half-second retries): the same failure, not a
  // death by SIGPIPE (status 141).
  const std::string command = "bash -c \"set -o pipefail; '" + inst.program + "' --no-resolve 2>/dev/null | true\"";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 4);
}
#endif

// quarncfg check on the installation it lies in: the settings file and the
// override file of the global configuration directory, with an exit status
// scripts can test.
TEST(Inspector, CheckTellsWhatIsWrongWithTheSettingsAndExitsAccordingly) {
  TempDir dir;
  const Installation inst = Install(dir.path());
  const std::string output = dir.path() + "/check.txt";
  fs::create_directories(fs::path(inst.root + "/globalcfg"));
  WriteFile(inst.bin + "/conf/cli_config.ini", "defaultinstall=full\nloglevl=3\nmax_cpuuse=12.5\nwaf_cfg=caf\xe9\n");
  WriteFile(inst.root + "/globalcfg/domaincfg.ini", "srv_domain=a||b\n");
  ASSERT_EQ(RunProgram(inst.program, "check", output), 1) << ReadFile(output);
  const std::string text = ReadFile(output);
  EXPECT_NE(text.find("did you mean \"loglevel\""), std::string::npos) << text;
  EXPECT_NE(text.find("\"max_cpuuse\" = \"12.5\": characters after the number: the default 10"), std::string::npos)
      << text;
  EXPECT_NE(text.find("kept as servers without a name"), std::string::npos) << text;

  ASSERT_EQ(RunProgram(inst.program, "check --json 2>" + dir.path() + "/log.txt", output), 1) << ReadFile(output);
  const nlohmann::json report = nlohmann::json::parse(ReadFile(output));
  std::map<std::string, int> codes;
  for (const auto& finding : report["findings"]["findings"]) ++codes[finding["code"].get<std::string>()];
  EXPECT_EQ(
      codes,
      (std::map<std::string, int>{
          {"unknown_key", 1}, {"trailing_characters", 1}, {"empty_list_item", 1}, {"override_replaces_list", 1}}));
  EXPECT_EQ(report["keys"]["max_cpuuse"]["origin"], "trailing_characters");
  EXPECT_EQ(report["files"]["override_file"]["status"], "read");
  EXPECT_EQ(report["lists"]["service_servers"][0], "a");

  // Mended, the same check is clean.
  WriteFile(inst.bin + "/conf/cli_config.ini", "defaultinstall=full\nloglevel=3\nmax_cpuuse=12\n");
  WriteFile(inst.root + "/globalcfg/domaincfg.ini", "srv_domain=a|b\n");
  EXPECT_EQ(RunProgram(inst.program, "check", output), 0) << ReadFile(output);
  // A file named on the command line, and a usage error.
  EXPECT_EQ(RunProgram(inst.program, "check \"" + inst.bin + "/conf/nothing.ini\"", output), 1);
  EXPECT_NE(ReadFile(output).find("settings_not_read"), std::string::npos) << ReadFile(output);
  EXPECT_EQ(RunProgram(inst.program, "check --bogus", output), 2);
}

// The library's log lines are part of the report, and the Settings section
// says whether the settings file was loaded.
TEST(Inspector, ReportsTheLibraryLogAndWhetherTheSettingsLoaded) {
  TempDir dir;
  const Installation inst = Install(dir.path());
  const std::string output = dir.path() + "/report.json", errors = dir.path() + "/errors.txt";
  ASSERT_EQ(RunProgram(inst.program, "--json --no-resolve --section settings 2>\"" + errors + "\"", output), 0);
  EXPECT_EQ(nlohmann::json::parse(ReadFile(output))["settings"]["settings_file_loaded"], false);
  // A section that is not Diagnostics: the log line goes to standard error.
  EXPECT_NE(ReadFile(errors).find("load config error"), std::string::npos) << ReadFile(errors);

  ASSERT_EQ(RunProgram(inst.program, "--json --no-resolve --section diagnostics 2>\"" + errors + "\"", output), 0);
  const nlohmann::json log = nlohmann::json::parse(ReadFile(output))["diagnostics"]["library_log"];
  ASSERT_EQ(log.size(), 1u) << log.dump();
  EXPECT_NE(log[0].get<std::string>().find("load config error"), std::string::npos) << log.dump();
  EXPECT_EQ(ReadFile(errors).find("load config error"), std::string::npos) << ReadFile(errors);

  WriteFile(inst.bin + "/conf/cli_config.ini", "defaultinstall=full\n");
  ASSERT_EQ(RunProgram(inst.program, "--json --no-resolve 2>\"" + errors + "\"", output), 0);
  const nlohmann::json report = nlohmann::json::parse(ReadFile(output));
  EXPECT_EQ(report["settings"]["settings_file_loaded"], true);
  for (const auto& line : report["diagnostics"]["library_log"])
    EXPECT_EQ(line.get<std::string>().find("load config error"), std::string::npos) << line;
}
