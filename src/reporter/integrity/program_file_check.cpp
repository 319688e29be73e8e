#include "reporter/integrity/program_file_check.h"

#include <algorithm>
#include <array>
#include <optional>
#include <span>
#include <vector>

#include "platform/file.h"
#include "platform/module_info.h"
#include "platform/process.h"
#include "reporter/integrity/checksum_stamp.h"
#include "reporter/integrity/crc32.h"
#include "reporter/report/symbols/symbol_data.h"

namespace Reporter::Integrity {

bool IsDamaged(TFileCheck result) {
  return result == TFileCheck::Damaged || result == TFileCheck::NotStamped;
}

namespace {

constexpr std::size_t kChunk = 64 * 1024;

bool ReadAt(Platform::File& file, std::uint64_t position, std::span<std::uint8_t> out) {
  if (!file.Seek(static_cast<std::int64_t>(position))) return false;
  std::size_t got = 0;
  while (got < out.size()) {
    const std::optional<std::size_t> count = file.Read(out.data() + got, out.size() - got);
    if (!count || *count == 0) return false;
    got += *count;
  }
  return true;
}

std::uint32_t U32At(std::span<const std::uint8_t> bytes, std::size_t at) {
  return std::uint32_t(bytes[at]) | std::uint32_t(bytes[at + 1]) << 8 |
         std::uint32_t(bytes[at + 2]) << 16 | std::uint32_t(bytes[at + 3]) << 24;
}

}  // namespace

// The file is read once, in chunks, rather than held whole: the test runs at every start and
// must stay cheap.
TFileCheck CheckProgramFile(const std::string& fileName) {
  Platform::Result<Platform::File> file =
      Platform::File::Open(fileName, Platform::File::Mode::OpenExistingRead);
  if (!file) return TFileCheck::Unreadable;
  const std::optional<std::int64_t> fileSize = file->Size();
  if (!fileSize || *fileSize < 0) return TFileCheck::Unreadable;
  const auto size = static_cast<std::uint64_t>(*fileSize);

  std::uint64_t stampEnd = size;
  std::array<std::uint8_t, Symbols::kSymbolTrailerSize> trailerBytes{};
  if (size >= trailerBytes.size()) {
    if (!ReadAt(*file, size - trailerBytes.size(), trailerBytes)) return TFileCheck::Unreadable;
    if (const auto trailer = Symbols::DecodeSymbolTrailer(trailerBytes, size)) {
      stampEnd = size - trailerBytes.size() - trailer->Size;
    }
  }
  if (stampEnd < kStampSize) return TFileCheck::NotStamped;
  const std::uint64_t stampStart = stampEnd - kStampSize;
  std::array<std::uint8_t, kStampSize> stamp{};
  if (!ReadAt(*file, stampStart, stamp)) return TFileCheck::Unreadable;
  if (!std::equal(kStampMagic.begin(), kStampMagic.end(), stamp.begin()) ||
      U32At(stamp, kStampOffsetField) != stampStart) {
    return TFileCheck::NotStamped;
  }

  // Every byte but the checksum's own four.
  const std::uint64_t skipFrom = stampStart + kStampChecksumField;
  const std::uint64_t skipTo = skipFrom + 4;
  if (!file->Seek(0)) return TFileCheck::Unreadable;
  std::vector<std::uint8_t> buffer(kChunk);
  TCrc32 crc;
  std::uint64_t position = 0;
  for (;;) {
    const std::optional<std::size_t> count = file->Read(buffer.data(), buffer.size());
    if (!count) return TFileCheck::Unreadable;
    if (*count == 0) break;
    const std::uint64_t end = position + *count;
    const std::span<const std::uint8_t> chunk(buffer.data(), *count);
    if (end <= skipFrom || position >= skipTo) {
      crc.Update(chunk);
    } else {
      if (skipFrom > position) crc.Update(chunk.first(skipFrom - position));
      if (skipTo < end) crc.Update(chunk.subspan(skipTo - position));
    }
    position = end;
  }
  if (position != size) return TFileCheck::Unreadable;  // changed while it was read
  return crc.Value() == U32At(stamp, kStampChecksumField) ? TFileCheck::Intact
                                                          : TFileCheck::Damaged;
}

TProgramFileCheck CheckProgramFile(const std::string& fileName,
                                   Settings::IReporterSettings& settings) {
  TProgramFileCheck check;
  check.FileName = fileName;
  check.Result = CheckProgramFile(fileName);
  if (check.Damaged()) check.FaultMessage = settings.GetBitFaultMsg();
  return check;
}

std::string OwnProgramFileName(Settings::IReporterSettings& settings) {
  std::string fileName = Platform::ModuleFileName(settings.Module());
  if (fileName.empty()) fileName = Platform::ExecutablePath();
  return fileName;
}

TProgramFileCheck CheckOwnProgramFile(Settings::IReporterSettings& settings) {
  return CheckProgramFile(OwnProgramFileName(settings), settings);
}

}  // namespace Reporter::Integrity
