#include "lint/CheckedFile.h"

#include "bundle/InstallationFiles.h"

namespace quarn_tools {

namespace {

// By Status: its name in the reports, and why a file was not read, in words.
const struct {
  const char* name;
  const char* words;
} kStatuses[] = {
    {"read", "read"},
    {"missing", "no such file"},
    {"not_a_regular_file", "not a file"},
    {"too_large", "larger than the library reads"},
    {"unreadable", "it cannot be opened or read: no permission, or a read error"},
    {"not_given", "not given"},
};

}  // namespace

const char* StatusName(CheckedFile::Status status) { return kStatuses[static_cast<int>(status)].name; }

bool StatusFromName(const std::string& name, CheckedFile::Status& status) {
  for (std::size_t i = 0; i < sizeof kStatuses / sizeof kStatuses[0]; ++i)
    if (name == kStatuses[i].name) {
      status = static_cast<CheckedFile::Status>(i);
      return true;
    }
  return false;
}

std::string UnreadReason(const CheckedFile& file) {
  if (file.status == CheckedFile::Status::kNotRegular) return "it is " + FileKind(file.path) + ", not a file";
  return kStatuses[static_cast<int>(file.status)].words;
}

quarn::settings::SettingsReading ReadSettingsFiles(const CheckedFile& settings, const CheckedFile& overrides) {
  const bool settingsRead = settings.status == CheckedFile::Status::kRead;
  const bool overrideRead = overrides.status == CheckedFile::Status::kRead;
  return quarn::settings::ReadSettings(settingsRead ? &settings.content : nullptr,
                                       overrideRead ? &overrides.content : nullptr, quarn::settings::DefaultSettings(),
                                       true);
}

}  // namespace quarn_tools
