#include "core/DeviceInfoText.h"

namespace DeviceInfoText {

namespace {

struct DeviceTypeEntry {
    int type;
    const wchar_t* name;
};

constexpr DeviceTypeEntry DEVICE_TYPE_NAMES[] = {
    {1, L"Corvane"},
    {2, L"Marrowick"},
    {3, L"Sandelux"},
};
constexpr const wchar_t* OTHER_DEVICE_TYPE_NAME = L"Quillon";

constexpr const wchar_t* DEVICE_PREFIX = L"Device: ";
constexpr const wchar_t* SIZE_SEPARATOR = L" ";
constexpr const wchar_t* SIZE_CROSS = L"x";
constexpr const wchar_t* VERSION_PREFIX = L"     Version:";
constexpr const wchar_t* VERSION_POINT = L".";

}  // namespace

const wchar_t* DeviceTypeName(int deviceType) {
    for (const DeviceTypeEntry& entry : DEVICE_TYPE_NAMES) {
        if (entry.type == deviceType) return entry.name;
    }
    return OTHER_DEVICE_TYPE_NAME;
}

void AppendType(std::wstring& line, int deviceType) { line += DeviceTypeName(deviceType); }

void AddSize(std::wstring& line, int inputs, int outputs) {
    line = DEVICE_PREFIX + line + SIZE_SEPARATOR + std::to_wstring(inputs) + SIZE_CROSS + std::to_wstring(outputs);
}

void AppendVersion(std::wstring& line, int major, int minor) {
    line += VERSION_PREFIX + std::to_wstring(major) + VERSION_POINT + std::to_wstring(minor);
}

}  // namespace DeviceInfoText
