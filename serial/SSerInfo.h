// One serial port of the machine as the port list shows it.
#pragma once

#include <string>

struct SSerInfo {
    // What CreateFileW opens: a device interface path from the setup API, or
    // "\\.\" followed by the port name.
    std::wstring devicePath;
    // Such as COM3; empty for ports found through the setup API.
    std::wstring portName;
    // As a rule ending in the port name in brackets; falls back to the port
    // name.
    std::wstring friendlyName;
    bool isUsb = false;
    // Falls back to the friendly name without its trailing port part.
    std::wstring description;
};
