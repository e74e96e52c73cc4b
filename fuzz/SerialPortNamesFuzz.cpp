// The names the system lists for a serial port: any friendly name, location,
// branch or class key is read safely, and a completed port keeps what the
// device gave and never ends up without a name when it had one.
#include "core/SerialPortNames.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzText.h"

#include <cstddef>
#include <cstdint>

namespace {

constexpr std::size_t MAX_NAME_UNITS = 300;
constexpr std::size_t DEVICE_PATH_PREFIX_LENGTH = 4;  // "\\\\.\\" before the name

void CheckDescription(const std::wstring& friendlyName) {
    const std::wstring description = SerialPortNames::DescriptionFromFriendlyName(friendlyName);
    FuzzCheck(friendlyName.compare(0, description.size(), description) == 0, "the description opens the name");
    FuzzCheck(description == friendlyName || friendlyName.compare(description.size(), 2, L" (") == 0,
              "only a \" (...)\" part is cut");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::wstring portName = ConsumeSystemText(input, MAX_NAME_UNITS);
    std::wstring friendlyName = ConsumeSystemText(input, MAX_NAME_UNITS);
    std::wstring description = ConsumeSystemText(input, MAX_NAME_UNITS);
    const std::wstring location = ConsumeSystemText(input, MAX_NAME_UNITS);

    FuzzCheck(SerialPortNames::DevicePath(portName).size() == portName.size() + DEVICE_PATH_PREFIX_LENGTH, "the path is the name after \\\\.\\");
    FuzzCheck(SerialPortNames::IsUsbLocation(location) == (location.rfind(L"USB", 0) == 0), "USB locations");
    SerialPortNames::IsUsbPortBranch(location);
    SerialPortNames::IsSerialPortClassKey(location);
    SerialPortNames::NumberedPortName(input.ConsumeIntegral<int>());
    CheckDescription(friendlyName);

    const std::wstring givenDescription = description;
    SerialPortNames::CompleteNames(portName, friendlyName, description);
    FuzzCheck(givenDescription.empty() || description == givenDescription, "a given description is kept");
    FuzzCheck(!friendlyName.empty() || portName.empty(), "a named port gets a friendly name");
    return 0;
}
