// The inspector's questions about the system's narrow texts (paths,
// settings, names: the ANSI code page on Windows): as UTF-8, and how paths
// are written in them.
#ifndef QUARN_TOOLS_PLATFORM_SYSTEMTEXT_H
#define QUARN_TOOLS_PLATFORM_SYSTEMTEXT_H

#include <string>

namespace quarn_tools {

// On Windows the text converted from the ANSI code page; elsewhere, where
// narrow texts are already meant as UTF-8, the bytes as they are. The
// result may still not be valid UTF-8 (see Utf8Text.h).
std::string Utf8FromSystemText(const std::string& text);

// How this system writes paths: on Windows its rules and the lead bytes of
// its ANSI code page (IsDBCSLeadByte), each once in ascending order; elsewhere
// "/" only and none.
bool SystemPathsAreWindows();
std::string SystemLeadBytes();

}  // namespace quarn_tools

#endif
