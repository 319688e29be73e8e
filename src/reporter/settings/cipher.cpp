#include "reporter/settings/cipher.h"

#include <algorithm>
#include <array>

#include "rtl/text.h"

namespace Reporter::Settings::Cipher {
namespace {

using Key = std::array<std::uint32_t, 4>;
constexpr std::uint32_t kDelta = 0x9E3779B9u;
constexpr int kCycles = 32;
constexpr std::size_t kBlock = 8;

Key DeriveKey(std::string_view text, std::uint32_t seed) {
  Key key{};
  for (std::uint32_t i = 0; i < key.size(); ++i) {
    std::uint32_t h = seed ^ (kDelta * (i + 1));
    for (const char c : text) {
      h ^= static_cast<std::uint8_t>(c);
      h *= 16777619u;
    }
    h ^= static_cast<std::uint32_t>(text.size());
    h ^= h >> 16;
    h *= 0x85EBCA6Bu;
    h ^= h >> 13;
    h *= 0xC2B2AE35u;
    h ^= h >> 16;
    key[i] = h;
  }
  return key;
}

void EncipherBlock(std::uint32_t& v0, std::uint32_t& v1, const Key& key) {
  std::uint32_t sum = 0;
  for (int i = 0; i < kCycles; ++i) {
    v0 += (((v1 << 4) ^ (v1 >> 5)) + v1) ^ (sum + key[sum & 3]);
    sum += kDelta;
    v1 += (((v0 << 4) ^ (v0 >> 5)) + v0) ^ (sum + key[(sum >> 11) & 3]);
  }
}

void DecipherBlock(std::uint32_t& v0, std::uint32_t& v1, const Key& key) {
  std::uint32_t sum = kDelta * kCycles;
  for (int i = 0; i < kCycles; ++i) {
    v1 -= (((v0 << 4) ^ (v0 >> 5)) + v0) ^ (sum + key[(sum >> 11) & 3]);
    sum -= kDelta;
    v0 -= (((v1 << 4) ^ (v1 >> 5)) + v1) ^ (sum + key[sum & 3]);
  }
}

std::uint32_t Load(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
         std::uint32_t{p[3]} << 24;
}

void Store(std::uint32_t value, std::uint8_t* p) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int Base64Value(char c) {
  const std::size_t found = kAlphabet.find(c);
  return found == std::string_view::npos ? -1 : static_cast<int>(found);
}

std::span<const std::uint8_t> AsBytes(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

}  // namespace

std::string Base64Encode(std::span<const std::uint8_t> bytes) {
  std::string text;
  text.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t count = std::min<std::size_t>(3, bytes.size() - i);
    std::uint32_t group = std::uint32_t{bytes[i]} << 16;
    if (count > 1) group |= std::uint32_t{bytes[i + 1]} << 8;
    if (count > 2) group |= bytes[i + 2];
    for (std::size_t j = 0; j < 4; ++j) {
      text += j <= count ? kAlphabet[(group >> (18 - 6 * j)) & 63] : '=';
    }
  }
  return text;
}

std::optional<std::vector<std::uint8_t>> Base64Decode(std::string_view text) {
  if (text.size() % 4 != 0) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  bytes.reserve(text.size() / 4 * 3);
  for (std::size_t i = 0; i < text.size(); i += 4) {
    const bool last = i + 4 == text.size();
    std::size_t padding = 0;
    std::uint32_t group = 0;
    for (std::size_t j = 0; j < 4; ++j) {
      const char c = text[i + j];
      if (c == '=' && last && j >= 2) {
        ++padding;
        group <<= 6;
        continue;
      }
      const int value = Base64Value(c);
      if (value < 0 || padding > 0) return std::nullopt;  // "=" only at the very end
      group = group << 6 | static_cast<std::uint32_t>(value);
    }
    bytes.push_back(static_cast<std::uint8_t>(group >> 16));
    if (padding < 2) bytes.push_back(static_cast<std::uint8_t>(group >> 8));
    if (padding < 1) bytes.push_back(static_cast<std::uint8_t>(group));
  }
  return bytes;
}

std::vector<std::uint8_t> Encipher(std::span<const std::uint8_t> plain, std::string_view keyText,
                                   std::uint32_t seed) {
  const Key key = DeriveKey(keyText, seed);
  const std::size_t pad = kBlock - plain.size() % kBlock;
  std::vector<std::uint8_t> data(plain.begin(), plain.end());
  data.insert(data.end(), pad, static_cast<std::uint8_t>(pad));
  std::uint32_t chain0 = 0, chain1 = 0;
  for (std::size_t i = 0; i < data.size(); i += kBlock) {
    std::uint32_t v0 = Load(&data[i]) ^ chain0;
    std::uint32_t v1 = Load(&data[i + 4]) ^ chain1;
    EncipherBlock(v0, v1, key);
    Store(v0, &data[i]);
    Store(v1, &data[i + 4]);
    chain0 = v0;
    chain1 = v1;
  }
  return data;
}

std::optional<std::vector<std::uint8_t>> Decipher(std::span<const std::uint8_t> enciphered,
                                                  std::string_view keyText, std::uint32_t seed) {
  if (enciphered.empty() || enciphered.size() % kBlock != 0) return std::nullopt;
  const Key key = DeriveKey(keyText, seed);
  std::vector<std::uint8_t> data(enciphered.begin(), enciphered.end());
  std::uint32_t chain0 = 0, chain1 = 0;
  for (std::size_t i = 0; i < data.size(); i += kBlock) {
    const std::uint32_t c0 = Load(&data[i]);
    const std::uint32_t c1 = Load(&data[i + 4]);
    std::uint32_t v0 = c0, v1 = c1;
    DecipherBlock(v0, v1, key);
    Store(v0 ^ chain0, &data[i]);
    Store(v1 ^ chain1, &data[i + 4]);
    chain0 = c0;
    chain1 = c1;
  }
  const std::uint8_t pad = data.back();
  if (pad < 1 || pad > kBlock) return std::nullopt;
  for (std::size_t i = data.size() - pad; i < data.size(); ++i) {
    if (data[i] != pad) return std::nullopt;
  }
  // erase, not resize: GCC with the sanitizers warns of resize's growing path, never taken here.
  data.erase(data.end() - pad, data.end());
  return data;
}

std::string EncipherPassword(std::string_view plain, std::string_view account,
                             std::string_view server) {
  if (plain.empty()) return {};
  std::vector<std::uint8_t> data(AsBytes(plain).begin(), AsBytes(plain).end());
  if (!account.empty()) data = Encipher(data, account, kAccountSeed);
  if (!server.empty()) data = Encipher(data, server, kServerSeed);
  return Base64Encode(data);
}

std::string DecipherPassword(std::string_view stored, std::string_view account,
                             std::string_view server) {
  if (stored.empty()) return {};
  std::optional<std::vector<std::uint8_t>> data = Base64Decode(stored);
  if (data && !server.empty()) data = Decipher(*data, server, kServerSeed);
  if (data && !account.empty()) data = Decipher(*data, account, kAccountSeed);
  if (!data) return {};
  const std::string_view utf8(reinterpret_cast<const char*>(data->data()), data->size());
  // Malformed UTF-8 (a wrong key that happened to leave valid padding) becomes U+FFFD.
  return RTL::Text::Utf16ToUtf8(RTL::Text::Utf8ToUtf16(utf8));
}

}  // namespace Reporter::Settings::Cipher
