// Path arithmetic on narrow texts, in both styles, whatever the host.
#include "util/PathText.h"

#include <gtest/gtest.h>

using kqt::path::Join;
using kqt::path::Normal;
using kqt::path::Parent;
using kqt::path::RootLength;
using kqt::path::Slashed;
using kqt::path::Style;

namespace {

Style Posix() { return Style(); }

Style Windows(bool (*isLeadByte)(unsigned char) = nullptr) {
  Style style;
  style.windows = true;
  for (unsigned byte = 0; isLeadByte && byte < 256; ++byte)
    style.leadBytes[byte] = isLeadByte(static_cast<unsigned char>(byte));
  return style;
}

// Lead bytes of code page 932 (Shift JIS).
bool ShiftJisLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

std::string ParentOf(const std::string& normal, const Style& style) {
  std::string parent = "(none)";
  Parent(normal, style, parent);
  return parent;
}

}  // namespace

TEST(PathText, PosixNormalFormResolvesDotsAndKeepsEveryByte) {
  EXPECT_EQ(Normal("/a/./b//c/", "", Posix()), "/a/b/c");
  EXPECT_EQ(Normal("/a/b/../../..", "", Posix()), "/");
  EXPECT_EQ(Normal("conf", "/opt/R/client/bin", Posix()), "/opt/R/client/bin/conf");
  EXPECT_EQ(Normal("./globalcfg", "/opt/R", Posix()), "/opt/R/globalcfg");
  EXPECT_EQ(Normal("../x", "", Posix()), "../x");  // no working directory: stays relative
  // Latin-1 bytes that are not UTF-8, and a backslash: all are name bytes.
  EXPECT_EQ(Normal("/srv/Z\xFCrich/a\\b/", "", Posix()), "/srv/Z\xFCrich/a\\b");
  EXPECT_EQ(ParentOf("/srv/Z\xFCrich", Posix()), "/srv");
  EXPECT_EQ(ParentOf("/srv", Posix()), "/");
  EXPECT_EQ(ParentOf("/", Posix()), "(none)");
}

TEST(PathText, WindowsDriveRootsAreKeptAndJoinedWithoutADoubledSeparator) {
  EXPECT_EQ(Normal("C:\\Program Files\\Quarn\\client\\bin\\..\\..", "", Windows()), "C:/Program Files/Quarn");
  EXPECT_EQ(Normal("C:\\", "", Windows()), "C:/");
  EXPECT_EQ(Normal("C:/a/../..", "", Windows()), "C:/");
  EXPECT_EQ(ParentOf("C:/agent", Windows()), "C:/");
  EXPECT_EQ(ParentOf("C:/", Windows()), "(none)");
  EXPECT_EQ(Join("C:/", "conf"), "C:/conf");
  EXPECT_EQ(Join("C:/R", "conf"), "C:/R/conf");
  // Forms relative to the current drive, or to a drive's own directory.
  EXPECT_EQ(Normal("\\temp", "D:/work", Windows()), "D:/temp");
  EXPECT_EQ(Normal("D:x", "D:/work", Windows()), "D:/work/x");
  EXPECT_EQ(Normal("E:x", "D:/work", Windows()), "E:/x");
  EXPECT_EQ(Normal("sub\\dir", "D:/work", Windows()), "D:/work/sub/dir");
}

TEST(PathText, UncRootIsServerAndShareAndNeverTheCurrentDrive) {
  const Style style = Windows();
  const std::string bin = Normal("\\\\server\\share\\R\\client\\bin", "Z:/elsewhere", style);
  EXPECT_EQ(bin, "//server/share/R/client/bin");
  EXPECT_EQ(RootLength(bin, style), std::string("//server/share").size());
  EXPECT_EQ(ParentOf(ParentOf(bin, style), style), "//server/share/R");
  EXPECT_EQ(ParentOf("//server/share/R", style), "//server/share");
  EXPECT_EQ(ParentOf("//server/share", style), "(none)");
  EXPECT_EQ(Normal("//server/share/R/../..", "", style), "//server/share");
  EXPECT_EQ(Join("//server/share", "globalcfg"), "//server/share/globalcfg");
  EXPECT_EQ(Normal("\\x", "//server/share/R", style), "//server/share/x");
}

TEST(PathText, ADoubleByteCharacterWhoseTrailByteIsABackslashStaysOneName) {
  // "表" is 0x95 0x5C and "ソ" 0x83 0x5C in code page 932.
  const std::string hyou = "\x95\x5C";
  const std::string so = "\x83\x5C";
  const Style style = Windows(ShiftJisLead);
  EXPECT_EQ(Slashed("C:\\" + hyou + "\\" + so + "\\bin", style), "C:/" + hyou + "/" + so + "/bin");
  const std::string bin = Normal("C:\\" + hyou + "\\" + so + "\\bin", "", style);
  EXPECT_EQ(bin, "C:/" + hyou + "/" + so + "/bin");
  EXPECT_EQ(ParentOf(ParentOf(bin, style), style), "C:/" + hyou);
  // A backslash after a lone byte of 1252 is a separator: no lead bytes there.
  EXPECT_EQ(Normal("C:\\caf\xE9\\x", "", Windows()), "C:/caf\xE9/x");
  // Without the lead-byte test the same bytes would be cut in two.
  EXPECT_EQ(Normal("C:\\" + hyou + "x", "", Windows()), "C:/\x95/x");
}
