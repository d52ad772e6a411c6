// The readable description of a Windows version ("Microsoft Windows 7
// Ultimate Edition Service Pack 1 (build 7601), 64-bit"), made from the
// values Windows reports and nothing else.
#ifndef QUARN_CONFIG_WINDOWSDESCRIPTION_H
#define QUARN_CONFIG_WINDOWSDESCRIPTION_H

#include <string>

#include "config/WindowsVersionInfo.h"

namespace quarn {

// Appends the description of `info` to `text` (which is not cleared).
// False, with nothing appended, for a system that is not of the NT family
// or older than version 5.
bool AppendWindowsDescription(const quarn::sys::WindowsVersionInfo& info, std::string& text);

// The platform tag: the description, then "_X64" on a 64-bit system (a
// 32-bit program under WoW64 included), else "_X86".
std::string PlatformTag(const std::string& description, bool x64System);

}  // namespace quarn

#endif
