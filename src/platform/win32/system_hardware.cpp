#include <windows.h>
// SetupAPI needs the types of windows.h first.
#include <setupapi.h>

#include <cwchar>
#include <vector>

#include "platform/system_lists.h"
#include "platform/win32/utf16.h"

namespace Platform {
namespace {

constexpr wchar_t kClassKey[] = L"System\\CurrentControlSet\\Control\\Class\\";

// Device registry properties.
constexpr DWORD kDeviceDescription = 0;
constexpr DWORD kHardwareId = 1;
constexpr DWORD kClassName = 7;
constexpr DWORD kClassGuid = 8;
constexpr DWORD kDriver = 9;
constexpr DWORD kFriendlyName = 12;

constexpr DWORD kPresentDevicesOfAllClasses = 6;
// A driver that asks to keep its devices out of device lists.
constexpr DWORD kHiddenDeviceCharacteristic = 0x8;

// SetupAPI, loaded for one list and freed with it.
class TSetupApi {
 public:
  using TGetClassDevs = HDEVINFO(WINAPI*)(const GUID*, const wchar_t*, HWND, DWORD);
  using TDestroyDeviceInfoList = BOOL(WINAPI*)(HDEVINFO);
  using TEnumDeviceInfo = BOOL(WINAPI*)(HDEVINFO, DWORD, SP_DEVINFO_DATA*);
  using TGetDeviceRegistryProperty = BOOL(WINAPI*)(HDEVINFO, SP_DEVINFO_DATA*, DWORD, DWORD*, BYTE*,
                                                   DWORD, DWORD*);

  TSetupApi() : library_(LoadLibraryW(L"setupapi.dll")) {
    if (library_ == nullptr) return;
    GetClassDevs = Lookup<TGetClassDevs>("SetupDiGetClassDevsW");
    DestroyDeviceInfoList = Lookup<TDestroyDeviceInfoList>("SetupDiDestroyDeviceInfoList");
    EnumDeviceInfo = Lookup<TEnumDeviceInfo>("SetupDiEnumDeviceInfo");
    GetDeviceRegistryProperty =
        Lookup<TGetDeviceRegistryProperty>("SetupDiGetDeviceRegistryPropertyW");
  }
  ~TSetupApi() {
    if (library_ != nullptr) FreeLibrary(library_);
  }
  TSetupApi(const TSetupApi&) = delete;
  TSetupApi& operator=(const TSetupApi&) = delete;

  bool Complete() const {
    return GetClassDevs != nullptr && DestroyDeviceInfoList != nullptr &&
           EnumDeviceInfo != nullptr && GetDeviceRegistryProperty != nullptr;
  }

  TGetClassDevs GetClassDevs = nullptr;
  TDestroyDeviceInfoList DestroyDeviceInfoList = nullptr;
  TEnumDeviceInfo EnumDeviceInfo = nullptr;
  TGetDeviceRegistryProperty GetDeviceRegistryProperty = nullptr;

 private:
  template <class TProc>
  TProc Lookup(const char* name) {
    return reinterpret_cast<TProc>(reinterpret_cast<void*>(GetProcAddress(library_, name)));
  }

  HMODULE library_;
};

// Text of a wide buffer up to its first NUL.
std::string TextUpToNul(const std::vector<BYTE>& buffer) {
  const auto* text = reinterpret_cast<const wchar_t*>(buffer.data());
  return Win32::ToUtf8(std::wstring_view(text, wcsnlen(text, buffer.size() / sizeof(wchar_t))));
}

// A device property as text: for lists of texts the first one. Empty when it cannot be read.
std::string DeviceProperty(const TSetupApi& api, HDEVINFO devices, SP_DEVINFO_DATA& device,
                           DWORD property) {
  DWORD size = 0;
  api.GetDeviceRegistryProperty(devices, &device, property, nullptr, nullptr, 0, &size);
  if (size == 0) return {};
  // Twice the size, zero-filled: the text ends in a NUL even if the value's own does not.
  std::vector<BYTE> buffer(static_cast<std::size_t>(size) * 2, 0);
  if (!api.GetDeviceRegistryProperty(devices, &device, property, nullptr, buffer.data(),
                                     static_cast<DWORD>(buffer.size()), nullptr)) {
    return {};
  }
  return TextUpToNul(buffer);
}

// A key of the local-machine hive, closed with the object.
class TRegistryKey {
 public:
  explicit TRegistryKey(const std::wstring& path) {
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key_) != ERROR_SUCCESS) {
      key_ = nullptr;
    }
  }
  ~TRegistryKey() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  TRegistryKey(const TRegistryKey&) = delete;
  TRegistryKey& operator=(const TRegistryKey&) = delete;

  // A value as text; the key's default value without a name. Empty when missing.
  std::string Text(const wchar_t* name) const {
    if (key_ == nullptr) return {};
    DWORD size = 0;
    if (RegQueryValueExW(key_, name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS ||
        size == 0) {
      return {};
    }
    std::vector<BYTE> buffer(static_cast<std::size_t>(size) * 2, 0);
    DWORD filled = static_cast<DWORD>(buffer.size());
    if (RegQueryValueExW(key_, name, nullptr, nullptr, buffer.data(), &filled) != ERROR_SUCCESS) {
      return {};
    }
    return TextUpToNul(buffer);
  }

  std::optional<DWORD> Number(const wchar_t* name) const {
    if (key_ == nullptr) return std::nullopt;
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExW(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value) {
      return std::nullopt;
    }
    return value;
  }

 private:
  HKEY key_ = nullptr;
};

bool IsSoftwareDevice(const std::string& hardwareId) {
  return hardwareId.size() >= 3 && (hardwareId[0] == 's' || hardwareId[0] == 'S') &&
         (hardwareId[1] == 'w' || hardwareId[1] == 'W') && hardwareId[2] == '\\';
}

// The record of one device; none when the device is left out of the list.
std::optional<TDeviceRecord> ReadDevice(const TSetupApi& api, HDEVINFO devices,
                                        SP_DEVINFO_DATA& device) {
  const std::string className = DeviceProperty(api, devices, device, kClassName);
  const std::string hardwareId = DeviceProperty(api, devices, device, kHardwareId);
  if (className == "LegacyDriver" || className == "Unknown" || className == "Volume" ||
      IsSoftwareDevice(hardwareId)) {
    return std::nullopt;
  }

  TDeviceRecord record;
  record.ClassId = DeviceProperty(api, devices, device, kClassGuid);
  record.ClassName = TRegistryKey(kClassKey + Win32::ToUtf16(record.ClassId)).Text(nullptr);
  if (record.ClassName.empty() && record.ClassId.empty()) return std::nullopt;

  record.DeviceTitle = DeviceProperty(api, devices, device, kFriendlyName);
  if (record.DeviceTitle.empty()) {
    record.DeviceTitle = DeviceProperty(api, devices, device, kDeviceDescription);
  }

  const std::string driver = DeviceProperty(api, devices, device, kDriver);
  if (!driver.empty()) {
    const std::wstring driverKey = kClassKey + Win32::ToUtf16(driver);
    const TRegistryKey key(driverKey);
    const std::optional<DWORD> characteristics = key.Number(L"Characteristics");
    if (characteristics && (*characteristics & kHiddenDeviceCharacteristic) != 0) {
      return std::nullopt;
    }
    record.DriverKey = Win32::ToUtf8(driverKey);
    record.ProviderName = key.Text(L"ProviderName");
    record.DriverVersion = key.Text(L"DriverVersion");
    record.DriverDate = key.Text(L"DriverDate");
  }
  return record;
}

}  // namespace

std::vector<TDeviceRecord> ListDevices() {
  std::vector<TDeviceRecord> records;
  const TSetupApi api;
  if (!api.Complete()) return records;
  const HDEVINFO devices = api.GetClassDevs(nullptr, nullptr, nullptr, kPresentDevicesOfAllClasses);
  if (devices == INVALID_HANDLE_VALUE) return records;
  for (DWORD index = 0;; ++index) {
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    // Ends at ERROR_NO_MORE_ITEMS, and at any other failure too rather than spinning.
    if (!api.EnumDeviceInfo(devices, index, &device)) break;
    if (std::optional<TDeviceRecord> record = ReadDevice(api, devices, device)) {
      records.push_back(std::move(*record));
    }
  }
  api.DestroyDeviceInfoList(devices);
  return records;
}

}  // namespace Platform
