// The bounded read of a whole small file that the libraries share.
#include "util/platform/ReadFile.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

using kqt::sys::ReadRegularFile;
using kqt::sys::ReadStatus;

TEST(ReadFile, ARegularFileIsReadWholeUpToTheLimit) {
  quarn_test::TempDir dir;
  const std::string path = dir.path() + "/f.txt";
  quarn_test::WriteFile(path, std::string("a\0b\r\n", 5));
  std::string content = "old";
  EXPECT_EQ(ReadRegularFile(path, 5, content), ReadStatus::kOk);
  EXPECT_EQ(content, std::string("a\0b\r\n", 5));
  content = "old";
  EXPECT_EQ(ReadRegularFile(path, 4, content), ReadStatus::kTooLarge);
  EXPECT_EQ(content, "old") << "nothing is handed out";
  quarn_test::WriteFile(path, "");
  EXPECT_EQ(ReadRegularFile(path, 4, content), ReadStatus::kOk);
  EXPECT_EQ(content, "");
}

TEST(ReadFile, AnythingButARegularFileIsRefusedAtOnce) {
  quarn_test::TempDir dir;
  std::string content;
  EXPECT_EQ(ReadRegularFile(dir.path() + "/missing", 100, content), ReadStatus::kMissing);
  EXPECT_EQ(ReadRegularFile(dir.path() + "/missing/x", 100, content), ReadStatus::kMissing);
  EXPECT_EQ(ReadRegularFile(dir.path(), 100, content), ReadStatus::kNotRegular);
#if defined(_WIN32)
  EXPECT_EQ(ReadRegularFile("NUL", 100, content), ReadStatus::kNotRegular);
#else
  EXPECT_EQ(ReadRegularFile("/dev/zero", 100, content), ReadStatus::kNotRegular);
  ASSERT_TRUE(quarn_test::MakeFifo(dir.path() + "/fifo"));
  EXPECT_EQ(ReadRegularFile(dir.path() + "/fifo", 100, content), ReadStatus::kNotRegular);  // no writer: no wait
#endif
}
