#include "report/Utf8Text.h"

#include <gtest/gtest.h>

using quarn_tools::AsciiLower;
using quarn_tools::HexBytes;
using quarn_tools::IsValidUtf8;
using quarn_tools::PointerStep;
using quarn_tools::ReplaceInvalidUtf8;

TEST(Utf8Text, AcceptsWellFormedTextOfEveryLength) {
  EXPECT_TRUE(IsValidUtf8(""));
  EXPECT_TRUE(IsValidUtf8("plain"));
  EXPECT_TRUE(IsValidUtf8("caf\xc3\xa9"));           // U+00E9
  EXPECT_TRUE(IsValidUtf8("\xe8\xa1\xa8"));          // U+8868
  EXPECT_TRUE(IsValidUtf8("\xf0\x9f\x98\x80"));      // U+1F600
  EXPECT_TRUE(IsValidUtf8("\xf4\x8f\xbf\xbf"));      // U+10FFFF, the last
  EXPECT_TRUE(IsValidUtf8(std::string("a\0b", 3)));  // NUL is a character
  EXPECT_EQ(ReplaceInvalidUtf8("caf\xc3\xa9"), "caf\xc3\xa9");
}

TEST(Utf8Text, ReplacesEachByteOutsideAValidSequence) {
  const char kReplacement[] = "\xef\xbf\xbd";
  EXPECT_FALSE(IsValidUtf8("caf\xe9"));  // a 1252 byte
  EXPECT_EQ(ReplaceInvalidUtf8("caf\xe9"), std::string("caf") + kReplacement);
  EXPECT_FALSE(IsValidUtf8("\xc0\xaf"));  // an overlong "/"
  EXPECT_EQ(ReplaceInvalidUtf8("\xc0\xaf"), std::string(kReplacement) + kReplacement);
  EXPECT_FALSE(IsValidUtf8("\xe0\x80\xaf"));      // overlong, three bytes
  EXPECT_FALSE(IsValidUtf8("\xed\xa0\x80"));      // a surrogate
  EXPECT_FALSE(IsValidUtf8("\xf4\x90\x80\x80"));  // above U+10FFFF
  EXPECT_FALSE(IsValidUtf8("\xe8\xa1"));          // cut short at the end
  // Shift_JIS "表" (0x95 0x5C): the trail byte is a backslash and stays.
  EXPECT_EQ(ReplaceInvalidUtf8("\x95\x5c"), std::string(kReplacement) + "\\");
}

TEST(Utf8Text, GivesBytesAsTwoHexDigitsEach) {
  EXPECT_EQ(HexBytes(""), "");
  EXPECT_EQ(HexBytes("caf\xe9"), "636166e9");
  EXPECT_EQ(HexBytes(std::string("\0\xff", 2)), "00ff");
}

TEST(Utf8Text, LowersAsciiLettersOnly) {
  EXPECT_EQ(AsciiLower("Cli_Config.INI"), "cli_config.ini");
  EXPECT_EQ(AsciiLower("@[`{"), "@[`{");        // the neighbours of A-Z and a-z
  EXPECT_EQ(AsciiLower("CAF\xc9"), "caf\xc9");  // a 1252 "É" is no letter here, whatever the locale
}

TEST(Utf8Text, EscapesAJsonPointerStep) {
  EXPECT_EQ(PointerStep("bios_uuid"), "bios_uuid");
  EXPECT_EQ(PointerStep(""), "");
  EXPECT_EQ(PointerStep("a/b~c"), "a~1b~0c");
  EXPECT_EQ(PointerStep("~1"), "~01");  // "~" first, so an escape is not made twice
}
