#include "report/SettingJson.h"

namespace quarn_tools {

nlohmann::ordered_json SettingJson(const quarn::settings::SettingsRecord& record,
                                   const quarn::settings::SettingRow& row) {
  if (row.text) return record.*row.text;
  if (row.number) return record.*row.number;
  if (row.wide) return record.*row.wide;
  if (row.real) return record.*row.real;
  if (row.flag) return record.*row.flag;
  nlohmann::ordered_json items = nlohmann::ordered_json::array();
  for (const std::string& item : record.*row.list) items.push_back(item);
  return items;
}

}  // namespace quarn_tools
