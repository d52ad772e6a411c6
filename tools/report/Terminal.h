// Texts on their way to a terminal. A file or a bundle can hold any bytes,
// and some of them steer a terminal (ESC starts a sequence that sets the
// window title or clears the screen; CSI, U+009B, does the same in one
// character). Every byte of the inspector's output that may come from one
// passes through here, on standard output and standard error alike.
#ifndef QUARN_TOOLS_REPORT_TERMINAL_H
#define QUARN_TOOLS_REPORT_TERMINAL_H

#include <string>

namespace quarn_tools {

// Appends `text` with every control character escaped as "\xNN": C0 (NUL
// among them) and DEL always, and C1 in the encoding the system's texts are
// in: in UTF-8, U+0080 to U+009F and every byte of what is not well-formed
// UTF-8 (an overlong form, a surrogate, past U+10FFFF, a sequence cut
// short, a lone byte); in a Windows ANSI code page bytes from 0x80 on are
// characters, or lead bytes, and stay. `keepLineEnds`
// leaves LF as it is (a message of the program's own lines).
void AppendPrintable(std::string& out, const std::string& text, bool keepLineEnds = false);
std::string Printable(const std::string& text);

// JSON text with DEL and the C1 characters inside its strings written as
// \u escapes: JSON writers escape C0 alone.
std::string TerminalSafeJson(std::string json);

// "quarncfg: MESSAGE" and a line end on standard error, escaped.
void PrintError(const std::string& message);

// Whether the system's narrow texts are UTF-8 (POSIX; Windows with the
// UTF-8 ANSI code page). (tools/platform)
bool SystemTextIsUtf8();

}  // namespace quarn_tools

#endif
