// symbol_extractor [--delete-on-failure] [--stats] [--debug-info <unstripped>] <image>
// symbol_extractor --dump <image>
// Appends the image's symbol data to the file in place (replacing the data of an earlier run,
// so that running it twice gives the same file). With --debug-info the data comes from an
// unstripped copy of the same link, so that the image itself can ship without its debug
// sections. The build runs it after every link, with
// --delete-on-failure so that a program without its data never passes for built. --dump lists
// the data a file carries: one line per function (with the line of its entry when it is a part
// split off from its function) and per line entry.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "symbol_table_builder.h"

namespace {

bool ReadFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  out.close();
  return !out.fail();
}

int Dump(const std::string& path, const std::vector<std::uint8_t>& file) {
  const std::span<const std::uint8_t> bytes(file);
  const std::size_t imageSize = SymbolExtractor::ImageWithoutSymbolData(bytes).size();
  std::optional<Reporter::Symbols::TSymbolData> data;
  if (imageSize < bytes.size()) {
    data = Reporter::Symbols::DecodeSymbolData(
        bytes.subspan(imageSize, bytes.size() - imageSize - Reporter::Symbols::kSymbolTrailerSize));
  }
  if (!data) {
    std::fprintf(stderr, "symbol_extractor: %s: no valid symbol data\n", path.c_str());
    return 1;
  }
  std::printf("top of code %llx\n", static_cast<unsigned long long>(data->TopOfCode));
  for (const auto& function : data->Functions) {
    std::printf("%llx %llx %s [%s]", static_cast<unsigned long long>(function.Start),
                static_cast<unsigned long long>(function.Length),
                data->Names[function.Name].c_str(), data->Units[function.Unit].c_str());
    if (function.EntryLine > 0) std::printf(" entry line %d", function.EntryLine);
    std::printf("\n");
    for (std::uint32_t i = 0; i < function.LineCount; ++i) {
      const auto& line = data->Lines[function.FirstLine + i];
      std::printf("  %llx %d\n", static_cast<unsigned long long>(line.Address), line.Line);
    }
  }
  return 0;
}

int Fail(const std::string& path, const std::string& message, bool deleteImage) {
  std::fprintf(stderr, "symbol_extractor: %s: %s\n", path.c_str(), message.c_str());
  if (deleteImage) std::remove(path.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  bool deleteOnFailure = false;
  bool stats = false;
  bool dump = false;
  std::string path;
  std::string debugPath;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--delete-on-failure") {
      deleteOnFailure = true;
    } else if (argument == "--dump") {
      dump = true;
    } else if (argument == "--stats") {
      stats = true;
    } else if (argument == "--debug-info" && i + 1 < argc) {
      debugPath = argv[++i];
    } else if (path.empty() && !argument.empty() && argument[0] != '-') {
      path = argument;
    } else {
      path.clear();
      break;
    }
  }
  if (path.empty()) {
    std::fprintf(stderr,
                 "usage: symbol_extractor [--delete-on-failure] [--stats | --dump] "
                 "[--debug-info <unstripped>] <image>\n");
    return 2;
  }

  std::vector<std::uint8_t> file;
  if (!ReadFile(path, file)) return Fail(path, "cannot read the file", deleteOnFailure);
  if (dump) return Dump(path, file);
  const auto image = SymbolExtractor::ImageWithoutSymbolData(file);
  std::vector<std::uint8_t> debugFile;
  if (!debugPath.empty() && !ReadFile(debugPath, debugFile)) {
    return Fail(path, "cannot read " + debugPath, deleteOnFailure);
  }
  std::string error;
  const auto data = SymbolExtractor::BuildSymbolData(
      debugPath.empty() ? image : SymbolExtractor::ImageWithoutSymbolData(debugFile), error);
  if (!data) return Fail(path, error, deleteOnFailure);
  const std::vector<std::uint8_t> result = SymbolExtractor::WithSymbolData(image, *data);
  if (!WriteFile(path, result)) return Fail(path, "cannot write the file", deleteOnFailure);
  if (stats) {
    std::printf("%s: %zu functions, %zu units, %zu line entries, %zu bytes of symbol data\n",
                path.c_str(), data->Functions.size(), data->Units.size(), data->Lines.size(),
                result.size() - image.size());
  }
  return 0;
}
