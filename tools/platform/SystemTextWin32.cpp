#include "bundle/StylePaths.h"
#include "report/Terminal.h"
#include "report/Utf8Text.h"

#include "util/platform/Win32.h"

namespace quarn_tools {

std::string Utf8FromSystemText(const std::string& text) {
  if (text.empty()) return text;
  const std::wstring wide = kqt::sys::WideFromAnsi(text);
  if (wide.empty()) return text;  // not convertible: left to the UTF-8 check
  const std::string utf8 = kqt::sys::AnsiFromWide(wide, CP_UTF8);
  return utf8.empty() ? text : utf8;
}

bool SystemPathsAreWindows() { return true; }

bool SystemTextIsUtf8() { return ::GetACP() == CP_UTF8; }

std::string SystemLeadBytes() {
  std::string leads;
  for (int byte = 0x80; byte <= 0xFF; ++byte)
    if (::IsDBCSLeadByte(static_cast<BYTE>(byte))) leads += static_cast<char>(byte);
  return leads;
}

}  // namespace quarn_tools
