// The library's path rules as another system applies them: "/" only, or
// Windows' drive letters, UNC roots and backslashes with the lead bytes of
// a recorded code page. The inspector derives a recorded installation's
// places through them, wherever it runs.
#ifndef QUARN_TOOLS_BUNDLE_STYLEPATHS_H
#define QUARN_TOOLS_BUNDLE_STYLEPATHS_H

#include <string>

#include "bundle/MachineRecord.h"
#include "config/LayoutRules.h"
#include "util/PathText.h"

namespace quarn_tools {

// How this system writes paths: on Windows its rules and the lead bytes of
// its ANSI code page (IsDBCSLeadByte), each once in ascending order;
// elsewhere "/" only and none. (tools/platform)
bool SystemPathsAreWindows();
std::string SystemLeadBytes();

// Each StylePaths keeps its own lead bytes: styles of several code pages
// may be used at once, on any thread.
class StylePaths : public quarn::layout::PathRules {
 public:
  explicit StylePaths(const PathStyleRecord& style);
  std::string Normal(const std::string& text) const override;
  std::string Up(const std::string& dir) const override;
  std::string Join(const std::string& dir, const std::string& name) const override;

 private:
  kqt::path::Style m_style;
};

}  // namespace quarn_tools

#endif
