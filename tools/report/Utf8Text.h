// Making any bytes fit for JSON: valid UTF-8 passes unchanged; every byte
// that does not begin a valid sequence becomes U+FFFD. With them the tool's
// other byte-text helpers, each written once: pointer steps, hexadecimal,
// ASCII case.
#ifndef QUARN_TOOLS_REPORT_UTF8TEXT_H
#define QUARN_TOOLS_REPORT_UTF8TEXT_H

#include <cstddef>
#include <string>

namespace quarn_tools {

// The length of the well-formed UTF-8 sequence that begins at `at` (1 for
// ASCII), or 0 where none does: an overlong form, a surrogate, a code point
// above U+10FFFF, a sequence cut short or a stray continuation byte. The one
// decoder of the tool: the terminal escaping and the JSON texts use it.
std::size_t Utf8SequenceLength(const std::string& text, std::size_t at);

// True when `text` is valid UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF).
bool IsValidUtf8(const std::string& text);

// `text` with each byte outside a valid sequence replaced by U+FFFD.
std::string ReplaceInvalidUtf8(const std::string& text);

// A narrow text of this system (a path, a setting, a name: the ANSI code
// page on Windows) as UTF-8: on Windows converted from the ANSI code page;
// elsewhere, where narrow texts are already meant as UTF-8, the bytes as
// they are. The result may still not be valid UTF-8. (tools/platform)
std::string Utf8FromSystemText(const std::string& text);

// A text of the system as a report writes it in JSON: converted to UTF-8,
// each byte that still does not convert replaced by U+FFFD.
std::string JsonTextOf(const std::string& systemText);

// A UTF-8 text appended to `out` as a JSON string, escaped as
// nlohmann::json escapes it (quote, backslash and the C0 controls; the rest
// as it is), without making a value of it. A text that is no UTF-8 is the
// JSON library's to refuse.
void AppendJsonString(std::string& out, const std::string& text);

// `key` as one step of a JSON pointer ("~" and "/" escaped), without its
// leading "/": the JSON library's escaping.
std::string PointerStep(const std::string& key);

// The bytes as lower-case hexadecimal, two digits each.
std::string HexBytes(const std::string& text);

// `byte` appended to `out` as two lower-case hexadecimal digits: the one
// table of the tool's hexadecimal texts and escapes.
void AppendHexByte(std::string& out, unsigned char byte);

// `text` with its ASCII letters in lower case; other bytes (a lead byte of a
// code page among them) as they are, whatever the locale.
std::string AsciiLower(std::string text);

}  // namespace quarn_tools

#endif
