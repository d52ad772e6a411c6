// The address rules, fed directly.
#include <gtest/gtest.h>

#include "config/AddressRules.h"

using Addresses = std::vector<std::string>;

TEST(AddressRules, OnlyLinkLocalLoopbackAndBroadcastAreUnusable) {
  EXPECT_TRUE(quarn::IsUnusableIp("169.254.10.1"));
  EXPECT_TRUE(quarn::IsUnusableIp("127.0.0.1"));
  EXPECT_TRUE(quarn::IsUnusableIp("255.255.255.255"));
  EXPECT_FALSE(quarn::IsUnusableIp("127.0.0.2"));  // exact texts, not prefixes
  EXPECT_FALSE(quarn::IsUnusableIp("127.0.0.12"));
  EXPECT_FALSE(quarn::IsUnusableIp("255.255.255.0"));
  EXPECT_FALSE(quarn::IsUnusableIp("169.25.0.1"));
}

TEST(AddressRules, PrivatePrefixesAreWholeTextPrefixes) {
  for (const char* ip : {"10.0.0.1", "169.254.0.1", "172.16.0.1", "172.24.9.9", "172.31.255.255", "172.32.0.1",
                         "192.168.1.1", "127.0.0.1", "127.0.0.12", "127.0.0.100"})
    EXPECT_TRUE(IsPrivateIp(ip)) << ip;
  for (const char* ip :
       {"100.64.0.1", "172.160.0.1", "172.15.0.1", "172.33.0.1", "192.169.0.1", "11.0.0.1", "127.0.0.2", "8.8.8.8", ""})
    EXPECT_FALSE(IsPrivateIp(ip)) << ip;
}

TEST(AddressRules, IdentityPrefersThePrivateThenTheLast172Address) {
  struct Case {
    Addresses local;
    std::string identity;
  };
  const Case cases[] = {
      {{"127.0.0.1"}, ""},
      {{"169.254.10.1", "10.1.2.3"}, "10.1.2.3"},
      {{"8.8.8.8", "192.168.0.7", "10.0.0.1"}, "192.168.0.7"},  // list order, not block order
      {{"172.40.0.1", "172.5.0.1", "1.2.3.4"}, "172.5.0.1"},
      {{"172.15.0.1", "192.168.1.1"}, "192.168.1.1"},
      {{"172.32.0.1", "192.168.1.1"}, "172.32.0.1"},
      {{"8.8.8.8"}, ""},
      {{"127.0.0.12"}, "127.0.0.12"},
      {{"172.160.0.1"}, "172.160.0.1"},
      {{"255.255.255.255", "127.0.0.1", "169.254.1.1"}, ""},
      {{}, ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(quarn::ChooseIdentityIp(c.local), c.identity) << ::testing::PrintToString(c.local);
}

TEST(AddressRules, TheWalkStopsAfter201ExaminedAddresses) {
  const Addresses publics200(200, "8.8.8.8"), publics201(201, "8.8.8.8");
  auto with = [](Addresses list, const std::string& last) {
    list.push_back(last);
    return list;
  };
  EXPECT_EQ(quarn::ChooseIdentityIp(with(publics200, "10.0.0.1")), "10.0.0.1");
  EXPECT_EQ(quarn::ChooseIdentityIp(with(publics201, "10.0.0.1")), "");
  EXPECT_EQ(quarn::ChooseIdentityIp(with(publics200, "172.5.0.1")), "172.5.0.1");  // the 201st still counts
  EXPECT_EQ(quarn::ChooseIdentityIp(with(publics201, "172.5.0.1")), "");
  EXPECT_EQ(quarn::ChooseIdentityIp(with(Addresses(500, "169.254.1.1"), "10.0.0.1")),
            "10.0.0.1");  // skipped: not counted
}

TEST(AddressRules, UsableAddressesAreBoundedToSixInOrder) {
  const Addresses eight = {"1.1.1.1",     "127.0.0.1", "2.2.2.2", "3.3.3.3", "2.2.2.2",
                           "169.254.0.9", "4.4.4.4",   "5.5.5.5", "6.6.6.6", "7.7.7.7"};
  EXPECT_EQ(quarn::UsableAddresses(eight),
            (std::list<std::string>{"1.1.1.1", "2.2.2.2", "3.3.3.3", "2.2.2.2", "4.4.4.4", "5.5.5.5"}));
  EXPECT_EQ(quarn::UsableAddresses({"169.254.10.1", "10.1.2.3"}), std::list<std::string>{"10.1.2.3"});
  EXPECT_TRUE(quarn::UsableAddresses({"127.0.0.1"}).empty());
}

TEST(AddressRules, TheExplanationTellsWhatTheWalkMadeOfEachAddress) {
  using V = quarn::IdentityVerdict;
  const quarn::IdentityExplanation e =
      quarn::ExplainIdentityIp({"127.0.0.1", "8.8.8.8", "172.40.0.1", "172.20.1.1", "10.0.0.1"});
  EXPECT_EQ(e.chosen, "172.20.1.1");
  ASSERT_EQ(e.verdicts.size(), 5u);
  EXPECT_EQ(e.verdicts[0].kind, V::kUnusable);
  EXPECT_EQ(e.verdicts[1].kind, V::kPublic);
  EXPECT_EQ(e.verdicts[2].kind, V::kFallback172);
  EXPECT_EQ(e.verdicts[3].kind, V::kPrivate);
  EXPECT_STREQ(e.verdicts[3].prefix, "172.20.");
  EXPECT_EQ(e.verdicts[4].kind, V::kNotConsidered);  // the walk ended at the private one
  EXPECT_EQ(e.verdicts[4].address, "10.0.0.1");
  EXPECT_FALSE(e.boundReached);

  Addresses many(201, "8.8.8.8");
  many.push_back("10.0.0.1");
  const quarn::IdentityExplanation bounded = quarn::ExplainIdentityIp(many);
  EXPECT_TRUE(bounded.boundReached);
  EXPECT_EQ(bounded.verdicts.back().kind, V::kNotConsidered);
  EXPECT_EQ(bounded.chosen, "");
}

TEST(AddressRules, EachVerdictHasItsName) {
  using V = quarn::IdentityVerdict;
  EXPECT_STREQ(quarn::VerdictName(V::kUnusable), "unusable");
  EXPECT_STREQ(quarn::VerdictName(V::kPrivate), "private");
  EXPECT_STREQ(quarn::VerdictName(V::kFallback172), "172. fallback");
  EXPECT_STREQ(quarn::VerdictName(V::kPublic), "not private");
  EXPECT_STREQ(quarn::VerdictName(V::kNotConsidered), "not considered");
  EXPECT_STREQ(quarn::VerdictName(static_cast<V::Kind>(99)), "unknown");
}
