#include <gtest/gtest.h>

#include <climits>

#include "util/AlgorithmUtil.h"
#include "util/StringUtil.h"

using kqt::CStringUtil;
using Pieces = std::vector<std::string>;

TEST(StringUtil, SplitKeepsEmptyPiecesUnlessAskedNotTo) {
  EXPECT_EQ(CStringUtil::stringSplit("a|b||c", "|", false), (Pieces{"a", "b", "", "c"}));
  EXPECT_EQ(CStringUtil::stringSplit("|a|", "|", false), (Pieces{"", "a", ""}));
  EXPECT_EQ(CStringUtil::stringSplit("", "|", false), (Pieces{""}));
  EXPECT_EQ(CStringUtil::stringSplit("a|b||c", "|", true), (Pieces{"a", "b", "c"}));
  EXPECT_EQ(CStringUtil::stringSplit("a::b", "::", false), (Pieces{"a", "b"}));
  EXPECT_EQ(CStringUtil::stringSplit("a|b", "", false), (Pieces{"a|b"}));
}

TEST(StringUtil, StartWithIsByteWiseUnlessCaseIsIgnored) {
  EXPECT_TRUE(CStringUtil::stringStartWith("172.16.0.1", "172.16.", false));
  EXPECT_FALSE(CStringUtil::stringStartWith("172.160.0.1", "172.16.", false));
  EXPECT_FALSE(CStringUtil::stringStartWith("10", "10.", false));
  EXPECT_TRUE(CStringUtil::stringStartWith("anything", "", false));
  EXPECT_FALSE(CStringUtil::stringStartWith("Xen", "xen", false));
  EXPECT_TRUE(CStringUtil::stringStartWith("Xen", "xEN", true));
}

TEST(StringUtil, LowerCaseAndTrim) {
  std::string text = "33221100-AABB-Cd";
  EXPECT_TRUE(CStringUtil::stringToLower(text));
  EXPECT_EQ(text, "33221100-aabb-cd");
  EXPECT_FALSE(CStringUtil::stringToLower(text));
  EXPECT_EQ(CStringUtil::stringTrimmed(" \t update_01_07 \r\n"), "update_01_07");
  EXPECT_EQ(CStringUtil::stringTrimmed("a b"), "a b");
  EXPECT_EQ(CStringUtil::stringTrimmed(" \t "), "");
}

TEST(StringUtil, IntToStringCoversTheWhole64BitRange) {
  EXPECT_EQ(CStringUtil::IntToString(512, nullptr, 10), "512");
  EXPECT_EQ(CStringUtil::IntToString(0, nullptr, 10), "0");
  EXPECT_EQ(CStringUtil::IntToString(-1, nullptr, 10), "-1");
  EXPECT_EQ(CStringUtil::IntToString(LLONG_MIN, nullptr, 10), "-9223372036854775808");
  EXPECT_EQ(CStringUtil::IntToString(LLONG_MAX, nullptr, 10), "9223372036854775807");
  bool ok = false;
  EXPECT_EQ(CStringUtil::IntToString(255, &ok, 16), "ff");
  EXPECT_TRUE(ok);
  EXPECT_EQ(CStringUtil::IntToString(5, &ok, 1), "");
  EXPECT_FALSE(ok);
}

TEST(AlgorithmUtil, CrcIsTheStandardCrc32) {
  const char text[] = "123456789";
  EXPECT_EQ(kqt::CAlgorithmUtil::GetCRC(text, 9), 0xCBF43926u);
  EXPECT_EQ(kqt::CAlgorithmUtil::GetCRC(text, 0), 0u);
  EXPECT_EQ(kqt::CAlgorithmUtil::GetCRC(nullptr, 9), 0u);
  const std::vector<unsigned char> zeros(65536, 0);
  EXPECT_EQ(kqt::CAlgorithmUtil::GetCRC(zeros.data(), 65536), 0xD7978EEBu);
}
