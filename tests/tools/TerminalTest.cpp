// Texts on their way to a terminal: every byte that steers one escaped, in
// the encoding the system's texts are in; everything else as it is.
#include "report/Terminal.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace {

using quarn_tools::Printable;
using quarn_tools::TerminalSafeJson;

TEST(Terminal, EscapesC0AndDelEverywhere) {
  EXPECT_EQ(Printable("plain text"), "plain text");
  EXPECT_EQ(Printable("\x1b]0;title\x07\x1b[2J"), "\\x1b]0;title\\x07\\x1b[2J");
  EXPECT_EQ(Printable(std::string("a\0b\x7f\n", 5)), "a\\x00b\\x7f\\x0a");
  std::string kept;
  quarn_tools::AppendPrintable(kept, "line\nnext\x1b", true);
  EXPECT_EQ(kept, "line\nnext\\x1b");
}

TEST(Terminal, EscapesC1AsTheSystemsTextsEncodeIt) {
  if (quarn_tools::SystemTextIsUtf8()) {
    EXPECT_EQ(Printable("\xc2\x9b"
                        "31m"),
              "\\xc2\\x9b31m");  // U+009B, CSI in one character
    EXPECT_EQ(Printable("a\x9b"
                        "b"),
              "a\\x9bb");  // a lone byte a Latin-1 terminal takes for CSI
    EXPECT_EQ(Printable("caf\xc3\xa9 \xe8\xa1\xa8"), "caf\xc3\xa9 \xe8\xa1\xa8");  // characters stay
    EXPECT_EQ(Printable("\xc2\xa0"), "\xc2\xa0");                                  // U+00A0 is no control
    EXPECT_EQ(Printable("\xff\xfe"), "\xff\xfe");                                  // no sequence, and no C1 either
  } else {
    // An ANSI code page: 0x80 to 0x9F are characters (or lead bytes).
    EXPECT_EQ(Printable("\x9b\x81\x40"), "\x9b\x81\x40");
  }
}

TEST(Terminal, JsonKeepsItsMeaningWithoutRawControlBytes) {
  const nlohmann::json value = {{"text",
                                 "a\x7f"
                                 "b\xc2\x9b"
                                 "c\xc3\xa9"}};
  const std::string safe = TerminalSafeJson(value.dump());
  EXPECT_EQ(safe.find('\x7f'), std::string::npos);
  EXPECT_EQ(safe.find("\xc2\x9b"), std::string::npos);
  EXPECT_EQ(nlohmann::json::parse(safe), value);  // the same value, written otherwise
  EXPECT_EQ(TerminalSafeJson("{\"a\": 1}"), "{\"a\": 1}");
}

}  // namespace
