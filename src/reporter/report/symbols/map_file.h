#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The symbol source of one module: functions, their units and their line tables, built from
// the compact symbol data that the build appends to each program, or from the module's
// exports when it carries none. Every address it takes and gives is a run-time address.
namespace Reporter::Symbols {

struct TMfSegment {
  bool IsValid = false;
  bool Code = false;
  std::uint64_t StartAddress = 0;
  std::uint64_t Length = 0;
  std::string UnitName;      // "Update.Work"
  bool LineNumbers = false;  // the segment has line entries
};

struct TMfPublic {
  bool IsValid = false;
  bool Code = false;
  std::string Name;  // the function as a call stack shows it: "RunUpdate", "TJob::Run"
  std::string Unit;  // its unit: "Update.Work"
  std::uint64_t Address = 0;
};

struct TMfLine {
  int Line = 0;
  std::uint64_t Address = 0;
};

class TMapFile {
 public:
  // From the symbol data appended to the image file (the data block without its trailer);
  // loadBias is added to every address. None when the data is damaged or holds no function.
  static std::unique_ptr<TMapFile> FromSymbolData(std::span<const std::uint8_t> data,
                                                  std::uint64_t loadBias);
  // From the image's exports (no units, no lines); none when it exports no function.
  static std::unique_ptr<TMapFile> FromExports(std::span<const std::uint8_t> imageFile,
                                               std::uint64_t loadBias);
  // The module's image file: its appended symbol data when it has valid data, else its
  // exports; none when neither gives a function.
  static std::unique_ptr<TMapFile> ForImageFile(const std::string& path, std::uint64_t loadBias);

  virtual ~TMapFile() = default;

  TMfSegment FindSegment(bool code, std::uint64_t address) const;
  TMfPublic FindPublic(std::uint64_t address) const;
  int FindLine(std::uint64_t address) const;
  // The first line of the function that begins at the address: the line of the function's
  // entry also for a part split off from it (".cold"), else FindLine(address).
  int FindFirstLine(std::uint64_t functionStart) const;
  // Unit compared ignoring case; public name ignoring case unless exactCase. Without a hit
  // and without "." in the unit, ".cpp", ".h" and ".c" appended to the unit are tried. The name
  // is the function as shown ("RunUpdate") or qualified with its unit ("Update::Work::RunUpdate").
  std::optional<std::uint64_t> FindPublicAddress(std::string_view unit, std::string_view name,
                                                 bool exactCase = false) const;
  // A short text identifying the symbol data: "sym", its format version, " $" and the CRC-32
  // of its tables in hex ("sym2 $1A2B3C4D"), "exports" for a source made from exports; the tracer
  // hands it on to the bug report.
  const std::string& MinDebugInfo() const;
  // True when the source is the module's own symbol data, false when made from its exports.
  bool HasSymbolData() const { return fromSymbolData_; }
  // End of the module's code (run-time); 0 when not recorded.
  std::uint64_t TopOfCode() const;

  // Run-time addresses: link-time ones plus the load bias.
 private:
  struct TSegment {
    std::uint64_t Start = 0;
    std::uint64_t Length = 0;
    std::uint32_t Unit = 0;
    bool LineNumbers = false;
  };
  struct TPublic {
    std::uint64_t Address = 0;
    std::uint32_t Name = 0;
    std::uint32_t Unit = 0;
    int EntryLine = 0;  // the line of its function's entry when that lies elsewhere, else 0
  };

  TMapFile() = default;
  // The segment containing the address; nullptr when none does.
  const TSegment* SegmentAt(std::uint64_t address) const;
  std::optional<std::uint64_t> FindInUnit(std::string_view unit, std::string_view name,
                                          bool exactCase) const;

  std::vector<TSegment> segments_;  // code segments, sorted by start, not overlapping
  std::vector<TPublic> publics_;    // sorted by address; aliases follow the name shown
  std::vector<TMfLine> lines_;      // sorted by address
  std::vector<std::string> names_;  // symbol data: as shown; exports: as stored (mangled)
  std::vector<std::string> units_;
  std::string minDebugInfo_;
  bool fromSymbolData_ = false;
  std::uint64_t topOfCode_ = 0;
};

}  // namespace Reporter::Symbols
