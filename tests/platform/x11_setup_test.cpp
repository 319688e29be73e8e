// The X protocol pieces the display mode is asked with, on made-up bytes.

#include <gtest/gtest.h>

#include "platform/machine_info.h"

namespace {

using namespace Platform;
using TBytes = std::vector<std::uint8_t>;

void AddBigEndianCounted(TBytes& bytes, std::string_view text) {
  bytes.push_back(static_cast<std::uint8_t>(text.size() >> 8));
  bytes.push_back(static_cast<std::uint8_t>(text.size()));
  bytes.insert(bytes.end(), text.begin(), text.end());
}

void AddAuthority(TBytes& bytes, std::uint16_t family, std::string_view address,
                  std::string_view number, std::string_view name, std::string_view data) {
  bytes.push_back(static_cast<std::uint8_t>(family >> 8));
  bytes.push_back(static_cast<std::uint8_t>(family));
  for (std::string_view field : {address, number, name, data}) AddBigEndianCounted(bytes, field);
}

// Beyond the value's four bytes, zeros: a shift by 32 or more is undefined.
void AddLittle(TBytes& bytes, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i)
    bytes.push_back(i < 4 ? static_cast<std::uint8_t>(value >> (8 * i)) : 0);
}

// A setup reply with two screens; the first has one depth with two visuals.
TBytes SetupReply() {
  TBytes data;
  AddLittle(data, 12101011, 4);  // release
  AddLittle(data, 0, 12);
  AddLittle(data, 3, 2);  // vendor length
  AddLittle(data, 65535, 2);
  data.push_back(2);  // screens
  data.push_back(2);  // formats
  AddLittle(data, 0, 10);
  data.insert(data.end(), {'X', 'o', 'r', 0});  // vendor, padded
  data.insert(data.end(), {1, 1, 32, 0, 0, 0, 0, 0});
  data.insert(data.end(), {24, 32, 32, 0, 0, 0, 0, 0});
  const auto addScreen = [&](int width, int height, int depth, int depths) {
    AddLittle(data, 0, 20);
    AddLittle(data, width, 2);
    AddLittle(data, height, 2);
    AddLittle(data, 0, 14);
    data.push_back(static_cast<std::uint8_t>(depth));
    data.push_back(static_cast<std::uint8_t>(depths));
  };
  addScreen(1920, 1080, 24, 1);
  data.insert(data.end(), {24, 0, 2, 0, 0, 0, 0, 0});
  AddLittle(data, 0, 48);  // two visuals
  addScreen(800, 600, 1, 0);
  TBytes reply = {1, 0, 11, 0, 0, 0};
  AddLittle(reply, static_cast<std::uint32_t>(data.size() / 4), 2);
  reply.insert(reply.end(), data.begin(), data.end());
  return reply;
}

TEST(ParseX11Display, HostDisplayAndScreen) {
  const auto local = ParseX11Display(":0");
  ASSERT_TRUE(local);
  EXPECT_EQ(local->Host, "");
  EXPECT_EQ(local->Display, 0);
  EXPECT_EQ(local->Screen, 0);
  const auto forwarded = ParseX11Display("localhost:10.1");
  ASSERT_TRUE(forwarded);
  EXPECT_EQ(forwarded->Host, "localhost");
  EXPECT_EQ(forwarded->Display, 10);
  EXPECT_EQ(forwarded->Screen, 1);
}

TEST(ParseX11Display, RejectsWhatIsNoDisplay) {
  EXPECT_FALSE(ParseX11Display(""));
  EXPECT_FALSE(ParseX11Display("0"));
  EXPECT_FALSE(ParseX11Display(":"));
  EXPECT_FALSE(ParseX11Display(":x"));
  EXPECT_FALSE(ParseX11Display(":0."));
  EXPECT_FALSE(ParseX11Display(":-1"));
}

TEST(X11CookieOf, EntryOfThisHostAndDisplay) {
  TBytes file;
  AddAuthority(file, 256, "other", "0", "MIT-MAGIC-COOKIE-1", "wrong host");
  AddAuthority(file, 256, "vm", "1", "MIT-MAGIC-COOKIE-1", "wrong display");
  AddAuthority(file, 256, "vm", "0", "XDM-AUTHORIZATION-1", "wrong kind");
  AddAuthority(file, 256, "vm", "0", "MIT-MAGIC-COOKIE-1", "right");
  EXPECT_EQ(X11CookieOf(file, "vm", 0), "right");
  EXPECT_EQ(X11CookieOf(file, "vm", 1), "wrong display");
  EXPECT_EQ(X11CookieOf(file, "vm", 2), "");
}

TEST(X11CookieOf, WildcardEntriesMatchAnyHost) {
  TBytes file;
  AddAuthority(file, 65535, "", "0", "MIT-MAGIC-COOKIE-1", "wild");
  EXPECT_EQ(X11CookieOf(file, "anyhost", 0), "wild");
}

TEST(X11CookieOf, CutFilesGiveNoCookie) {
  TBytes file;
  AddAuthority(file, 256, "vm", "0", "MIT-MAGIC-COOKIE-1", "right");
  file.resize(file.size() - 1);
  EXPECT_EQ(X11CookieOf(file, "vm", 0), "");
  EXPECT_EQ(X11CookieOf({}, "vm", 0), "");
}

TEST(X11SetupRequest, PaddedNameAndCookie) {
  const TBytes request = X11SetupRequest("0123456789abcdef");
  ASSERT_EQ(request.size(), 12u + 20u + 16u);
  EXPECT_EQ(request[0], 'l');
  EXPECT_EQ(request[2], 11);
  EXPECT_EQ(request[6], 18);  // name length
  EXPECT_EQ(request[8], 16);  // data length
  EXPECT_EQ(std::string(request.begin() + 12, request.begin() + 30), "MIT-MAGIC-COOKIE-1");
  EXPECT_EQ(std::string(request.begin() + 32, request.end()), "0123456789abcdef");
  EXPECT_EQ(X11SetupRequest("").size(), 12u);
}

TEST(DisplayModeOfX11Setup, ScreenSizeAndBitsOfTheRootDepthsFormat) {
  const auto first = DisplayModeOfX11Setup(SetupReply(), 0);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->Width, 1920);
  EXPECT_EQ(first->Height, 1080);
  EXPECT_EQ(first->BitsPerPixel, 32);
  const auto second = DisplayModeOfX11Setup(SetupReply(), 1);
  ASSERT_TRUE(second);
  EXPECT_EQ(second->Width, 800);
  EXPECT_EQ(second->BitsPerPixel, 1);
}

TEST(DisplayModeOfX11Setup, RefusalsAndCutRepliesGiveNothing) {
  TBytes refused = SetupReply();
  refused[0] = 0;
  EXPECT_FALSE(DisplayModeOfX11Setup(refused, 0));
  EXPECT_FALSE(DisplayModeOfX11Setup(SetupReply(), 2));
  EXPECT_FALSE(DisplayModeOfX11Setup(SetupReply(), -1));
  const TBytes full = SetupReply();
  for (std::size_t size = 0; size < full.size(); size += 7) {
    const auto mode = DisplayModeOfX11Setup(std::span(full).first(size), 1);
    EXPECT_FALSE(mode) << size;
  }
}

}  // namespace
