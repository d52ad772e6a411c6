#include "bundle/StylePaths.h"
#include "report/Terminal.h"
#include "report/Utf8Text.h"

namespace quarn_tools {

std::string Utf8FromSystemText(const std::string& text) { return text; }

bool SystemPathsAreWindows() { return false; }

std::string SystemLeadBytes() { return std::string(); }

bool SystemTextIsUtf8() { return true; }

}  // namespace quarn_tools
