#include "core/SerialPortNames.h"

namespace SerialPortNames {

namespace {

constexpr const wchar_t* DEVICE_PATH_PREFIX = L"\\\\.\\";
constexpr const wchar_t* NUMBERED_PORT_PREFIX = L"COM";
constexpr const wchar_t* USB_LOCATION_PREFIX = L"USB";
constexpr const wchar_t* USB_PORT_BRANCH = L"USBPORTS";
constexpr const wchar_t* SERIAL_CLASS_KEY = L"*PNP0500";
constexpr const wchar_t* SERIAL_CLASS_KEY_16550 = L"*PNP0501";
constexpr const wchar_t* PORT_PART_OPENING = L" (";
constexpr wchar_t PORT_PART_CLOSING = L')';

}  // namespace

std::wstring DevicePath(const std::wstring& portName) {
    return DEVICE_PATH_PREFIX + portName;
}

std::wstring NumberedPortName(int number) {
    return NUMBERED_PORT_PREFIX + std::to_wstring(number);
}

bool IsUsbLocation(const std::wstring& location) {
    return location.compare(0, std::wstring(USB_LOCATION_PREFIX).size(), USB_LOCATION_PREFIX) == 0;
}

bool IsUsbPortBranch(const std::wstring& branchName) {
    return branchName == USB_PORT_BRANCH;
}

bool IsSerialPortClassKey(const std::wstring& classKeyName) {
    return classKeyName == SERIAL_CLASS_KEY || classKeyName == SERIAL_CLASS_KEY_16550;
}

std::wstring DescriptionFromFriendlyName(const std::wstring& friendlyName) {
    const std::size_t opening = friendlyName.find(PORT_PART_OPENING);
    const std::size_t closing = friendlyName.find(PORT_PART_CLOSING);
    const bool portPartEndsName = closing != std::wstring::npos && closing + 1 == friendlyName.size();
    if (opening == std::wstring::npos || opening == 0 || !portPartEndsName) return friendlyName;
    return friendlyName.substr(0, opening);
}

void CompleteNames(const std::wstring& portName, std::wstring& friendlyName, std::wstring& description) {
    if (friendlyName.empty()) friendlyName = portName;
    if (description.empty()) description = DescriptionFromFriendlyName(friendlyName);
}

}  // namespace SerialPortNames
