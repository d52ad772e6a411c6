#include "lint/CheckedFile.h"

namespace quarn_tools {

const char* StatusName(CheckedFile::Status status) {
  switch (status) {
    case CheckedFile::Status::kRead:
      return "read";
    case CheckedFile::Status::kMissing:
      return "missing";
    case CheckedFile::Status::kNotRegular:
      return "not_a_regular_file";
    case CheckedFile::Status::kTooLarge:
      return "too_large";
    case CheckedFile::Status::kUnreadable:
      return "unreadable";
    case CheckedFile::Status::kNotGiven:
      return "not_given";
  }
  return "unreadable";
}

bool StatusFromName(const std::string& name, CheckedFile::Status& status) {
  using Status = CheckedFile::Status;
  for (Status candidate : {Status::kRead, Status::kMissing, Status::kNotRegular, Status::kTooLarge, Status::kUnreadable,
                           Status::kNotGiven})
    if (name == StatusName(candidate)) {
      status = candidate;
      return true;
    }
  return false;
}

quarn::settings::SettingsReading ReadSettingsFiles(const CheckedFile& settings, const CheckedFile& overrides) {
  const bool settingsRead = settings.status == CheckedFile::Status::kRead;
  const bool overrideRead = overrides.status == CheckedFile::Status::kRead;
  return quarn::settings::ReadSettings(settingsRead ? &settings.content : nullptr,
                                       overrideRead ? &overrides.content : nullptr, quarn::settings::DefaultSettings(),
                                       true);
}

}  // namespace quarn_tools
