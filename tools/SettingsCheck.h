// quarncfg check: "cli_config.ini" and "domaincfg.ini" as the library reads
// them. Values come from the library's own settings rules; the line scan
// only says where in the file each thing is, and what the reader passes
// over; the findings say what a person most likely meant otherwise.
#ifndef QUARN_TOOLS_SETTINGSCHECK_H
#define QUARN_TOOLS_SETTINGSCHECK_H

#include <set>
#include <string>
#include <vector>

#include "Report.h"
#include "config/SettingsRules.h"

namespace quarn_tools {

// A file as the library's bounded read of a regular file gave it.
struct CheckedFile {
  std::string path;   // as given, or as the library derives it
  std::string label;  // "cli_config.ini" or "domaincfg.ini"
  enum class Status { kRead, kMissing, kNotRegular, kTooLarge, kUnreadable, kNotGiven } status = Status::kNotGiven;
  std::string content;
};
// At most `limit` bytes: the settings files' bound unless another is given.
CheckedFile ReadCheckedFile(const std::string& path, const std::string& label,
                            std::size_t limit = quarn::settings::kMostFileBytes);
const char* StatusName(CheckedFile::Status status);
// The status named `name` (as StatusName gives it); false for another text.
bool StatusFromName(const std::string& name, CheckedFile::Status& status);

enum class Severity { kError, kWarning, kNote };  // most severe first
const char* SeverityName(Severity severity);
// "error", "warning" or "note"; false for another text.
bool SeverityFromName(const std::string& name, Severity& severity);

struct Finding {
  Severity severity;
  std::string code;  // stable: "unknown_key", "not_a_number", ...
  std::string path;  // the file's path (as CheckedFile::path)
  int line;          // 1-based line (counted by LF), 0 for the whole file
  std::string key;
  std::string message;
  int more = 0;  // findings of this code in this file that were not listed, counted here
};

// Every code a finding may have.
const std::set<std::string>& FindingCodes();

// One key of the settings file: what is written and what the library uses.
struct KeyVerdict {
  quarn::settings::KeyId id;
  bool present = false;
  std::string raw;
  quarn::settings::Reading reading;  // the value used, typed
  std::string valueText;             // the same as text
  bool isText = false;               // a text or list key (else a number or switch)
  std::string origin;                // the settings rules' origin name
  std::string note;                  // why a default was used, or "" when the file's value is
};

// The value used, typed as the report and the check print it: a number, a
// switch, a text, or a list's non-empty items.
nlohmann::ordered_json TypedValue(const quarn::settings::Reading& reading);

struct CheckResult {
  std::vector<CheckedFile> files;                          // without their content
  std::vector<KeyVerdict> keys;                            // in KeyId order
  std::vector<Finding> findings;                           // by file (the settings file first), then line
  std::vector<std::string> serviceServers, updateServers;  // the lists the read makes
  // Every finding of that severity, listed or not.
  int Count(Severity severity) const;
  // 1 when a finding of `lowest` or a more severe one is left, else 0.
  int ExitStatus(Severity lowest = Severity::kWarning) const;
  // Keeps the findings of `lowest` and more severe whose code is not
  // `disabled`.
  void Keep(Severity lowest, const std::set<std::string>& disabled);
};

CheckResult CheckSettings(const CheckedFile& settings, const CheckedFile& overrides);

// The known key nearest to `name` by edit distance, or "" when none is near.
std::string NearestKnownKey(const std::string& name, const std::vector<std::string>& known);

}  // namespace quarn_tools

#endif
