#include "serial/ListSerialPorts.h"

#include "core/PortListStrategy.h"
#include "core/SerialPortNames.h"
#include "core/SystemText.h"
#include "serial/CPortListError.h"

#include <setupapi.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <memory>
#include <string>

namespace {

// GUID_DEVINTERFACE_COMPORT, spelled out: the SDK defines it only in a header
// that also needs the DDK's initguid dance.
constexpr GUID COM_PORT_INTERFACE = {0x86E0D1E0, 0x8089, 0x11D0, {0x9C, 0xE4, 0x08, 0x00, 0x3E, 0x30, 0x1F, 0x73}};

// The detail record's fixed part and a device path of up to 129 characters
// with its terminator.
constexpr DWORD DETAIL_BUFFER_BYTES = 262;
constexpr std::size_t PROPERTY_CHARS = 256;
constexpr DWORD KEY_NAME_CHARS = 128;
constexpr DWORD VALUE_BYTES = 128;

constexpr const wchar_t* ENUM_KEY = L"Enum";
constexpr const wchar_t* ENUM_KEY_TEXT = L"Could not read from HKLM\\Enum";
constexpr const wchar_t* DEVICE_KEY_TEXT = L"Could not read from HKLM\\Enum\\...\\";
constexpr const wchar_t* PORT_NAME_VALUE = L"PORTNAME";
constexpr const wchar_t* FRIENDLY_NAME_VALUE = L"FRIENDLYNAME";
constexpr wchar_t KEY_SEPARATOR = L'\\';

using DeviceInfoSet = std::unique_ptr<void, decltype(&::SetupDiDestroyDeviceInfoList)>;
using RegistryKey = std::unique_ptr<HKEY__, decltype(&::RegCloseKey)>;

[[noreturn]] void ThrowWithError(const wchar_t* format, DWORD error) {
    throw CPortListError(SystemText::WithErrorCode(format, error));
}

PortListStrategy StrategyForThisSystem() {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    if (!::GetVersionExW(&version)) ThrowWithError(L"Could not get OS version. (err=%lx)", ::GetLastError());
    return PortListStrategyChoice::Choose(version.dwMajorVersion, version.dwPlatformId);
}

// Opens the port exclusively for a moment.
bool PortOpens(const std::wstring& devicePath) {
    const HANDLE port = ::CreateFileW(devicePath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (port == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(port);
    return true;
}

void KeepOpenablePorts(std::vector<SSerInfo>& ports) {
    ports.erase(std::remove_if(ports.begin(), ports.end(), [](const SSerInfo& port) { return !PortOpens(port.devicePath); }),
                ports.end());
    for (SSerInfo& port : ports) SerialPortNames::CompleteNames(port.portName, port.friendlyName, port.description);
}

// A property that cannot be read is simply absent.
bool ReadDeviceProperty(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property, std::wstring& value) {
    std::array<wchar_t, PROPERTY_CHARS> buffer{};
    DWORD reportedBytes = 0;
    if (!::SetupDiGetDeviceRegistryPropertyW(set, &device, property, nullptr, reinterpret_cast<PBYTE>(buffer.data()),
                                             static_cast<DWORD>(sizeof(buffer)), &reportedBytes)) {
        return false;
    }
    value = SystemText::FromBuffer(buffer.data(), buffer.size(), reportedBytes);
    return true;
}

std::wstring DetailDevicePath(const SP_DEVICE_INTERFACE_DETAIL_DATA_W& detail) {
    constexpr std::size_t pathBytes = DETAIL_BUFFER_BYTES - offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath);
    return SystemText::FromBuffer(detail.DevicePath, pathBytes / sizeof(wchar_t), pathBytes);
}

// Appends the device of one interface when it has both a friendly name and a
// description.
void AppendInterfaceDevice(HDEVINFO set, SP_DEVICE_INTERFACE_DATA& interfaceData, SP_DEVICE_INTERFACE_DETAIL_DATA_W& detail,
                           std::vector<SSerInfo>& ports) {
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof(device);
    if (!::SetupDiGetDeviceInterfaceDetailW(set, &interfaceData, &detail, DETAIL_BUFFER_BYTES, nullptr, &device)) {
        ThrowWithError(L"SetupDiGetDeviceInterfaceDetail failed. (err=%lx)", ::GetLastError());
    }
    SSerInfo port;
    const bool named = ReadDeviceProperty(set, device, SPDRP_FRIENDLYNAME, port.friendlyName);
    const bool described = named && ReadDeviceProperty(set, device, SPDRP_DEVICEDESC, port.description);
    std::wstring location;
    port.isUsb = ReadDeviceProperty(set, device, SPDRP_LOCATION_INFORMATION, location) && SerialPortNames::IsUsbLocation(location);
    if (!described) return;
    port.devicePath = DetailDevicePath(detail);
    ports.push_back(std::move(port));
}

bool EnumSubKey(HKEY key, DWORD index, std::wstring& name) {
    std::array<wchar_t, KEY_NAME_CHARS> buffer{};
    DWORD length = KEY_NAME_CHARS;
    if (::RegEnumKeyExW(key, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) return false;
    name.assign(buffer.data(), std::min<std::size_t>(length, buffer.size()));
    return true;
}

RegistryKey OpenKey(HKEY parent, const std::wstring& name, const std::wstring& failureText) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(parent, name.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) throw CPortListError(failureText);
    return RegistryKey(key, &::RegCloseKey);
}

// Only string values count; the text ends at the buffer whatever length the
// registry reports.
bool ReadStringValue(HKEY key, const wchar_t* valueName, std::wstring& value) {
    std::array<wchar_t, VALUE_BYTES / sizeof(wchar_t)> buffer{};
    DWORD type = 0;
    DWORD reportedBytes = VALUE_BYTES;
    if (::RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<LPBYTE>(buffer.data()), &reportedBytes) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return false;
    }
    value = SystemText::FromBuffer(buffer.data(), buffer.size(), reportedBytes);
    return true;
}

void ReplaceOrAppendByPortName(std::vector<SSerInfo>& ports, SSerInfo port) {
    const auto same = std::find_if(ports.begin(), ports.end(), [&](const SSerInfo& listed) { return listed.portName == port.portName; });
    if (same != ports.end()) {
        *same = std::move(port);
    } else {
        ports.push_back(std::move(port));
    }
}

void ReadEnumBranch(HKEY enumKey, const std::wstring& branchName, std::vector<SSerInfo>& ports) {
    const std::wstring branchText = ENUM_KEY_TEXT + (KEY_SEPARATOR + branchName);
    const RegistryKey branch = OpenKey(enumKey, branchName, branchText);
    const bool usbBranch = SerialPortNames::IsUsbPortBranch(branchName);
    std::wstring className;
    for (DWORD index = 0; EnumSubKey(branch.get(), index, className); ++index) {
        if (!usbBranch && !SerialPortNames::IsSerialPortClassKey(className)) continue;
        const RegistryKey classKey = OpenKey(branch.get(), className, branchText + KEY_SEPARATOR + className);
        ReadPortKey9x(classKey.get(), usbBranch, ports);
    }
}

}  // namespace

void ListSerialPorts(std::vector<SSerInfo>& ports) {
    std::vector<SSerInfo>().swap(ports);
    switch (StrategyForThisSystem()) {
        case PortListStrategy::SetupApi:
            ListPortsViaSetupApi(ports);
            break;
        case PortListStrategy::ByName:
            ListPortsByName(ports);
            break;
        case PortListStrategy::Registry9x:
            ListPortsFromRegistry9x(ports);
            break;
    }
    KeepOpenablePorts(ports);
}

void ListPortsViaSetupApi(std::vector<SSerInfo>& ports) {
    const HDEVINFO handle = ::SetupDiGetClassDevsW(&COM_PORT_INTERFACE, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (handle == INVALID_HANDLE_VALUE) ThrowWithError(L"SetupDiGetClassDevs failed. (err=%lx)", ::GetLastError());
    const DeviceInfoSet set(handle, &::SetupDiDestroyDeviceInfoList);
    std::array<DWORD, (DETAIL_BUFFER_BYTES + sizeof(DWORD) - 1) / sizeof(DWORD)> detailStorage{};
    auto& detail = *reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(detailStorage.data());
    detail.cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    for (DWORD index = 0;; ++index) {
        SP_DEVICE_INTERFACE_DATA interfaceData{};
        interfaceData.cbSize = sizeof(interfaceData);
        if (!::SetupDiEnumDeviceInterfaces(set.get(), nullptr, &COM_PORT_INTERFACE, index, &interfaceData)) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_NO_MORE_ITEMS) return;
            ThrowWithError(L"SetupDiEnumDeviceInterfaces failed. (err=%lx)", error);
        }
        AppendInterfaceDevice(set.get(), interfaceData, detail, ports);
    }
}

void ListPortsByName(std::vector<SSerInfo>& ports) {
    for (int number = SerialPortNames::FIRST_NUMBERED_PORT; number <= SerialPortNames::LAST_NUMBERED_PORT; ++number) {
        SSerInfo port;
        port.portName = SerialPortNames::NumberedPortName(number);
        port.devicePath = SerialPortNames::DevicePath(port.portName);
        ports.push_back(std::move(port));
    }
}

void ListPortsFromRegistry9x(std::vector<SSerInfo>& ports) {
    const RegistryKey enumKey = OpenKey(HKEY_LOCAL_MACHINE, ENUM_KEY, ENUM_KEY_TEXT);
    std::wstring branchName;
    for (DWORD index = 0; EnumSubKey(enumKey.get(), index, branchName); ++index) ReadEnumBranch(enumKey.get(), branchName, ports);
}

void ReadPortKey9x(HKEY classKey, bool isUsb, std::vector<SSerInfo>& ports) {
    std::wstring deviceName;
    for (DWORD index = 0; EnumSubKey(classKey, index, deviceName); ++index) {
        const RegistryKey device = OpenKey(classKey, deviceName, DEVICE_KEY_TEXT + deviceName);
        SSerInfo port;
        if (!ReadStringValue(device.get(), PORT_NAME_VALUE, port.portName)) continue;
        ReadStringValue(device.get(), FRIENDLY_NAME_VALUE, port.friendlyName);
        port.devicePath = SerialPortNames::DevicePath(port.portName);
        port.isUsb = isUsb;
        ReplaceOrAppendByPortName(ports, std::move(port));
    }
}
