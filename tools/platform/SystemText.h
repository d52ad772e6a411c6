// The inspector's one platform question: the system's narrow texts (paths,
// settings, names: the ANSI code page on Windows) as UTF-8.
#ifndef QUARN_TOOLS_PLATFORM_SYSTEMTEXT_H
#define QUARN_TOOLS_PLATFORM_SYSTEMTEXT_H

#include <string>

namespace quarn_tools {

// On Windows the text converted from the ANSI code page; elsewhere, where
// narrow texts are already meant as UTF-8, the bytes as they are. The
// result may still not be valid UTF-8 (see Utf8Text.h).
std::string Utf8FromSystemText(const std::string& text);

}  // namespace quarn_tools

#endif
