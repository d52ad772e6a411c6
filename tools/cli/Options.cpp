#include "cli/Options.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <iostream>
#include <sstream>

#include "config/QuarnConfigVersion.h"
#include "lint/Findings.h"
#include "report/Sections.h"
#include "report/Terminal.h"

namespace quarn_tools {
namespace {

const char kDescription[] =
    "Prints what the configuration library reads for the installation this program lies in (or the one "
    "--installation names): its places, settings, servers, network identity, host, hardware and versions. Loading "
    "the library creates \"globalcfg\" two levels above this program when it is missing (see --no-create).";

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
  app.set_version_flag("--version", std::string("quarncfg ") + QUARNCONFIG_VERSION_TEXT);
}

CLI::App* AddCheck(CLI::App& app, Options& options) {
  CLI::App* check = app.add_subcommand(
      "check",
      "Checks cli_config.ini and domaincfg.ini as the library reads them: each key's text, the value used and why; "
      "keys it does not know or never sees; lines it passes over; values and servers that cannot be what was meant. "
      "Findings are printed as PATH:LINE: SEVERITY: MESSAGE [CODE]. Exit status 0: no finding of the severity "
      "asked for (default warning) or above; 1: some; 2: usage error.");
  check->add_option("settings_file", options.settingsPath,
                    "The settings file to check (default: this installation's, with its domaincfg.ini)");
  check->add_option("--override", options.overridePath, "The domain override file to check with it");
  check->add_flag("--json", options.json, "Print JSON instead of text");
  check->add_option("--installation", options.installation, "Check the settings files of the installation of DIR")
      ->type_name("DIR");
  check->add_flag("--quiet", options.quiet, "Print the findings alone, and nothing for files without any");
  check
      ->add_option("--severity", options.severity,
                   "The lowest severity printed and counted for the exit status (default warning)")
      ->check(CLI::IsMember({"error", "warning", "note"}));
  check->add_option("--disable", options.disabled, "Leave out the findings of these codes (CODE[,CODE...])")
      ->delimiter(',')
      ->check(CLI::IsMember(std::vector<std::string>(FindingCodes().begin(), FindingCodes().end())))
      ->type_name("CODE");
  check->add_option("--from-bundle", options.fromBundle, "Check the settings files a bundle recorded")
      ->type_name("FILE");
  return check;
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
      "Replace whatever names the machine, its owner, its users or the customer (machine name, addresses, the "
      "SMBIOS serial numbers and UUID, folder names, server names, the settings files' free texts) with keyed "
      "pseudonyms that keep what the library's rules see in them; the bundle's \"redaction\" member lists what "
      "was replaced and kept");
  bundle
      ->add_option("--redact-key", options.redactKey,
                   "The key of the pseudonyms (a file of 16 to 4096 bytes): bundles made with the same key give the "
                   "same value the same pseudonym, so that machines sharing one can be found. Without it, a key made "
                   "for this bundle alone")
      ->type_name("FILE")
      ->needs(redact);
  return bundle;
}

}  // namespace

int ParseOptions(int argc, char** argv, Options& options) {
  CLI::App app(kDescription, "quarncfg");
  AddReportOptions(app, options);
  CLI::App* check = AddCheck(app, options);
  CLI::App* bundle = AddBundle(app, options);
  try {
    app.parse(argc, argv);
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
  else if (check->parsed())
    options.mode = Options::Mode::kCheck;
  else if (!options.fromBundle.empty())
    options.mode = Options::Mode::kReplay;
  else if (!options.smbiosDump.empty())
    options.mode = Options::Mode::kSmbiosDump;
  return -1;
}

}  // namespace quarn_tools
