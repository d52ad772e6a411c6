// The inspector's sections: every public answer of the library.
#ifndef QUARN_TOOLS_SECTIONS_H
#define QUARN_TOOLS_SECTIONS_H

#include "Report.h"

class CQuarnConfig;

struct SectionOptions {
  bool resolveServers = true;  // look up each server's address
};

// Each fills its section; all share one signature so that a table can hold
// them (only the servers' section uses the options).
void AddInstallation(Report& report, CQuarnConfig& config, const SectionOptions& options);
void AddSettings(Report& report, CQuarnConfig& config, const SectionOptions& options);
void AddServers(Report& report, CQuarnConfig& config, const SectionOptions& options);
void AddNetwork(Report& report, CQuarnConfig& config, const SectionOptions& options);
void AddHost(Report& report, CQuarnConfig& config, const SectionOptions& options);
void AddHardware(Report& report, CQuarnConfig& config, const SectionOptions& options);
void AddVersions(Report& report, CQuarnConfig& config, const SectionOptions& options);

#endif
