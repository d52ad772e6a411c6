// quarncfg --from-bundle: a recorded machine inspected offline. The
// report's sections are computed again from what the bundle holds, through
// the library's own rules (layout, settings, identity walk, Windows
// description, SMBIOS acquisition, walk, UUID rule and checksum), never
// copied from the report recorded beside them; the two are then compared
// field by field.
#ifndef QUARN_TOOLS_BUNDLE_REPLAY_H
#define QUARN_TOOLS_BUNDLE_REPLAY_H

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "bundle/InstallationFiles.h"
#include "bundle/MachineRecord.h"
#include "report/Answers.h"

namespace quarn_tools {

// The answers of a recorded machine: its places by its own system's path
// rules, its files as recorded, its machine answered from the record.
class RecordAnswers : public Answers {
 public:
  explicit RecordAnswers(const MachineRecord& record);
  bool MachineAnswered() const override { return m_record.notMadeBecause.empty(); }
  InstallationAnswers Installation() override;
  const SettingsAnswers& Settings() override;
  ServersAnswers Servers() override;
  NetworkAnswers Network() override;
  HostAnswers Host() override;
  HardwareAnswers Hardware() override;
  VersionsAnswers Versions() override;
  // What the library's code printed while the record was replayed.
  const std::string& Printed() const { return m_printed; }

 private:
  const MachineRecord& m_record;
  quarn::layout::Places m_places;
  InstallationFiles m_files;
  std::string m_printed;
  std::unique_ptr<SettingsAnswers> m_settings;
};

struct ReplayDifference {
  std::string field;  // a JSON pointer: "/hardware/table_checksum"
  // Each side's value as canonical JSON; the text "(absent)" where that
  // report has no such field.
  std::string recorded, replayed;
  std::string why;  // what explains it; "" when nothing does
};

// The fields that belong to the process that prints the report, not to the
// machine, with why: not compared.
const std::vector<std::pair<std::string, std::string>>& ProcessFields();

// The fields of the two reports that differ in value, but for
// ProcessFields. Only the sections `replayed` holds are compared.
std::vector<ReplayDifference> CompareReplay(const CanonicalReport& recorded, const CanonicalReport& replayed,
                                            bool redacted);

}  // namespace quarn_tools

#endif
