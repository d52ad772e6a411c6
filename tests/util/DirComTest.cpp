#include <gtest/gtest.h>

#include "support/TestSupport.h"
#include "util/DirCom.h"

using kqt::CDirCom;
using quarn_test::IsDirectory;
using quarn_test::TempDir;

TEST(DirCom, MovesIntoChildrenAndParentsWhetherOrNotTheyExist) {
  TempDir dir;
  CDirCom cursor(dir.path());
  EXPECT_TRUE(cursor.exists());

  EXPECT_FALSE(cursor.cd("missing"));
  EXPECT_EQ(cursor.absolutePath(), dir.path() + "/missing");
  EXPECT_FALSE(cursor.exists());

  EXPECT_TRUE(cursor.cdUp());
  EXPECT_EQ(cursor.absolutePath(), dir.path());
  EXPECT_TRUE(cursor.cdUp());
  EXPECT_EQ(cursor.absolutePath() + "/" + dir.path().substr(dir.path().find_last_of('/') + 1), dir.path());
}

TEST(DirCom, RelativeChildNamesAndDotsAreResolved) {
  TempDir dir;
  CDirCom cursor(dir.path() + "/a/../b/./");
  EXPECT_EQ(cursor.absolutePath(), dir.path() + "/b");
  cursor.cd("./globalcfg");
  EXPECT_EQ(cursor.absolutePath(), dir.path() + "/b/globalcfg");
  EXPECT_EQ(cursor.path(), dir.path() + "/b/globalcfg");
  cursor.cd("..");
  EXPECT_EQ(cursor.absolutePath(), dir.path() + "/b");
}

TEST(DirCom, PathIsKeptAsSetAndAbsoluteFormHasNoTrailingSeparator) {
  TempDir dir;
  CDirCom cursor;
  cursor.setPath(dir.path() + "/x/");
  EXPECT_EQ(cursor.path(), dir.path() + "/x/");
  EXPECT_EQ(cursor.absolutePath(), dir.path() + "/x");
  EXPECT_EQ(cursor.absoluteFilePath("f.txt"), dir.path() + "/x/f.txt");
  cursor = dir.path();
  EXPECT_EQ(cursor.path(), dir.path());
}

TEST(DirCom, RootStaysRootAndJoinsWithoutDoubleSeparator) {
#if defined(_WIN32)
  CDirCom cursor("C:/");
  EXPECT_FALSE(cursor.cdUp());
  EXPECT_EQ(cursor.absolutePath(), "C:/");
  EXPECT_EQ(cursor.absoluteFilePath("x"), "C:/x");
#else
  CDirCom cursor("/");
  EXPECT_FALSE(cursor.cdUp());
  EXPECT_EQ(cursor.absolutePath(), "/");
  EXPECT_EQ(cursor.absoluteFilePath("x"), "/x");
#endif
}

TEST(DirCom, MakesAChildDirectoryOnce) {
  TempDir dir;
  CDirCom cursor(dir.path());
  EXPECT_TRUE(cursor.mkdir("child"));
  EXPECT_TRUE(IsDirectory(dir.path() + "/child"));
  EXPECT_FALSE(cursor.mkdir("child"));                         // already there
  EXPECT_FALSE(CDirCom(dir.path() + "/none").mkdir("child"));  // parent missing
}
