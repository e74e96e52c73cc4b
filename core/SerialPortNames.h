// The names of a listed serial port: device paths, the numbered names that are
// probed, which registry branches hold ports, and how a port's friendly name
// and description are completed when the system gave none.
#pragma once

#include <string>

namespace SerialPortNames {

constexpr int FIRST_NUMBERED_PORT = 1;
constexpr int LAST_NUMBERED_PORT = 16;

// "\\.\" followed by the port name, the path CreateFileW opens.
std::wstring DevicePath(const std::wstring& portName);
// "COM%d".
std::wstring NumberedPortName(int number);

// A location beginning exactly "USB" (case matters) marks a USB device.
bool IsUsbLocation(const std::wstring& location);

// The 9x enumerator's branch of USB serial ports, and the class keys of the
// standard serial ports below the other branches.
bool IsUsbPortBranch(const std::wstring& branchName);
bool IsSerialPortClassKey(const std::wstring& classKeyName);

// The friendly name without its trailing " (...)" part, when that part ends
// the name and something stands before it; otherwise the name unchanged.
std::wstring DescriptionFromFriendlyName(const std::wstring& friendlyName);

// Fills an empty friendly name from the port name, then an empty description
// from the friendly name; a description the device gave is kept as it is.
void CompleteNames(const std::wstring& portName, std::wstring& friendlyName, std::wstring& description);

}  // namespace SerialPortNames
