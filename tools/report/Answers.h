// What the report's sections show, section by section, as plain records.
// Who answers is not the report's business: the library's object on this
// machine, the library's rules over an installation's files, or the same
// rules over a machine recorded in a bundle (tools/bundle). Each section asks
// only for its own record, so a report of one section computes no other.
#ifndef QUARN_TOOLS_REPORT_ANSWERS_H
#define QUARN_TOOLS_REPORT_ANSWERS_H

#include <array>
#include <list>
#include <string>
#include <vector>

#include "config/LayoutRules.h"
#include "config/SettingsRules.h"
#include "config/WindowsVersionInfo.h"
#include "hwinfo/TableIdentity.h"

namespace quarn_tools {

// What became of R/globalcfg.
enum class GlobalCfgState {
  kExisted,         // it was there before
  kCreated,         // the library made it when its object was made
  kWouldBeCreated,  // the object was not made: it would make it
  kMissing,         // the object was made and could not make it
};
// "existed", "created", "would_be_created", "missing"; and back (false for
// another text).
const char* GlobalCfgStateName(GlobalCfgState state);
bool GlobalCfgStateFromName(const std::string& name, GlobalCfgState& state);

struct InstallationAnswers {
  quarn::layout::Places places;
  GlobalCfgState globalCfgState = GlobalCfgState::kExisted;
};

struct SettingsAnswers {
  bool loaded = false;
  std::string notLoadedBecause;  // the file's status ("missing") when not
  quarn::settings::SettingsRecord record;
};

struct ServersAnswers {
  quarn::settings::SettingsRecord settings;  // its server lists
  // The address GetIpByDomain drew for each server of each list ("" for
  // none), by the list's row, when the names were looked up; else why not.
  bool resolved = false;
  std::array<std::vector<std::string>, quarn::settings::kSettingCount> addresses;
  std::string notResolvedBecause;
};

struct NetworkAnswers {
  std::vector<std::string> local;
  std::list<std::string> usable;
  std::string identity, service;
};

struct HostAnswers {
  std::string machineName, system, platformTag;
  quarn::sys::WindowsVersionInfo info;  // the values the description is made from
  quarn::sys::RealWindowsVersion real;
  bool x64 = false;
};

struct HardwareAnswers {
  quarn::smbios::TableSource source;
  // The agent's UUID and checksum as the library answers them, with what
  // its identity rule says beside them.
  quarn::smbios::HardwareIdentity identity;
  int versionNumber = 0;  // the number the UUID rule used (none, 0, for a table found in memory)
  std::string signature;  // the hypervisor's
  bool xenOrMicrosoft = false;
  std::string vmId, callerUuid;
};

struct VersionsAnswers {
  std::string clientVersion;
  std::string updaterVersion, updaterRecordPath;
  bool updaterRecordRead = false;
  // The detail of the program that asks; where no program of the
  // installation asked, its form with 0 for the size.
  bool clientDetailKnown = false;
  std::string clientDetail;
  std::string updaterDetail;
  bool updaterPidKnown = false;
  int updaterPid = 0;
  std::string updaterPidUnknownBecause;
  std::string updateServer, reportUrl, downloadUrl, platformDownloadUrl;
};

// What the library printed to standard output while a configuration object
// lived, kept apart from the report, and its logger's lines.
struct LibraryOutput {
  std::string text;
  bool capturedNothing = false;  // no file could be made for it: it went to standard error
  std::string log;
  bool logCaptured = true;  // false: the lines went to standard error
};

class Answers {
 public:
  virtual ~Answers() = default;
  // Whether the machine's own sections (Network, Host, Hardware) can be
  // answered: the library's object was made there.
  virtual bool MachineAnswered() const = 0;
  virtual InstallationAnswers Installation() = 0;
  // Read once, then kept: the Servers and Versions sections use it too.
  virtual const SettingsAnswers& Settings() = 0;
  virtual ServersAnswers Servers() = 0;
  virtual NetworkAnswers Network() = 0;
  virtual HostAnswers Host() = 0;
  virtual HardwareAnswers Hardware() = 0;
  virtual VersionsAnswers Versions() = 0;
};

}  // namespace quarn_tools

#endif
