// quarncfg bundle: what the library's answers come from on this machine,
// collected through the same seams the library asks (the host's, the
// firmware's, the file system's), the firmware's answers recorded as the
// library's acquisition asks for them. Nothing is created or changed.
#ifndef QUARN_TOOLS_BUNDLE_MACHINECOLLECT_H
#define QUARN_TOOLS_BUNDLE_MACHINECOLLECT_H

#include "bundle/LiveAnswers.h"
#include "bundle/MachineRecord.h"

namespace quarn_tools {

// The record of the installation `plan` describes (its executable
// directory, how it was taken, what became of R/globalcfg), of this
// machine, and of `report`, the report printed for it here.
MachineRecord CollectMachine(const InspectionPlan& plan, CanonicalReport report);

// This system's way of writing paths, as a bundle records it.
PathStyleRecord SystemPathStyle();

}  // namespace quarn_tools

#endif
