#pragma once

#include <istream>
#include <map>
#include <set>
#include <string>

// Names from the PCI and USB id databases (pci.ids, usb.ids): vendors with their devices at
// the top level, device classes with their subclasses under "C" lines.
namespace Platform {

// Keys, hexadecimal digits in lower case: vendor "8086", device "8086:100e", class "C02",
// subclass "C02:00".
std::string VendorKey(unsigned vendor);
std::string DeviceKey(unsigned vendor, unsigned device);
std::string ClassKey(unsigned deviceClass);
std::string SubclassKey(unsigned deviceClass, unsigned subclass);

// Reads the database once and keeps the names of the wanted keys only; stops early when all
// of them are found. Lines it does not understand are skipped.
std::map<std::string, std::string> ReadHardwareIdNames(std::istream& database,
                                                       const std::set<std::string>& wanted);

}  // namespace Platform
