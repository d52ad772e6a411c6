// A settings file as the check takes it: its path, what became of reading
// it (the library's bounded read of a regular file), and its bytes.
#ifndef QUARN_TOOLS_LINT_CHECKEDFILE_H
#define QUARN_TOOLS_LINT_CHECKEDFILE_H

#include <string>

#include "config/SettingsRules.h"

namespace quarn_tools {

struct CheckedFile {
  std::string path;   // as given, or as the library derives it
  std::string label;  // the file's name in the layout: "cli_config.ini", "domaincfg.ini"
  // In the order of the names in CheckedFile.cpp.
  enum class Status { kRead, kMissing, kNotRegular, kTooLarge, kUnreadable, kNotGiven } status = Status::kNotGiven;
  std::string content;
  bool optional = false;  // an override file the layout names, which may well be missing
};

// "read", "missing", "not_a_regular_file", "too_large", "unreadable",
// "not_given"; and back (false for another text).
const char* StatusName(CheckedFile::Status status);
bool StatusFromName(const std::string& name, CheckedFile::Status& status);
// Why a file was not read, in words: "no such file", "it is a directory,
// not a file", ...
std::string UnreadReason(const CheckedFile& file);

// The two settings files as the first settings read of a process takes
// them: the text of a file that was read, none for another.
quarn::settings::SettingsReading ReadSettingsFiles(const CheckedFile& settings, const CheckedFile& overrides);

}  // namespace quarn_tools

#endif
