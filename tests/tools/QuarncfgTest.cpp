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

// Whether a sanitizer's runtime is in the process: GCC says so by a macro,
// clang by a feature.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define QUARN_UNDER_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define QUARN_UNDER_SANITIZER 1
#endif
#endif
#ifndef QUARN_UNDER_SANITIZER
#define QUARN_UNDER_SANITIZER 0
#endif

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

// R/client/bin holding quarncfg and the libraries it loads.
Installation Install(const std::string& base) {
  Installation inst{base + "/R", base + "/R/client/bin", ""};
  fs::create_directories(fs::path(inst.bin + "/conf"));
  const std::string built = kqt::CToolUtil::GetApplicationDirPath();
  inst.program = inst.bin + "/quarncfg" + kExeSuffix;
  fs::copy_file(fs::path(built + "/quarncfg" + kExeSuffix), fs::path(inst.program));
  // The libraries it needs beside it, as a sample installation has them
  // (on Linux by their versioned names: the program finds them at $ORIGIN).
  for (const auto& entry : fs::directory_iterator(fs::path(built))) {
    const std::string name = entry.path().filename().string();
#if defined(_WIN32)
    const bool needed = entry.path().extension() == ".dll";
#else
    const bool needed = name.rfind("libQuarnConfig.so", 0) == 0 || name.rfind("libkqtUtil.so", 0) == 0 ||
                        name.rfind("libkqtNetWork.so", 0) == 0;
#endif
    if (needed) fs::copy(entry.path(), fs::path(inst.bin) / name, fs::copy_options::copy_symlinks);
  }
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
  // "help" as a command gives the program's help, as git's does.
  const std::string help = ReadFile(output);
  EXPECT_EQ(RunProgram(inst.program, "help", output), 0);
  EXPECT_EQ(ReadFile(output), help);
  // Every command's help says what its exit statuses are, 2 included, once.
  for (const char* command : {"check", "bundle", "fleet"}) {
    EXPECT_EQ(RunProgram(inst.program, std::string(command) + " --help", output), 0);
    const std::string said = ReadFile(output);
    const std::size_t at = said.find("2 usage error or an input that cannot be read");
    EXPECT_NE(at, std::string::npos) << command;
    EXPECT_EQ(said.find("Exit status:", said.find("Exit status:") + 1), std::string::npos) << command << said;
  }
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
  EXPECT_EQ(report["schema_version"], 3);
  EXPECT_TRUE(report["undecodable_texts"].is_object());
  const std::map<std::string, std::vector<std::string>> expected = {
      {"servers", {"service_servers", "update_servers", "service_server_addresses", "update_server_addresses"}},
      {"host",
       {"machine_name", "system", "platform_tag", "platform_id", "windows_version", "true_windows_version",
        "service_pack", "product_type", "suite_mask", "processor_architecture", "server_r2", "product_code",
        "system_64_bit"}},
      {"hardware",
       {"smbios_source", "smbios_version", "smbios_version_number", "table_size", "bios_uuid", "table_checksum",
        "hypervisor_signature", "xen_or_microsoft_hypervisor", "uuid_fields_swapped", "dmtf_uuid", "uuid_forms_differ",
        "uuid_placeholder", "vm_id", "caller_uuid"}},
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
  // The text form escapes the byte that is no UTF-8: a terminal's decoder
  // may take it for a control.
  ASSERT_EQ(RunProgram(inst.program, "--section settings 2>" + dir.path() + "/log.txt", output), 0);
  EXPECT_NE(ReadFile(output).find("\"caf\\xe9\""), std::string::npos) << ReadFile(output);
#endif
}

TEST(Inspector, PrintsItsVersion) {
  TempDir dir;
  const Installation inst = Install(dir.path());
  const std::string output = dir.path() + "/version.txt";
  ASSERT_EQ(RunProgram(inst.program, "--version", output), 0);
  EXPECT_EQ(ReadFile(output).rfind("quarncfg 1.", 0), 0u) << ReadFile(output);
  const std::string version = ReadFile(output);
  ASSERT_EQ(RunProgram(inst.program, "-V", output), 0);
  EXPECT_EQ(ReadFile(output), version);
}

#if !defined(_WIN32)
TEST(Inspector, WithoutACaptureFileTheLibraryOutputStaysOutOfTheJson) {
#if QUARN_UNDER_SANITIZER
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
  // Its help and its version are written the same way.
  EXPECT_EQ(RunProgram(inst.program, "--help 2>/dev/null", "/dev/full"), 4);
  EXPECT_EQ(RunProgram(inst.program, "--version 2>/dev/null", "/dev/full"), 4);
  EXPECT_EQ(RunProgram(inst.program, "check --help 2>/dev/null", "/dev/full"), 4);
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

  ASSERT_EQ(RunProgram(inst.program, "check --json --severity note 2>" + dir.path() + "/log.txt", output), 1)
      << ReadFile(output);
  const nlohmann::json document = nlohmann::json::parse(ReadFile(output));
  EXPECT_EQ(document["schema_version"], 3);  // one vocabulary with the report's
  ASSERT_EQ(document["checks"].size(), 1u);
  const nlohmann::json& report = document["checks"][0];
  EXPECT_EQ(document["summary"]["files"], 1);
  std::map<std::string, int> codes;
  for (const auto& finding : report["findings"]) ++codes[finding["code"].get<std::string>()];
  EXPECT_EQ(
      codes,
      (std::map<std::string, int>{
          {"unknown_key", 1}, {"trailing_characters", 1}, {"empty_list_item", 1}, {"override_replaces_list", 1}}));
  EXPECT_EQ(report["summary"]["errors"], 2);
  EXPECT_EQ(report["summary"]["exit_status"], 1);
  // Named and typed as the report names and types them, the key beside.
  EXPECT_EQ(report["settings"]["max_cpu_use"]["key"], "max_cpuuse");
  EXPECT_EQ(report["settings"]["max_cpu_use"]["origin"], "trailing_characters");
  EXPECT_EQ(report["settings"]["max_cpu_use"]["value"], 10);
  EXPECT_EQ(report["settings"]["install_module"]["value"], "full");
  EXPECT_EQ(report["files"]["override_file"]["status"], "read");
  EXPECT_EQ(report["lists"]["service_servers"][0], "a");

  // Mended, the same check is clean.
  WriteFile(inst.bin + "/conf/cli_config.ini", "defaultinstall=full\nloglevel=3\nmax_cpuuse=12\n");
  WriteFile(inst.root + "/globalcfg/domaincfg.ini", "srv_domain=a|b\n");
  EXPECT_EQ(RunProgram(inst.program, "check", output), 0) << ReadFile(output);
  // A file named on the command line that cannot be read is no finding
  // about a file: exit status 2, as for a usage error, and why in words.
  EXPECT_EQ(RunProgram(inst.program, "check \"" + inst.bin + "/conf/nothing.ini\"", output), 2);
  EXPECT_NE(ReadFile(output).find("cannot be read (no such file)"), std::string::npos) << ReadFile(output);
  EXPECT_EQ(RunProgram(inst.program, "check \"" + inst.bin + "/conf\"", output), 2);
  EXPECT_NE(ReadFile(output).find("cannot be read (it is a directory, not a file)"), std::string::npos)
      << ReadFile(output);
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

#if !defined(_WIN32)
  // The capture files are the program's own: made new, and gone from the
  // temporary directory by the time it ends.
  const std::string temporary = dir.path() + "/tmp";
  fs::create_directories(fs::path(temporary));
  const char* const saved = std::getenv("TMPDIR");
  const std::string savedValue = saved ? saved : "";
  ::setenv("TMPDIR", temporary.c_str(), 1);
#endif
  const int status = RunProgram(inst.program, "--json --no-resolve --section diagnostics 2>\"" + errors + "\"", output);
#if !defined(_WIN32)
  if (saved)
    ::setenv("TMPDIR", savedValue.c_str(), 1);
  else
    ::unsetenv("TMPDIR");
  EXPECT_TRUE(fs::is_empty(fs::path(temporary)));
#endif
  ASSERT_EQ(status, 0);
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

namespace {

// An installation of the agent: settings, override file and updater record.
void LayOutAgent(const std::string& root, const std::string& exeDir = "client/bin") {
  fs::create_directories(fs::path(root + "/" + exeDir + "/conf"));
  fs::create_directories(fs::path(root + "/globalcfg"));
  fs::create_directories(fs::path(root + "/quarn_update"));
  WriteFile(root + "/" + exeDir + "/conf/cli_config.ini",
            "current_version=quarn_03_02\ndefaultinstall=full\nloglevel=5\nmax_cpuuse=95\nlogmaxsize=10%\n"
            "sendfile=yes\nwaf_cfg=strict\nsrv_domain=svc1.example.org|svc2.example.org\n"
            "update_srv_domain=upd.example.org\n");
  WriteFile(root + "/globalcfg/domaincfg.ini", "update_srv_domain=over1.example.org|over2.example.org\n");
  WriteFile(root + "/quarn_update/cur_version.txt", "  update_04_01  \n");
}

// Whether `path` ends with `tail` (the child may spell the temporary
// directory differently).
bool EndsWith(const std::string& path, const std::string& tail) {
  return path.size() >= tail.size() && path.compare(path.size() - tail.size(), tail.size(), tail) == 0;
}

nlohmann::json RunJson(const Installation& inst, const std::string& args, const std::string& dir, int expected = 0) {
  const std::string output = dir + "/report.json";
  const int status = RunProgram(inst.program, args + " --json 2>" + dir + "/log.txt", output);
  EXPECT_EQ(status, expected) << args << "\n" << ReadFile(output) << ReadFile(dir + "/log.txt");
  return nlohmann::json::parse(ReadFile(output), nullptr, false);
}

}  // namespace

TEST(Inspector, InspectsAnotherInstallationByTheLibrarysRulesAndCreatesNothing) {
  TempDir dir;
  const Installation inst = Install(dir.path() + "/tool");
  const std::string agent = dir.path() + "/agent/R";
  LayOutAgent(agent);

  const nlohmann::json byRoot = RunJson(inst, "--installation \"" + agent + "\" --no-resolve", dir.path());
  ASSERT_FALSE(byRoot.is_discarded());
  EXPECT_TRUE(EndsWith(byRoot["installation"]["installation_root"], "/agent/R")) << byRoot.dump(1);
  EXPECT_TRUE(EndsWith(byRoot["installation"]["settings_file"], "/agent/R/client/bin/conf/cli_config.ini"));
  EXPECT_EQ(byRoot["installation"]["global_config_directory_state"], "existed");
  EXPECT_EQ(byRoot["settings"]["settings_file_loaded"], true);
  EXPECT_EQ(byRoot["settings"]["install_module"], "full");
  EXPECT_EQ(byRoot["settings"]["log_level"], 5);
  EXPECT_EQ(byRoot["settings"]["max_cpu_use"], 10) << "95 is out of bounds: the default";
  EXPECT_EQ(byRoot["settings"]["log_max_size"], 1048576) << "\"10%\": the default";
  EXPECT_EQ(byRoot["settings"]["send_file"], true);
  EXPECT_EQ(byRoot["settings"]["waf_config"], "strict");
  EXPECT_EQ(byRoot["servers"]["service_servers"], nlohmann::json({"svc1.example.org", "svc2.example.org"}));
  EXPECT_EQ(byRoot["servers"]["update_servers"],
            nlohmann::json({"over1.example.org", "over2.example.org", "upd.example.org"}))
      << "the override file's items first";
  EXPECT_EQ(byRoot["versions"]["client_version"], "quarn_03_02");
  EXPECT_EQ(byRoot["versions"]["updater_version"], "update_04_01");
  EXPECT_EQ(byRoot["versions"]["updater_version_record_read"], true);
  EXPECT_EQ(byRoot["versions"]["updater_version_detail"], "win32_update_04_01_0");
  // The program's own place has no globalcfg: the library's object is not
  // made, and the sections that need it are left out.
  EXPECT_FALSE(quarn_test::IsDirectory(inst.root + "/globalcfg"));
  EXPECT_EQ(byRoot["diagnostics"]["library_object_made"], false);
  EXPECT_FALSE(byRoot.contains("hardware"));
  EXPECT_TRUE(byRoot["versions"]["updater_pid"].is_null());

  // The executable directory names the same installation.
  const nlohmann::json byExe = RunJson(inst, "--installation \"" + agent + "/client/bin\" --no-resolve", dir.path());
  for (const char* section : {"installation", "settings", "servers", "versions"})
    EXPECT_EQ(byExe[section], byRoot[section]) << section;

  // An installation without globalcfg: the library would make it there.
  fs::remove_all(fs::path(agent + "/globalcfg"));
  const nlohmann::json bare = RunJson(inst, "--installation \"" + agent + "\" --no-resolve", dir.path());
  EXPECT_EQ(bare["installation"]["global_config_directory_state"], "would_be_created");
  EXPECT_EQ(bare["servers"]["update_servers"], nlohmann::json({"upd.example.org"}));
  EXPECT_FALSE(quarn_test::IsDirectory(agent + "/globalcfg"));
  // The text form names the state as the JSON does, not as "missing" (another one).
  const std::string bareText = dir.path() + "/bare.txt";
  ASSERT_EQ(RunProgram(inst.program, "--installation \"" + agent + "\" --no-resolve --section installation", bareText),
            0);
  EXPECT_NE(ReadFile(bareText).find(": would be created: it is missing"), std::string::npos) << ReadFile(bareText);

  // check on that installation: two errors (bounds, trailing characters).
  const nlohmann::json checked = RunJson(inst, "check --installation \"" + agent + "\"", dir.path(), 1)["checks"][0];
  EXPECT_TRUE(EndsWith(checked["files"]["settings_file"]["path"], "/agent/R/client/bin/conf/cli_config.ini"))
      << checked.dump(1);
  EXPECT_EQ(checked["files"]["override_file"]["status"], "missing");
  EXPECT_FALSE(quarn_test::IsDirectory(inst.root + "/globalcfg"));

  // A root with two executable directories, and a directory that is
  // neither: usage errors that say what was found.
  LayOutAgent(agent, "other/bin");
  const std::string output = dir.path() + "/report.txt";
  EXPECT_EQ(RunProgram(inst.program, "--installation \"" + agent + "\"", output), 2);
  EXPECT_NE(ReadFile(output).find("other/bin"), std::string::npos) << ReadFile(output);
  EXPECT_NE(ReadFile(output).find("client/bin"), std::string::npos) << ReadFile(output);
  EXPECT_EQ(RunProgram(inst.program, "--installation \"" + dir.path() + "\"", output), 2);
  EXPECT_NE(ReadFile(output).find("neither"), std::string::npos) << ReadFile(output);
}

// The program placed in an installation reads it twice: through the
// library's object, and by the rules as for another installation. The two
// must agree on everything the installation's files decide.
TEST(Inspector, TheRulesViewAgreesWithTheLibrarysObject) {
  TempDir dir;
  const Installation inst = Install(dir.path());
  LayOutAgent(inst.root);
  WriteFile(inst.bin + "/conf/cli_config.ini",
            "current_version=quarn_05_00\ndefaultinstall=\nloglevel=-3\nmax_memuse=70000\nprotectupdate=off\n"
            "velse_waf_enable=maybe\nvelse_enable=1\nwaf_rule_refresh=12.5\nwaf_port_refresh=60\n"
            "srv_domain=|a.example.org||a.example.org\n[extra]\nvm_crash_check=1\n");

  const nlohmann::json library = RunJson(inst, "--no-resolve", dir.path());
  const nlohmann::json rules = RunJson(inst, "--installation \"" + inst.bin + "\" --no-resolve", dir.path());
  ASSERT_FALSE(library.is_discarded());
  ASSERT_FALSE(rules.is_discarded());
  EXPECT_EQ(rules["diagnostics"]["library_object_made"], true) << "its own globalcfg exists";
  for (const char* section : {"installation", "settings", "servers"})
    EXPECT_EQ(rules[section], library[section]) << section;
  nlohmann::json libraryVersions = library["versions"], rulesVersions = rules["versions"];
  // Each program reports its own size: the rules cannot know it.
  EXPECT_TRUE(rulesVersions["client_version_detail"].is_null());
  libraryVersions.erase("client_version_detail");
  rulesVersions.erase("client_version_detail");
  // The machine's process list, asked twice: a test beside this one may
  // start a process of the updater's name in between.
  libraryVersions.erase("updater_pid");
  rulesVersions.erase("updater_pid");
  EXPECT_EQ(rulesVersions, libraryVersions);
  EXPECT_EQ(library["settings"]["settings_file_loaded"], true);
}

TEST(Inspector, NoCreateSaysWhatWouldBeCreatedAndCreatesNothing) {
  TempDir dir;
  const Installation inst = Install(dir.path());
  const nlohmann::json spared = RunJson(inst, "--no-create --no-resolve", dir.path());
  EXPECT_EQ(spared["installation"]["global_config_directory_state"], "would_be_created");
  EXPECT_EQ(spared["diagnostics"]["library_object_made"], false);
  EXPECT_FALSE(spared.contains("network"));
  EXPECT_FALSE(quarn_test::IsDirectory(inst.root + "/globalcfg"));
  const std::string output = dir.path() + "/report.txt";
  EXPECT_EQ(RunProgram(inst.program, "--no-create --section Hardware", output), 1);
  EXPECT_NE(ReadFile(output).find("--no-create"), std::string::npos) << ReadFile(output);

  EXPECT_EQ(RunJson(inst, "--no-resolve", dir.path())["installation"]["global_config_directory_state"], "created");
  EXPECT_TRUE(quarn_test::IsDirectory(inst.root + "/globalcfg"));
  // Once it exists, --no-create has nothing to spare: the object is made.
  const nlohmann::json again = RunJson(inst, "--no-create --no-resolve", dir.path());
  EXPECT_EQ(again["installation"]["global_config_directory_state"], "existed");
  EXPECT_EQ(again["diagnostics"]["library_object_made"], true);
  EXPECT_TRUE(again.contains("hardware"));
}

// A file named globalcfg where the library would make the directory: the
// library cannot make it, and the report says so rather than "created".
TEST(Inspector, SaysTheGlobalConfigDirectoryIsMissingWhenItCouldNotBeCreated) {
  TempDir dir;
  const Installation inst = Install(dir.path());
  WriteFile(inst.root + "/globalcfg", "in the way\n");
  const nlohmann::json report = RunJson(inst, "--no-resolve --section installation", dir.path());
  EXPECT_EQ(report["installation"]["global_config_directory_state"], "missing");
}

// Texts from the files reach the reader's terminal as text: a NUL byte
// does not cut the line, an escape sequence is shown, not obeyed.
TEST(Inspector, TheTextFormShowsControlCharactersAsEscapes) {
  TempDir dir;
  const Installation inst = Install(dir.path());
  fs::create_directories(fs::path(inst.root + "/quarn_update"));
  WriteFile(inst.bin + "/conf/cli_config.ini", "defaultinstall=full\nwaf_cfg=\x1b[31mred\x7f\n");
  WriteFile(inst.root + "/quarn_update/cur_version.txt", std::string("update_01\0_07\n", 14));
  const std::string output = dir.path() + "/report.txt";
  ASSERT_EQ(RunProgram(inst.program, "--no-resolve 2>" + dir.path() + "/log.txt", output), 0) << ReadFile(output);
  const std::map<std::string, std::string> rows = Rows(ReadFile(output));
  EXPECT_EQ(rows.at("WAF configuration"), "\"\\x1b[31mred\\x7f\"");
  EXPECT_EQ(rows.at("Updater version"), "\"update_01\\x00_07\"");
  EXPECT_EQ(ReadFile(output).find('\x1b'), std::string::npos);
}

// The lint as a person meets it: findings one a line as compilers print
// them, --quiet for the findings alone (nothing for a clean file),
// --severity and --disable for what counts. The same findings natively and
// under Wine.
TEST(Inspector, CheckPrintsFindingsAsCompilersDo) {
  TempDir dir;
  const Installation inst = Install(dir.path());
  const std::string settings = dir.path() + "/cli_config.ini", overrides = dir.path() + "/domaincfg.ini";
  WriteFile(settings,
            "defaultinstall=full\nprotectupdate=ture\ncurrent_version=\"quarn_01_05\"\n"
            "update_srv_domain= upd.example.com|http://svc.example.com/\n");
  WriteFile(overrides, "srv_domain=256.1.1.1\n");
  const std::string output = dir.path() + "/check.txt";
  const std::string files = "check \"" + settings + "\" --override \"" + overrides + "\"";
  const auto lines = [&] {
    std::string text = ReadFile(output);
    for (char& c : text)
      if (c == '\\') c = '/';
    std::vector<std::string> found;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const std::string::size_type at = line.find(dir.path().substr(dir.path().find_last_of('/')));
      found.push_back(at == std::string::npos ? line
                                              : line.substr(at + dir.path().size() - dir.path().find_last_of('/')));
    }
    return found;
  };
  ASSERT_EQ(RunProgram(inst.program, files + " --quiet", output), 1) << ReadFile(output);
  EXPECT_EQ(lines(),
            (std::vector<std::string>{
                "/cli_config.ini:2:15: warning: \"protectupdate\" = \"ture\": not one of 1/0, true/false, yes/no, "
                "on/off; the library takes it as true, by its first characters [loose_boolean]",
                "/cli_config.ini:3:17: warning: \"current_version\" = \"\"quarn_01_05\"\": the quotes are part of "
                "the value: the library uses it with them [quoted_value]",
                "/cli_config.ini:4:36: error: \"update_srv_domain\" item \"http://svc.example.com/\" is a URL; the "
                "list holds host names and addresses [list_item_url]",
                "/domaincfg.ini:1:12: error: \"srv_domain\" item \"256.1.1.1\" is no IPv4 address (four parts of 0 "
                "to 255) [list_item_bad_ipv4]",
            }));
  ASSERT_EQ(RunProgram(inst.program, files + " --quiet --severity error", output), 1);
  EXPECT_EQ(lines().size(), 2u);
  ASSERT_EQ(
      RunProgram(inst.program, files + " --quiet --disable list_item_url,list_item_bad_ipv4 --severity error", output),
      0);
  EXPECT_EQ(ReadFile(output), "");
  EXPECT_EQ(RunProgram(inst.program, files + " --disable no_such_code", output), 2);
  // By default the findings and one summary line, as linters print them;
  // the settings table only when asked for.
  ASSERT_EQ(RunProgram(inst.program, files, output), 1);
  EXPECT_EQ(lines().size(), 5u) << ReadFile(output);
  EXPECT_EQ(lines().back(), "2 errors, 2 warnings, 0 notes (warning and above)");
  ASSERT_EQ(RunProgram(inst.program, files + " --show-settings", output), 1);
  EXPECT_NE(ReadFile(output).find("Log level (loglevel)"), std::string::npos) << ReadFile(output);
  EXPECT_EQ(lines().back(), "2 errors, 2 warnings, 0 notes (warning and above)");
  // Short options, as the long ones.
  ASSERT_EQ(RunProgram(inst.program, files + " -q -S error -e list_item_url", output), 1);
  EXPECT_EQ(lines().size(), 1u) << ReadFile(output);

  // Several files in one run, each with its own findings and the override
  // file after it; "-" is standard input, named <stdin>.
  const std::string other = dir.path() + "/other.ini";
  WriteFile(other, "defaultinstall=x\nsrv_domain=2001:db8::1\n");
  ASSERT_EQ(RunProgram(inst.program, "check -q \"" + other + "\" " + files.substr(6), output), 1);
  std::vector<std::string> found = lines();
  ASSERT_EQ(found.size(), 5u) << ReadFile(output);
  EXPECT_EQ(found[0].rfind("/other.ini:2:12: error:", 0), 0u) << found[0];
  EXPECT_EQ(found[4].rfind("/domaincfg.ini:1:12: error:", 0), 0u) << found[4];
  ASSERT_EQ(RunProgram(inst.program, "check \"" + other + "\" " + files.substr(6), output), 1);
  EXPECT_EQ(lines().back(), "3 errors, 2 warnings, 0 notes in 2 files (warning and above)");
  ASSERT_EQ(RunProgram(inst.program, "check -q - < \"" + other + "\"", output), 1);
  EXPECT_EQ(lines(), (std::vector<std::string>{"<stdin>:2:12: error: \"srv_domain\" item \"2001:db8::1\" is an IPv6 "
                                               "address; the lists take host names and IPv4 addresses only (an IPv6 "
                                               "server is named by a host name) [list_item_ipv6]"}));
  EXPECT_EQ(RunProgram(inst.program, "check \"" + other + "\" \"" + settings + "\" --override a --override b", output),
            2);

  // A clean file under --quiet: nothing at all.
  WriteFile(settings, "defaultinstall=full\nsendfile=off\n");
  WriteFile(overrides, "");
  ASSERT_EQ(RunProgram(inst.program, files + " --quiet", output), 0);
  EXPECT_EQ(ReadFile(output), "");
}

// The bundle's commands, as support runs them: made in an installation,
// replayed from the file alone, checked, refused when broken.
TEST(Inspector, BundlesAMachineAndReplaysIt) {
  TempDir dir;
  const Installation inst = Install(dir.path());
  WriteFile(inst.bin + "/conf/cli_config.ini", "defaultinstall=full\nloglevel=2\nprotectupdate=ture\n");
  fs::create_directories(fs::path(inst.root + "/globalcfg"));
  const std::string bundle = dir.path() + "/machine.json", output = dir.path() + "/out.txt";
  ASSERT_EQ(RunProgram(inst.program, "bundle -o \"" + bundle + "\"", output), 0) << ReadFile(output);
  EXPECT_NE(ReadFile(output).find("bundle of"), std::string::npos) << ReadFile(output);

  ASSERT_EQ(RunProgram(inst.program, "--from-bundle \"" + bundle + "\" --json", output), 0) << ReadFile(output);
  const nlohmann::json replay = nlohmann::json::parse(ReadFile(output));
  EXPECT_EQ(replay["replay"]["equal"], true) << replay["replay"].dump(2);
  EXPECT_EQ(replay["settings"]["log_level"], 2);
  EXPECT_TRUE(replay.contains("hardware"));
  // One section: that section, and still how it compares.
  ASSERT_EQ(RunProgram(inst.program, "--from-bundle \"" + bundle + "\" --section settings --json", output), 0);
  const nlohmann::json settingsOnly = nlohmann::json::parse(ReadFile(output));
  EXPECT_FALSE(settingsOnly.contains("hardware"));
  EXPECT_EQ(settingsOnly["settings"]["log_level"], 2);
  EXPECT_EQ(settingsOnly["replay"]["equal"], true) << settingsOnly.dump(2);

  // Opened without code: the recorded files under their own names, the
  // table as a dump (where the machine gave one), and what was recorded.
  const std::string extracted = dir.path() + "/extracted";
  ASSERT_EQ(RunProgram(inst.program, "--from-bundle \"" + bundle + "\" --extract \"" + extracted + "\"", output), 0)
      << ReadFile(output);
  EXPECT_EQ(ReadFile(extracted + "/cli_config.ini"), "defaultinstall=full\nloglevel=2\nprotectupdate=ture\n");
  EXPECT_FALSE(fs::exists(fs::path(extracted + "/domaincfg.ini")));
  const std::string said = ReadFile(extracted + "/bundle.txt");
  std::string printed = ReadFile(output);
  printed.erase(std::remove(printed.begin(), printed.end(), '\r'), printed.end());  // a Windows console's line ends
  EXPECT_EQ(printed, said);
  for (const char* line : {"Made ", "cli_config.ini: ", "written as cli_config.ini", "domaincfg.ini: ", "not written",
                           "SMBIOS table: ", "Redacted: no"})
    EXPECT_NE(said.find(line), std::string::npos) << line << " in " << said;
  if (said.find("written as smbios.bin") != std::string::npos)
    EXPECT_EQ(RunProgram(inst.program, "--smbios-dump \"" + extracted + "/smbios.bin\"", output), 0)
        << ReadFile(output);
  else
    EXPECT_FALSE(fs::exists(fs::path(extracted + "/smbios.bin")));

  // The check of the recorded files, by their recorded paths.
  ASSERT_EQ(RunProgram(inst.program, "check --quiet --from-bundle \"" + bundle + "\"", output), 1);
  EXPECT_NE(ReadFile(output).find("cli_config.ini:3:15: warning"), std::string::npos) << ReadFile(output);

  // Redacted: the replay agrees; what leaves unchanged is printed, each
  // value with its reason.
  ASSERT_EQ(RunProgram(inst.program, "bundle --redact --show-kept -o \"" + bundle + "\"", output), 0)
      << ReadFile(output);
  EXPECT_NE(ReadFile(output).find("\nkept: loglevel: 2: "), std::string::npos) << ReadFile(output);
  EXPECT_EQ(ReadFile(output).find("kept: protectupdate"), std::string::npos) << ReadFile(output);
  ASSERT_EQ(RunProgram(inst.program, "--from-bundle \"" + bundle + "\" --json", output), 0) << ReadFile(output);
  const nlohmann::json redacted = nlohmann::json::parse(ReadFile(output));
  EXPECT_EQ(redacted["replay"]["equal"], true) << redacted["replay"].dump(2);
  // Into a new folder: the earlier extract's is refused, not mixed with this one.
  ASSERT_EQ(RunProgram(inst.program, "--from-bundle \"" + bundle + "\" --extract \"" + extracted + "\"", output), 3);
  ASSERT_EQ(RunProgram(inst.program, "--from-bundle \"" + bundle + "\" --extract \"" + extracted + "2\"", output), 0);
  EXPECT_NE(ReadFile(extracted + "2/bundle.txt").find("Redacted: yes"), std::string::npos);
  EXPECT_NE(ReadFile(extracted + "2/bundle.txt").find("    machine name: 1\n"), std::string::npos);

  // Nothing is created on the machine: without globalcfg, none is made.
  fs::remove_all(fs::path(inst.root + "/globalcfg"));
  ASSERT_EQ(RunProgram(inst.program, "bundle -o \"" + bundle + "\"", output), 0) << ReadFile(output);
  EXPECT_FALSE(fs::exists(fs::path(inst.root + "/globalcfg")));
  // The library's object was not made there: what it would have answered
  // is none in the replay too.
  ASSERT_EQ(RunProgram(inst.program, "--from-bundle \"" + bundle + "\" --json", output), 0) << ReadFile(output);
  const nlohmann::json withoutObject = nlohmann::json::parse(ReadFile(output));
  EXPECT_EQ(withoutObject["replay"]["equal"], true) << withoutObject["replay"].dump(2);
  EXPECT_TRUE(withoutObject["versions"]["updater_pid"].is_null());

  // A bundle cut short, and a file that is no dump: a message and status 2.
  const std::string text = ReadFile(bundle);
  WriteFile(bundle, text.substr(0, text.size() / 3));
  EXPECT_EQ(RunProgram(inst.program, "--from-bundle \"" + bundle + "\"", output), 2);
  EXPECT_NE(ReadFile(output).find("--from-bundle"), std::string::npos) << ReadFile(output);
  EXPECT_EQ(RunProgram(inst.program, "--smbios-dump \"" + bundle + "\"", output), 2);
  EXPECT_NE(ReadFile(output).find("--smbios-dump"), std::string::npos) << ReadFile(output);
}

// A JSON document's top-level members as written, by name: the text of each
// from its name's line to the next one.
std::map<std::string, std::string> TopLevelMembers(const std::string& text) {
  std::map<std::string, std::string> members;
  std::string name;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("  \"", 0) == 0) name = line.substr(3, line.find('"', 3) - 3);
    if (!name.empty()) members[name] += line.back() == ',' ? line.substr(0, line.size() - 1) + "\n" : line + "\n";
  }
  return members;
}

// The replay writes every field as the live report of the same machine
// writes it, byte for byte (a CPU limit of 33 is 33.0 in both), but for
// what belongs to the process.
TEST(Inspector, TheReplayWritesEveryFieldAsTheLiveReportDoes) {
  TempDir dir;
  const Installation inst = Install(dir.path());
  WriteFile(inst.bin + "/conf/cli_config.ini",
            "defaultinstall=full\nmax_cpuuse=33\nlogmaxsize=0x10\nsrv_domain=a.example.com|10.1.1.1|caf\xe9\n");
  fs::create_directories(fs::path(inst.root + "/globalcfg"));
  const std::string bundle = dir.path() + "/machine.json", live = dir.path() + "/live.json",
                    replay = dir.path() + "/replay.json";
  ASSERT_EQ(RunProgram(inst.program, "--json --no-resolve 2>" + dir.path() + "/log.txt", live), 0) << ReadFile(live);
  ASSERT_EQ(RunProgram(inst.program, "bundle -o \"" + bundle + "\"", replay), 0) << ReadFile(replay);
  ASSERT_EQ(RunProgram(inst.program, "--from-bundle \"" + bundle + "\" --json", replay), 0) << ReadFile(replay);
  std::map<std::string, std::string> was = TopLevelMembers(ReadFile(live)), is = TopLevelMembers(ReadFile(replay));
  EXPECT_NE(was["settings"].find("\"max_cpu_use\": 33.0"), std::string::npos) << was["settings"];
  for (const char* process : {"diagnostics", "replay"}) {
    was.erase(process);
    is.erase(process);
  }
  EXPECT_EQ(was.size(), 9u);
  for (const auto& member : was) EXPECT_EQ(member.second, is[member.first]) << member.first;
  EXPECT_EQ(was.size(), is.size());
}

// A bundle's texts reach no terminal raw: a recorded reason that sets the
// window's title and clears the screen, with a one-byte CSI (U+009B) beside
// it, comes out escaped on standard error, in the text form and in JSON;
// and the replay says the bundle was changed after it was made.
TEST(Inspector, TextsOfABundleReachNoTerminalRaw) {
  TempDir dir;
  const Installation inst = Install(dir.path());
  const std::string bundle = dir.path() + "/machine.json", output = dir.path() + "/out.txt";
  ASSERT_EQ(RunProgram(inst.program, "bundle -o \"" + bundle + "\"", output), 0) << ReadFile(output);
  nlohmann::json edited = nlohmann::json::parse(ReadFile(bundle));
  const std::string hostile =
      "\x1b]0;owned\x07\x1b[2J\xc2\x9b"
      "31m";
  edited["installation"]["library_object_not_made_because"] = hostile;
  WriteFile(bundle, edited.dump());

  EXPECT_EQ(RunProgram(inst.program, "--from-bundle \"" + bundle + "\" --section network", output), 2);
  const std::string error = ReadFile(output);
  EXPECT_NE(error.find("\\x1b]0;owned\\x07\\x1b[2J"), std::string::npos) << error;
  EXPECT_EQ(error.find('\x1b'), std::string::npos);
#if !defined(_WIN32)
  // U+009B is a control where texts are UTF-8; in a Windows code page its
  // two bytes are two printable characters ("\xc2\x9b" is "\u00c2\u203a"
  // in code page 1252).
  EXPECT_EQ(error.find("\xc2\x9b"), std::string::npos);
#endif

  EXPECT_EQ(RunProgram(inst.program, "--from-bundle \"" + bundle + "\"", output), 1);  // changed after it was made
  const std::string text = ReadFile(output);
  EXPECT_NE(text.find("changed after it was made"), std::string::npos) << text;
  EXPECT_EQ(text.find('\x1b'), std::string::npos);
  EXPECT_EQ(text.find('\x07'), std::string::npos);

  EXPECT_EQ(RunProgram(inst.program, "--from-bundle \"" + bundle + "\" --json", output), 1);
  const std::string json = ReadFile(output);
  EXPECT_EQ(json.find('\x1b'), std::string::npos);
  EXPECT_EQ(json.find("\xc2\x9b"), std::string::npos);
  const nlohmann::json replay = nlohmann::json::parse(json);
  EXPECT_EQ(replay["replay"]["content_unchanged"], false);
}

// A table alone (the kernel's DMI without its entry point) is read with
// the version support gives, and only then.
TEST(Inspector, ReadsATableAloneWithTheVersionGiven) {
  const std::string table = std::string(QUARN_SMBIOS_TESTDATA) + "/hyperv-vm/DMI";
  if (!fs::exists(fs::path(table))) GTEST_SKIP() << "the SMBIOS corpus is not beside the project: " << table;
  TempDir dir;
  const Installation inst = Install(dir.path());
  const std::string output = dir.path() + "/out.txt";
  EXPECT_EQ(RunProgram(inst.program, "--smbios-dump \"" + table + "\"", output), 2);
  EXPECT_NE(ReadFile(output).find("--smbios-version"), std::string::npos) << ReadFile(output);
  ASSERT_EQ(RunProgram(inst.program, "--smbios-dump \"" + table + "\" --smbios-version 3.0 --json", output), 0)
      << ReadFile(output);
  const nlohmann::json report = nlohmann::json::parse(ReadFile(output));
  EXPECT_EQ(report["hardware"]["smbios_version"], "3.0");
  EXPECT_EQ(report["hardware"]["bios_uuid"], "b26849ef-4fb0-4e03-a9d1-1a165a40c8d7");  // as dmidecode prints it
  EXPECT_EQ(RunProgram(inst.program, "--smbios-version 3.0", output), 2);              // nothing to read it with
}

#if !defined(_WIN32)
// A replay that needs more memory than the process may have ends with a
// message and status 3, not an abort: a bundle of 40 MB of recorded texts
// under a limit of 256 MB of address space.
TEST(Inspector, RunningOutOfMemoryIsAnErrorNotAnAbort) {
#if QUARN_UNDER_SANITIZER
  GTEST_SKIP() << "not with a sanitizer: its shadow memory needs more address space than the limit";
#endif
  TempDir dir;
  const Installation inst = Install(dir.path());
  const std::string bundle = dir.path() + "/machine.json", output = dir.path() + "/out.txt";
  ASSERT_EQ(RunProgram(inst.program, "bundle -o \"" + bundle + "\"", output), 0) << ReadFile(output);
  std::string text = ReadFile(bundle);
  const std::string anchor = "\"undecodable_texts\":{";
  const std::size_t at = text.find(anchor);
  ASSERT_NE(at, std::string::npos);
  std::string inflated;
  char entry[64];
  for (int i = 0; i < 1000000; ++i) {
    std::snprintf(entry, sizeof entry, "\"/servers/service_servers/%09d\":\"ff\",", i);
    inflated += entry;
  }
  if (text[at + anchor.size()] == '}') inflated.pop_back();
  text.insert(at + anchor.size(), inflated);
  WriteFile(bundle, text);

  const std::string command =
      "ulimit -v 262144; '" + inst.program + "' --from-bundle '" + bundle + "' --json > '" + output + "' 2>&1";
  const int status = std::system(("sh -c \"" + command + "\"").c_str());
  ASSERT_TRUE(WIFEXITED(status)) << "ended by a signal: " << ReadFile(output).substr(0, 400);
  EXPECT_EQ(WEXITSTATUS(status), 3) << ReadFile(output).substr(0, 400);
  EXPECT_NE(ReadFile(output).find("out of memory"), std::string::npos) << ReadFile(output).substr(0, 400);
}
#endif

namespace {

// A command the documents show ("$ quarncfg ARGS") and the lines printed
// after it.
struct ShownCommand {
  std::string where, args;
  std::vector<std::string> output;
};

std::vector<ShownCommand> ShownCommands(const std::string& document) {
  std::vector<ShownCommand> shown;
  std::istringstream in(ReadFile(std::string(QUARN_SOURCE_DIR) + "/" + document));
  bool inBlock = false, inCommand = false;
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    if (line.rfind("```", 0) == 0) {
      inBlock = !inBlock;
      inCommand = false;
      continue;
    }
    if (!inBlock) continue;
    if (line.rfind("$ ", 0) == 0) {
      inCommand = line.rfind("$ quarncfg ", 0) == 0;
      if (inCommand) shown.push_back({document + ":" + std::to_string(number), line.substr(11), {}});
    } else if (inCommand) {
      shown.back().output.push_back(line);
    }
  }
  return shown;
}

}  // namespace

// Every check the README and docs/ show on the files the repository ships,
// run from the sources, prints what they show, line for line. (The other
// commands need a machine, a bundle or Wine of their own.)
TEST(Inspector, TheDocumentsChecksPrintWhatTheyShow) {
  TempDir dir;
  const std::string program = quarn_test::BuiltProgram("quarncfg");
  const fs::path before = fs::current_path();
  fs::current_path(QUARN_SOURCE_DIR);
  int run = 0;
  for (const char* document : {"README.md", "docs/check.md", "docs/inspector.md", "docs/bundles.md"})
    for (const ShownCommand& command : ShownCommands(document)) {
      if (command.args.rfind("check ", 0) != 0 || command.args.find("--from-bundle") != std::string::npos) continue;
      const std::string output = dir.path() + "/shown.txt";
      RunProgram(program, command.args, output);
      std::vector<std::string> printed;
      std::istringstream in(ReadFile(output));
      for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        // A relative path as Windows prints it, up to its line number.
        for (std::size_t at = 0; at < line.size() && line[at] != ':'; ++at)
          if (line[at] == '\\') line[at] = '/';
        printed.push_back(line);
      }
      EXPECT_EQ(printed, command.output) << command.where << ": quarncfg " << command.args;
      ++run;
    }
  fs::current_path(before);
  EXPECT_GE(run, 3);
}
