// The inspector's names for the settings: the report and quarncfg check
// call each setting the same (its JSON key and its label), with the key of
// the settings file beside it.
#ifndef QUARN_TOOLS_SETTINGNAMES_H
#define QUARN_TOOLS_SETTINGNAMES_H

#include "config/SettingsRules.h"

namespace quarn_tools {

struct SettingName {
  const char* name;   // "log_level": the JSON key, stable
  const char* label;  // "Log level": for people
};
const SettingName& NameOf(quarn::settings::KeyId id);

}  // namespace quarn_tools

#endif
