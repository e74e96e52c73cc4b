// The road a frame takes under test: out through the COM port as the panel
// opens it, answered by the simulated switcher on the other end of the port's
// pty, and back intact; and the port listed by the SetupAPI interface
// enumeration as Windows lists a real one.
#include "core/DeviceFrame.h"
#include "tests/wine/SimulatorFixture.h"
#include "tests/wine/TestFrames.h"
#include "tests/wine/TestTimings.h"

#include <setupapi.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr wchar_t PORT_SETTINGS[] = L"baud=115200 parity=N data=8 stop=2";
constexpr DWORD SILENCE_MS = 600;
constexpr DWORD POLL_MS = 10;
constexpr DWORD DELAY_MS = 400;
constexpr GUID COMPORT_INTERFACE = {0x86E0D1E0, 0x8089, 0x11D0, {0x9C, 0xE4, 0x08, 0x00, 0x3E, 0x30, 0x1F, 0x73}};

// The COM port opened the way the panel opens it: overlapped, with the
// panel's settings text.
class SerialLine {
public:
    explicit SerialLine(const std::wstring& name) {
        m_handle = ::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_OVERLAPPED, nullptr);
        m_openError = ::GetLastError();
        m_event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    }
    ~SerialLine() {
        if (IsOpen()) ::CloseHandle(m_handle);
        ::CloseHandle(m_event);
    }
    SerialLine(const SerialLine&) = delete;
    SerialLine& operator=(const SerialLine&) = delete;

    bool IsOpen() const { return m_handle != INVALID_HANDLE_VALUE; }
    DWORD OpenError() const { return m_openError; }

    bool Configure() {
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        COMMTIMEOUTS timeouts{MAXDWORD, 0, 0, 0, 0};
        return ::GetCommState(m_handle, &dcb) && ::BuildCommDCBW(PORT_SETTINGS, &dcb) &&
               ::SetCommState(m_handle, &dcb) && ::SetCommTimeouts(m_handle, &timeouts) &&
               ::PurgeComm(m_handle, PURGE_RXCLEAR | PURGE_TXCLEAR);
    }

    bool Write(const Bytes& bytes) {
        OVERLAPPED overlapped{};
        overlapped.hEvent = m_event;
        DWORD written = 0;
        if (!::WriteFile(m_handle, bytes.data(), static_cast<DWORD>(bytes.size()), nullptr, &overlapped) &&
            ::GetLastError() != ERROR_IO_PENDING) {
            return false;
        }
        return ::GetOverlappedResult(m_handle, &overlapped, &written, TRUE) && written == bytes.size();
    }

    // Gathers bytes until `count` have arrived or `timeoutMs` has passed.
    // Only what the driver already holds is read, so no read ever waits.
    Bytes Read(std::size_t count, DWORD timeoutMs) {
        Bytes received;
        const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
        while (received.size() < count && ::GetTickCount64() < deadline) {
            DWORD errors = 0;
            COMSTAT status{};
            if (!::ClearCommError(m_handle, &errors, &status)) break;
            if (status.cbInQue == 0) {
                ::Sleep(POLL_MS);
                continue;
            }
            std::array<std::uint8_t, 256> chunk{};
            const DWORD wanted = static_cast<DWORD>(
                std::min<std::size_t>({count - received.size(), chunk.size(), status.cbInQue}));
            OVERLAPPED overlapped{};
            overlapped.hEvent = m_event;
            DWORD got = 0;
            if (!::ReadFile(m_handle, chunk.data(), wanted, nullptr, &overlapped) &&
                ::GetLastError() != ERROR_IO_PENDING) {
                break;
            }
            if (!::GetOverlappedResult(m_handle, &overlapped, &got, TRUE)) break;
            received.insert(received.end(), chunk.begin(), chunk.begin() + got);
        }
        return received;
    }

private:
    HANDLE m_handle = INVALID_HANDLE_VALUE;
    HANDLE m_event = nullptr;
    DWORD m_openError = 0;
};

class ComLinkTest : public SimulatorFixture {
protected:
    void SetUp() override {
        SimulatorFixture::SetUp();
        if (HasFatalFailure()) return;
        m_port = std::make_unique<SerialLine>(ComPortName());
        ASSERT_TRUE(m_port->IsOpen()) << "cannot open COM" << ComPort() << ", error " << m_port->OpenError();
        ASSERT_TRUE(m_port->Configure()) << "cannot apply " << PORT_SETTINGS;
    }
    void TearDown() override {
        m_port.reset();
        SimulatorFixture::TearDown();
    }

    std::unique_ptr<SerialLine> m_port;
};

const Bytes SET_ROUTE_IN2_TO_A = Frame({0x02, 0x03, 0x02, 0x00, 0x01});
const Bytes ROUTE_ACKNOWLEDGED_A = Frame({0x02, 0x03, 0x00, 0x00, 0x01});

TEST_F(ComLinkTest, FrameGoesOutAndTheReplyComesBackIntact) {
    ASSERT_EQ(SET_ROUTE_IN2_TO_A.back(), 0xF8);
    ASSERT_TRUE(m_port->Write(SET_ROUTE_IN2_TO_A));

    const Bytes reply = m_port->Read(DeviceFrame::COMMAND_FRAME_LENGTH, ARRIVAL_TIMEOUT_MS);
    ASSERT_EQ(reply.size(), DeviceFrame::COMMAND_FRAME_LENGTH);
    EXPECT_TRUE(DeviceFrame::IsCheckByteValid(reply.data()));
    EXPECT_EQ(reply, ROUTE_ACKNOWLEDGED_A);

    ASSERT_TRUE(WaitForReceivedFrames(1, ARRIVAL_TIMEOUT_MS));
    EXPECT_EQ(ReceivedFrames().front(), SET_ROUTE_IN2_TO_A);
    EXPECT_EQ(Control("state").rfind("ok route=2,1,1,1 ", 0), 0u);

    ASSERT_TRUE(m_port->Write(Frame({0x02, 0x01, 0x01})));
    EXPECT_EQ(m_port->Read(DeviceFrame::COMMAND_FRAME_LENGTH, ARRIVAL_TIMEOUT_MS),
              Frame({0x02, 0x01, 0x01, 0x00, 0x02}));
}

TEST_F(ComLinkTest, ReplySplitAndBehindGarbageArrivesWhole) {
    ASSERT_EQ(Control("split 4 30"), "ok");
    ASSERT_EQ(Control("garbage 3"), "ok");
    ASSERT_TRUE(m_port->Write(SET_ROUTE_IN2_TO_A));

    const Bytes received = m_port->Read(3 + DeviceFrame::COMMAND_FRAME_LENGTH, ARRIVAL_TIMEOUT_MS);
    ASSERT_EQ(received.size(), 3 + DeviceFrame::COMMAND_FRAME_LENGTH);
    EXPECT_EQ(Bytes(received.begin() + 3, received.end()), ROUTE_ACKNOWLEDGED_A);
    std::size_t pieces = 0;
    for (const SimulatorLogEntry& entry : LogEntries()) {
        if (entry.tag == "TX") ++pieces;
    }
    EXPECT_EQ(pieces, 4u);
}

TEST_F(ComLinkTest, CorruptedReplyFailsTheCheck) {
    ASSERT_EQ(Control("corrupt 1"), "ok");
    ASSERT_TRUE(m_port->Write(SET_ROUTE_IN2_TO_A));
    const Bytes reply = m_port->Read(DeviceFrame::COMMAND_FRAME_LENGTH, ARRIVAL_TIMEOUT_MS);
    ASSERT_EQ(reply.size(), DeviceFrame::COMMAND_FRAME_LENGTH);
    EXPECT_FALSE(DeviceFrame::IsCheckByteValid(reply.data()));
    EXPECT_EQ(Bytes(reply.begin(), reply.end() - 1),
              Bytes(ROUTE_ACKNOWLEDGED_A.begin(), ROUTE_ACKNOWLEDGED_A.end() - 1));
}

TEST_F(ComLinkTest, DroppedReplyLeavesTheLineSilentOnce) {
    ASSERT_EQ(Control("drop 1"), "ok");
    ASSERT_TRUE(m_port->Write(SET_ROUTE_IN2_TO_A));
    EXPECT_TRUE(m_port->Read(1, SILENCE_MS).empty());
    ASSERT_TRUE(m_port->Write(SET_ROUTE_IN2_TO_A));
    EXPECT_EQ(m_port->Read(DeviceFrame::COMMAND_FRAME_LENGTH, ARRIVAL_TIMEOUT_MS), ROUTE_ACKNOWLEDGED_A);
}

TEST_F(ComLinkTest, DelayedReplyWaitsItsTime) {
    ASSERT_EQ(Control("delay " + std::to_string(DELAY_MS)), "ok");
    const ULONGLONG sent = ::GetTickCount64();
    ASSERT_TRUE(m_port->Write(SET_ROUTE_IN2_TO_A));
    EXPECT_EQ(m_port->Read(DeviceFrame::COMMAND_FRAME_LENGTH, ARRIVAL_TIMEOUT_MS), ROUTE_ACKNOWLEDGED_A);
    EXPECT_GE(::GetTickCount64() - sent, DELAY_MS);
}

TEST_F(ComLinkTest, UnsolicitedFramesArriveWithoutARequest) {
    ASSERT_EQ(Control("frame 02 01 01 00 03 00 00 00 00 00"), "ok");
    EXPECT_EQ(m_port->Read(DeviceFrame::COMMAND_FRAME_LENGTH, ARRIVAL_TIMEOUT_MS),
              Frame({0x02, 0x01, 0x01, 0x00, 0x03}));
    ASSERT_EQ(Control("burst 5"), "ok");
    const Bytes burst = m_port->Read(5 * DeviceFrame::COMMAND_FRAME_LENGTH, ARRIVAL_TIMEOUT_MS);
    ASSERT_EQ(burst.size(), 5 * DeviceFrame::COMMAND_FRAME_LENGTH);
    EXPECT_TRUE(DeviceFrame::IsCheckByteValid(burst.data() + 4 * DeviceFrame::COMMAND_FRAME_LENGTH));
}

TEST_F(ComLinkTest, ClosedLineFailsTheWritesAndRemovesThePortLink) {
    ASSERT_EQ(Control("close"), "ok");
    EXPECT_FALSE(ComLinkExists());
    EXPECT_FALSE(m_port->Write(SET_ROUTE_IN2_TO_A));
    EXPECT_TRUE(m_port->Read(1, SILENCE_MS).empty());
    EXPECT_TRUE(ReceivedFrames().empty());
}

class SlowSimulatorTest : public ComLinkTest {
protected:
    std::vector<std::string> SimulatorOptions() const override {
        return {"--delay", std::to_string(DELAY_MS), "--command", "set route 3 4"};
    }
};

TEST_F(SlowSimulatorTest, KnobsAndStateGivenAtStartHold) {
    const ULONGLONG sent = ::GetTickCount64();
    ASSERT_TRUE(m_port->Write(Frame({0x02, 0x01, 0x03})));
    EXPECT_EQ(m_port->Read(DeviceFrame::COMMAND_FRAME_LENGTH, ARRIVAL_TIMEOUT_MS),
              Frame({0x02, 0x01, 0x03, 0x00, 0x04}));
    EXPECT_GE(::GetTickCount64() - sent, DELAY_MS);
}

// What SetupAPI says about the port, found through the COM-port interface.
struct ListedPort {
    std::wstring devicePath;
    std::wstring friendlyName;
    std::wstring portName;
};

std::vector<ListedPort> ListComPortInterfaces() {
    std::vector<ListedPort> ports;
    const HDEVINFO set = ::SetupDiGetClassDevsW(&COMPORT_INTERFACE, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE) return ports;
    SP_DEVICE_INTERFACE_DATA interfaceData{};
    interfaceData.cbSize = sizeof interfaceData;
    for (DWORD index = 0; ::SetupDiEnumDeviceInterfaces(set, nullptr, &COMPORT_INTERFACE, index, &interfaceData); ++index) {
        SP_DEVINFO_DATA device{};
        device.cbSize = sizeof device;
        DWORD needed = 0;
        ::SetupDiGetDeviceInterfaceDetailW(set, &interfaceData, nullptr, 0, &needed, nullptr);
        std::vector<BYTE> detailBuffer(std::max<DWORD>(needed, sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)));
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(detailBuffer.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
        ListedPort port;
        if (::SetupDiGetDeviceInterfaceDetailW(set, &interfaceData, detail, static_cast<DWORD>(detailBuffer.size()),
                                               nullptr, &device)) {
            port.devicePath = detail->DevicePath;
        }
        wchar_t text[256] = {};
        if (::SetupDiGetDeviceRegistryPropertyW(set, &device, SPDRP_FRIENDLYNAME, nullptr,
                                                reinterpret_cast<BYTE*>(text), sizeof text - sizeof(wchar_t), nullptr)) {
            port.friendlyName = text;
        }
        const HKEY key = ::SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key != INVALID_HANDLE_VALUE) {
            DWORD size = sizeof text - sizeof(wchar_t);
            std::fill(std::begin(text), std::end(text), L'\0');
            if (::RegQueryValueExW(key, L"PortName", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size) ==
                ERROR_SUCCESS) {
                port.portName = text;
            }
            ::RegCloseKey(key);
        }
        ports.push_back(port);
    }
    ::SetupDiDestroyDeviceInfoList(set);
    return ports;
}

using ComPortListTest = SimulatorFixture;

TEST_F(ComPortListTest, ComPortIsListedByTheInterfaceEnumeration) {
    const std::wstring name = L"COM" + std::to_wstring(ComPort());
    const std::vector<ListedPort> ports = ListComPortInterfaces();
    ASSERT_EQ(ports.size(), 1u);
    EXPECT_EQ(ports[0].portName, name);
    EXPECT_NE(ports[0].friendlyName.find(L"(" + name + L")"), std::wstring::npos);
}

TEST_F(ComPortListTest, InterfaceDevicePathOpensThePort) {
    const std::vector<ListedPort> ports = ListComPortInterfaces();
    ASSERT_EQ(ports.size(), 1u);
    ASSERT_FALSE(ports[0].devicePath.empty());
    SerialLine line(ports[0].devicePath);
    ASSERT_TRUE(line.IsOpen()) << "error " << line.OpenError();
    ASSERT_TRUE(line.Configure());
    ASSERT_TRUE(line.Write(SET_ROUTE_IN2_TO_A));
    EXPECT_EQ(line.Read(DeviceFrame::COMMAND_FRAME_LENGTH, ARRIVAL_TIMEOUT_MS), ROUTE_ACKNOWLEDGED_A);
}

}  // namespace
