// quarncfg check: "cli_config.ini" and "domaincfg.ini" as the library reads
// them. Values come from the library's own settings read; the line scan
// only says where in the file each thing is, and what the reader passes
// over; the findings say what a person most likely meant otherwise.
#ifndef QUARN_TOOLS_LINT_SETTINGSCHECK_H
#define QUARN_TOOLS_LINT_SETTINGSCHECK_H

#include <string>
#include <vector>

#include "config/SettingsRules.h"
#include "lint/CheckedFile.h"
#include "lint/Findings.h"

namespace quarn_tools {

struct CheckResult {
  std::vector<CheckedFile> files;            // the settings file, then the override file; without their content
  quarn::settings::SettingsReading reading;  // what the library reads from them, as the first read of a process
  std::vector<Finding> findings;             // by file (the settings file first), then line
  bool unreadable = false;                   // a file given could not be read
};

CheckResult CheckSettings(const CheckedFile& settings, const CheckedFile& overrides);

// The value a setting holds, as text ("true", "25", the text itself).
std::string SettingValueText(const quarn::settings::SettingsReading& reading, const quarn::settings::SettingRow& row);
// Why a setting holds its default, in words; "" when the file's value is used.
std::string WhyDefault(const quarn::settings::SettingsReading& reading, const quarn::settings::SettingRow& row);

}  // namespace quarn_tools

#endif
