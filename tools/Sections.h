// The inspector's sections: every public answer of the library.
#ifndef QUARN_TOOLS_SECTIONS_H
#define QUARN_TOOLS_SECTIONS_H

#include <string>

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
// when it could be made.
struct Inspection {
  CQuarnConfig* config = nullptr;     // null: the object was not made
  bool fromRules = false;             // the installation's sections from the rules
  std::string executableDir;          // E of the installation inspected
  quarn::layout::Places places;       // its places (fromRules)
  quarn_tools::CheckResult settings;  // its settings files, as read (fromRules)
  // What became of R/globalcfg.
  enum class GlobalCfgState {
    kExisted,         // it was there before
    kCreated,         // the library made it when its object was made
    kWouldBeCreated,  // the object was not made: it would make it
    kMissing,         // the object was made and could not make it
  } globalCfgState = GlobalCfgState::kExisted;
  std::string notMadeBecause;  // why config is null
  bool resolveServers = true;  // look up each server's address
};

// Each fills its section; all share one signature so that a table can hold
// them.
void AddInstallation(Report& report, Inspection& inspection);
void AddSettings(Report& report, Inspection& inspection);
void AddServers(Report& report, Inspection& inspection);
void AddNetwork(Report& report, Inspection& inspection);
void AddHost(Report& report, Inspection& inspection);
void AddHardware(Report& report, Inspection& inspection);
void AddVersions(Report& report, Inspection& inspection);

// The state's stable name ("existed", "created", "would_be_created",
// "missing").
const char* GlobalCfgStateName(Inspection::GlobalCfgState state);

// Whether a section needs the library's object whatever the installation:
// without one it is left out (Diagnostics says why).
bool NeedsLibraryObject(void (*fill)(Report&, Inspection&));

#endif
