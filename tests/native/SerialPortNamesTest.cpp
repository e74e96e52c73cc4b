#include "core/SerialPortNames.h"

#include <gtest/gtest.h>

namespace {

using namespace SerialPortNames;

TEST(SerialPortNamesPaths, DevicePathAndNumberedNames) {
    EXPECT_EQ(L"\\\\.\\COM3", DevicePath(L"COM3"));
    EXPECT_EQ(L"COM1", NumberedPortName(FIRST_NUMBERED_PORT));
    EXPECT_EQ(L"COM16", NumberedPortName(LAST_NUMBERED_PORT));
}

TEST(SerialPortNamesKinds, UsbLocationIsCaseSensitivePrefix) {
    EXPECT_TRUE(IsUsbLocation(L"USB"));
    EXPECT_TRUE(IsUsbLocation(L"USB Serial Converter"));
    EXPECT_FALSE(IsUsbLocation(L"usb port 1"));
    EXPECT_FALSE(IsUsbLocation(L"US"));
    EXPECT_FALSE(IsUsbLocation(L""));
    EXPECT_FALSE(IsUsbLocation(L"on USB hub"));
}

TEST(SerialPortNamesKinds, RegistryBranchesAndClassKeys) {
    EXPECT_TRUE(IsUsbPortBranch(L"USBPORTS"));
    EXPECT_FALSE(IsUsbPortBranch(L"usbports"));
    EXPECT_FALSE(IsUsbPortBranch(L"ROOT"));
    EXPECT_TRUE(IsSerialPortClassKey(L"*PNP0500"));
    EXPECT_TRUE(IsSerialPortClassKey(L"*PNP0501"));
    EXPECT_FALSE(IsSerialPortClassKey(L"*pnp0501"));
    EXPECT_FALSE(IsSerialPortClassKey(L"*PNP0502"));
}

TEST(SerialPortNamesDescription, TrailingPortPartCut) {
    EXPECT_EQ(L"USB Serial Port", DescriptionFromFriendlyName(L"USB Serial Port (COM3)"));
    EXPECT_EQ(L"Foo", DescriptionFromFriendlyName(L"Foo (COM3)"));
}

TEST(SerialPortNamesDescription, KeptWhenThePortPartIsNotAloneAtTheEnd) {
    EXPECT_EQ(L"Foo (bar) (COM3)", DescriptionFromFriendlyName(L"Foo (bar) (COM3)"));
    EXPECT_EQ(L" (COM3)", DescriptionFromFriendlyName(L" (COM3)"));
    EXPECT_EQ(L"Foo (COM3) x", DescriptionFromFriendlyName(L"Foo (COM3) x"));
    EXPECT_EQ(L"COM3", DescriptionFromFriendlyName(L"COM3"));
    EXPECT_EQ(L"Foo(COM3)", DescriptionFromFriendlyName(L"Foo(COM3)"));
    EXPECT_EQ(L"", DescriptionFromFriendlyName(L""));
}

TEST(SerialPortNamesCompletion, NamesFromThePortName) {
    std::wstring friendlyName;
    std::wstring description;
    CompleteNames(L"COM3", friendlyName, description);
    EXPECT_EQ(L"COM3", friendlyName);
    EXPECT_EQ(L"COM3", description);
}

TEST(SerialPortNamesCompletion, DescriptionCutFromTheFriendlyName) {
    std::wstring friendlyName = L"USB Serial Port (COM7)";
    std::wstring description;
    CompleteNames(L"", friendlyName, description);
    EXPECT_EQ(L"USB Serial Port (COM7)", friendlyName);
    EXPECT_EQ(L"USB Serial Port", description);
}

TEST(SerialPortNamesCompletion, DeviceDescriptionNeverCut) {
    std::wstring friendlyName = L"Modem (COM2)";
    std::wstring description = L"Line (COM2)";
    CompleteNames(L"COM2", friendlyName, description);
    EXPECT_EQ(L"Modem (COM2)", friendlyName);
    EXPECT_EQ(L"Line (COM2)", description);
}

}  // namespace
