#include <cstdio>

#include "bundle/Bundle.h"
#include "bundle/Crypto.h"
#include "bundle/InstallationFiles.h"
#include "bundle/MachineCollect.h"
#include "bundle/Redact.h"
#include "cli/Commands.h"
#include "cli/FileSystem.h"
#include "report/Terminal.h"
#include "util/ToolUtil.h"

namespace quarn_tools {
namespace {

// The key of a redaction: the file's bytes (--redact-key), or one made for
// this bundle alone. False, with a message, for none.
bool RedactionKey(const std::string& keyPath, std::string& key) {
  if (keyPath.empty()) {
    if (RandomBytes(32, key)) return true;
    PrintError("the system gives no random bytes for a redaction key: give one with --redact-key");
    return false;
  }
  const CheckedFile file = ReadCheckedFile(keyPath, "key", 4096);
  if (file.status == CheckedFile::Status::kRead && file.content.size() >= kShortestRedactionKey) {
    key = file.content;
    return true;
  }
  PrintError("--redact-key " + Printable(keyPath) + ": " +
             (file.status == CheckedFile::Status::kRead
                  ? "a key of at least " + std::to_string(kShortestRedactionKey) + " bytes is needed"
                  : std::string(StatusName(file.status)) + " (a regular file of at most 4096 bytes is needed)"));
  return false;
}

}  // namespace

int BundleCommand(const std::string& executableDir, const Options& options) {
  const std::string& path = options.bundlePath;
  std::string key;
  if (options.redact && !RedactionKey(options.redactKey, key)) return 2;
  InspectionPlan plan = PlanInspection(executableDir, !options.installation.empty(), true, false);
  Report report;
  if (!Inspect(report, plan, std::string())) return 3;
  MachineRecord record = CollectMachine(plan, report.Canonical());
  if (options.redact) RedactRecord(record, key, !options.redactKey.empty(), {kqt::CToolUtil::GetApplicationDirPath()});
  const std::string text = WriteBundle(record);
  std::string why;
  if (!ReplaceWholeFile(path, text, why)) {
    PrintError(Printable(path) + " cannot be written: " + why + "; what was there is left as it was");
    return 3;
  }
  std::printf("quarncfg: bundle of %s written to %s (%zu bytes%s)\n", Printable(plan.places.root).c_str(),
              Printable(path).c_str(), text.size(), options.redact ? ", redacted" : "");
  return 0;
}

}  // namespace quarn_tools
