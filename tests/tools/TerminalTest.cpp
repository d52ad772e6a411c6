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
    EXPECT_EQ(Printable("\xf0\x9f\x98\x80"), "\xf0\x9f\x98\x80");                  // U+1F600 stays
  } else {
    // An ANSI code page: 0x80 to 0x9F are characters (or lead bytes).
    EXPECT_EQ(Printable("\x9b\x81\x40"), "\x9b\x81\x40");
  }
}

// What is not well-formed UTF-8 reaches no terminal raw: a terminal's own
// decoder may read an overlong form as the control it encodes, and a lone
// byte as C1. Each byte of it is escaped; the text around stays.
TEST(Terminal, EscapesEveryByteOfWhatIsNotUtf8) {
  if (!quarn_tools::SystemTextIsUtf8()) GTEST_SKIP() << "the system's texts are not UTF-8";
  const struct {
    const char* text;
    const char* shown;
  } cases[] = {
      {"k\xe0\x82\x9b"
       "31m",
       "k\\xe0\\x82\\x9b31m"},                       // CSI, overlong in three bytes
      {"\xc1\x9b", "\\xc1\\x9b"},                    // and in two
      {"\xed\xa0\x80x", "\\xed\\xa0\\x80x"},         // a surrogate
      {"\xf4\x90\x80\x80", "\\xf4\\x90\\x80\\x80"},  // past U+10FFFF
      {"\xf5\x80\x80\x80", "\\xf5\\x80\\x80\\x80"},  // no lead byte at all
      {"ab\xe8\xa1", "ab\\xe8\\xa1"},                // cut short at the end
      {"\xe8\xa1"
       "c",
       "\\xe8\\xa1c"},             // and before another character
      {"\xff\xfe", "\\xff\\xfe"},  // bytes no UTF-8 holds
      {"\xa9", "\\xa9"},           // a lone continuation byte
  };
  for (const auto& c : cases) EXPECT_EQ(Printable(c.text), c.shown) << Printable(c.text);
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
