// The inspector's sections: every public answer of the library, each
// section a list of rows over the record its Answers give.
#ifndef QUARN_TOOLS_REPORT_SECTIONS_H
#define QUARN_TOOLS_REPORT_SECTIONS_H

#include <string>
#include <vector>

#include "report/Answers.h"
#include "report/Report.h"

namespace quarn_tools {

// The titles of the sections, in the order printed, Diagnostics last (the
// program fills it itself: what the library printed while answering).
std::vector<std::string> SectionTitles();
extern const char kDiagnosticsTitle[];

// Whether a title names a section that needs the library's object
// (Network, Host, Hardware).
bool SectionNeedsMachine(const std::string& title);

// Adds the sections `only` names (every one when empty) that `answers` can
// answer: those that need the machine only where it was answered. Only the
// sections added are computed.
void AddSections(Report& report, Answers& answers, const std::string& only = std::string());

}  // namespace quarn_tools

#endif
