#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The facts about the machine and the program that the head of a bug report shows, as plain
// records. Each query reads the system on its own, so that a failing one costs only its own
// line; none of them throws: what cannot be read comes back empty (or as none).
namespace Platform {

// ----- Who runs the program.

// The name of the client computer when the program runs in a remote session; empty outside
// one. Windows asks the terminal services; POSIX takes the address of the SSH client.
std::string RemoteClientName();

struct TUserAccount {
  std::string Name;  // logon name; empty when unknown
  bool Administrator =
      false;  // Windows: in the Administrators group; POSIX: root or sudo/wheel/admin
};
TUserAccount CurrentUserAccount();

// Whom the system is registered to; none where the system keeps no such record (POSIX), so
// that the report has no line for it at all.
struct TRegisteredOwner {
  std::string Owner;
  std::string Organization;
};
[[nodiscard]] std::optional<TRegisteredOwner> RegisteredOwner();

// ----- The system.

// The version numbers as the kernel reports them, not subject to compatibility shims.
struct TOsVersion {
  std::uint32_t Major = 0;
  std::uint32_t Minor = 0;
  std::uint32_t Build = 0;
  bool Workstation = true;  // product type: workstation, else a server or domain controller
  bool R2 = false;          // the R2 edition of 2003
  bool TabletPc = false;
  bool Starter = false;
  bool MediaCenter = false;
  bool NativeX64 = false;   // the processor architecture of the system, not of this process
  std::string ServicePack;  // empty without one
};

// Windows gives the version record the report names the system from; POSIX gives the whole
// description ("Debian GNU/Linux 12 (bookworm) build 6.1.0-18-amd64").
struct TOperatingSystem {
  std::optional<TOsVersion> Version;
  std::string Description;
};
TOperatingSystem QueryOperatingSystem();

// The English name of the system's default language ("German"); empty when unknown.
std::string SystemLanguageName();

// Whole seconds since the system started; none when unknown.
[[nodiscard]] std::optional<std::int64_t> SystemUpTimeSeconds();

// Milliseconds since this process started; none when the system does not tell.
[[nodiscard]] std::optional<std::int64_t> ProcessUpTimeMilliseconds();

// The first processor's name as the system writes it (blanks not yet folded) and the number
// of processors that carry a name, at most kMaxProcessorCount.
struct TProcessorInfo {
  std::string Name;
  int Count = 0;
};
inline constexpr int kMaxProcessorCount = 16;
TProcessorInfo QueryProcessors();

struct TPhysicalMemory {
  std::uint64_t FreeBytes = 0;  // available to programs without swapping
  std::uint64_t TotalBytes = 0;
};
[[nodiscard]] std::optional<TPhysicalMemory> QueryPhysicalMemory();

// Free space of the file system of the system folder first, then of the executable's when
// that is another one. Root: Windows "C:" (upper-case letter; a path without a drive letter
// gives no entry), POSIX the mount point ("/", "/home").
struct TDiskSpace {
  std::string Root;
  std::uint64_t FreeBytes = 0;
};
std::vector<TDiskSpace> QueryFreeDiskSpace();

// The screen's pixels and colour depth (bits per pixel times planes); none without a screen.
struct TDisplayMode {
  int Width = 0;
  int Height = 0;
  int BitsPerPixel = 0;
};
[[nodiscard]] std::optional<TDisplayMode> QueryDisplayMode();

// ----- This process.

// Committed memory that no loaded module image holds, in bytes.
std::uint64_t AllocatedMemoryOutsideModules();
// The longest run of unused address space, in bytes.
std::uint64_t LargestFreeAddressBlock();

struct TFileDateTime {
  int Year = 0;
  int Month = 0;
  int Day = 0;
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
};
// When the executable file was last written, in local time; none when it cannot be read.
[[nodiscard]] std::optional<TFileDateTime> ExecutableWriteTime();

// The file version of a library of that file name when this process has it loaded; none when
// it is not loaded (always none on POSIX, whose libraries carry no such version).
[[nodiscard]] std::optional<std::string> LoadedLibraryVersion(std::string_view fileName);

// The compiler and version that built this program ("GCC 12.2.0 (MinGW-w64)").
std::string CompilerDescription();

// The first character of the user's decimal separator; "," when it cannot be read.
char DecimalSeparator();

// ----- Helpers of the POSIX facts, portable so that every build checks them.

// The English name of a locale's language: "de_DE.UTF-8" gives "German"; "C", "POSIX" and an
// empty name give "English"; an unknown code gives the code itself.
std::string LanguageNameOfLocale(std::string_view locale);

// The SSH client's address: the first word of SSH_CLIENT, else of SSH_CONNECTION.
std::string RemoteClientOfSsh(std::string_view sshClient, std::string_view sshConnection);

// From /proc/cpuinfo: the first "model name" and the number of such entries (at most
// kMaxProcessorCount).
TProcessorInfo ProcessorsOfCpuInfo(std::string_view cpuInfo);

// From /proc/meminfo: MemAvailable (MemFree on old kernels) and MemTotal; none without a total.
[[nodiscard]] std::optional<TPhysicalMemory> PhysicalMemoryOfMemInfo(std::string_view memInfo);

// From os-release: PRETTY_NAME without its quotes, else NAME; empty without either.
std::string PrettyNameOfOsRelease(std::string_view osRelease);

// An X display name "[host]:display[.screen]"; none when it is not one.
struct TX11Display {
  std::string Host;  // empty (or "unix") for this machine's local socket
  int Display = 0;
  int Screen = 0;
};
[[nodiscard]] std::optional<TX11Display> ParseX11Display(std::string_view name);

// The MIT-MAGIC-COOKIE-1 that an Xauthority file holds for the display on this host (an entry
// of the host's name or a wildcard one); empty when it holds none.
std::string X11CookieOf(std::span<const std::uint8_t> xauthority, std::string_view hostName,
                        int display);

// The connection setup an X client opens with, little-endian, with the cookie when there is one.
std::vector<std::uint8_t> X11SetupRequest(std::string_view cookie);

// The screen's mode from the server's whole setup reply (its 8 byte head included); none when
// the server refused or the reply is cut short. Bits per pixel are those of the pixmap format
// of the screen's root depth.
[[nodiscard]] std::optional<TDisplayMode> DisplayModeOfX11Setup(std::span<const std::uint8_t> reply,
                                                                int screen);

}  // namespace Platform
