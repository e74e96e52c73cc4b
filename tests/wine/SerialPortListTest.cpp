// The serial port list against the session's COM port, which the setup API
// lists through its COM-port interface and which the simulator's pty backs,
// and the 9x registry reader against a registry tree the test builds.
#include "serial/CPortListError.h"
#include "serial/ListSerialPorts.h"
#include "tests/wine/SimulatorFixture.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr const wchar_t* SESSION_PORT_DESCRIPTION = L"Communications Port";
constexpr const wchar_t* SCRATCH_KEY = L"Software\\CorvaneTests\\PortKey9x";

bool PathOpens(const std::wstring& devicePath) {
    const HANDLE port = ::CreateFileW(devicePath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (port == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(port);
    return true;
}

const SSerInfo* FindByFriendlyName(const std::vector<SSerInfo>& ports, const std::wstring& friendlyName) {
    const auto found = std::find_if(ports.begin(), ports.end(), [&](const SSerInfo& port) { return port.friendlyName == friendlyName; });
    return found == ports.end() ? nullptr : &*found;
}

class SerialPortListTest : public SimulatorFixture {
protected:
    std::wstring SessionFriendlyName() const {
        return std::wstring(SESSION_PORT_DESCRIPTION) + L" (COM" + std::to_wstring(ComPort()) + L")";
    }

    std::vector<SSerInfo> ListedPorts() {
        std::vector<SSerInfo> ports;
        ListSerialPorts(ports);
        return ports;
    }
};

TEST_F(SerialPortListTest, SessionPortListedWithItsNamesAndAPathThatOpens) {
    const std::vector<SSerInfo> ports = ListedPorts();
    const SSerInfo* port = FindByFriendlyName(ports, SessionFriendlyName());
    ASSERT_NE(nullptr, port);
    EXPECT_EQ(SESSION_PORT_DESCRIPTION, port->description);
    EXPECT_TRUE(port->portName.empty());
    EXPECT_FALSE(port->isUsb);
    EXPECT_FALSE(port->devicePath.empty());
    EXPECT_TRUE(PathOpens(port->devicePath));
}

TEST_F(SerialPortListTest, PortLeftOutOnceItsDeviceIsGone) {
    const std::vector<SSerInfo> before = ListedPorts();
    const SSerInfo* port = FindByFriendlyName(before, SessionFriendlyName());
    ASSERT_NE(nullptr, port);
    const std::wstring devicePath = port->devicePath;

    StopSimulator();
    ASSERT_FALSE(ComLinkExists());
    EXPECT_FALSE(PathOpens(devicePath));
    EXPECT_EQ(nullptr, FindByFriendlyName(ListedPorts(), SessionFriendlyName()));
}

TEST_F(SerialPortListTest, ListEmptiedBeforeEachCall) {
    std::vector<SSerInfo> ports(1);
    ports.front().friendlyName = L"stale";
    ListSerialPorts(ports);
    EXPECT_EQ(nullptr, FindByFriendlyName(ports, L"stale"));
    const std::size_t firstCount = ports.size();
    ListSerialPorts(ports);
    EXPECT_EQ(firstCount, ports.size());
    EXPECT_NE(nullptr, FindByFriendlyName(ports, SessionFriendlyName()));
}

TEST_F(SerialPortListTest, SetupApiAppendsDevicesAfterWhatTheListHolds) {
    std::vector<SSerInfo> ports(1);
    ListPortsViaSetupApi(ports);
    ASSERT_GE(ports.size(), 2u);
    EXPECT_TRUE(ports.front().devicePath.empty());
    EXPECT_NE(nullptr, FindByFriendlyName(ports, SessionFriendlyName()));
}

TEST(SerialPortNameProbe, SixteenNumberedPortsAppendedWithTheirPaths) {
    std::vector<SSerInfo> ports(1);
    ListPortsByName(ports);
    ASSERT_EQ(17u, ports.size());
    EXPECT_EQ(L"COM1", ports[1].portName);
    EXPECT_EQ(L"\\\\.\\COM1", ports[1].devicePath);
    EXPECT_EQ(L"COM16", ports[16].portName);
    EXPECT_EQ(L"\\\\.\\COM16", ports[16].devicePath);
    EXPECT_TRUE(ports[16].friendlyName.empty());
    EXPECT_TRUE(ports[16].description.empty());
}

// A class key of the 9x enumerator, built below the current user's key.
class PortKey9xTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, SCRATCH_KEY);
        ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(HKEY_CURRENT_USER, SCRATCH_KEY, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                                   &m_classKey, nullptr));
    }
    void TearDown() override {
        if (m_classKey != nullptr) ::RegCloseKey(m_classKey);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, SCRATCH_KEY);
    }

    // Writes `text` as a value of `type` with exactly `bytes` bytes of data.
    void AddValue(const std::wstring& device, const wchar_t* name, DWORD type, const std::wstring& text, DWORD bytes) {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(m_classKey, device.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
        EXPECT_EQ(ERROR_SUCCESS, ::RegSetValueExW(key, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()), bytes));
        ::RegCloseKey(key);
    }
    void AddString(const std::wstring& device, const wchar_t* name, const std::wstring& text) {
        AddValue(device, name, REG_SZ, text, static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }

    HKEY m_classKey = nullptr;
};

TEST_F(PortKey9xTest, DevicesWithAPortNameListed) {
    AddString(L"0000", L"PORTNAME", L"COM1");
    AddString(L"0000", L"FRIENDLYNAME", L"Communications Port (COM1)");
    AddString(L"0001", L"FRIENDLYNAME", L"No port (COM9)");
    AddString(L"0002", L"PORTNAME", L"COM2");
    std::vector<SSerInfo> ports;
    ReadPortKey9x(m_classKey, true, ports);
    ASSERT_EQ(2u, ports.size());
    EXPECT_EQ(L"COM1", ports[0].portName);
    EXPECT_EQ(L"\\\\.\\COM1", ports[0].devicePath);
    EXPECT_EQ(L"Communications Port (COM1)", ports[0].friendlyName);
    EXPECT_TRUE(ports[0].isUsb);
    EXPECT_TRUE(ports[0].description.empty());
    EXPECT_EQ(L"COM2", ports[1].portName);
    EXPECT_TRUE(ports[1].friendlyName.empty());
}

TEST_F(PortKey9xTest, LaterDeviceReplacesTheRecordOfTheSamePortName) {
    std::vector<SSerInfo> ports(2);
    ports[0].portName = L"COM3";
    ports[1].portName = L"COM3";
    AddString(L"0000", L"PORTNAME", L"COM3");
    AddString(L"0000", L"FRIENDLYNAME", L"Replacement (COM3)");
    AddString(L"0001", L"PORTNAME", L"com3");
    ReadPortKey9x(m_classKey, false, ports);
    ASSERT_EQ(3u, ports.size());
    EXPECT_EQ(L"Replacement (COM3)", ports[0].friendlyName);
    EXPECT_TRUE(ports[1].friendlyName.empty());
    EXPECT_EQ(L"com3", ports[2].portName);
}

TEST_F(PortKey9xTest, UntrustedValuesReadWithinTheirBounds) {
    const std::wstring unterminated = L"COM4";
    AddValue(L"0000", L"PORTNAME", REG_SZ, unterminated, static_cast<DWORD>(unterminated.size() * sizeof(wchar_t)));
    AddString(L"0001", L"PORTNAME", std::wstring(80, L'X'));
    AddValue(L"0002", L"PORTNAME", REG_BINARY, L"COM6", static_cast<DWORD>(5 * sizeof(wchar_t)));
    std::vector<SSerInfo> ports;
    ReadPortKey9x(m_classKey, false, ports);
    ASSERT_EQ(1u, ports.size());
    EXPECT_EQ(L"COM4", ports[0].portName);
}

// The 9x enumerator's tree, built where that system keeps it; Wine has none.
class Registry9xWalkTest : public ::testing::Test {
protected:
    // The tree is removed afterwards only when the test made it.
    void SetUp() override {
        HKEY existing = nullptr;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Enum", 0, KEY_READ, &existing) == ERROR_SUCCESS) {
            ::RegCloseKey(existing);
            FAIL() << "this prefix already holds an Enum key";
        }
        m_ownsTree = true;
    }
    void TearDown() override {
        if (m_ownsTree) ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Enum");
    }

    static void AddPort(const std::wstring& deviceKey, const std::wstring& portName) {
        HKEY key = nullptr;
        const std::wstring path = L"Enum\\" + deviceKey;
        ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
        const DWORD bytes = static_cast<DWORD>((portName.size() + 1) * sizeof(wchar_t));
        EXPECT_EQ(ERROR_SUCCESS, ::RegSetValueExW(key, L"PORTNAME", 0, REG_SZ, reinterpret_cast<const BYTE*>(portName.c_str()), bytes));
        ::RegCloseKey(key);
    }

private:
    bool m_ownsTree = false;
};

TEST_F(Registry9xWalkTest, MissingEnumKeyRaisesItsText) {
    std::vector<SSerInfo> ports(1);
    try {
        ListPortsFromRegistry9x(ports);
        ADD_FAILURE() << "no failure raised";
    } catch (const CPortListError& error) {
        EXPECT_EQ(L"Could not read from HKLM\\Enum", error.Text());
    }
    EXPECT_EQ(1u, ports.size());
}

TEST_F(Registry9xWalkTest, SerialClassKeysAndTheUsbBranchRead) {
    AddPort(L"USBPORTS\\VID_0403\\0000", L"COM7");
    AddPort(L"ROOT\\*PNP0501\\0000", L"COM1");
    AddPort(L"ISAPNP\\*PNP0500\\0000", L"COM2");
    AddPort(L"ROOT\\*PNP0400\\0000", L"LPT1");
    AddPort(L"BIOS\\*pnp0501\\0000", L"COM9");
    std::vector<SSerInfo> ports;
    ListPortsFromRegistry9x(ports);
    ASSERT_EQ(3u, ports.size());
    std::sort(ports.begin(), ports.end(), [](const SSerInfo& a, const SSerInfo& b) { return a.portName < b.portName; });
    EXPECT_EQ(L"COM1", ports[0].portName);
    EXPECT_FALSE(ports[0].isUsb);
    EXPECT_EQ(L"COM2", ports[1].portName);
    EXPECT_FALSE(ports[1].isUsb);
    EXPECT_EQ(L"COM7", ports[2].portName);
    EXPECT_TRUE(ports[2].isUsb);
    EXPECT_EQ(L"\\\\.\\COM7", ports[2].devicePath);
}

TEST(PortListErrorText, CarriedWideAndAsUtf8) {
    const CPortListError error(L"SetupDiGetClassDevs failed. (err=7a)");
    EXPECT_EQ(L"SetupDiGetClassDevs failed. (err=7a)", error.Text());
    EXPECT_STREQ("SetupDiGetClassDevs failed. (err=7a)", error.what());
}

}  // namespace
