// Conversions between the narrow texts of the library (the ANSI code page)
// and the UTF-16 texts of the wide Windows API. Windows only.
#ifndef KQT_UTIL_PLATFORM_ANSITEXT_H
#define KQT_UTIL_PLATFORM_ANSITEXT_H

#include <windows.h>

#include <string>

namespace kqt {
namespace sys {

inline std::wstring WideFromAnsi(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int length = static_cast<int>(text.size());
  const int needed = ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  if (needed <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(needed), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, &wide[0], needed);
  return wide;
}

inline std::string AnsiFromWide(const wchar_t* text, size_t length) {
  if (length == 0) return std::string();
  const int wideLength = static_cast<int>(length);
  const int needed = ::WideCharToMultiByte(CP_ACP, 0, text, wideLength, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return std::string();
  std::string narrow(static_cast<size_t>(needed), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, text, wideLength, &narrow[0], needed, nullptr, nullptr);
  return narrow;
}

inline std::string AnsiFromWide(const std::wstring& text) { return AnsiFromWide(text.data(), text.size()); }

// "/" for every "\" of a wide path: on UTF-16 a backslash is always one.
inline void SlashWide(std::wstring& text) {
  for (wchar_t& c : text)
    if (c == L'\\') c = L'/';
}

}  // namespace sys
}  // namespace kqt

#endif
