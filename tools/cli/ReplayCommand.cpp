#include <algorithm>
#include <cstdio>

#include "bundle/Bundle.h"
#include "bundle/RecordedFirmware.h"
#include "bundle/Replay.h"
#include "bundle/SmbiosDump.h"
#include "cli/Commands.h"
#include "cli/FileSystem.h"
#include "config/LayoutRules.h"
#include "report/Sections.h"
#include "report/Terminal.h"
#include "report/Utf8Text.h"

namespace quarn_tools {
namespace {

using Json = nlohmann::ordered_json;

// A value of a difference as the text form shows it: its JSON, cut.
std::string Shown(const std::string& json) {
  const std::size_t kMostShown = 200;
  if (json.size() <= kMostShown) return json;
  return json.substr(0, kMostShown) + "... (" + std::to_string(json.size()) + " bytes)";
}

// What a bundle's digest says of its content, for people; "" when it
// matches.
std::string ContentLine(const MachineRecord& record) {
  if (!record.digestRecorded) return "The bundle records no digest of its content (made by an earlier quarncfg)";
  if (record.digestMatches) return std::string();
  return "The bundle was changed after it was made: its content no longer matches the digest recorded then "
         "(SHA-256, which tells accidents and hand edits, not a forger)";
}

// How a replay compares with the report recorded: a top-level member of the
// report, written as JSON text (a difference's values can be large). Returns
// the exit status: 1 when a field differs for no reason known, or the
// bundle was changed after it was made.
int AddComparison(Report& report, const MachineRecord& record, const std::string& bundlePath,
                  const std::vector<ReplayDifference>& differences) {
  std::vector<std::string> lines = {"Replayed from " + bundlePath + ", made " + record.madeAt + " by " + record.madeBy +
                                    (record.redacted ? ", redacted" : "")};
  if (!ContentLine(record).empty()) lines.push_back(ContentLine(record));
  lines.push_back(differences.empty()
                      ? "Every field equals the recorded report's (the library's object and log "
                        "belong to the process that made it)"
                      : std::to_string(differences.size()) + " field(s) differ from the recorded report:");
  bool unexplained = record.digestRecorded && !record.digestMatches;
  std::string listed;
  for (const ReplayDifference& difference : differences) {
    unexplained = unexplained || difference.why.empty();
    listed += std::string(listed.empty() ? "" : ",") + "{\"field\":" + Json(difference.field).dump() +
              ",\"recorded\":" + difference.recorded + ",\"replayed\":" + difference.replayed +
              ",\"why\":" + (difference.why.empty() ? Json() : Json(difference.why)).dump() + "}";
    lines.push_back("  " + difference.field + ": recorded " + Shown(difference.recorded) + ", replayed " +
                    Shown(difference.replayed) + (difference.why.empty() ? ": DIFFERS" : ": " + difference.why));
  }
  Json notCompared = Json::array();
  for (const auto& field : ProcessFields()) notCompared.push_back({{"field", field.first}, {"why", field.second}});
  Json head{{"bundle", JsonTextOf(bundlePath)},
            {"made_by", record.madeBy},
            {"made_at", record.madeAt},
            {"redacted", record.redacted},
            {"content_unchanged", record.digestRecorded ? Json(record.digestMatches) : Json()},
            {"equal", differences.empty()}};
  std::string text = head.dump();
  text.pop_back();
  text += ",\"differences\":[" + listed + "],\"not_compared\":" + notCompared.dump() + "}";
  report.TopLevelText("replay", std::move(text), lines, true);
  return unexplained ? 1 : 0;
}

// The report of the machine recorded, worked out again by the library's
// rules, and how it compares with the one recorded.
int Replay(const MachineRecord& record, const Options& options) {
  const std::string& section = options.section;
  Report report;
  RecordAnswers answers(record);
  AddSections(report, answers, section);
  if (!section.empty() && !Report::SameTitle(section, kDiagnosticsTitle) && !report.HasSection(section)) {
    PrintError("the bundle has no section " + section + ": its library object was not made (" +
               Printable(record.notMadeBecause) + ")");
    return 2;
  }
  LibraryOutput output;
  output.text = answers.Printed();
  AddDiagnostics(report, output, "no: replayed from " + options.fromBundle + " through the library's rules");
  const int status = AddComparison(report, record, options.fromBundle,
                                   CompareReplay(record.report, report.Canonical(section), record.redacted));
  return PrintReport(report, options, section, status);
}

// One line of bundle.txt on a recorded file, and the file written when it
// was read (created anew: the folder was empty).
bool ExtractFile(const NewFolder& dir, const RecordedFile& file, const char* name, std::string& said,
                 std::string& why) {
  said += "  " + std::string(name) + ": " + (file.path.empty() ? std::string("(no path)") : Printable(file.path)) +
          ", " + StatusName(file.status);
  if (file.status != CheckedFile::Status::kRead) {
    said += ": not written\n";
    return true;
  }
  said += ", " + std::to_string(file.content.size()) + " bytes: written as " + name + "\n";
  return dir.WriteNewFile(name, file.content, why);
}

std::string FirmwareLine(const MachineRecord& record, const RecordedTable& table) {
  const FirmwareRecord& firmware = record.firmware;
  std::string line = "  SMBIOS table: ";
  if (!table.found)
    return line + (firmware.firmwareService ? "the firmware table service gave none" : "none found in memory") +
           ": no smbios.bin\n";
  return line + (table.inBlock ? "from the firmware table service" : "from physical memory") + ", SMBIOS " +
         std::to_string(table.major) + "." + std::to_string(table.minor) + ", " + std::to_string(table.length) +
         " bytes: written as smbios.bin (dmidecode --from-dump smbios.bin)\n";
}

// What a redacted bundle says it replaced and kept, a line each.
std::string RedactionLines(const MachineRecord& record) {
  if (!record.redacted) return "Redacted: no\n";
  const nlohmann::json& redaction = record.redaction;
  const auto text = [](const nlohmann::json& value) {
    return value.is_string() ? Printable(value.get<std::string>()) : "";
  };
  std::string lines = "Redacted: yes";
  if (redaction.is_object() && redaction.contains("key")) lines += "; the key " + text(redaction["key"]);
  lines += "\n";
  for (const char* part : {"replaced", "kept"}) {
    if (!redaction.is_object() || !redaction.contains(part) || !redaction[part].is_array()) continue;
    lines += std::string("  ") + part + ":\n";
    for (const auto& kind : redaction[part]) lines += "    " + text(kind) + "\n";
  }
  return lines;
}

// What the bundle recorded, written under their own names into `dir`, with
// bundle.txt saying what was recorded, when, by what and what was redacted.
int Extract(const MachineRecord& record, const Options& options) {
  const std::string& path = options.extractDir;
  NewFolder dir;
  std::string why;
  if (!dir.Make(path, why)) {
    PrintError("--extract " + Printable(path) + ": " + why);
    return 3;
  }
  // Each recorded text made printable as it is put in, its line ends too:
  // a bundle's bytes reach no terminal raw, by cat either, and make no line
  // of their own.
  std::string said = "Bundle " + Printable(options.fromBundle) + "\nMade " + Printable(record.madeAt) + " by " +
                     Printable(record.madeBy) + " (library " + Printable(record.libraryVersion) + ")\n";
  const std::string content = ContentLine(record);
  said += (content.empty() ? "Its content matches the digest recorded when it was made" : content) + "\n";
  said +=
      "Installation: " + Printable(record.executableDir) + " (globalcfg " + Printable(record.globalCfgState) + ")\n";
  said +=
      "Machine: " + (record.machineNameKnown ? Printable(record.machineName) : std::string("(name not known)")) + "\n";
  said += "Recorded:\n";
  bool written = ExtractFile(dir, record.settingsFile, quarn::layout::kSettingsFileName, said, why) &&
                 ExtractFile(dir, record.overrideFile, quarn::layout::kOverrideFileName, said, why) &&
                 ExtractFile(dir, record.updaterVersionRecord, quarn::layout::kUpdateVersionFileName, said, why);
  const RecordedTable table = FindRecordedTable(record.firmware);
  said += FirmwareLine(record, table);
  std::string dump, error;
  if (written && table.found && DmidecodeDumpOf(record.firmware, dump, error))
    written = dir.WriteNewFile("smbios.bin", dump, why);
  said += RedactionLines(record);
  if (!written || !dir.WriteNewFile("bundle.txt", said, why)) {
    PrintError("--extract " + Printable(path) + ": a file cannot be written there: " + why);
    return 3;
  }
  std::fputs(said.c_str(), stdout);
  return Finished(0);
}

}  // namespace

int ReplayCommand(const Options& options) {
  MachineRecord record;
  std::string error;
  if (!ReadBundleFile(options.fromBundle, record, error)) {
    PrintError("--from-bundle " + Printable(options.fromBundle) + ": " + Printable(error));
    return 2;
  }
  return options.extractDir.empty() ? Replay(record, options) : Extract(record, options);
}

}  // namespace quarn_tools
