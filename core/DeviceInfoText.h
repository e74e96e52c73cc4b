// The Upgrade page's device line, built across the three device reports:
// the type's name, then "Device: " in front and the size, then the version.
// Pure code.
#pragma once

#include <string>

namespace DeviceInfoText {

// The name shown for a device type; any type not listed is "Quillon".
const wchar_t* DeviceTypeName(int deviceType);

// DeviceTypeReport: the name goes after whatever the line holds already.
void AppendType(std::wstring& line, int deviceType);
// DeviceSizeReport: "Device: " + line + " " + inputs "x" outputs.
void AddSize(std::wstring& line, int inputs, int outputs);
// VersionReport: five blanks, "Version:" major "." minor.
void AppendVersion(std::wstring& line, int major, int minor);

}  // namespace DeviceInfoText
