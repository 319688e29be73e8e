// settings_compiler SOURCE OUTPUT [--override FILE] [--embed CPP]
//
// Compiles a settings source into the binary settings resource OUTPUT; --override applies
// `Key=Value` lines first, --embed also writes a C++ source that registers the resource for
// platforms without resource sections. Runs on the build machine.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "settings_source.h"

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("cannot read " + path);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, std::string_view content) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(content.data(), static_cast<std::streamsize>(content.size()));
  if (!file.flush()) throw std::runtime_error("cannot write " + path);
}

int Usage() {
  std::cerr << "usage: settings_compiler SOURCE OUTPUT [--override FILE] [--embed CPP]\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string source, output, overrides, embed;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if ((argument == "--override" || argument == "--embed") && i + 1 < argc) {
      (argument == "--override" ? overrides : embed) = argv[++i];
    } else if (source.empty()) {
      source = argument;
    } else if (output.empty()) {
      output = argument;
    } else {
      return Usage();
    }
  }
  if (source.empty() || output.empty()) return Usage();
  try {
    std::vector<SettingsCompiler::SourceRecord> records;
    try {
      records = SettingsCompiler::ParseSettingsSource(ReadAll(source));
      SettingsCompiler::CheckDeclaredKeys(records);
      if (!overrides.empty()) SettingsCompiler::ApplyOverrides(records, ReadAll(overrides));
    } catch (const SettingsCompiler::SourceError& error) {
      throw std::runtime_error((overrides.empty() ? source : source + " / " + overrides) + ": " +
                               error.what());
    }
    const std::vector<std::uint8_t> stream = SettingsCompiler::CompileSettings(records);
    WriteAll(output, std::string_view(reinterpret_cast<const char*>(stream.data()), stream.size()));
    if (!embed.empty()) WriteAll(embed, SettingsCompiler::EmbeddingSource(stream));
  } catch (const std::exception& error) {
    std::cerr << "settings_compiler: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
