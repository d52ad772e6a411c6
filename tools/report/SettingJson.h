// A setting's value as the report, the check and the replay write it in
// JSON: texts as texts, integers as integers, the CPU limit as the double
// the library keeps, switches as booleans, lists as arrays of their items.
#ifndef QUARN_TOOLS_REPORT_SETTINGJSON_H
#define QUARN_TOOLS_REPORT_SETTINGJSON_H

#include <nlohmann/json.hpp>

#include "config/SettingsRules.h"

namespace quarn_tools {

nlohmann::ordered_json SettingJson(const quarn::settings::SettingsRecord& record,
                                   const quarn::settings::SettingRow& row);

}  // namespace quarn_tools

#endif
