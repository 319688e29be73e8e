#include "reporter/settings/cipher.h"

#include <gtest/gtest.h>

namespace {

using namespace Reporter::Settings::Cipher;

std::vector<std::uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

TEST(Base64, MatchesTheRfcVectorsBothWays) {
  const std::pair<std::string_view, std::string_view> vectors[] = {{"", ""},
                                                                   {"f", "Zg=="},
                                                                   {"fo", "Zm8="},
                                                                   {"foo", "Zm9v"},
                                                                   {"foob", "Zm9vYg=="},
                                                                   {"fooba", "Zm9vYmE="},
                                                                   {"foobar", "Zm9vYmFy"}};
  for (const auto& [plain, encoded] : vectors) {
    EXPECT_EQ(Base64Encode(Bytes(plain)), encoded);
    EXPECT_EQ(Base64Decode(encoded), Bytes(plain)) << encoded;
  }
  EXPECT_EQ(Base64Decode("+/+/"), (std::vector<std::uint8_t>{0xFB, 0xFF, 0xBF}));
}

TEST(Base64, RefusesMalformedText) {
  for (const std::string_view bad :
       {"Zm9", "Zm=v", "Zg=A", "Zm9v====", "Z===", "Zm9v Zg==", "Zm9v\n", "Zg==Zg==", "Zm9-"}) {
    EXPECT_FALSE(Base64Decode(bad)) << bad;
  }
}

TEST(Cipher, RoundTripsEveryLengthWithAWholeBlockOfPadding) {
  std::vector<std::uint8_t> plain;
  for (int length = 0; length <= 17; ++length) {
    const auto enciphered = Encipher(plain, "key", 1);
    EXPECT_EQ(enciphered.size(), (plain.size() / 8 + 1) * 8);
    EXPECT_EQ(Decipher(enciphered, "key", 1), plain);
    plain.push_back(static_cast<std::uint8_t>(length * 37));
  }
}

TEST(Cipher, KeyTextAndSeedBothChangeTheResult) {
  const auto plain = Bytes("same plain text");
  const auto base = Encipher(plain, "key", 1);
  EXPECT_NE(Encipher(plain, "kez", 1), base);
  EXPECT_NE(Encipher(plain, "key", 2), base);
  EXPECT_NE(Encipher(plain, "", 1), base);
}

TEST(Cipher, RefusesWrongLengthsAndPadding) {
  EXPECT_FALSE(Decipher({}, "key", 1));
  EXPECT_FALSE(Decipher(Bytes("seven.."), "key", 1));
  auto enciphered = Encipher(Bytes("pw"), "key", 1);
  enciphered.pop_back();
  EXPECT_FALSE(Decipher(enciphered, "key", 1));
}

// Resources compiled with an earlier build must still decipher: the algorithm is frozen.
TEST(Cipher, StoredFormIsStable) {
  EXPECT_EQ(EncipherPassword("secret", "user@example.com", "https://tracker.example/"),
            "3SnszKGJQYIeVVpluZi5sA==");
}

TEST(Password, RoundTripsWithEitherKeyOrBoth) {
  const std::string plain = "s3cret \xC3\xA4\xC3\xB6";
  for (const auto& [account, server] : std::vector<std::pair<std::string, std::string>>{
           {"user@example.com", "https://tracker.example/"},
           {"user", ""},
           {"", "host"},
           {"", ""}}) {
    const std::string stored = EncipherPassword(plain, account, server);
    EXPECT_NE(stored, plain);
    EXPECT_EQ(DecipherPassword(stored, account, server), plain) << account << "|" << server;
  }
}

TEST(Password, TheAccountPassComesFirstWhenEnciphering) {
  const std::string twice = EncipherPassword("pw", "account", "server");
  const auto bytes = *Base64Decode(twice);
  const auto serverPassOff = *Decipher(bytes, "server", kServerSeed);
  EXPECT_EQ(Decipher(serverPassOff, "account", kAccountSeed), Bytes("pw"));
}

TEST(Password, EmptyStaysEmptyAndMalformedGivesEmpty) {
  EXPECT_EQ(EncipherPassword("", "account", "server"), "");
  EXPECT_EQ(DecipherPassword("", "account", "server"), "");
  EXPECT_EQ(DecipherPassword("not base64!", "account", "server"), "");
  EXPECT_EQ(DecipherPassword("Zm9v", "account", "server"), "");  // 3 bytes: no block
  const std::string stored = EncipherPassword("pw", "account", "server");
  EXPECT_NE(DecipherPassword(stored, "account", "other server"), "pw");
}

}  // namespace
