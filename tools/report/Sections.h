// The inspector's sections: every public answer of the library, each
// section a list of rows over the record its Answers give.
#ifndef QUARN_TOOLS_REPORT_SECTIONS_H
#define QUARN_TOOLS_REPORT_SECTIONS_H

#include <map>
#include <set>
#include <string>
#include <vector>

#include "report/Answers.h"
#include "report/Report.h"

namespace quarn_tools {

// The titles of the sections, in the order printed, Diagnostics last (the
// program fills it itself: what the library printed while answering).
std::vector<std::string> SectionTitles();
extern const char kDiagnosticsTitle[];

// The Diagnostics section: what the library printed, and how its object was
// used: `made` is "" for the plain run, else "yes..." or "no: why".
void AddDiagnostics(Report& report, const LibraryOutput& output, const std::string& made);

// Every section's name in JSON and the keys of its fields: a report holds
// no other (every key is there in every run).
const std::map<std::string, std::set<std::string>>& ReportSchema();

// Adds the sections `only` names (every one when empty) that `answers` can
// answer: those that need the machine only where it was answered. Only the
// sections added are computed.
void AddSections(Report& report, Answers& answers, const std::string& only = std::string());

// The SMBIOS version number of a block and how the agent makes it, for
// people: major << (8 + minor), the shift counted modulo 32 and the bits
// shifted past 32 lost, so that a large minor version wraps around.
std::string VersionNumberShown(const quarn::smbios::TableSource& source);

}  // namespace quarn_tools

#endif
