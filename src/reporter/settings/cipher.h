#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Keeps the stored passwords of the settings resource from being read off the executable at a
// glance. The keys are in the program, so this is obfuscation, not protection.
//
// Block cipher: XTEA, 64-bit blocks, 32 cycles, in CBC mode with an all-zero IV, so equal
// plain texts under equal keys give equal cipher texts. Padding: 1 to 8 bytes, each holding
// the pad length, always present (a full block of 8s for a multiple of 8).
// Key: four 32-bit words; word i starts as seed ^ (0x9E3779B9 * (i + 1)), takes every byte of
// the key text's UTF-8 with FNV-1a (xor, multiply by 16777619), then the text's length and the
// MurmurHash3 finalizer.
namespace Reporter::Settings::Cipher {

// The seeds of the two passes of a stored password.
inline constexpr std::uint32_t kServerSeed = 0x5EC7A11Du;
inline constexpr std::uint32_t kAccountSeed = 0x0ACC0C75u;

// RFC 4648 alphabet with "=" padding. Decoding refuses anything else (whitespace included).
std::string Base64Encode(std::span<const std::uint8_t> bytes);
std::optional<std::vector<std::uint8_t>> Base64Decode(std::string_view text);

std::vector<std::uint8_t> Encipher(std::span<const std::uint8_t> plain, std::string_view keyText,
                                   std::uint32_t seed);
// None when the length is no positive multiple of 8 or the padding is malformed.
std::optional<std::vector<std::uint8_t>> Decipher(std::span<const std::uint8_t> enciphered,
                                                  std::string_view keyText, std::uint32_t seed);

// The stored form of a password: the account pass (when the account is non-empty), then the
// server pass (when the server is non-empty), then Base64. An empty password stays empty.
std::string EncipherPassword(std::string_view plain, std::string_view account,
                             std::string_view server);
// The reverse; any malformed stored text gives an empty password.
std::string DecipherPassword(std::string_view stored, std::string_view account,
                             std::string_view server);

}  // namespace Reporter::Settings::Cipher
