// quarncfg --from-bundle: a recorded machine inspected offline. The
// report's sections are computed again from what the bundle holds, through
// the library's own rules (layout, settings, identity walk, Windows
// description, SMBIOS acquisition, walk, UUID rule and checksum), never
// copied from the report recorded beside them; the two are then compared
// field by field.
#ifndef QUARN_TOOLS_REPLAY_H
#define QUARN_TOOLS_REPLAY_H

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "MachineRecord.h"
#include "Sections.h"
#include "StylePaths.h"

namespace quarn_tools {

// The inspection of `record`: its places by its own system's path rules,
// its files as recorded, its machine answered from the record.
Inspection InspectionOfRecord(const MachineRecord& record);

struct ReplayDifference {
  std::string field;  // a JSON pointer: "/hardware/table_checksum"
  nlohmann::json recorded, replayed;
  std::string why;  // what explains it; "" when nothing does
};

// The fields that belong to the process that prints the report, not to the
// machine, with why: not compared.
const std::vector<std::pair<std::string, std::string>>& ProcessFields();

// The fields of the two reports that differ, but for ProcessFields. Only
// the sections `replayed` holds are compared.
std::vector<ReplayDifference> CompareReplay(const nlohmann::json& recorded, const nlohmann::json& replayed,
                                            bool redacted);

}  // namespace quarn_tools

#endif
