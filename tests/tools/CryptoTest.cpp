// The platform's SHA-256 and HMAC-SHA-256, against the published test
// vectors (FIPS 180-2, RFC 4231): natively OpenSSL's, on Windows CryptoAPI's.
#include "bundle/Crypto.h"

#include <gtest/gtest.h>

#include "report/Utf8Text.h"

namespace {

using quarn_tools::HexBytes;

TEST(Crypto, Sha256GivesThePublishedDigestsWholeOrInParts) {
  quarn_tools::Sha256 abc;
  abc.Add("abc");
  EXPECT_EQ(HexBytes(abc.Finish()), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  quarn_tools::Sha256 none;
  EXPECT_EQ(HexBytes(none.Finish()), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  quarn_tools::Sha256 parts;
  for (const char* part : {"abcdbcdecdefdefgefghfghighij", "hijkijkljklmklmnlmnomnopnopq"}) parts.Add(part);
  EXPECT_EQ(HexBytes(parts.Finish()), "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
}

TEST(Crypto, HmacSha256GivesTheRfc4231Codes) {
  const quarn_tools::HmacSha256 short20(std::string(20, '\x0b'));
  EXPECT_EQ(HexBytes(short20.Of("Hi There")), "b0344c61d8db38535ca8afceaf0bf12b881dc200c9833da726e9376c2e32cff7");
  EXPECT_EQ(HexBytes(short20.Of("Hi There")), HexBytes(short20.Of("Hi There")));  // one key, many messages
  const quarn_tools::HmacSha256 jefe("Jefe");
  EXPECT_EQ(HexBytes(jefe.Of("what do ya want for nothing?")),
            "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843");
  const quarn_tools::HmacSha256 longKey(std::string(131, '\xaa'));  // longer than a block: hashed first
  EXPECT_EQ(HexBytes(longKey.Of("Test Using Larger Than Block-Size Key - Hash Key First")),
            "60e431591ee0b67f0d8a26aacbf5b77f8e0bc6213728c5140546040f0ee37f54");
}

TEST(Crypto, RandomBytesDifferFromCallToCall) {
  std::string a, b;
  ASSERT_TRUE(quarn_tools::RandomBytes(32, a));
  ASSERT_TRUE(quarn_tools::RandomBytes(32, b));
  EXPECT_EQ(a.size(), 32u);
  EXPECT_NE(a, b);
}

}  // namespace
