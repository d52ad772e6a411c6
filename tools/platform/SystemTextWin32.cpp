#include "bundle/StylePaths.h"
#include "report/Terminal.h"
#include "report/Utf8Text.h"

#include "util/platform/Win32.h"

namespace quarn_tools {

std::string Utf8FromSystemText(const std::string& text) {
  // Strict: a byte the code page has no character for (in 932 a lead byte
  // without its trail) fails, rather than turning into a stand-in character
  // the file does not hold, and the UTF-8 check then reports the text.
  const int length = static_cast<int>(text.size());
  const int needed = ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
  if (needed <= 0) return text;  // empty, or not convertible: left to the UTF-8 check
  std::wstring wide(static_cast<size_t>(needed), L'\0');
  ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), length, &wide[0], needed);
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
