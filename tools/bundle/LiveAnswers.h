// The report's answers on this machine. The library's own object answers
// for the installation this program lies in; for another installation
// (--installation), or where making the object would create a directory
// that must not be made (--no-create), the installation's sections come from
// the library's layout and settings rules applied to that installation's
// files, and the machine's sections from the object only when it could be
// made. What the object does not say (the Windows version values, the
// firmware's table beside the library's reading of it) is asked of the
// seams here.
#ifndef QUARN_TOOLS_BUNDLE_LIVEANSWERS_H
#define QUARN_TOOLS_BUNDLE_LIVEANSWERS_H

#include <memory>
#include <string>

#include "bundle/InstallationFiles.h"
#include "report/Answers.h"

class CQuarnConfig;

namespace quarn_tools {

// What to inspect, and how.
struct InspectionPlan {
  std::string executableDir;     // E of the installation inspected
  quarn::layout::Places places;  // its places, by the rules
  bool fromRules = false;        // the installation's sections from its files, by the rules
  InstallationFiles files;       // its files (fromRules)
  GlobalCfgState globalCfgState = GlobalCfgState::kExisted;
  std::string notMadeBecause;  // why the library's object is not made; "" when it is
  bool resolveServers = true;  // look up each server's address
};

// The plan for the installation of `executableDir` (`elsewhere`: not this
// program's own), and whether the library's object may be made: making it
// creates R/globalcfg beside this program when that is missing.
InspectionPlan PlanInspection(const std::string& executableDir, bool elsewhere, bool noCreate, bool resolveServers);

class LiveAnswers : public Answers {
 public:
  // `config`: the library's object, or null where it was not made.
  LiveAnswers(const InspectionPlan& plan, CQuarnConfig* config) : m_plan(plan), m_config(config) {}
  bool MachineAnswered() const override { return m_config != nullptr; }
  InstallationAnswers Installation() override;
  const SettingsAnswers& Settings() override;
  ServersAnswers Servers() override;
  NetworkAnswers Network() override;
  HostAnswers Host() override;
  HardwareAnswers Hardware() override;
  VersionsAnswers Versions() override;

 private:
  // The settings files the installation's answers come from.
  InstallationFiles SettingsFiles();

  const InspectionPlan& m_plan;
  CQuarnConfig* m_config;
  std::unique_ptr<SettingsAnswers> m_settings;
};

// The checksum the library uses, for the tool's own readings of a table.
unsigned LibraryChecksum(const unsigned char* data, std::size_t size);

}  // namespace quarn_tools

#endif
