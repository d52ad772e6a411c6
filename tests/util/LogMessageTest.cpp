#include <gtest/gtest.h>

#include <regex>

#include "support/TestSupport.h"
#include "util/LogMessage.h"

using kqt::CLogMessage;
using quarn_test::CapturedLog;

TEST(LogMessage, WritesMessagesAtOrBelowTheThreshold) {
  CapturedLog log;
  CLogMessage* logger = CLogMessage::GetInstance();
  EXPECT_EQ(logger->GetLogLevel(), 4);
  logger->WriteLogMessage("kept at 4", 4);
  logger->WriteLogMessage("dropped at 5", 5);
  logger->SetLogLevel(1);
  logger->WriteLogMessage("dropped at 2", 2);
  logger->WriteLogMessage("kept at 1", 1);

  const std::vector<std::string> lines = log.Lines();
  ASSERT_EQ(lines.size(), 2u) << log.Text();
  EXPECT_NE(lines[0].find("kept at 4"), std::string::npos);
  EXPECT_NE(lines[1].find("kept at 1"), std::string::npos);
}

TEST(LogMessage, LinesCarryTimeLevelSourceAndLine) {
  CapturedLog log;
  CLogMessage::GetInstance()->log(2, "QuarnConfig", 283, "load config error: %s", "/x/cli_config.ini");
  CLogMessage::GetInstance()->WriteLogMessage("get uuid failed!", 2);
  const std::vector<std::string> lines = log.Lines();
  ASSERT_EQ(lines.size(), 2u);
  const std::regex stamped(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} \[2\] (.*)$)");
  std::smatch match;
  ASSERT_TRUE(std::regex_match(lines[0], match, stamped)) << lines[0];
  EXPECT_EQ(match[1].str(), "QuarnConfig:283 load config error: /x/cli_config.ini");
  ASSERT_TRUE(std::regex_match(lines[1], match, stamped)) << lines[1];
  EXPECT_EQ(match[1].str(), "get uuid failed!");
}

TEST(LogMessage, LongFormattedMessagesAreNotCut) {
  CapturedLog log;
  const std::string path(5000, 'p');
  CLogMessage::GetInstance()->log(2, "QuarnConfig", 283, "load config error: %s", path.c_str());
  EXPECT_NE(log.Text().find("load config error: " + path + "\n"), std::string::npos);
}
