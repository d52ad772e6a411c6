// The walk of an INI file against the INI reader itself: the keys of the
// unnamed section, handed to the reader alone, must give it exactly what
// the whole file gives it, whatever comes between them.
#include "config/IniSyntax.h"

#include <SimpleIni.h>
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

namespace S = quarn::settings;

namespace {

// What the reader holds under the unnamed section: each key (as first
// written) with its value.
std::map<std::string, std::string> UnnamedKeys(const std::string& content) {
  CSimpleIniA reader(false, false, false);
  EXPECT_GE(reader.LoadData(content.data(), content.size()), 0);
  std::map<std::string, std::string> keys;
  if (const CSimpleIniA::TKeyVal* section = reader.GetSection(""))
    for (const auto& entry : *section) keys[entry.first.pItem] = entry.second;
  return keys;
}

void ExpectSameKeys(const std::string& content) {
  SCOPED_TRACE(::testing::PrintToString(content));
  EXPECT_EQ(UnnamedKeys(S::UnnamedSectionText(content)), UnnamedKeys(content));
}

std::string Text(const std::string& content, S::IniSpan span) { return content.substr(span.begin, span.size()); }

}  // namespace

// Each shape where the reader's section rules are not what a person would
// guess: headers that lead back to the unnamed section, a "[" whose name
// stands on a later line, a header that swallows the next line, and what a
// byte-order mark and a NUL byte do.
TEST(IniSyntax, TheUnnamedSectionsKeysGiveTheReaderWhatTheWholeFileGives) {
  const std::vector<std::string> shapes = {
      "a=1\n[s]\na=2\n",
      "a=1\n[s]\nb=2\n[]\na=3\n",          // an empty name: the unnamed section again
      "[s]\nb=2\n[ \t ]\nb=3\n",           // a blank one too
      "[s]\nx=1\n[\n]\nx=2\n",             // "[" and "]" on two lines
      "[s]\nx=1\n[\n\n   \r\n  ]\nx=2\n",  // with blank lines between
      "[\nk=1\n",                          // the line after "[" becomes the name
      "[\n\nk=1]\nk=2\n",                  // ... and a header of that name
      "k=0\n[abc\nk=1\n[]\nk=2\n",         // a broken header, then back
      "[s]trailing words\nk=1\n[]more\nk=2",
      "\xEF\xBB\xBF\xEF\xBB\xBFk=1\n",  // a second mark is part of the key
      "\xEF\xBB\xBF[]\nk=1\n",
      std::string("k=1\n[s]\0\nk=2\n[]\nj=3", 19),  // the reader stops at NUL
      std::string("\0k=1", 4),
      "k = spaced value \t\r\nK=again\rj=x\r\n",
      ";c\n  # c\n\n;k=1\nk=2\n#[s]\nj=3\n",
      "=1\nno equals\n  =2\nk==3\n[=]\nk=4\n",
      "[",
      "[   ",
      "[s",
      "k=1\n[",
  };
  for (const std::string& shape : shapes) ExpectSameKeys(shape);

  // And the characters that matter, put together at random.
  std::mt19937 random(9122026);
  const std::vector<std::string> pieces = {"k",
                                           "K",
                                           "j",
                                           "=",
                                           "=",
                                           " ",
                                           "\t",
                                           "\n",
                                           "\n",
                                           "\r\n",
                                           "\r",
                                           "[",
                                           "]",
                                           "[]",
                                           "[s]",
                                           ";",
                                           "#",
                                           "x y",
                                           "1",
                                           "[ ",
                                           " ]",
                                           "\xEF\xBB\xBF",
                                           std::string(1, '\0')};
  for (int round = 0; round < 20000; ++round) {
    std::string content;
    const int count = 1 + static_cast<int>(random() % 30);
    for (int i = 0; i < count; ++i) content += pieces[random() % pieces.size()];
    ExpectSameKeys(content);
    if (HasFailure()) break;
  }
}

// The items the inspector places in the file: where each is and what the
// reader makes of it.
TEST(IniSyntax, EachItemIsWhereTheReaderFindsIt) {
  const std::string content =
      "\xEF\xBB\xBF"
      " key = a value \n"
      "; comment\n"
      "no equals\n"
      "=nothing before\n"
      "[ sec ] tail\n"
      "k2=v2\n"
      "[broken\n"
      "k3=v3\n";
  std::vector<S::IniItem> items;
  const S::IniWalk walk = S::WalkIni(content, [&](const S::IniItem& item) { items.push_back(item); });
  EXPECT_TRUE(walk.byteOrderMark);
  EXPECT_EQ(walk.end, content.size());
  ASSERT_EQ(items.size(), 7u);
  using K = S::IniItem::Kind;
  EXPECT_EQ(items[0].kind, K::kKey);
  EXPECT_EQ(Text(content, items[0].key), "key");
  EXPECT_EQ(Text(content, items[0].value), "a value");
  EXPECT_EQ(Text(content, items[0].text), "key = a value ");
  EXPECT_TRUE(items[0].section.empty());
  EXPECT_EQ(items[1].kind, K::kNoEquals);
  EXPECT_EQ(Text(content, items[1].text), "no equals");
  EXPECT_EQ(items[2].kind, K::kNothingBeforeEquals);
  EXPECT_EQ(Text(content, items[2].text), "=nothing before");
  EXPECT_EQ(items[3].kind, K::kSectionHeader);
  EXPECT_EQ(Text(content, items[3].section), "sec");
  EXPECT_EQ(Text(content, items[3].text), "[ sec ] tail");
  EXPECT_EQ(Text(content, items[4].section), "sec");
  EXPECT_EQ(items[5].kind, K::kBrokenSectionHeader);
  EXPECT_EQ(Text(content, items[5].section), "broken");
  EXPECT_EQ(Text(content, items[6].section), "broken");

  // What lies after a NUL byte, walked as if the reader had gone on.
  const std::string cut("a=1\0b=2\n", 8);
  int keys = 0;
  const S::IniWalk first = S::WalkIni(cut, [&](const S::IniItem&) { ++keys; });
  EXPECT_EQ(first.end, 3u);
  EXPECT_EQ(keys, 1);
  std::string after;
  S::WalkIniFrom(cut, first.end + 1, [&](const S::IniItem& item) { after = Text(cut, item.key); });
  EXPECT_EQ(after, "b");
}

// A long section name followed by many keys: the reader alone compares the
// whole name again for every key. Given only the unnamed section, it sees
// just the keys before the header.
TEST(IniSyntax, KeysUnderALongSectionNeverReachTheReader) {
  std::string content = "defaultinstall=x\n[" + std::string(1 << 16, 'S') + "]\n";
  for (int i = 0; i < 20000; ++i) content += "a=\n";
  EXPECT_EQ(S::UnnamedSectionText(content), "\ndefaultinstall=x\n");
}
