#include <algorithm>
#include <array>
#include <charconv>
#include <utility>

#include "platform/machine_info.h"

namespace Platform {
namespace {

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view FirstWord(std::string_view text) {
  text = Trimmed(text);
  const auto end = std::find_if(text.begin(), text.end(), IsBlank);
  return text.substr(0, static_cast<std::size_t>(end - text.begin()));
}

// Calls visit(name, value) for every "name<separator>value" line, both trimmed.
template <typename Visit>
void ForEachLine(std::string_view text, char separator, Visit visit) {
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    const std::size_t at = line.find(separator);
    if (at == std::string_view::npos) continue;
    visit(Trimmed(line.substr(0, at)), Trimmed(line.substr(at + 1)));
  }
}

// The languages a Linux locale name may start with (ISO 639-1, and the three-letter codes
// glibc uses where no two-letter one exists).
constexpr std::array<std::pair<std::string_view, std::string_view>, 48> kLanguages = {{
    {"ar", "Arabic"},     {"bg", "Bulgarian"}, {"ca", "Catalan"},    {"cs", "Czech"},
    {"cy", "Welsh"},      {"da", "Danish"},    {"de", "German"},     {"el", "Greek"},
    {"en", "English"},    {"eo", "Esperanto"}, {"es", "Spanish"},    {"et", "Estonian"},
    {"eu", "Basque"},     {"fa", "Persian"},   {"fi", "Finnish"},    {"fr", "French"},
    {"ga", "Irish"},      {"gl", "Galician"},  {"he", "Hebrew"},     {"hi", "Hindi"},
    {"hr", "Croatian"},   {"hu", "Hungarian"}, {"id", "Indonesian"}, {"is", "Icelandic"},
    {"it", "Italian"},    {"ja", "Japanese"},  {"ko", "Korean"},     {"lb", "Luxembourgish"},
    {"lt", "Lithuanian"}, {"lv", "Latvian"},   {"mk", "Macedonian"}, {"nb", "Norwegian"},
    {"nl", "Dutch"},      {"nn", "Norwegian"}, {"no", "Norwegian"},  {"pl", "Polish"},
    {"pt", "Portuguese"}, {"ro", "Romanian"},  {"ru", "Russian"},    {"sk", "Slovak"},
    {"sl", "Slovenian"},  {"sq", "Albanian"},  {"sr", "Serbian"},    {"sv", "Swedish"},
    {"th", "Thai"},       {"tr", "Turkish"},   {"uk", "Ukrainian"},  {"zh", "Chinese"},
}};

bool ParseKibibytes(std::string_view text, std::uint64_t& bytes) {
  text = FirstWord(text);
  std::uint64_t kib = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), kib);
  if (error != std::errc() || end != text.data() + text.size()) return false;
  bytes = kib * 1024;
  return true;
}

std::string Unquoted(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  std::string text;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\\' && i + 1 < value.size()) ++i;  // the shell escapes of os-release
    text += value[i];
  }
  return text;
}

}  // namespace

std::string LanguageNameOfLocale(std::string_view locale) {
  // "de_DE.UTF-8@euro": the language is what comes before the territory, codeset and modifier.
  const std::string_view code = locale.substr(0, locale.find_first_of("_.@"));
  if (code.empty() || code == "C" || code == "POSIX") return "English";
  for (const auto& [known, name] : kLanguages) {
    if (known == code) return std::string(name);
  }
  return std::string(code);
}

std::string RemoteClientOfSsh(std::string_view sshClient, std::string_view sshConnection) {
  std::string_view address = FirstWord(sshClient);
  if (address.empty()) address = FirstWord(sshConnection);
  return std::string(address);
}

TProcessorInfo ProcessorsOfCpuInfo(std::string_view cpuInfo) {
  TProcessorInfo info;
  ForEachLine(cpuInfo, ':', [&](std::string_view name, std::string_view value) {
    if (name != "model name") return;
    if (info.Count == 0) info.Name = std::string(value);
    if (info.Count < kMaxProcessorCount) ++info.Count;
  });
  return info;
}

std::optional<TPhysicalMemory> PhysicalMemoryOfMemInfo(std::string_view memInfo) {
  TPhysicalMemory memory;
  bool total = false;
  bool available = false;
  std::uint64_t free = 0;
  ForEachLine(memInfo, ':', [&](std::string_view name, std::string_view value) {
    if (name == "MemTotal") total = ParseKibibytes(value, memory.TotalBytes);
    if (name == "MemAvailable") available = ParseKibibytes(value, memory.FreeBytes);
    if (name == "MemFree") ParseKibibytes(value, free);
  });
  if (!total) return std::nullopt;
  if (!available) memory.FreeBytes = free;
  return memory;
}

std::string PrettyNameOfOsRelease(std::string_view osRelease) {
  std::string pretty;
  std::string name;
  ForEachLine(osRelease, '=', [&](std::string_view key, std::string_view value) {
    if (key == "PRETTY_NAME") pretty = Unquoted(value);
    if (key == "NAME") name = Unquoted(value);
  });
  return pretty.empty() ? name : pretty;
}

}  // namespace Platform
