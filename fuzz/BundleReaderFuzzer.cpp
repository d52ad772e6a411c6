// The bundle reader on any bytes: a bundle it takes is written back to one
// it takes again, and replays (every section, through the library's rules
// over what was recorded) without a fault, in time and memory the limits
// allow.
#include <cstddef>
#include <cstdint>
#include <string>

#include "bundle/Bundle.h"
#include "bundle/Replay.h"
#include "report/Sections.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  quarn_tools::MachineRecord record;
  std::string error;
  if (!quarn_tools::ReadBundle(text, record, error)) {
    if (error.empty()) __builtin_trap();  // a refusal always says why
    return 0;
  }
  quarn_tools::MachineRecord again;
  if (!quarn_tools::ReadBundle(quarn_tools::WriteBundle(record), again, error)) __builtin_trap();
  quarn_tools::RecordAnswers answers(record);
  quarn_tools::Report report;
  quarn_tools::AddSections(report, answers);
  (void)quarn_tools::CompareReplay(record.report, report.Canonical(), record.redacted);
  return 0;
}
