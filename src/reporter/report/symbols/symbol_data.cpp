#include "reporter/report/symbols/symbol_data.h"

#include <algorithm>
#include <climits>
#include <string_view>

#include "reporter/report/symbols/byte_reader.h"

namespace Reporter::Symbols {
namespace {

constexpr std::array<std::uint32_t, 256> MakeCrcTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t value = i;
    for (int bit = 0; bit < 8; ++bit) value = (value & 1) ? 0xEDB88320u ^ (value >> 1) : value >> 1;
    table[i] = value;
  }
  return table;
}
constexpr std::array<std::uint32_t, 256> kCrcTable = MakeCrcTable();

class TWriter {
 public:
  void Uleb(std::uint64_t value) {
    do {
      std::uint8_t byte = value & 0x7F;
      value >>= 7;
      if (value != 0) byte |= 0x80;
      bytes_.push_back(byte);
    } while (value != 0);
  }
  void Zigzag(std::int64_t value) {
    Uleb((std::uint64_t(value) << 1) ^ std::uint64_t(value >> 63));
  }
  void Raw(std::string_view text) { bytes_.insert(bytes_.end(), text.begin(), text.end()); }
  void U32(std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes_.push_back(std::uint8_t(value >> (8 * i)));
  }
  std::vector<std::uint8_t>& Bytes() { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
};

// Sorted texts, each written as the length of the prefix it shares with the text before it
// and the rest. The map gives each original index its new one.
void WriteTexts(TWriter& writer, const std::vector<std::string>& texts,
                std::vector<std::uint32_t>& map) {
  std::vector<std::uint32_t> order(texts.size());
  for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&](std::uint32_t a, std::uint32_t b) { return texts[a] < texts[b]; });
  map.assign(texts.size(), 0);
  writer.Uleb(texts.size());
  std::string_view previous;
  for (std::uint32_t i = 0; i < order.size(); ++i) {
    const std::string_view text = texts[order[i]];
    map[order[i]] = i;
    const auto mismatch = std::mismatch(previous.begin(), previous.end(), text.begin(), text.end());
    const std::size_t shared = std::size_t(mismatch.first - previous.begin());
    writer.Uleb(shared);
    writer.Uleb(text.size() - shared);
    writer.Raw(text.substr(shared));
    previous = text;
  }
}

bool ReadTexts(TByteReader& reader, std::vector<std::string>& texts) {
  const std::uint64_t count = reader.Uleb();
  if (!reader.Ok() || count > reader.Remaining() / 2) return false;
  texts.resize(count);
  for (std::uint64_t i = 0; i < count; ++i) {
    const std::uint64_t shared = reader.Uleb();
    const std::uint64_t rest = reader.Uleb();
    const auto bytes = reader.Bytes(rest);
    if (!reader.Ok() || (i == 0 ? shared != 0 : shared > texts[i - 1].size())) return false;
    if (i > 0) texts[i].assign(texts[i - 1], 0, shared);
    texts[i].append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }
  return true;
}

}  // namespace

std::uint32_t Crc32(std::span<const std::uint8_t> bytes) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (const std::uint8_t byte : bytes) crc = kCrcTable[(crc ^ byte) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

std::vector<std::uint8_t> EncodeSymbolData(const TSymbolData& table) {
  TWriter body;
  body.Uleb(table.TopOfCode);
  std::vector<std::uint32_t> unitMap, nameMap;
  WriteTexts(body, table.Units, unitMap);
  WriteTexts(body, table.Names, nameMap);
  body.Uleb(table.Functions.size());
  std::uint64_t lineCount = 0;
  for (const TSymbolFunction& function : table.Functions) lineCount += function.LineCount;
  body.Uleb(lineCount);
  std::uint64_t previousEnd = 0;
  std::int64_t previousLine = 0;
  for (const TSymbolFunction& function : table.Functions) {
    body.Uleb(function.Start - previousEnd);
    body.Uleb(function.Length);
    body.Uleb(nameMap[function.Name]);
    body.Uleb(unitMap[function.Unit]);
    body.Uleb(std::uint64_t(function.LineCount) * 4 + (function.EntryLine > 0 ? 2 : 0) +
              (function.LineNumbers ? 1 : 0));
    if (function.EntryLine > 0) body.Uleb(std::uint64_t(function.EntryLine));
    std::uint64_t previousAddress = function.Start;
    for (std::uint32_t i = 0; i < function.LineCount; ++i) {
      const TMfLine& line = table.Lines[function.FirstLine + i];
      body.Uleb(line.Address - previousAddress);
      body.Zigzag(line.Line - previousLine);
      previousAddress = line.Address;
      previousLine = line.Line;
    }
    previousEnd = function.Start + function.Length;
  }

  TWriter data;
  data.Bytes().push_back(kSymbolDataVersion);
  data.U32(Crc32(body.Bytes()));
  data.Bytes().insert(data.Bytes().end(), body.Bytes().begin(), body.Bytes().end());
  return std::move(data.Bytes());
}

std::optional<TSymbolData> DecodeSymbolData(std::span<const std::uint8_t> data) {
  TByteReader reader(data);
  if (reader.U8() != kSymbolDataVersion) return std::nullopt;
  TSymbolData table;
  table.Checksum = reader.U32();
  if (!reader.Ok() || Crc32(data.subspan(5)) != table.Checksum) return std::nullopt;

  table.TopOfCode = reader.Uleb();
  if (!ReadTexts(reader, table.Units) || !ReadTexts(reader, table.Names)) return std::nullopt;
  const std::uint64_t functionCount = reader.Uleb();
  const std::uint64_t totalLines = reader.Uleb();
  if (!reader.Ok() || functionCount > reader.Remaining() / 5) return std::nullopt;
  if (totalLines > reader.Remaining() / 2) return std::nullopt;
  table.Functions.resize(functionCount);
  table.Lines.reserve(totalLines);

  constexpr std::uint64_t kMax = ~std::uint64_t(0);
  std::uint64_t previousEnd = 0;
  std::int64_t previousLine = 0;
  for (TSymbolFunction& function : table.Functions) {
    const std::uint64_t gap = reader.Uleb();
    function.Length = reader.Uleb();
    const std::uint64_t name = reader.Uleb();
    const std::uint64_t unit = reader.Uleb();
    const std::uint64_t lineField = reader.Uleb();
    if (!reader.Ok() || gap > kMax - previousEnd || function.Length == 0) return std::nullopt;
    function.Start = previousEnd + gap;
    if (function.Length > kMax - function.Start) return std::nullopt;
    if (name >= table.Names.size() || unit >= table.Units.size()) return std::nullopt;
    function.Name = std::uint32_t(name);
    function.Unit = std::uint32_t(unit);
    function.LineNumbers = (lineField & 1) != 0;
    if ((lineField & 2) != 0) {
      const std::uint64_t entryLine = reader.Uleb();
      if (!reader.Ok() || entryLine == 0 || entryLine > INT_MAX) return std::nullopt;
      function.EntryLine = int(entryLine);
    }
    const std::uint64_t lineCount = lineField >> 2;
    if (lineCount > totalLines - table.Lines.size()) return std::nullopt;
    function.FirstLine = std::uint32_t(table.Lines.size());
    function.LineCount = std::uint32_t(lineCount);

    const std::uint64_t end = function.Start + function.Length;
    std::uint64_t address = function.Start;
    for (std::uint64_t i = 0; i < lineCount; ++i) {
      const std::uint64_t delta = reader.Uleb();
      const std::uint64_t zigzag = reader.Uleb();
      if (!reader.Ok() || (i > 0 && delta == 0) || delta >= end - address) return std::nullopt;
      address += delta;
      const std::int64_t lineDelta = std::int64_t(zigzag >> 1) ^ -std::int64_t(zigzag & 1);
      if (lineDelta < -previousLine || lineDelta > INT_MAX - previousLine) return std::nullopt;
      previousLine += lineDelta;
      table.Lines.push_back({int(previousLine), address});
    }
    previousEnd = end;
  }
  if (!reader.AtEnd() || !reader.Ok() || table.Lines.size() != totalLines) return std::nullopt;
  return table;
}

std::array<std::uint8_t, kSymbolTrailerSize> EncodeSymbolTrailer(const TSymbolTrailer& trailer) {
  std::array<std::uint8_t, kSymbolTrailerSize> bytes{};
  for (int i = 0; i < 4; ++i) {
    bytes[i] = std::uint8_t(trailer.Size >> (8 * i));
    bytes[4 + i] = std::uint8_t(trailer.Checksum >> (8 * i));
  }
  std::copy(kSymbolTrailerMagic.begin(), kSymbolTrailerMagic.end(), bytes.begin() + 8);
  return bytes;
}

std::optional<TSymbolTrailer> DecodeSymbolTrailer(std::span<const std::uint8_t> last16,
                                                  std::uint64_t fileSize) {
  if (last16.size() != kSymbolTrailerSize || fileSize < kSymbolTrailerSize) return std::nullopt;
  if (!std::equal(kSymbolTrailerMagic.begin(), kSymbolTrailerMagic.end(), last16.begin() + 8)) {
    return std::nullopt;
  }
  TByteReader reader(last16);
  TSymbolTrailer trailer;
  trailer.Size = reader.U32();
  trailer.Checksum = reader.U32();
  if (trailer.Size > fileSize - kSymbolTrailerSize) return std::nullopt;
  return trailer;
}

}  // namespace Reporter::Symbols
