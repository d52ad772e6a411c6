// quarncfg check: "cli_config.ini" and "domaincfg.ini" as the library reads
// them. Values come from the library's own settings rules; the line scan
// below only says where in the file each thing is, and what the reader
// passes over.
#ifndef QUARN_TOOLS_SETTINGSCHECK_H
#define QUARN_TOOLS_SETTINGSCHECK_H

#include <string>
#include <vector>

#include "Report.h"

namespace quarn_tools {

// A file as the library's bounded read of a regular file gave it.
struct CheckedFile {
  std::string path;
  std::string label;  // "cli_config.ini" or "domaincfg.ini"
  enum class Status { kRead, kMissing, kNotRegular, kTooLarge, kUnreadable, kNotGiven } status = Status::kNotGiven;
  std::string content;
};
CheckedFile ReadCheckedFile(const std::string& path, const std::string& label);
const char* StatusName(CheckedFile::Status status);

enum class Severity { kError, kWarning, kNote };

struct Finding {
  Severity severity;
  std::string code;  // stable: "unknown_key", "not_a_number", ...
  std::string file;  // the file's label
  int line;          // 1-based line (counted by LF), 0 for the whole file
  std::string key;
  std::string message;
};

// One key of the settings file: what is written and what the library uses.
struct KeyVerdict {
  std::string name;
  bool present = false;
  std::string raw;
  std::string value;    // the value used, as text
  bool isText = false;  // a text or list key (else a number or switch)
  std::string origin;   // the settings rules' origin name
  std::string note;     // why a default was used, or "" when the file's value is
};

struct CheckResult {
  std::vector<CheckedFile> files;
  std::vector<KeyVerdict> keys;
  std::vector<Finding> findings;
  std::vector<std::string> serviceServers, updateServers;  // the lists the read makes
  // Findings counted but not listed, by severity (kError, kWarning, kNote):
  // at most a hundred of one code are listed per file, and one more says how
  // many were not.
  int unlisted[3] = {0, 0, 0};
  // Every finding of that severity, listed or not.
  int Count(Severity severity) const;
  // 0 when there is no error and no warning, else 1.
  int ExitStatus() const;
};

CheckResult CheckSettings(const CheckedFile& settings, const CheckedFile& overrides);

// The result as the report's sections "Files", "Keys", "Lists" and
// "Findings"; its lists move into the report.
void AddCheckSections(Report& report, CheckResult result);

// The known key nearest to `name` by edit distance, or "" when none is near.
std::string NearestKnownKey(const std::string& name, const std::vector<std::string>& known);

}  // namespace quarn_tools

#endif
