// The symbol source of a module's file: read through the platform layer, so kept apart from
// the portable parts that the build's extractor and the fuzz target compile.
#include <vector>

#include "platform/file.h"
#include "reporter/report/symbols/map_file.h"
#include "reporter/report/symbols/symbol_data.h"

namespace Reporter::Symbols {
namespace {

// The appended symbol data, checked against its trailer; empty when there is none. Reads the
// trailer and the data block only.
std::vector<std::uint8_t> ReadSymbolData(Platform::File& file) {
  const std::optional<std::int64_t> size = file.Size();
  std::vector<std::uint8_t> bytes;
  if (!size || *size < std::int64_t(kSymbolTrailerSize)) return {};
  if (!file.Seek(*size - std::int64_t(kSymbolTrailerSize)) || !file.ReadToEnd(bytes)) return {};
  const auto trailer = DecodeSymbolTrailer(bytes, std::uint64_t(*size));
  if (!trailer) return {};
  const std::int64_t start = *size - std::int64_t(kSymbolTrailerSize) - trailer->Size;
  if (!file.Seek(start) || !file.ReadToEnd(bytes)) return {};
  if (bytes.size() != trailer->Size + kSymbolTrailerSize) return {};
  bytes.resize(trailer->Size);
  if (Crc32(bytes) != trailer->Checksum) return {};
  return bytes;
}

}  // namespace

std::unique_ptr<TMapFile> TMapFile::ForImageFile(const std::string& path, std::uint64_t loadBias) {
  Platform::Result<Platform::File> file =
      Platform::File::Open(path, Platform::File::Mode::OpenExistingRead);
  if (!file) return nullptr;
  const std::vector<std::uint8_t> data = ReadSymbolData(*file);
  if (!data.empty()) {
    if (auto map = FromSymbolData(data, loadBias)) return map;
  }
  std::vector<std::uint8_t> image;
  if (!file->Seek(0) || !file->ReadToEnd(image)) return nullptr;
  return FromExports(image, loadBias);
}

}  // namespace Reporter::Symbols
