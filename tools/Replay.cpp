#include "Replay.h"

#include "InstallationFiles.h"

namespace quarn_tools {
namespace {

using Json = nlohmann::json;

CheckedFile Checked(const RecordedFile& file, const char* label) {
  CheckedFile checked;
  checked.path = file.path;
  checked.label = label;
  checked.status = file.status;
  checked.content = file.content;
  return checked;
}

std::string PointerStep(const std::string& key) {
  std::string step;
  for (char c : key) step += c == '~' ? std::string("~0") : c == '/' ? std::string("~1") : std::string(1, c);
  return step;
}

}  // namespace

Inspection InspectionOfRecord(const MachineRecord& record) {
  Inspection inspection;
  inspection.record = &record;
  inspection.fromRules = true;
  inspection.resolveServers = false;
  inspection.executableDir = record.executableDir;
  const StylePaths paths(record.pathStyle);
  inspection.places = quarn::layout::DerivePlaces(record.executableDir, paths);
  inspection.files.settings = Checked(record.settingsFile, "cli_config.ini");
  inspection.files.overrides = Checked(record.overrideFile, "domaincfg.ini");
  inspection.files.updaterRecord = Checked(record.updaterVersionRecord, "cur_version.txt");
  inspection.files.updaterDirExists = record.updaterDirExists;
  inspection.files.updaterExecutableSize = record.updaterExecutableSize;
  inspection.settings = CheckSettings(inspection.files.settings, inspection.files.overrides);
  GlobalCfgStateFromName(record.globalCfgState, inspection.globalCfgState);
  inspection.notMadeBecause = record.notMadeBecause;
  return inspection;
}

const std::vector<std::pair<std::string, std::string>>& ProcessFields() {
  static const std::vector<std::pair<std::string, std::string>> fields = {
      {"/diagnostics/library_object_made", "the replay makes no library object: it runs the library's rules"},
      {"/diagnostics/library_log", "the log lines of the process that made the bundle are its own"},
  };
  return fields;
}

std::vector<ReplayDifference> CompareReplay(const Json& recorded, const Json& replayed, bool redacted) {
  std::vector<ReplayDifference> differences;
  const auto isProcessField = [](const std::string& field) {
    for (const auto& process : ProcessFields())
      if (process.first == field) return true;
    return false;
  };
  const auto compare = [&](const std::string& field, const Json& was, const Json& is) {
    if (was == is || isProcessField(field)) return;
    ReplayDifference difference{field, was, is, ""};
    if (redacted && field == "/hardware/table_checksum")
      difference.why = "the bundle is redacted: the checksum is of the table with its UUID replaced, not the machine's";
    differences.push_back(std::move(difference));
  };
  static const Json kAbsent = "(absent)";
  for (const auto& item : replayed.items()) {
    const std::string top = "/" + PointerStep(item.key());
    const auto was = recorded.find(item.key());
    if (was == recorded.end()) {
      compare(top, kAbsent, item.value());
      continue;
    }
    if (!item.value().is_object() || !was->is_object() || item.key() == "undecodable_texts") {
      compare(top, *was, item.value());
      continue;
    }
    for (const auto& field : item.value().items()) {
      const auto old = was->find(field.key());
      compare(top + "/" + PointerStep(field.key()), old == was->end() ? kAbsent : *old, field.value());
    }
    for (const auto& field : was->items())
      if (!item.value().contains(field.key())) compare(top + "/" + PointerStep(field.key()), field.value(), kAbsent);
  }
  return differences;
}

}  // namespace quarn_tools
