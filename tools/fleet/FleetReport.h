// The fleet view, for people and for scripts: machines that share an
// identity first, then the same machine bundled more than once, settings
// drift and the bundles that could not be used.
#ifndef QUARN_TOOLS_FLEET_FLEETREPORT_H
#define QUARN_TOOLS_FLEET_FLEETREPORT_H

#include <string>

#include "fleet/Fleet.h"

namespace quarn_tools {

// The text form, a line at a time to `out` (texts of the bundles made
// printable).
void PrintFleet(const Fleet& fleet, std::FILE* out);
// The JSON form: one object.
void WriteFleetJson(const Fleet& fleet, std::FILE* out);

}  // namespace quarn_tools

#endif
