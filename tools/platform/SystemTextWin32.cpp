#include "platform/SystemText.h"

#include "util/platform/AnsiText.h"

namespace quarn_tools {

std::string Utf8FromSystemText(const std::string& text) {
  if (text.empty()) return text;
  const std::wstring wide = kqt::sys::WideFromAnsi(text);
  if (wide.empty()) return text;  // not convertible: left to the UTF-8 check
  const int length = static_cast<int>(wide.size());
  const int needed = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return text;
  std::string utf8(static_cast<size_t>(needed), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, &utf8[0], needed, nullptr, nullptr);
  return utf8;
}

}  // namespace quarn_tools
