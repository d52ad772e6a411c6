#include <gtest/gtest.h>

#include "support/TestSupport.h"
#include "util/FileCom.h"
#include "util/FileUtil.h"

using kqt::CFileCom;
using kqt::CFileUtil;
using quarn_test::TempDir;
using quarn_test::WriteFile;

TEST(FileUtil, ReadLineGivesTheFirstLineWithoutItsEnd) {
  TempDir dir;
  const std::string path = dir.path() + "/f.txt";
  std::string line = "untouched";

  WriteFile(path, "  first  \r\nsecond\n");
  EXPECT_TRUE(CFileUtil::ReadLine(path, line));
  EXPECT_EQ(line, "  first  ");

  WriteFile(path, "only");  // no line end at all
  EXPECT_TRUE(CFileUtil::ReadLine(path, line));
  EXPECT_EQ(line, "only");

  WriteFile(path, "\nsecond\n");  // blank first line is still a line
  EXPECT_TRUE(CFileUtil::ReadLine(path, line));
  EXPECT_EQ(line, "");
}

TEST(FileUtil, ReadLineFailsWhenNothingCanBeRead) {
  TempDir dir;
  std::string line = "untouched";
  WriteFile(dir.path() + "/empty.txt", "");
  EXPECT_FALSE(CFileUtil::ReadLine(dir.path() + "/empty.txt", line));
  EXPECT_FALSE(CFileUtil::ReadLine(dir.path() + "/missing.txt", line));
  EXPECT_FALSE(CFileUtil::ReadLine(dir.path(), line));  // a directory
  EXPECT_EQ(line, "untouched");
}

TEST(FileUtil, SizesAndFileTests) {
  TempDir dir;
  const std::string path = dir.path() + "/f.bin";
  WriteFile(path, std::string(512, '\0'));
  EXPECT_TRUE(CFileUtil::IsFile(path));
  EXPECT_FALSE(CFileUtil::IsFile(dir.path()));
  EXPECT_FALSE(CFileUtil::IsFile(dir.path() + "/missing"));
  EXPECT_EQ(CFileUtil::GetFileSize(path), 512u);
  EXPECT_EQ(CFileUtil::GetFileSize(dir.path() + "/missing"), 0u);
  EXPECT_EQ(CFileUtil::GetFileSize(dir.path()), 0u);

  CFileCom file(path);
  EXPECT_EQ(file.size(), 0);  // not open yet
  EXPECT_TRUE(file.open(CFileCom::ReadOnly));
  EXPECT_EQ(file.size(), 512);

  CFileCom missing(dir.path() + "/missing");
  EXPECT_FALSE(missing.open(CFileCom::ReadOnly));
  EXPECT_EQ(missing.size(), 0);
}
