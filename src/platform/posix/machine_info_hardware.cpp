#include <sys/stat.h>
#include <sys/statvfs.h>

#include "platform/machine_info.h"
#include "platform/posix/system_files.h"
#include "platform/process.h"

namespace Platform {
namespace {

std::optional<std::uint64_t> FreeBytes(const std::string& path) {
  struct statvfs info {};
  if (statvfs(path.c_str(), &info) != 0) return std::nullopt;
  return static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
}

std::optional<dev_t> DeviceOf(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return std::nullopt;
  return info.st_dev;
}

std::string Parent(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

// The highest folder above the path on the same device: where its file system is mounted.
std::string MountPointOf(std::string path, dev_t device) {
  while (path != "/") {
    const std::string parent = Parent(path);
    if (DeviceOf(parent) != device) break;
    path = parent;
  }
  return path;
}

}  // namespace

TProcessorInfo QueryProcessors() {
  return ProcessorsOfCpuInfo(Posix::ReadSystemFile("/proc/cpuinfo"));
}

std::optional<TPhysicalMemory> QueryPhysicalMemory() {
  return PhysicalMemoryOfMemInfo(Posix::ReadSystemFile("/proc/meminfo"));
}

std::vector<TDiskSpace> QueryFreeDiskSpace() {
  std::vector<TDiskSpace> disks;
  if (const auto free = FreeBytes("/")) disks.push_back({"/", *free});
  const std::string executable = ExecutablePath();
  const auto rootDevice = DeviceOf("/");
  const auto device = DeviceOf(executable);
  if (executable.empty() || executable.front() != '/' || !device || device == rootDevice) {
    return disks;
  }
  const std::string mountPoint = MountPointOf(executable, *device);
  if (const auto free = FreeBytes(mountPoint)) disks.push_back({mountPoint, *free});
  return disks;
}

}  // namespace Platform
