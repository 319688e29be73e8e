#include <dirent.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "platform/hardware_ids.h"
#include "platform/posix/system_files.h"
#include "platform/system_lists.h"

namespace Platform {
namespace {

// Where Debian's hwdata and usbutils put the id databases, newest layout first.
const char* const kPciDatabases[] = {"/usr/share/hwdata/pci.ids", "/usr/share/misc/pci.ids",
                                     "/usr/share/pci.ids"};
const char* const kUsbDatabases[] = {"/usr/share/hwdata/usb.ids", "/var/lib/usbutils/usb.ids",
                                     "/usr/share/misc/usb.ids", "/usr/share/usb.ids"};

enum class TBus { Pci, Usb };

struct TSysDevice {
  TBus Bus = TBus::Pci;
  std::string Folder;
  unsigned Vendor = 0;
  unsigned Product = 0;
  unsigned Class = 0;
  unsigned Subclass = 0;
};

unsigned HexValue(const std::string& text) {
  return static_cast<unsigned>(std::strtoul(text.c_str(), nullptr, 16));
}

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  DIR* directory = opendir(folder.c_str());
  if (directory == nullptr) return names;
  while (const dirent* entry = readdir(directory)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  closedir(directory);
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<TSysDevice> PciDevices() {
  std::vector<TSysDevice> devices;
  const std::string root = "/sys/bus/pci/devices/";
  for (const std::string& name : FolderEntries(root)) {
    TSysDevice device;
    device.Bus = TBus::Pci;
    device.Folder = root + name;
    // 0xCCSSPP: class, subclass, programming interface.
    const unsigned classCode = HexValue(Posix::ReadSystemValue(device.Folder + "/class"));
    device.Class = (classCode >> 16) & 0xFF;
    device.Subclass = (classCode >> 8) & 0xFF;
    device.Vendor = HexValue(Posix::ReadSystemValue(device.Folder + "/vendor"));
    device.Product = HexValue(Posix::ReadSystemValue(device.Folder + "/device"));
    devices.push_back(device);
  }
  return devices;
}

std::vector<TSysDevice> UsbDevices() {
  std::vector<TSysDevice> devices;
  const std::string root = "/sys/bus/usb/devices/";
  for (const std::string& name : FolderEntries(root)) {
    // "1-1:1.0" and the like are interfaces of a device.
    if (name.find(':') != std::string::npos) continue;
    TSysDevice device;
    device.Bus = TBus::Usb;
    device.Folder = root + name;
    device.Vendor = HexValue(Posix::ReadSystemValue(device.Folder + "/idVendor"));
    device.Product = HexValue(Posix::ReadSystemValue(device.Folder + "/idProduct"));
    device.Class = HexValue(Posix::ReadSystemValue(device.Folder + "/bDeviceClass"));
    device.Subclass = HexValue(Posix::ReadSystemValue(device.Folder + "/bDeviceSubClass"));
    if (device.Class == 0) {
      // Class 0: each interface names its own; the first one stands for the device.
      std::string configuration = Posix::ReadSystemValue(device.Folder + "/bConfigurationValue");
      if (configuration.empty()) configuration = "1";
      const std::string interface = device.Folder + "/" + name + ":" + configuration + ".0";
      device.Class = HexValue(Posix::ReadSystemValue(interface + "/bInterfaceClass"));
      device.Subclass = HexValue(Posix::ReadSystemValue(interface + "/bInterfaceSubClass"));
    }
    devices.push_back(device);
  }
  return devices;
}

std::map<std::string, std::string> ReadNames(const char* const* databases, std::size_t count,
                                             const std::set<std::string>& wanted) {
  if (wanted.empty()) return {};
  for (std::size_t i = 0; i < count; ++i) {
    std::ifstream database(databases[i]);
    if (database) return ReadHardwareIdNames(database, wanted);
  }
  return {};
}

std::set<std::string> WantedKeys(const std::vector<TSysDevice>& devices) {
  std::set<std::string> keys;
  for (const TSysDevice& device : devices) {
    keys.insert(VendorKey(device.Vendor));
    keys.insert(DeviceKey(device.Vendor, device.Product));
    keys.insert(ClassKey(device.Class));
    keys.insert(SubclassKey(device.Class, device.Subclass));
  }
  return keys;
}

std::string Name(const std::map<std::string, std::string>& names, const std::string& key) {
  const auto found = names.find(key);
  return found == names.end() ? std::string() : found->second;
}

std::string Hex(unsigned value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*x", digits, value);
  return text;
}

std::string ClassName(const TSysDevice& device, const std::map<std::string, std::string>& names) {
  if (device.Bus == TBus::Pci) {
    // The subclass says more ("Ethernet controller" rather than "Network controller").
    const std::string title = Name(names, SubclassKey(device.Class, device.Subclass));
    return title.empty() ? Name(names, ClassKey(device.Class)) : title;
  }
  // USB subclasses are mostly "Unused" or protocol details.
  return Name(names, ClassKey(device.Class));
}

std::string ClassId(const TSysDevice& device) {
  if (device.Bus == TBus::Pci) {
    return "PCI class " + Hex(device.Class, 2) + Hex(device.Subclass, 2);
  }
  return "USB class " + Hex(device.Class, 2);
}

std::string DeviceTitle(const TSysDevice& device, const std::map<std::string, std::string>& names) {
  const std::string vendor = Name(names, VendorKey(device.Vendor));
  const std::string product = Name(names, DeviceKey(device.Vendor, device.Product));
  if (!vendor.empty() && !product.empty()) return vendor + " " + product;
  if (!vendor.empty()) return vendor + " device " + Hex(device.Product, 4);
  return std::string(device.Bus == TBus::Pci ? "PCI" : "USB") + " device " + Hex(device.Vendor, 4) +
         ":" + Hex(device.Product, 4);
}

// A driver built into the kernel gets no provider: only loadable modules have an
// "initstate" in /sys/module.
void AddDriver(const TSysDevice& device, TDeviceRecord& record) {
  const std::string driver =
      Posix::LastPathComponent(Posix::ReadLinkTarget(device.Folder + "/driver"));
  if (driver.empty()) return;
  record.DriverKey = device.Folder + "/driver";
  const std::string module =
      Posix::LastPathComponent(Posix::ReadLinkTarget(device.Folder + "/driver/module"));
  if (module.empty() || !Posix::PathExists("/sys/module/" + module + "/initstate")) return;
  record.ProviderName = module;
  const std::string version = Posix::ReadSystemValue("/sys/module/" + module + "/version");
  record.DriverVersion = version.empty() ? driver : driver + " " + version;
}

void AddDevices(const std::vector<TSysDevice>& devices, const char* const* databases,
                std::size_t databaseCount, std::vector<TDeviceRecord>& records) {
  const std::map<std::string, std::string> names =
      ReadNames(databases, databaseCount, WantedKeys(devices));
  for (const TSysDevice& device : devices) {
    TDeviceRecord record;
    record.ClassName = ClassName(device, names);
    record.ClassId = ClassId(device);
    record.DeviceTitle = DeviceTitle(device, names);
    AddDriver(device, record);
    records.push_back(std::move(record));
  }
}

}  // namespace

std::vector<TDeviceRecord> ListDevices() {
  std::vector<TDeviceRecord> records;
  AddDevices(PciDevices(), kPciDatabases, std::size(kPciDatabases), records);
  AddDevices(UsbDevices(), kUsbDatabases, std::size(kUsbDatabases), records);
  return records;
}

}  // namespace Platform
