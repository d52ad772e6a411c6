// The inspector's sections: every public answer of the library.
#ifndef QUARN_TOOLS_SECTIONS_H
#define QUARN_TOOLS_SECTIONS_H

#include "Report.h"

class CQuarnConfig;

struct SectionOptions {
  bool resolveServers = true;  // look up each server's address
};

void AddInstallation(Report& report, CQuarnConfig& config);
void AddSettings(Report& report, CQuarnConfig& config);
void AddServers(Report& report, CQuarnConfig& config, const SectionOptions& options);
void AddNetwork(Report& report, CQuarnConfig& config);
void AddHost(Report& report, CQuarnConfig& config);
void AddHardware(Report& report, CQuarnConfig& config);
void AddVersions(Report& report, CQuarnConfig& config);

#endif
