// The inspector's sections: every public answer of the library.
#ifndef QUARN_TOOLS_SECTIONS_H
#define QUARN_TOOLS_SECTIONS_H

#include <string>
#include <vector>

#include "InstallationFiles.h"
#include "MachineRecord.h"
#include "Report.h"
#include "SettingsCheck.h"
#include "config/LayoutRules.h"

class CQuarnConfig;

// What the sections are taken from. The library's own object answers for
// the installation this program lies in; for another installation
// (--installation), or where making the object would create a directory
// that must not be made (--no-create), the installation's sections are
// taken from the library's layout and settings rules applied to that
// installation's files, and the machine's sections from the object only
// when it could be made. A machine recorded elsewhere (--from-bundle) is
// answered by the same rules over what was recorded, with no object.
struct Inspection {
  CQuarnConfig* config = nullptr;                      // null: the object was not made
  const quarn_tools::MachineRecord* record = nullptr;  // the machine replayed, if any
  bool fromRules = false;                              // the installation's sections from the rules
  std::string executableDir;                           // E of the installation inspected
  quarn::layout::Places places;                        // its places (fromRules)
  quarn_tools::InstallationFiles files;                // its files (fromRules)
  quarn_tools::CheckResult settings;                   // its settings files, as read (fromRules)
  // What became of R/globalcfg.
  enum class GlobalCfgState {
    kExisted,         // it was there before
    kCreated,         // the library made it when its object was made
    kWouldBeCreated,  // the object was not made: it would make it
    kMissing,         // the object was made and could not make it
  } globalCfgState = GlobalCfgState::kExisted;
  std::string notMadeBecause;  // why config is null
  std::string replayOutput;    // what the library's code printed while replaying the record
  bool resolveServers = true;  // look up each server's address
};

// "existed", "created", "would_be_created", "missing"; and back (false for
// another text).
const char* GlobalCfgStateName(Inspection::GlobalCfgState state);
bool GlobalCfgStateFromName(const std::string& name, Inspection::GlobalCfgState& state);

// A section of the report: its title, what fills it, and whether it needs
// the library's object whatever the installation (without one it is left
// out, and Diagnostics says why). In the order printed; Diagnostics, which
// the program fills itself, comes last.
struct SectionFiller {
  const char* title;
  void (*fill)(Report&, Inspection&);
  bool needsObject;
};
const std::vector<SectionFiller>& ReportSections();

#endif
