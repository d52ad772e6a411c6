#include "cli/Options.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <iostream>
#include <sstream>

#include "config/LayoutRules.h"
#include "config/QuarnConfigVersion.h"
#include "config/SettingsRules.h"
#include "lint/Findings.h"
#include "report/Sections.h"
#include "report/Terminal.h"

namespace quarn_tools {
namespace {

const char kDescription[] =
    "Prints what the configuration library reads for the installation this program lies in (or the one "
    "--installation names): its places, settings, servers, network identity, host, hardware and versions. Loading "
    "the library creates \"globalcfg\" two levels above this program when it is missing (see --no-create).";

const char kExitStatuses[] =
    "Exit status: 0 done (check: no finding of the severity asked for); 1 check: findings, replay: a field differs "
    "for no known reason or the bundle was changed, fleet: machines share an identity, report: the section asked "
    "for needs the library's object, which was not made; 2 usage error or an input that cannot be read; 3 a "
    "failure (out of memory, a file that cannot be written); 4 the report could not be written out.";

void AddReportOptions(CLI::App& app, Options& options) {
  app.add_option("--section", options.section, "Print only this section")
      ->check(CLI::IsMember(SectionTitles(), CLI::ignore_case));
  app.add_flag("--json", options.json, "Print JSON with stable key names instead of text");
  app.add_flag("--no-resolve", options.noResolve, "Do not look up the servers' names");
  app.add_option("--installation", options.installation,
                 "Inspect the installation of DIR instead of this program's: DIR is its executable directory (the one "
                 "holding \"conf\"), or its root when exactly one directory two levels below holds \"conf\". Nothing "
                 "is created, there or beside this program.")
      ->type_name("DIR");
  app.add_flag("--no-create", options.noCreate,
               "The library creates \"globalcfg\" two levels above the program that loads it when it is missing: "
               "where it would, do not load it; show the installation from its files and say what would be created");
  CLI::Option* fromBundle =
      app.add_option("--from-bundle", options.fromBundle,
                     "Print the report of the machine a bundle (quarncfg bundle) recorded, worked out again through "
                     "the library's rules, and how it compares with the report recorded there (exit status 1 when "
                     "a field differs for no known reason)")
          ->type_name("FILE");
  app.add_option("--extract", options.extractDir,
                 "With --from-bundle: write what the bundle recorded into DIR (created): cli_config.ini, "
                 "domaincfg.ini, cur_version.txt as recorded, smbios.bin for dmidecode --from-dump, and bundle.txt "
                 "saying what was recorded, when, by what, and what was redacted")
      ->type_name("DIR")
      ->needs(fromBundle);
  CLI::Option* smbiosDump =
      app.add_option("--smbios-dump", options.smbiosDump,
                     "Print the Hardware section of an SMBIOS dump: a dmidecode --dump-bin file, the kernel's "
                     "smbios_entry_point and DMI (their directory), or a Windows RSMB block")
          ->type_name("FILE")
          ->excludes(fromBundle);
  app.add_option_function<std::string>(
         "--smbios-version",
         [&options](const std::string& text) {
           if (!ParseTableVersion(text, options.tableVersion))
             throw CLI::ValidationError("--smbios-version", "not a version such as 3.0: " + text);
         },
         "With --smbios-dump of a table alone (the kernel's DMI without smbios_entry_point): the SMBIOS version "
         "to read it as, which the agent's UUID rule needs (dmidecode prints it: \"SMBIOS 3.0 present\")")
      ->type_name("X.Y")
      ->needs(smbiosDump);
  app.set_version_flag("-V,--version", std::string("quarncfg ") + QUARNCONFIG_VERSION_TEXT);
}

// The codes, by the rows: what --help of check lists.
std::string CheckCodesText() {
  std::string text = "Codes (-e), by severity (*: milder in the case said):";
  for (Severity severity : {Severity::kError, Severity::kWarning, Severity::kNote})
    for (std::size_t i = 0; i < kCheckCount; ++i) {
      const CheckRow& row = CheckAt(i);
      if (row.severity != severity) continue;
      std::string name = std::string(SeverityName(row.severity)) + (row.milder != row.severity ? "*" : "");
      name.resize(9, ' ');
      text += "\n  " + name + row.code + ": " + row.description;
    }
  return text;
}

CLI::App* AddCheck(CLI::App& app, Options& options, std::vector<std::string>& files,
                   std::vector<std::string>& overrides) {
  CLI::App* check = app.add_subcommand(
      "check",
      "Checks cli_config.ini and domaincfg.ini as the library reads them: keys it does not know or never sees, "
      "lines it passes over, values and servers that cannot be what was meant. A file named domaincfg.ini, or "
      "given with --override, is an override file; another a settings file. Prints one line a finding, "
      "PATH:LINE:COLUMN: SEVERITY: MESSAGE [CODE], and one summary line when anything was found. Exit status 0: "
      "no finding of the severity asked for (default warning) or above; 1: some; 2: usage error or an input that "
      "cannot be read.");
  check->footer(CheckCodesText());
  check
      ->add_option("files", files,
                   "The settings files to check, each with its own findings (\"-\": standard input, named <stdin>); "
                   "default: this installation's, with its domaincfg.ini")
      ->type_name("FILE");
  check
      ->add_option("--override", overrides,
                   "An override file (domaincfg.ini) of any name, checked with the settings file before it, or alone")
      ->type_name("FILE")
      ->allow_extra_args(false);
  check->add_flag("--json", options.json,
                  "Print JSON instead of text: every check with its files, settings, lists and findings");
  check->add_option("--installation", options.installation, "Check the settings files of the installation of DIR")
      ->type_name("DIR");
  check->add_flag("--show-settings", options.showSettings,
                  "Print the files, each setting as read (its text, the value used and why) and the lists before "
                  "the findings");
  check->add_flag("-q,--quiet", options.quiet, "Print the findings alone: nothing for files without any");
  check
      ->add_option("-S,--severity", options.severity,
                   "The lowest severity printed and counted for the exit status (default warning)")
      ->check(CLI::IsMember({"error", "warning", "note"}));
  check->add_option("-e,--disable", options.disabled, "Leave out the findings of these codes (CODE[,CODE...])")
      ->allow_extra_args(false)
      ->delimiter(',')
      ->check(CLI::Validator(
          [](std::string& code) {
            Check check;
            return FindCheck(code, check) ? std::string() : "no such code: " + code + " (check --help lists them)";
          },
          ""))
      ->type_name("CODE");
  check->add_option("--from-bundle", options.fromBundle, "Check the settings files a bundle recorded")
      ->type_name("FILE");
  return check;
}

// Whether a file is an override file by its name, in any letter case.
bool NamedAsOverride(const std::string& path) {
  const std::string::size_type slash = path.find_last_of("/\\");
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  return quarn::settings::SameKeyName(name.c_str(), quarn::layout::kOverrideFileName);
}

// The files named, each a settings file or an override file by its name, or
// an override file by --override; in the order of the command line, an
// override file goes with the settings file before it when that has none
// (a settings file and an override file alone go together, in any order),
// and is checked alone otherwise.
void PairCheckedFiles(const CLI::App& check, const std::vector<std::string>& files,
                      const std::vector<std::string>& overrides, std::vector<CheckedPair>& pairs) {
  std::vector<std::pair<std::string, bool>> given;  // path, an override file
  std::size_t nextFile = 0, nextOverride = 0;
  for (const CLI::Option* option : check.parse_order()) {
    if (option->get_name() == "files" && nextFile < files.size()) {
      given.emplace_back(files[nextFile], NamedAsOverride(files[nextFile]));
      ++nextFile;
    } else if (option->get_name() == "--override" && nextOverride < overrides.size()) {
      given.emplace_back(overrides[nextOverride++], true);
    }
  }
  if (given.size() == 2 && given[0].second && !given[1].second) std::swap(given[0], given[1]);
  for (const auto& file : given) {
    if (!file.second)
      pairs.push_back({file.first, std::string()});
    else if (!pairs.empty() && !pairs.back().settings.empty() && pairs.back().overrides.empty())
      pairs.back().overrides = file.first;
    else
      pairs.push_back({std::string(), file.first});
  }
}

CLI::App* AddBundle(CLI::App& app, Options& options) {
  CLI::App* bundle = app.add_subcommand(
      "bundle",
      "Writes one file with every input the library's answers come from on this machine, as delivered: the "
      "settings files, the updater's record, the SMBIOS entry point and table, the Windows version values, the "
      "machine name, the local addresses, the hypervisor's CPUID leaves, and the report. Nothing is created or "
      "changed on the machine (as --no-create). quarncfg --from-bundle replays it anywhere.");
  bundle->add_option("-o,--output", options.bundlePath, "The bundle file to write")->required()->type_name("FILE");
  bundle->add_option("--installation", options.installation, "Record the installation of DIR")->type_name("DIR");
  CLI::Option* redact = bundle->add_flag(
      "--redact", options.redact,
      "Keep only what an allow-list names (structure headers, makers' and models' names, the agent's folder "
      "names, key names, whole numbers and switches, default servers) and replace the rest (machine name, "
      "addresses, the SMBIOS table's other strings and bytes, folders, servers, every other text of the settings "
      "files) with keyed pseudonyms that keep what the library's rules see in them, or zeros; the bundle's "
      "\"redaction\" member counts what was replaced and names what was kept");
  bundle
      ->add_option("--redact-key", options.redactKey,
                   "The key of the pseudonyms (a file of 16 to 4096 bytes): bundles made with the same key give the "
                   "same value the same pseudonym, so that machines sharing one can be found. Without it, a key made "
                   "for this bundle alone")
      ->type_name("FILE")
      ->needs(redact);
  bundle
      ->add_flag("--show-kept", options.showKept,
                 "Print every value that leaves the machine unchanged, field by field, with the allow-list's reason")
      ->needs(redact);
  return bundle;
}

}  // namespace

CLI::App* AddFleet(CLI::App& app, Options& options) {
  CLI::App* fleet = app.add_subcommand(
      "fleet",
      "Reads every bundle under the paths given (files, or folders searched for *.json bundles), replays each "
      "through the library's rules, and says which machines the server will take for one: machines sharing a BIOS "
      "UUID, a table checksum or an identity address; the same machine bundled more than once; settings and "
      "server lists that differ from most of the fleet; bundles that could not be read or do not replay as "
      "recorded. Exit status 1 when machines share an identity.");
  fleet->add_option("paths", options.fleetPaths, "Bundles, or folders of bundles")->required()->type_name("PATH");
  fleet->add_flag("--json", options.json, "Print JSON instead of text");
  return fleet;
}

int ParseOptions(int argc, char** argv, Options& options) {
  CLI::App app(kDescription, "quarncfg");
  AddReportOptions(app, options);
  std::vector<std::string> checkFiles, checkOverrides;
  CLI::App* check = AddCheck(app, options, checkFiles, checkOverrides);
  CLI::App* bundle = AddBundle(app, options);
  CLI::App* fleet = AddFleet(app, options);
  // Set after the commands are made: a command made later takes its
  // parent's footer, and would say the statuses twice.
  app.footer(kExitStatuses);
  for (CLI::App* command : {check, bundle, fleet})
    command->footer(command->get_footer().empty() ? kExitStatuses : command->get_footer() + "\n\n" + kExitStatuses);
  // "quarncfg help" as git and go take it: the program's help, not its own.
  app.add_subcommand("help", "Print this help")->callback([&app] {
    std::cout << app.get_formatter()->make_help(&app, "quarncfg", CLI::AppFormatMode::Normal);
    throw CLI::Success();
  });
  try {
    app.parse(argc, argv);
    if (check->parsed()) PairCheckedFiles(*check, checkFiles, checkOverrides, options.checkFiles);
    if (check->parsed() && !options.checkFiles.empty() &&
        (!options.installation.empty() || !options.fromBundle.empty()))
      throw CLI::ValidationError("files", "files to check are named, or --installation or --from-bundle, not both");
  } catch (const CLI::ParseError& error) {
    // Help and the version go to standard output as CLI11 writes them; an
    // error names what was given, which may hold any bytes.
    std::ostringstream errors;
    const int status = app.exit(error, std::cout, errors);
    std::string text;
    AppendPrintable(text, errors.str(), true);
    std::fputs(text.c_str(), stderr);
    return status == 0 ? 0 : 2;
  }
  if (bundle->parsed())
    options.mode = Options::Mode::kBundle;
  else if (fleet->parsed())
    options.mode = Options::Mode::kFleet;
  else if (check->parsed())
    options.mode = Options::Mode::kCheck;
  else if (!options.fromBundle.empty())
    options.mode = Options::Mode::kReplay;
  else if (!options.smbiosDump.empty())
    options.mode = Options::Mode::kSmbiosDump;
  return -1;
}

}  // namespace quarn_tools
