#include "dwarf_lines.h"

#include <algorithm>
#include <map>
#include <optional>
#include <string_view>

#include "dwarf_forms.h"
#include "reporter/report/symbols/byte_reader.h"

namespace SymbolExtractor {
namespace {

using Reporter::Symbols::TByteReader;

// Line number program opcodes and the contents of the version 5 entry formats.
enum : std::uint8_t {
  kLnsCopy = 1,
  kLnsAdvancePc = 2,
  kLnsAdvanceLine = 3,
  kLnsSetFile = 4,
  kLnsConstAddPc = 8,
  kLnsFixedAdvancePc = 9,
  kLneEndSequence = 1,
  kLneSetAddress = 2,
  kLneDefineFile = 3,
};
enum : std::uint64_t {
  kLnctPath = 1,
  kLnctDirectoryIndex = 2,
};

class TProgramReader {
 public:
  TProgramReader(const TDwarfSections& sections, TLineTable& table) : table_(table) {
    strings_.Str = sections.Str;
    strings_.LineStr = sections.LineStr;
  }

  // Reads the unit at the reader's position; false when it is damaged.
  bool ReadUnit(TByteReader& reader) {
    unitFiles_.clear();
    const std::uint64_t unitOffset = reader.Position();
    std::uint64_t length = reader.U32();
    unsigned offsetSize = 4;
    if (length == 0xFFFFFFFF) {
      length = reader.U64();
      offsetSize = 8;
    } else if (length >= 0xFFFFFFF0) {
      return false;
    }
    if (!reader.Ok() || length > reader.Remaining()) return false;
    const std::uint64_t unitEnd = reader.Position() + length;

    const std::uint16_t version = reader.U16();
    if (version < 2 || version > 5) return false;
    TUnitEncoding encoding;
    encoding.Version = version;
    encoding.OffsetSize = offsetSize;
    if (version >= 5) {
      encoding.AddressSize = reader.U8();
      reader.Skip(1);  // segment selector size
    }
    const std::uint64_t headerLength = reader.Unsigned(offsetSize);
    if (!reader.Ok() || headerLength > unitEnd - reader.Position()) return false;
    const std::uint64_t programStart = reader.Position() + headerLength;
    minimumInstructionLength_ = reader.U8();
    if (version >= 4) reader.Skip(1);  // maximum operations per instruction
    reader.Skip(1);                    // default is_stmt: every row counts
    lineBase_ = std::int8_t(reader.U8());
    lineRange_ = reader.U8();
    opcodeBase_ = reader.U8();
    if (!reader.Ok() || lineRange_ == 0 || opcodeBase_ == 0) return false;
    standardLengths_.assign(opcodeBase_, 0);
    for (unsigned i = 1; i < opcodeBase_; ++i) standardLengths_[i] = reader.U8();

    const bool tablesRead = version >= 5 ? ReadTablesV5(reader, encoding) : ReadTablesV2(reader);
    if (!tablesRead || !reader.Ok()) return false;
    reader.Seek(programStart);
    const bool ran = RunProgram(reader, unitEnd);
    table_.UnitFiles[unitOffset] = unitFiles_;
    reader.Seek(unitEnd);
    return ran;
  }

 private:
  std::uint32_t AddFile(std::string_view directory, std::string_view name) {
    std::string path(name);
    if (!directory.empty() && !name.empty() && name[0] != '/' &&
        !(name.size() > 1 && name[1] == ':')) {
      path = std::string(directory) + "/" + path;
    }
    const auto [it, added] = fileIndexes_.emplace(path, std::uint32_t(table_.Files.size()));
    if (added) table_.Files.push_back(path);
    return it->second;
  }

  bool ReadTablesV2(TByteReader& reader) {
    directories_.assign(1, std::string_view());  // 0: the unit's own directory
    for (std::string_view directory = reader.CString(); reader.Ok() && !directory.empty();
         directory = reader.CString()) {
      directories_.push_back(directory);
    }
    unitFiles_.push_back(kUnknownFile);  // file numbers begin at 1
    for (std::string_view name = reader.CString(); reader.Ok() && !name.empty();
         name = reader.CString()) {
      if (!ReadFileEntryV2(reader, name)) return false;
    }
    return reader.Ok();
  }

  bool ReadFileEntryV2(TByteReader& reader, std::string_view name) {
    const std::uint64_t directory = reader.Uleb();
    reader.Uleb();  // modification time
    reader.Uleb();  // length
    if (!reader.Ok()) return false;
    unitFiles_.push_back(
        AddFile(directory < directories_.size() ? directories_[directory] : "", name));
    return true;
  }

  // Reads a version 5 entry format and its entries; each entry gives its path and directory.
  template <typename Entry>
  bool ReadEntriesV5(TByteReader& reader, const TUnitEncoding& encoding, Entry entry) {
    const std::uint8_t formatCount = reader.U8();
    std::vector<std::pair<std::uint64_t, std::uint64_t>> format;
    for (std::uint8_t i = 0; i < formatCount; ++i) {
      const std::uint64_t content = reader.Uleb();
      const std::uint64_t form = reader.Uleb();
      format.emplace_back(content, form);
    }
    const std::uint64_t count = reader.Uleb();
    if (!reader.Ok() || count > reader.Remaining()) return false;
    for (std::uint64_t i = 0; i < count; ++i) {
      std::string_view path;
      std::uint64_t directory = 0;
      for (const auto& [content, form] : format) {
        // A name by string index stays unknown: the index's base is in the unit's entry.
        TAttributeValue value;
        if (!ReadAttributeValue(reader, form, 0, encoding, strings_, value)) return false;
        if (content == kLnctPath) path = value.Text;
        if (content == kLnctDirectoryIndex) directory = value.Number;
      }
      entry(path, directory);
    }
    return reader.Ok();
  }

  bool ReadTablesV5(TByteReader& reader, const TUnitEncoding& encoding) {
    directories_.clear();
    const bool directoriesRead = ReadEntriesV5(
        reader, encoding,
        [this](std::string_view path, std::uint64_t) { directories_.push_back(path); });
    if (!directoriesRead) return false;
    return ReadEntriesV5(reader, encoding, [this](std::string_view path, std::uint64_t dir) {
      unitFiles_.push_back(AddFile(dir < directories_.size() ? directories_[dir] : "", path));
    });
  }

  std::uint32_t FileOf(std::uint64_t number) const {
    return number < unitFiles_.size() ? unitFiles_[number] : kUnknownFile;
  }

  bool RunProgram(TByteReader& reader, std::uint64_t unitEnd) {
    std::uint64_t address = 0;
    std::int64_t line = 1;
    std::uint64_t file = 1;
    const auto emit = [&](bool endSequence) {
      const int value = line < 0 || line > 0x7FFFFFFF ? 0 : int(line);
      table_.Rows.push_back({address, value, FileOf(file), endSequence});
    };
    const auto reset = [&] {
      address = 0;
      line = 1;
      file = 1;
    };
    while (reader.Ok() && reader.Position() < unitEnd) {
      const std::uint8_t opcode = reader.U8();
      if (opcode >= opcodeBase_) {
        const unsigned adjusted = opcode - opcodeBase_;
        address += std::uint64_t(adjusted / lineRange_) * minimumInstructionLength_;
        line += lineBase_ + int(adjusted % lineRange_);
        emit(false);
      } else if (opcode == 0) {
        const std::uint64_t length = reader.Uleb();
        if (!reader.Ok() || length == 0 || length > unitEnd - reader.Position()) return false;
        const std::uint64_t next = reader.Position() + length;
        const std::uint8_t extended = reader.U8();
        if (extended == kLneEndSequence) {
          emit(true);
          reset();
        } else if (extended == kLneSetAddress) {
          address = reader.Unsigned(std::min<std::uint64_t>(length - 1, 8));
        } else if (extended == kLneDefineFile) {
          const std::string_view name = reader.CString();
          if (!ReadFileEntryV2(reader, name)) return false;
        }
        reader.Seek(next);
      } else if (opcode == kLnsCopy) {
        emit(false);
      } else if (opcode == kLnsAdvancePc) {
        address += reader.Uleb() * minimumInstructionLength_;
      } else if (opcode == kLnsAdvanceLine) {
        line += reader.Sleb();
      } else if (opcode == kLnsSetFile) {
        file = reader.Uleb();
      } else if (opcode == kLnsConstAddPc) {
        address += std::uint64_t((255 - opcodeBase_) / lineRange_) * minimumInstructionLength_;
      } else if (opcode == kLnsFixedAdvancePc) {
        address += reader.U16();
      } else {
        // Column, statement and block flags, ISA and opcodes of later versions: only skipped.
        for (std::uint8_t i = 0; i < standardLengths_[opcode]; ++i) reader.Uleb();
      }
    }
    return reader.Ok();
  }

  TDebugSections strings_;  // the string sections of version 5 names
  TLineTable& table_;
  std::map<std::string, std::uint32_t, std::less<>> fileIndexes_;
  std::vector<std::string_view> directories_;
  std::vector<std::uint32_t> unitFiles_;
  std::vector<std::uint8_t> standardLengths_;
  std::uint8_t minimumInstructionLength_ = 1;
  int lineBase_ = 0;
  std::uint8_t lineRange_ = 1;
  std::uint8_t opcodeBase_ = 1;
};

}  // namespace

TLineTable ReadLinePrograms(const TDwarfSections& sections) {
  TLineTable table;
  TProgramReader program(sections, table);
  TByteReader reader(sections.Line);
  while (!reader.AtEnd()) {
    if (!program.ReadUnit(reader)) break;
  }
  return table;
}

}  // namespace SymbolExtractor
